#pragma once
// Removal of the tool from its folder once the program has ended. Only what the tool ships is
// deleted; the folder itself goes only when that leaves it empty, so whatever a user keeps beside
// the program stays. The removal runs with the user's normal rights, never elevated: the folder is
// the user's, and an elevated delete by path in a folder the user can write could be steered
// anywhere by a link put in its place.
#include <string>

namespace frontend {

// Files of the tool beside the program, besides the program itself, and the packers inside
// its "7z" folder (relative paths). The folders 7z\x86, 7z\x64 and 7z go only when that
// leaves them empty, so a user's own "7z" folder keeps whatever else it holds.
extern const wchar_t* const kShippedFiles[];
extern const wchar_t* const kShippedPackers[];

// The arguments of the hidden cmd.exe that removes the tool from programFolder (no trailing
// backslash) once the program, programName in that folder, has ended: it tries to delete the
// program file, with pauses between tries (ping by the full path pingPath) that add up to about a
// minute, and deletes the rest only once the program file is gone. Built-in commands and full
// paths only, no variable of the environment. Empty when the folder cannot be named safely on a
// command line.
std::wstring SelfRemovalArguments(const std::wstring& programFolder, const std::wstring& programName,
                                  const std::wstring& pingPath);

// How the removal command is started: program (a full path) with arguments, in folder. The
// program's own route hands it to the desktop's shell, which runs it with the user's token.
using CommandStarter = bool (*)(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder);
bool StartThroughDesktop(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder);

// Starts the removal for the running program: cmd.exe of the system folder, run in the system
// folder (a current folder inside the program folder would keep it). Nothing is removed where the
// command cannot be started that way. Returns 1 whatever happens.
int RemoveProgramFolder(CommandStarter start = StartThroughDesktop);

}  // namespace frontend

#pragma once
// Removal of the tool from its folder once the program has ended. Only what the tool ships
// (and its left-over working folder) is deleted; the folder itself goes only when that leaves
// it empty, so whatever a user keeps beside the program stays.
#include <string>

namespace frontend {

// Files of the tool beside the program, besides the program itself, and the packers inside
// its "7z" folder (relative paths). The folders 7z\x86, 7z\x64 and 7z go only when that
// leaves them empty, so a user's own "7z" folder keeps whatever else it holds.
extern const wchar_t* const kShippedFiles[];
extern const wchar_t* const kShippedPackers[];

// True when the left-over working folder holds nothing but the engine's own output: only its
// category folders at the top. Anything else in it, and it stays (unless empty).
bool HoldsOnlyEngineOutput(const std::wstring& workingFolder);

// The arguments of the hidden cmd.exe that removes the tool from programFolder (no trailing
// backslash) once the program, programName in that folder, has ended and its standard input
// has been closed; the working folder goes whole only with removeWorkingFolder. Empty when the
// folder can't be named safely on a command line.
std::wstring SelfRemovalArguments(const std::wstring& programFolder, const std::wstring& programName,
                                  bool removeWorkingFolder = true);

// Starts the removal for the running program; returns 1 whatever happens.
int RemoveProgramFolder();

}  // namespace frontend

#pragma once
// Removal of the tool from its folder once the program has ended. Only what the tool ships
// (and its left-over working folder) is deleted; the folder itself goes only when that leaves
// it empty, so whatever a user keeps beside the program stays.
#include <string>

namespace frontend {

// Files and folders of the tool beside the program, besides the program itself.
extern const wchar_t* const kShippedFiles[];
extern const wchar_t* const kShippedFolders[];

// The arguments of the hidden cmd.exe that removes the tool from programFolder (no trailing
// backslash) once the program, programName in that folder, has ended and its standard input
// has been closed. Empty when the folder can't be named safely on a command line.
std::wstring SelfRemovalArguments(const std::wstring& programFolder, const std::wstring& programName);

// Starts the removal for the running program; returns 1 whatever happens.
int RemoveProgramFolder();

}  // namespace frontend

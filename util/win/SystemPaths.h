#pragma once
// Where Windows keeps things, and what kind of Windows this is.
#include <string>

namespace util::win {

// The system folder without a trailing backslash (as a 32-bit process sees it); empty on failure.
std::wstring SystemFolder();

// The Windows folder without a trailing backslash; empty on failure.
std::wstring WindowsFolder();

// The system's own Temp folder (<Windows>\Temp of the system, not the user's), where only
// administrators can read or change what others made; empty on failure.
std::wstring SystemTempFolder();

// The folder of the module that holds address, with a trailing backslash; empty when it cannot
// be found. Found by address, so a renamed file is still found.
std::wstring ModuleFolderOf(const void* address);

// The running program's file; empty when it cannot be read.
std::wstring ProgramPath();

// path made absolute against the current folder, as the system resolves it; empty on failure.
std::wstring FullPathOf(const std::wstring& path);

// True for a 32-bit process on 64-bit Windows.
bool IsWow64();

// True on 64-bit Windows, seen from a 32-bit (WOW64) or a 64-bit process.
bool Is64BitWindows();

}  // namespace util::win

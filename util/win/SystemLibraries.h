#pragma once
// Libraries come from the system folder only. The programs run elevated from folders anyone can
// write to (Downloads, a USB stick); a DLL of a system library's name placed there must never
// be loaded.
#include <windows.h>

namespace util::win {

// Narrows every later library search of this process to the system folder where Windows offers
// that (Windows 7 with KB2533623 and later), and drops the current folder from it everywhere.
// Called first thing in each program's entry. True when the narrowing took effect.
// (Delay-imported libraries come from the system folder anyway: see DelayLoader.cpp.)
bool RestrictLibrarySearch();

// The library name (a file name, no folder) loaded from the system folder by its full path;
// nullptr when it is not there.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace util::win

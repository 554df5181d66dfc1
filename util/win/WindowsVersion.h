#pragma once
// Windows version codes and where they come from.
#include <windows.h>

namespace util::win {

enum OsVersionCode : int {
    OS_UNKNOWN = 0,
    OS_WIN2000 = 3,
    OS_WINXP = 4,
    OS_WIN2003 = 5,
    OS_VISTA = 6,
    OS_WIN7 = 7,
    OS_WIN8 = 8,
    OS_WIN81 = 9,
    OS_WIN10 = 10,
};

// The code of a major.minor pair; OS_UNKNOWN for any pair not known.
int OsVersionCodeOf(DWORD major, DWORD minor);

// The version numbers from the process environment block; no version API is asked, so
// no compatibility shim can alter them. The build number too, when asked for.
void ReadPebOsVersion(DWORD& major, DWORD& minor, DWORD* build = nullptr);

}  // namespace util::win

#include "win/WindowsVersion.h"

#include <intrin.h>

namespace util::win {

int OsVersionCodeOf(DWORD major, DWORD minor) {
    struct Pair { DWORD major, minor; int code; };
    static const Pair kTable[] = {
        {5, 0, OS_WIN2000}, {5, 1, OS_WINXP}, {5, 2, OS_WIN2003}, {6, 0, OS_VISTA},
        {6, 1, OS_WIN7},    {6, 2, OS_WIN8},  {6, 3, OS_WIN81},   {10, 0, OS_WIN10},
    };
    for (const Pair& p : kTable) {
        if (p.major == major && p.minor == minor) return p.code;
    }
    return OS_UNKNOWN;
}

void ReadPebOsVersion(DWORD& major, DWORD& minor, DWORD* build) {
    // The thread environment block points to the process environment block; the version
    // numbers sit at fixed offsets in it, which differ between the 32- and 64-bit layouts.
#if defined(_WIN64)
    constexpr unsigned long kPebOffset = 0x60;
    constexpr size_t kMajorOffset = 0x118;
    constexpr size_t kMinorOffset = 0x11C;
    constexpr size_t kBuildOffset = 0x120;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"  // GCC takes the gs-relative read for an array access
    const auto* peb = reinterpret_cast<const BYTE*>(__readgsqword(kPebOffset));
#pragma GCC diagnostic pop
#else
    constexpr unsigned long kPebOffset = 0x30;
    constexpr size_t kMajorOffset = 0xA4;
    constexpr size_t kMinorOffset = 0xA8;
    constexpr size_t kBuildOffset = 0xAC;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"  // GCC takes the fs-relative read for an array access
    const auto* peb = reinterpret_cast<const BYTE*>(__readfsdword(kPebOffset));
#pragma GCC diagnostic pop
#endif
    major = *reinterpret_cast<const ULONG*>(peb + kMajorOffset);
    minor = *reinterpret_cast<const ULONG*>(peb + kMinorOffset);
    if (build) *build = *reinterpret_cast<const USHORT*>(peb + kBuildOffset);
}

}  // namespace util::win

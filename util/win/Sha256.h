#pragma once
// SHA-256 of an open file through CryptoAPI (advapi32, a known DLL on every supported Windows).
#include <windows.h>

#include <string>

namespace util::win {

// The SHA-256 of everything from the file's current position to its end, as 64 lowercase hex
// digits; empty when the file cannot be read or the system has no SHA-256 provider.
std::string Sha256OfFile(HANDLE file);

}  // namespace util::win

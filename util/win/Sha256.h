#pragma once
// SHA-256 of an open file through CryptoAPI (advapi32, a known DLL on every supported Windows).
#include <windows.h>

#include <string>

namespace util::win {

// The SHA-256 of everything from the file's current position to its end, as 64 lowercase hex
// digits; empty when the file cannot be read or the system has no SHA-256 provider.
std::string Sha256OfFile(HANDLE file);
// The SHA-256 of size bytes at data, in the same form; empty without a provider.
std::string Sha256OfBytes(const void* data, size_t size);

}  // namespace util::win

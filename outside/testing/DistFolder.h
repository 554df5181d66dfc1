#pragma once
// Where the test run finds the shipped binaries.
#include <cstdlib>
#include <string>

namespace outside::testing {

// SKELDA_DIST is a Unix path; Wine shows it under drive Z:.
inline std::wstring DistFolder() {
    const char* dist = std::getenv("SKELDA_DIST");
    std::string path = dist ? dist : "";
    for (char& c : path) if (c == '/') c = '\\';
    return L"Z:" + std::wstring(path.begin(), path.end());
}

}  // namespace outside::testing

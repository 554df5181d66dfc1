#pragma once
// A folder of its own for one test, removed with everything in it afterwards.
#include <windows.h>

#include <string>

#include "files/NoFollow.h"

namespace util::testing {

// Removes path with everything below it, never following a link (a test may plant some).
inline void RemoveTree(const std::wstring& path) { util::files::RemoveNoFollow(path); }

class TempFolder {
public:
    // name may add a suffix with blanks or other characters the test needs in the path.
    explicit TempFolder(const std::wstring& suffix = L"") {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        static LONG counter = 0;
        path_ = std::wstring(temp) + L"skelda-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(::InterlockedIncrement(&counter)) + suffix;
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() { RemoveTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Without a trailing backslash.
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

}  // namespace util::testing

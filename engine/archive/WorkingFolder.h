#pragma once
// The run's working folder, where every step writes. It may lie in a folder that the user's
// unelevated processes can write, so the elevated engine makes it anew for each run, holds it and
// every folder above it open against being renamed or replaced while the run lasts, and deletes
// only through handles opened without following links.
#include <windows.h>

#include <string>
#include <vector>

#include "win/UniqueHandle.h"

namespace engine::archive {

// The working folder's name beside the engine.
constexpr const wchar_t* kWorkingFolderName = L"SystemInfoLog";

// The working folder, made anew for each run and held until it is removed.
class WorkingFolderHold {
public:
    // Removes what an earlier run left (a link there as a link), makes the folder with the
    // access list of access and holds it and every folder above it. False, with the reason in
    // words, when it cannot be made safe.
    bool Make(const std::wstring& path, SECURITY_ATTRIBUTES* access, std::wstring& reason);
    // Everything inside, never following a link; the folder itself stays held.
    bool Empty();
    // Empties and removes the folder, then lets go of the folders above.
    void Remove();
    bool Held() const { return folder_.Valid(); }

private:
    std::wstring path_;
    std::vector<util::win::UniqueHandle> above_;
    util::win::UniqueHandle folder_;
};

}  // namespace engine::archive

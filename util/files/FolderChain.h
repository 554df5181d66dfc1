#pragma once
// The folders on the way to a place an elevated process writes to, when they lie where the user
// can write: each opened (and made, where missing) relative to the folder above it, which is
// held meanwhile, so no folder on the way can be swapped for a link between the check and the
// use; and no link is taken anywhere on the way, whoever made it.
#include <windows.h>

#include <string>
#include <vector>

#include "win/UniqueHandle.h"

namespace util::files {

struct FolderChain {
    // The root, then every folder below it down to the last, each held against renaming and
    // replacing (kHoldAccess, kHoldShare).
    std::vector<win::UniqueHandle> held;
    // The index in held of the first folder made now; held.size() when none was made.
    size_t firstMade = 0;
    HANDLE Last() const { return held.empty() ? INVALID_HANDLE_VALUE : held.back().Get(); }
    bool Made() const { return firstMade < held.size(); }
};

// Opens the folders of the full path path from its root down, making the missing ones with the
// access list made (null: the parent's). False, with the reason in words, when a folder on the
// way is a link, mount point or junction, is not a folder, or cannot be opened or made; chain
// is empty then.
bool MakeFolderChain(const std::wstring& path, PSECURITY_DESCRIPTOR made, FolderChain& chain, std::wstring& reason);

}  // namespace util::files

#include "archive/WorkingFolder.h"

#include "files/FolderWalker.h"
#include "files/NoFollow.h"
#include "text/LongPath.h"

using util::files::OpenNoFollow;
using util::files::WithLastError;
using util::text::LongPath;

namespace engine::archive {

bool WorkingFolderHold::Make(const std::wstring& path, SECURITY_ATTRIBUTES* access, std::wstring& reason) {
    Remove();
    const util::text::PathParts parts = util::text::SplitFullPath(path);
    if (!parts.valid || parts.names.empty()) {
        reason = L"not a full path: " + path;
        return false;
    }
    std::wstring why;
    above_ = util::files::HoldFolderChain(util::text::JoinParts(parts, parts.names.size() - 1), why);
    if (!why.empty()) {
        reason = L"the folders above the working folder cannot be held: " + why;
        return false;
    }
    if (!access) {
        reason = L"no access list could be made for the working folder";
        above_.clear();
        return false;
    }
    path_ = util::text::JoinParts(parts, parts.names.size());
    if (!util::files::RemoveNoFollow(path_)) {
        reason = WithLastError(L"what an earlier run left could not be removed: " + path_);
        above_.clear();
        return false;
    }
    if (!::CreateDirectoryW(LongPath(path_).c_str(), access)) {
        reason = WithLastError(L"cannot make the working folder " + path_);
        above_.clear();
        return false;
    }
    folder_ = OpenNoFollow(path_, util::files::kHoldAccess, util::files::kHoldShare);
    if (!folder_ || !util::files::IsPlainObjectAt(folder_.Get(), path_, true)) {
        reason = L"the working folder was replaced as it was made: " + path_;
        folder_.Reset();
        above_.clear();
        return false;
    }
    DWORD flags = 0;
    if (::GetVolumeInformationByHandleW(folder_.Get(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
        !(flags & FILE_PERSISTENT_ACLS)) {
        reason = L"the file system of the working folder keeps no access lists: " + path_;
        folder_.Reset();
        util::files::RemoveNoFollow(path_);
        above_.clear();
        return false;
    }
    return true;
}

bool WorkingFolderHold::Empty() {
    if (!folder_) return false;
    return util::files::RemoveEntries(path_, [](const util::files::FolderEntry&) { return false; });
}

void WorkingFolderHold::Remove() {
    // The hold does not have delete access itself (that would keep everybody, the packer
    // included, from listing the folder): it is let go, and the folder is removed through a
    // handle of its own while the folders above are still held.
    if (folder_) {
        Empty();
        folder_.Reset();
        util::files::RemoveNoFollow(path_);
    }
    above_.clear();
}

}  // namespace engine::archive

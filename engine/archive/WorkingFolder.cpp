#include "archive/WorkingFolder.h"

#include "files/FolderWalker.h"
#include "files/NoFollow.h"
#include "files/TrustedFolder.h"
#include "text/LongPath.h"

using util::files::OpenNoFollow;
using util::files::WithLastError;
using util::text::LongPath;

namespace engine::archive {

namespace {

constexpr wchar_t kKeptPrefix[] = L"OrvaneSkelda-kept ";

bool Digits(const std::wstring& text, size_t from, size_t count) {
    if (text.size() < from + count) return false;
    for (size_t i = from; i < from + count; ++i)
        if (text[i] < L'0' || text[i] > L'9') return false;
    return true;
}

// Renames object into folder under the first of nameFor(1..20) not taken; name is the last tried.
bool RenameToFreeName(HANDLE object, HANDLE folder, const std::function<std::wstring(int)>& nameFor,
                      std::wstring& name) {
    for (int attempt = 1; attempt <= 20; ++attempt) {
        name = nameFor(attempt);
        if (util::files::RenameByHandle(object, folder, name, false)) return true;
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS && error != ERROR_ACCESS_DENIED) return false;
    }
    return false;
}

}  // namespace

std::wstring KeptCollectionName(const SYSTEMTIME& now, int attempt) {
    wchar_t stamp[64];
    swprintf(stamp, 64, L"%04u-%02u-%02u %02u.%02u.%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
             now.wSecond);
    std::wstring name = kKeptPrefix + std::wstring(stamp);
    if (attempt > 1) name += L" (" + std::to_wstring(attempt) + L")";
    return name;
}

bool IsKeptCollectionName(const std::wstring& name) {
    const size_t p = std::wstring(kKeptPrefix).size();
    if (name.compare(0, p, kKeptPrefix) != 0) return false;
    // yyyy-mm-dd hh.mm.ss
    const bool stamp = Digits(name, p, 4) && name[p + 4] == L'-' && Digits(name, p + 5, 2) && name[p + 7] == L'-' &&
                       Digits(name, p + 8, 2) && name[p + 10] == L' ' && Digits(name, p + 11, 2) &&
                       name[p + 13] == L'.' && Digits(name, p + 14, 2) && name[p + 16] == L'.' && Digits(name, p + 17, 2);
    if (!stamp) return false;
    const std::wstring rest = name.substr(p + 19);
    if (rest.empty()) return true;
    return rest.size() >= 4 && rest.compare(0, 2, L" (") == 0 && rest.back() == L')' &&
           Digits(rest, 2, rest.size() - 3);
}

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

int RemoveKeptCollections(const std::wstring& folder, const util::files::OwnerRule& owners) {
    return util::files::RemoveTrustedFolders(
        folder, std::wstring(kKeptPrefix) + L"*",
        [](const util::files::FolderEntry& entry) { return IsKeptCollectionName(entry.name); },
        owners);
}

std::wstring WorkingFolderHold::Keep(const std::wstring& intoFolder, const std::function<std::wstring(int)>& nameFor,
                                     PSECURITY_DESCRIPTOR keptAccess, std::wstring& why) {
    if (!folder_) {
        why = L"no working folder";
        return {};
    }
    // The hold shares no deleting: it is let go, and the folder moved through a handle of its own
    // while the folders above are still held.
    folder_.Reset();
    util::win::UniqueHandle folder =
        OpenNoFollow(path_, DELETE | READ_CONTROL | WRITE_DAC | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE);
    util::win::UniqueHandle into = OpenNoFollow(intoFolder, util::files::kHoldAccess | FILE_ADD_SUBDIRECTORY,
                                                util::files::kHoldShare);
    std::wstring kept, name;
    if (!folder || !util::files::IsPlainObjectAt(folder.Get(), path_, true)) {
        why = WithLastError(L"cannot open the working folder " + path_);
    } else if (!into) {
        why = WithLastError(L"cannot open " + intoFolder);
    } else if (!RenameToFreeName(folder.Get(), into.Get(), nameFor, name)) {
        why = WithLastError(L"cannot move the working folder to " + intoFolder + L"\\" + name);
    } else {
        kept = intoFolder + L"\\" + name;
        // Administrators keep it; the user may read it. What is inside inherits the list.
        if (keptAccess && !util::files::SetAccessByHandle(folder.Get(), keptAccess))
            why = WithLastError(L"the kept folder keeps the working folder's list");
    }
    above_.clear();
    return kept;
}

}  // namespace engine::archive

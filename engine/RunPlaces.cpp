#include "RunPlaces.h"

#include "ArchiveTarget.h"
#include "HandleFiles.h"
#include "LongPath.h"

using skelda::FactsOfName;
using skelda::LongPath;
using skelda::OpenNoFollow;
using skelda::UniqueHandle;
using skelda::WithLastError;

namespace engine {

namespace {

std::wstring FullPath(const std::wstring& path) {
    const DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return {};
    std::wstring full(n, L'\0');
    const DWORD written = ::GetFullPathNameW(path.c_str(), n, &full[0], nullptr);
    if (written == 0 || written >= n) return {};
    full.resize(written);
    return full;
}

// Removes every entry of folder that skip does not pick, each without following links.
template <typename Skip>
bool RemoveEntries(const std::wstring& folder, Skip skip) {
    bool all = true;
    WIN32_FIND_DATAW data;
    skelda::UniqueFindHandle find(::FindFirstFileW((LongPath(folder) + L"\\*").c_str(), &data));
    if (!find.Valid()) return true;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L".." || skip(data)) continue;
        all = skelda::RemoveNoFollow(folder + L"\\" + name) && all;
    } while (::FindNextFileW(find.Get(), &data));
    return all;
}

void CollectRelative(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& files) {
    WIN32_FIND_DATAW data;
    skelda::UniqueFindHandle find(
        ::FindFirstFileW((LongPath(root) + (relative.empty() ? L"" : L"\\" + relative) + L"\\*").c_str(), &data));
    if (!find.Valid()) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(path);
        else if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) CollectRelative(root, path, files);
    } while (::FindNextFileW(find.Get(), &data));
}

}  // namespace

std::vector<std::wstring> RelativeFilesBelow(const std::wstring& folder) {
    std::vector<std::wstring> files;
    CollectRelative(folder, L"", files);
    return files;
}

bool WorkingFolderHold::Make(const std::wstring& path, SECURITY_ATTRIBUTES* access, std::wstring& reason) {
    Remove();
    const skelda::PathParts parts = skelda::SplitFullPath(path);
    if (!parts.valid || parts.names.empty()) {
        reason = L"not a full path: " + path;
        return false;
    }
    std::wstring why;
    above_ = skelda::HoldFolderChain(skelda::JoinParts(parts, parts.names.size() - 1), why);
    if (!why.empty()) {
        reason = L"the folders above the working folder cannot be held: " + why;
        return false;
    }
    if (!access) {
        reason = L"no access list could be made for the working folder";
        above_.clear();
        return false;
    }
    path_ = skelda::JoinParts(parts, parts.names.size());
    if (!skelda::RemoveNoFollow(path_)) {
        reason = WithLastError(L"what an earlier run left could not be removed: " + path_);
        above_.clear();
        return false;
    }
    if (!::CreateDirectoryW(LongPath(path_).c_str(), access)) {
        reason = WithLastError(L"cannot make the working folder " + path_);
        above_.clear();
        return false;
    }
    folder_ = OpenNoFollow(path_, skelda::kHoldAccess, skelda::kHoldShare);
    if (!folder_ || !skelda::IsPlainObjectAt(folder_.Get(), path_, true)) {
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
        skelda::RemoveNoFollow(path_);
        above_.clear();
        return false;
    }
    return true;
}

bool WorkingFolderHold::Empty() {
    if (!folder_) return false;
    return RemoveEntries(path_, [](const WIN32_FIND_DATAW&) { return false; });
}

void WorkingFolderHold::Remove() {
    // The hold does not have delete access itself (that would keep everybody, the packer
    // included, from listing the folder): it is let go, and the folder is removed through a
    // handle of its own while the folders above are still held.
    if (folder_) {
        Empty();
        folder_.Reset();
        skelda::RemoveNoFollow(path_);
    }
    above_.clear();
}

bool ArchivePlace::Prepare(const std::wstring& requested, const Access& access, const FILETIME& runStart,
                           std::wstring& reason) {
    Discard();
    const std::wstring full = requested.empty() ? std::wstring() : FullPath(requested);
    target_ = WithArchiveExtension(full);
    const skelda::PathParts parts = skelda::SplitFullPath(target_);
    if (!parts.valid || parts.names.empty()) {
        reason = L"not a path to an archive: " + requested;
        return false;
    }
    target_ = skelda::JoinParts(parts, parts.names.size());
    folder_ = skelda::JoinParts(parts, parts.names.size() - 1);
    if (FactsOfName(target_).folder) {
        reason = L"the archive path names a folder: " + target_;
        return false;
    }
    // The folders on the way; below a share only, the share itself is there or not.
    size_t firstMade = parts.names.size();
    for (size_t i = 1; i < parts.names.size(); ++i) {
        const std::wstring folder = skelda::JoinParts(parts, i);
        if (FactsOfName(folder).known) continue;
        if (!::CreateDirectoryW(LongPath(folder).c_str(), access.madeFolders) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            reason = WithLastError(L"cannot make the folder " + folder);
            return false;
        }
        if (firstMade == parts.names.size()) firstMade = i;
    }
    std::wstring why;
    above_ = skelda::HoldFolderChain(folder_, why);
    if (!why.empty()) {
        reason = L"the archive's folder cannot be held: " + why;
        above_.clear();
        return false;
    }
    targetFolder_ = OpenNoFollow(folder_, skelda::kHoldAccess, skelda::kHoldShare);
    if (!targetFolder_) {
        reason = WithLastError(L"cannot open the archive's folder " + folder_);
        Discard();
        return false;
    }
    // A folder someone else made could hold what they like, links included.
    const bool madeByRun = firstMade < parts.names.size();
    const std::wstring owner = skelda::OwnerOf(targetFolder_.Get());
    if (!madeByRun && !skelda::IsTrustedOwner(owner, access.userSid)) {
        reason = L"the archive's folder belongs to " + (owner.empty() ? std::wstring(L"an unknown owner") : owner) +
                 L", neither SYSTEM, Administrators nor the user: " + folder_;
        Discard();
        return false;
    }
    RemoveEarlierTemporaries(folder_, runStart);
    const unsigned long pid = ::GetCurrentProcessId();
    packingFolder_ = TemporaryFolderPath(target_, pid);
    temporary_ = TemporaryArchivePath(target_, pid);
    if (!::CreateDirectoryW(LongPath(packingFolder_).c_str(), access.packingFolder)) {
        reason = WithLastError(L"cannot write into the archive's folder " + folder_);
        Discard();
        return false;
    }
    packingHandle_ = OpenNoFollow(packingFolder_, skelda::kHoldAccess, skelda::kHoldShare);
    if (!packingHandle_ || !skelda::IsPlainObjectAt(packingHandle_.Get(), packingFolder_, true)) {
        reason = L"the packing folder was replaced as it was made: " + packingFolder_;
        packingHandle_.Reset();
        Discard();
        return false;
    }
    UniqueHandle proof = OpenNoFollow(temporary_, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                      access.madeFolders);
    if (!proof) {
        reason = WithLastError(L"cannot write the archive into " + folder_);
        Discard();
        return false;
    }
    return true;
}

void ArchivePlace::RemoveEarlierTemporaries(const std::wstring& folder, const FILETIME& runStart) {
    const std::wstring name = skelda::LastName(target_);
    RemoveEntries(folder, [&](const WIN32_FIND_DATAW& data) {
        return !IsEarlierTemporaryName(data.cFileName, name) || ::CompareFileTime(&data.ftLastWriteTime, &runStart) >= 0;
    });
}

bool ArchivePlace::ClearTemporaryArchive() { return Prepared() && skelda::RemoveNoFollow(temporary_); }

bool ArchivePlace::TemporaryArchiveWritten() const {
    const skelda::ObjectFacts facts = FactsOfName(temporary_);
    return Prepared() && facts.known && !facts.folder && !facts.link;
}

std::wstring ArchivePlace::Settle(PSECURITY_DESCRIPTOR archiveAccess, const SYSTEMTIME& now, bool& accessFailed) {
    accessFailed = false;
    UniqueHandle archive = OpenNoFollow(temporary_, DELETE | READ_CONTROL | WRITE_DAC | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                        FILE_SHARE_READ);
    if (!archive || !skelda::IsPlainObjectAt(archive.Get(), temporary_, false)) return temporary_;
    // Private before it takes a name others can see.
    accessFailed = !skelda::SetAccessByHandle(archive.Get(), archiveAccess);
    std::wstring placed;
    if (skelda::RenameByHandle(archive.Get(), targetFolder_.Get(), skelda::LastName(target_), true)) {
        placed = target_;
    } else {
        for (int attempt = 1; attempt <= 20 && placed.empty(); ++attempt) {
            const std::wstring name = KeptArchiveName(skelda::LastName(target_), now, attempt);
            if (skelda::RenameByHandle(archive.Get(), targetFolder_.Get(), name, false)) placed = folder_ + L"\\" + name;
        }
    }
    archive.Reset();
    if (placed.empty()) {
        // Neither name could be taken: the archive stays where the packer wrote it, with the
        // folder around it, and the caller names it.
        packingHandle_.Reset();
        above_.clear();
        targetFolder_.Reset();
        return temporary_;
    }
    Discard();
    return placed;
}

void ArchivePlace::Discard() {
    if (packingHandle_) {
        packingHandle_.Reset();
        skelda::RemoveNoFollow(packingFolder_);
    }
    targetFolder_.Reset();
    above_.clear();
}

}  // namespace engine

#include "archive/ArchivePlace.h"

#include "archive/ArchiveNames.h"
#include "files/FolderWalker.h"
#include "files/NoFollow.h"
#include "text/LongPath.h"
#include "win/SystemPaths.h"

using util::files::FactsOfName;
using util::files::OpenNoFollow;
using util::files::WithLastError;
using util::text::LongPath;
using util::win::UniqueHandle;

namespace engine::archive {

bool ArchivePlace::Prepare(const std::wstring& requested, const Access& access, const FILETIME& runStart,
                           std::wstring& reason) {
    Discard();
    const std::wstring full = requested.empty() ? std::wstring() : util::win::FullPathOf(requested);
    target_ = WithArchiveExtension(full);
    const util::text::PathParts parts = util::text::SplitFullPath(target_);
    if (!parts.valid || parts.names.empty()) {
        reason = L"not a path to an archive: " + requested;
        return false;
    }
    target_ = util::text::JoinParts(parts, parts.names.size());
    folder_ = util::text::JoinParts(parts, parts.names.size() - 1);
    if (FactsOfName(target_).Folder()) {
        reason = L"the archive path names a folder: " + target_;
        return false;
    }
    // The folders on the way; below a share only, the share itself is there or not.
    size_t firstMade = parts.names.size();
    for (size_t i = 1; i < parts.names.size(); ++i) {
        const std::wstring folder = util::text::JoinParts(parts, i);
        if (FactsOfName(folder).known) continue;
        if (!::CreateDirectoryW(LongPath(folder).c_str(), access.madeFolders) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            reason = WithLastError(L"cannot make the folder " + folder);
            return false;
        }
        if (firstMade == parts.names.size()) firstMade = i;
    }
    std::wstring why;
    above_ = util::files::HoldFolderChain(folder_, why);
    if (!why.empty()) {
        reason = L"the archive's folder cannot be held: " + why;
        above_.clear();
        return false;
    }
    targetFolder_ = OpenNoFollow(folder_, util::files::kHoldAccess, util::files::kHoldShare);
    if (!targetFolder_) {
        reason = WithLastError(L"cannot open the archive's folder " + folder_);
        Discard();
        return false;
    }
    // A folder someone else made could hold what they like, links included.
    const bool madeByRun = firstMade < parts.names.size();
    const util::files::OwnerRule owners{{}, access.userSid};
    const util::files::ObjectFacts facts = util::files::FactsOf(targetFolder_.Get(), {}, &owners);
    const std::wstring& owner = facts.ownerSid;
    if (!madeByRun && facts.owner != util::files::OwnerKind::Trusted && facts.owner != util::files::OwnerKind::User) {
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
    packingHandle_ = OpenNoFollow(packingFolder_, util::files::kHoldAccess, util::files::kHoldShare);
    if (!packingHandle_ || !util::files::IsPlainObjectAt(packingHandle_.Get(), packingFolder_, true)) {
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
    const std::wstring name = util::text::LastName(target_);
    util::files::RemoveEntries(folder, [&](const util::files::FolderEntry& entry) {
        return !IsEarlierTemporaryName(entry.name, name) || ::CompareFileTime(&entry.lastWrite, &runStart) >= 0;
    });
}

bool ArchivePlace::ClearTemporaryArchive() { return Prepared() && util::files::RemoveNoFollow(temporary_); }

bool ArchivePlace::TemporaryArchiveWritten() const {
    const util::files::ObjectFacts facts = FactsOfName(temporary_);
    return Prepared() && facts.known && !facts.Folder() && !facts.Link();
}

std::wstring ArchivePlace::Settle(PSECURITY_DESCRIPTOR archiveAccess, const SYSTEMTIME& now, bool& accessFailed) {
    accessFailed = false;
    UniqueHandle archive = OpenNoFollow(temporary_, DELETE | READ_CONTROL | WRITE_DAC | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                        FILE_SHARE_READ);
    if (!archive || !util::files::IsPlainObjectAt(archive.Get(), temporary_, false)) return temporary_;
    // Private before it takes a name others can see.
    accessFailed = !util::files::SetAccessByHandle(archive.Get(), archiveAccess);
    std::wstring placed;
    if (util::files::RenameByHandle(archive.Get(), targetFolder_.Get(), util::text::LastName(target_), true)) {
        placed = target_;
    } else {
        for (int attempt = 1; attempt <= 20 && placed.empty(); ++attempt) {
            const std::wstring name = KeptArchiveName(util::text::LastName(target_), now, attempt);
            if (util::files::RenameByHandle(archive.Get(), targetFolder_.Get(), name, false)) placed = folder_ + L"\\" + name;
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
        util::files::RemoveNoFollow(packingFolder_);
    }
    targetFolder_.Reset();
    above_.clear();
}

}  // namespace engine::archive

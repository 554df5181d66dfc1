#include "archive/ArchivePlace.h"

#include "archive/ArchiveNames.h"
#include "files/FolderChain.h"
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
    keep_ = false;
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
    // The folders on the way, each opened or made relative to the one above; below a share
    // only, the share itself is there or not.
    util::files::FolderChain chain;
    if (!util::files::MakeFolderChain(folder_, access.madeFolders, chain, reason)) return false;
    // A folder someone else made could hold what they like, links included.
    const util::files::OwnerRule owners{{}, access.userSid};
    const util::files::ObjectFacts facts = util::files::FactsOf(chain.Last(), {}, &owners);
    const std::wstring& owner = facts.ownerSid;
    if (!chain.Made() && facts.owner != util::files::OwnerKind::Trusted && facts.owner != util::files::OwnerKind::User) {
        reason = L"the archive's folder belongs to " + (owner.empty() ? std::wstring(L"an unknown owner") : owner) +
                 L", neither SYSTEM, Administrators nor the user: " + folder_;
        return false;
    }
    targetFolder_ = std::move(chain.held.back());
    chain.held.pop_back();
    above_ = std::move(chain.held);
    RemoveEarlierTemporaries(folder_, runStart);
    const unsigned long pid = ::GetCurrentProcessId();
    packingFolder_ = TemporaryFolderPath(target_, pid);
    temporary_ = TemporaryArchivePath(target_, pid);
    util::files::RelativeOpen packing;
    packing.kind = util::files::RelativeOpen::Kind::Folder;
    packing.disposition = util::files::RelativeOpen::Disposition::Create;
    packing.access = util::files::kHoldAccess | FILE_TRAVERSE;
    packing.share = util::files::kHoldShare;
    packing.security = access.packingFolder;
    DWORD error = 0;
    packingHandle_ = util::files::OpenRelative(targetFolder_.Get(), util::text::LastName(packingFolder_), packing, error);
    if (!packingHandle_) {
        reason = L"cannot write into the archive's folder " + folder_ + L" (error " + std::to_wstring(error) + L")";
        Discard();
        return false;
    }
    // The empty file that proves the place takes an archive; it inherits the packing folder's list.
    util::files::RelativeOpen proof;
    proof.disposition = util::files::RelativeOpen::Disposition::Create;
    proof.access = GENERIC_WRITE;
    if (!util::files::OpenRelative(packingHandle_.Get(), util::text::LastName(temporary_), proof, error)) {
        reason = L"cannot write the archive into " + folder_ + L" (error " + std::to_wstring(error) + L")";
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

namespace {

// Tries attempt until it succeeds, again while again() holds, waiting 50 ms at first, then
// longer, about mostMs in all.
template <typename Attempt, typename Again>
bool TryAgain(const ArchivePlace::Pause& pause, DWORD mostMs, Attempt attempt, Again again) {
    DWORD waited = 0;
    for (DWORD wait = 50;; wait = wait < 1000 ? wait * 2 : 1000) {
        if (attempt()) return true;
        if (!again() || waited >= mostMs) return false;
        if (pause)
            pause(wait);
        else
            ::Sleep(wait);
        waited += wait;
    }
}

// Scanners, backup and sync agents open a new file within milliseconds and may hold it a while
// without delete sharing: they are waited for, about half a minute in all.
template <typename Attempt>
bool WhileShared(const ArchivePlace::Pause& pause, Attempt attempt) {
    return TryAgain(pause, 30000, attempt, [] { return ::GetLastError() == ERROR_SHARING_VIOLATION; });
}

}  // namespace

bool ArchivePlace::ClearTemporaryArchive(const Pause& pause) {
    return Prepared() && WhileShared(pause, [this] { return util::files::RemoveNoFollow(temporary_); });
}

bool ArchivePlace::TemporaryArchiveWritten() const {
    const util::files::ObjectFacts facts = FactsOfName(temporary_);
    return Prepared() && facts.known && !facts.Folder() && !facts.Link();
}

ArchivePlace::Settled ArchivePlace::Settle(PSECURITY_DESCRIPTOR archiveAccess, const SYSTEMTIME& now,
                                          const Pause& pause) {
    keep_ = true;
    Settled settled;
    settled.place = temporary_;
    constexpr DWORD kAccess = DELETE | READ_CONTROL | WRITE_DAC | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
    UniqueHandle archive;
    WhileShared(pause, [&] {
        archive = OpenNoFollow(temporary_, kAccess, FILE_SHARE_READ);
        return archive.Valid();
    });
    if (!archive || !util::files::IsPlainObjectAt(archive.Get(), temporary_, false)) {
        // It stays where the packer wrote it; the caller names it.
        settled.atPlace = util::files::FactsOfName(temporary_).known;
        Discard(pause);
        return settled;
    }
    // Private before it takes a name others can see.
    settled.accessFailed = !util::files::SetAccessByHandle(archive.Get(), archiveAccess);
    std::wstring placed;
    if (util::files::RenameByHandle(archive.Get(), targetFolder_.Get(), util::text::LastName(target_), true)) {
        placed = target_;
    } else {
        for (int attempt = 1; attempt <= 20 && placed.empty(); ++attempt) {
            const std::wstring name = KeptArchiveName(util::text::LastName(target_), now, attempt);
            if (util::files::RenameByHandle(archive.Get(), targetFolder_.Get(), name, false)) placed = folder_ + L"\\" + name;
        }
    }
    if (!placed.empty()) settled.place = placed;
    // Checked through the archive's own handle: its name now is the one the host is told.
    settled.atPlace = util::files::IsObjectAt(archive.Get(), settled.place);
    archive.Reset();
    if (!placed.empty()) keep_ = false;  // the packing folder holds nothing of the run's any more
    Discard(pause);
    return settled;
}

void ArchivePlace::Discard(const Pause& pause) {
    if (packingHandle_) {
        packingHandle_.Reset();
        // A scanner walking the new folder, or still holding a file of it, can stand in the way
        // for a moment: tried again for a few seconds. What stays (empty once the archive has
        // its place) goes with the next run's earlier temporaries.
        if (!keep_)
            TryAgain(pause, 5000, [this] { return util::files::RemoveNoFollow(packingFolder_); }, [] { return true; });
    }
    targetFolder_.Reset();
    above_.clear();
}

}  // namespace engine::archive

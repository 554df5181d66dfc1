#pragma once
// Where the archive goes. The target's folder may lie in folders that the user's unelevated
// processes can write, so the elevated engine makes what it needs itself, holds it open against
// being renamed or replaced while the run lasts, and deletes, renames and sets access lists only
// through handles opened without following links.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win/UniqueHandle.h"

namespace engine::archive {

// Where the archive goes: the target checked and its folder held before anything is collected,
// the packer's own folder beside it, and the finished archive moved into place.
class ArchivePlace {
public:
    struct Access {
        std::wstring userSid;                // the user the run is for
        PSECURITY_DESCRIPTOR madeFolders;    // folders made on the way
        PSECURITY_DESCRIPTOR packingFolder;  // the folder the packer writes into, and what is in it
    };
    // Makes requested absolute (against the current folder), adds ".7z" where it has no
    // extension, makes the folders on the way (below a share too), each relative to the one
    // above, refuses a link anywhere on the way and a folder that belongs to someone else, removes temporary archives of earlier runs, and proves
    // the place writable with an empty temporary archive. False, with the reason in words,
    // when the archive could not go there.
    bool Prepare(const std::wstring& requested, const Access& access, const FILETIME& runStart,
                 std::wstring& reason);
    const std::wstring& Target() const { return target_; }
    const std::wstring& TemporaryArchive() const { return temporary_; }
    const std::wstring& PackingFolder() const { return packingFolder_; }
    // Waits ms milliseconds between tries (a test passes its own clock).
    using Pause = std::function<void(DWORD ms)>;
    // Removes the empty file that proved the place writable: the packer makes the archive anew.
    // A scanner holding it is waited for, as in Settle.
    bool ClearTemporaryArchive(const Pause& pause = {});
    // True when the packer left a file (not a link, not a folder) at the temporary name.
    bool TemporaryArchiveWritten() const;
    // Where a finished archive ended up.
    struct Settled {
        std::wstring place;         // the target, a name beside it, or where the packer wrote it
        bool atPlace = false;       // the archive's own handle names place: it is there
        bool accessFailed = false;  // its list could not be set
    };
    // From here on the temporary archive is the run's result: nothing of this place deletes it.
    void KeepTemporaryArchive() { keep_ = true; }
    // Gives the finished archive the access list of archiveAccess, then moves it over the
    // target, or where that fails beside it under a name of its own (KeptArchiveName). The
    // archive is never deleted: where it cannot be opened (a scanner or a sync agent holding the
    // new file without delete sharing, tried again for about half a minute) or renamed, it stays
    // where the packer wrote it, with the folder around it.
    Settled Settle(PSECURITY_DESCRIPTOR archiveAccess, const SYSTEMTIME& now, const Pause& pause = {});
    // Lets go of the folders; removes the packing folder with what is in it only where it holds
    // no archive that was kept (a run without an archive), trying again for a few seconds where
    // something stands in the way.
    void Discard(const Pause& pause = {});
    bool Prepared() const { return packingHandle_.Valid(); }

private:
    void RemoveEarlierTemporaries(const std::wstring& folder, const FILETIME& runStart);

    std::wstring target_;
    std::wstring folder_;
    std::wstring temporary_;
    std::wstring packingFolder_;
    std::vector<util::win::UniqueHandle> above_;  // the target's folder and those above it
    util::win::UniqueHandle targetFolder_;        // the folder the archive is renamed into
    util::win::UniqueHandle packingHandle_;
    bool keep_ = false;
};

}  // namespace engine::archive

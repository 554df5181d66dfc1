#pragma once
// The two places a run writes to outside the tools' own reports: its working folder beside the
// engine and the folder of the archive. Both may lie in folders that the user's unelevated
// processes can write, so the elevated engine makes them itself, holds them open against being
// renamed or replaced while the run lasts, and deletes, renames and sets access lists only
// through handles opened without following links.
#include <windows.h>

#include <string>
#include <vector>

#include "UniqueHandle.h"

namespace engine {

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
    std::vector<skelda::UniqueHandle> above_;
    skelda::UniqueHandle folder_;
};

// Where the archive goes: the target checked and its folder held before anything is collected,
// the packer's own folder beside it, and the finished archive moved into place.
class ArchivePlace {
public:
    struct Access {
        std::wstring userSid;                    // the user the run is for
        SECURITY_ATTRIBUTES* madeFolders;        // folders made on the way, the archive
        SECURITY_ATTRIBUTES* packingFolder;      // the folder the packer writes into
    };
    // Makes requested absolute (against the current folder), adds ".7z" where it has no
    // extension, makes the folders on the way (below a share too), refuses a folder that is a
    // link or belongs to someone else, removes temporary archives of earlier runs, and proves
    // the place writable with an empty temporary archive. False, with the reason in words,
    // when the archive could not go there.
    bool Prepare(const std::wstring& requested, const Access& access, const FILETIME& runStart,
                 std::wstring& reason);
    const std::wstring& Target() const { return target_; }
    const std::wstring& TemporaryArchive() const { return temporary_; }
    const std::wstring& PackingFolder() const { return packingFolder_; }
    // Removes the empty file that proved the place writable: the packer makes the archive anew.
    bool ClearTemporaryArchive();
    // True when the packer left a file (not a link, not a folder) at the temporary name.
    bool TemporaryArchiveWritten() const;
    // Gives the finished archive the access list of archiveAccess, then moves it over the
    // target, or where that fails beside it under a name of its own (KeptArchiveName). The
    // archive is never deleted: where neither works it stays where the packer wrote it. Returns
    // where it is; accessFailed tells whether the list could not be set.
    std::wstring Settle(PSECURITY_DESCRIPTOR archiveAccess, const SYSTEMTIME& now, bool& accessFailed);
    // Removes the packing folder with what is in it (a run without an archive) and lets go.
    void Discard();
    bool Prepared() const { return packingHandle_.Valid(); }

private:
    void RemoveEarlierTemporaries(const std::wstring& folder, const FILETIME& runStart);

    std::wstring target_;
    std::wstring folder_;
    std::wstring temporary_;
    std::wstring packingFolder_;
    std::vector<skelda::UniqueHandle> above_;  // the target's folder and those above it
    skelda::UniqueHandle targetFolder_;        // the folder the archive is renamed into
    skelda::UniqueHandle packingHandle_;
};

// Everything below folder that is a file, relative to it ("\" between folders), by long paths.
std::vector<std::wstring> RelativeFilesBelow(const std::wstring& folder);

}  // namespace engine

#pragma once
// File operations of an elevated process in folders that others can write: every object is
// opened itself, never what a link in its place points to, and deleted, renamed or given an
// access list through that handle, so nothing a link names is ever touched.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "files/FolderWalker.h"
#include "files/ObjectFacts.h"
#include "win/UniqueHandle.h"

namespace util::files {

using win::UniqueHandle;

// Opens a file or folder by its long path without following a link at its place (the link
// itself is opened). disposition and attributes as for CreateFileW.
UniqueHandle OpenNoFollow(const std::wstring& path, DWORD access, DWORD share, DWORD disposition = OPEN_EXISTING,
                          DWORD attributes = 0, SECURITY_ATTRIBUTES* security = nullptr);
// The same for an object that must exist, with its facts and its owner read through the handle
// (facts.error says why when it could not be opened).
UniqueHandle OpenNoFollow(const std::wstring& path, DWORD access, DWORD share, ObjectFacts& facts,
                          const OwnerRule& owners);

// How OpenRelative opens an entry of a held folder: a file or a folder; open an existing one,
// create a new one (an existing name fails) or either; a new one gets security where given.
struct RelativeOpen {
    enum class Kind { File, Folder };
    enum class Disposition { Open, Create, OpenOrCreate };
    Kind kind = Kind::File;
    Disposition disposition = Disposition::Open;
    DWORD access = 0;
    DWORD share = 0;
    PSECURITY_DESCRIPTOR security = nullptr;
};
// Opens the entry name (a bare name) of the folder held by folder, without following a link and
// without going through the folder's path again. error says why not; created tells whether it
// was made now.
UniqueHandle OpenRelative(HANDLE folder, const std::wstring& name, const RelativeOpen& how, DWORD& error,
                          bool* created = nullptr);
// Opens or creates (openIf) a file named name inside the folder held by folder (OpenRelative).
UniqueHandle OpenInFolder(HANDLE folder, const std::wstring& name, DWORD access, DWORD share, bool openIf,
                          DWORD& error);

// Folders held against renaming and replacing: open for listing, shared for reading and
// writing, never for deleting (renaming a folder needs delete access).
constexpr DWORD kHoldAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE;
constexpr DWORD kHoldShare = FILE_SHARE_READ | FILE_SHARE_WRITE;


// The full path the system resolves the handle to ("\\?\C:\..."); empty when unknown.
std::wstring FinalPathOf(HANDLE object);
// True when the handle is the object at path itself: no link, junction or replaced folder
// anywhere along the way led somewhere else. Compares without regard to case.
bool IsObjectAt(HANDLE object, const std::wstring& path);
// IsObjectAt, and the object is no link by its handle or its directory entry, and a folder
// exactly where folder says so.
bool IsPlainObjectAt(HANDLE object, const std::wstring& path, bool folder);

bool DeleteByHandle(HANDLE object);
// Renames the object into folder under name (a bare name), over an existing file if replace.
bool RenameByHandle(HANDLE object, HANDLE folder, const std::wstring& name, bool replace);
// Gives the object the protected access list of descriptor.
bool SetAccessByHandle(HANDLE object, PSECURITY_DESCRIPTOR descriptor);
// Removes path: a file, a link (the link alone) or a folder with everything in it, each
// through its own handle, never following a link. A folder that turns out to be somewhere
// else than its path says (a link the system followed) is left alone. True when it is gone or
// was never there.
bool RemoveNoFollow(const std::wstring& path);

// Removes everything in the folder held by folder (at path), each entry as RemoveNoFollow removes
// it; the names are read through the handle, so the folder's own sharing does not stand in the
// way. True when it is empty.
bool RemoveContentsOf(HANDLE folder, const std::wstring& path);

// Removes every entry of folder that keep does not pick, each as RemoveNoFollow removes it.
// True when everything that was to go is gone.
bool RemoveEntries(const std::wstring& folder, const std::function<bool(const FolderEntry&)>& keep);

// Handles on the folders of path from below its root down to the last one, each opened
// without following links and held against renaming (kHoldAccess, kHoldShare). Fails (empty
// result, reason set) when a folder is missing, a link whose owner is not administrative, or
// is not where its path says.
std::vector<UniqueHandle> HoldFolderChain(const std::wstring& path, std::wstring& reason);

// "<what> (error <code>)" for the thread's last error.
std::wstring WithLastError(const std::wstring& what);

}  // namespace util::files

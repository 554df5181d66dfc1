#pragma once
// File operations of an elevated process in folders that others can write: every object is
// opened itself, never what a link in its place points to, and deleted, renamed or given an
// access list through that handle, so nothing a link names is ever touched.
#include <windows.h>

#include <string>
#include <vector>

#include "UniqueHandle.h"

namespace skelda {

// Opens a file or folder by its long path without following a link at its place (the link
// itself is opened). disposition and attributes as for CreateFileW.
UniqueHandle OpenNoFollow(const std::wstring& path, DWORD access, DWORD share, DWORD disposition = OPEN_EXISTING,
                          DWORD attributes = 0, SECURITY_ATTRIBUTES* security = nullptr);

// Folders held against renaming and replacing: open for listing, shared for reading and
// writing, never for deleting (renaming a folder needs delete access).
constexpr DWORD kHoldAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE;
constexpr DWORD kHoldShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

struct ObjectFacts {
    bool known = false;   // the facts could be read
    bool folder = false;
    bool link = false;    // a reparse point: junction, symbolic link, mount point
    FILETIME lastWrite{};
};
ObjectFacts FactsOf(HANDLE object);
// The attributes of path as the directory lists it, without opening it: a link to a folder
// is seen as a link here even where opening it follows the link.
ObjectFacts FactsOfName(const std::wstring& path);

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
// The string SID of the object's owner; empty when it cannot be read.
std::wstring OwnerOf(HANDLE object);

// Owners whose objects a non-administrator cannot have made or changed: SYSTEM, the
// Administrators group, TrustedInstaller.
bool IsAdministrativeOwner(const std::wstring& sid);
// Those, or the user the run is for.
bool IsTrustedOwner(const std::wstring& sid, const std::wstring& userSid);

// Removes path: a file, a link (the link alone) or a folder with everything in it, each
// through its own handle, never following a link. A folder that turns out to be somewhere
// else than its path says (a link the system followed) is left alone. True when it is gone or
// was never there.
bool RemoveNoFollow(const std::wstring& path);

// Handles on the folders of path from below its root down to the last one, each opened
// without following links and held against renaming (kHoldAccess, kHoldShare). Fails (empty
// result, reason set) when a folder is missing, a link whose owner is not administrative, or
// is not where its path says.
std::vector<UniqueHandle> HoldFolderChain(const std::wstring& path, std::wstring& reason);

// "<what> (error <code>)" for the thread's last error.
std::wstring WithLastError(const std::wstring& what);

}  // namespace skelda

#pragma once
// Whether an elevated process may act on a file or folder that other users could have made.
// Only what SYSTEM, the Administrators group or TrustedInstaller own is trusted, and never a
// link: a user who made the object first, or put a link in its place, would otherwise steer
// the process's writes and settings. The decision is pure; the facts are gathered by handle.
#include <windows.h>

#include <string>
#include <vector>

#include "UniqueHandle.h"

namespace skelda {

enum class OwnerKind { Trusted, Other, Unknown };

// SYSTEM, Administrators, TrustedInstaller, and any SID in alsoTrusted (string form; tests
// name their own user there) are trusted owners; a null SID is unknown.
OwnerKind ClassifyOwner(PSID owner, const std::vector<std::wstring>& alsoTrusted = {});
// The same for a SID in string form ("S-1-5-18"); empty is unknown.
OwnerKind ClassifyOwnerText(const std::wstring& sid, const std::vector<std::wstring>& alsoTrusted = {});

// What is known about an object opened without following links.
struct PlaceFacts {
    bool opened = false;
    DWORD openError = 0;       // when not opened
    DWORD attributes = 0;      // from the handle
    bool linkByName = false;   // the directory entry says reparse point (an outer view of links)
    DWORD hardLinks = 1;
    OwnerKind owner = OwnerKind::Unknown;
    std::wstring ownerSid;     // for messages
};

enum class PlaceVerdict { Trusted, Missing, Unreadable, Link, HardLinked, WrongKind, UntrustedOwner };

// The verdict for a folder (wantFolder) or a file. A missing object is not a fault of trust:
// callers decide whether to make it.
PlaceVerdict JudgePlace(const PlaceFacts& facts, bool wantFolder);

// "is a link", "is owned by S-1-5-21-..., not by SYSTEM, Administrators or TrustedInstaller", ...
std::wstring VerdictText(PlaceVerdict verdict, const PlaceFacts& facts);

// Facts of an open handle; path (may be empty) is looked at for its directory entry only.
PlaceFacts FactsOfHandle(HANDLE handle, const std::wstring& path, const std::vector<std::wstring>& alsoTrusted);

// Opens a file or folder by full path without following a final link, with backup semantics
// and the given access and sharing; the facts say what was found.
UniqueHandle OpenPlace(const std::wstring& path, DWORD access, DWORD share, PlaceFacts& facts,
                       const std::vector<std::wstring>& alsoTrusted);

// Opens or creates (openIf) a file named name inside the folder held by folder, without
// following a link and without going through the folder's path again.
UniqueHandle OpenInFolder(HANDLE folder, const std::wstring& name, DWORD access, DWORD share, bool openIf,
                          DWORD& error);

// True when this process's token has the Administrators group enabled: elevated, or run by
// SYSTEM. A filtered (not elevated) administrator's token holds the group for denying only.
bool ProcessIsAdministrator();


}  // namespace skelda

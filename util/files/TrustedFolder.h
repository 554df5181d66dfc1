#pragma once
// Folders and files that an elevated process keeps in a place any user can write in (the common
// application-data folder): the tool log, its settings, the feedback record. A user could make
// them first, or put a link in their place, and steer the process's writes; so they are used
// only where they are no link and an administrator owns them, opened by handle, and the files
// only inside their held folder.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "files/FolderWalker.h"
#include "files/ObjectFacts.h"
#include "win/UniqueHandle.h"

namespace util::files {

// Further owners an administrator named: the string SIDs of HKLM\SOFTWARE\OrvaneSkelda, value
// TrustedOwners (several strings). Only administrators can write below HKLM\SOFTWARE, so this is
// no way in for a user; it serves file systems that report another owner for administrators'
// files (Wine reports its one user for every file, so the test bed names that user).
std::vector<std::wstring> MachineTrustedOwners();

// The folder at path, opened without following a link and held (no delete sharing: it is not
// renamed or replaced while held) with access; made with the list of sddlWhenMade when it is not
// there (whoever made it first, it is then judged like any folder found there). Empty, with the
// reason in why ("<path> is a link", ...), when it is not a folder a trusted owner owns.
win::UniqueHandle OpenTrustedFolder(const std::wstring& path, DWORD access, const wchar_t* sddlWhenMade,
                                    const OwnerRule& owners, std::wstring& why);

// The file name inside the folder held by folder (whose path is folderPath, for the facts and the
// reason), opened (created when create) without following a link and without the folder's path.
// Empty, with the reason in why, when it cannot be opened or is not a plain file with one name
// that a trusted owner owns; why stays empty for a file that is simply not there (create false).
win::UniqueHandle OpenTrustedFile(HANDLE folder, const std::wstring& folderPath, const std::wstring& name,
                                  DWORD access, bool create, const OwnerRule& owners, std::wstring& why);

// Removes the folders of parent matching pattern that pick takes, where each is no link, a
// trusted owner owns it, it is where its path says and no running process holds it (a folder in
// use is held without delete sharing). Anything else stays. Returns how many went.
int RemoveTrustedFolders(const std::wstring& parent, const std::wstring& pattern,
                         const std::function<bool(const FolderEntry&)>& pick, const OwnerRule& owners);

}  // namespace util::files

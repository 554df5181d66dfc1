#pragma once
// File-system helpers that know nothing of the product: existence, folder trees, removal, and
// waiting for files that others still write.
#include <windows.h>

#include <string>
#include <vector>

namespace skelda {

bool PathExists(const std::wstring& path);

// Creates every folder along path, the last component too unless it holds ".7z" (an archive
// file name). Stops, with success, at an empty component or a leading backslash.
// 1 when all needed folders exist, 0 when one could not be created.
// Folders it makes get the access list of access (when given); folders that exist keep theirs.
int EnsureFolderTree(const std::wstring& path, SECURITY_ATTRIBUTES* access = nullptr);

// The files below folder, sub-folders included.
std::vector<std::wstring> FilesBelow(const std::wstring& folder);

// Waits, at most timeoutMs in all, until every file below folder can be opened for reading
// while nobody writes to it. A process ends (and a tree ended through its job closes its
// handles) before all its writes are let go. Returns the files still open when the time is up.
std::vector<std::wstring> WaitUntilFilesReleased(const std::wstring& folder, DWORD timeoutMs);

}  // namespace skelda

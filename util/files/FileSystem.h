#pragma once
// File-system helpers that know nothing of the product: existence, folder trees, sizes, whole
// files, and waiting for files that others still write.
#include <windows.h>

#include <string>
#include <vector>

namespace util::files {

bool PathExists(const std::wstring& path);

// Creates every folder along path, the last component too unless it holds ".7z" (an archive
// file name). Stops, with success, at an empty component or a leading backslash.
// 1 when all needed folders exist, 0 when one could not be created.
// Folders it makes get the access list of access (when given); folders that exist keep theirs.
int EnsureFolderTree(const std::wstring& path, SECURITY_ATTRIBUTES* access = nullptr);

// The files below folder, sub-folders included (links to folders are not entered).
std::vector<std::wstring> FilesBelow(const std::wstring& folder);

// Size of a file, or of every file below a folder; 0 when there is nothing.
ULONGLONG BytesAt(const std::wstring& path);

// Creates or replaces the file with bytes; true when all were written.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// Waits, at most timeoutMs in all, until every file below folder can be opened for reading
// while nobody writes to it. A process ends (and a tree ended through its job closes its
// handles) before all its writes are let go. Returns the files still open when the time is up.
std::vector<std::wstring> WaitUntilFilesReleased(const std::wstring& folder, DWORD timeoutMs);

}  // namespace util::files

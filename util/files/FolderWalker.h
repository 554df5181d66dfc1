#pragma once
// The one way the code lists folders: entries by long path, "." and ".." never, and a link to a
// folder visited as an entry but never entered.
#include <windows.h>

#include <functional>
#include <string>

namespace util::files {

struct FolderEntry {
    std::wstring name;      // the entry's own name
    std::wstring path;      // the listed folder as given, a backslash (one) and the name
    std::wstring relative;  // below the folder a walk began in, backslashes between names
    DWORD attributes = 0;
    ULONGLONG size = 0;
    FILETIME lastWrite{};

    bool Folder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool Link() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

// Calls visit for each entry of folder whose name matches pattern (wildcards as FindFirstFileW
// takes them). false when the folder could not be listed (the last error says why; a folder
// that holds no match is listed).
bool ListFolder(const std::wstring& folder, const std::wstring& pattern,
                const std::function<void(const FolderEntry&)>& visit);

// What a walk does after visiting an entry.
enum class WalkStep { Enter, Skip };

// Every entry below folder, depth first, each folder visited before what it holds. A folder
// is entered when visit answers Enter and it is not a link.
void WalkTree(const std::wstring& folder, const std::function<WalkStep(const FolderEntry&)>& visit);

}  // namespace util::files

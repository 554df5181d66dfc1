#include "files/FolderWalker.h"

#include "text/LongPath.h"
#include "text/PathText.h"
#include "win/UniqueHandle.h"

namespace util::files {

namespace {

bool List(const std::wstring& folder, const std::wstring& pattern, const std::wstring& relative,
          const std::function<void(const FolderEntry&)>& visit) {
    // A folder given with its trailing backslash ("C:\\") is listed the same.
    const std::wstring base = text::WithTrailingBackslash(folder);
    WIN32_FIND_DATAW data;
    win::UniqueFindHandle find(::FindFirstFileW((text::LongPath(base) + pattern).c_str(), &data));
    if (!find.Valid()) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        FolderEntry entry;
        entry.name = data.cFileName;
        if (entry.name == L"." || entry.name == L"..") continue;
        entry.path = base + entry.name;
        entry.relative = relative.empty() ? entry.name : relative + L"\\" + entry.name;
        entry.attributes = data.dwFileAttributes;
        entry.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        entry.lastWrite = data.ftLastWriteTime;
        visit(entry);
    } while (::FindNextFileW(find.Get(), &data));
    return true;
}

void Walk(const std::wstring& folder, const std::wstring& relative,
          const std::function<WalkStep(const FolderEntry&)>& visit) {
    List(folder, L"*", relative, [&](const FolderEntry& entry) {
        if (visit(entry) == WalkStep::Enter && entry.Folder() && !entry.Link()) Walk(entry.path, entry.relative, visit);
    });
}

}  // namespace

bool ListFolder(const std::wstring& folder, const std::wstring& pattern,
                const std::function<void(const FolderEntry&)>& visit) {
    return List(folder, pattern, L"", visit);
}

void WalkTree(const std::wstring& folder, const std::function<WalkStep(const FolderEntry&)>& visit) {
    Walk(folder, L"", visit);
}

}  // namespace util::files

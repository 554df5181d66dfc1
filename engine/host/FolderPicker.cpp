#include "host/FolderPicker.h"

#include <shlobj.h>

#include <cwchar>

#include "api/OrvaneSkeldaApi.h"
#include "text/PathText.h"

namespace engine::host {

bool WriteArchivePath(const std::wstring& folder, wchar_t* buffer) {
    const auto path = util::text::JoinWithinCapacity(folder, api::kDefaultArchiveName, kArchivePathCapacity);
    if (!path || !buffer) return false;
    std::wmemcpy(buffer, path->c_str(), path->size() + 1);
    return true;
}

int PickArchiveFolder(HWND owner, wchar_t* buffer) {
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = L"请选择文件夹";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    PIDLIST_ABSOLUTE item = ::SHBrowseForFolderW(&info);
    if (!item) return 0;

    wchar_t folder[MAX_PATH] = {};
    const BOOL hasPath = ::SHGetPathFromIDListW(item, folder);
    ::CoTaskMemFree(item);
    if (!hasPath) return 1;  // a pick without a file-system path leaves the buffer as it was
    // A path too long for the caller's buffer is refused like a cancel.
    return WriteArchivePath(folder, buffer) ? 1 : 0;
}

}  // namespace engine::host

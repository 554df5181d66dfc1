#include "Collector.h"

#include <shlobj.h>

#include "ArchivePath.h"
#include "CommandRunner.h"
#include "OsVersion.h"
#include "SystemPaths.h"
#include "UniqueHandle.h"

CCollector g_collector;

int CCollector::InitDll() {
    skelda::BuildCatalogues(wmicCatalogue, wmiDeviceCatalogue, wmiSystemCatalogue);
    is64BitOs = skelda::Is64BitWindows() ? 1 : 0;
    return 1;
}

int CCollector::SetWndHandle(HWND hwnd) {
    if (!hwnd) return 0;
    hwndNotify = hwnd;
    return 1;
}

int CCollector::GetCurSystemIsSupport() {
    DWORD major = 0;
    DWORD minor = 0;
    engine::ReadPebOsVersion(major, minor);
    return CheckOsVersion(major, minor);
}

int CCollector::CheckOsVersion(DWORD major, DWORD minor) {
    osVersionCode = engine::OsVersionCodeOf(major, minor);
    return engine::IsSupportedOsCode(osVersionCode) ? 1 : 0;
}

int CCollector::SelectSaveSystemInfoFilePosition(HWND owner, wchar_t* buffer) {
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
    return engine::WriteArchivePath(folder, buffer) ? 1 : 0;
}

int CCollector::RestartSystem() {
    skelda::UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put())) return 0;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!::LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) return 0;
    ::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
    if (::GetLastError() != ERROR_SUCCESS) return 0;  // ERROR_NOT_ALL_ASSIGNED included
    // A restart that lets applications close themselves; nothing is forced.
    exitWindows(EWX_REBOOT, 0);
    return 1;
}

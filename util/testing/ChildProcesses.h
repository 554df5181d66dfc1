#pragma once
// Waiting for the processes a process started, for tests that must be sure nothing it started
// is still at work (or that nothing was started at all) before they look at the results.
#include <windows.h>
#include <tlhelp32.h>

#include <initializer_list>

namespace util::testing {

// Processes that Wine starts on demand for the whole prefix; whichever process happens to be
// the first to need one becomes its parent, so they say nothing about what the parent did.
inline bool IsSystemHelper(const wchar_t* image) {
    for (const wchar_t* name : {L"explorer.exe", L"conhost.exe", L"services.exe", L"rpcss.exe", L"plugplay.exe",
                                L"winedevice.exe", L"svchost.exe", L"tabtip.exe"})
        if (::lstrcmpiW(image, name) == 0) return true;
    return false;
}

// True when no running process that parentId started is still there.
inline bool NoChildrenOf(DWORD parentId) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    bool none = true;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && none; more = ::Process32NextW(snapshot, &entry))
        none = entry.th32ParentProcessID != parentId || entry.th32ProcessID == parentId ||
               IsSystemHelper(entry.szExeFile);
    ::CloseHandle(snapshot);
    return none;
}

// Polls until no process started by parentId runs any more; false after timeoutMs.
inline bool WaitForChildrenOf(DWORD parentId, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!NoChildrenOf(parentId)) {
        if (::GetTickCount() - start > timeoutMs) return false;
        ::Sleep(50);
    }
    return true;
}

// Polls until a process that parentId started runs; false after timeoutMs.
inline bool WaitForAChildOf(DWORD parentId, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (NoChildrenOf(parentId)) {
        if (::GetTickCount() - start > timeoutMs) return false;
        ::Sleep(50);
    }
    return true;
}

}  // namespace util::testing

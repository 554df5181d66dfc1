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

// When the process started, in FILETIME units; 0 when it cannot be asked.
inline ULONGLONG ProcessStart(DWORD processId) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return 0;
    FILETIME created{}, exited{}, kernel{}, user{};
    const bool known = ::GetProcessTimes(process, &created, &exited, &kernel, &user) != FALSE;
    ::CloseHandle(process);
    return known ? (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime : 0;
}

// True when no running process that parentId started is still there. A process that started
// before the parent did is no child of it: its own parent had the same id and ended (Wine
// hands ids out again quickly, and other tests run in the same prefix meanwhile).
inline bool NoChildrenOf(DWORD parentId) {
    const ULONGLONG parentStart = ProcessStart(parentId);
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    bool none = true;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && none; more = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID != parentId || entry.th32ProcessID == parentId || IsSystemHelper(entry.szExeFile))
            continue;
        const ULONGLONG start = ProcessStart(entry.th32ProcessID);
        none = parentStart != 0 && start != 0 && start < parentStart;
    }
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

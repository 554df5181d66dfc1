#pragma once
// The engine's one collector object: everything the exports work on. Each start of a
// collection makes a run object (engine::Run) that its four workers share.
#include <windows.h>

#include <memory>
#include <string>

#include "Catalogue.h"
#include "CollectResult.h"

class CCollector {
public:
    CCollector() = default;
    CCollector(const CCollector&) = delete;
    CCollector& operator=(const CCollector&) = delete;

    int InitDll();
    int SetWndHandle(HWND hwnd);
    int GetCurSystemIsSupport();
    int SelectSaveSystemInfoFilePosition(HWND owner, wchar_t* buffer);
    int StartGetSystemInfo(const wchar_t* archivePath, const int* switches);
    int RestartSystem();

    // The system call behind RestartSystem; tests put a recorder in its place.
    using ExitWindowsFn = BOOL(WINAPI*)(UINT flags, DWORD reason);
    void SetExitWindowsForTesting(ExitWindowsFn fn) { exitWindows = fn; }
    // Makes the worker with this index (0 to 3) throw as it starts; -1 for none.
    void SetThrowingWorkerForTesting(int index) { throwingWorker = index; }

    // Pure part of the version check, for a given pair from the environment block.
    int CheckOsVersion(DWORD major, DWORD minor);

    HWND NotifyWindow() const { return hwndNotify; }
    int OsVersion() const { return osVersionCode; }
    bool Is64BitOs() const { return is64BitOs != 0; }
    const skelda::FolderCatalogue& WmicCatalogue() const { return wmicCatalogue; }
    const skelda::FolderCatalogue& WmiDeviceCatalogue() const { return wmiDeviceCatalogue; }
    const skelda::FolderCatalogue& WmiSystemCatalogue() const { return wmiSystemCatalogue; }

    // Used by the worker threads.
    bool ThrowsForTesting(int index) const { return index == throwingWorker; }
    void WorkerEnded();
    // True while a worker thread of some run has not ended.
    bool IsRunning() const { return aliveThreads != 0; }

private:
    HWND hwndNotify = nullptr;
    skelda::FolderCatalogue wmicCatalogue;
    skelda::FolderCatalogue wmiDeviceCatalogue;
    skelda::FolderCatalogue wmiSystemCatalogue;
    int osVersionCode = 0;
    int is64BitOs = 0;
    // Worker threads not yet ended, of any run: a new start is refused while one lives.
    volatile LONG aliveThreads = 0;
    ExitWindowsFn exitWindows = &::ExitWindowsEx;
    int throwingWorker = -1;
};

extern CCollector g_collector;

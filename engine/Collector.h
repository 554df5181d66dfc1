#pragma once
// The engine's one collector object: everything the exports work on.
#include <windows.h>

#include <string>

#include "Catalogue.h"
#include "LogEntries.h"
#include "UniqueHandle.h"

// The message the engine sends to the registered window, always as a pair:
// first wParam 100 (the run is over), then 1 (archive made), 2 (failure) or 3 (a folder
// could not be created).
constexpr UINT WM_COLLECT_RESULT = WM_USER + 0x219;
enum CollectResult : WPARAM {
    COLLECT_SUCCEEDED = 1,
    COLLECT_FAILED = 2,
    COLLECT_FOLDER_FAILED = 3,
    COLLECT_FINISHED = 100,
};

constexpr int kCategoryCount = 8;

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

    // Pure part of the version check, for a given pair from the environment block.
    int CheckOsVersion(DWORD major, DWORD minor);

    HWND NotifyWindow() const { return hwndNotify; }
    int OsVersion() const { return osVersionCode; }
    bool Is64BitOs() const { return is64BitOs != 0; }
    const skelda::FolderCatalogue& WmicCatalogue() const { return wmicCatalogue; }
    const skelda::FolderCatalogue& WmiDeviceCatalogue() const { return wmiDeviceCatalogue; }
    const skelda::FolderCatalogue& WmiSystemCatalogue() const { return wmiSystemCatalogue; }

    // Used by the run and its workers.
    int EnsureFolderPath(const std::wstring& path);
    int IsCategoryEnabled(const std::wstring& folder) const;
    void WorkerEnded();

private:
    // The four workers, in the order they are started.
    int CollectEventLogs();
    int CollectFilesAndWmic();
    int CollectWmiDeviceClasses();
    int CollectWmiSystemClasses();

    int CollectWmiClasses(const skelda::FolderCatalogue& catalogue);
    void ExportEventLogs(const std::wstring& folder);
    int EnsureArchiveFolder();
    int FinishWorker();
    // Ends a worker with a failure pair and its log line; a plain failure removes the
    // working folder first. Always 0.
    int StopWorker(WPARAM result, toollog::Entry entry);
    void SendResult(WPARAM result);
    std::wstring WorkingFolder() const;


    HWND hwndNotify = nullptr;
    skelda::FolderCatalogue wmicCatalogue;
    skelda::FolderCatalogue wmiDeviceCatalogue;
    skelda::FolderCatalogue wmiSystemCatalogue;
    std::wstring commandOutput;  // the event-log listing of a run
    std::wstring archivePath;
    int osVersionCode = 0;
    volatile LONG liveWorkers = 0;
    skelda::CriticalSection folderLock;
    int switches[kCategoryCount] = {};
    volatile LONG packingStarted = 0;
    int is64BitOs = 0;
    skelda::CriticalSection reportLock;  // keeps each worker's pair together at the receiver
    std::wstring moduleFolder;       // the engine's folder for this run, trailing backslash
    volatile LONG aliveThreads = 0;  // worker threads not yet ended, of any run
    ExitWindowsFn exitWindows = &::ExitWindowsEx;
};

extern CCollector g_collector;

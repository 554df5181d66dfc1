#pragma once
// The engine's one collector object: everything the exports work on.
#include <windows.h>

#include <string>

#include "Catalogue.h"
#include "LogEntries.h"
#include "OrvaneSkeldaApi.h"
#include "PrivateAccess.h"
#include "RunGuard.h"
#include "StepJournal.h"
#include "UniqueHandle.h"

// The engine's names for the result message and codes of its binary interface.
constexpr UINT WM_COLLECT_RESULT = orvane::kResultMessage;
enum CollectResult : WPARAM {
    COLLECT_SUCCEEDED = orvane::kResultSucceeded,
    COLLECT_FAILED = orvane::kResultFailed,
    COLLECT_FOLDER_FAILED = orvane::kResultFolderFailed,
    COLLECT_FINISHED = orvane::kResultFinished,
};

constexpr int kCategoryCount = orvane::kCategoryCount;

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

    // Used by the run and its workers.
    int EnsureFolderPath(const std::wstring& path);
    int IsCategoryEnabled(const std::wstring& folder) const;
    void WorkerEnded();
    // A worker that ended by an unexpected error: its failure pair, as for any failure.
    void WorkerFailed();
    bool ThrowsForTesting(int index) const { return index == throwingWorker; }
    // True while a worker thread of some run has not ended.
    bool IsRunning() const { return aliveThreads != 0; }

private:
    // The four workers, in the order they are started.
    int CollectEventLogs();
    int CollectFilesAndWmic();
    int CollectWmiDeviceClasses();
    int CollectWmiSystemClasses();

    int CollectWmiClasses(const skelda::FolderCatalogue& catalogue, int worker);
    void ExportEventLogs(const std::wstring& folder);
    // One report made by a tool, within the time the run still allows (the long limit for
    // tools known to take long); a step past the run's limit is recorded as skipped.
    void ToolStep(int worker, const skelda::ToolReport& report, bool longStep = false);
    // One copy of a log file or folder by worker 2.
    void CopyStep(const std::wstring& source, const std::wstring& target,
                  bool (*copy)(const std::wstring&, const std::wstring&, bool));
    // The steps this run's switches plan, the event logs counted once the listing is in.
    int PlannedSteps() const;
    // The two report files, into the working folder just before packing.
    void WriteRunReport();
    int EnsureArchiveFolder();
    int FinishWorker();
    // Ends a worker with a failure pair and its log line; a plain failure removes the
    // working folder first. Always 0.
    int StopWorker(WPARAM result, toollog::Entry entry);
    void SendResult(WPARAM result);
    // Called once by each worker when its part of the run is over.
    void EndRunIfLast();
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
    volatile LONG guardHolders = 0;  // workers of this run whose part is not over yet
    skelda::RunGuard runGuard;
    skelda::PrivateAccess privateAccess;  // for the folders the run makes and the archive
    ExitWindowsFn exitWindows = &::ExitWindowsEx;
    int throwingWorker = -1;
    engine::StepJournal journal;  // the steps of the current run
};

extern CCollector g_collector;

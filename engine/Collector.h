#pragma once
// The engine's one collector object: everything the exports work on.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "LogEntries.h"
#include "OrvaneSkeldaApi.h"
#include "PrivateAccess.h"
#include "RunGuard.h"
#include "RunPlaces.h"
#include "StepJournal.h"
#include "StepPlan.h"
#include "StepPool.h"
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
static_assert(kCategoryCount == engine::kSwitchCount, "one switch per category");

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

    // One worker of the run (0 to 3): its folders, its steps, then the shared end step.
    int RunWorker(int index, const std::shared_ptr<engine::StepPool>& pool);

private:
    // Runs a worker's steps: in the run's pool, or one after another where there is none.
    // False when some step ended by an unexpected error.
    bool RunSteps(const std::vector<engine::PlannedStep>& steps, engine::StepPool* pool);
    // Runs one step and records what it left; its follow-ups go to next.
    void RunStep(const engine::PlannedStep& step, std::vector<engine::PlannedStep>& next);
    // What the plan of a run needs to know of this machine and this run.
    engine::PlanFacts PlanFacts() const;
    // The two report files, into the working folder just before packing; steps whose files
    // were still open ("/" between folders) are marked partial.
    void WriteRunReport(const std::vector<std::wstring>& heldFiles);
    // Makes the working folder and checks the archive's place, before any worker runs.
    // False, with a tool-log line and the reason for the host, when either cannot be used.
    bool PrepareRunPlaces(const std::wstring& requestedArchive);
    // The worker's share of that check: 1 when the run's places are ready; otherwise the
    // worker's folder-failure pair, and 0.
    int EnsureArchiveFolder();
    int FinishWorker();
    // Lists the packed archive and compares it with the working folder; where something is
    // missing or the packer warned, adds archive-check.txt. Returns what the archive lacks in
    // one line, empty when nothing.
    std::wstring CheckArchive(bool x64, DWORD packerExitCode, const std::wstring& packerMessages,
                              const std::vector<std::wstring>& heldFiles);
    // Ends a worker with a failure pair and its log line; a plain failure removes the
    // working folder first. Always 0.
    int StopWorker(WPARAM result, toollog::Entry entry);
    void SendResult(WPARAM result);
    // Called once by each worker when its part of the run is over.
    void EndRunIfLast();
    std::wstring WorkingFolder() const;
    // Inside the working folder: TEMP and TMP of every child of the run; removed before packing.
    std::wstring ChildTempFolder() const;

    HWND hwndNotify = nullptr;
    skelda::FolderCatalogue wmicCatalogue;
    skelda::FolderCatalogue wmiDeviceCatalogue;
    skelda::FolderCatalogue wmiSystemCatalogue;
    engine::RunPlan plan;  // what the current run's workers do
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
    skelda::PrivateAccess runFolderAccess;  // for the working folder and the packing folder
    engine::WorkingFolderHold workingHold;
    engine::ArchivePlace archivePlace;
    bool placesReady = false;  // set before the workers start, read by them
    ExitWindowsFn exitWindows = &::ExitWindowsEx;
    int throwingWorker = -1;
    engine::StepJournal journal;  // the steps of the current run
};

extern CCollector g_collector;

#pragma once
// The engine's one collector object: everything the exports work on. Each start of a
// collection makes a run object (run::Run) that its four workers share; the collector keeps
// only what outlives a run.
#include <windows.h>

#include <vector>

#include "api/OrvaneSkeldaApi.h"
#include "catalogue/Catalogue.h"
#include "host/WindowHost.h"
#include "run/RunLimits.h"

namespace engine::host {

// Windows 7, 8, 8.1 and 10 are supported.
bool IsSupportedOsCode(int code);

class Collector {
public:
    Collector() = default;
    Collector(const Collector&) = delete;
    Collector& operator=(const Collector&) = delete;

    int InitDll();
    int SetWndHandle(HWND hwnd);
    int GetCurSystemIsSupport();
    int SelectSaveSystemInfoFilePosition(HWND owner, wchar_t* buffer);
    int StartGetSystemInfo(const wchar_t* archivePath, const int* switches);
    int RestartSystem();
    int SetRunOptions(const api::RunOptions* options);

    // The system call behind RestartSystem; tests put a recorder in its place.
    using ExitWindowsFn = BOOL(WINAPI*)(UINT flags, DWORD reason);
    void SetExitWindowsForTesting(ExitWindowsFn fn) { exitWindows_ = fn; }
    // Makes the worker with this index (0 to 3) throw as it starts; -1 for none.
    void SetThrowingWorkerForTesting(int index) { throwingWorker_ = index; }
    // Steps of that plan::StepKind throw as they start.
    void SetThrowingStepKindForTesting(int kind) { throwingStepKind_ = kind; }

    // Pure part of the version check, for a given pair from the environment block.
    int CheckOsVersion(DWORD major, DWORD minor);

    HWND NotifyWindow() const { return notifyWindow_; }
    int OsVersion() const { return osVersionCode_; }
    bool Is64BitOs() const { return is64BitOs_; }
    const catalogue::FolderCatalogue& WmicCatalogue() const { return wmicCatalogue_; }
    const catalogue::FolderCatalogue& WmiDeviceCatalogue() const { return wmiDeviceCatalogue_; }
    const catalogue::FolderCatalogue& WmiSystemCatalogue() const { return wmiSystemCatalogue_; }
    // True while a worker thread of some run has not ended.
    bool IsRunning() const { return liveThreads_ != 0; }

private:
    HWND notifyWindow_ = nullptr;
    catalogue::FolderCatalogue wmicCatalogue_;
    catalogue::FolderCatalogue wmiDeviceCatalogue_;
    catalogue::FolderCatalogue wmiSystemCatalogue_;
    int osVersionCode_ = 0;
    bool is64BitOs_ = false;
    WindowHost host_;  // where every run's results go
    // Worker threads not yet ended, of any run: a new start is refused while one lives.
    volatile LONG liveThreads_ = 0;
    ExitWindowsFn exitWindows_ = &::ExitWindowsEx;
    int throwingWorker_ = -1;
    int throwingStepKind_ = -1;
    // What SetRunOptions gave, for every later run.
    std::vector<run::LimitSetting> hostLimits_;
    bool progress_ = false;
};

}  // namespace engine::host

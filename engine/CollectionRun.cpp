// The collector's start of a run: the run object and its four worker threads; and the pieces
// of a run that need no run object, the engine's folder and the packer's command.
#include "CollectionRun.h"

#include <memory>
#include <stdexcept>

#include "Categories.h"
#include "CommandLine.h"
#include "Collector.h"
#include "LogEntries.h"
#include "Run.h"
#include "SystemPaths.h"

using toollog::Entry;

static_assert(skelda::kCategories == kCategoryCount, "one switch per category of the table");

namespace engine {

std::wstring GetModuleFolder() { return skelda::ModuleFolderOf(reinterpret_cast<const void*>(&GetModuleFolder)); }

std::wstring PackerMessageSummary(const std::wstring& errors, size_t maxChars) {
    std::wstring summary;
    size_t start = 0;
    while (start < errors.size()) {
        size_t end = errors.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = errors.size();
        std::wstring line = errors.substr(start, end - start);
        start = end + 1;
        const size_t first = line.find_first_not_of(L" \t");
        if (first == std::wstring::npos) continue;
        line = line.substr(first, line.find_last_not_of(L" \t") - first + 1);
        summary += (summary.empty() ? L"" : L" | ") + line;
    }
    if (summary.size() > maxChars) summary = summary.substr(0, maxChars) + L"...";
    return summary;
}

std::wstring PackerPath(const std::wstring& moduleFolder, bool x64) {
    return moduleFolder + (x64 ? L"7z\\x64\\7zx64.exe" : L"7z\\x86\\7zx86.exe");
}

std::wstring PackerCommandLine(const std::wstring& moduleFolder, bool x64, const std::wstring& archivePath) {
    return skelda::Quoted(PackerPath(moduleFolder, x64)) + L" a -t7z " + skelda::Quoted(archivePath) + L" " +
           skelda::Quoted(moduleFolder + kWorkingFolderName + L"\\*") + L" -m0=BCJ -m1=LZMA:d=21 -ms -mmt";
}

}  // namespace engine

namespace {

struct WorkerStart {
    CCollector* collector;
    int index;
    std::shared_ptr<engine::Run> run;  // the last worker to let go of the run ends it
    HMODULE module;  // a reference that keeps the engine loaded while the worker runs
};

DWORD WINAPI WorkerMain(LPVOID param) {
    std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(param));
    CCollector* const collector = start->collector;
    const HMODULE module = start->module;
    try {
        if (collector->ThrowsForTesting(start->index)) throw std::runtime_error("worker fault for testing");
        start->run->RunWorker(start->index);
    } catch (...) {
        // A worker that throws ends like one that failed, with its failure pair; nothing
        // crosses the thread.
        start->run->WorkerFailed();
    }
    start.reset();  // the last worker's share of the run waits for the pool's threads here
    collector->WorkerEnded();
    if (module) ::FreeLibraryAndExitThread(module, 0);
    return 0;
}

// The module that holds the engine, referenced once more, unless the engine is part of the
// program itself.
HMODULE ReferenceEngineModule() {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&WorkerMain), &module);
    if (module == ::GetModuleHandleW(nullptr)) {
        ::FreeLibrary(module);
        return nullptr;
    }
    return module;
}

}  // namespace

int CCollector::StartGetSystemInfo(const wchar_t* path, const int* categorySwitches) {
    if (!path || !categorySwitches) return 0;
    // Workers of an earlier run still at work would share this run's process-wide settings.
    if (::InterlockedCompareExchange(&aliveThreads, 0, 0) != 0) return 0;
    engine::RunSetup setup;
    setup.moduleFolder = engine::GetModuleFolder();
    if (setup.moduleFolder.empty()) return 0;
    setup.notify = hwndNotify;
    for (int i = 0; i < kCategoryCount; ++i) setup.switches[i] = categorySwitches[i];
    setup.osVersionCode = osVersionCode;
    setup.windows64 = is64BitOs != 0;
    setup.wmic = &wmicCatalogue;
    setup.wmiDevice = &wmiDeviceCatalogue;
    setup.wmiSystem = &wmiSystemCatalogue;
    auto run = std::make_shared<engine::Run>(setup);
    // One run per machine: another process's run would share the working folder and could
    // pack or delete this one's data.
    if (!run->AcquireGuard()) return 0;
    run->Prepare(path);

    struct Worker {
        Entry startFailed;
        bool timeCritical;
        Entry priorityFailed;  // for time-critical workers only
    };
    static const Worker kWorkers[engine::kWorkerCount] = {
        {Entry::Worker1StartFailed, false, Entry::Worker1StartFailed},
        {Entry::Worker2StartFailed, false, Entry::Worker2StartFailed},
        {Entry::Worker3StartFailed, true, Entry::Worker3PriorityFailed},
        {Entry::Worker4StartFailed, true, Entry::Worker4PriorityFailed},
    };
    // Every worker is created suspended and counted before any of them runs: a quick worker
    // must not count itself off, find the count at zero and pack while the others have not
    // even been counted yet.
    HANDLE threads[engine::kWorkerCount] = {};
    int created = 0;
    int result = 1;
    for (const Worker& worker : kWorkers) {
        auto* start = new WorkerStart{this, created, run, ReferenceEngineModule()};
        HANDLE thread = ::CreateThread(nullptr, 0, WorkerMain, start, CREATE_SUSPENDED, nullptr);
        if (!thread) {
            if (start->module) ::FreeLibrary(start->module);
            delete start;
            toollog::Log(worker.startFailed);
            result = 0;  // the workers already made still run, and the last of them packs
            break;
        }
        if (worker.timeCritical) {
            if (created == 2) ::SetPriorityClass(::GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
            if (!::SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL)) toollog::Log(worker.priorityFailed);
        }
        threads[created++] = thread;
    }
    run->WorkersStarted(created);
    run.reset();  // the workers hold it now
    aliveThreads = created;
    for (int i = 0; i < created; ++i) {
        ::ResumeThread(threads[i]);
        ::CloseHandle(threads[i]);
    }
    return result;
}

void CCollector::WorkerEnded() { ::InterlockedDecrement(&aliveThreads); }

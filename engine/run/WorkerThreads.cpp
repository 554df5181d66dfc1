#include "run/WorkerThreads.h"

#include "toollog/LogEntries.h"

using toollog::Entry;

namespace engine::run {

namespace {

struct WorkerStart {
    int index;
    std::shared_ptr<Run> run;  // the last worker to let go of the run ends it
    volatile LONG* liveThreads;
    HMODULE module;  // a reference that keeps the engine loaded while the worker runs
};

DWORD WINAPI WorkerMain(LPVOID param) {
    std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(param));
    volatile LONG* const liveThreads = start->liveThreads;
    const HMODULE module = start->module;
    try {
        start->run->RunWorker(start->index);
    } catch (...) {
        // A worker that throws ends like one that failed, with its failure pair; nothing
        // crosses the thread.
        start->run->WorkerFailed();
    }
    start.reset();  // the last worker's share of the run waits for the pool's threads here
    ::InterlockedDecrement(liveThreads);
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

int StartWorkers(std::shared_ptr<Run> run, volatile LONG* liveThreads) {
    struct Worker {
        Entry startFailed;
        bool timeCritical;
        Entry priorityFailed;  // for time-critical workers only
    };
    static const Worker kWorkers[plan::kWorkerCount] = {
        {Entry::Worker1StartFailed, false, Entry::Worker1StartFailed},
        {Entry::Worker2StartFailed, false, Entry::Worker2StartFailed},
        {Entry::Worker3StartFailed, true, Entry::Worker3PriorityFailed},
        {Entry::Worker4StartFailed, true, Entry::Worker4PriorityFailed},
    };
    // Every worker is created suspended and counted before any of them runs: a quick worker
    // must not count itself off, find the count at zero and pack while the others have not
    // even been counted yet.
    HANDLE threads[plan::kWorkerCount] = {};
    int created = 0;
    int result = 1;
    for (const Worker& worker : kWorkers) {
        auto* start = new WorkerStart{created, run, liveThreads, ReferenceEngineModule()};
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
    *liveThreads = created;
    for (int i = 0; i < created; ++i) {
        ::ResumeThread(threads[i]);
        ::CloseHandle(threads[i]);
    }
    return result;
}

}  // namespace engine::run

#include "run/WorkerThreads.h"

#include <exception>

#include "text/WideText.h"
#include "toollog/LogEntries.h"
#include "win/ModuleReference.h"

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
    // Nothing crosses the thread: a worker that throws ends where it was (Run::WorkerFailed).
    try {
        try {
            start->run->RunWorker(start->index);
        } catch (const std::exception& e) {
            start->run->WorkerFailed(start->index, util::text::Widen(e.what(), CP_ACP));
        } catch (...) {
            start->run->WorkerFailed(start->index, L"an unknown error");
        }
    } catch (...) {
    }
    start.reset();  // the last worker's share of the run waits for the pool's threads here
    ::InterlockedDecrement(liveThreads);
    util::win::ExitThreadReleasing(module, 0);
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
        auto* start = new WorkerStart{created, run, liveThreads, util::win::ReferenceModuleOf(reinterpret_cast<const void*>(&WorkerMain))};
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

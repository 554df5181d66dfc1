#pragma once
// A run-wide pool of threads that start the run's steps, so that at most a set number of
// children run at once, whichever worker planned them. Known slow steps start first, and
// steps of one serial group never run at the same time (StepQueue).
#include <windows.h>

#include <functional>
#include <set>
#include <vector>

#include "run/StepQueue.h"
#include "win/UniqueHandle.h"

namespace engine::run {

class StepPool {
public:
    using Task = std::function<void()>;

    // Starts size threads (at least one is needed; where none can be made, Submit runs the
    // task itself).
    explicit StepPool(int size);
    // Lets the threads finish what is queued, then waits for them.
    ~StepPool();
    StepPool(const StepPool&) = delete;
    StepPool& operator=(const StepPool&) = delete;

    // The task must not throw.
    void Submit(Task task, bool slow, int serialGroup);

    int Threads() const { return static_cast<int>(threads_.size()); }
    // The most tasks that ran at the same time so far.
    int MostRunning();

private:
    static DWORD WINAPI ThreadMain(LPVOID self);
    void Loop();

    util::win::CriticalSection lock_;
    CONDITION_VARIABLE changed_;
    StepQueue<Task> queue_;
    std::set<int> busyGroups_;
    bool stopping_ = false;
    int running_ = 0;
    int mostRunning_ = 0;
    std::vector<util::win::UniqueHandle> threads_;
};

// The tasks of one worker in a pool. Wait returns once every task submitted through the batch
// has run, tasks that those submitted in turn included.
class TaskBatch {
public:
    explicit TaskBatch(StepPool& pool);
    TaskBatch(const TaskBatch&) = delete;
    TaskBatch& operator=(const TaskBatch&) = delete;

    void Submit(std::function<void()> task, bool slow, int serialGroup);
    void Wait();
    // True when some task threw: it ended there, and the batch counts it as run.
    bool Failed() const { return failed_ != 0; }

private:
    void Done();

    StepPool& pool_;
    volatile LONG pending_ = 1;  // the submitter's own hold until Wait
    volatile LONG failed_ = 0;
    util::win::UniqueHandle done_;
};

}  // namespace engine::run

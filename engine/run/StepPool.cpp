#include "run/StepPool.h"

namespace engine::run {

StepPool::StepPool(int size) {
    ::InitializeConditionVariable(&changed_);
    for (int i = 0; i < size; ++i) {
        util::win::UniqueHandle thread(::CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
        if (!thread) break;
        threads_.push_back(std::move(thread));
    }
}

StepPool::~StepPool() {
    {
        util::win::CriticalSectionLock hold(lock_.Native());
        stopping_ = true;
    }
    ::WakeAllConditionVariable(&changed_);
    for (const util::win::UniqueHandle& thread : threads_) ::WaitForSingleObject(thread.Get(), INFINITE);
}

void StepPool::Submit(Task task, bool slow, int serialGroup) {
    if (threads_.empty()) {
        task();
        return;
    }
    {
        util::win::CriticalSectionLock hold(lock_.Native());
        queue_.Push(std::move(task), slow, serialGroup);
    }
    ::WakeAllConditionVariable(&changed_);
}

int StepPool::MostRunning() {
    util::win::CriticalSectionLock hold(lock_.Native());
    return mostRunning_;
}

DWORD WINAPI StepPool::ThreadMain(LPVOID self) {
    static_cast<StepPool*>(self)->Loop();
    return 0;
}

void StepPool::Loop() {
    ::EnterCriticalSection(&lock_.Native());
    for (;;) {
        Task task;
        int group = 0;
        if (queue_.Take(busyGroups_, task, group)) {
            if (group) busyGroups_.insert(group);
            if (++running_ > mostRunning_) mostRunning_ = running_;
            ::LeaveCriticalSection(&lock_.Native());
            try {
                task();
            } catch (...) {
                // Tasks are not to throw; one that does must not end the pool's thread.
            }
            ::EnterCriticalSection(&lock_.Native());
            --running_;
            if (group) busyGroups_.erase(group);
            ::WakeAllConditionVariable(&changed_);  // a step of that group may start now
            continue;
        }
        if (stopping_ && queue_.Empty()) break;
        ::SleepConditionVariableCS(&changed_, &lock_.Native(), INFINITE);
    }
    ::LeaveCriticalSection(&lock_.Native());
}

TaskBatch::TaskBatch(StepPool& pool) : pool_(pool), done_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void TaskBatch::Submit(std::function<void()> task, bool slow, int serialGroup) {
    ::InterlockedIncrement(&pending_);
    try {
        pool_.Submit(
            [this, task = std::move(task)] {
                try {
                    task();
                } catch (...) {
                    ::InterlockedExchange(&failed_, 1);
                }
                Done();
            },
            slow, serialGroup);
    } catch (...) {
        // Not queued (no memory for it): counted off again, so that Wait still returns.
        ::InterlockedExchange(&failed_, 1);
        Done();
        throw;
    }
}

void TaskBatch::Done() {
    // Read before the count drops: once it is 0 a polling waiter may end the batch.
    const HANDLE done = done_.Get();
    if (::InterlockedDecrement(&pending_) == 0 && done) ::SetEvent(done);
}

void TaskBatch::Wait() {
    Done();
    if (done_) {
        ::WaitForSingleObject(done_.Get(), INFINITE);
    } else {
        while (pending_ != 0) ::Sleep(10);
    }
}

}  // namespace engine::run

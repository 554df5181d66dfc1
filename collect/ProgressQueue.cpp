#include "ProgressQueue.h"

#include <utility>

namespace collect {

bool LineQueue::PushProgress(std::wstring line) {
    if (lines_.size() >= capacity_) {
        ++dropped_;
        return false;
    }
    lines_.push_back(std::move(line));
    return true;
}

void LineQueue::PushKept(std::wstring line) { lines_.push_back(std::move(line)); }

bool LineQueue::Pop(std::wstring& line) {
    if (lines_.empty()) return false;
    line = std::move(lines_.front());
    lines_.pop_front();
    return true;
}

// Shared by the writer object and its thread, so that a thread still stuck in the sink when
// the object goes finds everything it touches when the console lets it go.
struct ConsoleWriter::State {
    State(Sink s, std::size_t capacity) : sink(std::move(s)), queue(capacity) {}
    Sink sink;
    util::win::CriticalSection lock;
    LineQueue queue;
    bool closing = false;  // no more lines come; end once the queue is empty
    util::win::UniqueHandle wake{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
};

namespace {

DWORD WINAPI WriterThread(void* parameter) {
    // The thread's own reference to the state, handed over by the constructor.
    std::unique_ptr<std::shared_ptr<ConsoleWriter::State>> owned(
        static_cast<std::shared_ptr<ConsoleWriter::State>*>(parameter));
    ConsoleWriter::State& state = **owned;
    for (;;) {
        std::wstring line;
        bool have = false, closing = false;
        {
            util::win::CriticalSectionLock hold(state.lock.Native());
            have = state.queue.Pop(line);
            closing = state.closing;
        }
        if (have) {
            try {
                state.sink(line);
            } catch (...) {
                // A line that could not be printed is lost; the next one is tried.
            }
            continue;
        }
        if (closing) return 0;
        ::WaitForSingleObject(state.wake.Get(), INFINITE);
    }
}

}  // namespace

ConsoleWriter::ConsoleWriter(Sink sink, std::size_t capacity, DWORD drainMs)
    : state_(std::make_shared<State>(std::move(sink), capacity)), drainMs_(drainMs) {
    if (!state_->wake) return;
    auto* threadOwned = new std::shared_ptr<State>(state_);
    thread_.Reset(::CreateThread(nullptr, 0, WriterThread, threadOwned, 0, nullptr));
    if (!thread_) delete threadOwned;
}

ConsoleWriter::~ConsoleWriter() { Finish(drainMs_); }

void ConsoleWriter::Progress(std::wstring line) { Push(std::move(line), false); }

void ConsoleWriter::Line(std::wstring line) { Push(std::move(line), true); }

void ConsoleWriter::Push(std::wstring line, bool kept) {
    if (finished_) return;
    if (!thread_) {
        state_->sink(line);
        return;
    }
    {
        util::win::CriticalSectionLock hold(state_->lock.Native());
        if (kept)
            state_->queue.PushKept(std::move(line));
        else
            state_->queue.PushProgress(std::move(line));
    }
    ::SetEvent(state_->wake.Get());
}

std::size_t ConsoleWriter::Dropped() const {
    util::win::CriticalSectionLock hold(state_->lock.Native());
    return state_->queue.Dropped();
}

bool ConsoleWriter::Finish(DWORD waitMs) {
    if (!thread_) {
        finished_ = true;
        return true;
    }
    if (!finished_) {
        finished_ = true;
        {
            util::win::CriticalSectionLock hold(state_->lock.Native());
            state_->closing = true;
        }
        ::SetEvent(state_->wake.Get());
    }
    return ::WaitForSingleObject(thread_.Get(), waitMs) == WAIT_OBJECT_0;
}

}  // namespace collect

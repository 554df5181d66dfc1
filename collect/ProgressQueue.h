#pragma once
// The console host's output on its way to the console. The engine's workers wait while their
// progress message is handled, so the handler only queues its line; a writer thread of the
// host prints. A console that stops taking text (a selection held, a remote shell that stopped
// reading) then costs progress lines, never the run.
#include <windows.h>

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "win/UniqueHandle.h"

namespace collect {

// Lines waiting to be printed, oldest first. Progress lines find room only while fewer than
// `capacity` lines wait, else they are dropped and counted; kept lines (results, summary)
// always go in.
class LineQueue {
public:
    explicit LineQueue(std::size_t capacity) : capacity_(capacity) {}
    // False when the line was dropped.
    bool PushProgress(std::wstring line);
    void PushKept(std::wstring line);
    // Takes the oldest line; false when none waits.
    bool Pop(std::wstring& line);
    std::size_t Waiting() const { return lines_.size(); }
    std::size_t Dropped() const { return dropped_; }

private:
    std::size_t capacity_;
    std::size_t dropped_ = 0;
    std::deque<std::wstring> lines_;
};

// Prints queued lines on a thread of its own through `sink`, which may block as long as the
// console does. Nothing here waits for the sink except Finish, and that only for a bounded
// time. Where no thread can be started, lines are printed at once on the caller's thread.
class ConsoleWriter {
public:
    using Sink = std::function<void(const std::wstring&)>;
    static constexpr std::size_t kCapacity = 512;
    static constexpr DWORD kDrainMs = 10000;

    explicit ConsoleWriter(Sink sink, std::size_t capacity = kCapacity, DWORD drainMs = kDrainMs);
    ~ConsoleWriter();  // Finish(drainMs)
    ConsoleWriter(const ConsoleWriter&) = delete;
    ConsoleWriter& operator=(const ConsoleWriter&) = delete;

    // A step's line: dropped and counted when the queue is full.
    void Progress(std::wstring line);
    // A line that is never dropped.
    void Line(std::wstring line);
    std::size_t Dropped() const;
    // Lets the writer print what waits and end; true when it did within waitMs. The writer
    // prints no lines given afterwards. A writer still stuck in the sink is left behind: it
    // owns what it still uses, and the process ends it on exit.
    bool Finish(DWORD waitMs);

    struct State;

private:
    void Push(std::wstring line, bool kept);

    std::shared_ptr<State> state_;
    util::win::UniqueHandle thread_;
    DWORD drainMs_;
    bool finished_ = false;
};

}  // namespace collect

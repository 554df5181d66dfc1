#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ProgressQueue.h"
#include "win/UniqueHandle.h"

using collect::ConsoleWriter;
using collect::LineQueue;

namespace {

std::vector<std::wstring> Drain(LineQueue& queue) {
    std::vector<std::wstring> lines;
    std::wstring line;
    while (queue.Pop(line)) lines.push_back(line);
    return lines;
}

// A console that takes the first line and then holds everything until released, as one with
// a selection held or a pipe nobody reads.
struct StalledConsole {
    util::win::UniqueHandle entered{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    util::win::UniqueHandle release{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    util::win::CriticalSection lock;
    std::vector<std::wstring> printed;

    void Print(const std::wstring& line) {
        ::SetEvent(entered.Get());
        ::WaitForSingleObject(release.Get(), INFINITE);
        util::win::CriticalSectionLock hold(lock.Native());
        printed.push_back(line);
    }
    std::vector<std::wstring> Printed() {
        util::win::CriticalSectionLock hold(lock.Native());
        return printed;
    }
};

ConsoleWriter::Sink SinkOf(const std::shared_ptr<StalledConsole>& console) {
    return [console](const std::wstring& line) { console->Print(line); };
}

}  // namespace

TEST(LineQueueTest, ProgressFindsRoomOnlyBelowTheCapacityAndKeptLinesAlways) {
    LineQueue queue(3);
    EXPECT_TRUE(queue.PushProgress(L"p1"));
    EXPECT_TRUE(queue.PushProgress(L"p2"));
    EXPECT_TRUE(queue.PushProgress(L"p3"));
    EXPECT_FALSE(queue.PushProgress(L"p4"));
    queue.PushKept(L"result");  // past the capacity
    EXPECT_EQ(queue.Waiting(), 4u);
    EXPECT_FALSE(queue.PushProgress(L"p5"));
    std::wstring line;
    ASSERT_TRUE(queue.Pop(line));
    EXPECT_EQ(line, L"p1");
    EXPECT_FALSE(queue.PushProgress(L"p6"));  // still three waiting
    ASSERT_TRUE(queue.Pop(line));
    EXPECT_TRUE(queue.PushProgress(L"p7"));
    EXPECT_EQ(queue.Dropped(), 3u);
    EXPECT_EQ(Drain(queue), (std::vector<std::wstring>{L"p3", L"result", L"p7"}));
    EXPECT_FALSE(queue.Pop(line));
    EXPECT_EQ(queue.Dropped(), 3u);
}

TEST(LineQueueTest, NoRoomDropsEveryProgressLineButNoKeptOne) {
    LineQueue queue(0);
    EXPECT_FALSE(queue.PushProgress(L"p1"));
    queue.PushKept(L"summary");
    EXPECT_FALSE(queue.PushProgress(L"p2"));
    EXPECT_EQ(queue.Dropped(), 2u);
    EXPECT_EQ(Drain(queue), std::vector<std::wstring>{L"summary"});
}

TEST(ConsoleWriterTest, PrintsEveryLineInOrderWhileThereIsRoom) {
    auto console = std::make_shared<StalledConsole>();
    ::SetEvent(console->release.Get());
    std::vector<std::wstring> expected;
    {
        ConsoleWriter out(SinkOf(console), 1000);
        for (int i = 0; i < 600; ++i) {
            expected.push_back(L"[" + std::to_wstring(i) + L"]");
            if (i % 100 == 99)
                out.Line(expected.back());
            else
                out.Progress(expected.back());
        }
        EXPECT_TRUE(out.Finish(10000));
        EXPECT_EQ(out.Dropped(), 0u);
    }
    EXPECT_EQ(console->Printed(), expected);
}

// The caller is never held up by a console that takes nothing: lines beyond the room are
// dropped and counted, the kept ones wait, and Finish gives up after its time.
TEST(ConsoleWriterTest, AStalledConsoleCostsProgressLinesNeverTheCaller) {
    auto console = std::make_shared<StalledConsole>();
    ConsoleWriter out(SinkOf(console), 4, 5000);
    out.Progress(L"p0");
    ASSERT_EQ(::WaitForSingleObject(console->entered.Get(), 10000), WAIT_OBJECT_0);  // p0 is stuck
    for (int i = 1; i <= 10; ++i) out.Progress(L"p" + std::to_wstring(i));
    EXPECT_EQ(out.Dropped(), 6u);
    out.Line(L"summary");
    EXPECT_FALSE(out.Finish(200));
    out.Line(L"after the end");  // not taken any more
    ::SetEvent(console->release.Get());
    EXPECT_TRUE(out.Finish(10000));
    EXPECT_EQ(console->Printed(), (std::vector<std::wstring>{L"p0", L"p1", L"p2", L"p3", L"p4", L"summary"}));
}

// The host returns while its writer is stuck in the console; when the console lets go later,
// the writer left behind finishes with what it owns.
TEST(ConsoleWriterTest, AWriterStuckAtTheEndIsLeftBehindSafely) {
    auto console = std::make_shared<StalledConsole>();
    {
        ConsoleWriter out(SinkOf(console), 4, 200);
        out.Line(L"summary");
        ASSERT_EQ(::WaitForSingleObject(console->entered.Get(), 10000), WAIT_OBJECT_0);
    }
    ::SetEvent(console->release.Get());
    for (int i = 0; i < 500 && console.use_count() > 1; ++i) ::Sleep(20);
    EXPECT_EQ(console.use_count(), 1) << "the writer thread did not end";
    EXPECT_EQ(console->Printed(), std::vector<std::wstring>{L"summary"});
}

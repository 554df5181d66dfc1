// The pool of a run's children: at most its size at once, serial groups one at a time, every
// task and its follow-ups waited for.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "run/StepPool.h"
#include "win/UniqueHandle.h"

namespace {

// A task that holds its place until released, and counts how many ran at once.
struct Gate {
    util::win::UniqueHandle release{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<int> running{0};
    std::atomic<int> most{0};
    std::atomic<int> ran{0};
    std::function<void()> Task() {
        return [this] {
            const int now = ++running;
            for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {
            }
            ::WaitForSingleObject(release.Get(), INFINITE);
            --running;
            ++ran;
        };
    }
};

TEST(StepPoolTest, NeverRunsMoreThanItsSizeAndWaitsForEveryTaskAndItsFollowUps) {
    Gate gate;
    engine::run::StepPool pool(3);
    ASSERT_EQ(pool.Threads(), 3);
    engine::run::TaskBatch batch(pool);
    std::atomic<int> followUps{0};
    for (int i = 0; i < 10; ++i) {
        batch.Submit(
            [&] {
                gate.Task()();
                // A follow-up joins the pool from inside a task; Wait waits for it too.
                batch.Submit([&] { ++followUps; }, false, 0);
            },
            i % 2 == 0, 0);
    }
    // Three hold their places, however long the machine takes to start them (a minute at most).
    for (int i = 0; i < 6000 && gate.running < 3; ++i) ::Sleep(10);
    EXPECT_EQ(gate.running, 3);
    ::SetEvent(gate.release.Get());
    batch.Wait();
    EXPECT_EQ(gate.ran, 10);
    EXPECT_EQ(followUps, 10);
    EXPECT_EQ(gate.most, 3);
    EXPECT_EQ(pool.MostRunning(), 3);
    EXPECT_FALSE(batch.Failed());
}

TEST(StepPoolTest, StepsOfOneSerialGroupNeverOverlap) {
    engine::run::StepPool pool(4);
    engine::run::TaskBatch batch(pool);
    std::atomic<int> inGroup{0};
    std::atomic<int> overlaps{0};
    std::atomic<int> others{0};
    for (int i = 0; i < 6; ++i) {
        batch.Submit(
            [&] {
                if (++inGroup > 1) ++overlaps;
                ::Sleep(30);
                --inGroup;
            },
            true, 1);
        batch.Submit([&] { ++others; }, false, 0);
    }
    batch.Wait();
    EXPECT_EQ(overlaps, 0);
    EXPECT_EQ(others, 6);
}

TEST(StepPoolTest, BatchesOfSeveralWorkersShareThePoolAndAThrowingTaskFailsOnlyItsBatch) {
    engine::run::StepPool pool(2);
    engine::run::TaskBatch good(pool);
    engine::run::TaskBatch bad(pool);
    std::atomic<int> ran{0};
    for (int i = 0; i < 5; ++i) {
        good.Submit([&] { ++ran; }, false, 0);
        bad.Submit([&, i] {
            if (i == 2) throw std::runtime_error("step fault");
            ++ran;
        }, false, 0);
    }
    good.Wait();
    bad.Wait();
    EXPECT_EQ(ran, 9);
    EXPECT_FALSE(good.Failed());
    EXPECT_TRUE(bad.Failed());
}

}  // namespace

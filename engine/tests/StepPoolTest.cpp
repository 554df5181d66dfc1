#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "StepPool.h"
#include "StepQueue.h"
#include "UniqueHandle.h"

namespace {

std::vector<int> Drain(engine::StepQueue<int>& queue, const std::set<int>& busy = {}) {
    std::vector<int> order;
    int item = 0;
    int group = 0;
    while (queue.Take(busy, item, group)) order.push_back(item);
    return order;
}

TEST(StepQueueTest, SlowStepsFirstThenTheRestInTheirOrder) {
    engine::StepQueue<int> queue;
    queue.Push(1, false, 0);
    queue.Push(2, true, 0);
    queue.Push(3, false, 0);
    queue.Push(4, true, 0);
    EXPECT_EQ(Drain(queue), (std::vector<int>{2, 4, 1, 3}));
    EXPECT_TRUE(queue.Empty());
}

TEST(StepQueueTest, AStepWhoseGroupRunsWaitsAndTheNextOneGoes) {
    engine::StepQueue<int> queue;
    queue.Push(1, true, 7);
    queue.Push(2, true, 7);
    queue.Push(3, true, 0);
    queue.Push(4, false, 7);
    queue.Push(5, false, 0);
    // Group 7 busy: only the steps of no group may start, slow first.
    EXPECT_EQ(Drain(queue, {7}), (std::vector<int>{3, 5}));
    EXPECT_EQ(queue.Size(), 3u);
    int item = 0;
    int group = 0;
    ASSERT_TRUE(queue.Take({}, item, group));
    EXPECT_EQ(item, 1);
    EXPECT_EQ(group, 7);
    EXPECT_FALSE(queue.Take({7}, item, group)) << "group 7 holds the rest";
}

// A task that holds its place until released, and counts how many ran at once.
struct Gate {
    skelda::UniqueHandle release{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<int> running{0};
    std::atomic<int> most{0};
    std::atomic<int> ran{0};
    std::function<void()> Task() {
        return [this] {
            const int now = ++running;
            for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {
            }
            ::WaitForSingleObject(release.Get(), 20000);
            --running;
            ++ran;
        };
    }
};

TEST(StepPoolTest, NeverRunsMoreThanItsSizeAndWaitsForEveryTaskAndItsFollowUps) {
    Gate gate;
    engine::StepPool pool(3);
    ASSERT_EQ(pool.Threads(), 3);
    engine::TaskBatch batch(pool);
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
    for (int i = 0; i < 200 && gate.running < 3; ++i) ::Sleep(10);
    ::Sleep(100);
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
    engine::StepPool pool(4);
    engine::TaskBatch batch(pool);
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
    engine::StepPool pool(2);
    engine::TaskBatch good(pool);
    engine::TaskBatch bad(pool);
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

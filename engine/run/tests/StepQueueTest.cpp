// The order in which waiting steps start.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "run/StepQueue.h"

namespace {

std::vector<int> Drain(engine::run::StepQueue<int>& queue, const std::set<int>& busy = {}) {
    std::vector<int> order;
    int item = 0;
    int group = 0;
    while (queue.Take(busy, item, group)) order.push_back(item);
    return order;
}

TEST(StepQueueTest, SlowStepsFirstThenTheRestInTheirOrder) {
    engine::run::StepQueue<int> queue;
    queue.Push(1, false, 0);
    queue.Push(2, true, 0);
    queue.Push(3, false, 0);
    queue.Push(4, true, 0);
    EXPECT_EQ(Drain(queue), (std::vector<int>{2, 4, 1, 3}));
    EXPECT_TRUE(queue.Empty());
}

TEST(StepQueueTest, AStepWhoseGroupRunsWaitsAndTheNextOneGoes) {
    engine::run::StepQueue<int> queue;
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

}  // namespace

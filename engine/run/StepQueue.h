#pragma once
// The order in which waiting steps start: steps known to be slow first, the rest in the order
// they came; a step whose serial group already has one running waits, and the next one that
// may start goes instead. Pure, so the order can be tested without running anything.
#include <cstddef>
#include <deque>
#include <set>

namespace engine::run {

template <typename T>
class StepQueue {
public:
    void Push(T item, bool slow, int serialGroup) {
        (slow ? slow_ : rest_).push_back({std::move(item), serialGroup});
    }

    // Takes the next item that may start while busyGroups run; false when none may.
    bool Take(const std::set<int>& busyGroups, T& item, int& serialGroup) {
        for (std::deque<Entry>* queue : {&slow_, &rest_}) {
            for (auto it = queue->begin(); it != queue->end(); ++it) {
                if (it->group != 0 && busyGroups.count(it->group)) continue;
                item = std::move(it->item);
                serialGroup = it->group;
                queue->erase(it);
                return true;
            }
        }
        return false;
    }

    bool Empty() const { return slow_.empty() && rest_.empty(); }
    size_t Size() const { return slow_.size() + rest_.size(); }

private:
    struct Entry {
        T item;
        int group;
    };
    std::deque<Entry> slow_;
    std::deque<Entry> rest_;
};

}  // namespace engine::run

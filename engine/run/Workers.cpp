// The four workers of a run: each makes its folders, runs its planned steps and ends with the
// shared end step. Where the run has a pool, the steps of all four go through it; otherwise
// each worker runs its own steps one after another, in plan order.
#include "Run.h"

#include <deque>
#include <functional>
#include <stdexcept>

#include "CollectResult.h"
#include "StepKinds.h"

using toollog::Entry;

namespace engine {

int Run::RunWorker(int index) {
    if (!EnsureArchiveFolder()) return 0;
    const WorkerPlan& work = plan.workers[index];
    for (const PlannedFolder& folder : work.folders)
        if (!EnsureFolderPath(folder.path)) return StopWorker(COLLECT_FOLDER_FAILED, folder.failed);
    if (!RunSteps(work.steps)) throw std::runtime_error("a step ended by an unexpected error");
    return FinishWorker();
}

void Run::RunStep(const PlannedStep& step, std::vector<PlannedStep>& next) {
    StepResult result = RunPlannedStep(step, journal);
    for (StepRecord& record : result.records) journal.Record(record.worker, std::move(record));
    next = std::move(result.followUps);
}

bool Run::RunSteps(const std::vector<PlannedStep>& steps) {
    if (!pool) {
        // One at a time: a step's follow-ups come straight after it.
        std::deque<PlannedStep> queue(steps.begin(), steps.end());
        while (!queue.empty()) {
            const PlannedStep step = std::move(queue.front());
            queue.pop_front();
            std::vector<PlannedStep> next;
            RunStep(step, next);
            queue.insert(queue.begin(), next.begin(), next.end());
        }
        return true;
    }
    TaskBatch batch(*pool);
    // A step's follow-ups join the pool once it has ended, behind what waits already.
    std::function<void(const PlannedStep&)> submit = [&](const PlannedStep& step) {
        batch.Submit(
            [this, &submit, step] {
                std::vector<PlannedStep> next;
                RunStep(step, next);
                for (const PlannedStep& follow : next) submit(follow);
            },
            step.slow, step.serialGroup);
    };
    for (const PlannedStep& step : steps) submit(step);
    batch.Wait();
    return !batch.Failed();
}

}  // namespace engine

// The four workers of a run: each makes its folders, runs its planned steps and ends with the
// shared end step. Where the run has a pool, the steps of all four go through it; otherwise
// each worker runs its own steps one after another, in plan order.
#include <deque>
#include <functional>
#include <stdexcept>

#include "Collector.h"
#include "StepKinds.h"

using toollog::Entry;

int CCollector::RunWorker(int index, const std::shared_ptr<engine::StepPool>& pool) {
    if (!EnsureArchiveFolder()) return 0;
    const engine::WorkerPlan& work = plan.workers[index];
    for (const engine::PlannedFolder& folder : work.folders)
        if (!EnsureFolderPath(folder.path)) return StopWorker(COLLECT_FOLDER_FAILED, folder.failed);
    if (!RunSteps(work.steps, pool.get())) throw std::runtime_error("a step ended by an unexpected error");
    return FinishWorker();
}

void CCollector::RunStep(const engine::PlannedStep& step, std::vector<engine::PlannedStep>& next) {
    engine::StepResult result = engine::RunPlannedStep(step, journal);
    for (engine::StepRecord& record : result.records) journal.Record(record.worker, std::move(record));
    next = std::move(result.followUps);
}

bool CCollector::RunSteps(const std::vector<engine::PlannedStep>& steps, engine::StepPool* pool) {
    if (!pool) {
        // One at a time: a step's follow-ups come straight after it.
        std::deque<engine::PlannedStep> queue(steps.begin(), steps.end());
        while (!queue.empty()) {
            const engine::PlannedStep step = std::move(queue.front());
            queue.pop_front();
            std::vector<engine::PlannedStep> next;
            RunStep(step, next);
            queue.insert(queue.begin(), next.begin(), next.end());
        }
        return true;
    }
    engine::TaskBatch batch(*pool);
    // A step's follow-ups join the pool once it has ended, behind what waits already.
    std::function<void(const engine::PlannedStep&)> submit = [&](const engine::PlannedStep& step) {
        batch.Submit(
            [this, &submit, step] {
                std::vector<engine::PlannedStep> next;
                RunStep(step, next);
                for (const engine::PlannedStep& follow : next) submit(follow);
            },
            step.slow, step.serialGroup);
    };
    for (const engine::PlannedStep& step : steps) submit(step);
    batch.Wait();
    return !batch.Failed();
}

// The four workers of a run: each makes its folders, runs its planned steps and ends with the
// shared end step. Where the run has a pool, the steps of all four go through it; otherwise
// each worker runs its own steps one after another, in plan order. Each step goes to the step
// kind that does it.
#include "run/Workers.h"

#include <deque>
#include <functional>
#include <stdexcept>

#include "api/OrvaneSkeldaApi.h"
#include "files/FileSystem.h"
#include "run/Run.h"
#include "steps/AliasBatchStep.h"
#include "steps/CopyStep.h"
#include "steps/EventLogListing.h"
#include "steps/ToolStep.h"

namespace engine::run {

using plan::PlannedStep;
using plan::StepKind;
using report::Outcome;
using report::StepRecord;

namespace {

StepRecord Skipped(const std::wstring& what, const std::wstring& output, const std::wstring& category = {}) {
    StepRecord record;
    report::StepClock().Finish(record);
    record.what = what;
    record.output = output;
    record.category = category;
    record.outcome = Outcome::Skipped;
    record.reason = L"the run's time limit had passed";
    return record;
}

std::wstring AliasWhat(const std::wstring& alias) { return L"WMI for WMIC " + alias + L" (answered without WMIC)"; }

ULONGLONG NowAsFileTime() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace

std::vector<StepRecord> SkippedRecords(const PlannedStep& step) {
    std::vector<StepRecord> records;
    if (step.kind == StepKind::AliasFolder) {
        for (const catalogue::CatalogueRow& row : step.rows)
            records.push_back(Skipped(AliasWhat(row.key), catalogue::ReportPath(step.folder, row.label)));
    } else {
        records.push_back(Skipped(step.what, step.output, step.category));
    }
    for (const PlannedStep& next : step.then)
        for (StepRecord& record : SkippedRecords(next)) records.push_back(std::move(record));
    for (StepRecord& record : records) record.worker = step.worker;
    return records;
}

StepResult RunPlannedStep(const PlannedStep& step, StepJournal& journal, const child::ChildLauncher& launcher) {
    StepResult result;
    const DWORD limit = journal.StepLimit(step.longLimit);
    const ULONGLONG started = NowAsFileTime();
    if (limit == 0) {
        result.records = SkippedRecords(step);
        return result;
    }
    switch (step.kind) {
        case StepKind::ToolReport:
            result.records.push_back(steps::RunToolReport(launcher, {step.program, step.what, step.output}, limit));
            break;
        case StepKind::ToolRun: {
            // What it fails to write, its copy reports (and logs) as the log not had.
            StepRecord record = steps::RunToolStep(launcher, steps::ToolPath(step.program), step.what, limit);
            record.category = step.category;
            result.records.push_back(std::move(record));
            break;
        }
        case StepKind::Copy:
            result.records.push_back(steps::RunCopyStep(step));
            break;
        case StepKind::EventLogListing: {
            steps::ListingResult listing = steps::RunListingStep(launcher, step, limit);
            for (const std::wstring& name : listing.names)
                result.followUps.push_back(plan::EventLogExportStep(name, step.folder));
            journal.AddPlanned(static_cast<int>(result.followUps.size()));
            result.records.push_back(std::move(listing.record));
            break;
        }
        case StepKind::EventLogExport: {
            StepRecord record = steps::RunToolStep(launcher, steps::ToolPath(step.program), step.what, limit);
            record.output = step.output;
            record.bytes = util::files::BytesAt(step.output);
            result.records.push_back(std::move(record));
            break;
        }
        case StepKind::AliasFolder:
            steps::RunWmiAliasReports(launcher, step.rows, step.folder,
                                      {limit, [&journal] { return journal.RunLeftMs(); }}, result.records);
            break;
    }
    for (const PlannedStep& next : step.then) {
        result.followUps.push_back(next);
        result.followUps.back().producerStart = started;
    }
    for (StepRecord& record : result.records) record.worker = step.worker;
    return result;
}

int Run::RunWorker(int index) {
    if (index == setup_.throwingWorkerForTesting) throw std::runtime_error("worker fault for testing");
    if (!EnsureArchiveFolder()) return 0;
    const plan::WorkerPlan& work = plan_.workers[index];
    for (const plan::PlannedFolder& folder : work.folders)
        if (!EnsureFolderPath(folder.path)) return StopWorker(api::kResultFolderFailed, folder.failed);
    if (!RunSteps(work.steps)) throw std::runtime_error("a step ended by an unexpected error");
    return FinishWorker();
}

void Run::RunStep(const PlannedStep& step, std::vector<PlannedStep>& next) {
    StepResult result = RunPlannedStep(step, journal_, *launcher_);
    for (StepRecord& record : result.records) journal_.Record(record.worker, std::move(record));
    next = std::move(result.followUps);
}

bool Run::RunSteps(const std::vector<PlannedStep>& steps) {
    if (!pool_) {
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
    TaskBatch batch(*pool_);
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

}  // namespace engine::run

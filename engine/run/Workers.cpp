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
#include "text/WideText.h"
#include "steps/AliasBatchStep.h"
#include "steps/CopyStep.h"
#include "steps/EventLogListing.h"
#include "steps/EventLogTexts.h"
#include "steps/ToolStep.h"

namespace engine::run {

using plan::PlannedStep;
using plan::StepKind;
using report::Outcome;
using report::StepRecord;

namespace {

StepRecord Unrun(const std::wstring& what, const std::wstring& output, const std::wstring& category, Outcome outcome,
                 const std::wstring& reason) {
    StepRecord record;
    report::StepClock().Finish(record);
    record.what = what;
    record.output = output;
    record.category = category;
    record.outcome = outcome;
    record.reason = reason;
    return record;
}

std::wstring AliasWhat(const std::wstring& alias) { return L"WMI for WMIC " + alias + L" (answered without WMIC)"; }

ULONGLONG NowAsFileTime() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace

std::vector<StepRecord> UnrunRecords(const PlannedStep& step, Outcome outcome, const std::wstring& reason) {
    std::vector<StepRecord> records;
    if (step.kind == StepKind::AliasFolder) {
        for (const catalogue::CatalogueRow& row : step.rows)
            records.push_back(
                Unrun(AliasWhat(row.key), catalogue::ReportPath(step.folder, row.label), {}, outcome, reason));
    } else {
        records.push_back(Unrun(step.what, step.output, step.category, outcome, reason));
    }
    for (const PlannedStep& next : step.then)
        for (StepRecord& record : UnrunRecords(next, outcome, reason)) records.push_back(std::move(record));
    for (StepRecord& record : records) record.worker = step.worker;
    return records;
}

StepResult RunPlannedStep(const PlannedStep& step, StepJournal& journal, const child::ChildLauncher& launcher) {
    StepResult result;
    const DWORD limit = journal.StepLimit(step.longLimit);
    const ULONGLONG started = NowAsFileTime();
    if (limit == 0) {
        result.records = UnrunRecords(step, Outcome::Skipped, L"the run's time limit had passed");
        return result;
    }
    bool followsUp = true;  // what follows the step runs after it
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
            result.records.push_back(steps::RunCopyStep(step, {limit}));
            break;
        case StepKind::EventLogListing: {
            steps::ListingResult listing = steps::RunListingStep(launcher, step, limit);
            for (const std::wstring& name : listing.names)
                result.followUps.push_back(plan::EventLogExportStep(name, step.folder, step.locales));
            journal.AddPlanned(plan::CountSteps(result.followUps));
            result.records.push_back(std::move(listing.record));
            break;
        }
        case StepKind::EventLogExport: {
            StepRecord record = steps::RunToolStep(launcher, steps::ToolPath(step.program), step.what, limit);
            record.output = step.output;
            if (!step.writtenAs.empty()) steps::RenameExport(step.writtenAs, record);
            record.bytes = util::files::BytesAt(step.output);
            // A log that holds no events needs no texts.
            if (record.outcome != Outcome::Ok || record.bytes <= plan::kEmptyEventLogBytes) {
                journal.AddPlanned(-plan::CountSteps(step.then));
                followsUp = false;
            }
            result.records.push_back(std::move(record));
            break;
        }
        case StepKind::EventLogTexts:
            result.records.push_back(steps::RunEventLogTextsStep(launcher, step, limit));
            break;
        case StepKind::AliasFolder:
            steps::RunWmiAliasReports(launcher, step.rows, step.folder,
                                      {limit, [&journal] { return journal.RunLeftMs(); }}, result.records);
            break;
    }
    if (followsUp) {
        for (const PlannedStep& next : step.then) {
            result.followUps.push_back(next);
            result.followUps.back().producerStart = started;
        }
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
    RunSteps(work.steps);
    return FinishWorker(index);
}

void Run::RunStep(const PlannedStep& step, std::vector<PlannedStep>& next) {
    StepResult result;
    // A step's failure is that step's: whatever it throws (bad_alloc on a large answer, say)
    // ends it and its follow-ups as failed, and the worker goes on with its queue.
    try {
        if (static_cast<int>(step.kind) == setup_.throwingStepKindForTesting)
            throw std::runtime_error("step fault for testing");
        result = RunPlannedStep(step, journal_, *launcher_);
    } catch (const std::exception& e) {
        result = StepResult{};
        result.records = UnrunRecords(step, Outcome::Failed, L"ended by an unexpected error: " +
                                                                 util::text::Widen(e.what(), CP_ACP));
    } catch (...) {
        result = StepResult{};
        result.records = UnrunRecords(step, Outcome::Failed, L"ended by an unexpected error");
    }
    for (StepRecord& record : result.records) journal_.Record(record.worker, std::move(record));
    next = std::move(result.followUps);
}

void Run::RunSteps(const std::vector<PlannedStep>& steps) {
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
        return;
    }
    TaskBatch batch(*pool_);
    // A step's follow-ups join the pool once it has ended, behind what waits already.
    std::function<void(const PlannedStep&)> submit = [&](const PlannedStep& step) {
        try {
            batch.Submit(
                [this, &submit, step] {
                    std::vector<PlannedStep> next;
                    RunStep(step, next);
                    for (const PlannedStep& follow : next) submit(follow);
                },
                step.slow, step.serialGroup);
        } catch (...) {
            // Not queued (no memory for it): the step is failed, and the batch still ends, so
            // that no task outlives it.
            try {
                for (StepRecord& record : UnrunRecords(step, Outcome::Failed, L"could not be queued"))
                    journal_.Record(record.worker, std::move(record));
            } catch (...) {
            }
        }
    };
    for (const PlannedStep& step : steps) submit(step);
    batch.Wait();
}

}  // namespace engine::run

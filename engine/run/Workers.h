#pragma once
// Turns one planned step into what it leaves behind, through the step kind that does it: its
// records for the run's report and the steps that follow from it (the exports of the listed
// event logs, the copy of a log a tool has just written).
#include <string>
#include <vector>

#include "child/ChildLauncher.h"
#include "plan/StepPlan.h"
#include "report/StepRecord.h"
#include "run/StepJournal.h"

namespace engine::run {

struct StepResult {
    std::vector<report::StepRecord> records;
    std::vector<plan::PlannedStep> followUps;
};

// Runs the step within the time the run still allows; a step the run's limit has passed is
// recorded skipped, with everything that would have followed it. Newly known steps are
// counted into the journal's plan.
StepResult RunPlannedStep(const plan::PlannedStep& step, StepJournal& journal, const child::ChildLauncher& launcher);

// The records of a step, and of its follow-ups, that did not run or ended before leaving one:
// skipped as the run's limit had passed, or failed by an unexpected error; reason says which.
std::vector<report::StepRecord> UnrunRecords(const plan::PlannedStep& step, report::Outcome outcome,
                                             const std::wstring& reason);

}  // namespace engine::run

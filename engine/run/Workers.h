#pragma once
// Turns one planned step into what it leaves behind, through the step kind that does it: its
// records for the run's report and the steps that follow from it (the exports of the listed
// event logs, the copy of a log a tool has just written).
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

// The records of a step, and of its follow-ups, not run because the run's limit had passed.
std::vector<report::StepRecord> SkippedRecords(const plan::PlannedStep& step);

}  // namespace engine::run

#pragma once
// Turns one planned step into what it leaves behind: its records for the run's report and the
// steps that follow from it (the exports of the listed event logs, the copy of a log a tool
// has just written).
#include <vector>

#include "RunReport.h"
#include "StepPlan.h"

namespace engine {

class StepJournal;

struct StepResult {
    std::vector<StepRecord> records;
    std::vector<PlannedStep> followUps;
};

// Runs the step within the time the run still allows; a step the run's limit has passed is
// recorded skipped, with everything that would have followed it. Newly known steps are
// counted into the journal's plan.
StepResult RunPlannedStep(const PlannedStep& step, StepJournal& journal);

// Copies the step's source. The record is not-found without a source, failed when nothing
// arrived (the reason names each entry that could not be copied, with the system's error), and
// partial when some entries were left out (named likewise). A follow-up's source last written
// before the step before it started is not copied at all: it is from an earlier run (failed).
StepRecord RunCopyStep(const PlannedStep& step);

// The records of a step, and of its follow-ups, not run because the run's limit had passed.
std::vector<StepRecord> SkippedRecords(const PlannedStep& step);

}  // namespace engine

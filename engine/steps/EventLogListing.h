#pragma once
// The step kind of the event-log listing: "wevtutil el", whose names become one export step
// each (the exports themselves are tool steps).
#include <string>
#include <vector>

#include "child/ChildLauncher.h"
#include "plan/StepPlan.h"
#include "report/StepRecord.h"

namespace engine::steps {

// The event-log names of a "wevtutil el" listing: each line that ends in CR LF and is longer
// than one character; blank lines are skipped and text after the last line end is not used.
std::vector<std::wstring> EventLogNames(const std::wstring& listing);

struct ListingResult {
    report::StepRecord record;
    std::vector<std::wstring> names;  // the logs listed; none where the listing failed or was cut off
};

// Lists the event logs within limitMs, read as fast as the tool writes. A listing cut off at its
// limit may end inside a name: nothing of it is used.
ListingResult RunListingStep(const child::ChildLauncher& launcher, const plan::PlannedStep& step, DWORD limitMs);

}  // namespace engine::steps

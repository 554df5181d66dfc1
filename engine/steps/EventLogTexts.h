#pragma once
// The step kind of an exported log's texts: "wevtutil al" writes the descriptions, levels,
// tasks and keywords of the log's providers, for one locale, into the LocaleMetaData folder
// beside the export, so that the log reads on a PC without those providers.
#include "child/ChildLauncher.h"
#include "plan/StepPlan.h"
#include "report/StepRecord.h"

namespace engine::steps {

// Runs the step within limitMs and checks that its file was written and is not empty (wevtutil
// can report success and write nothing). A text file that is missing makes the step partial and
// names it: the export itself is there, only its texts are not; a tool that passed its limit is
// timed-out, as any tool is.
report::StepRecord RunEventLogTextsStep(const child::ChildLauncher& launcher, const plan::PlannedStep& step,
                                        DWORD limitMs);

}  // namespace engine::steps

#include "steps/EventLogTexts.h"

#include "files/FileSystem.h"
#include "steps/ToolStep.h"

namespace engine::steps {

using report::Outcome;

report::StepRecord RunEventLogTextsStep(const child::ChildLauncher& launcher, const plan::PlannedStep& step,
                                        DWORD limitMs) {
    report::StepRecord record = RunToolStep(launcher, ToolPath(step.program), step.what, limitMs);
    record.output = step.output;
    record.bytes = util::files::BytesAt(step.output);
    if (record.outcome == Outcome::TimedOut || record.bytes > 0) return record;
    // Without its texts the export still reads where its providers are installed.
    const std::wstring why = record.outcome == Outcome::Ok ? L"wevtutil ended with 0 but wrote no texts"
                                                            : record.reason;
    record.outcome = Outcome::Partial;
    record.reason = L"no texts in " + step.output + (why.empty() ? L"" : L": " + why);
    return record;
}

}  // namespace engine::steps

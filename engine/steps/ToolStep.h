#pragma once
// The step kind of Windows' own tools: each started directly by its full path, its report the
// bytes it writes to its standard output. Also the outcome rules every kind that starts a tool
// shares.
#include <string>

#include "catalogue/Catalogue.h"
#include "child/ChildLauncher.h"
#include "report/StepRecord.h"

namespace engine::steps {

using report::StepRecord;

// The tool's full path below the system folder.
std::wstring ToolPath(const std::wstring& program);

// Runs the tool with its output going to the report file, for at most limitMs. A tool that is
// not there leaves a report that says so in one line (UTF-8) and a line in the tool log. The
// record says how it went (not-found, failed to start or with an exit code other than 0,
// timed-out with the report kept as far as it got, or ok); its output is the report's path.
StepRecord RunToolReport(const child::ChildLauncher& launcher, const catalogue::ToolReport& report, DWORD limitMs);

// Runs a tool (a full path) whose output is not a report file, for at most limitMs; the record
// says how it went, as for a report. Its output and bytes are the caller's to fill in.
StepRecord RunToolStep(const child::ChildLauncher& launcher, const std::wstring& toolPath,
                       const std::wstring& commandLine, DWORD limitMs);

// The reason of a step ended at its limit.
std::wstring TimedOutReason(DWORD limitMs);
// The same from how its child was ended: without a job of its own, what the child started may
// still run; a tree that did not end when told is said too.
std::wstring TimedOutReason(const child::ChildResult& child);

// The reason of a step whose tool could not be started: the system's error code, and the
// engine's own refusal where there was one.
std::wstring StartFailureReason(const child::ChildResult& child);

// Sets the record's exit code, outcome and reason from how its tool ended: not started (also
// logged), timed out, or an exit code other than 0. A tool that ran without a job of its own
// says so in the reason, whatever its outcome.
void SetToolOutcome(StepRecord& record, const child::ChildResult& child);

// Adds to the reason that the tool ran without a job of its own, where it did (a timed-out
// reason says so already).
void NoteWithoutJob(StepRecord& record, const child::ChildResult& child);

// Gives the file a tool wrote under a short name (it takes no long path) the record's output
// name, over an earlier one. Where that fails, the record keeps the file where it is and says
// why; a tool that wrote nothing leaves nothing to rename.
void RenameExport(const std::wstring& writtenAs, StepRecord& record);

// The one line of a report whose tool is missing.
std::string MissingToolText(const std::wstring& toolPath);

// A report of one line that says why it holds nothing else: UTF-8 with a byte-order mark,
// ending in CR LF.
std::string OneLineReport(const std::wstring& text);

}  // namespace engine::steps

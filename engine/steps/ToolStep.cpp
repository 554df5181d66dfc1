#include "steps/ToolStep.h"

#include <windows.h>

#include "toollog/LogEntries.h"
#include "files/FileSystem.h"
#include "text/LongPath.h"
#include "text/WideText.h"
#include "win/SystemPaths.h"

namespace engine::steps {

using child::ChildResult;
using report::Outcome;
using report::StepClock;

std::wstring ToolPath(const std::wstring& program) { return util::win::SystemFolder() + L"\\" + program; }

std::string OneLineReport(const std::wstring& text) {
    return "\xEF\xBB\xBF" + util::text::Narrow(text, CP_UTF8) + "\r\n";
}

std::string MissingToolText(const std::wstring& toolPath) {
    return OneLineReport(L"未找到此工具 (tool not found): " + toolPath);
}

std::wstring TimedOutReason(DWORD limitMs) {
    return L"ended with everything it started after its limit of " + std::to_wstring(limitMs / 1000) + L" s";
}

namespace {

std::wstring WithoutJobText(const ChildResult& run) {
    return L"it had no job of its own (error " + std::to_wstring(run.jobError) + L")";
}

}  // namespace

std::wstring TimedOutReason(const ChildResult& run) {
    std::wstring reason = run.withoutJob ? L"ended after its limit of " + std::to_wstring(run.limitMs / 1000) +
                                               L" s; " + WithoutJobText(run) + L", so what it started may still run"
                                         : TimedOutReason(run.limitMs);
    if (run.endUnconfirmed)
        reason += L"; it had not ended " + std::to_wstring(child::kEndWaitMs / 1000) + L" s after it was ended";
    return reason;
}

std::wstring StartFailureReason(const ChildResult& run) {
    return L"could not be started (error " + std::to_wstring(run.startError) + L")" +
           (run.refusal.empty() ? L"" : L": " + run.refusal);
}

void SetToolOutcome(StepRecord& record, const ChildResult& run) {
    const DWORD exitCode = run.exitCode;
    if (!run.started) {
        const std::wstring error = std::to_wstring(run.startError);
        toollog::Log(toollog::Entry::CommandStartFailed, record.what + L" (" + error + L")");
        record.outcome = Outcome::Failed;
        record.reason = StartFailureReason(run);
        return;
    }
    record.exitCode = exitCode;
    if (run.timedOut) {
        record.outcome = Outcome::TimedOut;
        record.reason = TimedOutReason(run);
        return;
    }
    if (exitCode != 0) {
        record.outcome = Outcome::Failed;
        record.reason = L"exit code " + std::to_wstring(exitCode);
    }
    NoteWithoutJob(record, run);
}

void RenameExport(const std::wstring& writtenAs, StepRecord& record) {
    const std::wstring from = util::text::LongPath(writtenAs);
    if (::GetFileAttributesW(from.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    if (::MoveFileExW(from.c_str(), util::text::LongPath(record.output).c_str(), MOVEFILE_REPLACE_EXISTING)) return;
    const DWORD error = ::GetLastError();
    if (record.outcome == Outcome::Ok) record.outcome = Outcome::Partial;
    record.reason += (record.reason.empty() ? L"" : L"; ") + std::wstring(L"written to ") + writtenAs +
                     L", which could not be renamed to its name (error " + std::to_wstring(error) + L")";
    record.output = writtenAs;
}

void NoteWithoutJob(StepRecord& record, const ChildResult& run) {
    if (run.withoutJob && !run.timedOut)
        record.reason += (record.reason.empty() ? L"ran without a job: " : L"; ") + WithoutJobText(run);
}

StepRecord RunToolStep(const child::ChildLauncher& launcher, const std::wstring& toolPath,
                       const std::wstring& commandLine, DWORD limitMs) {
    const StepClock clock;
    StepRecord record;
    record.what = commandLine;
    child::ChildSpec spec;
    spec.program = toolPath;
    spec.commandLine = commandLine;
    spec.limitMs = limitMs;
    SetToolOutcome(record, launcher.Run(spec));
    clock.Finish(record);
    return record;
}

StepRecord RunToolReport(const child::ChildLauncher& launcher, const catalogue::ToolReport& report, DWORD limitMs) {
    const StepClock clock;
    StepRecord record;
    record.what = report.commandLine;
    record.output = report.reportPath;
    const std::wstring tool = ToolPath(report.program);
    if (::GetFileAttributesW(tool.c_str()) == INVALID_FILE_ATTRIBUTES) {
        util::files::WriteFileBytes(report.reportPath, MissingToolText(tool));
        toollog::Log(toollog::Entry::ToolMissing, tool);
        record.outcome = Outcome::NotFound;
        record.reason = L"tool not found: " + tool;
    } else {
        child::ChildSpec spec;
        spec.program = tool;
        spec.commandLine = report.commandLine;
        spec.output = child::Output::File;
        spec.outputFile = report.reportPath;
        spec.limitMs = limitMs;
        SetToolOutcome(record, launcher.Run(spec));
    }
    record.bytes = util::files::BytesAt(report.reportPath);
    clock.Finish(record);
    return record;
}

}  // namespace engine::steps

#include "ToolReports.h"

#include <windows.h>

#include "CommandRunner.h"
#include "SystemPaths.h"
#include "LogEntries.h"
#include "StepJournal.h"
#include "UniqueHandle.h"
#include "WideText.h"

namespace engine {

std::wstring ToolPath(const std::wstring& program) { return skelda::SystemFolder() + L"\\" + program; }

std::string OneLineReport(const std::wstring& text) {
    return "\xEF\xBB\xBF" + skelda::Narrow(text, CP_UTF8) + "\r\n";
}

std::string MissingToolText(const std::wstring& toolPath) {
    return OneLineReport(L"未找到此工具 (tool not found): " + toolPath);
}

bool WriteReportFile(const std::wstring& path, const std::string& bytes) {
    skelda::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::wstring TimedOutReason(DWORD limitMs) {
    return L"ended with everything it started after its limit of " + std::to_wstring(limitMs / 1000) + L" s";
}

namespace {

std::wstring WithoutJobText(const ChildRun& run) {
    return L"it had no job of its own (error " + std::to_wstring(run.jobError) + L")";
}

}  // namespace

std::wstring TimedOutReason(const ChildRun& run) {
    std::wstring reason = run.withoutJob ? L"ended after its limit of " + std::to_wstring(run.limitMs / 1000) +
                                               L" s; " + WithoutJobText(run) + L", so what it started may still run"
                                         : TimedOutReason(run.limitMs);
    if (run.endUnconfirmed)
        reason += L"; it had not ended " + std::to_wstring(kEndWaitMs / 1000) + L" s after it was ended";
    return reason;
}

std::wstring StartFailureReason(const ChildRun& run) {
    return L"could not be started (error " + std::to_wstring(run.startError) + L")" +
           (run.refusal.empty() ? L"" : L": " + run.refusal);
}

void SetToolOutcome(StepRecord& record, bool started, DWORD exitCode, const ChildRun& run) {
    if (!started) {
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

void NoteWithoutJob(StepRecord& record, const ChildRun& run) {
    if (run.withoutJob && !run.timedOut)
        record.reason += (record.reason.empty() ? L"ran without a job: " : L"; ") + WithoutJobText(run);
}

StepRecord RunToolStep(const std::wstring& toolPath, const std::wstring& commandLine, DWORD limitMs) {
    const StepClock clock;
    StepRecord record;
    record.what = commandLine;
    DWORD exitCode = 0;
    ChildRun run;
    run.limitMs = limitMs;
    const bool started = RunProgram(toolPath, commandLine, exitCode, &run) != 0;
    SetToolOutcome(record, started, exitCode, run);
    clock.Finish(record);
    return record;
}

StepRecord RunToolReport(const skelda::ToolReport& report, DWORD limitMs) {
    const StepClock clock;
    StepRecord record;
    record.what = report.commandLine;
    record.output = report.reportPath;
    const std::wstring tool = ToolPath(report.program);
    if (::GetFileAttributesW(tool.c_str()) == INVALID_FILE_ATTRIBUTES) {
        WriteReportFile(report.reportPath, MissingToolText(tool));
        toollog::Log(toollog::Entry::ToolMissing, tool);
        record.outcome = Outcome::NotFound;
        record.reason = L"tool not found: " + tool;
    } else {
        DWORD exitCode = 0;
        ChildRun run;
        run.limitMs = limitMs;
        const bool started = RunProgramToFile(tool, report.commandLine, report.reportPath, exitCode, &run) != 0;
        SetToolOutcome(record, started, exitCode, run);
    }
    record.bytes = BytesAt(report.reportPath);
    clock.Finish(record);
    return record;
}

}  // namespace engine

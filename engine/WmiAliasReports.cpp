#include "WmiAliasReports.h"

#include <windows.h>

#include <map>

#include "CommandRunner.h"
#include "LogEntries.h"
#include "StepJournal.h"
#include "ToolReports.h"

namespace engine {

namespace {

// The reason on one line: a report and a log entry hold exactly one.
std::wstring OneLine(std::wstring text) {
    for (wchar_t& c : text)
        if (c == L'\r' || c == L'\n') c = L' ';
    return text;
}

int ReportFailure(const skelda::WmiAlias& alias, const std::wstring& path, const std::wstring& reason) {
    WriteReportFile(path, OneLineReport(AliasFailureText(alias, reason)));
    toollog::Log(toollog::Entry::WmiQueryFailed,
                 std::wstring(alias.alias) + L" (" + alias.wmiClass + L"): " + OneLine(reason));
    return 0;
}

}  // namespace

std::string AliasReportBytes(const skelda::WmiAlias& alias, const skelda::AliasAnswer& answer) {
    const std::vector<std::wstring> names = skelda::AliasProperties(alias);
    return skelda::Utf16LeWithBom(skelda::WmicTableForm(alias.alias) ? skelda::TableText(names, answer.instances)
                                                                     : skelda::ListFullText(names, answer.instances));
}

std::wstring AliasFailureText(const skelda::WmiAlias& alias, const std::wstring& reason) {
    return L"WMI查询失败 (WMI query failed): " + std::wstring(alias.alias) + L" (" + alias.wmiClass + L"): " +
           OneLine(reason);
}

int RunWmiAliasReports(const std::vector<skelda::CatalogueRow>& rows, const std::wstring& folder, DWORD limitMs,
                       std::vector<StepRecord>& records) {
    std::map<std::wstring, std::wstring> labels;
    int complete = 1;
    auto record = [&records](const std::wstring& alias, const std::wstring& wmiClass, const std::wstring& path,
                             Outcome outcome, const std::wstring& reason) {
        StepRecord r;
        r.what = L"WMI " + (wmiClass.empty() ? std::wstring(L"?") : wmiClass) + L" for WMIC " + alias +
                 L" (answered without WMIC)";
        r.output = path;
        r.outcome = outcome;
        r.reason = reason;
        r.bytes = BytesAt(path);
        StepClock().Finish(r);
        records.push_back(std::move(r));
    };
    for (const skelda::CatalogueRow& row : rows) {
        labels[row.key] = row.label;
        if (skelda::FindWmiAlias(row.key) == nullptr) {
            const skelda::WmiAlias unknown{row.key.c_str(), L"", L"", L"", L""};
            const std::wstring path = skelda::ReportPath(folder, row.label);
            complete = ReportFailure(unknown, path, L"no WMI class known");
            record(row.key, L"", path, Outcome::Failed, L"no WMI class known");
        }
    }
    const std::wstring tool = ToolPath(skelda::kPowerShellProgram);
    const bool haveTool = ::GetFileAttributesW(tool.c_str()) != INVALID_FILE_ATTRIBUTES;
    for (const skelda::AliasBatch& batch : skelda::AliasBatches(rows)) {
        const StepClock clock;
        const size_t firstRecord = records.size();
        std::map<std::wstring, skelda::AliasAnswer> answers;
        std::wstring batchFailure;
        std::wstring output;
        ChildRun run;
        run.limitMs = limitMs;
        if (haveTool) {
            if (RunProgramCapture(tool, batch.commandLine, output, &run)) {
                answers = skelda::ParseAliasOutput(output);
            } else {
                batchFailure = L"PowerShell could not be started (" + std::to_wstring(::GetLastError()) + L")";
            }
        }
        for (const skelda::WmiAlias* alias : batch.aliases) {
            const std::wstring path = skelda::ReportPath(folder, labels[alias->alias]);
            const auto answer = answers.find(alias->alias);
            if (answer != answers.end() && answer->second.complete) {
                if (!WriteReportFile(path, AliasReportBytes(*alias, answer->second))) {
                    const std::wstring reason = L"report not written (" + std::to_wstring(::GetLastError()) + L")";
                    complete = ReportFailure(*alias, path, reason);
                    record(alias->alias, alias->wmiClass, path, Outcome::Failed, reason);
                } else {
                    record(alias->alias, alias->wmiClass, path, Outcome::Ok, L"");
                }
                continue;
            }
            if (!haveTool) {
                // The same one line as any report whose tool is missing.
                WriteReportFile(path, MissingToolText(tool));
                toollog::Log(toollog::Entry::ToolMissing, tool);
                complete = 0;
                record(alias->alias, alias->wmiClass, path, Outcome::NotFound, L"tool not found: " + tool);
                continue;
            }
            std::wstring reason = batchFailure;
            if (reason.empty() && run.timedOut) reason = TimedOutReason(limitMs);
            if (reason.empty()) {
                reason = answer == answers.end() || answer->second.error.empty() ? L"PowerShell gave no answer"
                                                                                 : answer->second.error;
            }
            complete = ReportFailure(*alias, path, reason);
            record(alias->alias, alias->wmiClass, path, run.timedOut ? Outcome::TimedOut : Outcome::Failed, reason);
        }
        // One process answered them all: each alias gets its share of the batch's time.
        StepRecord timing;
        clock.Finish(timing);
        const size_t count = records.size() - firstRecord;
        for (size_t i = firstRecord; i < records.size(); ++i) {
            records[i].start = timing.start;
            records[i].durationMs = count ? timing.durationMs / static_cast<DWORD>(count) : 0;
        }
    }
    return complete;
}

}  // namespace engine

#include "steps/AliasBatchStep.h"

#include <windows.h>

#include <map>

#include "toollog/LogEntries.h"
#include "files/FileSystem.h"
#include "steps/ToolStep.h"
#include "text/Lines.h"

namespace engine::steps {

using catalogue::WmiAlias;
using child::ChildResult;
using report::Outcome;
using report::StepClock;
using report::StepRecord;
using util::files::WriteFileBytes;

namespace {

int ReportFailure(const WmiAlias& alias, const std::wstring& path, const std::wstring& reason) {
    WriteFileBytes(path, OneLineReport(AliasFailureText(alias, reason)));
    toollog::Log(toollog::Entry::WmiQueryFailed,
                 std::wstring(alias.alias) + L" (" + alias.wmiClass + L"): " + util::text::OnOneLine(reason));
    return 0;
}

}  // namespace

std::string AliasReportBytes(const WmiAlias& alias, const AliasAnswer& answer) {
    const std::vector<std::wstring> names = catalogue::AliasProperties(alias);
    return Utf16LeWithBom(catalogue::WmicTableForm(alias.alias) ? TableText(names, answer.instances)
                                                                     : ListFullText(names, answer.instances));
}

std::wstring AliasFailureText(const WmiAlias& alias, const std::wstring& reason) {
    return L"WMI查询失败 (WMI query failed): " + std::wstring(alias.alias) + L" (" + alias.wmiClass + L"): " +
           util::text::OnOneLine(reason);
}

namespace {

SYSTEMTIME Later(const SYSTEMTIME& start, ULONGLONG ms) {
    FILETIME file{};
    ::SystemTimeToFileTime(&start, &file);
    ULARGE_INTEGER at{};
    at.LowPart = file.dwLowDateTime;
    at.HighPart = file.dwHighDateTime;
    at.QuadPart += ms * 10000;
    file.dwLowDateTime = at.LowPart;
    file.dwHighDateTime = at.HighPart;
    SYSTEMTIME later = start;
    ::FileTimeToSystemTime(&file, &later);
    return later;
}

// How one alias of a batch ended, from its answer and how the batch went.
struct AliasEnd {
    Outcome outcome = Outcome::Failed;
    std::wstring reason;
    bool report = false;  // the answer (whole or cut) is the report
};

std::wstring WholeSeconds(DWORD ms) { return std::to_wstring(ms / 1000) + L" s"; }

AliasEnd EndOf(const AliasAnswer* answer, bool capped, const std::wstring& batchFailure, const ChildResult& run,
               DWORD aliasLimitMs, const std::wstring& errors) {
    if (answer && answer->complete) return {Outcome::Ok, L"", true};
    if (answer && answer->cut) {
        return {Outcome::Partial,
                L"the batch's answer passed " + std::to_wstring(kMaxAnswerBytes / (1024 * 1024)) +
                    L" MiB while this alias was read: " + std::to_wstring(answer->instances.size()) +
                    L" instances kept, the rest left out",
                true};
    }
    if (answer && answer->timedOut) {
        return {Outcome::TimedOut, L"no answer within its limit of " + WholeSeconds(aliasLimitMs) +
                                       L"; the batch went on to the next alias"};
    }
    if (!batchFailure.empty()) return {Outcome::Failed, batchFailure};
    if (answer && !answer->error.empty()) return {Outcome::Failed, answer->error};
    if (capped) {
        return {Outcome::Failed, L"left out: the batch's answer passed " +
                                     std::to_wstring(kMaxAnswerBytes / (1024 * 1024)) + L" MiB before it"};
    }
    if (run.timedOut && answer) return {Outcome::TimedOut, TimedOutReason(run)};
    if (run.timedOut)
        return {Outcome::Skipped, L"its batch reached its limit of " + WholeSeconds(run.limitMs) + L" first"};
    std::wstring reason = L"PowerShell gave no answer";
    const std::wstring said = util::text::OneLineSummary(errors, 500);
    if (!said.empty()) reason += L" (" + said + L")";
    return {Outcome::Failed, reason};
}

}  // namespace

int RunWmiAliasReports(const child::ChildLauncher& launcher, const std::vector<catalogue::CatalogueRow>& rows,
                       const std::wstring& folder, const AliasLimits& limits, std::vector<StepRecord>& records) {
    std::map<std::wstring, std::wstring> labels;
    int complete = 1;
    auto record = [&records](const std::wstring& alias, const std::wstring& wmiClass, const std::wstring& path,
                             Outcome outcome, const std::wstring& reason) -> StepRecord& {
        StepRecord r;
        r.what = L"WMI " + (wmiClass.empty() ? std::wstring(L"?") : wmiClass) + L" for WMIC " + alias +
                 L" (answered without WMIC)";
        r.output = path;
        r.outcome = outcome;
        r.reason = reason;
        r.bytes = util::files::BytesAt(path);
        StepClock().Finish(r);
        records.push_back(std::move(r));
        return records.back();
    };
    for (const catalogue::CatalogueRow& row : rows) {
        labels[row.key] = row.label;
        if (catalogue::FindWmiAlias(row.key) == nullptr) {
            const WmiAlias unknown{row.key.c_str(), L"", L"", L"", L""};
            const std::wstring path = catalogue::ReportPath(folder, row.label);
            complete = ReportFailure(unknown, path, L"no WMI class known");
            record(row.key, L"", path, Outcome::Failed, L"no WMI class known");
        }
    }
    const std::wstring tool = ToolPath(catalogue::kPowerShellProgram);
    const bool haveTool = ::GetFileAttributesW(tool.c_str()) != INVALID_FILE_ATTRIBUTES;
    for (const AliasBatch& batch : AliasBatches(rows)) {
        // A fresh limit for each batch, cut to what is left of the run.
        const DWORD runLeft = limits.runLeftMs ? limits.runLeftMs() : INFINITE;
        const DWORD batchLimit = BatchLimitMs(limits.aliasMs, batch.aliases.size(), runLeft);
        const DWORD aliasLimit = limits.aliasMs < batchLimit ? limits.aliasMs : batchLimit;
        SYSTEMTIME batchStart{};
        ::GetLocalTime(&batchStart);
        const ULONGLONG batchTick = ::GetTickCount64();
        AliasAnswerReader reader;
        std::wstring batchFailure;
        ChildResult run;
        run.limitMs = batchLimit;
        if (haveTool && batchLimit > 0) {
            child::ChildSpec spec;
            spec.program = tool;
            spec.commandLine = AliasCommandLine(batch.aliases, aliasLimit);
            spec.output = child::Output::Stream;
            spec.sink = [&reader](const char* data, size_t size) { reader.Feed(data, size); };
            spec.errors = child::Errors::Apart;
            spec.limitMs = batchLimit;
            run = launcher.Run(spec);
            if (!run.started) batchFailure = L"PowerShell could not be started (" + std::to_wstring(run.startError) + L")";
        }
        const std::wstring& errors = run.errors;
        std::map<std::wstring, AliasAnswer>& answers = reader.Finish();
        for (const WmiAlias* alias : batch.aliases) {
            const std::wstring path = catalogue::ReportPath(folder, labels[alias->alias]);
            if (haveTool && batchLimit == 0) {
                complete = 0;
                record(alias->alias, alias->wmiClass, path, Outcome::Skipped, L"the run's time limit had passed");
                continue;
            }
            if (!haveTool) {
                // The same one line as any report whose tool is missing.
                WriteFileBytes(path, MissingToolText(tool));
                toollog::Log(toollog::Entry::ToolMissing, tool);
                complete = 0;
                record(alias->alias, alias->wmiClass, path, Outcome::NotFound, L"tool not found: " + tool);
                continue;
            }
            const auto found = answers.find(alias->alias);
            AliasAnswer* answer = found == answers.end() ? nullptr : &found->second;
            AliasEnd end = EndOf(answer, reader.Capped(), batchFailure, run, aliasLimit, errors);
            if (end.report) {
                // An instance cut off in the middle is left out whole.
                const size_t properties = catalogue::AliasProperties(*alias).size();
                if (answer->cut && !answer->instances.empty() && answer->instances.back().size() < properties)
                    answer->instances.pop_back();
                if (!WriteFileBytes(path, AliasReportBytes(*alias, *answer)))
                    end = {Outcome::Failed, L"report not written (" + std::to_wstring(::GetLastError()) + L")"};
                std::vector<WmiInstance>().swap(answer->instances);  // no longer needed
            }
            if (end.outcome != Outcome::Ok) complete = 0;
            if (!end.report || end.outcome == Outcome::Failed) ReportFailure(*alias, path, end.reason);
            StepRecord& r = record(alias->alias, alias->wmiClass, path, end.outcome, end.reason);
            NoteWithoutJob(r, run);
            // Timed by its records as they arrived: the batch's start and end are PowerShell's.
            if (answer) {
                r.start = Later(batchStart, answer->beganTick - batchTick);
                const bool endedByLimit = end.outcome == Outcome::TimedOut && !answer->timedOut;
                r.durationMs = static_cast<DWORD>((endedByLimit ? ::GetTickCount64() : answer->endedTick) -
                                                  answer->beganTick);
            }
        }
    }
    return complete;
}

}  // namespace engine::steps

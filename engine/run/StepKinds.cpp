#include "StepKinds.h"

#include "CommandRunner.h"
#include "FileSystem.h"
#include "LogEntries.h"
#include "LogFileCollectors.h"
#include "SharedFileCopy.h"
#include "StepJournal.h"
#include "ToolReports.h"
#include "WmiAliasReports.h"

using toollog::Entry;

namespace engine {

namespace {

StepRecord Skipped(const std::wstring& what, const std::wstring& output, const std::wstring& category = {}) {
    StepRecord record;
    StepClock().Finish(record);
    record.what = what;
    record.output = output;
    record.category = category;
    record.outcome = Outcome::Skipped;
    record.reason = L"the run's time limit had passed";
    return record;
}

std::wstring AliasWhat(const std::wstring& alias) { return L"WMI for WMIC " + alias + L" (answered without WMIC)"; }

// The log lines of each copy: when its source is missing, and when nothing could be copied.
struct CopyLines {
    Entry missing;
    bool missingNamesSource;
    Entry failed;
};

CopyLines LinesOf(CopyKind kind) {
    switch (kind) {
        case CopyKind::UpdateLog: return {Entry::UpdateLogMissing, true, Entry::UpdateLogExportFailed};
        case CopyKind::CbsFolder: return {Entry::CbsMissing, false, Entry::CbsExportFailed};
        case CopyKind::SetupApiLogs: return {Entry::InfMissing, false, Entry::InfExportFailed};
    }
    return {Entry::UpdateLogMissing, true, Entry::UpdateLogExportFailed};
}

bool Copy(CopyKind kind, const std::wstring& source, const std::wstring& target) {
    switch (kind) {
        case CopyKind::UpdateLog: {
            unsigned long error = 0;
            if (CopySharedFile(source, target, false, error)) return true;
            toollog::Log(Entry::UpdateLogExportFailed, source + L" (" + std::to_wstring(error) + L")");
            return false;
        }
        case CopyKind::CbsFolder: return CopyFolder(source, target, false);
        case CopyKind::SetupApiLogs: return CopySetupApiLogs(source, target, false);
    }
    return false;
}

StepRecord CopyRecord(const PlannedStep& step) {
    const StepClock clock;
    StepRecord record;
    record.what = step.what;
    record.output = step.output;
    const CopyLines lines = LinesOf(step.copy);
    if (!skelda::PathExists(step.what)) {
        if (lines.missingNamesSource) toollog::Log(lines.missing, step.what);
        else toollog::Log(lines.missing);
        record.outcome = Outcome::NotFound;
        record.reason = L"not on this system";
    } else if (!Copy(step.copy, step.what, step.output)) {
        if (step.copy != CopyKind::UpdateLog) toollog::Log(lines.failed);
        record.outcome = Outcome::Failed;
        record.reason = L"nothing could be copied";
    }
    record.bytes = BytesAt(step.output);
    clock.Finish(record);
    return record;
}

StepRecord ListingRecord(const PlannedStep& step, DWORD limit, StepJournal& journal,
                         std::vector<PlannedStep>& exports) {
    const StepClock clock;
    StepRecord record;
    record.what = step.what;
    record.category = step.category;
    ChildRun run;
    run.limitMs = limit;
    std::wstring listing;
    // Read as fast as the tool writes: the text is the same whatever the pace.
    const int ran = RunProgramCapture(ToolPath(step.program), step.what, listing, &run);
    if (!ran) {
        const std::wstring error = std::to_wstring(::GetLastError());
        toollog::Log(Entry::EventLogListFailed);
        record.outcome = Outcome::Failed;
        record.reason = L"could not be started (error " + error + L")";
    } else if (run.timedOut) {
        // A listing cut off may end inside a name: nothing of it is used.
        record.outcome = Outcome::TimedOut;
        record.reason = TimedOutReason(limit);
    } else {
        for (const std::wstring& name : EventLogNames(listing)) exports.push_back(EventLogExportStep(name, step.folder));
        journal.AddPlanned(static_cast<int>(exports.size()));
    }
    clock.Finish(record);
    return record;
}

}  // namespace

std::vector<StepRecord> SkippedRecords(const PlannedStep& step) {
    std::vector<StepRecord> records;
    if (step.kind == StepKind::AliasFolder) {
        for (const skelda::CatalogueRow& row : step.rows)
            records.push_back(Skipped(AliasWhat(row.key), skelda::ReportPath(step.folder, row.label)));
    } else {
        records.push_back(Skipped(step.what, step.output, step.category));
    }
    for (const PlannedStep& next : step.then)
        for (StepRecord& record : SkippedRecords(next)) records.push_back(std::move(record));
    for (StepRecord& record : records) record.worker = step.worker;
    return records;
}

StepResult RunPlannedStep(const PlannedStep& step, StepJournal& journal) {
    StepResult result;
    const DWORD limit = journal.StepLimit(step.longLimit);
    if (limit == 0) {
        result.records = SkippedRecords(step);
        return result;
    }
    switch (step.kind) {
        case StepKind::ToolReport:
            result.records.push_back(RunToolReport({step.program, step.what, step.output}, limit));
            break;
        case StepKind::ToolRun: {
            StepRecord record = RunToolStep(ToolPath(step.program), step.what, limit);
            record.category = step.category;
            if (!record.exitCode) toollog::Log(Entry::UpdateLogExportFailed);  // not started
            result.records.push_back(std::move(record));
            break;
        }
        case StepKind::Copy:
            result.records.push_back(CopyRecord(step));
            break;
        case StepKind::EventLogListing:
            result.records.push_back(ListingRecord(step, limit, journal, result.followUps));
            break;
        case StepKind::EventLogExport: {
            StepRecord record = RunToolStep(ToolPath(step.program), step.what, limit);
            record.output = step.output;
            record.bytes = BytesAt(step.output);
            result.records.push_back(std::move(record));
            break;
        }
        case StepKind::AliasFolder:
            RunWmiAliasReports(step.rows, step.folder, {limit, [&journal] { return journal.RunLeftMs(); }},
                               result.records);
            break;
    }
    for (const PlannedStep& next : step.then) result.followUps.push_back(next);
    for (StepRecord& record : result.records) record.worker = step.worker;
    return result;
}

}  // namespace engine

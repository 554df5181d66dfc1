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
    Entry failed;
};

CopyLines LinesOf(CopyKind kind) {
    switch (kind) {
        case CopyKind::UpdateLog: return {Entry::UpdateLogMissing, Entry::UpdateLogExportFailed};
        case CopyKind::CbsFolder: return {Entry::CbsMissing, Entry::CbsExportFailed};
        case CopyKind::SetupApiLogs: return {Entry::InfMissing, Entry::InfExportFailed};
    }
    return {Entry::UpdateLogMissing, Entry::UpdateLogExportFailed};
}

// Copies the step's source; true when anything arrived. Entries left out are added to skipped
// as "<path> (error <code>)", with the error as the system gave it.
bool Copy(CopyKind kind, const std::wstring& source, const std::wstring& target, std::vector<std::wstring>& skipped) {
    switch (kind) {
        case CopyKind::UpdateLog: {
            unsigned long error = 0;
            if (CopyUserFile(source, target, error)) return true;
            skipped.push_back(source + L" (error " + std::to_wstring(error) + L")");
            return false;
        }
        case CopyKind::CbsFolder: return CopyFolder(source, target, false, &skipped);
        case CopyKind::SetupApiLogs: return CopySetupApiLogs(source, target, false, &skipped);
    }
    return false;
}

std::wstring Joined(const std::vector<std::wstring>& items) {
    std::wstring text;
    for (const std::wstring& item : items) text += (text.empty() ? L"" : L", ") + item;
    return text;
}

ULONGLONG NowAsFileTime() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// The file's last-write time (UTC, FILETIME units); 0 when it cannot be read.
ULONGLONG LastWriteOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// A UTC FILETIME value as local time text.
std::wstring LocalTimeText(ULONGLONG fileTime) {
    FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME universal{}, local{};
    if (!::FileTimeToSystemTime(&utc, &universal)) return L"?";
    if (!::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) local = universal;
    return TimeText(local);
}

// FAT keeps last-write times to two seconds, rounded down: a file written just after its tool
// started may look a little older.
constexpr ULONGLONG kWriteTimeSlack = 2ULL * 10000000ULL;

// The update log that could not be had: the system's own line, then what happened.
void LogUpdateLogLost(Entry detail, const std::wstring& text) {
    toollog::Log(Entry::UpdateLogExportFailed);
    toollog::Log(detail, text);
}

}  // namespace

StepRecord RunCopyStep(const PlannedStep& step) {
    const StepClock clock;
    StepRecord record;
    record.what = step.what;
    record.output = step.output;
    const CopyLines lines = LinesOf(step.copy);
    const bool updateLog = step.copy == CopyKind::UpdateLog;
    const ULONGLONG written = step.producerStart ? LastWriteOf(step.what) : 0;
    std::vector<std::wstring> skipped;
    if (!skelda::PathExists(step.what)) {
        if (updateLog) LogUpdateLogLost(lines.missing, step.what);
        else toollog::Log(lines.missing);
        record.outcome = Outcome::NotFound;
        record.reason = L"not on this system";
    } else if (written && written + kWriteTimeSlack < step.producerStart) {
        // An earlier export's file: the user's, left where it is.
        LogUpdateLogLost(Entry::UpdateLogStale, step.what + L" (" + LocalTimeText(written) + L")");
        record.outcome = Outcome::Failed;
        record.reason = L"not copied: the log is from before this run (last written " + LocalTimeText(written) +
                        L", before the step that writes it started at " + LocalTimeText(step.producerStart) + L")";
    } else if (!Copy(step.copy, step.what, step.output, skipped)) {
        if (updateLog) LogUpdateLogLost(Entry::FileSkipped, Joined(skipped));
        else toollog::Log(lines.failed);
        record.outcome = Outcome::Failed;
        record.reason = L"nothing could be copied" + (skipped.empty() ? L"" : L": " + Joined(skipped));
    } else if (!skipped.empty()) {
        record.outcome = Outcome::Partial;
        record.reason = L"skipped what could not be read: " + Joined(skipped);
    }
    record.bytes = BytesAt(step.output);
    clock.Finish(record);
    return record;
}

namespace {

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
        toollog::Log(Entry::EventLogListFailed);
        record.outcome = Outcome::Failed;
        record.reason = StartFailureReason(run);
    } else if (run.timedOut) {
        // A listing cut off may end inside a name: nothing of it is used.
        record.outcome = Outcome::TimedOut;
        record.reason = TimedOutReason(run);
    } else {
        NoteWithoutJob(record, run);
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
    const ULONGLONG started = NowAsFileTime();
    if (limit == 0) {
        result.records = SkippedRecords(step);
        return result;
    }
    switch (step.kind) {
        case StepKind::ToolReport:
            result.records.push_back(RunToolReport({step.program, step.what, step.output}, limit));
            break;
        case StepKind::ToolRun: {
            // What it fails to write, its copy reports (and logs) as the log not had.
            StepRecord record = RunToolStep(ToolPath(step.program), step.what, limit);
            record.category = step.category;
            result.records.push_back(std::move(record));
            break;
        }
        case StepKind::Copy:
            result.records.push_back(RunCopyStep(step));
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
    for (const PlannedStep& next : step.then) {
        result.followUps.push_back(next);
        result.followUps.back().producerStart = started;
    }
    for (StepRecord& record : result.records) record.worker = step.worker;
    return result;
}

}  // namespace engine

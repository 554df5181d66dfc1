// Workers 1 and 2: event logs, update, CBS and INF logs, the systeminfo report and the WMIC
// reports of the alias catalogue.
#include "LogFileCollectors.h"

#include <shlobj.h>

#include "Categories.h"
#include "Collector.h"
#include "CommandLine.h"
#include "CommandRunner.h"
#include "OsVersion.h"
#include "PathText.h"
#include "SharedFileCopy.h"
#include "StepJournal.h"
#include "ToolReports.h"
#include "WmiAliasReports.h"
#include "UniqueHandle.h"

using toollog::Entry;

namespace engine {
namespace {

// Copies what it can; an entry that cannot be copied is skipped and logged. copied counts
// the entries that arrived.
void CopyEntries(const std::wstring& source, const std::wstring& pattern, const std::wstring& target,
                 bool failIfExists, int& copied) {
    const std::wstring from = skelda::WithTrailingBackslash(source);
    const std::wstring to = skelda::WithTrailingBackslash(target);
    WIN32_FIND_DATAW data;
    skelda::UniqueFindHandle find(::FindFirstFileW((from + pattern).c_str(), &data));
    if (!find.Valid()) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A folder counts when it is made now: an empty one arrives too.
            if (!PathExists(to + name)) {
                if (!::CreateDirectoryW((to + name).c_str(), nullptr)) {
                    toollog::Log(Entry::FileSkipped, from + name + L" (" + std::to_wstring(::GetLastError()) + L")");
                    continue;
                }
                ++copied;
            }
            CopyEntries(from + name, L"*", to + name, failIfExists, copied);
        } else {
            unsigned long error = 0;
            if (CopySharedFile(from + name, to + name, failIfExists, error)) {
                ++copied;
            } else {
                toollog::Log(Entry::FileSkipped, from + name + L" (" + std::to_wstring(error) + L")");
            }
        }
    } while (::FindNextFileW(find.Get(), &data));
}

}  // namespace

std::vector<std::wstring> EventLogNames(const std::wstring& listing) {
    std::vector<std::wstring> names;
    std::wstring rest = listing;
    for (size_t end = rest.find(L"\r\n"); end != std::wstring::npos; end = rest.find(L"\r\n")) {
        std::wstring name = rest.substr(0, end);
        const size_t next = rest.find_first_not_of(L"\r\n", end);
        rest.erase(0, next == std::wstring::npos ? rest.size() : next);
        if (name.size() > 1) names.push_back(std::move(name));
    }
    return names;
}

std::wstring EventLogFileName(const std::wstring& logName) {
    return skelda::ReplaceAll(logName, L"/", L"%") + L".evtx";
}

std::wstring EventLogExportCommand(const std::wstring& logName, const std::wstring& folder) {
    return L"wevtutil epl " + skelda::Quoted(logName) + L" " +
           skelda::Quoted(folder + L"\\" + EventLogFileName(logName)) + L" /ow:true";
}

bool CopyMatching(const std::wstring& source, const std::wstring& pattern, const std::wstring& target,
                  bool failIfExists) {
    if (source.empty()) return false;
    EnableBackupPrivilege();
    int copied = 0;
    CopyEntries(source, pattern, target, failIfExists, copied);
    return copied > 0;
}

bool CopyFolder(const std::wstring& source, const std::wstring& target, bool failIfExists) {
    return CopyMatching(source, L"*", target, failIfExists);
}

bool CopySetupApiLogs(const std::wstring& source, const std::wstring& target, bool failIfExists) {
    return CopyMatching(source, L"setupapi*.log", target, failIfExists);
}

bool PathExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring GetDesktopFolder() {
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE)) return {};
    return std::wstring(path) + L"\\";
}

}  // namespace engine

namespace {

constexpr int kEventLogWorker = 1;
constexpr int kFilesWorker = 2;

}  // namespace

void CCollector::ExportEventLogs(const std::wstring& folder) {
    // wevtutil is started directly: through the interpreter a "%" of a file name could be
    // taken for a variable.
    const std::wstring wevtutil = engine::ToolPath(skelda::kWevtutilProgram);
    const std::vector<std::wstring> names = engine::EventLogNames(commandOutput);
    journal.AddPlanned(static_cast<int>(names.size()));
    for (const std::wstring& name : names) {
        const std::wstring command = engine::EventLogExportCommand(name, folder);
        const std::wstring output = folder + L"\\" + engine::EventLogFileName(name);
        const DWORD limit = journal.StepLimit(false);
        if (limit == 0) {
            journal.RecordSkipped(kEventLogWorker, command, output);
            continue;
        }
        engine::StepRecord record = engine::RunToolStep(wevtutil, command, limit);
        record.output = output;
        record.bytes = engine::BytesAt(output);
        journal.Record(kEventLogWorker, std::move(record));
    }
}

int CCollector::CollectEventLogs() {
    if (!EnsureArchiveFolder()) return 0;
    if (switches[skelda::kSystemLog]) {
        const std::wstring category = skelda::CategoryFolder(skelda::kSystemLog);
        const std::wstring folder = WorkingFolder() + L"\\" + category;
        if (!EnsureFolderPath(folder)) return StopWorker(COLLECT_FOLDER_FAILED, Entry::EventLogFolderFailed);
        commandOutput.clear();
        const std::wstring listing = L"wevtutil el";
        const DWORD limit = journal.StepLimit(false);
        if (limit == 0) {
            journal.RecordSkipped(kEventLogWorker, listing, {}, category);
        } else {
            const engine::StepClock clock;
            engine::StepRecord record;
            record.what = listing;
            record.category = category;
            engine::ChildRun run;
            run.limitMs = limit;
            const int ran = engine::RunProgramCapture(engine::ToolPath(skelda::kWevtutilProgram), listing,
                                                      commandOutput, 500, &run);
            if (!ran) {
                toollog::Log(Entry::EventLogListFailed);
                record.outcome = engine::Outcome::Failed;
                record.reason = L"could not be started (error " + std::to_wstring(::GetLastError()) + L")";
            } else if (run.timedOut) {
                // A listing cut off may end inside a name: nothing of it is used.
                commandOutput.clear();
                record.outcome = engine::Outcome::TimedOut;
                record.reason = engine::TimedOutReason(limit);
            }
            clock.Finish(record);
            journal.Record(kEventLogWorker, std::move(record));
            if (ran) ExportEventLogs(folder);
        }
    }
    return FinishWorker();
}

// Copies one log file or folder as one step: not-found when the source is missing.
void CCollector::CopyStep(const std::wstring& source, const std::wstring& target,
                          bool (*copy)(const std::wstring&, const std::wstring&, bool)) {
    if (journal.StepLimit(false) == 0) {
        journal.RecordSkipped(kFilesWorker, source, target);
        return;
    }
    const engine::StepClock clock;
    engine::StepRecord record;
    record.what = source;
    record.output = target;
    if (!engine::PathExists(source)) {
        record.outcome = engine::Outcome::NotFound;
        record.reason = L"not on this system";
    } else if (!copy(source, target, false)) {
        record.outcome = engine::Outcome::Failed;
        record.reason = L"nothing could be copied";
    }
    record.bytes = engine::BytesAt(target);
    clock.Finish(record);
    journal.Record(kFilesWorker, std::move(record));
}

void CCollector::ToolStep(int worker, const skelda::ToolReport& report, bool longStep) {
    const DWORD limit = journal.StepLimit(longStep);
    if (limit == 0) {
        journal.RecordSkipped(worker, report.commandLine, report.reportPath);
        return;
    }
    journal.Record(worker, engine::RunToolReport(report, limit));
}

namespace {

bool CopyUpdateLog(const std::wstring& source, const std::wstring& target, bool failIfExists) {
    unsigned long error = 0;
    if (engine::CopySharedFile(source, target, failIfExists, error)) return true;
    toollog::Log(Entry::UpdateLogExportFailed, source + L" (" + std::to_wstring(error) + L")");
    return false;
}

}  // namespace

int CCollector::CollectFilesAndWmic() {
    if (!EnsureArchiveFolder()) return 0;
    const std::wstring work = WorkingFolder();

    if (switches[skelda::kUpdateLog]) {
        const std::wstring folder = work + L"\\" + skelda::CategoryFolder(skelda::kUpdateLog);
        if (!EnsureFolderPath(folder)) return StopWorker(COLLECT_FOLDER_FAILED, Entry::UpdateLogFolderFailed);
        std::wstring source = L"c:\\Windows\\WindowsUpdate.log";
        if (osVersionCode >= engine::OS_WIN10) {
            // Windows 10 writes the log on demand, onto the desktop.
            const std::wstring command = std::wstring(skelda::kPowerShellStart) + L"\"Get-WindowsUpdateLog\"";
            const DWORD limit = journal.StepLimit(true);
            if (limit == 0) {
                journal.RecordSkipped(kFilesWorker, command, {}, skelda::CategoryFolder(skelda::kUpdateLog));
            } else {
                engine::StepRecord record =
                    engine::RunToolStep(engine::ToolPath(skelda::kPowerShellProgram), command, limit);
                record.category = skelda::CategoryFolder(skelda::kUpdateLog);
                if (!record.exitCode) toollog::Log(Entry::UpdateLogExportFailed);  // not started
                journal.Record(kFilesWorker, std::move(record));
            }
            source = engine::GetDesktopFolder() + L"WindowsUpdate.log";
        }
        if (!engine::PathExists(source)) toollog::Log(Entry::UpdateLogMissing, source);
        CopyStep(source, folder + L"\\WindowsUpdate.log", CopyUpdateLog);
    }

    if (switches[skelda::kCbsLog]) {
        const std::wstring cbs = L"C:\\Windows\\Logs\\CBS";
        const std::wstring folder = work + L"\\" + skelda::CategoryFolder(skelda::kCbsLog);
        if (!engine::PathExists(cbs)) {
            toollog::Log(Entry::CbsMissing);
        } else if (!EnsureFolderPath(folder)) {
            return StopWorker(COLLECT_FOLDER_FAILED, Entry::CbsFolderFailed);
        }
        CopyStep(cbs, folder, [](const std::wstring& from, const std::wstring& to, bool failIfExists) {
            if (engine::CopyFolder(from, to, failIfExists)) return true;
            toollog::Log(Entry::CbsExportFailed);
            return false;
        });
    }

    if (switches[skelda::kInfLog]) {
        const std::wstring inf = L"C:\\windows\\inf";
        const std::wstring folder = work + L"\\" + skelda::CategoryFolder(skelda::kInfLog);
        if (!engine::PathExists(inf)) {
            toollog::Log(Entry::InfMissing);
        } else if (!EnsureFolderPath(folder)) {
            return StopWorker(COLLECT_FOLDER_FAILED, Entry::InfFolderFailed);
        }
        CopyStep(inf, folder, [](const std::wstring& from, const std::wstring& to, bool failIfExists) {
            if (engine::CopySetupApiLogs(from, to, failIfExists)) return true;
            toollog::Log(Entry::InfExportFailed);
            return false;
        });
    }

    if (switches[skelda::kOperatingSystem]) {
        const std::wstring folder = work + L"\\" + skelda::CategoryFolder(skelda::kOperatingSystem) + L"\\系统信息";
        if (!EnsureFolderPath(folder)) return StopWorker(COLLECT_FOLDER_FAILED, Entry::WmicFolderFailed);
        ToolStep(kFilesWorker, {skelda::kSysteminfoProgram, L"systeminfo", folder + L"\\系统信息.txt"}, true);
    }

    // Without WMIC the same reports are read from WMI through PowerShell.
    const bool haveWmic = engine::PathExists(engine::ToolPath(skelda::kWmicProgram));
    for (const auto& [folderName, rows] : wmicCatalogue) {
        if (!IsCategoryEnabled(folderName)) continue;
        const std::wstring folder = work + L"\\" + folderName;
        if (!EnsureFolderPath(folder)) return StopWorker(COLLECT_FOLDER_FAILED, Entry::WmicFolderFailed);
        if (!haveWmic) {
            const DWORD limit = journal.StepLimit(false);
            if (limit == 0) {
                for (const skelda::CatalogueRow& row : rows)
                    journal.RecordSkipped(kFilesWorker, L"WMI for WMIC " + row.key + L" (answered without WMIC)",
                                          skelda::ReportPath(folder, row.label));
                continue;
            }
            std::vector<engine::StepRecord> records;
            engine::RunWmiAliasReports(rows, folder, limit, records);
            for (engine::StepRecord& record : records) journal.Record(kFilesWorker, std::move(record));
            continue;
        }
        for (const skelda::CatalogueRow& row : rows) ToolStep(kFilesWorker, skelda::WmicReport(row.key, folder, row.label));
    }
    return FinishWorker();
}

#pragma once
// What a run will do, worked out before anything runs: for each of the four workers the
// folders it makes and the steps it takes, in order. Pure: every fact about the machine comes
// in through PlanFacts, so every combination can be tested without running a tool.
#include <string>
#include <vector>

#include "toollog/LogEntries.h"
#include "catalogue/Catalogue.h"
#include "win/Locales.h"

namespace engine::plan {

constexpr int kWorkerCount = 4;
constexpr int kSwitchCount = 8;

enum class StepKind {
    ToolReport,       // a tool whose standard output is the report file
    ToolRun,          // a tool without a report of its own (Get-WindowsUpdateLog)
    Copy,             // a log file or folder copied
    EventLogListing,  // "wevtutil el"; its names become one export step each
    EventLogExport,   // "wevtutil epl" of one log; where it holds events, its texts follow
    EventLogTexts,    // "wevtutil al" of one exported log, for one locale
    AliasFolder,      // the WMIC aliases of one folder, read from WMI without WMIC
};

// Which copy: each has its own source pattern and log lines.
enum class CopyKind { UpdateLog, CbsFolder, SetupApiLogs };

struct PlannedStep {
    StepKind kind = StepKind::ToolReport;
    int worker = 0;            // 1 to 4
    std::wstring program;      // the tool below the system folder (tool steps)
    std::wstring what;         // the command line, or the source copied
    std::wstring output;       // report, export or copy target (full path); empty: none
    std::wstring category;     // top-level folder, for steps without output
    std::wstring folder;       // EventLogListing, AliasFolder: where their reports go
    CopyKind copy = CopyKind::UpdateLog;
    bool longLimit = false;    // the long command limit applies
    // Known to take long on real machines: a pool starts these before the others.
    bool slow = false;
    // Steps of one group never run at the same time (a provider that serves one query at a
    // time would only keep the others waiting); 0 for none.
    int serialGroup = 0;
    std::vector<catalogue::CatalogueRow> rows;  // AliasFolder
    // EventLogListing: the locales its exports' texts are written for.
    std::vector<util::win::LocaleName> locales;
    // Run after this step, in order, where this one ran: a copy of what this step produced.
    std::vector<PlannedStep> then;
    // A follow-up: when the step before it started (UTC, in FILETIME units), set as it runs. A
    // source last written before then was not written by that step.
    unsigned long long producerStart = 0;
    // Where a tool that cannot take a long path writes, when output is too long for it: the
    // file is renamed to output once the tool has ended. Empty: the tool writes output itself.
    std::wstring writtenAs;
};

// A folder a worker makes before its steps, and the log line when it cannot.
struct PlannedFolder {
    std::wstring path;
    toollog::Entry failed;
};

struct WorkerPlan {
    std::vector<PlannedFolder> folders;
    std::vector<PlannedStep> steps;
};

struct RunPlan {
    WorkerPlan workers[kWorkerCount];
    // Steps known now, follow-ups included; the event logs are added once listed.
    int StepCount() const;
};

// The Windows Installer provider answers one query at a time, machine-wide.
constexpr int kInstallerGroup = 1;

struct PlanFacts {
    int switches[kSwitchCount] = {};
    int osVersionCode = 0;
    bool haveWmic = true;
    bool cbsPresent = true;  // the CBS log folder exists
    bool infPresent = true;  // the INF folder exists
    std::wstring workingFolder;  // no trailing backslash
    std::wstring windowsFolder;  // no trailing backslash
    const catalogue::FolderCatalogue* wmic = nullptr;
    const catalogue::FolderCatalogue* wmiDevice = nullptr;
    const catalogue::FolderCatalogue* wmiSystem = nullptr;
    // The locales the exported logs' texts are written for (util::win::DisplayAndEnglishLocales).
    std::vector<util::win::LocaleName> textLocales;
};

RunPlan PlanRun(const PlanFacts& facts);

// The steps, with those that follow them, as the progress counts them (an alias folder is one
// step per alias).
int CountSteps(const std::vector<PlannedStep>& steps);

// The export step of one listed event log, into folder, followed by its texts for each locale
// (where the export is written to its own name: wevtutil takes no long path).
PlannedStep EventLogExportStep(const std::wstring& logName, const std::wstring& folder,
                               const std::vector<util::win::LocaleName>& locales = {});

// The texts of an exported log for one locale: "wevtutil al "<file>" /l:<name>", which writes
// them to EventLogTextsFile.
PlannedStep EventLogTextsStep(const std::wstring& exportFile, const util::win::LocaleName& locale);
// Where wevtutil writes them: "LocaleMetaData\<file's name without .evtx>_<LCID>.MTA" beside the
// exported file. That folder travels with the file: without it, another PC shows the events of
// providers it lacks without their descriptions.
std::wstring EventLogTextsFile(const std::wstring& exportFile, unsigned long lcid);

// An exported log of this size or less holds no events: the file header and one empty chunk.
constexpr unsigned long long kEmptyEventLogBytes = 4096 + 65536;

// The export file name of a log: every "/" becomes "%", then ".evtx".
std::wstring EventLogFileName(const std::wstring& logName);

// The file wevtutil is told to write for a log in folder: folder\EventLogFileName, or where that
// does not fit in MAX_PATH (wevtutil takes no longer path), "epl-<8 hex digits>.evtx" there, from
// the log's name.
std::wstring EventLogExportFile(const std::wstring& logName, const std::wstring& folder);

// wevtutil's command line that exports one log into folder (to EventLogExportFile).
std::wstring EventLogExportCommand(const std::wstring& logName, const std::wstring& folder);
// wevtutil's command line that writes the last week's critical, error and warning events of a
// log as text, newest first, at most kRecentEventsCount of them.
std::wstring RecentEventsCommand(const std::wstring& logName);
constexpr int kRecentEventsCount = 500;
// The command line that has Windows 10 and later write the update log to the file logFile.
std::wstring UpdateLogCommand(const std::wstring& logFile);

// The switch that governs a catalogue folder ("硬件\温控设备"); 0 for a folder of no category.
int SwitchOfFolder(const int (&switches)[kSwitchCount], const std::wstring& folder);

}  // namespace engine::plan

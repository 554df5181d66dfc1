#pragma once
// Every line the engine writes to its tool log, and the one way to write them.

#include <string>

namespace toollog {

enum class Entry {
    ArchiveFolderFailed,      // the folders that lead to the archive cannot be created
    EventLogFolderFailed,
    EventLogListFailed,
    UpdateLogFolderFailed,
    UpdateLogExportFailed,
    CbsFolderFailed,
    CbsExportFailed,
    CbsMissing,
    InfFolderFailed,
    InfExportFailed,
    InfMissing,
    WmicFolderFailed,
    PowershellFolderFailed,
    PackingFailed,
    Worker1StartFailed,
    Worker2StartFailed,
    Worker3StartFailed,
    Worker4StartFailed,
    Worker3PriorityFailed,
    Worker4PriorityFailed,
    FileSkipped,              // a log file that could not be read; the detail names it
    UpdateLogMissing,         // no update log to copy
    WorkerFailed,             // a worker ended by an unexpected error
    WorkingFolderFailed,      // the run's working folder cannot be made anew
    CommandStartFailed,       // a tool could not be started; the detail names it and the error
    ToolMissing,              // a tool is not in the system folder; the detail names it
    AccessListFailed,         // the archive's access list could not be set; the detail names it
    PackerMessages,           // the packer reported warnings or errors; the detail is what it wrote
    BadLimitSetting,          // a time limit setting that is no limit; the default stays
    BadPoolSetting,           // a pool size setting that is no size; the default stays
    StepNotOk,                // a step of the run that did not end ok; the detail says which and why
    FileStillOpen,            // a collected file still open for writing when packing began
    ReportNotWritten,         // the run's report could not be written; the detail names the folder
    WmiQueryFailed,           // a WMIC alias read from WMI without WMIC failed; the detail names it and why
    PackerNotShipped,         // the packer's bytes are not those that shipped; the detail names the file
    UpdateLogStale,           // the update log found is from before this run's export; the detail names it
    ArchiveTargetFailed,      // the archive's place was refused or is not writable; the detail says why
    ArchiveKeptBeside,        // the archive could not take the target's name; the detail is where it is
    ArchiveIncomplete,        // the archive lacks files or the packer warned; the detail names them
    PackerMissing,            // the packer cannot be opened; the detail names the file
    CollectionKept,           // nothing could be packed: what was collected is kept; the detail is where
    CollectionNotKept,        // what was collected could not be moved to where it is kept; the detail says why
};

// The entry's text as it appears in the log.
const wchar_t* EntryText(Entry entry);

// The log file every engine entry goes to.
constexpr const char* kEngineLogFile = "Skelda.txt";

// Writes the entry to the engine's log file whatever the "print" switch says.
void Log(Entry entry);
// The same, followed by ": " and a detail such as a file name.
void Log(Entry entry, const std::wstring& detail);

}  // namespace toollog

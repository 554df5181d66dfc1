// Start of a run, the worker bookkeeping and the shared end step that packs and reports.
#include "CollectionRun.h"

#include "Categories.h"
#include "ChildEnvironment.h"
#include "Collector.h"
#include "CommandLine.h"
#include "CommandRunner.h"
#include "FileSystem.h"
#include "LogEntries.h"
#include "LogSave.h"
#include "OsVersion.h"
#include "PackerCheck.h"
#include "PathText.h"
#include "SystemPaths.h"
#include "UniqueHandle.h"
#include "ToolReports.h"

#include <memory>
#include <stdexcept>

using toollog::Entry;

static_assert(skelda::kCategories == kCategoryCount, "one switch per category of the table");

namespace engine {

std::wstring GetModuleFolder() { return skelda::ModuleFolderOf(reinterpret_cast<const void*>(&GetModuleFolder)); }

std::wstring PackerMessageSummary(const std::wstring& errors, size_t maxChars) {
    std::wstring summary;
    size_t start = 0;
    while (start < errors.size()) {
        size_t end = errors.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = errors.size();
        std::wstring line = errors.substr(start, end - start);
        start = end + 1;
        const size_t first = line.find_first_not_of(L" \t");
        if (first == std::wstring::npos) continue;
        line = line.substr(first, line.find_last_not_of(L" \t") - first + 1);
        summary += (summary.empty() ? L"" : L" | ") + line;
    }
    if (summary.size() > maxChars) summary = summary.substr(0, maxChars) + L"...";
    return summary;
}

std::wstring TemporaryArchivePath(const std::wstring& archivePath, unsigned long processId) {
    return archivePath + L"." + std::to_wstring(processId) + L".partial.7z";
}

std::wstring PackerPath(const std::wstring& moduleFolder, bool x64) {
    return moduleFolder + (x64 ? L"7z\\x64\\7zx64.exe" : L"7z\\x86\\7zx86.exe");
}

std::wstring PackerCommandLine(const std::wstring& moduleFolder, bool x64, const std::wstring& archivePath) {
    return skelda::Quoted(PackerPath(moduleFolder, x64)) + L" a -t7z " + skelda::Quoted(archivePath) + L" " +
           skelda::Quoted(moduleFolder + kWorkingFolderName + L"\\*") + L" -m0=BCJ -m1=LZMA:d=21 -ms -mmt";
}

}  // namespace engine

namespace {

struct WorkerStart {
    CCollector* collector;
    int index;
    std::shared_ptr<engine::StepPool> pool;  // the run's pool; the last worker to let go ends it
    HMODULE module;  // a reference that keeps the engine loaded while the worker runs
};

DWORD WINAPI WorkerMain(LPVOID param) {
    std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(param));
    CCollector* const collector = start->collector;
    const HMODULE module = start->module;
    try {
        if (collector->ThrowsForTesting(start->index)) throw std::runtime_error("worker fault for testing");
        collector->RunWorker(start->index, start->pool);
    } catch (...) {
        // A worker that throws ends like one that failed, with its failure pair; nothing
        // crosses the thread.
        collector->WorkerFailed();
    }
    start.reset();  // the last worker's share of the pool waits for the pool's threads here
    collector->WorkerEnded();
    if (module) ::FreeLibraryAndExitThread(module, 0);
    return 0;
}

// The module that holds the engine, referenced once more, unless the engine is part of the
// program itself.
HMODULE ReferenceEngineModule() {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&WorkerMain), &module);
    if (module == ::GetModuleHandleW(nullptr)) {
        ::FreeLibrary(module);
        return nullptr;
    }
    return module;
}

}  // namespace

int CCollector::StartGetSystemInfo(const wchar_t* path, const int* categorySwitches) {
    if (!path || !categorySwitches) return 0;
    // Workers of an earlier run still at work would share this run's state.
    if (::InterlockedCompareExchange(&aliveThreads, 0, 0) != 0) return 0;
    const std::wstring folder = engine::GetModuleFolder();
    if (folder.empty()) return 0;
    // One run per machine: another process's run would share the working folder and could
    // pack or delete this one's data.
    if (!runGuard.TryAcquire(orvane::kRunGuardName)) return 0;
    moduleFolder = folder;
    privateAccess.Build();

    // Every run starts from an empty working folder: nothing of an earlier run reaches this
    // run's archive.
    skelda::RemoveFolder(WorkingFolder());
    if (!::CreateDirectoryW(WorkingFolder().c_str(), privateAccess.Attributes()) &&
        ::GetLastError() != ERROR_ALREADY_EXISTS) {
        toollog::Log(Entry::WorkingFolderFailed, WorkingFolder());
    }
    // Children keep their temporary files in the run's own folder, where other users cannot.
    ::CreateDirectoryW(ChildTempFolder().c_str(), privateAccess.Attributes());
    engine::SetChildTempFolder(ChildTempFolder());

    archivePath = path;
    for (int i = 0; i < kCategoryCount; ++i) switches[i] = categorySwitches[i];
    packingStarted = 0;
    wchar_t progress[4] = {};
    const bool wantsProgress = ::GetEnvironmentVariableW(orvane::kProgressVariable, progress, 4) == 1 &&
                               progress[0] == L'1';
    const engine::RunLimits limits = engine::ReadRunLimits(CLogSave::Instance().Settings());
    plan = engine::PlanRun(PlanFacts());
    journal.Begin(limits, WorkingFolder(), wantsProgress ? hwndNotify : nullptr, plan.StepCount());
    // One pool for the run's children; without one each worker runs its own steps in turn.
    std::shared_ptr<engine::StepPool> pool;
    if (limits.poolSize != engine::RunLimits::kPerWorker) pool = std::make_shared<engine::StepPool>(limits.poolSize);

    struct Worker {
        Entry startFailed;
        bool timeCritical;
        Entry priorityFailed;  // for time-critical workers only
    };
    static const Worker kWorkers[engine::kWorkerCount] = {
        {Entry::Worker1StartFailed, false, Entry::Worker1StartFailed},
        {Entry::Worker2StartFailed, false, Entry::Worker2StartFailed},
        {Entry::Worker3StartFailed, true, Entry::Worker3PriorityFailed},
        {Entry::Worker4StartFailed, true, Entry::Worker4PriorityFailed},
    };
    // Every worker is created suspended and counted before any of them runs: a quick worker
    // must not count itself off, find the count at zero and pack while the others have not
    // even been counted yet.
    HANDLE threads[engine::kWorkerCount] = {};
    int created = 0;
    int result = 1;
    for (const Worker& worker : kWorkers) {
        auto* start = new WorkerStart{this, created, pool, ReferenceEngineModule()};
        HANDLE thread = ::CreateThread(nullptr, 0, WorkerMain, start, CREATE_SUSPENDED, nullptr);
        if (!thread) {
            if (start->module) ::FreeLibrary(start->module);
            delete start;
            toollog::Log(worker.startFailed);
            result = 0;  // the workers already made still run, and the last of them packs
            break;
        }
        if (worker.timeCritical) {
            if (created == 2) ::SetPriorityClass(::GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
            if (!::SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL)) toollog::Log(worker.priorityFailed);
        }
        threads[created++] = thread;
    }
    pool.reset();  // the workers hold it now
    liveWorkers = created;
    aliveThreads = created;
    guardHolders = created;
    if (created == 0) runGuard.Release();
    for (int i = 0; i < created; ++i) {
        ::ResumeThread(threads[i]);
        ::CloseHandle(threads[i]);
    }
    return result;
}

engine::PlanFacts CCollector::PlanFacts() const {
    engine::PlanFacts facts;
    for (int i = 0; i < kCategoryCount; ++i) facts.switches[i] = switches[i];
    facts.osVersionCode = osVersionCode;
    facts.workingFolder = WorkingFolder();
    facts.windowsFolder = skelda::WindowsFolder();
    facts.desktopFolder = skelda::DesktopFolder();
    facts.haveWmic = skelda::PathExists(engine::ToolPath(skelda::kWmicProgram));
    facts.cbsPresent = skelda::PathExists(facts.windowsFolder + L"\\Logs\\CBS");
    facts.infPresent = skelda::PathExists(facts.windowsFolder + L"\\inf");
    facts.wmic = &wmicCatalogue;
    facts.wmiDevice = &wmiDeviceCatalogue;
    facts.wmiSystem = &wmiSystemCatalogue;
    return facts;
}

void CCollector::WorkerEnded() { ::InterlockedDecrement(&aliveThreads); }

void CCollector::WriteRunReport() {
    engine::RunHeader header;
    header.toolVersion = engine::kToolVersionText;
    header.engineVersion = engine::kEngineVersionText;
    header.engineArchitecture = sizeof(void*) == 8 ? L"x64" : L"x86";
    DWORD major = 0, minor = 0, build = 0;
    engine::ReadPebOsVersion(major, minor, &build);
    header.windowsVersion = std::to_wstring(major) + L"." + std::to_wstring(minor);
    header.windowsBuild = build;
    header.windows64 = is64BitOs != 0;
    header.start = journal.RunStart();
    ::GetLocalTime(&header.end);
    header.switches.assign(switches, switches + kCategoryCount);
    header.toolLog = CLogSave::Instance().Distrust();
    const std::vector<engine::StepRecord> records = journal.Records();
    const std::wstring folder = WorkingFolder() + L"\\";
    if (!engine::WriteReportFile(folder + engine::kReportTextName, engine::ReportText(header, records)) ||
        !engine::WriteReportFile(folder + engine::kReportJsonName, engine::ReportJson(header, records)))
        toollog::Log(Entry::ReportNotWritten, folder);
}

int CCollector::EnsureFolderPath(const std::wstring& path) {
    skelda::CriticalSectionLock hold(folderLock.Native());
    return skelda::EnsureFolderTree(path, privateAccess.Attributes());
}

int CCollector::IsCategoryEnabled(const std::wstring& folder) const { return engine::SwitchOfFolder(switches, folder); }

std::wstring CCollector::WorkingFolder() const { return moduleFolder + engine::kWorkingFolderName; }

std::wstring CCollector::ChildTempFolder() const { return WorkingFolder() + L"\\" + engine::kChildTempFolderName; }

void CCollector::SendResult(WPARAM result) {
    skelda::CriticalSectionLock hold(reportLock.Native());
    ::SendMessageW(hwndNotify, WM_COLLECT_RESULT, COLLECT_FINISHED, 0);
    ::SendMessageW(hwndNotify, WM_COLLECT_RESULT, result, 0);
}

int CCollector::StopWorker(WPARAM result, Entry entry) {
    if (result == COLLECT_FAILED) skelda::RemoveFolder(WorkingFolder());
    SendResult(result);
    toollog::Log(entry);
    EndRunIfLast();
    return 0;
}

void CCollector::WorkerFailed() { StopWorker(COLLECT_FAILED, Entry::WorkerFailed); }

void CCollector::EndRunIfLast() {
    // The run is over for this worker: the guard goes with the last one, whoever packs.
    if (::InterlockedDecrement(&guardHolders) == 0) runGuard.Release();
}

int CCollector::EnsureArchiveFolder() {
    // An archive path that names an existing folder could never take the archive.
    const DWORD attributes = ::GetFileAttributesW(archivePath.c_str());
    const bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!isFolder && EnsureFolderPath(archivePath)) return 1;
    SendResult(COLLECT_FOLDER_FAILED);
    toollog::Log(Entry::ArchiveFolderFailed);
    EndRunIfLast();
    return 0;
}

int CCollector::FinishWorker() {
    if (::InterlockedDecrement(&liveWorkers) > 0) {
        EndRunIfLast();
        return 1;
    }
    if (::InterlockedExchange(&packingStarted, 1) != 0) {
        EndRunIfLast();
        return 1;
    }

    // The packer writes a new archive under a temporary name ("a" would update an archive
    // that exists); only a complete one replaces the target, so a failed run leaves an
    // earlier archive exactly as it was.
    const bool x64 = is64BitOs != 0;
    const std::wstring temporary = engine::TemporaryArchivePath(archivePath, ::GetCurrentProcessId());
    ::DeleteFileW(temporary.c_str());
    skelda::RemoveFolder(ChildTempFolder());  // what the tools left there is not collected
    WriteRunReport();
    for (const std::wstring& file : skelda::WaitUntilFilesReleased(WorkingFolder(), 10000))
        toollog::Log(Entry::FileStillOpen, file);
    DWORD exitCode = 0;
    std::wstring packerErrors;
    engine::ChildRun packing;
    packing.limitMs = journal.PackingLimit();
    // Only the packer that shipped runs, held unchanged from its check until it has ended.
    const std::wstring packer = engine::PackerPath(moduleFolder, x64);
    skelda::UniqueHandle heldPacker;
    const engine::PackerState packerState = engine::HoldPacker(packer, engine::ShippedPackerDigest(x64), heldPacker);
    if (packerState == engine::PackerState::NotShipped) toollog::Log(Entry::PackerNotShipped, packer);
    const int ran = packerState == engine::PackerState::Held &&
                    engine::RunProgramErrors(packer, engine::PackerCommandLine(moduleFolder, x64, temporary),
                                             packerErrors, exitCode, &packing);
    heldPacker.Reset();
    // Warnings mean files left out of the archive (one that could not be read, say): the log
    // says which, even when the archive is made.
    const std::wstring packerMessages = engine::PackerMessageSummary(packerErrors);
    if (!packerMessages.empty()) toollog::Log(Entry::PackerMessages, packerMessages);
    skelda::RemoveFolder(WorkingFolder());
    // Success means an archive: the packer ran, ended without a fatal error, left a file, and
    // that file took the target's place.
    const DWORD attributes = ::GetFileAttributesW(temporary.c_str());
    const bool packed = ran && !packing.timedOut && engine::PackerSucceeded(exitCode) && attributes != INVALID_FILE_ATTRIBUTES &&
                        !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    // Private before it takes the target's name: a folder the user chose keeps its own
    // permissions, the archive gets the explicit list.
    if (packed && !privateAccess.ApplyTo(temporary)) toollog::Log(Entry::AccessListFailed, temporary);
    const bool archived = packed &&
                          ::MoveFileExW(temporary.c_str(), archivePath.c_str(),
                                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!archived) {
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            ::DeleteFileW(temporary.c_str());
        toollog::Log(Entry::PackingFailed);
        EndRunIfLast();  // before the pair: a host may start the next run as soon as it has it
        SendResult(COLLECT_FAILED);
        return 0;
    }
    EndRunIfLast();
    SendResult(COLLECT_SUCCEEDED);
    return 1;
}

// Start of a run, the worker bookkeeping and the shared end step that packs and reports.
#include "CollectionRun.h"

#include "Categories.h"
#include "Collector.h"
#include "CommandLine.h"
#include "CommandRunner.h"
#include "LogEntries.h"
#include "LogSave.h"
#include "OsVersion.h"
#include "PathText.h"
#include "UniqueHandle.h"
#include "ToolReports.h"

#include <stdexcept>

using toollog::Entry;

static_assert(skelda::kCategories == kCategoryCount, "one switch per category of the table");

namespace engine {

int EnsureFolderPathUnlocked(const std::wstring& path, SECURITY_ATTRIBUTES* access) {
    auto ensure = [access](const std::wstring& folder) {
        return ::GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES ||
               ::CreateDirectoryW(folder.c_str(), access);
    };
    std::wstring rest = path;
    std::wstring built;
    size_t idx = rest.find(L'\\');
    while (idx != std::wstring::npos && idx > 0) {
        built += rest.substr(0, idx);
        rest.erase(0, idx + 1);
        if (!ensure(built)) return 0;
        idx = rest.find(L'\\');
        built += L'\\';
        if (idx == std::wstring::npos && !rest.empty() && rest.find(L".7z") == std::wstring::npos) {
            built += rest;
            if (!ensure(built)) return 0;
        }
    }
    return 1;
}

namespace {

void FilesBelow(const std::wstring& folder, std::vector<std::wstring>& files) {
    WIN32_FIND_DATAW data;
    skelda::UniqueFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find.Valid()) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) FilesBelow(folder + L"\\" + name, files);
        else files.push_back(folder + L"\\" + name);
    } while (::FindNextFileW(find.Get(), &data));
}

}  // namespace

std::vector<std::wstring> WaitUntilFilesReleased(const std::wstring& folder, DWORD timeoutMs) {
    std::vector<std::wstring> files;
    FilesBelow(folder, files);
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    std::vector<std::wstring> held;
    for (const std::wstring& file : files) {
        for (;;) {
            // Sharing reading only: refused while anyone has the file open for writing.
            skelda::UniqueHandle probe(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (probe || ::GetLastError() != ERROR_SHARING_VIOLATION) break;
            if (::GetTickCount64() >= deadline) {
                held.push_back(file);
                break;
            }
            ::Sleep(50);
        }
    }
    return held;
}

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
    int (CCollector::*routine)();
    HMODULE module;  // a reference that keeps the engine loaded while the worker runs
};

DWORD WINAPI WorkerMain(LPVOID param) {
    WorkerStart start = *static_cast<WorkerStart*>(param);
    delete static_cast<WorkerStart*>(param);
    try {
        if (start.collector->ThrowsForTesting(start.index)) throw std::runtime_error("worker fault for testing");
        (start.collector->*start.routine)();
    } catch (...) {
        // A worker that throws ends like one that failed, with its failure pair; nothing
        // crosses the thread.
        start.collector->WorkerFailed();
    }
    start.collector->WorkerEnded();
    if (start.module) ::FreeLibraryAndExitThread(start.module, 0);
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
    engine::RemoveFolder(WorkingFolder());
    if (!::CreateDirectoryW(WorkingFolder().c_str(), privateAccess.Attributes()) &&
        ::GetLastError() != ERROR_ALREADY_EXISTS) {
        toollog::Log(Entry::WorkingFolderFailed, WorkingFolder());
    }

    archivePath = path;
    for (int i = 0; i < kCategoryCount; ++i) switches[i] = categorySwitches[i];
    packingStarted = 0;
    wchar_t progress[4] = {};
    const bool wantsProgress = ::GetEnvironmentVariableW(orvane::kProgressVariable, progress, 4) == 1 &&
                               progress[0] == L'1';
    journal.Begin(engine::ReadRunLimits(CLogSave::Instance().Settings()), WorkingFolder(),
                  wantsProgress ? hwndNotify : nullptr, PlannedSteps());

    struct Worker {
        int (CCollector::*routine)();
        Entry startFailed;
        bool timeCritical;
        Entry priorityFailed;  // for time-critical workers only
    };
    static const Worker kWorkers[] = {
        {&CCollector::CollectEventLogs, Entry::Worker1StartFailed, false, Entry::Worker1StartFailed},
        {&CCollector::CollectFilesAndWmic, Entry::Worker2StartFailed, false, Entry::Worker2StartFailed},
        {&CCollector::CollectWmiDeviceClasses, Entry::Worker3StartFailed, true, Entry::Worker3PriorityFailed},
        {&CCollector::CollectWmiSystemClasses, Entry::Worker4StartFailed, true, Entry::Worker4PriorityFailed},
    };
    // Every worker is created suspended and counted before any of them runs: a quick worker
    // must not count itself off, find the count at zero and pack while the others have not
    // even been counted yet.
    HANDLE threads[4] = {};
    int created = 0;
    int result = 1;
    for (const Worker& worker : kWorkers) {
        auto* start = new WorkerStart{this, created, worker.routine, ReferenceEngineModule()};
        HANDLE thread = ::CreateThread(nullptr, 0, WorkerMain, start, CREATE_SUSPENDED, nullptr);
        if (!thread) {
            if (start->module) ::FreeLibrary(start->module);
            delete start;
            toollog::Log(worker.startFailed);
            result = 0;  // the workers already made still run, and the last of them packs
            break;
        }
        if (worker.timeCritical) {
            if (worker.routine == &CCollector::CollectWmiDeviceClasses) {
                ::SetPriorityClass(::GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
            }
            if (!::SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL)) toollog::Log(worker.priorityFailed);
        }
        threads[created++] = thread;
    }
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

void CCollector::WorkerEnded() { ::InterlockedDecrement(&aliveThreads); }

int CCollector::PlannedSteps() const {
    int steps = 0;
    if (switches[skelda::kSystemLog]) ++steps;  // the listing; each log is added once it is known
    if (switches[skelda::kUpdateLog]) steps += osVersionCode >= engine::OS_WIN10 ? 2 : 1;
    if (switches[skelda::kCbsLog]) ++steps;
    if (switches[skelda::kInfLog]) ++steps;
    if (switches[skelda::kOperatingSystem]) ++steps;
    for (const skelda::FolderCatalogue* catalogue : {&wmicCatalogue, &wmiDeviceCatalogue, &wmiSystemCatalogue})
        for (const auto& [folder, rows] : *catalogue)
            if (IsCategoryEnabled(folder)) steps += static_cast<int>(rows.size());
    return steps;
}

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
    return engine::EnsureFolderPathUnlocked(path, privateAccess.Attributes());
}

int CCollector::IsCategoryEnabled(const std::wstring& folder) const {
    const int index = skelda::CategoryIndexOf(folder);
    return index < 0 ? 0 : switches[index];
}

std::wstring CCollector::WorkingFolder() const { return moduleFolder + engine::kWorkingFolderName; }

void CCollector::SendResult(WPARAM result) {
    skelda::CriticalSectionLock hold(reportLock.Native());
    ::SendMessageW(hwndNotify, WM_COLLECT_RESULT, COLLECT_FINISHED, 0);
    ::SendMessageW(hwndNotify, WM_COLLECT_RESULT, result, 0);
}

int CCollector::StopWorker(WPARAM result, Entry entry) {
    if (result == COLLECT_FAILED) engine::RemoveFolder(WorkingFolder());
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
    WriteRunReport();
    for (const std::wstring& file : engine::WaitUntilFilesReleased(WorkingFolder(), 10000))
        toollog::Log(Entry::FileStillOpen, file);
    DWORD exitCode = 0;
    std::wstring packerErrors;
    engine::ChildRun packing;
    packing.limitMs = journal.PackingLimit();
    const int ran = engine::RunProgramErrors(engine::PackerPath(moduleFolder, x64),
                                             engine::PackerCommandLine(moduleFolder, x64, temporary), packerErrors,
                                             exitCode, &packing);
    // Warnings mean files left out of the archive (one that could not be read, say): the log
    // says which, even when the archive is made.
    const std::wstring packerMessages = engine::PackerMessageSummary(packerErrors);
    if (!packerMessages.empty()) toollog::Log(Entry::PackerMessages, packerMessages);
    engine::RemoveFolder(WorkingFolder());
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

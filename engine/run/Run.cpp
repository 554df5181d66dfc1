// A collection run: its start, the worker bookkeeping and the shared end step that packs and
// reports.
#include "Run.h"

#include <fstream>

#include "ArchiveTarget.h"
#include "ChildEnvironment.h"
#include "CollectResult.h"
#include "CollectionRun.h"
#include "CommandLine.h"
#include "CommandRunner.h"
#include "FileSystem.h"
#include "HandleFiles.h"
#include "LogSave.h"
#include "LongPath.h"
#include "OsVersion.h"
#include "PackerCheck.h"
#include "PathText.h"
#include "SystemPaths.h"
#include "ToolReports.h"
#include "WideText.h"

using toollog::Entry;

namespace engine {

Run::Run(const RunSetup& runSetup) : setup(runSetup) {}

bool Run::AcquireGuard() { return guard.TryAcquire(orvane::kRunGuardName); }

void Run::Prepare(const std::wstring& requestedArchive) {
    privateAccess.Build();
    placesReady = PrepareRunPlaces(requestedArchive);
    if (placesReady) {
        // Children keep their temporary files in the run's own folder, where other users cannot.
        ::CreateDirectoryW(skelda::LongPath(ChildTempFolder()).c_str(), runFolderAccess.Attributes());
        SetChildTempFolder(ChildTempFolder());
    }
    wchar_t progress[4] = {};
    const bool wantsProgress = ::GetEnvironmentVariableW(orvane::kProgressVariable, progress, 4) == 1 &&
                               progress[0] == L'1';
    const RunLimits limits = ReadRunLimits(CLogSave::Instance().Settings());
    plan = PlanRun(Facts());
    journal.Begin(limits, WorkingFolder(), wantsProgress ? setup.notify : nullptr, plan.StepCount());
    // One pool for the run's children; without one each worker runs its own steps in turn.
    if (limits.poolSize != RunLimits::kPerWorker) pool.reset(new StepPool(limits.poolSize));
}

void Run::WorkersStarted(int count) {
    workersBeforeEnd = count;
    workersInRun = count;
    if (count == 0) {
        workingHold.Remove();
        archivePlace.Discard();
        guard.Release();
    }
}

PlanFacts Run::Facts() const {
    PlanFacts facts;
    for (int i = 0; i < kSwitchCount; ++i) facts.switches[i] = setup.switches[i];
    facts.osVersionCode = setup.osVersionCode;
    facts.workingFolder = WorkingFolder();
    facts.windowsFolder = skelda::WindowsFolder();
    facts.desktopFolder = skelda::DesktopFolder();
    facts.haveWmic = skelda::PathExists(ToolPath(skelda::kWmicProgram));
    facts.cbsPresent = skelda::PathExists(facts.windowsFolder + L"\\Logs\\CBS");
    facts.infPresent = skelda::PathExists(facts.windowsFolder + L"\\inf");
    facts.wmic = setup.wmic;
    facts.wmiDevice = setup.wmiDevice;
    facts.wmiSystem = setup.wmiSystem;
    return facts;
}

bool Run::PrepareRunPlaces(const std::wstring& requestedArchive) {
    ::SetEnvironmentVariableW(orvane::kArchiveVariable, nullptr);
    ::SetEnvironmentVariableW(orvane::kArchiveLacksVariable, nullptr);
    ::SetEnvironmentVariableW(orvane::kFolderProblemVariable, nullptr);
    const std::wstring user = skelda::CurrentUserSid();
    runFolderAccess.BuildFrom(skelda::RunFolderSddl(user, skelda::ProcessIsAdministrator()));
    FILETIME runStart{};
    ::GetSystemTimeAsFileTime(&runStart);
    std::wstring problem;
    // Both before anything is collected: a place that cannot take the archive is found now,
    // not after minutes of collecting.
    if (!workingHold.Make(WorkingFolder(), runFolderAccess.Attributes(), problem)) {
        toollog::Log(Entry::WorkingFolderFailed, problem);
    } else if (!archivePlace.Prepare(requestedArchive, {user, privateAccess.Attributes(), runFolderAccess.Attributes()},
                                     runStart, problem)) {
        toollog::Log(Entry::ArchiveTargetFailed, problem);
        workingHold.Remove();
    } else {
        archivePath = archivePlace.Target();
        ::SetEnvironmentVariableW(orvane::kArchiveVariable, archivePath.c_str());
        return true;
    }
    archivePath = requestedArchive;
    ::SetEnvironmentVariableW(orvane::kFolderProblemVariable, problem.c_str());
    return false;
}

void Run::WriteRunReport(const std::vector<std::wstring>& heldFiles) {
    RunHeader header;
    header.toolVersion = kToolVersionText;
    header.engineVersion = kEngineVersionText;
    header.engineArchitecture = sizeof(void*) == 8 ? L"x64" : L"x86";
    DWORD major = 0, minor = 0, build = 0;
    ReadPebOsVersion(major, minor, &build);
    header.windowsVersion = std::to_wstring(major) + L"." + std::to_wstring(minor);
    header.windowsBuild = build;
    header.windows64 = setup.windows64;
    header.start = journal.RunStart();
    ::GetLocalTime(&header.end);
    header.switches.assign(setup.switches, setup.switches + kSwitchCount);
    header.toolLog = CLogSave::Instance().Distrust();
    std::vector<StepRecord> records = journal.Records();
    MarkHeldFiles(records, heldFiles);
    const std::wstring folder = skelda::LongPath(WorkingFolder()) + L"\\";
    if (!WriteReportFile(folder + kReportTextName, ReportText(header, records)) ||
        !WriteReportFile(folder + kReportJsonName, ReportJson(header, records)))
        toollog::Log(Entry::ReportNotWritten, folder);
}

int Run::EnsureFolderPath(const std::wstring& path) {
    skelda::CriticalSectionLock hold(folderLock.Native());
    return skelda::EnsureFolderTree(skelda::LongPath(path), privateAccess.Attributes());
}

std::wstring Run::WorkingFolder() const { return setup.moduleFolder + kWorkingFolderName; }

std::wstring Run::ChildTempFolder() const { return WorkingFolder() + L"\\" + kChildTempFolderName; }

void Run::SendResult(WPARAM result) {
    skelda::CriticalSectionLock hold(reportLock.Native());
    ::SendMessageW(setup.notify, WM_COLLECT_RESULT, COLLECT_FINISHED, 0);
    ::SendMessageW(setup.notify, WM_COLLECT_RESULT, result, 0);
}

int Run::StopWorker(WPARAM result, Entry entry) {
    if (result == COLLECT_FAILED) workingHold.Empty();
    SendResult(result);
    toollog::Log(entry);
    EndRunIfLast();
    return 0;
}

void Run::WorkerFailed() { StopWorker(COLLECT_FAILED, Entry::WorkerFailed); }

void Run::EndRunIfLast() {
    // The run is over for this worker: the guard goes with the last one, whoever packs, and
    // whatever the run still holds goes before it.
    if (::InterlockedDecrement(&workersInRun) != 0) return;
    workingHold.Remove();
    archivePlace.Discard();
    guard.Release();
}

int Run::EnsureArchiveFolder() {
    if (placesReady) return 1;
    SendResult(COLLECT_FOLDER_FAILED);
    toollog::Log(Entry::ArchiveFolderFailed);
    EndRunIfLast();
    return 0;
}

namespace {

std::wstring ReadUtf8File(const std::wstring& path) {
    std::ifstream in(skelda::LongPath(path).c_str(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    return skelda::Widen(bytes, CP_UTF8);
}

// The names joined by ", ", at most max of them, then how many more.
std::wstring NameList(const std::vector<std::wstring>& names, size_t max = 5) {
    std::wstring list;
    for (size_t i = 0; i < names.size() && i < max; ++i) list += (i ? L", " : L"") + names[i];
    if (names.size() > max) list += L" and " + std::to_wstring(names.size() - max) + L" more";
    return list;
}

}  // namespace

std::wstring Run::CheckArchive(DWORD packerExitCode, const std::wstring& packerMessages,
                                      const std::vector<std::wstring>& heldFiles) {
    const std::wstring packer = PackerPath(setup.moduleFolder, setup.windows64);
    const std::wstring temporary = archivePlace.TemporaryArchive();
    const std::wstring listingFile = archivePlace.PackingFolder() + L"\\listing.txt";
    ChildRun listing;
    listing.limitMs = journal.PackingLimit();
    DWORD exitCode = 0;
    std::vector<std::wstring> listed;
    const bool listedOk = RunProgramToFile(packer, skelda::Quoted(packer) + L" l -slt -sccUTF-8 " +
                                                               skelda::Quoted(temporary),
                                                   listingFile, exitCode, &listing) &&
                          !listing.timedOut && exitCode == 0;
    if (listedOk) listed = ListedPaths(ReadUtf8File(listingFile));
    const std::vector<std::wstring> missing =
        listedOk ? MissingFromListing(RelativeFilesBelow(WorkingFolder()), listed)
                 : std::vector<std::wstring>{};
    std::vector<std::wstring> lacks;
    if (packerExitCode != 0) lacks.push_back(L"the packer ended with " + std::to_wstring(packerExitCode));
    if (!listedOk) lacks.push_back(L"the archive could not be listed");
    if (!missing.empty())
        lacks.push_back(std::to_wstring(missing.size()) + L" files missing: " + NameList(missing));
    if (!heldFiles.empty())
        lacks.push_back(std::to_wstring(heldFiles.size()) + L" files still open when packing began: " +
                        NameList(heldFiles));
    if (lacks.empty()) return {};
    std::wstring summary;
    for (const std::wstring& part : lacks) summary += (summary.empty() ? L"" : L"; ") + part;
    toollog::Log(Entry::ArchiveIncomplete, summary);

    // The archive itself says what it lacks: one more file, added to it.
    std::wstring messages = packerMessages;
    if (!listedOk) messages += (messages.empty() ? L"" : L" | ") + std::wstring(L"the archive could not be listed");
    // Every file once, in the archive's own notation; one still open at packing says so.
    std::vector<std::wstring> named = missing;
    for (const std::wstring& file : heldFiles) {
        const std::wstring held = skelda::ReplaceAll(file, L"/", L"\\");
        const std::wstring note = held + L" (still open when packing began)";
        bool listed = false;
        for (std::wstring& name : named) {
            if (name == held) {
                name = note;
                listed = true;
            }
        }
        if (!listed) named.push_back(note);
    }
    const std::wstring checkFile = archivePlace.PackingFolder() + L"\\" + kArchiveCheckName;
    if (!WriteReportFile(checkFile, ArchiveCheckText(packerExitCode, messages, named))) return summary;
    ChildRun adding;
    adding.limitMs = journal.PackingLimit();
    std::wstring errors;
    if (!RunProgramErrors(packer, skelda::Quoted(packer) + L" a -t7z " + skelda::Quoted(temporary) + L" " +
                                              skelda::Quoted(checkFile),
                                  errors, exitCode, &adding) ||
        adding.timedOut || exitCode != 0)
        toollog::Log(Entry::PackerMessages, PackerMessageSummary(errors));
    return summary;
}

int Run::FinishWorker() {
    // The decrement that reaches zero happens once: that worker packs.
    if (::InterlockedDecrement(&workersBeforeEnd) > 0) {
        EndRunIfLast();
        return 1;
    }

    skelda::RemoveNoFollow(ChildTempFolder());  // what the tools left there is not collected
    // The report is written once every tool has let go of its files, so that it can name the
    // steps whose files are still held.
    const std::wstring workingPrefix = WorkingFolder() + L"\\";
    std::vector<std::wstring> held;
    for (const std::wstring& file : skelda::WaitUntilFilesReleased(WorkingFolder(), 10000)) {
        toollog::Log(Entry::FileStillOpen, file);
        held.push_back(skelda::ReplaceAll(file.compare(0, workingPrefix.size(), workingPrefix) == 0
                                              ? file.substr(workingPrefix.size())
                                              : file,
                                          L"\\", L"/"));
    }
    WriteRunReport(held);

    // The packer writes a new archive into the run's own folder beside the target ("a" would
    // update an archive that exists); only a complete one takes the target's place, so a
    // failed run leaves an earlier archive exactly as it was.
    const bool x64 = setup.windows64;
    archivePlace.ClearTemporaryArchive();
    const std::wstring temporary = archivePlace.TemporaryArchive();
    DWORD exitCode = 0;
    std::wstring packerErrors;
    ChildRun packing;
    packing.limitMs = journal.PackingLimit();
    // Only the packer that shipped runs, held unchanged from its check until it has ended.
    const std::wstring packer = PackerPath(setup.moduleFolder, x64);
    skelda::UniqueHandle heldPacker;
    // It stays held through the archive's check below, which starts it again.
    const PackerState packerState = HoldPacker(packer, ShippedPackerDigest(x64), heldPacker);
    if (packerState == PackerState::NotShipped) toollog::Log(Entry::PackerNotShipped, packer);
    const int ran = packerState == PackerState::Held &&
                    RunProgramErrors(packer, PackerCommandLine(setup.moduleFolder, x64, temporary),
                                             packerErrors, exitCode, &packing);
    // Warnings mean files left out of the archive (one that could not be read, say): the log
    // says which, even when the archive is made.
    const std::wstring packerMessages = PackerMessageSummary(packerErrors);
    if (!packerMessages.empty()) toollog::Log(Entry::PackerMessages, packerMessages);
    // Success means an archive: the packer ran, ended without a fatal error and left a file.
    const bool packed = ran && !packing.timedOut && PackerSucceeded(exitCode) &&
                        archivePlace.TemporaryArchiveWritten();
    if (!packed) {
        archivePlace.Discard();
        workingHold.Remove();
        toollog::Log(Entry::PackingFailed);
        EndRunIfLast();  // before the pair: a host may start the next run as soon as it has it
        SendResult(COLLECT_FAILED);
        return 0;
    }
    const std::wstring lacks = CheckArchive(exitCode, packerMessages, held);
    // A finished archive is never deleted: where it cannot take the target's place it is kept
    // beside it, and the working folder goes only once the archive has its final name.
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    bool accessFailed = false;
    const std::wstring placed = archivePlace.Settle(privateAccess.Descriptor(), now, accessFailed);
    if (accessFailed) toollog::Log(Entry::AccessListFailed, placed);
    if (placed != archivePath) toollog::Log(Entry::ArchiveKeptBeside, placed);
    workingHold.Remove();
    ::SetEnvironmentVariableW(orvane::kArchiveVariable, placed.c_str());
    if (!lacks.empty()) ::SetEnvironmentVariableW(orvane::kArchiveLacksVariable, lacks.c_str());
    EndRunIfLast();
    SendResult(COLLECT_SUCCEEDED);
    return 1;
}

}  // namespace engine

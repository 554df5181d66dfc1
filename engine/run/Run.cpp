// A collection run: its start, the worker bookkeeping and the shared end step that packs and
// reports.
#include "run/Run.h"

#include "api/Categories.h"
#include "api/OrvaneSkeldaApi.h"
#include "archive/ArchiveCheck.h"
#include "archive/Packer.h"
#include "files/FileSystem.h"
#include "files/NoFollow.h"
#include "report/RunReport.h"
#include "text/LongPath.h"
#include "text/PathText.h"
#include "win/ProcessToken.h"
#include "win/SystemPaths.h"
#include "win/WindowsVersion.h"

using toollog::Entry;

namespace engine::run {

Run::Run(RunSetup setup) : setup_(std::move(setup)) {}

bool Run::AcquireGuard() { return guard_.TryAcquire(api::kRunGuardName); }

void Run::Prepare(const std::wstring& requestedArchive) {
    privateAccess_.Build();
    placesReady_ = PrepareRunPlaces(requestedArchive);
    child::ChildLauncher::Options children;
    if (placesReady_) {
        // Children keep their temporary files in the run's own folder, where other users cannot.
        ::CreateDirectoryW(util::text::LongPath(ChildTempFolder()).c_str(), runFolderAccess_.Attributes());
        children.tempFolder = ChildTempFolder();
    }
    launcher_ = std::make_unique<child::ChildLauncher>(children);
    const RunLimits limits = ReadRunLimits(setup_.settingsFile, setup_.hostLimits);
    plan_ = plan::PlanRun(Facts());
    journal_.Begin(limits, WorkingFolder(), setup_.host, plan_.StepCount());
    // One pool for the run's children; without one each worker runs its own steps in turn.
    if (limits.poolSize != RunLimits::kPerWorker) pool_ = std::make_unique<StepPool>(limits.poolSize);
}

void Run::WorkersStarted(int count) {
    workersBeforeEnd_ = count;
    workersInRun_ = count;
    if (count == 0) {
        workingHold_.Remove();
        archivePlace_.Discard();
        guard_.Release();
    }
}

plan::PlanFacts Run::Facts() const {
    plan::PlanFacts facts;
    for (int i = 0; i < plan::kSwitchCount; ++i) facts.switches[i] = setup_.switches[i];
    facts.osVersionCode = setup_.osVersionCode;
    facts.workingFolder = WorkingFolder();
    facts.windowsFolder = util::win::WindowsFolder();
    facts.haveWmic = util::files::PathExists(util::win::SystemFolder() + L"\\" + catalogue::kWmicProgram);
    facts.cbsPresent = util::files::PathExists(facts.windowsFolder + L"\\Logs\\CBS");
    facts.infPresent = util::files::PathExists(facts.windowsFolder + L"\\inf");
    facts.wmic = setup_.wmic;
    facts.wmiDevice = setup_.wmiDevice;
    facts.wmiSystem = setup_.wmiSystem;
    return facts;
}

bool Run::PrepareRunPlaces(const std::wstring& requestedArchive) {
    setup_.host->RunBegins();
    const std::wstring user = util::win::CurrentUserSid();
    const bool administrator = util::win::ProcessIsAdministrator();
    runFolderAccess_.BuildFrom(util::files::RunFolderSddl(user, administrator));
    madeFolderAccess_.BuildFrom(util::files::MadeFolderSddl(user, administrator));
    FILETIME runStart{};
    ::GetSystemTimeAsFileTime(&runStart);
    std::wstring problem;
    // Both before anything is collected: a place that cannot take the archive is found now,
    // not after minutes of collecting.
    if (!workingHold_.Make(WorkingFolder(), runFolderAccess_.Attributes(), problem)) {
        toollog::Log(Entry::WorkingFolderFailed, problem);
    } else if (!archivePlace_.Prepare(requestedArchive,
                                      {user, madeFolderAccess_.Descriptor(), runFolderAccess_.Descriptor()}, runStart,
                                      problem)) {
        toollog::Log(Entry::ArchiveTargetFailed, problem);
        workingHold_.Remove();
    } else {
        archivePath_ = archivePlace_.Target();
        setup_.host->TargetResolved(archivePath_);
        return true;
    }
    archivePath_ = requestedArchive;
    setup_.host->FolderProblem(problem);
    return false;
}

void Run::WriteRunReport(const std::vector<std::wstring>& heldFiles) {
    report::RunHeader header;
    header.toolVersion = report::kToolVersionText;
    header.engineVersion = report::kEngineVersionText;
    header.engineArchitecture = sizeof(void*) == 8 ? L"x64" : L"x86";
    DWORD major = 0, minor = 0, build = 0;
    util::win::ReadPebOsVersion(major, minor, &build);
    header.windowsVersion = std::to_wstring(major) + L"." + std::to_wstring(minor);
    header.windowsBuild = build;
    header.windows64 = setup_.windows64;
    header.start = journal_.RunStart();
    ::GetLocalTime(&header.end);
    header.switches.assign(setup_.switches, setup_.switches + plan::kSwitchCount);
    header.toolLog = setup_.toolLogDistrust;
    std::vector<report::StepRecord> records = journal_.Records();
    report::MarkHeldFiles(records, heldFiles);
    const std::wstring folder = util::text::LongPath(WorkingFolder()) + L"\\";
    if (!util::files::WriteFileBytes(folder + api::kReportTextName, report::ReportText(header, records)) ||
        !util::files::WriteFileBytes(folder + api::kReportJsonName, report::ReportJson(header, records)))
        toollog::Log(Entry::ReportNotWritten, folder);
}

int Run::EnsureFolderPath(const std::wstring& path) {
    util::win::CriticalSectionLock hold(folderLock_.Native());
    // Only administrators inside: the user's processes could otherwise put a link into a
    // category folder, or swap the folder for one, before the run writes there.
    return util::files::EnsureFolderTree(util::text::LongPath(path), runFolderAccess_.Attributes());
}

std::wstring Run::WorkingFolder() const { return setup_.moduleFolder + archive::kWorkingFolderName; }

std::wstring Run::ChildTempFolder() const { return WorkingFolder() + L"\\" + api::kWorkingTempFolder; }

int Run::StopWorker(WPARAM result, Entry entry) {
    if (result == api::kResultFailed) workingHold_.Empty();
    setup_.host->ResultPair(result);
    toollog::Log(entry);
    EndRunIfLast();
    return 0;
}

void Run::WorkerFailed() { StopWorker(api::kResultFailed, Entry::WorkerFailed); }

void Run::EndRunIfLast() {
    // The run is over for this worker: the guard goes with the last one, whoever packs, and
    // whatever the run still holds goes before it.
    if (::InterlockedDecrement(&workersInRun_) != 0) return;
    workingHold_.Remove();
    archivePlace_.Discard();
    guard_.Release();
}

int Run::EnsureArchiveFolder() {
    if (placesReady_) return 1;
    setup_.host->ResultPair(api::kResultFolderFailed);
    toollog::Log(Entry::ArchiveFolderFailed);
    EndRunIfLast();
    return 0;
}

int Run::FinishWorker() {
    // The decrement that reaches zero happens once: that worker packs.
    if (::InterlockedDecrement(&workersBeforeEnd_) > 0) {
        EndRunIfLast();
        return 1;
    }

    util::files::RemoveNoFollow(ChildTempFolder());  // what the tools left there is not collected
    // The report is written once every tool has let go of its files, so that it can name the
    // steps whose files are still held.
    const std::wstring workingPrefix = WorkingFolder() + L"\\";
    std::vector<std::wstring> held;
    for (const std::wstring& file : util::files::WaitUntilFilesReleased(WorkingFolder(), 10000)) {
        toollog::Log(Entry::FileStillOpen, file);
        held.push_back(util::text::ReplaceAll(file.compare(0, workingPrefix.size(), workingPrefix) == 0
                                                  ? file.substr(workingPrefix.size())
                                                  : file,
                                              L"\\", L"/"));
    }
    WriteRunReport(held);

    // The packer writes a new archive into the run's own folder beside the target ("a" would
    // update an archive that exists); only a complete one takes the target's place, so a
    // failed run leaves an earlier archive exactly as it was.
    archivePlace_.ClearTemporaryArchive();
    const std::wstring temporary = archivePlace_.TemporaryArchive();
    // Only the packer that shipped runs, held unchanged from its check until it has ended; it
    // stays held through the archive's check below, which starts it again.
    archive::HeldPacker packer(setup_.moduleFolder, setup_.windows64);
    const archive::PackerState packerState = packer.Hold();
    if (packerState == archive::PackerState::NotShipped) toollog::Log(Entry::PackerNotShipped, packer.Path());
    archive::PackerRun packing;
    if (packerState == archive::PackerState::Held)
        packing = packer.Pack(*launcher_, WorkingFolder(), temporary, journal_.PackingLimit());
    // Warnings mean files left out of the archive (one that could not be read, say): the log
    // says which, even when the archive is made.
    if (!packing.messages.empty()) toollog::Log(Entry::PackerMessages, packing.messages);
    // Success means an archive: the packer ran, ended without a fatal error and left a file.
    const bool packed = packing.ran && archive::PackerSucceeded(packing.exitCode) &&
                        archivePlace_.TemporaryArchiveWritten();
    if (!packed) {
        archivePlace_.Discard();
        workingHold_.Remove();
        toollog::Log(Entry::PackingFailed);
        EndRunIfLast();  // before the pair: a host may start the next run as soon as it has it
        setup_.host->ResultPair(api::kResultFailed);
        return 0;
    }
    const std::wstring lacks = archive::CheckPackedArchive(
        packer, *launcher_,
        {WorkingFolder(), temporary, archivePlace_.PackingFolder(), packing.exitCode, packing.messages, held},
        journal_.PackingLimit());
    // A finished archive is never deleted: where it cannot take the target's place it is kept
    // beside it, and the working folder goes only once the archive has its final name.
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    bool accessFailed = false;
    const std::wstring placed = archivePlace_.Settle(privateAccess_.Descriptor(), now, accessFailed);
    if (accessFailed) toollog::Log(Entry::AccessListFailed, placed);
    if (placed != archivePath_) toollog::Log(Entry::ArchiveKeptBeside, placed);
    workingHold_.Remove();
    setup_.host->ArchiveFinished(placed, lacks);
    EndRunIfLast();
    setup_.host->ResultPair(api::kResultSucceeded);
    return 1;
}

}  // namespace engine::run

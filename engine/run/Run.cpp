// A collection run: its start, the worker bookkeeping and the shared end step that packs and
// reports.
#include "run/Run.h"

#include "api/Categories.h"
#include "api/OrvaneSkeldaApi.h"
#include "archive/ArchiveCheck.h"
#include "archive/Packer.h"
#include "files/FileSystem.h"
#include "files/NoFollow.h"
#include "files/TrustedFolder.h"
#include "report/RunReport.h"
#include "summary/SummaryFiles.h"
#include "text/LongPath.h"
#include "text/PathText.h"
#include "win/Locales.h"
#include "win/ProcessToken.h"
#include "win/SystemPaths.h"
#include "win/WindowsVersion.h"

using toollog::Entry;

namespace engine::run {

Run::Run(RunSetup setup) : setup_(std::move(setup)) {}

bool Run::AcquireGuard() { return guard_.TryAcquire(api::kRunGuardName); }

void Run::Prepare(const std::wstring& requestedArchive) {
    privateAccess_.Build();
    // The packer is found and checked before any step: a missing or altered one is refused now,
    // not after minutes of collecting, and it stays held, unchanged, until the run ends.
    packer_ = std::make_unique<archive::HeldPacker>(setup_.moduleFolder, setup_.windows64);
    const archive::PackerState packerState = packer_->Hold();
    packerReady_ = packerState == archive::PackerState::Held;
    if (packerState == archive::PackerState::NotShipped) toollog::Log(Entry::PackerNotShipped, packer_->Path());
    if (packerState == archive::PackerState::Missing) toollog::Log(Entry::PackerMissing, packer_->Path());
    if (packerReady_) {
        placesReady_ = PrepareRunPlaces(requestedArchive);
    } else {
        setup_.host->RunBegins();
        archivePath_ = requestedArchive;
    }
    child::ChildLauncher::Options children;
    if (placesReady_) {
        // Children keep their temporary files in the run's own folder, where other users cannot.
        ::CreateDirectoryW(util::text::LongPath(ChildTempFolder()).c_str(), runFolderAccess_.Attributes());
        children.tempFolder = ChildTempFolder();
    }
    launcher_ = std::make_unique<child::ChildLauncher>(children);
    limits_ = ReadRunLimits(setup_.settingsFile, setup_.hostLimits);
    plan_ = plan::PlanRun(Facts());
    journal_.Begin(limits_, WorkingFolder(), setup_.host, plan_.StepCount());
    // One pool for the run's children; without one each worker runs its own steps in turn.
    if (limits_.poolSize != RunLimits::kPerWorker) pool_ = std::make_unique<StepPool>(limits_.poolSize);
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
    facts.textLocales = util::win::DisplayAndEnglishLocales();
    return facts;
}

bool Run::PrepareRunPlaces(const std::wstring& requestedArchive) {
    setup_.host->RunBegins();
    const std::wstring user = util::win::CurrentUserSid();
    const bool administrator = util::win::ProcessIsAdministrator();
    runFolderAccess_.BuildFrom(util::files::RunFolderSddl(user, administrator));
    madeFolderAccess_.BuildFrom(util::files::MadeFolderSddl(user, administrator));
    keptAccess_.BuildFrom(util::files::KeptCollectionSddl(user));
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

bool Run::WriteSummary() {
    summary::SummaryInputs inputs;
    for (const report::StepRecord& record : journal_.Records())
        inputs.steps.push_back({record.what, record.output, report::OutcomeName(record.outcome), record.reason});
    inputs.reportFile = api::kReportTextName;
    inputs.codePage = CP_OEMCP;
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    summary::PageFacts facts;
    facts.built = report::TimeText(now);
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (::GetComputerNameW(computer, &length)) facts.computer = computer;
    const summary::WrittenSummary written =
        summary::WriteSummaryFiles(WorkingFolder(), inputs, facts, api::kSummaryHtmlName, api::kSummaryTextName);
    if (!written.written) {
        toollog::Log(Entry::ReportNotWritten, WorkingFolder() + L"\\" + api::kSummaryHtmlName);
        return false;
    }
    setup_.host->SummaryWritten(written.problemCounts);
    return true;
}

void Run::WriteRunReport(const std::vector<std::wstring>& heldFiles, bool summaryWritten) {
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
    header.limits = LimitLines(limits_);
    if (summaryWritten) header.summaryFiles = {api::kSummaryHtmlName, api::kSummaryTextName};
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
    setup_.host->ResultPair(result);
    toollog::Log(entry);
    EndRunIfLast();
    return 0;
}

void Run::WorkerFailed(int index, const std::wstring& what) {
    toollog::Log(Entry::WorkerFailed, what);
    if (stages_[index] == Stage::Steps) {
        if (!EnsureArchiveFolder()) return;
        // Its queue ends here; what the others collect is still packed.
        report::StepRecord record;
        report::StepClock().Finish(record);
        record.what = L"worker " + std::to_wstring(index + 1);
        record.outcome = report::Outcome::Failed;
        record.reason = L"ended by an unexpected error: " + what;
        record.worker = index;
        journal_.Record(index, std::move(record));
        FinishWorker(index);
        return;
    }
    if (stages_[index] == Stage::Packing) {
        EndRunIfLast();  // keeps what was collected, unless the archive has its place
        setup_.host->ResultPair(::InterlockedCompareExchange(&settled_, 0, 0) ? api::kResultSucceeded
                                                                               : api::kResultFailed);
    }
}

void Run::EndRunIfLast() {
    // The run is over for this worker: the guard goes with the last one, whoever packs, and
    // whatever the run still holds goes before it. What was collected goes only once it is
    // packed and the archive has its place; otherwise it is kept.
    if (::InterlockedDecrement(&workersInRun_) != 0) return;
    if (!::InterlockedCompareExchange(&settled_, 0, 0) && !journal_.Records().empty())
        KeepCollected();
    else
        workingHold_.Remove();
    archivePlace_.Discard();
    packer_.reset();
    guard_.Release();
}

void Run::KeepCollected() {
    if (::InterlockedExchange(&kept_, 1) != 0 || !workingHold_.Held()) return;
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    std::wstring why;
    const std::wstring kept = workingHold_.Keep(
        util::win::SystemTempFolder(), [&now](int attempt) { return archive::KeptCollectionName(now, attempt); },
        keptAccess_.Descriptor(), why);
    if (kept.empty()) {
        // It stays in the working folder's place, where the next run would clear it: the log says
        // so, the host is told where it is for now.
        toollog::Log(Entry::CollectionNotKept, why);
        setup_.host->CollectionKept(WorkingFolder());
        return;
    }
    if (!why.empty()) toollog::Log(Entry::AccessListFailed, why);
    toollog::Log(Entry::CollectionKept, kept);
    setup_.host->CollectionKept(kept);
}

int Run::EnsureArchiveFolder() {
    if (placesReady_) return 1;
    if (!packerReady_) {
        // Refused before any step: the run ends with one failure pair, from the last worker.
        if (::InterlockedDecrement(&workersBeforeEnd_) == 0) {
            toollog::Log(Entry::PackingFailed);
            EndRunIfLast();
            setup_.host->ResultPair(api::kResultFailed);
        } else {
            EndRunIfLast();
        }
        return 0;
    }
    setup_.host->ResultPair(api::kResultFolderFailed);
    toollog::Log(Entry::ArchiveFolderFailed);
    EndRunIfLast();
    return 0;
}

int Run::FinishWorker(int index) {
    stages_[index] = Stage::CountedOff;
    // The decrement that reaches zero happens once: that worker packs.
    if (::InterlockedDecrement(&workersBeforeEnd_) > 0) {
        EndRunIfLast();
        return 1;
    }
    stages_[index] = Stage::Packing;
    return PackAndSettle();
}

std::vector<std::wstring> Run::ReportHeldFiles() {
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
    return held;
}

int Run::PackAndSettle() {
    util::files::RemoveNoFollow(ChildTempFolder());  // what the tools left there is not collected
    const std::vector<std::wstring> held = ReportHeldFiles();
    // Built from what was collected, before the report that lists it and before packing.
    WriteRunReport(held, WriteSummary());

    // The packer writes a new archive into the run's own folder beside the target ("a" would
    // update an archive that exists); only a complete one takes the target's place, so a
    // failed run leaves an earlier archive exactly as it was.
    archivePlace_.ClearTemporaryArchive();
    const std::wstring temporary = archivePlace_.TemporaryArchive();
    // Packing has a limit of its own, from the size to pack, whatever is left of the run.
    const DWORD packingLimit = PackingLimitMs(util::files::BytesAt(util::text::LongPath(WorkingFolder())), limits_);
    const archive::PackerRun packing = packer_->Pack(*launcher_, WorkingFolder(), temporary, packingLimit);
    // Warnings mean files left out of the archive (one that could not be read, say): the log
    // says which, even when the archive is made.
    if (!packing.messages.empty()) toollog::Log(Entry::PackerMessages, packing.messages);
    // Success means an archive: the packer ran, ended without a fatal error and left a file.
    if (!packing.ran || !archive::PackerSucceeded(packing.exitCode) || !archivePlace_.TemporaryArchiveWritten())
        return EndWithoutArchive();
    // From here on the archive is the run's result: nothing deletes it.
    archivePlace_.KeepTemporaryArchive();
    const std::wstring lacks = archive::CheckPackedArchive(
        *packer_, *launcher_,
        {WorkingFolder(), temporary, archivePlace_.PackingFolder(), packing.exitCode, packing.messages, held},
        packingLimit);
    // Where it cannot take the target's place it is kept beside it, or where the packer wrote
    // it; the working folder goes only once the archive's own handle names its place.
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    const archive::ArchivePlace::Settled settled = archivePlace_.Settle(privateAccess_.Descriptor(), now);
    if (settled.accessFailed) toollog::Log(Entry::AccessListFailed, settled.place);
    if (!settled.atPlace) return EndWithoutArchive();
    if (settled.place != archivePath_) toollog::Log(Entry::ArchiveKeptBeside, settled.place);
    ::InterlockedExchange(&settled_, 1);
    // Packed: what earlier runs kept because they could not pack it is not needed any more.
    archive::RemoveKeptCollections(util::win::SystemTempFolder(), {util::files::MachineTrustedOwners()});
    setup_.host->ArchiveFinished(settled.place, lacks);
    EndRunIfLast();  // before the pair: a host may start the next run as soon as it has it
    setup_.host->ResultPair(api::kResultSucceeded);
    return 1;
}

int Run::EndWithoutArchive() {
    toollog::Log(Entry::PackingFailed);
    // Every worker has counted off: nothing writes into the working folder any more.
    if (!journal_.Records().empty()) KeepCollected();
    EndRunIfLast();
    setup_.host->ResultPair(api::kResultFailed);
    return 0;
}

}  // namespace engine::run

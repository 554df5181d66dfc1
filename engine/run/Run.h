#pragma once
// One collection, from its start until the last of its four workers has ended: the machine-wide
// guard, the run's places, its plan, limits, journal and child launcher, its pool of children,
// and the end step that packs. The collector makes one per start; the workers share it.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toollog/LogEntries.h"
#include "toollog/LogSettings.h"
#include "archive/ArchivePlace.h"
#include "archive/Packer.h"
#include "archive/WorkingFolder.h"
#include "catalogue/Catalogue.h"
#include "child/ChildLauncher.h"
#include "files/AccessLists.h"
#include "files/RunGuard.h"
#include "plan/StepPlan.h"
#include "run/RunHost.h"
#include "run/RunLimits.h"
#include "run/StepJournal.h"
#include "run/StepPool.h"
#include "win/UniqueHandle.h"

namespace engine::run {

// What a run takes from the collector that starts it: everything it knows of its host and its
// machine comes in here.
struct RunSetup {
    RunHost* host = nullptr;        // receives the result pairs, progress and places
    std::wstring moduleFolder;      // the engine's folder, trailing backslash
    int switches[plan::kSwitchCount] = {};
    int osVersionCode = 0;
    bool windows64 = false;         // picks the packer
    const catalogue::FolderCatalogue* wmic = nullptr;
    const catalogue::FolderCatalogue* wmiDevice = nullptr;
    const catalogue::FolderCatalogue* wmiSystem = nullptr;
    toollog::LogSettings settingsFile;       // logCfg.ini as the tool log read it
    std::wstring toolLogDistrust;            // why the tool log or its settings were not used
    std::vector<LimitSetting> hostLimits;    // the host's limits, over the settings file's
    int throwingWorkerForTesting = -1;       // that worker (0 to 3) throws as it starts
    int throwingStepKindForTesting = -1;     // steps of that plan::StepKind throw as they start
};

class Run {
public:
    explicit Run(RunSetup setup);
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    // Takes the machine-wide guard; false, with nothing else done, when another run holds it.
    bool AcquireGuard();
    // Makes the working folder, checks the archive's place and works out the plan, before any
    // worker runs. Where a place cannot be used, every worker will end with its folder-failure
    // pair.
    void Prepare(const std::wstring& requestedArchive);
    // Tells how many workers were started, before any of them runs. Where none was, the run
    // gives back what it holds.
    void WorkersStarted(int count);

    // One worker's part (index 0 to 3): its folders, its steps, then the shared end step. The
    // last worker to reach the end packs. 0 when the worker ended with a failure pair.
    int RunWorker(int index);
    // A worker that ended by an unexpected error (what says which): where it was still running
    // steps, its queue ends there with a failed record and the run goes on to pack what was
    // collected; where it was packing, what was collected is kept and the run fails.
    void WorkerFailed(int index, const std::wstring& what);

private:
    plan::PlanFacts Facts() const;
    bool PrepareRunPlaces(const std::wstring& requestedArchive);
    int EnsureFolderPath(const std::wstring& path);
    // Runs a worker's steps: in the run's pool, or one after another where there is none.
    void RunSteps(const std::vector<plan::PlannedStep>& steps);
    // Runs one step and records what it left; its follow-ups go to next.
    void RunStep(const plan::PlannedStep& step, std::vector<plan::PlannedStep>& next);
    // 1 when the run's places are ready; otherwise the worker's folder-failure pair, and 0.
    int EnsureArchiveFolder();
    // Counts the worker off; the last one to reach the end packs. 1 unless packing failed.
    int FinishWorker(int index);
    // The end step: the report, the packing, the check, the archive's place.
    int PackAndSettle();
    // Waits for the tools to let go of their files; those still held, relative, "/" between.
    std::vector<std::wstring> ReportHeldFiles();
    // Without an archive: what was collected is kept (KeepCollected), the failure pair. Always 0.
    int EndWithoutArchive();
    // Moves what was collected out of the working folder's place into the system's Temp folder,
    // for the user to read, and names it in the tool log and to the host. Once.
    void KeepCollected();
    // The two report files, into the working folder just before packing; steps whose files
    // were still open ("/" between folders) are marked partial.
    void WriteRunReport(const std::vector<std::wstring>& heldFiles, bool summaryWritten);
    // The summary, from what was collected; false where it could not be written.
    bool WriteSummary();
    // Ends a worker with a failure pair and its log line. Always 0.
    int StopWorker(WPARAM result, toollog::Entry entry);
    // Called once by each worker when its part of the run is over; the last one gives back
    // what the run holds.
    void EndRunIfLast();
    std::wstring WorkingFolder() const;
    // Inside the working folder: TEMP and TMP of every child of the run; removed before packing.
    std::wstring ChildTempFolder() const;

    const RunSetup setup_;
    util::files::RunGuard guard_;
    util::files::AccessList privateAccess_;     // for the finished archive
    util::files::AccessList runFolderAccess_;   // the working folder, what is in it, the packing folder
    util::files::AccessList madeFolderAccess_;  // for the folders made on the way to the archive
    util::files::AccessList keptAccess_;        // for what is kept when it cannot be packed
    archive::WorkingFolderHold workingHold_;
    archive::ArchivePlace archivePlace_;
    std::wstring archivePath_;  // the target asked for, or the place the check settled on
    bool placesReady_ = false;  // set before the workers start, read by them
    // The shipped packer, found, checked and held from before the first step to the run's end.
    std::unique_ptr<archive::HeldPacker> packer_;
    bool packerReady_ = false;
    // Where each worker is: running steps, counted off, packing (written by the worker itself).
    enum class Stage { Steps, CountedOff, Packing };
    Stage stages_[plan::kWorkerCount] = {};
    volatile LONG settled_ = 0;  // the archive has its place: nothing collected is kept
    volatile LONG kept_ = 0;     // what was collected was kept (or tried): once
    RunLimits limits_;
    plan::RunPlan plan_;
    StepJournal journal_;
    std::unique_ptr<child::ChildLauncher> launcher_;  // made once the children's temporary folder is known
    util::win::CriticalSection folderLock_;
    // Workers that have not reached the end step: the one that counts it to zero packs. A
    // worker that stops with a failure pair never counts itself off, so nothing is packed.
    volatile LONG workersBeforeEnd_ = 0;
    // Workers whose part is not over, however it ended: the last one gives back the guard.
    volatile LONG workersInRun_ = 0;
    // Last, so that it goes first: its threads run steps that use the journal and the launcher.
    std::unique_ptr<StepPool> pool_;  // none where each worker runs its own steps in turn
};

}  // namespace engine::run

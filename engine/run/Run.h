#pragma once
// One collection, from its start until the last of its four workers has ended: the machine-wide
// guard, the run's places, its plan, limits and journal, its pool of children, and the end step
// that packs. The collector makes one per start; the workers share it.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "LogEntries.h"
#include "PrivateAccess.h"
#include "RunGuard.h"
#include "RunPlaces.h"
#include "StepJournal.h"
#include "StepPlan.h"
#include "StepPool.h"
#include "UniqueHandle.h"

namespace engine {

// What a run takes from the collector that starts it.
struct RunSetup {
    HWND notify = nullptr;         // receives the result pairs (and progress, when asked for)
    std::wstring moduleFolder;     // the engine's folder, trailing backslash
    int switches[kSwitchCount] = {};
    int osVersionCode = 0;
    bool windows64 = false;        // picks the packer
    const skelda::FolderCatalogue* wmic = nullptr;
    const skelda::FolderCatalogue* wmiDevice = nullptr;
    const skelda::FolderCatalogue* wmiSystem = nullptr;
};

class Run {
public:
    explicit Run(const RunSetup& setup);
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
    // A worker that ended by an unexpected error: its failure pair, as for any failure.
    void WorkerFailed();

private:
    PlanFacts Facts() const;
    bool PrepareRunPlaces(const std::wstring& requestedArchive);
    int EnsureFolderPath(const std::wstring& path);
    // Runs a worker's steps: in the run's pool, or one after another where there is none.
    // False when some step ended by an unexpected error.
    bool RunSteps(const std::vector<PlannedStep>& steps);
    // Runs one step and records what it left; its follow-ups go to next.
    void RunStep(const PlannedStep& step, std::vector<PlannedStep>& next);
    // 1 when the run's places are ready; otherwise the worker's folder-failure pair, and 0.
    int EnsureArchiveFolder();
    int FinishWorker();
    // The two report files, into the working folder just before packing; steps whose files
    // were still open ("/" between folders) are marked partial.
    void WriteRunReport(const std::vector<std::wstring>& heldFiles);
    // Lists the packed archive and compares it with the working folder; where something is
    // missing or the packer warned, adds archive-check.txt. Returns what the archive lacks in
    // one line, empty when nothing.
    std::wstring CheckArchive(DWORD packerExitCode, const std::wstring& packerMessages,
                              const std::vector<std::wstring>& heldFiles);
    // Ends a worker with a failure pair and its log line; a plain failure empties the working
    // folder first. Always 0.
    int StopWorker(WPARAM result, toollog::Entry entry);
    void SendResult(WPARAM result);
    // Called once by each worker when its part of the run is over; the last one gives back
    // what the run holds.
    void EndRunIfLast();
    std::wstring WorkingFolder() const;
    // Inside the working folder: TEMP and TMP of every child of the run; removed before packing.
    std::wstring ChildTempFolder() const;

    const RunSetup setup;
    skelda::RunGuard guard;
    skelda::PrivateAccess privateAccess;    // for the folders the run makes and the archive
    skelda::PrivateAccess runFolderAccess;  // for the working folder and the packing folder
    WorkingFolderHold workingHold;
    ArchivePlace archivePlace;
    std::wstring archivePath;  // the target asked for, or the place the check settled on
    bool placesReady = false;  // set before the workers start, read by them
    RunPlan plan;
    StepJournal journal;
    skelda::CriticalSection folderLock;
    skelda::CriticalSection reportLock;  // keeps each worker's pair together at the receiver
    // Workers that have not reached the end step: the one that counts it to zero packs. A
    // worker that stops with a failure pair never counts itself off, so nothing is packed.
    volatile LONG workersBeforeEnd = 0;
    // Workers whose part is not over, however it ended: the last one gives back the guard.
    volatile LONG workersInRun = 0;
    // Last, so that it goes first: its threads run steps that use the journal.
    std::unique_ptr<StepPool> pool;  // none where each worker runs its own steps in turn
};

}  // namespace engine

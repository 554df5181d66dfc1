#pragma once
// The steps of one run as they end, shared by the four workers: the time each may still take,
// the record of each for the report, and the progress the host may ask for.
#include <windows.h>

#include <string>
#include <vector>

#include "RunLimits.h"
#include "RunReport.h"
#include "UniqueHandle.h"

namespace engine {

// Start time and duration of one step.
class StepClock {
public:
    StepClock();
    // Sets the record's start and duration, up to now.
    void Finish(StepRecord& record) const;

private:
    SYSTEMTIME start_{};
    ULONGLONG startTick_ = 0;
};

// Size of a file, or of everything below a folder; 0 when there is nothing.
ULONGLONG BytesAt(const std::wstring& path);

class StepJournal {
public:
    // A new run: limits from now on, outputs below workingFolder, progress messages to window
    // (null for none), planned steps known so far.
    void Begin(const RunLimits& limits, const std::wstring& workingFolder, HWND progressWindow, int planned);

    // What a step may take now: its command limit, cut to what is left of the run's; 0 once the
    // run's limit has passed.
    DWORD StepLimit(bool longStep) const;
    // What is left of the run's limit; 0 once it has passed.
    DWORD RunLeftMs() const;
    void AddPlanned(int steps);

    // Adds a step that ended: its output becomes relative to the working folder and its category
    // the output's first folder unless given; a step that did not end ok gets a tool-log line.
    void Record(int worker, StepRecord record);

    std::vector<StepRecord> Records() const;
    const SYSTEMTIME& RunStart() const { return runStart_; }
    // The packer's limit: the long one, whatever is left of the run, so that what was
    // collected is packed.
    DWORD PackingLimit() const { return limits_.longCommandMs; }

private:
    mutable skelda::CriticalSection lock_;
    std::vector<StepRecord> records_;
    RunLimits limits_;
    ULONGLONG deadline_ = 0;
    std::wstring workingFolder_;  // with a trailing backslash
    HWND progressWindow_ = nullptr;
    int planned_ = 0;
    SYSTEMTIME runStart_{};
};

// "<working>\a\b.txt" → "a/b.txt"; a path outside the working folder stays as it is.
std::wstring ArchiveRelative(const std::wstring& workingFolder, const std::wstring& path);

}  // namespace engine

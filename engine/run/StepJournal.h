#pragma once
// The steps of one run as they end, shared by the four workers: the time each may still take,
// the record of each for the report, and the progress the host may ask for.
#include <windows.h>

#include <string>
#include <vector>

#include "report/StepRecord.h"
#include "run/RunHost.h"
#include "run/RunLimits.h"
#include "win/UniqueHandle.h"

namespace engine::run {

using report::StepRecord;

class StepJournal {
public:
    // A new run: limits from now on, outputs below workingFolder, a word after each step to host
    // where it asks for it (null for none), planned steps known so far.
    void Begin(const RunLimits& limits, const std::wstring& workingFolder, RunHost* host, int planned);

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
    mutable util::win::CriticalSection lock_;
    std::vector<StepRecord> records_;
    RunLimits limits_;
    ULONGLONG deadline_ = 0;
    std::wstring workingFolder_;  // with a trailing backslash
    RunHost* host_ = nullptr;
    int planned_ = 0;
    SYSTEMTIME runStart_{};
};

// "<working>\a\b.txt" → "a/b.txt"; a path outside the working folder stays as it is.
std::wstring ArchiveRelative(const std::wstring& workingFolder, const std::wstring& path);

}  // namespace engine::run

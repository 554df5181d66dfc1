#pragma once
// How long a run and each of its commands may take. A tool that never ends (a broken WMI
// repository, a stuck service) must not hold the run, the progress prompt or the next run.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "text/LimitText.h"
#include "toollog/LogSettings.h"

namespace engine::run {

struct RunLimits {
    DWORD commandMs = 10 * 60 * 1000;
    // systeminfo lists every installed update and asks the domain about the machine, and
    // Get-WindowsUpdateLog converts the update trace files (fetching symbols on first use):
    // on a healthy but old system either may take well over ten minutes.
    DWORD longCommandMs = 30 * 60 * 1000;
    DWORD runMs = 60 * 60 * 1000;
    // How many children of the run may run at once, whichever worker planned them; kPerWorker
    // for one at a time per worker, each worker's steps in plan order.
    int poolSize = kDefaultPoolSize;

    // Four workers that each wait on one tool at a time leave a small PC mostly idle: most steps
    // wait on WMI or the event log service. Eight children keep two cores busy under the
    // field-cost model without letting the CPU-bound PowerShell starts queue for long.
    static constexpr int kDefaultPoolSize = 8;
    static constexpr int kPerWorker = util::text::kPerWorkerPool;

    // Where each limit came from, in the order of kLimitKeys: kDefaultSource, kSettingsFileSource
    // or the host's word for itself.
    const wchar_t* sources[4] = {kDefaultSource, kDefaultSource, kDefaultSource, kDefaultSource};
    static constexpr const wchar_t* kDefaultSource = L"default";
    static constexpr const wchar_t* kSettingsFileSource = L"logCfg.ini";
};

// The limits as the report names them: "CommandSeconds=600 (default)", one per key, in order.
std::vector<std::wstring> LimitLines(const RunLimits& limits);

// The packer's limit for bytes to pack: the long command limit at least, and beyond that time
// for 7-Zip at 2 MB/s (a slow disk and one core, the worst seen in the field) and two minutes
// to spare, at most 12 hours. What was collected is packed whatever is left of the run.
DWORD PackingLimitMs(ULONGLONG bytes, const RunLimits& limits);

// The settings: section [Limits] of logCfg.ini, keys CommandSeconds, LongCommandSeconds,
// RunSeconds and PoolSize; then the host's, which win. A value is whole seconds, 1 to 86400;
// PoolSize a number of children from 1 to 64, or "per-worker".
constexpr const wchar_t* kLimitsSection = L"Limits";

// One setting: its key and the value as read (absent: nullopt).
struct LimitSetting {
    const wchar_t* name;             // e.g. "CommandSeconds"
    std::optional<std::wstring> value;
    const wchar_t* source = RunLimits::kDefaultSource;  // who set it, for the report
};

// Applies the settings in order over the defaults. A value that is not a valid limit leaves
// the limit as it was and adds a line naming it to problems.
RunLimits ApplyLimitSettings(const std::vector<LimitSetting>& settings, std::vector<std::wstring>& problems);

// The keys of the settings, in the order they are applied.
extern const wchar_t* const kLimitKeys[4];

// The limits in force: settingsFile is logCfg.ini as the tool log read it (empty where it is not
// trusted), hostSettings what the host set over it; problems are logged.
RunLimits ReadRunLimits(const toollog::LogSettings& settingsFile, const std::vector<LimitSetting>& hostSettings = {});

}  // namespace engine::run

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
};

// The settings: section [Limits] of logCfg.ini, keys CommandSeconds, LongCommandSeconds,
// RunSeconds and PoolSize; then the host's, which win. A value is whole seconds, 1 to 86400;
// PoolSize a number of children from 1 to 64, or "per-worker".
constexpr const wchar_t* kLimitsSection = L"Limits";

// One setting: its key and the value as read (absent: nullopt).
struct LimitSetting {
    const wchar_t* name;             // e.g. "CommandSeconds"
    std::optional<std::wstring> value;
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

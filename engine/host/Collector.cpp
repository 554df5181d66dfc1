#include "host/Collector.h"

#include <memory>
#include <optional>

#include "toollog/LogSave.h"
#include "api/Categories.h"
#include "host/FolderPicker.h"
#include "run/Run.h"
#include "run/WorkerThreads.h"
#include "win/ProcessToken.h"
#include "win/SystemPaths.h"
#include "win/WindowsVersion.h"

namespace engine::host {

static_assert(api::kCategories == plan::kSwitchCount, "one switch per category of the table");

namespace {

std::optional<std::wstring> Given(const wchar_t* value) {
    if (!value) return std::nullopt;
    return std::wstring(value).substr(0, 64);
}

}  // namespace

bool IsSupportedOsCode(int code) {
    return code == util::win::OS_WIN7 || code == util::win::OS_WIN8 || code == util::win::OS_WIN81 ||
           code == util::win::OS_WIN10;
}

int Collector::InitDll() {
    catalogue::BuildCatalogues(wmicCatalogue_, wmiDeviceCatalogue_, wmiSystemCatalogue_);
    is64BitOs_ = util::win::Is64BitWindows();
    return 1;
}

int Collector::SetWndHandle(HWND hwnd) {
    if (!hwnd) return 0;
    notifyWindow_ = hwnd;
    return 1;
}

int Collector::GetCurSystemIsSupport() {
    DWORD major = 0;
    DWORD minor = 0;
    util::win::ReadPebOsVersion(major, minor);
    return CheckOsVersion(major, minor);
}

int Collector::CheckOsVersion(DWORD major, DWORD minor) {
    osVersionCode_ = util::win::OsVersionCodeOf(major, minor);
    return IsSupportedOsCode(osVersionCode_) ? 1 : 0;
}

int Collector::SelectSaveSystemInfoFilePosition(HWND owner, wchar_t* buffer) {
    return PickArchiveFolder(owner, buffer);
}

int Collector::StartGetSystemInfo(const wchar_t* path, const int* categorySwitches) {
    if (!path || !categorySwitches) return 0;
    // Workers of an earlier run still at work would share this run's results.
    if (::InterlockedCompareExchange(&liveThreads_, 0, 0) != 0) return 0;
    run::RunSetup setup;
    setup.moduleFolder = util::win::ModuleFolderOf(reinterpret_cast<const void*>(&IsSupportedOsCode));
    if (setup.moduleFolder.empty()) return 0;
    host_.Use(notifyWindow_, progress_);
    setup.host = &host_;
    for (int i = 0; i < plan::kSwitchCount; ++i) setup.switches[i] = categorySwitches[i];
    setup.osVersionCode = osVersionCode_;
    setup.windows64 = is64BitOs_;
    setup.wmic = &wmicCatalogue_;
    setup.wmiDevice = &wmiDeviceCatalogue_;
    setup.wmiSystem = &wmiSystemCatalogue_;
    const CLogSave& log = CLogSave::Instance();
    setup.settingsFile = log.Settings();
    setup.toolLogDistrust = log.Distrust();
    setup.hostLimits = hostLimits_;
    setup.throwingWorkerForTesting = throwingWorker_;
    setup.throwingStepKindForTesting = throwingStepKind_;
    auto run = std::make_shared<run::Run>(std::move(setup));
    // One run per machine: another process's run would share the working folder and could
    // pack or delete this one's data.
    if (!run->AcquireGuard()) return 0;
    run->Prepare(path);
    return run::StartWorkers(std::move(run), &liveThreads_);
}

int Collector::SetRunOptions(const api::RunOptions* options) {
    if (!options || options->size < sizeof(api::RunOptions)) return 0;
    const std::optional<std::wstring> values[4] = {Given(options->commandSeconds), Given(options->longCommandSeconds),
                                                   Given(options->runSeconds), Given(options->pool)};
    hostLimits_.clear();
    for (int i = 0; i < 4; ++i) hostLimits_.push_back({run::kLimitKeys[i], values[i], api::kRunOptionsSource});
    progress_ = options->progress == 1;
    return 1;
}

int Collector::RestartSystem() {
    // A restart that lets applications close themselves; nothing is forced.
    if (!util::win::EnablePrivilege(SE_SHUTDOWN_NAME)) return 0;
    exitWindows_(EWX_REBOOT, 0);
    return 1;
}

}  // namespace engine::host

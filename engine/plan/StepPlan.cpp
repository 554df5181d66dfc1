#include "plan/StepPlan.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "api/Categories.h"
#include "text/CommandLine.h"
#include "text/PathText.h"
#include "win/WindowsVersion.h"

using toollog::Entry;

namespace engine::plan {

namespace api = engine::api;

namespace {

// Classes of the Windows Installer provider. It checks every installed product for each query
// and serves one query at a time, so these take tens of seconds to minutes on a real machine.
bool IsInstallerClass(const std::wstring& wmiClass) {
    static const wchar_t* const kClasses[] = {
        L"Win32_ApplicationCommandLine", L"Win32_CommandLineAccess", L"Win32_FontInfoAction",
        L"Win32_Product",                L"Win32_PublishComponentAction", L"Win32_ServiceSpecification",
        L"Win32_SoftwareFeature",        L"Win32_SoftwareElement",  L"Win32_Patch",
        L"Win32_PatchPackage",           L"Win32_Property",         L"Win32_ProductSoftwareFeatures",
    };
    return std::any_of(std::begin(kClasses), std::end(kClasses),
                       [&](const wchar_t* name) { return wmiClass == name; });
}

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The association classes of data files walk every file a device or driver names.
bool IsDataFileAssociation(const std::wstring& wmiClass) { return EndsWith(wmiClass, L"CIMDataFile"); }

void MarkSlow(PlannedStep& step, bool installer, bool slow) {
    step.slow = installer || slow;
    step.serialGroup = installer ? kInstallerGroup : 0;
}

PlannedStep ToolStep(int worker, const catalogue::ToolReport& report) {
    PlannedStep step;
    step.kind = StepKind::ToolReport;
    step.worker = worker;
    step.program = report.program;
    step.what = report.commandLine;
    step.output = report.reportPath;
    return step;
}

PlannedStep CopyStep(CopyKind kind, const std::wstring& source, const std::wstring& target) {
    PlannedStep step;
    step.kind = StepKind::Copy;
    step.worker = 2;
    step.copy = kind;
    step.what = source;
    step.output = target;
    return step;
}

bool On(const PlanFacts& facts, api::CategoryIndex index) { return facts.switches[index] != 0; }

std::wstring WorkFolder(const PlanFacts& facts, const std::wstring& relative) {
    return facts.workingFolder + L"\\" + relative;
}

void PlanEventLogs(const PlanFacts& facts, WorkerPlan& plan) {
    if (!On(facts, api::kSystemLog)) return;
    const std::wstring category = api::CategoryFolder(api::kSystemLog);
    const std::wstring folder = WorkFolder(facts, category);
    plan.folders.push_back({folder, Entry::EventLogFolderFailed});
    // Text copies an engineer reads without Event Viewer, and the summary counts from.
    const std::wstring recent = folder + L"\\" + api::kRecentEventsFolder;
    plan.folders.push_back({recent, Entry::EventLogFolderFailed});
    for (const wchar_t* log : api::kRecentEventLogs)
        plan.steps.push_back(ToolStep(1, {catalogue::kWevtutilProgram, RecentEventsCommand(log),
                                          catalogue::ReportPath(recent, log)}));
    PlannedStep listing;
    listing.kind = StepKind::EventLogListing;
    listing.worker = 1;
    listing.program = catalogue::kWevtutilProgram;
    listing.what = L"wevtutil el";
    listing.category = category;
    listing.folder = folder;
    listing.locales = facts.textLocales;
    plan.steps.push_back(std::move(listing));
}

void PlanFilesAndWmic(const PlanFacts& facts, WorkerPlan& plan) {
    if (On(facts, api::kUpdateLog)) {
        const std::wstring category = api::CategoryFolder(api::kUpdateLog);
        const std::wstring folder = WorkFolder(facts, category);
        const std::wstring target = folder + L"\\WindowsUpdate.log";
        plan.folders.push_back({folder, Entry::UpdateLogFolderFailed});
        if (facts.osVersionCode >= util::win::OS_WIN10) {
            // Windows 10 writes the log on demand, where it is told: into the working folder (by
            // default it goes to the desktop the user's own settings name). The step after it
            // only checks that it arrived.
            PlannedStep produce;
            produce.kind = StepKind::ToolRun;
            produce.worker = 2;
            produce.program = catalogue::kPowerShellProgram;
            produce.what = UpdateLogCommand(target);
            produce.category = category;
            produce.longLimit = true;
            produce.slow = true;
            produce.then.push_back(CopyStep(CopyKind::UpdateLog, target, target));
            plan.steps.push_back(std::move(produce));
        } else {
            plan.steps.push_back(CopyStep(CopyKind::UpdateLog, facts.windowsFolder + L"\\WindowsUpdate.log", target));
        }
    }
    if (On(facts, api::kCbsLog)) {
        const std::wstring folder = WorkFolder(facts, api::CategoryFolder(api::kCbsLog));
        if (facts.cbsPresent) plan.folders.push_back({folder, Entry::CbsFolderFailed});
        plan.steps.push_back(CopyStep(CopyKind::CbsFolder, facts.windowsFolder + L"\\Logs\\CBS", folder));
    }
    if (On(facts, api::kInfLog)) {
        const std::wstring folder = WorkFolder(facts, api::CategoryFolder(api::kInfLog));
        if (facts.infPresent) plan.folders.push_back({folder, Entry::InfFolderFailed});
        plan.steps.push_back(CopyStep(CopyKind::SetupApiLogs, facts.windowsFolder + L"\\inf", folder));
    }
    if (On(facts, api::kOperatingSystem)) {
        const std::wstring folder = WorkFolder(facts, api::CategoryFolder(api::kOperatingSystem) + L"\\系统信息");
        plan.folders.push_back({folder, Entry::WmicFolderFailed});
        PlannedStep systeminfo = ToolStep(2, {catalogue::kSysteminfoProgram, L"systeminfo", folder + L"\\系统信息.txt"});
        systeminfo.longLimit = true;
        systeminfo.slow = true;  // lists every installed update
        plan.steps.push_back(std::move(systeminfo));
    }
    if (!facts.wmic) return;
    for (const auto& [folderName, rows] : *facts.wmic) {
        if (!SwitchOfFolder(facts.switches, folderName)) continue;
        const std::wstring folder = WorkFolder(facts, folderName);
        plan.folders.push_back({folder, Entry::WmicFolderFailed});
        const bool installer = std::any_of(rows.begin(), rows.end(), [](const catalogue::CatalogueRow& row) {
            return row.key == L"PRODUCT";  // Win32_Product
        });
        if (!facts.haveWmic) {
            // Without WMIC the folder's aliases are read from WMI together.
            PlannedStep batch;
            batch.kind = StepKind::AliasFolder;
            batch.worker = 2;
            batch.program = catalogue::kPowerShellProgram;
            batch.what = L"WMI for the WMIC aliases of " + folderName;
            batch.folder = folder;
            batch.rows = rows;
            MarkSlow(batch, installer, false);
            plan.steps.push_back(std::move(batch));
            continue;
        }
        for (const catalogue::CatalogueRow& row : rows) {
            PlannedStep step = ToolStep(2, catalogue::WmicReport(row.key, folder, row.label));
            MarkSlow(step, row.key == L"PRODUCT", false);
            plan.steps.push_back(std::move(step));
        }
    }
}

void PlanWmiClasses(const PlanFacts& facts, const catalogue::FolderCatalogue* catalogue, int worker, WorkerPlan& plan) {
    if (!catalogue) return;
    for (const auto& [folderName, rows] : *catalogue) {
        if (!SwitchOfFolder(facts.switches, folderName)) continue;
        const std::wstring folder = WorkFolder(facts, folderName);
        plan.folders.push_back({folder, Entry::PowershellFolderFailed});
        for (const catalogue::CatalogueRow& row : rows) {
            PlannedStep step = ToolStep(worker, catalogue::WmiClassReport(row.key, folder, row.label));
            MarkSlow(step, IsInstallerClass(row.key), IsDataFileAssociation(row.key));
            plan.steps.push_back(std::move(step));
        }
    }
}

}  // namespace

int CountSteps(const std::vector<PlannedStep>& steps) {
    int count = 0;
    for (const PlannedStep& step : steps) {
        // An alias folder is one step per alias; a listing counts itself, its logs come later.
        count += step.kind == StepKind::AliasFolder ? static_cast<int>(step.rows.size()) : 1;
        count += CountSteps(step.then);
    }
    return count;
}

int RunPlan::StepCount() const {
    int count = 0;
    for (const WorkerPlan& worker : workers) count += CountSteps(worker.steps);
    return count;
}

int SwitchOfFolder(const int (&switches)[kSwitchCount], const std::wstring& folder) {
    const int index = api::CategoryIndexOf(folder);
    return index < 0 ? 0 : switches[index];
}

PlannedStep EventLogExportStep(const std::wstring& logName, const std::wstring& folder,
                               const std::vector<util::win::LocaleName>& locales) {
    PlannedStep step;
    step.kind = StepKind::EventLogExport;
    step.worker = 1;
    step.program = catalogue::kWevtutilProgram;
    step.what = EventLogExportCommand(logName, folder);
    step.output = folder + L"\\" + EventLogFileName(logName);
    const std::wstring written = EventLogExportFile(logName, folder);
    if (written != step.output) step.writtenAs = written;
    if (step.writtenAs.empty())
        for (const util::win::LocaleName& locale : locales) step.then.push_back(EventLogTextsStep(step.output, locale));
    return step;
}

PlannedStep EventLogTextsStep(const std::wstring& exportFile, const util::win::LocaleName& locale) {
    PlannedStep step;
    step.kind = StepKind::EventLogTexts;
    step.worker = 1;
    step.program = catalogue::kWevtutilProgram;
    step.what = L"wevtutil al " + util::text::Quoted(exportFile) + L" /l:" + locale.name;
    step.output = EventLogTextsFile(exportFile, locale.lcid);
    return step;
}

std::wstring EventLogTextsFile(const std::wstring& exportFile, unsigned long lcid) {
    const size_t slash = exportFile.rfind(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : exportFile.substr(0, slash + 1);
    std::wstring name = exportFile.substr(folder.size());
    if (name.size() > 5 && name.compare(name.size() - 5, 5, L".evtx") == 0) name.resize(name.size() - 5);
    return folder + L"LocaleMetaData\\" + name + L"_" + std::to_wstring(lcid) + L".MTA";
}

std::wstring EventLogExportFile(const std::wstring& logName, const std::wstring& folder) {
    const std::wstring file = folder + L"\\" + EventLogFileName(logName);
    if (file.size() < MAX_PATH) return file;
    // FNV-1a of the name: the same log gets the same short name, others (almost surely) not.
    unsigned long hash = 2166136261u;
    for (wchar_t c : logName) hash = (hash ^ static_cast<unsigned long>(c)) * 16777619u;
    wchar_t digits[9];
    swprintf(digits, 9, L"%08lx", hash & 0xffffffffu);
    return folder + L"\\epl-" + digits + L".evtx";
}

std::wstring EventLogFileName(const std::wstring& logName) {
    return util::text::ReplaceAll(logName, L"/", L"%") + L".evtx";
}

std::wstring RecentEventsCommand(const std::wstring& logName) {
    // Levels 1 to 3 (critical, error, warning) of the last 7 days (604800000 ms).
    return L"wevtutil qe " + util::text::Quoted(logName) +
           L" /q:\"*[System[(Level=1 or Level=2 or Level=3) and TimeCreated[timediff(@SystemTime) <= 604800000]]]\""
           L" /f:text /rd:true /c:" + std::to_wstring(kRecentEventsCount);
}

std::wstring UpdateLogCommand(const std::wstring& logFile) {
    return std::wstring(catalogue::kPowerShellStart) + L"\"Get-WindowsUpdateLog -LogPath " + util::text::PowerShellQuoted(logFile) +
           L"\"";
}

std::wstring EventLogExportCommand(const std::wstring& logName, const std::wstring& folder) {
    return L"wevtutil epl " + util::text::Quoted(logName) + L" " + util::text::Quoted(EventLogExportFile(logName, folder)) +
           L" /ow:true";
}

RunPlan PlanRun(const PlanFacts& facts) {
    RunPlan plan;
    PlanEventLogs(facts, plan.workers[0]);
    PlanFilesAndWmic(facts, plan.workers[1]);
    PlanWmiClasses(facts, facts.wmiDevice, 3, plan.workers[2]);
    PlanWmiClasses(facts, facts.wmiSystem, 4, plan.workers[3]);
    return plan;
}

}  // namespace engine::plan

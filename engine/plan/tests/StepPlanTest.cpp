#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "api/Categories.h"
#include "win/WindowsVersion.h"
#include "plan/StepPlan.h"

namespace {

using engine::plan::PlannedStep;
using engine::plan::StepKind;

struct Catalogues {
    engine::catalogue::FolderCatalogue wmic, device, system;
    Catalogues() { engine::catalogue::BuildCatalogues(wmic, device, system); }
};

const Catalogues& Tables() {
    static const Catalogues tables;
    return tables;
}

engine::plan::PlanFacts Facts(unsigned switchBits, int os, bool haveWmic) {
    engine::plan::PlanFacts facts;
    for (int i = 0; i < engine::plan::kSwitchCount; ++i) facts.switches[i] = (switchBits >> i) & 1;
    facts.osVersionCode = os;
    facts.haveWmic = haveWmic;
    facts.workingFolder = L"M\\SystemInfoLog";
    facts.windowsFolder = L"C:\\Win";
    facts.wmic = &Tables().wmic;
    facts.wmiDevice = &Tables().device;
    facts.wmiSystem = &Tables().system;
    return facts;
}

// The steps of a worker with their follow-ups, in the order they run one after another.
std::vector<const PlannedStep*> Flatten(const std::vector<PlannedStep>& steps) {
    std::vector<const PlannedStep*> all;
    for (const PlannedStep& step : steps) {
        all.push_back(&step);
        for (const PlannedStep* next : Flatten(step.then)) all.push_back(next);
    }
    return all;
}

// The rows of a catalogue whose category is on, in catalogue order.
std::vector<std::wstring> EnabledKeys(const engine::catalogue::FolderCatalogue& catalogue, const engine::plan::PlanFacts& facts) {
    std::vector<std::wstring> keys;
    for (const auto& [folder, rows] : catalogue)
        if (engine::plan::SwitchOfFolder(facts.switches, folder))
            for (const engine::catalogue::CatalogueRow& row : rows) keys.push_back(row.key);
    return keys;
}

size_t EnabledFolders(const engine::catalogue::FolderCatalogue& catalogue, const engine::plan::PlanFacts& facts) {
    size_t count = 0;
    for (const auto& entry : catalogue) count += engine::plan::SwitchOfFolder(facts.switches, entry.first) != 0;
    return count;
}

std::wstring WmiClassOf(const PlannedStep& step) {
    const std::wstring marker = L"-Class ";
    const size_t at = step.what.find(marker);
    return step.what.substr(at + marker.size(), step.what.size() - at - marker.size() - 1);
}

// The property check: every combination of the eight switches, four Windows versions and WMIC
// there or not, against the catalogues.
TEST(StepPlanTest, EveryCombinationPlansExactlyTheEnabledCategories) {
    const int versions[] = {util::win::OS_WIN7, util::win::OS_WIN8, util::win::OS_WIN81, util::win::OS_WIN10};
    for (unsigned bits = 0; bits < 256; ++bits) {
        for (int os : versions) {
            for (bool haveWmic : {true, false}) {
                SCOPED_TRACE(testing::Message() << "switches " << bits << " os " << os << " wmic " << haveWmic);
                const engine::plan::PlanFacts facts = Facts(bits, os, haveWmic);
                const engine::plan::RunPlan plan = engine::plan::PlanRun(facts);
                int counted = 0;
                std::set<std::wstring> outputs;
                for (int w = 0; w < engine::plan::kWorkerCount; ++w) {
                    for (const PlannedStep* step : Flatten(plan.workers[w].steps)) {
                        EXPECT_EQ(step->worker, w + 1);
                        counted += step->kind == StepKind::AliasFolder ? static_cast<int>(step->rows.size()) : 1;
                        if (!step->output.empty() && step->kind != StepKind::Copy) {
                            EXPECT_TRUE(outputs.insert(step->output).second) << "two steps write one file";
                        }
                        // Everything lands below the working folder, in a category that is on.
                        const std::wstring place = step->output.empty() ? step->folder : step->output;
                        if (!place.empty()) {
                            ASSERT_EQ(place.rfind(facts.workingFolder + L"\\", 0), 0u);
                            const std::wstring relative = place.substr(facts.workingFolder.size() + 1);
                            EXPECT_NE(engine::plan::SwitchOfFolder(facts.switches, relative), 0);
                        }
                    }
                }
                EXPECT_EQ(plan.StepCount(), counted);

                // Worker 1: the recent events as text, then the listing; its logs come once it has run.
                const auto& events = plan.workers[0].steps;
                ASSERT_EQ(events.size(), facts.switches[engine::api::kSystemLog] ? 4u : 0u);
                if (!events.empty()) {
                    EXPECT_EQ(events[0].kind, StepKind::ToolReport);
                    EXPECT_EQ(events[3].kind, StepKind::EventLogListing);
                }

                // Worker 2: update log, CBS, INF, systeminfo, then the aliases, in that order.
                const std::vector<const PlannedStep*> files = Flatten(plan.workers[1].steps);
                size_t at = 0;
                if (facts.switches[engine::api::kUpdateLog]) {
                    if (os >= util::win::OS_WIN10) {
                        ASSERT_EQ(files[at]->kind, StepKind::ToolRun);
                        EXPECT_TRUE(files[at]->longLimit && files[at]->slow);
                        EXPECT_EQ(files[++at]->what, L"M\\SystemInfoLog\\系统更新日志\\WindowsUpdate.log");
                    } else {
                        EXPECT_EQ(files[at]->what, L"C:\\Win\\WindowsUpdate.log");
                    }
                    EXPECT_EQ(files[at++]->copy, engine::plan::CopyKind::UpdateLog);
                }
                if (facts.switches[engine::api::kCbsLog]) {
                    EXPECT_EQ(files[at++]->what, L"C:\\Win\\Logs\\CBS");
                }
                if (facts.switches[engine::api::kInfLog]) {
                    EXPECT_EQ(files[at++]->copy, engine::plan::CopyKind::SetupApiLogs);
                }
                if (facts.switches[engine::api::kOperatingSystem]) {
                    EXPECT_EQ(files[at]->what, L"systeminfo");
                    EXPECT_TRUE(files[at++]->longLimit);
                }
                const std::vector<std::wstring> aliases = EnabledKeys(Tables().wmic, facts);
                if (haveWmic) {
                    ASSERT_EQ(files.size() - at, aliases.size());
                    for (const std::wstring& alias : aliases) {
                        const PlannedStep& step = *files[at++];
                        EXPECT_EQ(step.what.rfind(L"WMIC " + alias, 0), 0u);
                        EXPECT_EQ(step.serialGroup, alias == L"PRODUCT" ? engine::plan::kInstallerGroup : 0);
                    }
                } else {
                    EXPECT_EQ(files.size() - at, EnabledFolders(Tables().wmic, facts));
                    size_t rows = 0;
                    for (; at < files.size(); ++at) {
                        EXPECT_EQ(files[at]->kind, StepKind::AliasFolder);
                        rows += files[at]->rows.size();
                    }
                    EXPECT_EQ(rows, aliases.size());
                }

                // Workers 3 and 4: one class each, in catalogue order.
                const engine::catalogue::FolderCatalogue* wmi[] = {&Tables().device, &Tables().system};
                for (int w = 2; w < 4; ++w) {
                    const std::vector<std::wstring> classes = EnabledKeys(*wmi[w - 2], facts);
                    const auto& steps = plan.workers[w].steps;
                    ASSERT_EQ(steps.size(), classes.size());
                    for (size_t i = 0; i < classes.size(); ++i) EXPECT_EQ(WmiClassOf(steps[i]), classes[i]);
                    EXPECT_EQ(plan.workers[w].folders.size(), EnabledFolders(*wmi[w - 2], facts));
                }
            }
        }
    }
}

// Plain examples, every expected value written out: what one switch plans on one system.
TEST(StepPlanTest, ExampleTheSystemLogIsTheRecentEventsAsTextThenTheListing) {
    const engine::plan::RunPlan plan = engine::plan::PlanRun(Facts(1u << 5, util::win::OS_WIN10, true));
    ASSERT_EQ(plan.workers[0].folders.size(), 2u);
    EXPECT_EQ(plan.workers[0].folders[0].path, L"M\\SystemInfoLog\\系统日志");
    EXPECT_EQ(plan.workers[0].folders[1].path, L"M\\SystemInfoLog\\系统日志\\近7天的错误和警告");
    ASSERT_EQ(plan.workers[0].steps.size(), 4u);
    const char* const logs[] = {"System", "Application", "Setup"};
    for (int i = 0; i < 3; ++i) {
        const PlannedStep& recent = plan.workers[0].steps[i];
        const std::wstring log(logs[i], logs[i] + strlen(logs[i]));
        EXPECT_EQ(recent.kind, StepKind::ToolReport);
        EXPECT_EQ(recent.program, L"wevtutil.exe");
        EXPECT_EQ(recent.output, L"M\\SystemInfoLog\\系统日志\\近7天的错误和警告\\" + log + L".txt");
        // Levels 1 to 3 of the last 7 days, as text, newest first, bounded.
        EXPECT_EQ(recent.what, L"wevtutil qe \"" + log +
                                   L"\" /q:\"*[System[(Level=1 or Level=2 or Level=3) and "
                                   L"TimeCreated[timediff(@SystemTime) <= 604800000]]]\" /f:text /rd:true /c:500");
    }
    const PlannedStep& listing = plan.workers[0].steps[3];
    EXPECT_EQ(listing.kind, StepKind::EventLogListing);
    EXPECT_EQ(listing.program, L"wevtutil.exe");
    EXPECT_EQ(listing.what, L"wevtutil el");
    EXPECT_EQ(listing.folder, L"M\\SystemInfoLog\\系统日志");
    for (int w = 1; w < 4; ++w) EXPECT_TRUE(plan.workers[w].steps.empty()) << w;
    EXPECT_EQ(plan.StepCount(), 4);
}

TEST(StepPlanTest, ExampleTheUpdateLogIsCopiedOnWindows7AndWrittenFirstOnWindows10) {
    const engine::plan::RunPlan seven = engine::plan::PlanRun(Facts(1u << 4, util::win::OS_WIN7, true));
    ASSERT_EQ(seven.workers[1].steps.size(), 1u);
    EXPECT_EQ(seven.workers[1].steps[0].kind, StepKind::Copy);
    EXPECT_EQ(seven.workers[1].steps[0].what, L"C:\\Win\\WindowsUpdate.log");
    EXPECT_EQ(seven.workers[1].steps[0].output, L"M\\SystemInfoLog\\系统更新日志\\WindowsUpdate.log");

    const engine::plan::RunPlan ten = engine::plan::PlanRun(Facts(1u << 4, util::win::OS_WIN10, true));
    ASSERT_EQ(ten.workers[1].steps.size(), 1u);
    const PlannedStep& produce = ten.workers[1].steps[0];
    EXPECT_EQ(produce.kind, StepKind::ToolRun);
    EXPECT_EQ(produce.program, L"WindowsPowerShell\\v1.0\\powershell.exe");
    // Written straight into the working folder, never to the desktop the user's settings name.
    EXPECT_EQ(produce.what, L"powershell -NoProfile -NonInteractive -command \"Get-WindowsUpdateLog -LogPath "
                            L"'M\\SystemInfoLog\\系统更新日志\\WindowsUpdate.log'\"");
    EXPECT_TRUE(produce.longLimit);
    ASSERT_EQ(produce.then.size(), 1u);
    EXPECT_EQ(produce.then[0].what, L"M\\SystemInfoLog\\系统更新日志\\WindowsUpdate.log");
    EXPECT_EQ(produce.then[0].output, produce.then[0].what);  // checked where it is, not copied
    EXPECT_EQ(ten.StepCount(), 2);

    // A quote in the folder stays part of the path: PowerShell doubles it inside single quotes.
    engine::plan::PlanFacts quoted = Facts(1u << 4, util::win::OS_WIN10, true);
    quoted.workingFolder = L"C:\\it's\\SystemInfoLog";
    EXPECT_EQ(engine::plan::PlanRun(quoted).workers[1].steps[0].what,
              L"powershell -NoProfile -NonInteractive -command \"Get-WindowsUpdateLog -LogPath "
              L"'C:\\it''s\\SystemInfoLog\\系统更新日志\\WindowsUpdate.log'\"");
}

TEST(StepPlanTest, ExampleThePerformanceCountersAreWorker3sClassesOneReportEach) {
    const engine::plan::RunPlan plan = engine::plan::PlanRun(Facts(1u << 6, util::win::OS_WIN10, true));
    EXPECT_TRUE(plan.workers[0].steps.empty());
    EXPECT_TRUE(plan.workers[1].steps.empty());
    EXPECT_TRUE(plan.workers[3].steps.empty());
    ASSERT_EQ(plan.workers[2].folders.size(), 2u);
    EXPECT_EQ(plan.workers[2].folders[0].path, L"M\\SystemInfoLog\\性能计数器\\原始性能计数器");
    ASSERT_EQ(plan.workers[2].steps.size(), 23u);
    const PlannedStep& first = plan.workers[2].steps[0];
    EXPECT_EQ(first.worker, 3);
    EXPECT_EQ(first.kind, StepKind::ToolReport);
    EXPECT_EQ(first.what,
              L"powershell -NoProfile -NonInteractive -command \"Get-WmiObject -Class Win32_PerfRawData_PerfDisk_LogicalDisk\"");
    EXPECT_EQ(first.output, L"M\\SystemInfoLog\\性能计数器\\原始性能计数器\\PerfRawData_PerfDisk_LogicalDisk.txt");
}

TEST(StepPlanTest, ExampleWithoutWmicAFoldersAliasesAreOneBatch) {
    const engine::plan::RunPlan plan = engine::plan::PlanRun(Facts(1u << 2, util::win::OS_WIN10, false));
    ASSERT_EQ(plan.workers[1].steps.size(), 1u);
    const PlannedStep& batch = plan.workers[1].steps[0];
    EXPECT_EQ(batch.kind, StepKind::AliasFolder);
    EXPECT_EQ(batch.folder, L"M\\SystemInfoLog\\安装应用程序");
    ASSERT_EQ(batch.rows.size(), 1u);
    EXPECT_EQ(batch.rows[0].key, L"PRODUCT");
    EXPECT_TRUE(batch.slow);
    EXPECT_EQ(batch.serialGroup, engine::plan::kInstallerGroup);
    // With WMIC the same folder is one WMIC step, in the same chain.
    const engine::plan::RunPlan wmic = engine::plan::PlanRun(Facts(1u << 2, util::win::OS_WIN10, true));
    ASSERT_FALSE(wmic.workers[1].steps.empty());
    EXPECT_EQ(wmic.workers[1].steps[0].what, L"WMIC PRODUCT LIST FULL");
    EXPECT_EQ(wmic.workers[1].steps[0].output, L"M\\SystemInfoLog\\安装应用程序\\安装程序包任务管理.txt");
    EXPECT_EQ(wmic.workers[1].steps[0].serialGroup, engine::plan::kInstallerGroup);
}

TEST(StepPlanTest, SlowStepsAreMarkedAndTheInstallerProviderIsOneChain) {
    const engine::plan::RunPlan plan = engine::plan::PlanRun(Facts(0xFF, util::win::OS_WIN10, true));
    std::set<std::wstring> slow;
    std::set<std::wstring> installer;
    for (const engine::plan::WorkerPlan& worker : plan.workers) {
        for (const PlannedStep* step : Flatten(worker.steps)) {
            if (step->slow) slow.insert(step->what);
            if (step->serialGroup == engine::plan::kInstallerGroup) installer.insert(step->what);
            EXPECT_TRUE(step->serialGroup == 0 || step->slow) << "a serial chain starts early";
        }
    }
    // WMIC PRODUCT and the seven Windows Installer classes of the catalogue.
    EXPECT_EQ(installer.size(), 8u);
    EXPECT_EQ(installer.count(L"WMIC PRODUCT LIST FULL"), 1u);
    EXPECT_EQ(installer.count(L"powershell -NoProfile -NonInteractive -command \"Get-WmiObject -Class Win32_Product\""),
              1u);
    // Those, both data-file associations, systeminfo and Get-WindowsUpdateLog.
    EXPECT_EQ(slow.size(), 12u);
    EXPECT_EQ(slow.count(L"systeminfo"), 1u);
    EXPECT_EQ(slow.count(
                  L"powershell -NoProfile -NonInteractive -command \"Get-WmiObject -Class Win32_PnPSignedDriverCIMDataFile\""),
              1u);

    // Without WMIC the folder that holds PRODUCT is read in one batch, which joins the chain.
    const engine::plan::RunPlan noWmic = engine::plan::PlanRun(Facts(0xFF, util::win::OS_WIN10, false));
    int batches = 0;
    for (const PlannedStep& step : noWmic.workers[1].steps)
        if (step.kind == StepKind::AliasFolder && step.serialGroup == engine::plan::kInstallerGroup) ++batches;
    EXPECT_EQ(batches, 1);
}

TEST(StepPlanTest, FoldersOfAbsentLogSourcesAreNotMade) {
    engine::plan::PlanFacts facts = Facts(0xFF, util::win::OS_WIN7, true);
    facts.cbsPresent = false;
    facts.infPresent = false;
    const engine::plan::RunPlan plan = engine::plan::PlanRun(facts);
    for (const engine::plan::PlannedFolder& folder : plan.workers[1].folders) {
        EXPECT_EQ(folder.path.find(L"CBS日志"), std::wstring::npos);
        EXPECT_EQ(folder.path.find(L"INF日志"), std::wstring::npos);
    }
    // The copies still run, and say that their source is not there.
    int copies = 0;
    for (const PlannedStep& step : plan.workers[1].steps) copies += step.kind == StepKind::Copy;
    EXPECT_EQ(copies, 3);
}

TEST(StepPlanTest, AnExportStepNamesItsLogAndFile) {
    const PlannedStep step = engine::plan::EventLogExportStep(L"Microsoft-Windows-A/Operational", L"F");
    EXPECT_EQ(step.what, L"wevtutil epl \"Microsoft-Windows-A/Operational\" \"F\\Microsoft-Windows-A%Operational.evtx\" "
                         L"/ow:true");
    EXPECT_EQ(step.output, L"F\\Microsoft-Windows-A%Operational.evtx");
    EXPECT_EQ(step.worker, 1);
}

}  // namespace

TEST(StepPlanTest, ExportCommandQuotesTheNameAndKeepsPercent) {
    EXPECT_EQ(engine::plan::EventLogFileName(L"Microsoft-Windows-Kernel-PnP/Configuration"),
              L"Microsoft-Windows-Kernel-PnP%Configuration.evtx");
    EXPECT_EQ(engine::plan::EventLogExportCommand(L"Windows PowerShell", L"C:\\w d"),
              L"wevtutil epl \"Windows PowerShell\" \"C:\\w d\\Windows PowerShell.evtx\" /ow:true");
    EXPECT_EQ(engine::plan::EventLogExportCommand(L"a/PATH/b", L"C:\\w"), L"wevtutil epl \"a/PATH/b\" \"C:\\w\\a%PATH%b.evtx\" /ow:true");
}

// An export is followed by its texts for each locale, written where wevtutil writes them; an
// export under a short name gets none (wevtutil would need the long name).
TEST(StepPlanTest, AnExportIsFollowedByItsTextsForEachLocale) {
    const std::vector<util::win::LocaleName> locales = {{L"zh-CN", 2052}, {L"en-US", 1033}};
    const engine::plan::PlannedStep step =
        engine::plan::EventLogExportStep(L"Microsoft-Windows-Kernel-PnP/Configuration", L"C:\\w\\系统日志", locales);
    ASSERT_EQ(step.then.size(), 2u);
    EXPECT_EQ(step.then[0].kind, engine::plan::StepKind::EventLogTexts);
    EXPECT_EQ(step.then[0].what,
              L"wevtutil al \"C:\\w\\系统日志\\Microsoft-Windows-Kernel-PnP%Configuration.evtx\" /l:zh-CN");
    EXPECT_EQ(step.then[1].output,
              L"C:\\w\\系统日志\\LocaleMetaData\\Microsoft-Windows-Kernel-PnP%Configuration_1033.MTA");
    EXPECT_EQ(engine::plan::CountSteps({step}), 3);
    const std::wstring name = L"Microsoft-Windows-" + std::wstring(240, L'x') + L"/Operational";
    EXPECT_TRUE(engine::plan::EventLogExportStep(name, L"C:\\w", locales).then.empty());
}

// wevtutil takes no path past MAX_PATH: such an export is written to a short name beside it
// and renamed afterwards; one that fits is written where it goes.
TEST(StepPlanTest, AnExportPastMaxPathIsWrittenToAShortNameFirst) {
    const std::wstring folder = L"C:\\Windows\\Temp\\OrvaneSkelda-0123456789abcdef\\SystemInfoLog\\系统日志";
    const std::wstring name = L"Microsoft-Windows-" + std::wstring(200, L'x') + L"/Operational";
    const engine::plan::PlannedStep step = engine::plan::EventLogExportStep(name, folder);
    EXPECT_EQ(step.output, folder + L"\\" + engine::plan::EventLogFileName(name));
    ASSERT_EQ(step.writtenAs.size(), folder.size() + 18);  // "\epl-" + 8 digits + ".evtx"
    EXPECT_EQ(step.writtenAs.compare(0, folder.size() + 5, folder + L"\\epl-"), 0) << step.writtenAs;
    EXPECT_NE(step.what.find(L"\"" + step.writtenAs + L"\""), std::wstring::npos) << step.what;
    EXPECT_NE(engine::plan::EventLogExportFile(name + L"2", folder), step.writtenAs);
    EXPECT_TRUE(engine::plan::EventLogExportStep(L"System", folder).writtenAs.empty());
}

#include <gtest/gtest.h>

#include <set>

#include "Categories.h"
#include "OsVersion.h"
#include "StepPlan.h"

namespace {

using engine::PlannedStep;
using engine::StepKind;

struct Catalogues {
    skelda::FolderCatalogue wmic, device, system;
    Catalogues() { skelda::BuildCatalogues(wmic, device, system); }
};

const Catalogues& Tables() {
    static const Catalogues tables;
    return tables;
}

engine::PlanFacts Facts(unsigned switchBits, int os, bool haveWmic) {
    engine::PlanFacts facts;
    for (int i = 0; i < engine::kSwitchCount; ++i) facts.switches[i] = (switchBits >> i) & 1;
    facts.osVersionCode = os;
    facts.haveWmic = haveWmic;
    facts.workingFolder = L"M\\SystemInfoLog";
    facts.windowsFolder = L"C:\\Win";
    facts.desktopFolder = L"D:\\Desk\\";
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
std::vector<std::wstring> EnabledKeys(const skelda::FolderCatalogue& catalogue, const engine::PlanFacts& facts) {
    std::vector<std::wstring> keys;
    for (const auto& [folder, rows] : catalogue)
        if (engine::SwitchOfFolder(facts.switches, folder))
            for (const skelda::CatalogueRow& row : rows) keys.push_back(row.key);
    return keys;
}

size_t EnabledFolders(const skelda::FolderCatalogue& catalogue, const engine::PlanFacts& facts) {
    size_t count = 0;
    for (const auto& entry : catalogue) count += engine::SwitchOfFolder(facts.switches, entry.first) != 0;
    return count;
}

std::wstring WmiClassOf(const PlannedStep& step) {
    const std::wstring marker = L"-Class ";
    const size_t at = step.what.find(marker);
    return step.what.substr(at + marker.size(), step.what.size() - at - marker.size() - 1);
}

// Every combination of the eight switches, four Windows versions and WMIC there or not.
TEST(StepPlanTest, EveryCombinationPlansExactlyTheEnabledCategories) {
    const int versions[] = {engine::OS_WIN7, engine::OS_WIN8, engine::OS_WIN81, engine::OS_WIN10};
    for (unsigned bits = 0; bits < 256; ++bits) {
        for (int os : versions) {
            for (bool haveWmic : {true, false}) {
                SCOPED_TRACE(testing::Message() << "switches " << bits << " os " << os << " wmic " << haveWmic);
                const engine::PlanFacts facts = Facts(bits, os, haveWmic);
                const engine::RunPlan plan = engine::PlanRun(facts);
                int counted = 0;
                std::set<std::wstring> outputs;
                for (int w = 0; w < engine::kWorkerCount; ++w) {
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
                            EXPECT_NE(engine::SwitchOfFolder(facts.switches, relative), 0);
                        }
                    }
                }
                EXPECT_EQ(plan.StepCount(), counted);

                // Worker 1: the listing alone, its logs come once it has run.
                const auto& events = plan.workers[0].steps;
                ASSERT_EQ(events.size(), facts.switches[skelda::kSystemLog] ? 1u : 0u);
                if (!events.empty()) {
                    EXPECT_EQ(events[0].kind, StepKind::EventLogListing);
                }

                // Worker 2: update log, CBS, INF, systeminfo, then the aliases, in that order.
                const std::vector<const PlannedStep*> files = Flatten(plan.workers[1].steps);
                size_t at = 0;
                if (facts.switches[skelda::kUpdateLog]) {
                    if (os >= engine::OS_WIN10) {
                        ASSERT_EQ(files[at]->kind, StepKind::ToolRun);
                        EXPECT_TRUE(files[at]->longLimit && files[at]->slow);
                        EXPECT_EQ(files[++at]->what, L"D:\\Desk\\WindowsUpdate.log");
                    } else {
                        EXPECT_EQ(files[at]->what, L"C:\\Win\\WindowsUpdate.log");
                    }
                    EXPECT_EQ(files[at++]->copy, engine::CopyKind::UpdateLog);
                }
                if (facts.switches[skelda::kCbsLog]) {
                    EXPECT_EQ(files[at++]->what, L"C:\\Win\\Logs\\CBS");
                }
                if (facts.switches[skelda::kInfLog]) {
                    EXPECT_EQ(files[at++]->copy, engine::CopyKind::SetupApiLogs);
                }
                if (facts.switches[skelda::kOperatingSystem]) {
                    EXPECT_EQ(files[at]->what, L"systeminfo");
                    EXPECT_TRUE(files[at++]->longLimit);
                }
                const std::vector<std::wstring> aliases = EnabledKeys(Tables().wmic, facts);
                if (haveWmic) {
                    ASSERT_EQ(files.size() - at, aliases.size());
                    for (const std::wstring& alias : aliases) {
                        const PlannedStep& step = *files[at++];
                        EXPECT_EQ(step.what.rfind(L"WMIC " + alias, 0), 0u);
                        EXPECT_EQ(step.serialGroup, alias == L"PRODUCT" ? engine::kInstallerGroup : 0);
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
                const skelda::FolderCatalogue* wmi[] = {&Tables().device, &Tables().system};
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

TEST(StepPlanTest, SlowStepsAreMarkedAndTheInstallerProviderIsOneChain) {
    const engine::RunPlan plan = engine::PlanRun(Facts(0xFF, engine::OS_WIN10, true));
    std::set<std::wstring> slow;
    std::set<std::wstring> installer;
    for (const engine::WorkerPlan& worker : plan.workers) {
        for (const PlannedStep* step : Flatten(worker.steps)) {
            if (step->slow) slow.insert(step->what);
            if (step->serialGroup == engine::kInstallerGroup) installer.insert(step->what);
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
    const engine::RunPlan noWmic = engine::PlanRun(Facts(0xFF, engine::OS_WIN10, false));
    int batches = 0;
    for (const PlannedStep& step : noWmic.workers[1].steps)
        if (step.kind == StepKind::AliasFolder && step.serialGroup == engine::kInstallerGroup) ++batches;
    EXPECT_EQ(batches, 1);
}

TEST(StepPlanTest, FoldersOfAbsentLogSourcesAreNotMade) {
    engine::PlanFacts facts = Facts(0xFF, engine::OS_WIN7, true);
    facts.cbsPresent = false;
    facts.infPresent = false;
    const engine::RunPlan plan = engine::PlanRun(facts);
    for (const engine::PlannedFolder& folder : plan.workers[1].folders) {
        EXPECT_EQ(folder.path.find(L"CBS日志"), std::wstring::npos);
        EXPECT_EQ(folder.path.find(L"INF日志"), std::wstring::npos);
    }
    // The copies still run, and say that their source is not there.
    int copies = 0;
    for (const PlannedStep& step : plan.workers[1].steps) copies += step.kind == StepKind::Copy;
    EXPECT_EQ(copies, 3);
}

TEST(StepPlanTest, AnExportStepNamesItsLogAndFile) {
    const PlannedStep step = engine::EventLogExportStep(L"Microsoft-Windows-A/Operational", L"F");
    EXPECT_EQ(step.what, L"wevtutil epl \"Microsoft-Windows-A/Operational\" \"F\\Microsoft-Windows-A%Operational.evtx\" "
                         L"/ow:true");
    EXPECT_EQ(step.output, L"F\\Microsoft-Windows-A%Operational.evtx");
    EXPECT_EQ(step.worker, 1);
}

}  // namespace

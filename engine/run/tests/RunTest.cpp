// A run in this process: what ends it early, and what keeps two runs apart.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "api/OrvaneSkeldaApi.h"
#include "files/FileSystem.h"
#include "files/RunGuard.h"
#include "api/Categories.h"
#include "host/Collector.h"
#include "plan/StepPlan.h"
#include "catalogue/Catalogue.h"
#include "summary/SummaryBuilder.h"
#include "text/PathText.h"
#include "text/WideText.h"
#include "win/WindowsVersion.h"
#include "testing/TestPrograms.h"
#include "testing/ResultReceiver.h"
#include "testing/TempFolder.h"

namespace {

// Handles messages until every worker of the collector has ended (a minute at most), and a
// moment longer for a pair sent just before the last worker ended.
bool PumpUntilIdle(engine::testing::ResultReceiver& receiver, const engine::host::Collector& collector) {
    const bool idle = receiver.PumpUntil([&] { return !collector.IsRunning(); });
    engine::testing::ResultReceiver::Pump(100);
    return idle;
}

const int kNoCategory[engine::api::kCategoryCount] = {};

class RunTest : public ::testing::Test {
protected:
    void SetUp() override {
        collector_.InitDll();
        ASSERT_EQ(collector_.SetWndHandle(receiver_.Handle()), 1);
    }
    std::wstring Archive() const { return out_.Path() + L"\\信息收集.7z"; }

    util::testing::TempFolder out_{L" 输出"};
    engine::testing::ResultReceiver receiver_;
    engine::host::Collector collector_;
};

// The collection report inside the archive, read back with the packer the run shipped with.
std::wstring ReportInArchive(const std::wstring& archive) {
    const std::wstring packer =
        util::win::ModuleFolderOf(reinterpret_cast<const void*>(&ReportInArchive)) +
        (sizeof(void*) == 8 ? L"7z\\x64\\7zx64.exe" : L"7z\\x86\\7zx86.exe");
    return engine::testing::Capture(packer, L"7z x -so \"" + archive + L"\" " + engine::api::kReportJsonName, 60000)
        .output;
}

// A worker that fails unexpectedly ends its own queue; the run still packs what was collected
// and says in its report that not everything went well.
TEST_F(RunTest, AThrowingWorkerEndsItsQueueAndTheRunStillPacks) {
    collector_.SetThrowingWorkerForTesting(1);
    ASSERT_EQ(collector_.StartGetSystemInfo(Archive().c_str(), kNoCategory), 1);
    ASSERT_TRUE(PumpUntilIdle(receiver_, collector_));
    EXPECT_EQ(receiver_.Results(), (std::vector<WPARAM>{engine::api::kResultFinished, engine::api::kResultSucceeded}));
    const std::wstring report = ReportInArchive(Archive());
    EXPECT_NE(report.find(L"worker fault for testing"), std::wstring::npos) << report;
    EXPECT_NE(report.find(L"\"failed\""), std::wstring::npos) << report;
    // The run is over everywhere: the machine-wide guard was given back.
    EXPECT_FALSE(util::files::RunGuard::IsHeldElsewhere(engine::api::kRunGuardName));
}

// A step kind that throws (bad_alloc on a large answer, say) fails those steps only.
TEST_F(RunTest, AThrowingStepIsThatStepsFailure) {
    collector_.SetThrowingStepKindForTesting(static_cast<int>(engine::plan::StepKind::Copy));
    int switches[engine::api::kCategoryCount] = {};
    switches[engine::api::kCbsLog] = 1;
    switches[engine::api::kInfLog] = 1;
    ASSERT_EQ(collector_.StartGetSystemInfo(Archive().c_str(), switches), 1);
    ASSERT_TRUE(PumpUntilIdle(receiver_, collector_));
    EXPECT_EQ(receiver_.Results(), (std::vector<WPARAM>{engine::api::kResultFinished, engine::api::kResultSucceeded}));
    const std::wstring report = ReportInArchive(Archive());
    size_t failures = 0;
    for (size_t at = report.find(L"step fault for testing"); at != std::wstring::npos;
         at = report.find(L"step fault for testing", at + 1))
        ++failures;
    EXPECT_EQ(failures, 2u) << report;  // the CBS and the INF copy
    // The summary was packed and listed; it counts both, and cannot say what the logs hold.
    // (The capture reads the report's UTF-8 in the console's code page: the names' ends tell.)
    const size_t files = report.find(L"\"summary_files\": [\"");
    ASSERT_NE(files, std::wstring::npos) << report;
    EXPECT_NE(report.find(L".html\", \"", files), std::wstring::npos) << report;
    wchar_t counts[512] = {};
    ASSERT_GT(::GetEnvironmentVariableW(engine::api::kProblemCountsVariable, counts, 512), 0u);
    EXPECT_EQ(std::wstring(counts).find(L"steps_not_ok=2;"), 0u) << counts;
    EXPECT_NE(std::wstring(counts).find(L"cbs_corruption=-;failed_device_installs=-"), std::wstring::npos) << counts;
    EXPECT_FALSE(util::files::RunGuard::IsHeldElsewhere(engine::api::kRunGuardName));
}

// The summary reads the files the plan has the steps write, by the same names.
TEST(RunSummarySourcesTest, EverySourceOfTheSummaryIsWhatAStepWrites) {
    engine::catalogue::FolderCatalogue wmic, device, system;
    engine::catalogue::BuildCatalogues(wmic, device, system);
    for (const bool haveWmic : {true, false}) {
        engine::plan::PlanFacts facts;
        for (int& on : facts.switches) on = 1;
        facts.osVersionCode = util::win::OS_WIN10;
        facts.haveWmic = haveWmic;
        facts.workingFolder = L"W";
        facts.windowsFolder = L"C:\\Windows";
        facts.wmic = &wmic;
        facts.wmiDevice = &device;
        facts.wmiSystem = &system;
        const engine::plan::RunPlan plan = engine::plan::PlanRun(facts);
        std::set<std::wstring> written;  // relative, "/" between folders
        std::function<void(const std::vector<engine::plan::PlannedStep>&)> collect = [&](const auto& steps) {
            for (const engine::plan::PlannedStep& step : steps) {
                written.insert(step.output);
                for (const engine::catalogue::CatalogueRow& row : step.rows)  // an alias batch's reports
                    written.insert(engine::catalogue::ReportPath(step.folder, row.label));
                collect(step.then);
            }
        };
        for (const engine::plan::WorkerPlan& worker : plan.workers) collect(worker.steps);
        std::set<std::wstring> relative;
        for (const std::wstring& path : written)
            if (path.compare(0, 2, L"W\\") == 0) relative.insert(util::text::ReplaceAll(path.substr(2), L"\\", L"/"));
        namespace sources = engine::summary::sources;
        for (const wchar_t* file : {sources::kOperatingSystem, sources::kComputerSystem, sources::kHotFixes,
                                    sources::kLogicalDisks, sources::kServices, sources::kBios, sources::kProcessors,
                                    sources::kPnpEntities, sources::kUpdateLog})
            EXPECT_EQ(relative.count(file), 1u) << util::text::Narrow(file, CP_UTF8) << " without WMIC: " << !haveWmic;
        for (const wchar_t* folder : {sources::kCbsFolder, sources::kSetupFolder})
            EXPECT_EQ(relative.count(folder), 1u) << util::text::Narrow(folder, CP_UTF8);
        for (const wchar_t* log : sources::kRecentEventLogs)
            EXPECT_EQ(relative.count(engine::summary::RecentEventsFile(log)), 1u) << util::text::Narrow(log, CP_UTF8);
    }
}

TEST_F(RunTest, AnArchivePathNamingAFolderIsRefusedBeforeCollecting) {
    const std::wstring folder = out_.Path() + L"\\a folder.7z";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_EQ(collector_.StartGetSystemInfo(folder.c_str(), kNoCategory), 1);
    ASSERT_TRUE(PumpUntilIdle(receiver_, collector_));
    std::vector<WPARAM> fourFolderFailures;
    for (int i = 0; i < 4; ++i) fourFolderFailures.insert(fourFolderFailures.end(), {engine::api::kResultFinished, engine::api::kResultFolderFailed});
    EXPECT_EQ(receiver_.Results(), fourFolderFailures);
    EXPECT_NE(::GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);  // untouched
    EXPECT_FALSE(util::files::RunGuard::IsHeldElsewhere(engine::api::kRunGuardName));
}

TEST_F(RunTest, AnotherRunHoldingTheMachineGuardRefusesTheStart) {
    util::files::RunGuard other;  // stands for another process's run
    ASSERT_TRUE(other.TryAcquire(engine::api::kRunGuardName));
    EXPECT_TRUE(util::files::RunGuard::IsHeldElsewhere(engine::api::kRunGuardName));
    EXPECT_EQ(collector_.StartGetSystemInfo(Archive().c_str(), kNoCategory), 0);
    EXPECT_FALSE(collector_.IsRunning());
    other.Release();
    EXPECT_FALSE(util::files::RunGuard::IsHeldElsewhere(engine::api::kRunGuardName));
}


}  // namespace

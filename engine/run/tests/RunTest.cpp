// A run in this process: what ends it early, and what keeps two runs apart.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "api/OrvaneSkeldaApi.h"
#include "files/FileSystem.h"
#include "files/RunGuard.h"
#include "api/Categories.h"
#include "host/Collector.h"
#include "plan/StepPlan.h"
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
    EXPECT_FALSE(util::files::RunGuard::IsHeldElsewhere(engine::api::kRunGuardName));
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

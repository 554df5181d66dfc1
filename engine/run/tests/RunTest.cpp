// A run in this process: what ends it early, and what keeps two runs apart.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "api/OrvaneSkeldaApi.h"
#include "files/FileSystem.h"
#include "files/RunGuard.h"
#include "host/Collector.h"
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

TEST_F(RunTest, AThrowingWorkerGivesOneFailurePairAndFreesTheMachine) {
    collector_.SetThrowingWorkerForTesting(1);
    ASSERT_EQ(collector_.StartGetSystemInfo(Archive().c_str(), kNoCategory), 1);
    ASSERT_TRUE(PumpUntilIdle(receiver_, collector_));
    EXPECT_EQ(receiver_.Results(), (std::vector<WPARAM>{engine::api::kResultFinished, engine::api::kResultFailed}));
    EXPECT_EQ(::GetFileAttributesW(Archive().c_str()), INVALID_FILE_ATTRIBUTES);
    // The run is over everywhere: the machine-wide guard was given back.
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

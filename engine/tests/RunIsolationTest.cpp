// A run in this process: what ends it early, and what keeps two runs apart.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ArchiveTarget.h"
#include "CollectionRun.h"
#include "FileSystem.h"
#include "Collector.h"
#include "ResultReceiver.h"
#include "PrivateAccess.h"
#include "RunGuard.h"
#include "TempFolder.h"

namespace {

// Handles messages until every worker of the collector has ended (a minute at most), and a
// moment longer for a pair sent just before the last worker ended.
bool PumpUntilIdle(enginetest::ResultReceiver& receiver, const CCollector& collector) {
    const bool idle = receiver.PumpUntil([&] { return !collector.IsRunning(); });
    enginetest::ResultReceiver::Pump(100);
    return idle;
}

const int kNoCategory[kCategoryCount] = {};

class RunIsolationTest : public ::testing::Test {
protected:
    void SetUp() override {
        collector_.InitDll();
        ASSERT_EQ(collector_.SetWndHandle(receiver_.Handle()), 1);
    }
    std::wstring Archive() const { return out_.Path() + L"\\信息收集.7z"; }

    skelda::testing::TempFolder out_{L" 输出"};
    enginetest::ResultReceiver receiver_;
    CCollector collector_;
};

TEST_F(RunIsolationTest, AThrowingWorkerGivesOneFailurePairAndFreesTheMachine) {
    collector_.SetThrowingWorkerForTesting(1);
    ASSERT_EQ(collector_.StartGetSystemInfo(Archive().c_str(), kNoCategory), 1);
    ASSERT_TRUE(PumpUntilIdle(receiver_, collector_));
    EXPECT_EQ(receiver_.Results(), (std::vector<WPARAM>{COLLECT_FINISHED, COLLECT_FAILED}));
    EXPECT_EQ(::GetFileAttributesW(Archive().c_str()), INVALID_FILE_ATTRIBUTES);
    // The run is over everywhere: the machine-wide guard was given back.
    EXPECT_FALSE(skelda::RunGuard::IsHeldElsewhere(orvane::kRunGuardName));
}

TEST_F(RunIsolationTest, AnArchivePathNamingAFolderIsRefusedBeforeCollecting) {
    const std::wstring folder = out_.Path() + L"\\a folder.7z";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_EQ(collector_.StartGetSystemInfo(folder.c_str(), kNoCategory), 1);
    ASSERT_TRUE(PumpUntilIdle(receiver_, collector_));
    std::vector<WPARAM> fourFolderFailures;
    for (int i = 0; i < 4; ++i) fourFolderFailures.insert(fourFolderFailures.end(), {COLLECT_FINISHED, COLLECT_FOLDER_FAILED});
    EXPECT_EQ(receiver_.Results(), fourFolderFailures);
    EXPECT_NE(::GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);  // untouched
    EXPECT_FALSE(skelda::RunGuard::IsHeldElsewhere(orvane::kRunGuardName));
}

TEST_F(RunIsolationTest, AnotherRunHoldingTheMachineGuardRefusesTheStart) {
    skelda::RunGuard other;  // stands for another process's run
    ASSERT_TRUE(other.TryAcquire(orvane::kRunGuardName));
    EXPECT_TRUE(skelda::RunGuard::IsHeldElsewhere(orvane::kRunGuardName));
    EXPECT_EQ(collector_.StartGetSystemInfo(Archive().c_str(), kNoCategory), 0);
    EXPECT_FALSE(collector_.IsRunning());
    other.Release();
    EXPECT_FALSE(skelda::RunGuard::IsHeldElsewhere(orvane::kRunGuardName));
}

TEST(TemporaryArchiveTest, SitsInAFolderOfTheRunBesideTheTargetUnderTheTargetsName) {
    EXPECT_EQ(engine::TemporaryFolderPath(L"D:\\x y\\信息收集.7z", 42), L"D:\\x y\\信息收集.7z.42.partial");
    EXPECT_EQ(engine::TemporaryArchivePath(L"D:\\x y\\信息收集.7z", 42), L"D:\\x y\\信息收集.7z.42.partial\\信息收集.7z");
}

}  // namespace

namespace {

TEST(PrivateAccessTest, FoldersAndTheArchiveOpenOnlyToSystemAdministratorsAndTheUser) {
    const std::wstring user = skelda::CurrentUserSid();
    ASSERT_FALSE(user.empty());
    const std::wstring expected = skelda::PrivateAccessSddl(user);
    EXPECT_EQ(expected, L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + user + L")");

    // Windows keeps the list as given. Wine keeps file permissions as Unix modes and reads back
    // what they allow: there the check is that nobody but the user and SYSTEM gets in, where an
    // ordinary folder lets everybody read.
    const std::wstring userEntry = L"FA;;;" + user + L")";
    auto isPrivate = [&](const std::wstring& sddl) {
        return sddl == expected || (sddl.find(userEntry) != std::wstring::npos && sddl.find(L"FA;;;SY)") != std::wstring::npos &&
                                    sddl.find(L";WD)") == std::wstring::npos && sddl.find(L";BU)") == std::wstring::npos &&
                                    sddl.find(L";AU)") == std::wstring::npos);
    };

    skelda::testing::TempFolder parent(L" 私有");
    skelda::PrivateAccess access;
    ASSERT_TRUE(access.Build());
    // Folders made along an archive path get the list; one that was there keeps its own.
    const std::wstring before = skelda::AccessListOf(parent.Path());
    EXPECT_FALSE(isPrivate(before)) << "an ordinary folder is open to others: " << before;
    const std::wstring made = parent.Path() + L"\\a\\b";
    ASSERT_EQ(skelda::EnsureFolderTree(made + L"\\信息收集.7z", access.Attributes()), 1);
    EXPECT_TRUE(isPrivate(skelda::AccessListOf(parent.Path() + L"\\a"))) << skelda::AccessListOf(parent.Path() + L"\\a");
    EXPECT_TRUE(isPrivate(skelda::AccessListOf(made))) << skelda::AccessListOf(made);
    EXPECT_EQ(skelda::AccessListOf(parent.Path()), before);

    // An archive in a folder of the user's own gets the list explicitly.
    const std::wstring archive = parent.Path() + L"\\信息收集.7z";
    HANDLE file = ::CreateFileW(archive.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    EXPECT_FALSE(isPrivate(skelda::AccessListOf(archive)));
    ASSERT_TRUE(access.ApplyTo(archive));
    // Wine accepts a new list for an existing file but does not turn it into the file's Unix
    // mode, so only Windows can show it here.
    if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) return;
    EXPECT_TRUE(isPrivate(skelda::AccessListOf(archive))) << skelda::AccessListOf(archive);
}

}  // namespace

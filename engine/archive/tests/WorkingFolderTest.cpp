// The working folder on real (Wine) file-system objects: made anew, held, emptied and removed.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "archive/WorkingFolder.h"
#include "files/AccessLists.h"
#include "testing/TempFolder.h"

namespace {

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFile(const std::wstring& path, const char* content) { std::ofstream(path.c_str(), std::ios::binary) << content; }

class WorkingFolderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(access_.Build()); }

    util::testing::TempFolder root_{L" 位置 (x)&y"};
    util::files::AccessList access_;
};

TEST_F(WorkingFolderTest, TheWorkingFolderIsMadeAnewAndHeldAgainstRenamingUntilRemoved) {
    const std::wstring program = root_.Path() + L"\\产品 a";
    const std::wstring working = program + L"\\SystemInfoLog";
    ASSERT_TRUE(::CreateDirectoryW(program.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(working.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((working + L"\\old").c_str(), nullptr));
    MakeFile(working + L"\\old\\earlier.evtx", "stale");
    MakeFile(working + L"\\readonly.txt", "stale");
    ASSERT_TRUE(::SetFileAttributesW((working + L"\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY));

    engine::archive::WorkingFolderHold hold;
    std::wstring reason;
    ASSERT_TRUE(hold.Make(working, access_.Attributes(), reason)) << reason;
    EXPECT_TRUE(Exists(working));
    EXPECT_FALSE(Exists(working + L"\\old"));
    EXPECT_FALSE(Exists(working + L"\\readonly.txt"));

    // Neither the folder nor one above it can be renamed away (and a link put in its place)
    // while the run holds them.
    EXPECT_FALSE(::MoveFileW(working.c_str(), (working + L"-moved").c_str()));
    EXPECT_FALSE(::MoveFileW(program.c_str(), (program + L"-moved").c_str()));
    EXPECT_TRUE(Exists(working));

    MakeFile(working + L"\\report.txt", "x");
    EXPECT_TRUE(hold.Empty());
    EXPECT_FALSE(Exists(working + L"\\report.txt"));
    EXPECT_TRUE(Exists(working));

    hold.Remove();
    EXPECT_FALSE(Exists(working));
    // The control: without the hold the folder above can be renamed.
    EXPECT_TRUE(::MoveFileW(program.c_str(), (program + L"-moved").c_str()));
}

TEST_F(WorkingFolderTest, NoAccessListMeansNoWorkingFolder) {
    engine::archive::WorkingFolderHold hold;
    std::wstring reason;
    EXPECT_FALSE(hold.Make(root_.Path() + L"\\SystemInfoLog", nullptr, reason));
    EXPECT_NE(reason.find(L"no access list"), std::wstring::npos) << reason;
    EXPECT_FALSE(hold.Held());
    EXPECT_FALSE(Exists(root_.Path() + L"\\SystemInfoLog"));
}

}  // namespace

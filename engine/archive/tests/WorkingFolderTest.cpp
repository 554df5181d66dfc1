// The working folder on real (Wine) file-system objects: made anew, held, emptied and removed.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "archive/WorkingFolder.h"
#include "files/AccessLists.h"
#include "testing/TempFolder.h"
#include "win/ProcessToken.h"

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

TEST(KeptCollectionNameTest, NamesAreStampedAndOnlyOursAreRecognised) {
    const SYSTEMTIME now{2026, 12, 3, 9, 7, 5, 3, 0};
    EXPECT_EQ(engine::archive::KeptCollectionName(now, 1), L"OrvaneSkelda-kept 2026-12-09 07.05.03");
    EXPECT_EQ(engine::archive::KeptCollectionName(now, 2), L"OrvaneSkelda-kept 2026-12-09 07.05.03 (2)");
    for (const wchar_t* ours : {L"OrvaneSkelda-kept 2026-12-09 07.05.03", L"OrvaneSkelda-kept 2026-12-09 07.05.03 (12)"})
        EXPECT_TRUE(engine::archive::IsKeptCollectionName(ours)) << ours;
    for (const wchar_t* other : {L"OrvaneSkelda-kept 2026-12-09 07.05", L"OrvaneSkelda-kept 2026-12-09 07.05.03 ()",
                                 L"OrvaneSkelda-kept 2026-12-09 07.05.03 (2", L"OrvaneSkelda-kept 2026-12-09 07.05.03x",
                                 L"OrvaneSkelda-kept x026-12-09 07.05.03", L"orvaneskelda-kept 2026-12-09 07.05.03",
                                 L"OrvaneSkelda-kept 2026-12-09 07.05.03 (2) copy"})
        EXPECT_FALSE(engine::archive::IsKeptCollectionName(other)) << other;
}

// What could not be packed is moved, whole, to where it is kept, beside an earlier keeping of the
// same second; a later successful run removes what was kept, and nothing else.
TEST_F(WorkingFolderTest, ACollectionThatCouldNotBePackedIsKeptWholeUntilALaterRunPacks) {
    const std::wstring working = root_.Path() + L"\\SystemInfoLog";
    const std::wstring into = root_.Path() + L"\\kept here";
    ASSERT_TRUE(::CreateDirectoryW(into.c_str(), nullptr));
    const SYSTEMTIME now{2026, 12, 3, 9, 7, 5, 3, 0};
    const auto names = [&now](int attempt) { return engine::archive::KeptCollectionName(now, attempt); };
    ASSERT_TRUE(::CreateDirectoryW((into + L"\\" + names(1)).c_str(), nullptr));  // an earlier run, same second
    ASSERT_TRUE(::CreateDirectoryW((into + L"\\OrvaneSkelda-kept by hand").c_str(), nullptr));

    engine::archive::WorkingFolderHold hold;
    std::wstring reason;
    ASSERT_TRUE(hold.Make(working, access_.Attributes(), reason)) << reason;
    ASSERT_TRUE(::CreateDirectoryW((working + L"\\系统日志").c_str(), nullptr));
    MakeFile(working + L"\\系统日志\\System.evtx", "minutes of collecting");
    util::files::AccessList kept;
    ASSERT_TRUE(kept.BuildFrom(util::files::KeptCollectionSddl(util::win::CurrentUserSid())));
    std::wstring why;
    const std::wstring place = hold.Keep(into, names, kept.Descriptor(), why);
    EXPECT_EQ(place, into + L"\\" + names(2)) << why;
    EXPECT_FALSE(hold.Held());
    EXPECT_FALSE(Exists(working));
    std::ifstream in((place + L"\\系统日志\\System.evtx").c_str(), std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
              "minutes of collecting");
    in.close();

    EXPECT_EQ(engine::archive::RemoveKeptCollections(into, {}), 0) << "owned by nobody trusted";
    EXPECT_EQ(engine::archive::RemoveKeptCollections(into, {{util::win::CurrentUserSid()}, {}}), 2);
    EXPECT_FALSE(Exists(place));
    EXPECT_TRUE(Exists(into + L"\\OrvaneSkelda-kept by hand"));
}

}  // namespace

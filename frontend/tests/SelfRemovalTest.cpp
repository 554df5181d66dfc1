// The removal of the tool after the program has ended: its command, and a real run under the
// system's cmd.exe in a program folder that also holds a user's files.
#include <gtest/gtest.h>

#include <string>

#include "SelfRemoval.h"
#include "testing/ChildProcesses.h"
#include "testing/TempFolder.h"
#include "TestKit.h"

using frontend::SelfRemovalArguments;
using namespace fetest;

namespace {

size_t Count(const std::wstring& text, const std::wstring& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(SelfRemovalCommandTest, NamesOnlyTheToolsOwnFilesQuoted) {
    const std::wstring folder = L"C:\\Users\\李 雷\\Downloads";
    const std::wstring args = SelfRemovalArguments(folder, L"TavlinSkelda.exe");
    ASSERT_FALSE(args.empty());
    EXPECT_EQ(args.rfind(L"/D /S /C \"", 0), 0u);
    EXPECT_EQ(args.back(), L'"');
    for (const wchar_t* const* f = frontend::kShippedFiles; *f; ++f)
        EXPECT_EQ(Count(args, L"\"" + folder + L"\\" + *f + L"\""), 1u) << *f;
    // Inside 7z only the two packers by name; the folders only when that empties them.
    for (const wchar_t* const* p = frontend::kShippedPackers; *p; ++p)
        EXPECT_EQ(Count(args, L"del /f /q \"" + folder + L"\\" + *p + L"\""), 1u) << *p;
    for (const wchar_t* sub : {L"\\7z\\x86\"", L"\\7z\\x64\"", L"\\7z\""})
        EXPECT_EQ(Count(args, L"rmdir \"" + folder + sub), 1u) << sub;
    EXPECT_EQ(Count(args, L"/s /q \"" + folder + L"\\7z"), 0u);
    EXPECT_EQ(Count(args, L"rmdir /s /q \"" + folder + L"\\SystemInfoLog\""), 1u);
    const std::wstring keep = SelfRemovalArguments(folder, L"TavlinSkelda.exe", false);
    EXPECT_EQ(Count(keep, L"rmdir \"" + folder + L"\\SystemInfoLog\""), 1u);
    EXPECT_EQ(Count(keep, L"/s /q \"" + folder + L"\\SystemInfoLog\""), 0u);
    // The folder itself only without /s, which fails while anything is left in it.
    EXPECT_EQ(Count(args, L"rmdir \"" + folder + L"\""), 1u);
    EXPECT_EQ(Count(args, L"/s /q \"" + folder + L"\""), 0u);
    // Every path is quoted: no path character follows a blank unquoted.
    EXPECT_EQ(Count(args, L" " + folder), 0u);
    // No wildcard ever reaches del.
    EXPECT_EQ(args.find(L'*'), std::wstring::npos);
}

TEST(SelfRemovalCommandTest, WaitsForTheProgramBeforeTouchingAnythingElse) {
    const std::wstring args = SelfRemovalArguments(L"D:\\Tool", L"TavlinSkelda (1).exe");
    const size_t wait = args.find(L"set /p");
    const size_t program = args.find(L"del /f /q \"D:\\Tool\\TavlinSkelda (1).exe\"");
    const size_t gate = args.find(L"if not exist \"D:\\Tool\\TavlinSkelda (1).exe\"");
    const size_t others = args.find(L"OrvaneSkelda.dll");
    ASSERT_NE(wait, std::wstring::npos);
    ASSERT_NE(program, std::wstring::npos);
    ASSERT_NE(gate, std::wstring::npos);
    EXPECT_LT(wait, program);
    EXPECT_LT(program, gate);
    EXPECT_LT(gate, others);
}

TEST(SelfRemovalCommandTest, RefusesFoldersItCannotNameSafely) {
    EXPECT_EQ(SelfRemovalArguments(L"", L"TavlinSkelda.exe"), L"");
    EXPECT_EQ(SelfRemovalArguments(L"relative\\folder", L"TavlinSkelda.exe"), L"");
    EXPECT_EQ(SelfRemovalArguments(L"C:\\100%PATH%", L"TavlinSkelda.exe"), L"");
    EXPECT_EQ(SelfRemovalArguments(L"C:\\a\"b", L"TavlinSkelda.exe"), L"");
    EXPECT_EQ(SelfRemovalArguments(L"C:\\Tool", L""), L"");
    EXPECT_EQ(SelfRemovalArguments(L"C:\\Tool", L"..\\x.exe"), L"");
    EXPECT_NE(SelfRemovalArguments(L"\\\\server\\share\\Tool", L"TavlinSkelda.exe"), L"");
}

TEST(SelfRemovalCommandTest, DriveRootKeepsTheFolderAndTrailingBackslashesGo) {
    const std::wstring root = SelfRemovalArguments(L"E:\\", L"TavlinSkelda.exe");
    ASSERT_FALSE(root.empty());
    EXPECT_NE(root.find(L"\"E:\\OrvaneSkelda.dll\""), std::wstring::npos);
    EXPECT_EQ(root.find(L"rmdir \"E:\""), std::wstring::npos);
    EXPECT_EQ(SelfRemovalArguments(L"C:\\Tool\\", L"TavlinSkelda.exe"), SelfRemovalArguments(L"C:\\Tool", L"TavlinSkelda.exe"));
}

namespace {

class SelfRemovalRunTest : public ::testing::Test {
protected:
    // The program folder as shipped, with the stand-in program as TavlinSkelda.exe.
    void Ship(const std::wstring& folder) {
        ASSERT_TRUE(CopyInto(TestFolder() + L"\\frontend_prompts_probe.exe", folder, L"TavlinSkelda.exe"));
        for (const wchar_t* const* f = frontend::kShippedFiles; *f; ++f) ASSERT_TRUE(WriteFile(folder + L"\\" + *f, "x"));
        for (const wchar_t* sub : {L"\\7z", L"\\7z\\x86", L"\\7z\\x64", L"\\SystemInfoLog", L"\\SystemInfoLog\\系统日志"})
            ::CreateDirectoryW((folder + sub).c_str(), nullptr);
        ASSERT_TRUE(WriteFile(folder + L"\\7z\\x86\\7zx86.exe", "x"));
        ASSERT_TRUE(WriteFile(folder + L"\\7z\\x64\\7zx64.exe", "x"));
        ASSERT_TRUE(WriteFile(folder + L"\\SystemInfoLog\\系统日志\\a.txt", "x"));
    }

    // Runs the removal from a program that lives on until the test lets it end, after holdMs
    // with its removal command running; returns whether anything shipped had gone meanwhile.
    bool RunRemoval(const std::wstring& folder, DWORD holdMs) {
        const std::wstring release = current_.Path() + L"\\release";
        ProgramProcess probe(folder, L"remove \"" + release + L"\"", current_.Path());
        EXPECT_TRUE(probe.Started());
        // The program is held alive however slow the machine: whatever goes meanwhile went early.
        EXPECT_TRUE(util::testing::WaitForAChildOf(probe.Id(), 60000)) << "no removal command started";
        ::Sleep(holdMs);
        const bool early = !Exists(folder + L"\\OrvaneSkelda.dll") || !Exists(folder + L"\\7z");
        EXPECT_TRUE(WriteFile(release, "go"));
        EXPECT_EQ(probe.WaitForExit(60000), 0u);
        ::DeleteFileW(release.c_str());
        return early;
    }

    // Waits until path is gone; false after timeoutMs.
    static bool WaitGone(const std::wstring& path, DWORD timeoutMs) {
        return WaitUntil([&] { return !Exists(path); }, timeoutMs);
    }

    util::testing::TempFolder current_{L" current"};
};

}  // namespace

TEST_F(SelfRemovalRunTest, RemovesTheToolAfterItEndedAndKeepsTheUsersFiles) {
    util::testing::TempFolder downloads(L" 下载 & more");
    const std::wstring f = downloads.Path();
    Ship(f);
    ASSERT_TRUE(WriteFile(f + L"\\我的笔记.txt", "mine"));
    ASSERT_TRUE(WriteFile(f + L"\\信息收集.7z", "archive"));
    ::CreateDirectoryW((f + L"\\照片").c_str(), nullptr);
    ASSERT_TRUE(WriteFile(f + L"\\照片\\1.jpg", "photo"));

    EXPECT_FALSE(RunRemoval(f, 3000)) << "files went while the program still ran";
    EXPECT_TRUE(WaitGone(f + L"\\TavlinSkelda.exe", 60000));
    EXPECT_TRUE(WaitGone(f + L"\\7z", 60000));
    EXPECT_TRUE(WaitGone(f + L"\\SystemInfoLog", 60000));
    for (const wchar_t* const* file = frontend::kShippedFiles; *file; ++file)
        EXPECT_FALSE(Exists(f + L"\\" + *file)) << *file;
    EXPECT_EQ(ReadFile(f + L"\\我的笔记.txt"), "mine");
    EXPECT_EQ(ReadFile(f + L"\\信息收集.7z"), "archive");
    EXPECT_EQ(ReadFile(f + L"\\照片\\1.jpg"), "photo");
}

TEST_F(SelfRemovalRunTest, AUsersOwnSevenZipAndWorkingFolderContentsSurvive) {
    util::testing::TempFolder usb(L" U盘");
    const std::wstring f = usb.Path();
    Ship(f);
    ASSERT_TRUE(WriteFile(f + L"\\7z\\notes.txt", "my 7-Zip notes"));
    ASSERT_TRUE(WriteFile(f + L"\\SystemInfoLog\\mine.txt", "not the engine's"));
    EXPECT_FALSE(frontend::HoldsOnlyEngineOutput(f + L"\\SystemInfoLog"));

    EXPECT_FALSE(RunRemoval(f, 3000));
    EXPECT_TRUE(WaitGone(f + L"\\TavlinSkelda.exe", 60000));
    EXPECT_TRUE(WaitGone(f + L"\\7z\\x86", 60000));
    EXPECT_TRUE(WaitGone(f + L"\\7z\\x64", 60000));
    EXPECT_EQ(ReadFile(f + L"\\7z\\notes.txt"), "my 7-Zip notes");
    EXPECT_EQ(ReadFile(f + L"\\SystemInfoLog\\mine.txt"), "not the engine's");
    EXPECT_EQ(ReadFile(f + L"\\SystemInfoLog\\系统日志\\a.txt"), "x");
}

TEST_F(SelfRemovalRunTest, FolderHoldingOnlyTheToolGoesAltogetherHoweverLongTheProgramTakes) {
    util::testing::TempFolder parent;
    const std::wstring f = parent.Path() + L"\\TavlinSkelda 工具";
    ASSERT_TRUE(::CreateDirectoryW(f.c_str(), nullptr));
    Ship(f);
    // Longer than all retries of the program file together: only waiting for the end works.
    EXPECT_FALSE(RunRemoval(f, 12000));
    EXPECT_TRUE(WaitGone(f, 60000));
    EXPECT_TRUE(Exists(parent.Path()));
}

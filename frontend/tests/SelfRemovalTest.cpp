// The removal of the tool after the program has ended: its command, and a real run under the
// system's cmd.exe in a program folder that also holds a user's files.
#include <gtest/gtest.h>

#include <string>

#include "LibraryBindings.h"
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

namespace {

constexpr const wchar_t* kPing = L"C:\\Windows\\system32\\PING.EXE";

std::wstring Args(const std::wstring& folder, const std::wstring& program = L"TavlinSkelda.exe") {
    return SelfRemovalArguments(folder, program, kPing);
}

TEST(SelfRemovalCommandTest, NamesOnlyTheToolsOwnFilesQuoted) {
    const std::wstring folder = L"C:\\Users\\李 雷\\Downloads";
    const std::wstring args = Args(folder);
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
    EXPECT_EQ(Count(args, L"/s /q"), 0u) << "nothing is removed with all it holds";
    EXPECT_EQ(args.find(L"SystemInfoLog"), std::wstring::npos) << "the working folder is never beside the program";
    // The folder itself only without /s, which fails while anything is left in it.
    EXPECT_EQ(Count(args, L"rmdir \"" + folder + L"\""), 1u);
    // Every path is quoted: no path character follows a blank unquoted.
    EXPECT_EQ(Count(args, L" " + folder), 0u);
    // No wildcard ever reaches del, no variable of the environment is read, and the one
    // program it starts is named by its full path.
    EXPECT_EQ(args.find(L'*'), std::wstring::npos);
    EXPECT_EQ(args.find(L'%'), std::wstring::npos);
    EXPECT_EQ(Count(args, L"\"" + std::wstring(kPing) + L"\" -n "), 9u);
    EXPECT_EQ(Count(args, L"ping"), 0u) << "no program by its bare name";
}

TEST(SelfRemovalCommandTest, WaitsForTheProgramBeforeTouchingAnythingElse) {
    const std::wstring args = Args(L"D:\\Tool", L"TavlinSkelda (1).exe");
    const size_t program = args.find(L"del /f /q \"D:\\Tool\\TavlinSkelda (1).exe\"");
    const size_t tries = args.find(L"if exist \"D:\\Tool\\TavlinSkelda (1).exe\" (\"");
    const size_t gate = args.find(L"if not exist \"D:\\Tool\\TavlinSkelda (1).exe\"");
    const size_t others = args.find(L"OrvaneSkelda.dll");
    ASSERT_NE(tries, std::wstring::npos);
    ASSERT_NE(program, std::wstring::npos);
    ASSERT_NE(gate, std::wstring::npos);
    EXPECT_LT(program, tries);
    EXPECT_LT(tries, gate);
    EXPECT_EQ(args.find(L"OrvaneSkelda.dll"), args.rfind(L"OrvaneSkelda.dll")) << "the rest once, behind the gate";
    EXPECT_LT(gate, others);
}

TEST(SelfRemovalCommandTest, RefusesFoldersItCannotNameSafely) {
    EXPECT_EQ(Args(L""), L"");
    EXPECT_EQ(Args(L"relative\\folder"), L"");
    EXPECT_EQ(Args(L"C:\\100%PATH%"), L"");
    EXPECT_EQ(Args(L"C:\\a\"b"), L"");
    EXPECT_EQ(Args(L"C:\\Tool", L""), L"");
    EXPECT_EQ(Args(L"C:\\Tool", L"..\\x.exe"), L"");
    EXPECT_EQ(SelfRemovalArguments(L"C:\\Tool", L"TavlinSkelda.exe", L"PING.EXE"), L"") << "ping by its full path only";
    EXPECT_NE(Args(L"\\\\server\\share\\Tool"), L"");
}

TEST(SelfRemovalCommandTest, DriveRootKeepsTheFolderAndTrailingBackslashesGo) {
    const std::wstring root = Args(L"E:\\");
    ASSERT_FALSE(root.empty());
    EXPECT_NE(root.find(L"\"E:\\OrvaneSkelda.dll\""), std::wstring::npos);
    EXPECT_EQ(root.find(L"rmdir \"E:\""), std::wstring::npos);
    EXPECT_EQ(Args(L"C:\\Tool\\"), Args(L"C:\\Tool"));
}

// What the program hands over, recorded in place of the desktop's shell.
struct Started {
    std::wstring program, arguments, folder;
    int calls = 0;
};
Started g_started;
bool RecordStart(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder) {
    g_started = {program, arguments, folder, g_started.calls + 1};
    return true;
}

}  // namespace

TEST(SelfRemovalCommandTest, TheRemovalGoesToTheShellAsCmdOfTheSystemFolder) {
    g_started = {};
    EXPECT_EQ(frontend::RemoveProgramFolder(RecordStart), 1);
    ASSERT_EQ(g_started.calls, 1);
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(g_started.program, std::wstring(system) + L"\\cmd.exe");
    EXPECT_EQ(g_started.folder, system);
    const std::wstring self = frontend::ProgramPath();
    EXPECT_EQ(g_started.arguments, SelfRemovalArguments(frontend::ProgramFolder(), self.substr(self.rfind(L'\\') + 1),
                                                        std::wstring(system) + L"\\PING.EXE"));
}

namespace {

class SelfRemovalRunTest : public ::testing::Test {
protected:
    // The program folder as shipped, with the stand-in program as TavlinSkelda.exe.
    void Ship(const std::wstring& folder) {
        ASSERT_TRUE(CopyInto(TestFolder() + L"\\frontend_prompts_probe.exe", folder, L"TavlinSkelda.exe"));
        for (const wchar_t* const* f = frontend::kShippedFiles; *f; ++f) ASSERT_TRUE(WriteFile(folder + L"\\" + *f, "x"));
        for (const wchar_t* sub : {L"\\7z", L"\\7z\\x86", L"\\7z\\x64"})
            ::CreateDirectoryW((folder + sub).c_str(), nullptr);
        ASSERT_TRUE(WriteFile(folder + L"\\7z\\x86\\7zx86.exe", "x"));
        ASSERT_TRUE(WriteFile(folder + L"\\7z\\x64\\7zx64.exe", "x"));
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
    for (const wchar_t* const* file = frontend::kShippedFiles; *file; ++file)
        EXPECT_FALSE(Exists(f + L"\\" + *file)) << *file;
    EXPECT_EQ(ReadFile(f + L"\\我的笔记.txt"), "mine");
    EXPECT_EQ(ReadFile(f + L"\\信息收集.7z"), "archive");
    EXPECT_EQ(ReadFile(f + L"\\照片\\1.jpg"), "photo");
}

TEST_F(SelfRemovalRunTest, AUsersOwnSevenZipAndAFolderNamedLikeAnOldWorkingFolderSurvive) {
    util::testing::TempFolder usb(L" U盘");
    const std::wstring f = usb.Path();
    Ship(f);
    ASSERT_TRUE(WriteFile(f + L"\\7z\\notes.txt", "my 7-Zip notes"));
    for (const wchar_t* sub : {L"\\SystemInfoLog", L"\\SystemInfoLog\\系统日志"}) ::CreateDirectoryW((f + sub).c_str(), nullptr);
    ASSERT_TRUE(WriteFile(f + L"\\SystemInfoLog\\mine.txt", "not the engine's"));
    ASSERT_TRUE(WriteFile(f + L"\\SystemInfoLog\\系统日志\\a.txt", "x"));

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

#include <gtest/gtest.h>

#include <fstream>
#include <thread>
#include <vector>

#include "CollectionRun.h"
#include "FileSystem.h"
#include "LogFileCollectors.h"
#include "TempFolder.h"
#include "UniqueHandle.h"

namespace {

using skelda::testing::TempFolder;

bool IsFolder(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeFile(const std::wstring& path, const char* content = "x") {
    std::ofstream(path.c_str(), std::ios::binary) << content;
}

TEST(EnsureFolderPathTest, CreatesEveryComponentButAnArchiveName) {
    TempFolder root;
    const std::wstring base = root.Path() + L"\\a b\\中文 (1)";
    EXPECT_EQ(skelda::EnsureFolderTree(base + L"\\信息收集.7z"), 1);
    EXPECT_TRUE(IsFolder(base));
    EXPECT_FALSE(IsFolder(base + L"\\信息收集.7z"));

    // A last component without ".7z" (case-sensitive) is taken for a folder.
    EXPECT_EQ(skelda::EnsureFolderTree(base + L"\\archive.7Z"), 1);
    EXPECT_TRUE(IsFolder(base + L"\\archive.7Z"));
    EXPECT_EQ(skelda::EnsureFolderTree(base + L"\\x.7z.d"), 1);
    EXPECT_FALSE(IsFolder(base + L"\\x.7z.d"));
}

TEST(EnsureFolderPathTest, StopsAtAnEmptyComponentAndFailsUnderAFile) {
    TempFolder root;
    EXPECT_EQ(skelda::EnsureFolderTree(root.Path() + L"\\one\\\\two\\x.7z"), 1);
    EXPECT_TRUE(IsFolder(root.Path() + L"\\one"));
    EXPECT_FALSE(IsFolder(root.Path() + L"\\one\\two"));
    EXPECT_EQ(skelda::EnsureFolderTree(L"nobackslash"), 1);
    EXPECT_FALSE(IsFolder(L"nobackslash"));

    MakeFile(root.Path() + L"\\file");
    EXPECT_EQ(skelda::EnsureFolderTree(root.Path() + L"\\file\\sub\\x.7z"), 0);
}

TEST(PackerCommandTest, EveryPathIsQuoted) {
    EXPECT_EQ(engine::PackerCommandLine(L"C:\\a b&(c)\\", false, L"D:\\x y\\信息收集.7z"),
              L"\"C:\\a b&(c)\\7z\\x86\\7zx86.exe\" a -t7z \"D:\\x y\\信息收集.7z\" "
              L"\"C:\\a b&(c)\\SystemInfoLog\\*\" -m0=BCJ -m1=LZMA:d=21 -ms -mmt");
    EXPECT_EQ(engine::PackerPath(L"M\\", true), L"M\\7z\\x64\\7zx64.exe");
    EXPECT_TRUE(engine::PackerSucceeded(0));
    EXPECT_TRUE(engine::PackerSucceeded(1));
    EXPECT_FALSE(engine::PackerSucceeded(2));
    EXPECT_FALSE(engine::PackerSucceeded(255));
}

TEST(EventLogListingTest, NamesAreWholeLinesLongerThanOneCharacter) {
    const auto names = engine::EventLogNames(L"Application\r\n\r\nX\r\nA/B\r\n\r\r\nSystem\r\nunfinished");
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0], L"Application");
    EXPECT_EQ(names[1], L"A/B");
    EXPECT_EQ(names[2], L"System");
    EXPECT_TRUE(engine::EventLogNames(L"").empty());
}

TEST(EventLogListingTest, ExportCommandQuotesTheNameAndKeepsPercent) {
    EXPECT_EQ(engine::EventLogFileName(L"Microsoft-Windows-Kernel-PnP/Configuration"),
              L"Microsoft-Windows-Kernel-PnP%Configuration.evtx");
    EXPECT_EQ(engine::EventLogExportCommand(L"Windows PowerShell", L"C:\\w d"),
              L"wevtutil epl \"Windows PowerShell\" \"C:\\w d\\Windows PowerShell.evtx\" /ow:true");
    EXPECT_EQ(engine::EventLogExportCommand(L"a/PATH/b", L"C:\\w"), L"wevtutil epl \"a/PATH/b\" \"C:\\w\\a%PATH%b.evtx\" /ow:true");
}

TEST(CopyFolderTest, CopiesTheTreeAndCreatesEmptySubFolders) {
    TempFolder source;
    TempFolder target;
    MakeFile(source.Path() + L"\\CBS.log", "cbs");
    ::CreateDirectoryW((source.Path() + L"\\sub").c_str(), nullptr);
    MakeFile(source.Path() + L"\\sub\\中文.log");
    ::CreateDirectoryW((source.Path() + L"\\sub\\empty").c_str(), nullptr);
    EXPECT_TRUE(engine::CopyFolder(source.Path(), target.Path(), false));
    EXPECT_TRUE(skelda::PathExists(target.Path() + L"\\CBS.log"));
    EXPECT_TRUE(skelda::PathExists(target.Path() + L"\\sub\\中文.log"));
    EXPECT_TRUE(IsFolder(target.Path() + L"\\sub\\empty"));
    // Copied again over the first copy: overwriting is allowed, refusing makes it fail.
    EXPECT_TRUE(engine::CopyFolder(source.Path() + L"\\", target.Path() + L"\\", false));
    EXPECT_FALSE(engine::CopyFolder(source.Path(), target.Path(), true));
}

TEST(CopyFolderTest, NothingToCopyIsAFailure) {
    TempFolder source;
    TempFolder target;
    EXPECT_FALSE(engine::CopyFolder(source.Path(), target.Path(), false));
    EXPECT_FALSE(engine::CopyFolder(L"", target.Path(), false));
    EXPECT_FALSE(engine::CopyFolder(source.Path() + L"\\missing", target.Path(), false));
}

TEST(CopyFolderTest, SetupApiLogsOnly) {
    TempFolder source;
    TempFolder target;
    MakeFile(source.Path() + L"\\setupapi.dev.log");
    MakeFile(source.Path() + L"\\setupapi.app.log");
    MakeFile(source.Path() + L"\\setupapi.dev.txt");
    MakeFile(source.Path() + L"\\other.log");
    EXPECT_TRUE(engine::CopySetupApiLogs(source.Path(), target.Path(), false));
    EXPECT_TRUE(skelda::PathExists(target.Path() + L"\\setupapi.dev.log"));
    EXPECT_TRUE(skelda::PathExists(target.Path() + L"\\setupapi.app.log"));
    EXPECT_FALSE(skelda::PathExists(target.Path() + L"\\setupapi.dev.txt"));
    EXPECT_FALSE(skelda::PathExists(target.Path() + L"\\other.log"));

    TempFolder none;
    MakeFile(none.Path() + L"\\other.log");
    EXPECT_FALSE(engine::CopySetupApiLogs(none.Path(), target.Path(), false));
}

}  // namespace

TEST(PackerMessagesTest, OneLineForTheToolLog) {
    EXPECT_EQ(engine::PackerMessageSummary(L""), L"");
    EXPECT_EQ(engine::PackerMessageSummary(L"\r\n  \r\n"), L"");
    EXPECT_EQ(engine::PackerMessageSummary(L"\r\nWARNING: The process cannot access the file\r\nC:\\w\\a b.txt\r\n\r\n"
                                           L"WARNINGS for files:\r\n\r\n  x : denied\r\n"),
              L"WARNING: The process cannot access the file | C:\\w\\a b.txt | WARNINGS for files: | x : denied");
    const std::wstring cut = engine::PackerMessageSummary(std::wstring(50, L'x') + L"\n" + std::wstring(50, L'y'), 60);
    EXPECT_EQ(cut, std::wstring(50, L'x') + L" | " + std::wstring(7, L'y') + L"...");
}

TEST(FilesReleasedTest, WaitsForAWriterToCloseAndNamesOneThatDoesNot) {
    skelda::testing::TempFolder folder;
    ASSERT_TRUE(::CreateDirectoryW((folder.Path() + L"\\sub").c_str(), nullptr));
    const std::wstring released = folder.Path() + L"\\sub\\released.txt";
    const std::wstring kept = folder.Path() + L"\\kept.txt";
    auto openForWriting = [](const std::wstring& path) {
        return skelda::UniqueHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    skelda::UniqueHandle writer = openForWriting(released);
    ASSERT_TRUE(writer);
    {
        skelda::UniqueHandle closed = openForWriting(folder.Path() + L"\\closed.txt");
    }
    std::thread closer([&writer] {
        ::Sleep(300);
        writer.Reset();
    });
    EXPECT_TRUE(skelda::WaitUntilFilesReleased(folder.Path(), 5000).empty());
    closer.join();

    skelda::UniqueHandle keeper = openForWriting(kept);
    const DWORD before = ::GetTickCount();
    EXPECT_EQ(skelda::WaitUntilFilesReleased(folder.Path(), 200), std::vector<std::wstring>{kept});
    EXPECT_LT(::GetTickCount() - before, 3000u);
}

// Folder trees made along a path, and the wait for files that others still write.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>
#include <vector>

#include "files/FileSystem.h"
#include "testing/TempFolder.h"
#include "win/UniqueHandle.h"

namespace {

using util::testing::TempFolder;

bool IsFolder(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeFile(const std::wstring& path, const char* content = "x") {
    std::ofstream(path.c_str(), std::ios::binary) << content;
}

TEST(FileSystemTest, CreatesEveryComponentButAnArchiveName) {
    TempFolder root;
    const std::wstring base = root.Path() + L"\\a b\\中文 (1)";
    EXPECT_EQ(util::files::EnsureFolderTree(base + L"\\信息收集.7z"), 1);
    EXPECT_TRUE(IsFolder(base));
    EXPECT_FALSE(IsFolder(base + L"\\信息收集.7z"));

    // A last component without ".7z" (case-sensitive) is taken for a folder.
    EXPECT_EQ(util::files::EnsureFolderTree(base + L"\\archive.7Z"), 1);
    EXPECT_TRUE(IsFolder(base + L"\\archive.7Z"));
    EXPECT_EQ(util::files::EnsureFolderTree(base + L"\\x.7z.d"), 1);
    EXPECT_FALSE(IsFolder(base + L"\\x.7z.d"));
}

TEST(FileSystemTest, StopsAtAnEmptyComponentAndFailsUnderAFile) {
    TempFolder root;
    EXPECT_EQ(util::files::EnsureFolderTree(root.Path() + L"\\one\\\\two\\x.7z"), 1);
    EXPECT_TRUE(IsFolder(root.Path() + L"\\one"));
    EXPECT_FALSE(IsFolder(root.Path() + L"\\one\\two"));
    EXPECT_EQ(util::files::EnsureFolderTree(L"nobackslash"), 1);
    EXPECT_FALSE(IsFolder(L"nobackslash"));

    MakeFile(root.Path() + L"\\file");
    EXPECT_EQ(util::files::EnsureFolderTree(root.Path() + L"\\file\\sub\\x.7z"), 0);
}

TEST(FileSystemTest, WaitsForAWriterToCloseAndNamesOneThatDoesNot) {
    util::testing::TempFolder folder;
    ASSERT_TRUE(::CreateDirectoryW((folder.Path() + L"\\sub").c_str(), nullptr));
    const std::wstring released = folder.Path() + L"\\sub\\released.txt";
    const std::wstring kept = folder.Path() + L"\\kept.txt";
    auto openForWriting = [](const std::wstring& path) {
        return util::win::UniqueHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    util::win::UniqueHandle writer = openForWriting(released);
    ASSERT_TRUE(writer);
    {
        util::win::UniqueHandle closed = openForWriting(folder.Path() + L"\\closed.txt");
    }
    std::thread closer([&writer] {
        ::Sleep(300);
        writer.Reset();
    });
    EXPECT_TRUE(util::files::WaitUntilFilesReleased(folder.Path(), 5000).empty());
    closer.join();

    util::win::UniqueHandle keeper = openForWriting(kept);
    const DWORD before = ::GetTickCount();
    EXPECT_EQ(util::files::WaitUntilFilesReleased(folder.Path(), 200), std::vector<std::wstring>{kept});
    EXPECT_LT(::GetTickCount() - before, 3000u);
}

TEST(FileSystemTest, AFileOrEveryFileBelowAFolder) {
    TempFolder root;
    MakeFile(root.Path() + L"\\a.txt", "12345");
    ASSERT_TRUE(::CreateDirectoryW((root.Path() + L"\\sub").c_str(), nullptr));
    MakeFile(root.Path() + L"\\sub\\b.txt", "123");
    EXPECT_EQ(util::files::BytesAt(root.Path() + L"\\a.txt"), 5u);
    EXPECT_EQ(util::files::BytesAt(root.Path()), 8u);
    EXPECT_EQ(util::files::BytesAt(root.Path() + L"\\absent"), 0u);
    ASSERT_TRUE(util::files::WriteFileBytes(root.Path() + L"\\a.txt", "xy"));
    EXPECT_EQ(util::files::BytesAt(root.Path() + L"\\a.txt"), 2u);
    EXPECT_FALSE(util::files::WriteFileBytes(root.Path() + L"\\absent\\c.txt", "z"));
}

}  // namespace

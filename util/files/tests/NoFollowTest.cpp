// Removal without following links, on real (Wine) objects.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "files/NoFollow.h"
#include "testing/TempFolder.h"

namespace {

TEST(NoFollowTest, RemovalTakesEverythingAndToleratesAMissingFolder) {
    util::testing::TempFolder parent;
    const std::wstring target = parent.Path() + L"\\x & (y) 中";
    ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((target + L"\\sub").c_str(), nullptr));
    ::CloseHandle(::CreateFileW((target + L"\\sub\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                nullptr));
    EXPECT_TRUE(util::files::RemoveNoFollow(target));
    EXPECT_EQ(::GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(util::files::RemoveNoFollow(target));
    EXPECT_EQ(::GetFileAttributesW(parent.Path().c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

TEST(NoFollowTest, EntriesAreRemovedExceptThoseKept) {
    util::testing::TempFolder folder;
    for (const wchar_t* name : {L"a.partial", L"b.partial", L"keep.txt"})
        ::CloseHandle(::CreateFileW((folder.Path() + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    0, nullptr));
    EXPECT_TRUE(util::files::RemoveEntries(folder.Path(), [](const util::files::FolderEntry& entry) {
        return entry.name == L"keep.txt";
    }));
    EXPECT_EQ(::GetFileAttributesW((folder.Path() + L"\\a.partial").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesW((folder.Path() + L"\\b.partial").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(::GetFileAttributesW((folder.Path() + L"\\keep.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace

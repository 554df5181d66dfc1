// The one folder walker: what it lists, in which order it walks, and what it never enters.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "files/FolderWalker.h"
#include "testing/TempFolder.h"

namespace {

using util::files::FolderEntry;
using util::files::WalkStep;

void Write(const std::wstring& path, const std::string& bytes) { std::ofstream(path.c_str(), std::ios::binary) << bytes; }

TEST(FolderWalkerTest, AListingMatchesThePatternAndGivesSizesAndPaths) {
    util::testing::TempFolder folder(L" 中 a&b");
    Write(folder.Path() + L"\\setupapi.dev.log", "12345");
    Write(folder.Path() + L"\\setupapi.app.log", "");
    Write(folder.Path() + L"\\other.log", "x");
    ::CreateDirectoryW((folder.Path() + L"\\setupapi.folder.log").c_str(), nullptr);
    std::vector<FolderEntry> seen;
    ASSERT_TRUE(util::files::ListFolder(folder.Path(), L"setupapi*.log", [&](const FolderEntry& e) { seen.push_back(e); }));
    ASSERT_EQ(seen.size(), 3u);
    for (const FolderEntry& entry : seen) {
        EXPECT_EQ(entry.path, folder.Path() + L"\\" + entry.name);
        EXPECT_EQ(entry.relative, entry.name);
        if (entry.name == L"setupapi.dev.log") EXPECT_EQ(entry.size, 5u);
        EXPECT_EQ(entry.Folder(), entry.name == L"setupapi.folder.log");
    }
    // A folder without a match is listed; one that is not there is not.
    EXPECT_TRUE(util::files::ListFolder(folder.Path(), L"none*", [](const FolderEntry&) { FAIL(); }));
    EXPECT_FALSE(util::files::ListFolder(folder.Path() + L"\\absent", L"*", [](const FolderEntry&) { FAIL(); }));
}

TEST(FolderWalkerTest, AWalkVisitsEachFolderBeforeItsContentsAndEntersOnlyWhereAsked) {
    util::testing::TempFolder folder;
    ::CreateDirectoryW((folder.Path() + L"\\a").c_str(), nullptr);
    ::CreateDirectoryW((folder.Path() + L"\\a\\b").c_str(), nullptr);
    ::CreateDirectoryW((folder.Path() + L"\\skip").c_str(), nullptr);
    Write(folder.Path() + L"\\a\\b\\c.txt", "c");
    Write(folder.Path() + L"\\skip\\hidden.txt", "h");
    std::vector<std::wstring> order;
    util::files::WalkTree(folder.Path(), [&](const FolderEntry& e) {
        order.push_back(e.relative);
        return e.name == L"skip" ? WalkStep::Skip : WalkStep::Enter;
    });
    auto at = [&](const std::wstring& relative) {
        for (size_t i = 0; i < order.size(); ++i)
            if (order[i] == relative) return static_cast<int>(i);
        return -1;
    };
    EXPECT_EQ(order.size(), 4u);
    EXPECT_GE(at(L"a"), 0);
    EXPECT_GT(at(L"a\\b"), at(L"a"));
    EXPECT_GT(at(L"a\\b\\c.txt"), at(L"a\\b"));
    EXPECT_GE(at(L"skip"), 0);
    EXPECT_EQ(at(L"skip\\hidden.txt"), -1);
}

}  // namespace

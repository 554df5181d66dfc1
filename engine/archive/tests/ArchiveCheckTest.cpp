// What a packed archive is checked against: the packer's listing and the files that should be in it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/ArchiveCheck.h"

namespace {

TEST(ArchiveCheckTest, TheListingNamesWhatTheArchiveHolds) {
    const std::wstring listing =
        L"7-Zip (a) 21.07\r\n\r\nListing archive: C:\\t\\a.7z\r\n\r\n--\r\nPath = C:\\t\\a.7z\r\nType = 7z\r\n"
        L"\r\n----------\r\nPath = 系统日志\r\nFolder = +\r\n\r\nPath = 系统日志\\System.evtx\r\nSize = 3\r\n\r\n"
        L"Path = 收集报告.txt\r\n";
    const std::vector<std::wstring> listed = engine::archive::ListedPaths(listing);
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"系统日志", L"系统日志\\System.evtx", L"收集报告.txt"}));
    EXPECT_TRUE(engine::archive::ListedPaths(L"").empty());

    const std::vector<std::wstring> expected = {L"系统日志\\system.EVTX", L"CBS日志\\CBS.log", L"收集报告.txt"};
    EXPECT_EQ(engine::archive::MissingFromListing(expected, listed), (std::vector<std::wstring>{L"CBS日志\\CBS.log"}));
    EXPECT_EQ(engine::archive::MissingFromListing(expected, {}), expected);
}

TEST(ArchiveCheckTest, TheCheckFileNamesThePackersOutcomeAndEveryMissingFile) {
    const std::string text = engine::archive::ArchiveCheckText(1, L"WARNING: cannot open | C:\\w\\CBS.log", {L"CBS日志\\CBS.log"});
    ASSERT_EQ(text.compare(0, 3, "\xEF\xBB\xBF"), 0);
    EXPECT_NE(text.find("(packer exit code): 1\r\n"), std::string::npos);
    EXPECT_NE(text.find("WARNING: cannot open"), std::string::npos);
    EXPECT_NE(text.find("(files missing from the archive): 1\r\n    CBS\xE6\x97\xA5\xE5\xBF\x97\\CBS.log\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find('\n', 0), text.find("\r\n", 0) + 1);
}

}  // namespace

// Where the archive goes and what it is checked against: the text rules.
#include <gtest/gtest.h>

#include "ArchiveTarget.h"

namespace {

TEST(ArchiveTargetTest, ANameWithoutExtensionGetsOneAs7ZipWouldGiveIt) {
    EXPECT_EQ(engine::WithArchiveExtension(L"D:\\out\\report"), L"D:\\out\\report.7z");
    EXPECT_EQ(engine::WithArchiveExtension(L"D:\\out.d\\report"), L"D:\\out.d\\report.7z");  // the folder's dot is no extension
    EXPECT_EQ(engine::WithArchiveExtension(L"D:\\out\\信息收集.7z"), L"D:\\out\\信息收集.7z");
    EXPECT_EQ(engine::WithArchiveExtension(L"D:\\out\\a.zip"), L"D:\\out\\a.zip");
    EXPECT_EQ(engine::WithArchiveExtension(L"\\\\srv\\share\\x"), L"\\\\srv\\share\\x.7z");
}

TEST(ArchiveTargetTest, OnlyOurOwnTemporaryNamesCountAsLeftOvers) {
    const std::wstring name = L"信息收集.7z";
    EXPECT_TRUE(engine::IsEarlierTemporaryName(L"信息收集.7z.4711.partial", name));
    EXPECT_TRUE(engine::IsEarlierTemporaryName(L"信息收集.7z.12.partial.7z", name));  // older versions' file
    EXPECT_TRUE(engine::IsEarlierTemporaryName(L"A.7Z.1.PARTIAL", L"a.7z"));
    EXPECT_FALSE(engine::IsEarlierTemporaryName(L"信息收集.7z", name));
    EXPECT_FALSE(engine::IsEarlierTemporaryName(L"信息收集.7z..partial", name));
    EXPECT_FALSE(engine::IsEarlierTemporaryName(L"信息收集.7z.12a.partial", name));
    EXPECT_FALSE(engine::IsEarlierTemporaryName(L"信息收集.7z.12.partial.zip", name));
    EXPECT_FALSE(engine::IsEarlierTemporaryName(L"其他.7z.12.partial", name));
    EXPECT_FALSE(engine::IsEarlierTemporaryName(L"x信息收集.7z.12.partial", name));
    EXPECT_FALSE(engine::IsEarlierTemporaryName(L".12.partial", L""));
}

TEST(ArchiveTargetTest, AKeptArchiveIsNamedByTheTimeOfTheRun) {
    SYSTEMTIME t{};
    t.wYear = 2026, t.wMonth = 12, t.wDay = 8, t.wHour = 7, t.wMinute = 2, t.wSecond = 9;
    EXPECT_EQ(engine::KeptArchiveName(L"信息收集.7z", t, 1), L"信息收集 (2026-12-08 07.02.09).7z");
    EXPECT_EQ(engine::KeptArchiveName(L"信息收集.7z", t, 3), L"信息收集 (2026-12-08 07.02.09 3).7z");
    EXPECT_EQ(engine::KeptArchiveName(L"a.b.zip", t, 1), L"a.b (2026-12-08 07.02.09).zip");
    EXPECT_EQ(engine::KeptArchiveName(L".7z", t, 1), L".7z (2026-12-08 07.02.09).7z");
}

TEST(ArchiveCheckTest, TheListingNamesWhatTheArchiveHolds) {
    const std::wstring listing =
        L"7-Zip (a) 21.07\r\n\r\nListing archive: C:\\t\\a.7z\r\n\r\n--\r\nPath = C:\\t\\a.7z\r\nType = 7z\r\n"
        L"\r\n----------\r\nPath = 系统日志\r\nFolder = +\r\n\r\nPath = 系统日志\\System.evtx\r\nSize = 3\r\n\r\n"
        L"Path = 收集报告.txt\r\n";
    const std::vector<std::wstring> listed = engine::ListedPaths(listing);
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"系统日志", L"系统日志\\System.evtx", L"收集报告.txt"}));
    EXPECT_TRUE(engine::ListedPaths(L"").empty());

    const std::vector<std::wstring> expected = {L"系统日志\\system.EVTX", L"CBS日志\\CBS.log", L"收集报告.txt"};
    EXPECT_EQ(engine::MissingFromListing(expected, listed), (std::vector<std::wstring>{L"CBS日志\\CBS.log"}));
    EXPECT_EQ(engine::MissingFromListing(expected, {}), expected);
}

TEST(ArchiveCheckTest, TheCheckFileNamesThePackersOutcomeAndEveryMissingFile) {
    const std::string text = engine::ArchiveCheckText(1, L"WARNING: cannot open | C:\\w\\CBS.log", {L"CBS日志\\CBS.log"});
    ASSERT_EQ(text.compare(0, 3, "\xEF\xBB\xBF"), 0);
    EXPECT_NE(text.find("(packer exit code): 1\r\n"), std::string::npos);
    EXPECT_NE(text.find("WARNING: cannot open"), std::string::npos);
    EXPECT_NE(text.find("(files missing from the archive): 1\r\n    CBS\xE6\x97\xA5\xE5\xBF\x97\\CBS.log\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find('\n', 0), text.find("\r\n", 0) + 1);
}

TEST(ArchiveCheckTest, StepsWhoseFilesWereStillHeldArePartial) {
    std::vector<engine::StepRecord> records(4);
    records[0].output = L"CBS日志";  // a copied folder
    records[1].output = L"硬件/CPU.txt";
    records[2].output = L"硬件/BIOS.txt";
    records[2].outcome = engine::Outcome::TimedOut;
    records[2].reason = L"ended at its limit";
    records[3].output = L"";  // the listing: no output of its own
    engine::MarkHeldFiles(records, {L"CBS日志/Archive/CBS.log", L"硬件/BIOS.txt", L"CBS日志x/other"});
    EXPECT_EQ(records[0].outcome, engine::Outcome::Partial);
    EXPECT_EQ(records[0].reason, L"still open for writing when packing began: CBS日志/Archive/CBS.log");
    EXPECT_EQ(records[1].outcome, engine::Outcome::Ok);
    EXPECT_TRUE(records[1].reason.empty());
    // A worse outcome stays; the file is named all the same.
    EXPECT_EQ(records[2].outcome, engine::Outcome::TimedOut);
    EXPECT_EQ(records[2].reason, L"ended at its limit; still open for writing when packing began: 硬件/BIOS.txt");
    EXPECT_EQ(records[3].outcome, engine::Outcome::Ok);
    EXPECT_STREQ(engine::OutcomeName(engine::Outcome::Partial), L"partial");
}

}  // namespace

// The one JSON line under --json: what a fleet's collector reads, within the 2 KB it keeps.
#include <gtest/gtest.h>

#include <string>

#include "RunLine.h"

namespace {

collect::RunLineFacts Collected() {
    collect::RunLineFacts facts;
    facts.exitCode = 6;
    facts.archive = L"C:\\out\\信息收集.7z";
    facts.archiveBytes = 12345678;
    facts.archiveSha256 = std::string(64, 'a');
    facts.seconds = 421.04;
    facts.steps = {{L"ok", 447}, {L"timed-out", 1}};
    facts.lacks = L"1 file missing";
    facts.problems = L"steps_not_ok=1;disks_low=0;error_events=-";
    return facts;
}

TEST(RunLineTest, ACollectionIsOneLineWithEveryFact) {
    const std::string line = collect::RunLine(Collected());
    EXPECT_EQ(line,
              "{\"outcome\":\"collected-not-all-ok\",\"exit_code\":6,"
              "\"archive\":\"C:\\\\out\\\\\xE4\xBF\xA1\xE6\x81\xAF\xE6\x94\xB6\xE9\x9B\x86.7z\","
              "\"archive_bytes\":12345678,\"archive_sha256\":\"" + std::string(64, 'a') + "\","
              "\"seconds\":421.0,\"steps\":{\"ok\":447,\"timed-out\":1},\"lacks\":\"1 file missing\","
              "\"kept\":null,\"problems\":{\"steps_not_ok\":1,\"disks_low\":0,\"error_events\":null},\"cut\":[]}");
    collect::RunLineFacts failed;
    failed.exitCode = 1;
    failed.kept = L"C:\\Windows\\Temp\\OrvaneSkelda-kept 2026-12-09 07.05.03";
    const std::string refused = collect::RunLine(failed);
    EXPECT_NE(refused.find("\"outcome\":\"failed\""), std::string::npos) << refused;
    EXPECT_NE(refused.find("\"archive\":null"), std::string::npos) << refused;
    EXPECT_NE(refused.find("\"archive_sha256\":null"), std::string::npos) << refused;
    EXPECT_NE(refused.find("\"kept\":\"C:\\\\Windows\\\\Temp\\\\OrvaneSkelda-kept"), std::string::npos) << refused;
    EXPECT_NE(refused.find("\"problems\":null"), std::string::npos) << "no summary without an archive";
}

// Long texts give way, in turn, and say so; counts and the digest stay whole, and a cut never
// splits a character.
TEST(RunLineTest, LongTextsAreCutToTwoKilobytesAndNamed) {
    collect::RunLineFacts facts = Collected();
    facts.lacks = std::wstring(3000, L'缺');
    std::string line = collect::RunLine(facts);
    EXPECT_LE(line.size(), 2048u);
    EXPECT_GT(line.size(), 2000u) << "as much as fits is kept";
    EXPECT_NE(line.find("\"cut\":[\"lacks\"]"), std::string::npos) << line;
    EXPECT_NE(line.find("\xE2\x80\xA6\",\"kept\""), std::string::npos) << "the cut text ends in an ellipsis";
    EXPECT_NE(line.find(std::string(64, 'a')), std::string::npos);
    EXPECT_NE(line.find("\"ok\":447"), std::string::npos);
    EXPECT_NE(line.find("\"problems\":{\"steps_not_ok\":1,"), std::string::npos) << "counts are never cut";
    EXPECT_EQ(line.find('\n'), std::string::npos);

    facts.archive = L"\\\\?\\C:\\" + std::wstring(4000, L'x') + L".7z";
    facts.kept = std::wstring(500, L'k');
    line = collect::RunLine(facts);
    EXPECT_LE(line.size(), 2048u);
    EXPECT_NE(line.find("\"cut\":[\"lacks\",\"kept\",\"archive\"]"), std::string::npos) << line;
    for (size_t small : {400u, 600u}) EXPECT_LE(collect::RunLine(facts, small).size(), small);
}

// The counts come through the host's environment: anything but names and counts is left out,
// so the line stays valid JSON whatever the variable holds.
TEST(RunLineTest, ProblemCountsAreNamesAndNumbersOnly) {
    const auto counts = collect::ParseProblemCounts(L"a_b=12;none=-;;Bad=1;x\"y=2;z=3a;w=;long=1234567890123;ok=0");
    ASSERT_EQ(counts.size(), 3u);
    EXPECT_EQ(counts[0], (std::pair<std::string, long long>{"a_b", 12}));
    EXPECT_EQ(counts[1], (std::pair<std::string, long long>{"none", -1}));
    EXPECT_EQ(counts[2], (std::pair<std::string, long long>{"ok", 0}));
    EXPECT_TRUE(collect::ParseProblemCounts(L"").empty());
}

TEST(RunLineTest, EveryExitCodeHasItsWord) {
    for (int code : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 64})
        EXPECT_STRNE(collect::OutcomeWord(code), "unknown") << code;
    EXPECT_STREQ(collect::OutcomeWord(42), "unknown");
}

}  // namespace

// The run's report: its text and JSON, the summary, and the steps whose files were still open.
#include <gtest/gtest.h>

#include "report/RunReport.h"

namespace {

engine::report::StepRecord Step(const wchar_t* what, DWORD ms, engine::report::Outcome outcome) {
    engine::report::StepRecord r;
    r.worker = 2;
    r.category = L"硬件";
    r.what = what;
    r.output = L"硬件/a.txt";
    r.start = SYSTEMTIME{2026, 12, 2, 8, 15, 47, 22, 5};
    r.durationMs = ms;
    r.outcome = outcome;
    return r;
}

engine::report::RunHeader Header() {
    engine::report::RunHeader h;
    h.toolVersion = L"Skelda V 1.0";
    h.engineVersion = L"OrvaneSkelda 1.0";
    h.engineArchitecture = L"x86";
    h.windowsVersion = L"10.0";
    h.windowsBuild = 19045;
    h.windows64 = true;
    h.switches = {1, 0, 1, 1, 1, 1, 1, 1};
    return h;
}

}  // namespace

TEST(RunReportTest, SummaryCountsEveryOutcomeAndRanksTheSlowest) {
    std::vector<engine::report::StepRecord> records;
    for (DWORD i = 0; i < 12; ++i) records.push_back(Step(L"x", i * 10, engine::report::Outcome::Ok));
    records.push_back(Step(L"late", 5, engine::report::Outcome::TimedOut));
    records.push_back(Step(L"tie", 110, engine::report::Outcome::Skipped));  // as slow as step 11, ended later
    records.push_back(Step(L"part", 1, engine::report::Outcome::Partial));
    const engine::report::RunSummary summary = engine::report::Summarize(records);
    EXPECT_EQ(summary.counts[static_cast<int>(engine::report::Outcome::Ok)], 12);
    EXPECT_EQ(summary.counts[static_cast<int>(engine::report::Outcome::Partial)], 1);
    EXPECT_EQ(summary.counts[static_cast<int>(engine::report::Outcome::TimedOut)], 1);
    EXPECT_EQ(summary.counts[static_cast<int>(engine::report::Outcome::Skipped)], 1);
    ASSERT_EQ(summary.slowest.size(), 10u);
    EXPECT_EQ(summary.slowest[0], 11u);
    EXPECT_EQ(summary.slowest[1], 13u);
    EXPECT_EQ(summary.slowest[9], 3u);
}

TEST(RunReportTest, JsonEscapesWhatCommandLinesAndPathsHold) {
    EXPECT_EQ(engine::report::JsonString(L"a\"b\\c\r\n\t\x01 中"), "\"a\\\"b\\\\c\\r\\n\\t\\u0001 \xE4\xB8\xAD\"");
    std::vector<engine::report::StepRecord> records = {Step(L"wevtutil epl \"Microsoft-Windows-A/B\" \"C:\\x\\A%B.evtx\"", 7,
                                                    engine::report::Outcome::Failed)};
    records[0].exitCode = 5;
    records[0].reason = L"exit code 5";
    const std::string json = engine::report::ReportJson(Header(), records);
    EXPECT_NE(json.find("\"what\": \"wevtutil epl \\\"Microsoft-Windows-A/B\\\" \\\"C:\\\\x\\\\A%B.evtx\\\"\""),
              std::string::npos);
    EXPECT_NE(json.find("\"exit_code\": 5"), std::string::npos);
    EXPECT_NE(json.find("\"counts\": {\"ok\": 0, \"failed\": 1, \"timed-out\": 0, \"skipped\": 0, \"not-found\": 0, "
                        "\"partial\": 0}"),
              std::string::npos);
    EXPECT_NE(json.find("\"switches\": [1, 0, 1, 1, 1, 1, 1, 1]"), std::string::npos);
    // No steps still gives a whole object.
    const std::string empty = engine::report::ReportJson(Header(), {});
    EXPECT_NE(empty.find("\"steps\": [],"), std::string::npos);
    EXPECT_EQ(empty.find("\"exit_code\""), std::string::npos);
}

TEST(RunReportTest, TextIsUtf8WithMarkAndCrLfOnly) {
    const std::string text = engine::report::ReportText(
        Header(), {Step(L"WMIC CPU LIST FULL", 1234, engine::report::Outcome::Ok), Step(L"CBS", 5, engine::report::Outcome::Partial)});
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '\n') {
            EXPECT_EQ(text[i - 1], '\r') << "bare line feed at " << i;
        }
    }
    EXPECT_NE(text.find("1.234 s"), std::string::npos);
    EXPECT_NE(text.find("Windows: 10.0 build 19045, 64-bit"), std::string::npos);
    EXPECT_NE(text.find("[2] partial  worker 2"), std::string::npos);
    EXPECT_NE(text.find("    partial: 1\r\n"), std::string::npos);
}




TEST(RunReportTest, SaysWhyTheToolLogWasNotUsed) {
    engine::report::RunHeader header = Header();
    EXPECT_EQ(engine::report::ReportText(header, {}).find("工具日志"), std::string::npos);
    EXPECT_NE(engine::report::ReportJson(header, {}).find("\"tool_log\": \"\",\n"), std::string::npos);
    header.toolLog = L"tool log off: C:\\ProgramData\\ToolLog is a link";
    EXPECT_NE(engine::report::ReportText(header, {}).find("收集类别开关 (switches): 1 0 1 1 1 1 1 1\r\n"
                                                  "工具日志 (tool log): tool log off: C:\\ProgramData\\ToolLog is a link\r\n"),
              std::string::npos);
    EXPECT_NE(engine::report::ReportJson(header, {}).find("\"tool_log\": \"tool log off: C:\\\\ProgramData\\\\ToolLog is a link\""),
              std::string::npos);
}

TEST(RunReportTest, StepsWhoseFilesWereStillHeldArePartial) {
    std::vector<engine::report::StepRecord> records(4);
    records[0].output = L"CBS日志";  // a copied folder
    records[1].output = L"硬件/CPU.txt";
    records[2].output = L"硬件/BIOS.txt";
    records[2].outcome = engine::report::Outcome::TimedOut;
    records[2].reason = L"ended at its limit";
    records[3].output = L"";  // the listing: no output of its own
    engine::report::MarkHeldFiles(records, {L"CBS日志/Archive/CBS.log", L"硬件/BIOS.txt", L"CBS日志x/other"});
    EXPECT_EQ(records[0].outcome, engine::report::Outcome::Partial);
    EXPECT_EQ(records[0].reason, L"still open for writing when packing began: CBS日志/Archive/CBS.log");
    EXPECT_EQ(records[1].outcome, engine::report::Outcome::Ok);
    EXPECT_TRUE(records[1].reason.empty());
    // A worse outcome stays; the file is named all the same.
    EXPECT_EQ(records[2].outcome, engine::report::Outcome::TimedOut);
    EXPECT_EQ(records[2].reason, L"ended at its limit; still open for writing when packing began: 硬件/BIOS.txt");
    EXPECT_EQ(records[3].outcome, engine::report::Outcome::Ok);
    EXPECT_STREQ(engine::report::OutcomeName(engine::report::Outcome::Partial), L"partial");
}

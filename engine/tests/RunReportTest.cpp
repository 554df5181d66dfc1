// The run's report and its limits: pure parts.
#include <gtest/gtest.h>

#include "RunLimits.h"
#include "RunReport.h"
#include "StepKinds.h"
#include "StepJournal.h"

namespace {

engine::StepRecord Step(const wchar_t* what, DWORD ms, engine::Outcome outcome) {
    engine::StepRecord r;
    r.worker = 2;
    r.category = L"硬件";
    r.what = what;
    r.output = L"硬件/a.txt";
    r.start = SYSTEMTIME{2026, 12, 2, 8, 15, 47, 22, 5};
    r.durationMs = ms;
    r.outcome = outcome;
    return r;
}

engine::RunHeader Header() {
    engine::RunHeader h;
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
    std::vector<engine::StepRecord> records;
    for (DWORD i = 0; i < 12; ++i) records.push_back(Step(L"x", i * 10, engine::Outcome::Ok));
    records.push_back(Step(L"late", 5, engine::Outcome::TimedOut));
    records.push_back(Step(L"tie", 110, engine::Outcome::Skipped));  // as slow as step 11, ended later
    const engine::RunSummary summary = engine::Summarize(records);
    EXPECT_EQ(summary.counts[static_cast<int>(engine::Outcome::Ok)], 12);
    EXPECT_EQ(summary.counts[static_cast<int>(engine::Outcome::TimedOut)], 1);
    EXPECT_EQ(summary.counts[static_cast<int>(engine::Outcome::Skipped)], 1);
    ASSERT_EQ(summary.slowest.size(), 10u);
    EXPECT_EQ(summary.slowest[0], 11u);
    EXPECT_EQ(summary.slowest[1], 13u);
    EXPECT_EQ(summary.slowest[9], 3u);
}

TEST(RunReportTest, JsonEscapesWhatCommandLinesAndPathsHold) {
    EXPECT_EQ(engine::JsonString(L"a\"b\\c\r\n\t\x01 中"), "\"a\\\"b\\\\c\\r\\n\\t\\u0001 \xE4\xB8\xAD\"");
    std::vector<engine::StepRecord> records = {Step(L"wevtutil epl \"Microsoft-Windows-A/B\" \"C:\\x\\A%B.evtx\"", 7,
                                                    engine::Outcome::Failed)};
    records[0].exitCode = 5;
    records[0].reason = L"exit code 5";
    const std::string json = engine::ReportJson(Header(), records);
    EXPECT_NE(json.find("\"what\": \"wevtutil epl \\\"Microsoft-Windows-A/B\\\" \\\"C:\\\\x\\\\A%B.evtx\\\"\""),
              std::string::npos);
    EXPECT_NE(json.find("\"exit_code\": 5"), std::string::npos);
    EXPECT_NE(json.find("\"counts\": {\"ok\": 0, \"failed\": 1, \"timed-out\": 0, \"skipped\": 0, \"not-found\": 0, \"partial\": 0}"),
              std::string::npos);
    EXPECT_NE(json.find("\"switches\": [1, 0, 1, 1, 1, 1, 1, 1]"), std::string::npos);
    // No steps still gives a whole object.
    const std::string empty = engine::ReportJson(Header(), {});
    EXPECT_NE(empty.find("\"steps\": [],"), std::string::npos);
    EXPECT_EQ(empty.find("\"exit_code\""), std::string::npos);
}

TEST(RunReportTest, TextIsUtf8WithMarkAndCrLfOnly) {
    const std::string text = engine::ReportText(Header(), {Step(L"WMIC CPU LIST FULL", 1234, engine::Outcome::Ok)});
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '\n') {
            EXPECT_EQ(text[i - 1], '\r') << "bare line feed at " << i;
        }
    }
    EXPECT_NE(text.find("1.234 s"), std::string::npos);
    EXPECT_NE(text.find("Windows: 10.0 build 19045, 64-bit"), std::string::npos);
}

TEST(RunLimitsTest, BadValuesKeepTheDefaultAndAreNamed) {
    std::vector<std::wstring> problems;
    const engine::RunLimits limits = engine::ApplyLimitSettings(
        {{L"CommandSeconds", L"-5"},
         {L"RunSeconds", L"0"},
         {L"LongCommandSeconds", L"99999999"},
         {L"CommandSeconds", L"ten"},
         {L"RunSeconds", std::nullopt}},
        problems);
    const engine::RunLimits defaults;
    EXPECT_EQ(limits.commandMs, defaults.commandMs);
    EXPECT_EQ(limits.runMs, defaults.runMs);
    EXPECT_EQ(limits.longCommandMs, defaults.longCommandMs);
    EXPECT_EQ(problems, (std::vector<std::wstring>{L"CommandSeconds=\"-5\"", L"RunSeconds=\"0\"",
                                                   L"LongCommandSeconds=\"99999999\"", L"CommandSeconds=\"ten\""}));
    // A later setting (the host's option) wins over an earlier one (the settings file).
    problems.clear();
    const engine::RunLimits set =
        engine::ApplyLimitSettings({{L"CommandSeconds", L"30"}, {L"CommandSeconds", L" 5 "}, {L"RunSeconds", L"86400"}},
                                   problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(set.commandMs, 5000u);
    EXPECT_EQ(set.runMs, 86400000u);
}

TEST(RunLimitsTest, PoolSizeFromOneToSixtyFourOrPerWorkerElseTheDefault) {
    std::vector<std::wstring> problems;
    const engine::RunLimits limits = engine::ApplyLimitSettings(
        {{L"PoolSize", L"0"}, {L"PoolSize", L"-3"}, {L"PoolSize", L"4294967297"}, {L"PoolSize", L"65"}}, problems);
    EXPECT_EQ(limits.poolSize, engine::RunLimits::kDefaultPoolSize);
    EXPECT_EQ(problems.size(), 4u);
    EXPECT_EQ(problems[0], L"PoolSize=\"0\"");
    problems.clear();
    EXPECT_EQ(engine::ApplyLimitSettings({{L"PoolSize", L" 64 "}}, problems).poolSize, 64);
    EXPECT_EQ(engine::ApplyLimitSettings({{L"PoolSize", L"3"}, {L"PoolSize", L"PER-WORKER"}}, problems).poolSize,
              engine::RunLimits::kPerWorker);
    EXPECT_TRUE(problems.empty());
}

TEST(StepJournalTest, OutputsBecomeArchivePathsAndLimitsShrinkToTheRun) {
    EXPECT_EQ(engine::ArchiveRelative(L"C:\\p\\SystemInfoLog", L"C:\\P\\systeminfolog\\硬件\\a b.txt"), L"硬件/a b.txt");
    EXPECT_EQ(engine::ArchiveRelative(L"C:\\p\\SystemInfoLog\\", L"D:\\elsewhere.txt"), L"D:\\elsewhere.txt");
    EXPECT_EQ(engine::ArchiveRelative(L"C:\\p\\SystemInfoLog", L"C:\\p\\SystemInfoLogX\\a"), L"C:\\p\\SystemInfoLogX\\a");

    engine::StepJournal journal;
    engine::RunLimits limits;
    limits.commandMs = 60000;
    limits.longCommandMs = 120000;
    limits.runMs = 90000;
    journal.Begin(limits, L"C:\\w", nullptr, 3);
    EXPECT_EQ(journal.StepLimit(false), 60000u);
    EXPECT_LE(journal.StepLimit(true), 90000u);  // the run's end comes first
    EXPECT_GT(journal.StepLimit(true), 80000u);
    limits.runMs = 1;
    journal.Begin(limits, L"C:\\w", nullptr, 0);
    ::Sleep(20);
    EXPECT_EQ(journal.StepLimit(false), 0u);
    // Past the run's limit a step runs nothing: it and what would have followed it are skipped.
    engine::PlannedStep step;
    step.worker = 4;
    step.what = L"WMIC CPU LIST FULL";
    step.output = L"C:\\w\\硬件\\处理器.txt";
    step.program = L"no-such-tool.exe";
    engine::PlannedStep copy;
    copy.kind = engine::StepKind::Copy;
    copy.what = L"C:\\nowhere";
    copy.output = L"C:\\w\\系统更新日志\\WindowsUpdate.log";
    step.then.push_back(copy);
    engine::StepResult result = engine::RunPlannedStep(step, journal);
    EXPECT_TRUE(result.followUps.empty());
    for (engine::StepRecord& record : result.records) journal.Record(record.worker, std::move(record));
    const auto records = journal.Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].worker, 4);
    EXPECT_EQ(records[0].output, L"硬件/处理器.txt");
    EXPECT_EQ(records[0].category, L"硬件");
    EXPECT_EQ(records[0].outcome, engine::Outcome::Skipped);
    EXPECT_FALSE(records[0].exitCode.has_value());
    EXPECT_EQ(records[1].worker, 4);
    EXPECT_EQ(records[1].category, L"系统更新日志");
    EXPECT_EQ(records[1].outcome, engine::Outcome::Skipped);
}

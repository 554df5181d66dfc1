// The journal of a run's steps: where outputs go in the archive, and the time a step may still take.
#include <gtest/gtest.h>

#include "plan/StepPlan.h"
#include "run/StepJournal.h"
#include "run/Workers.h"
#include "testing/TestPrograms.h"

namespace {

TEST(StepJournalTest, OutputsBecomeArchivePathsAndLimitsShrinkToTheRun) {
    EXPECT_EQ(engine::run::ArchiveRelative(L"C:\\p\\SystemInfoLog", L"C:\\P\\systeminfolog\\硬件\\a b.txt"), L"硬件/a b.txt");
    EXPECT_EQ(engine::run::ArchiveRelative(L"C:\\p\\SystemInfoLog\\", L"D:\\elsewhere.txt"), L"D:\\elsewhere.txt");
    EXPECT_EQ(engine::run::ArchiveRelative(L"C:\\p\\SystemInfoLog", L"C:\\p\\SystemInfoLogX\\a"), L"C:\\p\\SystemInfoLogX\\a");

    engine::run::StepJournal journal;
    engine::run::RunLimits limits;
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
    engine::plan::PlannedStep step;
    step.worker = 4;
    step.what = L"WMIC CPU LIST FULL";
    step.output = L"C:\\w\\硬件\\处理器.txt";
    step.program = L"no-such-tool.exe";
    engine::plan::PlannedStep copy;
    copy.kind = engine::plan::StepKind::Copy;
    copy.what = L"C:\\nowhere";
    copy.output = L"C:\\w\\系统更新日志\\WindowsUpdate.log";
    step.then.push_back(copy);
    engine::run::StepResult result = engine::run::RunPlannedStep(step, journal, engine::testing::Launcher());
    EXPECT_TRUE(result.followUps.empty());
    for (engine::report::StepRecord& record : result.records) journal.Record(record.worker, std::move(record));
    const auto records = journal.Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].worker, 4);
    EXPECT_EQ(records[0].output, L"硬件/处理器.txt");
    EXPECT_EQ(records[0].category, L"硬件");
    EXPECT_EQ(records[0].outcome, engine::report::Outcome::Skipped);
    EXPECT_FALSE(records[0].exitCode.has_value());
    EXPECT_EQ(records[1].worker, 4);
    EXPECT_EQ(records[1].category, L"系统更新日志");
    EXPECT_EQ(records[1].outcome, engine::report::Outcome::Skipped);
}

}  // namespace

// Each planned step through the step kind that does it: what follows from a step, and when the
// step it follows started.
#include <gtest/gtest.h>

#include <windows.h>

#include "plan/StepPlan.h"
#include "run/RunLimits.h"
#include "run/StepJournal.h"
#include "run/Workers.h"
#include "testing/TempFolder.h"
#include "testing/TestPrograms.h"

namespace {

using engine::report::Outcome;
using util::testing::TempFolder;

unsigned long long Now() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

engine::plan::PlannedStep CopyStep(engine::plan::CopyKind kind, const std::wstring& source, const std::wstring& target) {
    engine::plan::PlannedStep step;
    step.kind = engine::plan::StepKind::Copy;
    step.worker = 2;
    step.copy = kind;
    step.what = source;
    step.output = target;
    return step;
}

TEST(WorkersTest, TheCopyAfterAToolIsToldWhenThatToolStartedEvenWhenItFailed) {
    TempFolder folder;
    engine::run::StepJournal journal;
    journal.Begin(engine::run::RunLimits(), folder.Path(), nullptr, 2);
    engine::plan::PlannedStep produce;
    produce.kind = engine::plan::StepKind::ToolRun;
    produce.worker = 2;
    produce.program = L"no-such-tool.exe";
    produce.what = L"no-such-tool";
    produce.then.push_back(CopyStep(engine::plan::CopyKind::UpdateLog, folder.Path() + L"\\WindowsUpdate.log",
                                    folder.Path() + L"\\copy.log"));
    const unsigned long long before = Now();
    const engine::run::StepResult result = engine::run::RunPlannedStep(produce, journal, engine::testing::Launcher());
    ASSERT_EQ(result.records.size(), 1u);
    EXPECT_EQ(result.records[0].outcome, Outcome::Failed);
    ASSERT_EQ(result.followUps.size(), 1u);
    EXPECT_GE(result.followUps[0].producerStart, before);
    EXPECT_LE(result.followUps[0].producerStart, Now());
}

}  // namespace

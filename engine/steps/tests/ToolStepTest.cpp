// Tool steps: a missing tool leaves a report that says so, and a tool's exit code decides.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "report/StepRecord.h"
#include "steps/ToolStep.h"
#include "testing/TempFolder.h"
#include "testing/TestPrograms.h"

namespace {

using engine::report::Outcome;

TEST(ToolStepTest, AMissingToolLeavesAOneLineReportAndIsNotFound) {
    util::testing::TempFolder folder;
    const std::wstring report = folder.Path() + L"\\处理器.txt";
    const engine::report::StepRecord record = engine::steps::RunToolReport(
        engine::testing::Launcher(), {L"no-such-tool.exe", L"no-such-tool list", report}, 60000);
    EXPECT_EQ(record.outcome, Outcome::NotFound);
    EXPECT_EQ(record.output, report);
    EXPECT_FALSE(record.exitCode.has_value());
    std::ifstream in(report.c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, engine::steps::MissingToolText(engine::steps::ToolPath(L"no-such-tool.exe")));
    EXPECT_EQ(record.bytes, bytes.size());
    EXPECT_EQ(bytes.compare(0, 3, "\xEF\xBB\xBF"), 0);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

TEST(ToolStepTest, AnExitCodeOtherThanZeroFailsTheStepAndIsKept) {
    const engine::report::StepRecord failed =
        engine::steps::RunToolStep(engine::testing::Launcher(), engine::testing::TestProgram(), L"ChunkWriter both", 60000);
    EXPECT_EQ(failed.outcome, Outcome::Failed);
    EXPECT_EQ(failed.exitCode, 3u);
    EXPECT_EQ(failed.reason, L"exit code 3");
    const engine::report::StepRecord ok =
        engine::steps::RunToolStep(engine::testing::Launcher(), engine::testing::TestProgram(), L"ChunkWriter args", 60000);
    EXPECT_EQ(ok.outcome, Outcome::Ok);
    EXPECT_EQ(ok.exitCode, 0u);
    EXPECT_TRUE(ok.reason.empty());
}

}  // namespace

// The records of copy steps: what was left out is named, and an update log older than the step
// that writes it is never taken for this run's.
#include <gtest/gtest.h>

#include <fstream>

#include "FileSystem.h"
#include "RunLimits.h"
#include "StepJournal.h"
#include "StepKinds.h"
#include "TempFolder.h"
#include "UniqueHandle.h"

namespace {

using engine::Outcome;
using skelda::testing::TempFolder;

void MakeFile(const std::wstring& path, const char* content = "x") {
    std::ofstream(path.c_str(), std::ios::binary) << content;
}

// Holds a file open without sharing, as the servicing stack holds CBS.log.
skelda::UniqueHandle Hold(const std::wstring& path) {
    return skelda::UniqueHandle(
        ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

unsigned long long Ticks(const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

unsigned long long Now() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return Ticks(now);
}

void SetLastWrite(const std::wstring& path, unsigned long long ticks) {
    skelda::UniqueHandle file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    ASSERT_TRUE(::SetFileTime(file.Get(), nullptr, nullptr, &time));
}

engine::PlannedStep CopyStep(engine::CopyKind kind, const std::wstring& source, const std::wstring& target) {
    engine::PlannedStep step;
    step.kind = engine::StepKind::Copy;
    step.worker = 2;
    step.copy = kind;
    step.what = source;
    step.output = target;
    return step;
}

constexpr unsigned long long kSecond = 10000000ULL;

TEST(CopyStepTest, AFolderCopyThatLeftFilesOutIsPartialAndNamesEachWithItsError) {
    TempFolder source;
    TempFolder target;
    MakeFile(source.Path() + L"\\CBS.log", "held");
    MakeFile(source.Path() + L"\\CbsPersist_1.log", "free");
    ::CreateDirectoryW((source.Path() + L"\\sub").c_str(), nullptr);
    MakeFile(source.Path() + L"\\sub\\held too.log", "held");
    skelda::UniqueHandle held = Hold(source.Path() + L"\\CBS.log");
    skelda::UniqueHandle heldToo = Hold(source.Path() + L"\\sub\\held too.log");
    ASSERT_TRUE(held && heldToo);

    const engine::StepRecord record =
        engine::RunCopyStep(CopyStep(engine::CopyKind::CbsFolder, source.Path(), target.Path()));
    EXPECT_EQ(record.outcome, Outcome::Partial);
    EXPECT_NE(record.reason.find(source.Path() + L"\\CBS.log (error 32)"), std::wstring::npos) << record.reason;
    EXPECT_NE(record.reason.find(source.Path() + L"\\sub\\held too.log (error 32)"), std::wstring::npos)
        << record.reason;
    EXPECT_EQ(record.reason.find(L"CbsPersist_1.log"), std::wstring::npos) << "only what was left out is named";
    EXPECT_TRUE(skelda::PathExists(target.Path() + L"\\CbsPersist_1.log"));
    EXPECT_FALSE(skelda::PathExists(target.Path() + L"\\CBS.log"));
    EXPECT_EQ(record.bytes, 4u);
    EXPECT_STREQ(engine::OutcomeName(record.outcome), L"partial");
}

TEST(CopyStepTest, NothingCopiedIsAFailureThatCarriesTheSystemsError) {
    TempFolder source;
    TempFolder target;
    MakeFile(source.Path() + L"\\setupapi.dev.log");
    skelda::UniqueHandle held = Hold(source.Path() + L"\\setupapi.dev.log");
    ASSERT_TRUE(held);
    engine::StepRecord record =
        engine::RunCopyStep(CopyStep(engine::CopyKind::SetupApiLogs, source.Path(), target.Path()));
    EXPECT_EQ(record.outcome, Outcome::Failed);
    EXPECT_EQ(record.reason, L"nothing could be copied: " + source.Path() + L"\\setupapi.dev.log (error 32)");

    // The single update log: its own error, not one left behind by the tool log's writing.
    MakeFile(source.Path() + L"\\WindowsUpdate.log");
    skelda::UniqueHandle log = Hold(source.Path() + L"\\WindowsUpdate.log");
    record = engine::RunCopyStep(
        CopyStep(engine::CopyKind::UpdateLog, source.Path() + L"\\WindowsUpdate.log", target.Path() + L"\\u.log"));
    EXPECT_EQ(record.outcome, Outcome::Failed);
    EXPECT_EQ(record.reason, L"nothing could be copied: " + source.Path() + L"\\WindowsUpdate.log (error 32)");

    record = engine::RunCopyStep(
        CopyStep(engine::CopyKind::UpdateLog, source.Path() + L"\\missing.log", target.Path() + L"\\u.log"));
    EXPECT_EQ(record.outcome, Outcome::NotFound);
}

TEST(CopyStepTest, AnUpdateLogWrittenBeforeItsExportStartedIsNotCopied) {
    TempFolder desktop;
    TempFolder target;
    const std::wstring log = desktop.Path() + L"\\WindowsUpdate.log";
    MakeFile(log, "an earlier run's log");
    const unsigned long long exportStart = Now();
    SetLastWrite(log, exportStart - 3600 * kSecond);

    engine::PlannedStep step = CopyStep(engine::CopyKind::UpdateLog, log, target.Path() + L"\\WindowsUpdate.log");
    step.producerStart = exportStart;
    const engine::StepRecord record = engine::RunCopyStep(step);
    EXPECT_EQ(record.outcome, Outcome::Failed);
    EXPECT_NE(record.reason.find(L"from before this run"), std::wstring::npos) << record.reason;
    EXPECT_FALSE(skelda::PathExists(step.output));
    EXPECT_EQ(record.bytes, 0u);
    EXPECT_TRUE(skelda::PathExists(log)) << "the user's file stays where it is";

    // Written after the export started (or within the two seconds FAT rounds away): this run's.
    for (const unsigned long long written : {exportStart + kSecond, exportStart - kSecond}) {
        SetLastWrite(log, written);
        EXPECT_EQ(engine::RunCopyStep(step).outcome, Outcome::Ok);
        EXPECT_TRUE(skelda::PathExists(step.output));
        ::DeleteFileW(step.output.c_str());
    }

    // A copy that follows no step (the Windows folder's log before Windows 10) takes any age.
    SetLastWrite(log, exportStart - 3600 * kSecond);
    step.producerStart = 0;
    EXPECT_EQ(engine::RunCopyStep(step).outcome, Outcome::Ok);
}

TEST(CopyStepTest, TheCopyAfterAToolIsToldWhenThatToolStartedEvenWhenItFailed) {
    TempFolder folder;
    engine::StepJournal journal;
    journal.Begin(engine::RunLimits(), folder.Path(), nullptr, 2);
    engine::PlannedStep produce;
    produce.kind = engine::StepKind::ToolRun;
    produce.worker = 2;
    produce.program = L"no-such-tool.exe";
    produce.what = L"no-such-tool";
    produce.then.push_back(CopyStep(engine::CopyKind::UpdateLog, folder.Path() + L"\\WindowsUpdate.log",
                                    folder.Path() + L"\\copy.log"));
    const unsigned long long before = Now();
    const engine::StepResult result = engine::RunPlannedStep(produce, journal);
    ASSERT_EQ(result.records.size(), 1u);
    EXPECT_EQ(result.records[0].outcome, Outcome::Failed);
    ASSERT_EQ(result.followUps.size(), 1u);
    EXPECT_GE(result.followUps[0].producerStart, before);
    EXPECT_LE(result.followUps[0].producerStart, Now());
}

}  // namespace

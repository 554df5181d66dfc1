// The records of copy steps: what was left out is named, and an update log older than the step
// that writes it is never taken for this run's.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "files/FileSystem.h"
#include "plan/StepPlan.h"
#include "steps/CopyStep.h"
#include "testing/TempFolder.h"
#include "win/UniqueHandle.h"

namespace {

using engine::report::Outcome;
using util::testing::TempFolder;

void MakeFile(const std::wstring& path, const char* content = "x") {
    std::ofstream(path.c_str(), std::ios::binary) << content;
}

// Holds a file open without sharing, as the servicing stack holds CBS.log.
util::win::UniqueHandle Hold(const std::wstring& path) {
    return util::win::UniqueHandle(
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
    util::win::UniqueHandle file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    ASSERT_TRUE(::SetFileTime(file.Get(), nullptr, nullptr, &time));
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

constexpr unsigned long long kSecond = 10000000ULL;

TEST(CopyStepTest, AFolderCopyThatLeftFilesOutIsPartialAndNamesEachWithItsError) {
    TempFolder source;
    TempFolder target;
    MakeFile(source.Path() + L"\\CBS.log", "held");
    MakeFile(source.Path() + L"\\CbsPersist_1.log", "free");
    ::CreateDirectoryW((source.Path() + L"\\sub").c_str(), nullptr);
    MakeFile(source.Path() + L"\\sub\\held too.log", "held");
    util::win::UniqueHandle held = Hold(source.Path() + L"\\CBS.log");
    util::win::UniqueHandle heldToo = Hold(source.Path() + L"\\sub\\held too.log");
    ASSERT_TRUE(held && heldToo);

    const engine::report::StepRecord record =
        engine::steps::RunCopyStep(CopyStep(engine::plan::CopyKind::CbsFolder, source.Path(), target.Path()));
    EXPECT_EQ(record.outcome, Outcome::Partial);
    EXPECT_NE(record.reason.find(source.Path() + L"\\CBS.log (error 32)"), std::wstring::npos) << record.reason;
    EXPECT_NE(record.reason.find(source.Path() + L"\\sub\\held too.log (error 32)"), std::wstring::npos)
        << record.reason;
    EXPECT_EQ(record.reason.find(L"CbsPersist_1.log"), std::wstring::npos) << "only what was left out is named";
    EXPECT_TRUE(util::files::PathExists(target.Path() + L"\\CbsPersist_1.log"));
    EXPECT_FALSE(util::files::PathExists(target.Path() + L"\\CBS.log"));
    EXPECT_EQ(record.bytes, 4u);
    EXPECT_STREQ(engine::report::OutcomeName(record.outcome), L"partial");
}

TEST(CopyStepTest, NothingCopiedIsAFailureThatCarriesTheSystemsError) {
    TempFolder source;
    TempFolder target;
    MakeFile(source.Path() + L"\\setupapi.dev.log");
    util::win::UniqueHandle held = Hold(source.Path() + L"\\setupapi.dev.log");
    ASSERT_TRUE(held);
    engine::report::StepRecord record =
        engine::steps::RunCopyStep(CopyStep(engine::plan::CopyKind::SetupApiLogs, source.Path(), target.Path()));
    EXPECT_EQ(record.outcome, Outcome::Failed);
    EXPECT_EQ(record.reason, L"nothing could be copied: " + source.Path() + L"\\setupapi.dev.log (error 32)");

    // The single update log: its own error, not one left behind by the tool log's writing.
    MakeFile(source.Path() + L"\\WindowsUpdate.log");
    util::win::UniqueHandle log = Hold(source.Path() + L"\\WindowsUpdate.log");
    record = engine::steps::RunCopyStep(
        CopyStep(engine::plan::CopyKind::UpdateLog, source.Path() + L"\\WindowsUpdate.log", target.Path() + L"\\u.log"));
    EXPECT_EQ(record.outcome, Outcome::Failed);
    EXPECT_EQ(record.reason, L"nothing could be copied: " + source.Path() + L"\\WindowsUpdate.log (error 32)");

    record = engine::steps::RunCopyStep(
        CopyStep(engine::plan::CopyKind::UpdateLog, source.Path() + L"\\missing.log", target.Path() + L"\\u.log"));
    EXPECT_EQ(record.outcome, Outcome::NotFound);
}

TEST(CopyStepTest, AnUpdateLogWrittenBeforeItsExportStartedIsNotCopied) {
    TempFolder desktop;
    TempFolder target;
    const std::wstring log = desktop.Path() + L"\\WindowsUpdate.log";
    MakeFile(log, "an earlier run's log");
    const unsigned long long exportStart = Now();
    SetLastWrite(log, exportStart - 3600 * kSecond);

    engine::plan::PlannedStep step = CopyStep(engine::plan::CopyKind::UpdateLog, log, target.Path() + L"\\WindowsUpdate.log");
    step.producerStart = exportStart;
    const engine::report::StepRecord record = engine::steps::RunCopyStep(step);
    EXPECT_EQ(record.outcome, Outcome::Failed);
    EXPECT_NE(record.reason.find(L"from before this run"), std::wstring::npos) << record.reason;
    EXPECT_FALSE(util::files::PathExists(step.output));
    EXPECT_EQ(record.bytes, 0u);
    EXPECT_TRUE(util::files::PathExists(log)) << "the user's file stays where it is";

    // Written after the export started (or within the two seconds FAT rounds away): this run's.
    for (const unsigned long long written : {exportStart + kSecond, exportStart - kSecond}) {
        SetLastWrite(log, written);
        EXPECT_EQ(engine::steps::RunCopyStep(step).outcome, Outcome::Ok);
        EXPECT_TRUE(util::files::PathExists(step.output));
        ::DeleteFileW(step.output.c_str());
    }

    // A copy that follows no step (the Windows folder's log before Windows 10) takes any age.
    SetLastWrite(log, exportStart - 3600 * kSecond);
    step.producerStart = 0;
    EXPECT_EQ(engine::steps::RunCopyStep(step).outcome, Outcome::Ok);
}

TEST(CopyStepTest, AnUpdateLogWrittenIntoTheWorkingFolderIsCheckedWhereItIs) {
    TempFolder work;
    const std::wstring log = work.Path() + L"\\WindowsUpdate.log";
    engine::plan::PlannedStep step = CopyStep(engine::plan::CopyKind::UpdateLog, log, log);
    step.producerStart = Now();
    // The tool ended without writing: its step is what failed, not the system lacking a log.
    const engine::report::StepRecord missing = engine::steps::RunCopyStep(step);
    EXPECT_EQ(missing.outcome, Outcome::Failed);
    EXPECT_EQ(missing.reason, L"the tool that writes it wrote nothing");

    MakeFile(log, "this run's log");
    const engine::report::StepRecord written = engine::steps::RunCopyStep(step);
    EXPECT_EQ(written.outcome, Outcome::Ok) << written.reason;
    EXPECT_EQ(written.bytes, 14u);
    std::ifstream in(log.c_str(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "this run's log") << "not copied onto itself";
}

bool IsFolder(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(CopyStepTest, CopiesTheTreeAndCreatesEmptySubFolders) {
    TempFolder source;
    TempFolder target;
    MakeFile(source.Path() + L"\\CBS.log", "cbs");
    ::CreateDirectoryW((source.Path() + L"\\sub").c_str(), nullptr);
    MakeFile(source.Path() + L"\\sub\\中文.log");
    ::CreateDirectoryW((source.Path() + L"\\sub\\empty").c_str(), nullptr);
    EXPECT_TRUE(engine::steps::CopyFolder(source.Path(), target.Path(), false));
    EXPECT_TRUE(util::files::PathExists(target.Path() + L"\\CBS.log"));
    EXPECT_TRUE(util::files::PathExists(target.Path() + L"\\sub\\中文.log"));
    EXPECT_TRUE(IsFolder(target.Path() + L"\\sub\\empty"));
    // Copied again over the first copy: overwriting is allowed, refusing makes it fail.
    EXPECT_TRUE(engine::steps::CopyFolder(source.Path() + L"\\", target.Path() + L"\\", false));
    EXPECT_FALSE(engine::steps::CopyFolder(source.Path(), target.Path(), true));
}

TEST(CopyStepTest, NothingToCopyIsAFailure) {
    TempFolder source;
    TempFolder target;
    EXPECT_FALSE(engine::steps::CopyFolder(source.Path(), target.Path(), false));
    EXPECT_FALSE(engine::steps::CopyFolder(L"", target.Path(), false));
    EXPECT_FALSE(engine::steps::CopyFolder(source.Path() + L"\\missing", target.Path(), false));
}

TEST(CopyStepTest, SetupApiLogsOnly) {
    TempFolder source;
    TempFolder target;
    MakeFile(source.Path() + L"\\setupapi.dev.log");
    MakeFile(source.Path() + L"\\setupapi.app.log");
    MakeFile(source.Path() + L"\\setupapi.dev.txt");
    MakeFile(source.Path() + L"\\other.log");
    EXPECT_TRUE(engine::steps::CopySetupApiLogs(source.Path(), target.Path(), false));
    EXPECT_TRUE(util::files::PathExists(target.Path() + L"\\setupapi.dev.log"));
    EXPECT_TRUE(util::files::PathExists(target.Path() + L"\\setupapi.app.log"));
    EXPECT_FALSE(util::files::PathExists(target.Path() + L"\\setupapi.dev.txt"));
    EXPECT_FALSE(util::files::PathExists(target.Path() + L"\\other.log"));

    TempFolder none;
    MakeFile(none.Path() + L"\\other.log");
    EXPECT_FALSE(engine::steps::CopySetupApiLogs(none.Path(), target.Path(), false));
}

// A copy is bounded as a command is: by the room on the working volume and by its limit. What
// it had to leave out is named, and what arrived stays.
TEST(CopyStepTest, ACopyThatWouldNotFitOrPassesItsLimitIsPartialAndNamesWhatItLeftOut) {
    TempFolder source;
    MakeFile(source.Path() + L"\\small.log", "0123456789");
    MakeFile(source.Path() + L"\\large.log", std::string(1000, 'x').c_str());

    TempFolder roomy;
    auto cramped = CopyStep(engine::plan::CopyKind::CbsFolder, source.Path(), roomy.Path() + L"\\CBS日志");
    ASSERT_TRUE(::CreateDirectoryW(cramped.output.c_str(), nullptr));
    engine::steps::CopyBounds room;
    room.freeBytes = [](const std::wstring&) { return engine::steps::CopyBounds::kMarginBytes + 100; };
    const engine::report::StepRecord fitted = engine::steps::RunCopyStep(cramped, room);
    EXPECT_EQ(fitted.outcome, Outcome::Partial);
    EXPECT_NE(fitted.reason.find(L"no room on the working volume for: " + source.Path() + L"\\large.log (1000 bytes)"),
              std::wstring::npos)
        << fitted.reason;
    EXPECT_TRUE(util::files::PathExists(cramped.output + L"\\small.log"));
    EXPECT_FALSE(util::files::PathExists(cramped.output + L"\\large.log"));

    // The clock passes the limit as the second file is begun: that one and the third are left
    // out (the limit, once passed, stays passed), the first stays.
    MakeFile(source.Path() + L"\\third.log", "3");
    TempFolder slow;
    auto stalled = CopyStep(engine::plan::CopyKind::CbsFolder, source.Path(), slow.Path() + L"\\CBS日志");
    ASSERT_TRUE(::CreateDirectoryW(stalled.output.c_str(), nullptr));
    engine::steps::CopyBounds time;
    time.limitMs = 5000;
    time.clock = [&stalled]() -> ULONGLONG {
        int begun = 0;
        for (const wchar_t* name : {L"\\small.log", L"\\large.log", L"\\third.log"})
            begun += util::files::PathExists(stalled.output + name);
        return begun >= 2 ? 60000 : 0;
    };
    const engine::report::StepRecord stopped = engine::steps::RunCopyStep(stalled, time);
    EXPECT_EQ(stopped.outcome, Outcome::Partial);
    EXPECT_NE(stopped.reason.find(L"stopped at its limit of 5 s, left out: "), std::wstring::npos) << stopped.reason;
    int arrived = 0, named = 0;
    for (const wchar_t* name : {L"\\small.log", L"\\large.log", L"\\third.log"}) {
        arrived += util::files::PathExists(stalled.output + name);
        named += stopped.reason.find(source.Path() + name) != std::wstring::npos;
    }
    EXPECT_EQ(arrived, 1);
    EXPECT_EQ(named, 2) << stopped.reason;
}

}  // namespace

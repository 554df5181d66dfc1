#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "ChunkPattern.h"
#include "CommandLine.h"
#include "CollectionRun.h"
#include "CommandRunner.h"
#include "FileSystem.h"
#include "HandleFiles.h"
#include "TempFolder.h"
#include "SystemPaths.h"
#include "ToolReports.h"
#include "WideText.h"

namespace {

using skelda::Quoted;
using skelda::testing::TempFolder;

std::wstring TestProgram() { return engine::GetModuleFolder() + L"ChunkWriter.exe"; }

// The test program's output, as the engine captures it.
int Capture(const std::wstring& program, const std::wstring& arguments, std::wstring& output) {
    return engine::RunProgramCapture(program, L"ChunkWriter " + arguments, output);
}

TEST(CommandRunnerTest, CaptureEqualsTheWholeOutputHoweverTheReadsFall) {
    ASSERT_EQ(::GetACP(), 936u) << "the test prefix runs with the Chinese code page";
    std::wstring output = L"kept:";
    ASSERT_EQ(Capture(TestProgram(), L"chunks", output), 1);
    const std::wstring expected = L"kept:" + skelda::Widen(chunkpattern::Bytes(), 936);
    ASSERT_EQ(output.size(), expected.size());
    EXPECT_TRUE(output == expected);

    output = L"before";
    EXPECT_EQ(Capture(TestProgram(), L"args", output), 1);
    EXPECT_EQ(output, L"before") << "a program that writes nothing leaves the output alone";
}

TEST(CommandRunnerTest, QuotesBlanksAmpersandsAndParenthesesReachTheProgramUnchanged) {
    TempFolder folder(L" a&b (c) 中文");
    const std::wstring copy = folder.Path() + L"\\ChunkWriter.exe";
    ASSERT_TRUE(::CopyFileW(TestProgram().c_str(), copy.c_str(), FALSE));
    std::wstring output;
    ASSERT_EQ(Capture(copy, L"args \"x & y\" (z) %PATH% \"\"", output), 1);
    EXPECT_EQ(output, L"[x & y]\r\n[(z)]\r\n[%PATH%]\r\n[]\r\n");
}

TEST(CommandRunnerTest, StreamsKeepErrorTextOutOfTheOutputAndBothPipesAreDrained) {
    std::string output;
    std::wstring errors;
    DWORD exitCode = 0;
    ASSERT_EQ(engine::RunProgramStreams(TestProgram(), L"ChunkWriter both",
                                        [&output](const char* data, size_t size) { output.append(data, size); },
                                        errors, exitCode),
              1);
    EXPECT_EQ(exitCode, 3u);
    std::string expected;
    for (int i = 0; i < 200; ++i) expected += "out " + std::to_string(i) + "\n";
    EXPECT_EQ(output, expected);
    // 200000 bytes of error text, far more than a pipe holds: the first part is kept.
    EXPECT_EQ(errors, std::wstring(engine::kMaxErrorBytes, L'e'));
}

TEST(CommandRunnerTest, ChildrenStartInTheSystemFolderAndNeverReadTheHostsInput) {
    // Our own input is a pipe that never ends: a child that read it would wait for ever.
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(::CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    HANDLE oldInput = ::GetStdHandle(STD_INPUT_HANDLE);
    ::SetStdHandle(STD_INPUT_HANDLE, readEnd);

    std::wstring folder;
    EXPECT_EQ(Capture(TestProgram(), L"cwd", folder), 1);
    std::wstring readBack;
    EXPECT_EQ(Capture(TestProgram(), L"read", readBack), 1);
    DWORD exitCode = 1;
    EXPECT_EQ(engine::RunProgram(TestProgram(), L"ChunkWriter read", exitCode), 1);

    ::SetStdHandle(STD_INPUT_HANDLE, oldInput);
    ::CloseHandle(readEnd);
    ::CloseHandle(writeEnd);
    EXPECT_EQ(readBack, L"read 0\r\n");
    EXPECT_EQ(exitCode, 0u);
    const std::wstring expected = skelda::SystemFolder() + L"\r\n";
    EXPECT_EQ(::CompareStringOrdinal(folder.c_str(), -1, expected.c_str(), -1, TRUE), CSTR_EQUAL);
}

TEST(CommandRunnerTest, CapturesEndWhileOtherChildrenStartedMeanwhileStillRun) {
    // Children start from many threads at once, with no lock around their creation: one
    // that inherited another's capture pipe would hold that capture open until it ended.
    TempFolder folder;
    const std::wstring release = folder.Path() + L"\\release";
    std::atomic<int> waitersEnded{0};
    std::vector<std::thread> waiters;
    std::atomic<int> captures{0};
    std::thread capturing([&] {
        for (int i = 0; i < 12; ++i) {
            std::wstring output;
            Capture(TestProgram(), L"args " + std::to_wstring(i), output);
            if (output == L"[" + std::to_wstring(i) + L"]\r\n") ++captures;
        }
    });
    for (int i = 0; i < 12; ++i) {
        waiters.emplace_back([&] {
            DWORD code = 0;
            engine::RunProgram(TestProgram(), L"ChunkWriter wait " + Quoted(release), code);
            ++waitersEnded;
        });
        ::Sleep(20);
    }
    for (int i = 0; i < 600 && captures < 12; ++i) ::Sleep(100);
    EXPECT_EQ(captures, 12) << "a capture waited for an unrelated child";
    EXPECT_EQ(waitersEnded, 0) << "a waiting child ended before it was released";

    ::CloseHandle(::CreateFileW(release.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    capturing.join();
    for (std::thread& waiter : waiters) waiter.join();
    EXPECT_EQ(waitersEnded, 12);
}

// Children started while it lives get no job of their own, as where the system refuses one.
class JobsRefused {
public:
    JobsRefused() { engine::RefuseChildJobs(true); }
    ~JobsRefused() { engine::RefuseChildJobs(false); }
    JobsRefused(const JobsRefused&) = delete;
    JobsRefused& operator=(const JobsRefused&) = delete;
};

// A child that ends at once and leaves a grandchild holding the capture pipe: the capture ends
// at the child's limit, with or without a job.
void CaptureWithGrandchildHoldingThePipe(bool withJob) {
    TempFolder folder;
    const std::wstring release = folder.Path() + L"\\release";
    engine::ChildRun run;
    run.limitMs = 2000;
    std::wstring output;
    const ULONGLONG before = ::GetTickCount64();
    EXPECT_EQ(engine::RunProgramCapture(TestProgram(), L"ChunkWriter grandchild " + Quoted(release), output, &run), 1);
    const ULONGLONG took = ::GetTickCount64() - before;
    ::CloseHandle(::CreateFileW(release.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_EQ(output, L"started\r\n");
    EXPECT_TRUE(run.timedOut);
    EXPECT_GE(took, 1900u);
    EXPECT_LT(took, 6000u) << "the capture waited past the limit for a grandchild";
    EXPECT_EQ(run.withoutJob, !withJob);
    EXPECT_FALSE(run.endUnconfirmed);
    ::Sleep(300);  // the released grandchild ends before its folder goes
}

TEST(CommandRunnerTest, AGrandchildHoldingThePipeIsEndedWithItsJobAtTheLimit) {
    CaptureWithGrandchildHoldingThePipe(true);
}

TEST(CommandRunnerTest, WithoutAJobTheReadingIsGivenUpAtTheLimitAndTheReasonSaysWhatMayRemain) {
    JobsRefused refused;
    CaptureWithGrandchildHoldingThePipe(false);

    // A tool that ran without a job says so, whatever its outcome; one ended at its limit says
    // that what it started may still run.
    engine::ChildRun run;
    run.limitMs = 1000;
    DWORD exitCode = 0;
    TempFolder folder;
    const std::wstring never = folder.Path() + L"\\never";
    ASSERT_EQ(engine::RunProgram(TestProgram(), L"ChunkWriter wait " + Quoted(never), exitCode, &run), 1);
    EXPECT_TRUE(run.timedOut);
    EXPECT_TRUE(run.withoutJob);
    EXPECT_EQ(run.jobError, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(exitCode, engine::kTimedOutExitCode);
    engine::StepRecord record;
    engine::SetToolOutcome(record, true, exitCode, run);
    EXPECT_EQ(record.outcome, engine::Outcome::TimedOut);
    EXPECT_EQ(record.reason, L"ended after its limit of 1 s; it had no job of its own (error 5), so what it "
                             L"started may still run");

    engine::ChildRun quick;
    quick.limitMs = 30000;
    ASSERT_EQ(engine::RunProgram(TestProgram(), L"ChunkWriter args", exitCode, &quick), 1);
    engine::StepRecord ok;
    engine::SetToolOutcome(ok, true, exitCode, quick);
    EXPECT_EQ(ok.outcome, engine::Outcome::Ok);
    EXPECT_EQ(ok.reason, L"ran without a job: it had no job of its own (error 5)");
}

TEST(CommandRunnerTest, ACommandLineTooLongIsRefusedWithItsOwnReason) {
    engine::ChildRun run;
    DWORD exitCode = 0;
    ::SetLastError(ERROR_ALREADY_EXISTS);  // what a tool-log write may leave behind
    EXPECT_EQ(engine::RunProgram(TestProgram(), L"ChunkWriter args " + std::wstring(40000, L'x'), exitCode, &run), 0);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_EQ(engine::StartFailureReason(run),
              L"could not be started (error 206): its command line has 40017 characters, more than the 32766 "
              L"Windows takes");
}

TEST(CommandRunnerTest, RemovalTakesEverythingAndToleratesAMissingFolder) {
    TempFolder parent;
    const std::wstring target = parent.Path() + L"\\x & (y) 中";
    ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((target + L"\\sub").c_str(), nullptr));
    ::CloseHandle(::CreateFileW((target + L"\\sub\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                nullptr));
    EXPECT_TRUE(skelda::RemoveNoFollow(target));
    EXPECT_EQ(::GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(skelda::RemoveNoFollow(target));
    EXPECT_EQ(::GetFileAttributesW(parent.Path().c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

TEST(CommandRunnerTest, ModuleFolderAndWow64) {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring expected(self);
    expected.erase(expected.rfind(L'\\') + 1);
    EXPECT_EQ(engine::GetModuleFolder(), expected);

    const char* kind = std::getenv("SKELDA_PREFIX_KIND");
    ASSERT_NE(kind, nullptr);
    const bool windows64 = std::string(kind) == "win64";
    EXPECT_EQ(skelda::IsWow64(), windows64 && sizeof(void*) == 4);
    EXPECT_EQ(skelda::Is64BitWindows(), windows64);
}

}  // namespace

TEST(CommandRunnerTest, AMissingProgramFailsAtOnceWithItsReason) {
    DWORD exitCode = 0;
    const DWORD before = ::GetTickCount();
    EXPECT_EQ(engine::RunProgram(skelda::SystemFolder() + L"\\no-such-tool.exe", L"no-such-tool", exitCode), 0);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_LT(::GetTickCount() - before, 1000u) << "a lasting failure is not tried again";
    EXPECT_FALSE(engine::IsTransientStartError(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(engine::IsTransientStartError(ERROR_BAD_EXE_FORMAT));
    EXPECT_FALSE(engine::IsTransientStartError(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(engine::IsTransientStartError(ERROR_INTERNAL_ERROR));  // a busy moment
    EXPECT_TRUE(engine::IsTransientStartError(ERROR_NOT_ENOUGH_MEMORY));
}

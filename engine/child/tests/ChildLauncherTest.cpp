// The child launcher: what reaches a child and what comes back, how children started from many
// threads stay apart, and how a limit ends a child's whole tree.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "child/ChildLauncher.h"
#include "report/StepRecord.h"
#include "steps/ToolStep.h"
#include "testing/ChunkPattern.h"
#include "testing/TempFolder.h"
#include "testing/TestPrograms.h"
#include "text/CommandLine.h"
#include "text/WideText.h"
#include "win/SystemPaths.h"

namespace {

using engine::child::ChildResult;
using engine::testing::Capture;
using engine::testing::RunQuietly;
using engine::testing::TestProgram;
using util::testing::TempFolder;
using util::text::Quoted;

// A limit that no healthy child comes near, and the most a limit may be overrun by before a test
// calls the wait unbounded: the test machine may be slow and loaded, but never by that much.
constexpr DWORD kGenerousMs = 30000;

void Release(const std::wstring& path) {
    ::CloseHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

TEST(ChildLauncherTest, CaptureEqualsTheWholeOutputHoweverTheReadsFall) {
    ASSERT_EQ(::GetACP(), 936u) << "the test prefix runs with the Chinese code page";
    const ChildResult chunks = Capture(TestProgram(), L"ChunkWriter chunks");
    ASSERT_TRUE(chunks.started);
    const std::wstring expected = util::text::Widen(chunkpattern::Bytes(), 936);
    ASSERT_EQ(chunks.output.size(), expected.size());
    EXPECT_TRUE(chunks.output == expected);

    const ChildResult silent = Capture(TestProgram(), L"ChunkWriter args");
    EXPECT_TRUE(silent.started);
    EXPECT_EQ(silent.output, L"") << "a program that writes nothing captures nothing";
}

TEST(ChildLauncherTest, QuotesBlanksAmpersandsAndParenthesesReachTheProgramUnchanged) {
    TempFolder folder(L" a&b (c) 中文");
    const std::wstring copy = folder.Path() + L"\\ChunkWriter.exe";
    ASSERT_TRUE(::CopyFileW(TestProgram().c_str(), copy.c_str(), FALSE));
    const ChildResult result = Capture(copy, L"ChunkWriter args \"x & y\" (z) %PATH% \"\"");
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.output, L"[x & y]\r\n[(z)]\r\n[%PATH%]\r\n[]\r\n");
}

TEST(ChildLauncherTest, ErrorTextKeptApartStaysOutOfTheOutputAndBothPipesAreDrained) {
    std::string output;
    engine::child::ChildSpec spec;
    spec.program = TestProgram();
    spec.commandLine = L"ChunkWriter both";
    spec.output = engine::child::Output::Stream;
    spec.sink = [&output](const char* data, size_t size) { output.append(data, size); };
    spec.errors = engine::child::Errors::Apart;
    const ChildResult result = engine::testing::Launcher().Run(spec);
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, 3u);
    std::string expected;
    for (int i = 0; i < 200; ++i) expected += "out " + std::to_string(i) + "\n";
    EXPECT_EQ(output, expected);
    // 200000 bytes of error text, far more than a pipe holds: the first part is kept.
    EXPECT_EQ(result.errors, std::wstring(engine::child::kMaxErrorBytes, L'e'));
}

TEST(ChildLauncherTest, OutputIntoAFileIsTheBytesAsWritten) {
    TempFolder folder(L" 报告");
    engine::child::ChildSpec spec;
    spec.program = TestProgram();
    spec.commandLine = L"ChunkWriter chunks";
    spec.output = engine::child::Output::File;
    spec.outputFile = folder.Path() + L"\\out.txt";
    ASSERT_TRUE(engine::testing::Launcher().Run(spec).started);
    HANDLE file = ::CreateFileW(spec.outputFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string bytes(chunkpattern::Bytes().size() + 10, '\0');
    DWORD read = 0;
    ::ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    EXPECT_TRUE(bytes == chunkpattern::Bytes());
}

TEST(ChildLauncherTest, ChildrenStartInTheSystemFolderAndNeverReadTheHostsInput) {
    // Our own input is a pipe that never ends: a child that read it would wait for ever.
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ASSERT_TRUE(::CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    HANDLE oldInput = ::GetStdHandle(STD_INPUT_HANDLE);
    ::SetStdHandle(STD_INPUT_HANDLE, readEnd);

    const ChildResult folder = Capture(TestProgram(), L"ChunkWriter cwd");
    const ChildResult readBack = Capture(TestProgram(), L"ChunkWriter read");
    const ChildResult quiet = RunQuietly(TestProgram(), L"ChunkWriter read");

    ::SetStdHandle(STD_INPUT_HANDLE, oldInput);
    ::CloseHandle(readEnd);
    ::CloseHandle(writeEnd);
    EXPECT_EQ(readBack.output, L"read 0\r\n");
    EXPECT_TRUE(quiet.started);
    EXPECT_EQ(quiet.exitCode, 0u);
    const std::wstring expected = util::win::SystemFolder() + L"\r\n";
    EXPECT_EQ(::CompareStringOrdinal(folder.output.c_str(), -1, expected.c_str(), -1, TRUE), CSTR_EQUAL);
}

TEST(ChildLauncherTest, CapturesEndWhileOtherChildrenStartedMeanwhileStillRun) {
    // Children start from many threads at once, with no lock around their creation: one
    // that inherited another's capture pipe would hold that capture open until it ended.
    TempFolder folder;
    const std::wstring release = folder.Path() + L"\\release";
    std::atomic<int> waitersEnded{0};
    std::vector<std::thread> waiters;
    std::atomic<int> captures{0};
    std::atomic<bool> capturingDone{false};
    std::thread capturing([&] {
        for (int i = 0; i < 12; ++i) {
            // A capture held open by another child would run into this limit.
            const ChildResult result = Capture(TestProgram(), L"ChunkWriter args " + std::to_wstring(i), kGenerousMs);
            if (!result.timedOut && result.output == L"[" + std::to_wstring(i) + L"]\r\n") ++captures;
        }
        capturingDone = true;
    });
    // The waiters start while the captures run, spread out so that their starts fall among them.
    for (int i = 0; i < 12 && !capturingDone; ++i) {
        waiters.emplace_back([&] {
            RunQuietly(TestProgram(), L"ChunkWriter wait " + Quoted(release));
            ++waitersEnded;
        });
        ::Sleep(20);
    }
    capturing.join();
    EXPECT_EQ(captures, 12) << "a capture waited for an unrelated child";
    EXPECT_EQ(waitersEnded, 0) << "a waiting child ended before it was released";
    Release(release);
    for (std::thread& waiter : waiters) waiter.join();
    EXPECT_EQ(waitersEnded, static_cast<int>(waiters.size()));
}

// A child that ends at once and leaves a grandchild holding the capture pipe: the capture ends
// at the child's limit, with or without a job, and not before it.
void CaptureWithGrandchildHoldingThePipe(const engine::child::ChildLauncher& launcher, bool withJob) {
    TempFolder folder;
    const std::wstring release = folder.Path() + L"\\release";
    const DWORD limit = 2000;
    const ULONGLONG before = ::GetTickCount64();
    const ChildResult result = Capture(TestProgram(), L"ChunkWriter grandchild " + Quoted(release), limit, launcher);
    const ULONGLONG took = ::GetTickCount64() - before;
    Release(release);
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.output, L"started\r\n");
    EXPECT_TRUE(result.timedOut);
    EXPECT_GE(took, limit - 100) << "ended before its limit";
    EXPECT_LT(took, limit + engine::child::kEndWaitMs + kGenerousMs) << "the capture waited for the grandchild";
    EXPECT_EQ(result.withoutJob, !withJob);
    // Wait for the released grandchild, so that it has let go of its folder.
    RunQuietly(TestProgram(), L"ChunkWriter wait " + Quoted(release));
}

// A reader left behind holds the library it runs in: the host's FreeLibrary does not unmap the
// code under it, and the library goes once the reader has ended.
TEST(ChildLauncherTest, AReaderLeftBehindKeepsItsLibraryLoadedUntilItEnds) {
    TempFolder folder;
    const std::wstring release = folder.Path() + L"\\release";
    const std::wstring probePath =
        util::win::ModuleFolderOf(reinterpret_cast<const void*>(&TestProgram)) + L"ReaderProbe.dll";
    HMODULE probe = ::LoadLibraryW(probePath.c_str());
    ASSERT_NE(probe, nullptr);
    using LeaveFn = int(__cdecl*)(const wchar_t*, const wchar_t*);
    const auto leave = reinterpret_cast<LeaveFn>(reinterpret_cast<void*>(::GetProcAddress(probe, "LeaveErrorReaderBehind")));
    ASSERT_NE(leave, nullptr);
    ASSERT_EQ(leave(TestProgram().c_str(), release.c_str()), 1);
    ::FreeLibrary(probe);
    EXPECT_EQ(::GetModuleHandleW(probePath.c_str()), probe) << "the reader holds no reference";
    Release(release);  // the grandchild ends, the pipe breaks, the reader returns into its library
    bool unloaded = false;
    for (int i = 0; i < 600 && !unloaded; ++i) {
        unloaded = ::GetModuleHandleW(probePath.c_str()) == nullptr;
        if (!unloaded) ::Sleep(100);
    }
    EXPECT_TRUE(unloaded) << "the reader did not let go of its library";
    RunQuietly(TestProgram(), L"ChunkWriter wait " + Quoted(release));
}

TEST(ChildLauncherTest, AGrandchildHoldingThePipeIsEndedWithItsJobAtTheLimit) {
    CaptureWithGrandchildHoldingThePipe(engine::testing::Launcher(), true);
}

TEST(ChildLauncherTest, WithoutAJobTheReadingIsGivenUpAtTheLimitAndTheReasonSaysWhatMayRemain) {
    engine::child::ChildLauncher::Options options;
    options.withoutJobs = true;
    const engine::child::ChildLauncher withoutJobs(options);
    CaptureWithGrandchildHoldingThePipe(withoutJobs, false);

    // A tool that ran without a job says so, whatever its outcome; one ended at its limit says
    // that what it started may still run.
    TempFolder folder;
    const std::wstring never = folder.Path() + L"\\never";
    const ChildResult stuck = RunQuietly(TestProgram(), L"ChunkWriter wait " + Quoted(never), 1000, withoutJobs);
    ASSERT_TRUE(stuck.started);
    EXPECT_TRUE(stuck.timedOut);
    EXPECT_TRUE(stuck.withoutJob);
    EXPECT_EQ(stuck.jobError, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(stuck.exitCode, engine::child::kTimedOutExitCode);
    engine::report::StepRecord record;
    engine::steps::SetToolOutcome(record, stuck);
    EXPECT_EQ(record.outcome, engine::report::Outcome::TimedOut);
    EXPECT_EQ(record.reason, L"ended after its limit of 1 s; it had no job of its own (error 5), so what it "
                             L"started may still run");

    const ChildResult quick = RunQuietly(TestProgram(), L"ChunkWriter args", kGenerousMs, withoutJobs);
    ASSERT_TRUE(quick.started);
    engine::report::StepRecord ok;
    engine::steps::SetToolOutcome(ok, quick);
    EXPECT_EQ(ok.outcome, engine::report::Outcome::Ok);
    EXPECT_EQ(ok.reason, L"ran without a job: it had no job of its own (error 5)");
}

TEST(ChildLauncherTest, ACommandLineTooLongIsRefusedWithItsOwnReason) {
    const ChildResult result = RunQuietly(TestProgram(), L"ChunkWriter args " + std::wstring(40000, L'x'));
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.startError, static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_EQ(result.attempts, 0) << "the system was never asked";
    EXPECT_EQ(engine::steps::StartFailureReason(result),
              L"could not be started (error 206): its command line has 40017 characters, more than the 32766 "
              L"Windows takes");
}

TEST(ChildLauncherTest, AMissingProgramFailsAtOnceWithItsReason) {
    const ChildResult result = RunQuietly(util::win::SystemFolder() + L"\\no-such-tool.exe", L"no-such-tool");
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.startError, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(result.attempts, 1) << "a lasting failure is not tried again";
    EXPECT_FALSE(engine::child::IsTransientStartError(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(engine::child::IsTransientStartError(ERROR_BAD_EXE_FORMAT));
    EXPECT_FALSE(engine::child::IsTransientStartError(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(engine::child::IsTransientStartError(ERROR_INTERNAL_ERROR));  // a busy moment
    EXPECT_TRUE(engine::child::IsTransientStartError(ERROR_NOT_ENOUGH_MEMORY));
}

}  // namespace

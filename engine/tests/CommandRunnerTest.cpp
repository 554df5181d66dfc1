#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ChunkPattern.h"
#include "CommandLine.h"
#include "CommandRunner.h"
#include "TempFolder.h"
#include "WideText.h"

namespace {

using skelda::Quoted;
using skelda::testing::TempFolder;

std::wstring TestProgram() { return engine::GetModuleFolder() + L"ChunkWriter.exe"; }

TEST(CommandRunnerTest, CaptureEqualsTheWholeOutputHoweverTheReadsFall) {
    ASSERT_EQ(::GetACP(), 936u) << "the test prefix runs with the Chinese code page";
    std::wstring output = L"kept:";
    ASSERT_EQ(engine::RunCommandCapture(Quoted(TestProgram()) + L" chunks", output, 0), 1);
    const std::wstring expected = L"kept:" + skelda::Widen(chunkpattern::Bytes(), 936);
    ASSERT_EQ(output.size(), expected.size());
    EXPECT_TRUE(output == expected);
}

TEST(CommandRunnerTest, CommandThatWritesNothingLeavesTheOutputAlone) {
    std::wstring output = L"before";
    EXPECT_EQ(engine::RunCommandCapture(L"rem nothing", output, 0), 1);
    EXPECT_EQ(output, L"before");
}

TEST(CommandRunnerTest, QuotesBlanksAmpersandsAndParenthesesReachTheCommandUnchanged) {
    TempFolder folder(L" a&b (c) 中文");
    const std::wstring copy = folder.Path() + L"\\ChunkWriter.exe";
    ASSERT_TRUE(::CopyFileW(TestProgram().c_str(), copy.c_str(), FALSE));
    std::wstring output;
    ASSERT_EQ(engine::RunCommandCapture(Quoted(copy) + L" args \"x & y\" (z) \"\"", output, 0), 1);
    EXPECT_EQ(output, L"[x & y]\r\n[(z)]\r\n[]\r\n");

    output.clear();
    ASSERT_EQ(engine::RunCommandCapture(L"echo \"a&b\" (c)& echo second", output, 0), 1);
    EXPECT_EQ(output, L"\"a&b\" (c)\r\nsecond\r\n");
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
    EXPECT_EQ(engine::RunCommandCapture(L"cd", folder, 0), 1);
    std::wstring readBack;
    EXPECT_EQ(engine::RunCommandCapture(Quoted(TestProgram()) + L" read", readBack, 0), 1);
    EXPECT_EQ(engine::RunCommand(Quoted(TestProgram()) + L" read"), 1);

    ::SetStdHandle(STD_INPUT_HANDLE, oldInput);
    ::CloseHandle(readEnd);
    ::CloseHandle(writeEnd);
    EXPECT_EQ(readBack, L"read 0\r\n");
    const std::wstring expected = engine::SystemFolder() + L"\r\n";
    EXPECT_EQ(::CompareStringOrdinal(folder.c_str(), -1, expected.c_str(), -1, TRUE), CSTR_EQUAL);
}

TEST(CommandRunnerTest, ACaptureEndsWhileAnotherWorkersCommandStillRuns) {
    TempFolder folder;
    const std::wstring release = folder.Path() + L"\\release";
    std::atomic<int> longResult{-1};
    std::thread other([&] {
        longResult = engine::RunCommand(Quoted(TestProgram()) + L" wait " + Quoted(release));
    });
    ::Sleep(300);  // let the long command start first

    std::wstring output;
    std::atomic<bool> captured{false};
    std::thread capture([&] {
        engine::RunCommandCapture(L"echo hi", output, 0);
        captured = true;
    });
    for (int i = 0; i < 600 && !captured; ++i) ::Sleep(100);
    EXPECT_TRUE(captured) << "the capture waited for an unrelated command";
    EXPECT_EQ(longResult, -1) << "the long command ended before it was released";

    ::CloseHandle(::CreateFileW(release.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    other.join();
    capture.join();
    EXPECT_EQ(output, L"hi\r\n");
    EXPECT_EQ(longResult, 1);
}

TEST(CommandRunnerTest, RemoveFolderTakesEverythingAndToleratesAMissingFolder) {
    TempFolder parent;
    const std::wstring target = parent.Path() + L"\\x & (y) 中";
    ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((target + L"\\sub").c_str(), nullptr));
    ::CloseHandle(::CreateFileW((target + L"\\sub\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                nullptr));
    EXPECT_EQ(engine::RemoveFolder(target), 1);
    EXPECT_EQ(::GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(engine::RemoveFolder(target), 1);
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
    EXPECT_EQ(engine::IsWow64(), windows64 && sizeof(void*) == 4);
    EXPECT_EQ(engine::Is64BitWindows(), windows64);
}

}  // namespace

TEST(CommandRunnerTest, AMissingProgramFailsAtOnceWithItsReason) {
    DWORD exitCode = 0;
    const DWORD before = ::GetTickCount();
    EXPECT_EQ(engine::RunProgram(engine::SystemFolder() + L"\\no-such-tool.exe", L"no-such-tool", exitCode), 0);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_LT(::GetTickCount() - before, 1000u) << "a lasting failure is not tried again";
    EXPECT_FALSE(engine::IsTransientStartError(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(engine::IsTransientStartError(ERROR_BAD_EXE_FORMAT));
    EXPECT_FALSE(engine::IsTransientStartError(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(engine::IsTransientStartError(ERROR_INTERNAL_ERROR));  // a busy moment
    EXPECT_TRUE(engine::IsTransientStartError(ERROR_NOT_ENOUGH_MEMORY));
}

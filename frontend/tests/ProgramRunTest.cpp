// The shipped program, run from a scratch copy of its folder with the library doubles:
// start-up order, the newer-version exit and the removal of the program folder.
#include <gtest/gtest.h>

#include <string>

#include "DistFolder.h"
#include "ChildProcesses.h"
#include "FrontendTexts.h"
#include "MainTestKit.h"
#include "resource.h"

using namespace maintest;

namespace {

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\'));
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A copy of the program with the doubles beside it, in a folder whose name has a blank.
class ProgramCopy {
public:
    ProgramCopy() {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"skelda program " + std::to_wstring(::GetTickCount());
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        ok_ = ::CopyFileW((outside::testing::DistFolder() + L"\\TavlinSkelda.exe").c_str(),
                          (folder_ + L"\\TavlinSkelda.exe").c_str(), FALSE);
        for (const wchar_t* dll : {L"\\OrvaneSkelda.dll", L"\\OrvaneMouseHook.dll", L"\\OrvaneFeedbackInformation.dll"})
            ok_ = ok_ && ::CopyFileW((OwnFolder() + dll).c_str(), (folder_ + dll).c_str(), FALSE);
    }
    ~ProgramCopy() {
        if (process_.hProcess) {
            ::TerminateProcess(process_.hProcess, 1);
            ::CloseHandle(process_.hProcess);
            ::CloseHandle(process_.hThread);
        }
        for (const wchar_t* file : {L"\\TavlinSkelda.exe", L"\\OrvaneSkelda.dll", L"\\OrvaneMouseHook.dll",
                                    L"\\OrvaneFeedbackInformation.dll"})
            ::DeleteFileW((folder_ + file).c_str());
        ::RemoveDirectoryW(folder_.c_str());
    }
    bool Ready() const { return ok_; }
    const std::wstring& Folder() const { return folder_; }

    bool Start() {
        STARTUPINFOW si{sizeof(si)};
        std::wstring command = L"\"" + folder_ + L"\\TavlinSkelda.exe\"";
        return ::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &si,
                                &process_) != 0;
    }
    DWORD Pid() const { return process_.dwProcessId; }
    // The exit status once the program ended, or -1 after timeoutMs.
    long WaitForExit(DWORD timeoutMs = 20000) const {
        if (::WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<long>(code);
    }
    HWND UsageChild() const { return WaitForDialog(Pid(), {IDC_CONSENT, IDC_USAGE_START}, 20000); }
    HWND MainChild() const { return WaitForDialog(Pid(), {IDC_START_COLLECT, IDC_SAVE_PATH}, 20000); }

private:
    std::wstring folder_;
    bool ok_ = false;
    PROCESS_INFORMATION process_{};
};

// Starts the copy and waits for its usage-terms window; null if either fails.
HWND StartToUsageTerms(ProgramCopy& program) {
    if (!program.Ready() || !program.Start()) return nullptr;
    return program.UsageChild();
}

}  // namespace

TEST(ProgramRunTest, NewerVersionEndsTheProgramAfterItsPrompt) {
    CallRecord record;
    ScopedSetting newer(L"FE_VERSION", L"3");
    ProgramCopy program;
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(program.Start());
    EXPECT_EQ(AnswerPrompt(program.Pid(), 20000), texts::kNewVersionAvailable);
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_EQ(record.Calls(L"OpenToolDownUrl").size(), 1u);
    EXPECT_TRUE(record.Calls(L"SetWndHandle").empty());  // the main window never came
    EXPECT_TRUE(Exists(program.Folder() + L"\\TavlinSkelda.exe"));
}

TEST(ProgramRunTest, ClosingTheUsageTermsEndsWithoutMainWindowOrRemoval) {
    CallRecord record;
    ProgramCopy program;
    HWND usage = StartToUsageTerms(program);
    ASSERT_NE(usage, nullptr);
    PostButtonClick(::GetDlgItem(usage, IDC_USAGE_CLOSE));
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_TRUE(record.Calls(L"SetWndHandle").empty());
    // A removal started by mistake runs in a child of the program: let it finish its work.
    EXPECT_TRUE(skelda::testing::WaitForChildrenOf(program.Pid(), 20000));
    EXPECT_TRUE(Exists(program.Folder() + L"\\TavlinSkelda.exe"));
}

TEST(ProgramRunTest, SystemMenuCloseSkipsFeedbackButRemovesTheProgramFolder) {
    CallRecord record;
    ProgramCopy program;
    HWND usage = StartToUsageTerms(program);
    ASSERT_NE(usage, nullptr);
    PostButtonClick(::GetDlgItem(usage, IDC_USAGE_START));
    HWND main = program.MainChild();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(record.Calls(L"SetWndHandle").size(), 1u);
    ::PostMessageW(::GetWindow(main, GW_OWNER), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_TRUE(record.Calls(L"CustomerFeedbackEx").empty());
    EXPECT_TRUE(WaitUntil([&] { return !Exists(program.Folder()); }, 20000)) << "the program folder is still there";
}

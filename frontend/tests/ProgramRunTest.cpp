// The shipped program, run from a scratch copy of its folder with the library doubles:
// start-up order, the newer-version exit and the removal of the program folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ChildProcesses.h"
#include "DistFolder.h"
#include "FrontendTexts.h"
#include "TempFolder.h"
#include "TestKit.h"
#include "resource.h"

using namespace fetest;

namespace {

// A copy of the program with the doubles beside it, in a folder whose name has a blank.
class ProgramCopy {
public:
    ProgramCopy() {
        ok_ = CopyInto(outside::testing::DistFolder() + L"\\TavlinSkelda.exe", Folder(), L"TavlinSkelda.exe");
        for (const wchar_t* dll : {L"OrvaneSkelda", L"OrvaneMouseHook", L"OrvaneFeedbackInformation"})
            ok_ = ok_ && CopyInto(DoublePath(dll), Folder(), std::wstring(dll) + L".dll");
    }
    bool Ready() const { return ok_; }
    const std::wstring& Folder() const { return folder_.Path(); }

    bool Start() {
        process_ = std::make_unique<ProgramProcess>(Folder(), L"", Folder());
        return process_->Started();
    }
    DWORD Pid() const { return process_->Id(); }
    DWORD WaitForExit() const { return process_->WaitForExit(); }
    HWND UsageChild() const { return WaitForDialog(Pid(), {IDC_CONSENT, IDC_USAGE_START}, 20000); }
    HWND MainChild() const { return WaitForDialog(Pid(), {IDC_START_COLLECT, IDC_SAVE_PATH}, 20000); }

private:
    skelda::testing::TempFolder folder_{L" program"};
    bool ok_ = false;
    std::unique_ptr<ProgramProcess> process_;  // ended, if still running, before the folder goes
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
    EXPECT_EQ(program.WaitForExit(), 0u);
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
    EXPECT_EQ(program.WaitForExit(), 0u);
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
    EXPECT_EQ(program.WaitForExit(), 0u);
    EXPECT_TRUE(record.Calls(L"CustomerFeedbackEx").empty());
    EXPECT_TRUE(WaitUntil([&] { return !Exists(program.Folder()); }, 20000)) << "the program folder is still there";
}

// The shipped program, run from a scratch copy of its folder with the library doubles:
// start-up order, the newer-version exit and the removal of the program folder.
#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <string>

#include "testing/ChildProcesses.h"
#include "DistFolder.h"
#include "FrontendTexts.h"
#include "testing/TempFolder.h"
#include "testing/TrustedUser.h"
#include "TestKit.h"
#include "resource.h"

using namespace fetest;

namespace {

// A copy of the program with the doubles and the shipped packers beside it, in a folder whose
// name has a blank. The program is built as it ships but with the doubles' digests, so that its
// clean room takes them in; Wine's user is named a trusted owner of the room meanwhile.
class ProgramCopy {
public:
    ProgramCopy() {
        ok_ = trusted_.Set() && CopyInto(TestFolder() + L"\\TavlinSkeldaWithDoubles.exe", Folder(), L"TavlinSkelda.exe");
        for (const wchar_t* dll : {L"OrvaneSkelda", L"OrvaneMouseHook", L"OrvaneFeedbackInformation"})
            ok_ = ok_ && CopyInto(DoublePath(dll), Folder(), std::wstring(dll) + L".dll");
        for (const wchar_t* packer : {L"x86\\7zx86.exe", L"x64\\7zx64.exe"}) {
            const std::wstring relative = std::wstring(L"7z\\") + packer;
            const std::wstring folder = Folder() + L"\\" + relative.substr(0, relative.rfind(L'\\'));
            ::CreateDirectoryW((Folder() + L"\\7z").c_str(), nullptr);
            ::CreateDirectoryW(folder.c_str(), nullptr);
            ok_ = ok_ && CopyInto(outside::testing::DistFolder() + L"\\" + relative, folder,
                                  relative.substr(relative.rfind(L'\\') + 1));
        }
    }
    bool Ready() const { return ok_; }
    const std::wstring& Folder() const { return folder_.Path(); }

    bool Start(const std::wstring& currentFolder = {}) {
        process_ = std::make_unique<ProgramProcess>(Folder(), L"", currentFolder.empty() ? Folder() : currentFolder);
        return process_->Started();
    }
    DWORD Pid() const { return process_->Id(); }
    DWORD WaitForExit() const { return process_->WaitForExit(); }
    HWND UsageChild() const { return WaitForDialog(Pid(), {IDC_CONSENT, IDC_USAGE_START}, 20000); }
    HWND MainChild() const { return WaitForDialog(Pid(), {IDC_START_COLLECT, IDC_SAVE_PATH}, 20000); }

private:
    util::testing::TrustedUser trusted_;
    util::testing::TempFolder folder_{L" program"};
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
    EXPECT_TRUE(util::testing::WaitForChildrenOf(program.Pid(), 20000));
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

// Libraries named like system ones, beside the program and in its current folder, are never
// loaded: neither by the loader before the program runs nor by anything the program loads
// later (GDI+ for the skin, the rich edit of the terms, the common controls and what they pull).
// Names that only Wine's own system libraries import before the program runs (version.dll
// through its user32) are left out: Windows resolves those through its known DLLs.
TEST(ProgramRunTest, LibrariesNamedLikeSystemOnesBesideTheProgramAreNeverLoaded) {
    static const wchar_t* const kNames[] = {L"gdiplus.dll", L"riched20.dll", L"wininet.dll", L"comctl32.dll",
                                            L"uxtheme.dll"};
    // Wine takes its built-in library over a file it finds unless told to prefer the file; with
    // that preference (read by each new TavlinSkelda.exe process) the search order alone decides,
    // as on Windows. Elsewhere the key means nothing.
    const std::wstring key = L"Software\\Wine\\AppDefaults\\TavlinSkelda.exe\\DllOverrides";
    HKEY overrides = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &overrides,
                                nullptr),
              ERROR_SUCCESS);
    for (const wchar_t* name : kNames) {
        const std::wstring base = std::wstring(name).substr(0, std::wcslen(name) - 4);
        static const wchar_t kPreferFile[] = L"native,builtin";
        ::RegSetValueExW(overrides, base.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(kPreferFile),
                         sizeof kPreferFile);
    }
    ::RegCloseKey(overrides);
    struct KeyRemoval {
        std::wstring key;
        ~KeyRemoval() { ::RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str()); }
    } removal{key};
    ProgramCopy program;
    util::testing::TempFolder current;
    ASSERT_TRUE(program.Ready());
    for (const wchar_t* name : kNames) {
        ASSERT_TRUE(CopyInto(DoublePath(L"SystemNameDecoy"), program.Folder(), name));
        ASSERT_TRUE(CopyInto(DoublePath(L"SystemNameDecoy"), current.Path(), name));
    }
    auto loaded = [&] {
        std::wstring found;
        for (const std::wstring& folder : {program.Folder(), current.Path()})
            for (const wchar_t* name : kNames)
                if (Exists(folder + L"\\" + name + L".loaded")) found += folder + L"\\" + name + L" ";
        return found;
    };

    // The control: a program that loads by bare name without narrowing the search gets the decoy.
    {
        util::testing::TempFolder probe;
        ASSERT_TRUE(CopyInto(TestFolder() + L"\\frontend_prompts_probe.exe", probe.Path(), L"TavlinSkelda.exe"));
        ASSERT_TRUE(CopyInto(DoublePath(L"SystemNameDecoy"), probe.Path(), L"gdiplus.dll"));
        ProgramProcess control(probe.Path(), L"load gdiplus.dll open", current.Path());
        control.WaitForExit(20000);
        ASSERT_TRUE(Exists(probe.Path() + L"\\gdiplus.dll.loaded")) << "the decoys would not be seen";
    }

    ASSERT_TRUE(program.Start(current.Path()));
    HWND usage = program.UsageChild();
    ASSERT_NE(usage, nullptr);
    ::RedrawWindow(::GetParent(usage), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PostButtonClick(::GetDlgItem(usage, IDC_USAGE_CLOSE));
    EXPECT_EQ(program.WaitForExit(), 0u);
    EXPECT_EQ(loaded(), L"");
}

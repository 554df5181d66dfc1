// The start-up binding sequences in a program of their own, with library doubles in its
// folder: a failing step shows its prompt and ends the process with status 0, untouched.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/ChildProcesses.h"
#include "FrontendTexts.h"
#include "LibraryBindings.h"
#include "testing/TempFolder.h"
#include "TestKit.h"
#include "resource.h"

using namespace fetest;

namespace {

struct Library {
    const wchar_t* built;    // double to copy, by its file name without ".dll"
    const wchar_t* name;     // file name in the program folder
};

constexpr Library kEngine{L"OrvaneSkelda", L"OrvaneSkelda.dll"};
constexpr Library kEngineWithoutRestart{L"OrvaneSkelda-without-restart", L"OrvaneSkelda.dll"};
constexpr Library kFeedback{L"OrvaneFeedbackInformation", L"OrvaneFeedbackInformation.dll"};
constexpr Library kFeedbackWithoutOpenUrl{L"OrvaneFeedbackInformation-without-openurl", L"OrvaneFeedbackInformation.dll"};
constexpr Library kHook{L"OrvaneMouseHook", L"OrvaneMouseHook.dll"};
constexpr Library kHookWithoutStop{L"OrvaneMouseHook-without-stop", L"OrvaneMouseHook.dll"};

struct Outcome {
    std::wstring prompt;              // text of the prompt, empty when none showed
    DWORD exitCode = STILL_ACTIVE;
    std::vector<std::wstring> calls;  // what the doubles in the program folder recorded
    bool folderIntact = false;        // every file of the program folder still there
};

class BindingSequenceTest : public ::testing::Test {
protected:
    // Runs the stand-in program in a fresh program folder holding the libraries. Its current
    // folder holds a complete set of doubles that must never be picked up.
    Outcome Run(const wchar_t* mode, std::initializer_list<Library> libraries) {
        util::testing::TempFolder program(L" 程序 folder");
        EXPECT_TRUE(CopyInto(TestFolder() + L"\\frontend_prompts_probe.exe", program.Path(), L"TavlinSkelda.exe"));
        std::vector<std::wstring> files{L"TavlinSkelda.exe"};
        for (const Library& library : libraries) {
            EXPECT_TRUE(CopyInto(DoublePath(library.built), program.Path(), library.name)) << library.built;
            files.push_back(library.name);
        }
        for (const Library& decoy : {kEngine, kFeedback, kHook})
            CopyInto(DoublePath(decoy.built), current_.Path(), decoy.name);

        Outcome outcome;
        ProgramProcess probe(program.Path(), mode, current_.Path());
        EXPECT_TRUE(probe.Started());
        if (HWND prompt = probe.WaitForPrompt(20000)) {
            outcome.prompt = TextOf(::GetDlgItem(prompt, IDC_PROMPT_TEXT));
            PostClick(::GetDlgItem(prompt, IDC_PROMPT_LEFT));
        }
        outcome.exitCode = probe.WaitForExit(20000);
        // A removal started by mistake runs in a child of the program: let it finish its work.
        EXPECT_TRUE(util::testing::WaitForChildrenOf(probe.Id(), 20000));
        outcome.calls = CallRecord(program.Path()).Lines();
        outcome.folderIntact = true;
        for (const std::wstring& file : files) outcome.folderIntact = outcome.folderIntact && Exists(program.Path() + L"\\" + file);
        EXPECT_FALSE(Exists(current_.Path() + L"\\calls.txt")) << "a library was loaded from the current folder";
        return outcome;
    }

    util::testing::TempFolder current_{L" current"};
};

using Calls = std::vector<std::wstring>;

// The prompt showed text and the process ended with status 0, leaving its folder as it was.
void ExpectFailedStart(const Outcome& o, const wchar_t* text) {
    EXPECT_EQ(o.prompt, text);
    EXPECT_EQ(o.exitCode, 0u);
    EXPECT_TRUE(o.folderIntact);
}

}  // namespace

TEST_F(BindingSequenceTest, MainSequencePassesWithEveryLibraryAndCallsInOrder) {
    const Outcome o = Run(L"main", {kEngine, kFeedback});
    EXPECT_EQ(o.prompt, L"");
    EXPECT_EQ(o.exitCode, 7u);
    EXPECT_EQ(o.calls, (Calls{L"SetWndHandle window", L"GetCurSystemIsSupport", L"InitDll"}));
}

TEST_F(BindingSequenceTest, MissingEngineInTheProgramFolderPromptsAndEndsWithZero) {
    // Complete doubles lie in the current folder: loading by full path does not find them.
    const Outcome o = Run(L"main", {kFeedback});
    ExpectFailedStart(o, texts::kToolInitFailed);
    EXPECT_TRUE(o.calls.empty());
}

TEST_F(BindingSequenceTest, EngineLackingAnUncalledExportFailsBeforeAnyCall) {
    const Outcome o = Run(L"main", {kEngineWithoutRestart, kFeedback});
    ExpectFailedStart(o, texts::kToolInitFailed);
    EXPECT_TRUE(o.calls.empty());
}

TEST_F(BindingSequenceTest, UnsupportedSystemStopsBeforeInitDll) {
    ScopedSetting unsupported(L"FE_SUPPORTED", L"0");
    const Outcome o = Run(L"main", {kEngine, kFeedback});
    ExpectFailedStart(o, texts::kSystemNotSupported);
    EXPECT_EQ(o.calls, (Calls{L"SetWndHandle window", L"GetCurSystemIsSupport"}));
}

TEST_F(BindingSequenceTest, FailingInitDllPromptsItsOwnText) {
    ScopedSetting failing(L"FE_INIT", L"0");
    const Outcome o = Run(L"main", {kEngine, kFeedback});
    ExpectFailedStart(o, texts::kEngineInitFailed);
}

TEST_F(BindingSequenceTest, FeedbackLibraryLackingOpenUrlFailsTheMainSequenceAfterTheEngine) {
    const Outcome o = Run(L"main", {kEngine, kFeedbackWithoutOpenUrl});
    ExpectFailedStart(o, texts::kToolInitFailed);
    EXPECT_EQ(o.calls, (Calls{L"SetWndHandle window", L"GetCurSystemIsSupport", L"InitDll"}));
}

TEST_F(BindingSequenceTest, UsageSequenceFailuresNameTheirLibrary) {
    Outcome o = Run(L"usage", {kFeedback});
    ExpectFailedStart(o, texts::kToolInitFailedHook);

    o = Run(L"usage", {kHookWithoutStop, kFeedback});
    ExpectFailedStart(o, texts::kToolInitFailedHook);

    o = Run(L"usage", {kHook});
    ExpectFailedStart(o, texts::kToolInitFailed);

    o = Run(L"usage", {kHook, kFeedback});
    EXPECT_EQ(o.prompt, L"");
    EXPECT_EQ(o.exitCode, 7u);
    EXPECT_TRUE(o.calls.empty());  // binding calls nothing of the hook
}

TEST(LibrarySearchTest, NeitherTheCurrentFolderNorPathOffersLibraries) {
    util::testing::TempFolder program, current, onPath;
    ASSERT_TRUE(CopyInto(TestFolder() + L"\\frontend_prompts_probe.exe", program.Path(), L"TavlinSkelda.exe"));
    ASSERT_TRUE(CopyInto(DoublePath(kEngine.built), current.Path(), L"InCurrent.dll"));
    ASSERT_TRUE(CopyInto(DoublePath(kEngine.built), onPath.Path(), L"OnPath.dll"));
    wchar_t path[8192] = {};
    ::GetEnvironmentVariableW(L"PATH", path, 8192);
    const std::wstring saved = path;
    ::SetEnvironmentVariableW(L"PATH", (onPath.Path() + L";" + saved).c_str());
    auto loads = [&](const wchar_t* arguments) {
        ProgramProcess probe(program.Path(), arguments, current.Path());
        return probe.WaitForExit(20000);
    };
    // Without the restriction the system finds both, so the test can tell.
    EXPECT_EQ(loads(L"load InCurrent.dll open"), 3u);
    EXPECT_EQ(loads(L"load OnPath.dll open"), 3u);
    EXPECT_EQ(loads(L"load InCurrent.dll"), 4u);
    EXPECT_EQ(loads(L"load OnPath.dll"), 4u);
    EXPECT_EQ(loads(L"load kernel32.dll"), 3u);  // system libraries still load by name
    ::SetEnvironmentVariableW(L"PATH", saved.c_str());
}

// ---- the records and the failure step in this process ----

TEST(LibraryRecordTest, StopsAtTheFirstMissingExportAndKeepsTheModuleUntilRelease) {
    util::testing::TempFolder folder;
    ASSERT_TRUE(CopyInto(DoublePath(kFeedbackWithoutOpenUrl.built), folder.Path(), kFeedbackWithoutOpenUrl.name));
    CFeedbackDll feedback;
    EXPECT_FALSE(feedback.LoadFrom(folder.Path()));
    EXPECT_NE(feedback.module, nullptr);
    EXPECT_NE(feedback.question, nullptr);  // before the missing one
    EXPECT_EQ(feedback.openUrl, nullptr);
    EXPECT_EQ(feedback.feedbackEx, nullptr);  // after it: not looked up
    feedback.Release();
    EXPECT_EQ(feedback.module, nullptr);
    EXPECT_EQ(feedback.question, nullptr);
}

TEST(LibraryRecordTest, LoadsByTheFolderGivenOnlyAndReloadsCleanly) {
    util::testing::TempFolder empty, full;
    ASSERT_TRUE(CopyInto(DoublePath(kEngine.built), full.Path(), kEngine.name));
    CEngineDll engine;
    EXPECT_FALSE(engine.LoadFrom(empty.Path()));
    EXPECT_EQ(engine.module, nullptr);
    EXPECT_TRUE(engine.LoadFrom(full.Path()));
    EXPECT_NE(engine.restart, nullptr);
    EXPECT_EQ(engine.init(), 1);
    // Loading again first lets go of what was bound.
    EXPECT_FALSE(engine.LoadFrom(empty.Path()));
    EXPECT_EQ(engine.init, nullptr);
}

namespace {
UINT g_endCode = 99;
int g_ends = 0;
void RecordEnd(UINT code) {
    g_endCode = code;
    ++g_ends;
}

BOOL CALLBACK FindPromptChild(HWND wnd, LPARAM found) {
    if (!::GetDlgItem(wnd, IDC_PROMPT_TEXT)) return TRUE;
    *reinterpret_cast<HWND*>(found) = wnd;
    return FALSE;
}
}  // namespace

TEST(FailStartTest, ShowsAConfirmPromptThenEndsWithStatusZero) {
    frontend::SetProcessEnd(RecordEnd);
    std::wstring shown;
    bool rightShown = true;
    int endsWhileShown = -1;
    AfterDelay(150, [&] {
        HWND prompt = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), FindPromptChild, reinterpret_cast<LPARAM>(&prompt));
        ASSERT_NE(prompt, nullptr);
        shown = TextOf(::GetDlgItem(prompt, IDC_PROMPT_TEXT));
        rightShown = ::IsWindowVisible(::GetDlgItem(prompt, IDC_PROMPT_RIGHT));
        endsWhileShown = g_ends;
        PostClick(::GetDlgItem(prompt, IDC_PROMPT_LEFT));
    });
    frontend::FailStart(1.0f, texts::kSystemNotSupported);
    frontend::SetProcessEnd(nullptr);
    EXPECT_EQ(shown, texts::kSystemNotSupported);
    EXPECT_FALSE(rightShown);
    EXPECT_EQ(endsWhileShown, 0);  // the end comes only after the prompt
    EXPECT_EQ(g_ends, 1);
    EXPECT_EQ(g_endCode, 0u);
}

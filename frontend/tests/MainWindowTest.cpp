// The main window run modally on this thread while a driver thread acts as the user.
#include <gtest/gtest.h>

#include <thread>

#include "FrontendTexts.h"
#include "TestKit.h"
#include "TavlinSkeldaDlg.h"
#include "resource.h"

using namespace fetest;

namespace {

// The main window without the removal of the test's own folder.
class TestMainDlg : public CTavlinSkeldaDlg {
public:
    // The doubles of the libraries lie beside the test program.
    TestMainDlg() : CTavlinSkeldaDlg(frontend::ProgramFolder()) {}
    int removals = 0;

protected:
    void StartSelfRemoval() override { ++removals; }
};

struct MainRun {
    HWND child = nullptr;
    HWND host = nullptr;
    GuiThreadSync* gui = nullptr;  // settles the main window's thread
};

// Runs the main window; driver gets its windows once it is up. Whatever the driver leaves
// open is closed afterwards.
template <class Driver>
void RunMainWindow(TestMainDlg& dlg, Driver driver) {
    GuiThreadSync gui;
    std::thread thread([&] {
        MainRun run;
        run.gui = &gui;
        run.child = WaitForDialog(::GetCurrentProcessId(), {IDC_START_COLLECT, IDC_SAVE_PATH});
        if (!run.child) {
            ADD_FAILURE() << "the main window did not appear";
        } else {
            run.host = ::GetWindow(run.child, GW_OWNER);
            ::SendMessageW(run.child, WM_NULL, 0, 0);  // handled once the initialisation and layout are over
            driver(run);
        }
        if (run.host && ::IsWindow(run.host)) ::PostMessageW(run.host, WM_CLOSE, 0, 0);
    });
    dlg.DoModal();
    thread.join();
}

HWND Button(const MainRun& run, int id) { return ::GetDlgItem(run.child, id); }
int CheckOf(HWND box) { return static_cast<int>(::SendMessageW(box, BM_GETCHECK, 0, 0)); }

// Toggles a check box by clicking it and waits for the new state.
void Toggle(HWND box) {
    const int before = CheckOf(box);
    PostButtonClick(box);
    EXPECT_TRUE(WaitUntil([&] { return CheckOf(box) != before; }));
}

void SetPath(const MainRun& run, const wchar_t* text) {
    ::SendMessageW(Button(run, IDC_SAVE_PATH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// Presses start and answers the prompt that follows; returns its text.
std::wstring StartAndAnswer(const MainRun& run) {
    PostButtonClick(Button(run, IDC_START_COLLECT));
    return AnswerPrompt(::GetCurrentProcessId());
}

// "11111111 C:\..." of the single recorded start, or "" if there was none or more.
std::wstring OnlyStart(const CallRecord& record) {
    auto starts = record.Calls(L"StartGetSystemInfo ");
    return starts.size() == 1 ? starts[0].substr(19) : L"";
}

}  // namespace

// Each box, at its place on the screen, toggled alone clears exactly its own switch: the
// switches follow the ids of the boxes, not the rows they stand in.
TEST(MainWindowTest, EachBoxOnTheScreenDrivesItsOwnSwitch) {
    struct Place {
        int x, y;
        int index;
        const wchar_t* label;
    };
    const Place places[] = {
        {76, 138, 0, L"CBS日志"},      {232, 138, 1, L"INF日志"},  {76, 178, 4, L"系统更新日志"},
        {232, 178, 5, L"系统日志"},    {76, 218, 2, L"安装应用程序"}, {232, 218, 3, L"操作系统"},
        {76, 258, 6, L"性能计数器"},   {232, 258, 7, L"硬件相关信息"},
    };
    CallRecord record;
    TestMainDlg dlg;
    RunMainWindow(dlg, [&](const MainRun& run) {
        std::vector<HWND> boxes;
        for (const Place& place : places) {
            POINT at{place.x + 8, place.y + 8};
            HWND box = ::ChildWindowFromPointEx(run.child, at, CWP_SKIPINVISIBLE);
            ASSERT_NE(box, run.child) << "nothing at " << place.x << "," << place.y;
            EXPECT_EQ(TextOf(box), place.label);
            EXPECT_EQ(CheckOf(box), BST_CHECKED);
            boxes.push_back(box);

            record.Clear();
            Toggle(box);
            EXPECT_EQ(StartAndAnswer(run), texts::kCollectSucceeded);
            std::wstring expected(8, L'1');
            expected[static_cast<size_t>(place.index)] = L'0';
            EXPECT_EQ(OnlyStart(record), expected + L" " + texts::kDefaultArchivePath) << place.label;
            Toggle(box);
        }
        // Every box cleared: the engine still gets its call, with eight zeros.
        for (HWND box : boxes) Toggle(box);
        record.Clear();
        EXPECT_EQ(StartAndAnswer(run), texts::kCollectSucceeded);
        EXPECT_EQ(OnlyStart(record), std::wstring(L"00000000 ") + texts::kDefaultArchivePath);
    });
    EXPECT_EQ(dlg.removals, 1);
}

TEST(MainWindowTest, SavePathIsCheckedAndTrimmedBeforeTheEngineSeesIt) {
    CallRecord record;
    TestMainDlg dlg;
    RunMainWindow(dlg, [&](const MainRun& run) {
        for (const wchar_t* refused : {L"", L"C"}) {
            record.Clear();
            SetPath(run, refused);
            EXPECT_EQ(StartAndAnswer(run), texts::kEmptySaveLocation) << "path \"" << refused << "\"";
            EXPECT_TRUE(record.Calls(L"StartGetSystemInfo").empty());
        }
        struct Accepted {
            const wchar_t* typed;
            const wchar_t* passed;
        };
        for (const Accepted& a : {Accepted{L"C:", L"C:"}, Accepted{L"D:\\备份\\信息收集.7z\\\\\\", L"D:\\备份\\信息收集.7z"},
                                  Accepted{L"E:\\", L"E:"}}) {
            record.Clear();
            SetPath(run, a.typed);
            EXPECT_EQ(StartAndAnswer(run), texts::kCollectSucceeded);
            EXPECT_EQ(OnlyStart(record), std::wstring(L"11111111 ") + a.passed);
        }
        // A refused start of the engine gives the failure prompt and no progress prompt.
        {
            ScopedSetting failing(L"FE_START", L"0");
            SetPath(run, L"C:\\x.7z");
            EXPECT_EQ(StartAndAnswer(run), texts::kCollectFailed);
            EXPECT_EQ(FindDialog(::GetCurrentProcessId(), {IDC_EXECUTE_TEXT}), nullptr);
        }
    });
}

TEST(MainWindowTest, BrowseAnswersSetOrKeepOrEmptyThePath) {
    CallRecord record;
    TestMainDlg dlg;
    RunMainWindow(dlg, [&](const MainRun& run) {
        HWND edit = Button(run, IDC_SAVE_PATH);
        HWND browse = Button(run, IDC_BROWSE);
        EXPECT_EQ(TextOf(edit), texts::kDefaultArchivePath);
        auto browseOnce = [&] {
            const size_t before = record.Calls(L"SelectSave").size();
            PostButtonClick(browse);
            EXPECT_TRUE(WaitUntil([&] { return record.Calls(L"SelectSave").size() == before + 1; }));
            ::SendMessageW(run.child, WM_NULL, 0, 0);  // the handler has returned
        };
        {
            ScopedSetting cancelled(L"FE_SELECT", nullptr);
            browseOnce();
            EXPECT_EQ(TextOf(edit), texts::kDefaultArchivePath);
        }
        {
            ScopedSetting chosen(L"FE_SELECT", L"E:\\备份\\信息收集.7z");
            browseOnce();
            EXPECT_EQ(TextOf(edit), L"E:\\备份\\信息收集.7z");
        }
        {
            // A folder without a file-system path: the engine says yes but writes nothing.
            ScopedSetting untouched(L"FE_SELECT", L"keep");
            browseOnce();
            EXPECT_EQ(TextOf(edit), L"");
        }
        record.Clear();
        EXPECT_EQ(StartAndAnswer(run), texts::kEmptySaveLocation);
        EXPECT_TRUE(record.Calls(L"StartGetSystemInfo").empty());
    });
}

// The engine may report twice in one run: each outcome gets its prompt, and the second end of
// the run finds the progress prompt gone and changes nothing.
TEST(MainWindowTest, TwoFailureReportsInOneRunGiveTwoPromptsAndOneProgressEnd) {
    CallRecord record;
    TestMainDlg dlg;
    RunMainWindow(dlg, [&](const MainRun& run) {
        const DWORD pid = ::GetCurrentProcessId();
        {
            ScopedSetting reports(L"FE_REPORTS", L"100,2,100,3");
            PostButtonClick(Button(run, IDC_START_COLLECT));
            HWND progress = WaitForDialog(pid, {IDC_EXECUTE_TEXT});
            ASSERT_NE(progress, nullptr);
            EXPECT_FALSE(::IsWindowEnabled(run.host));
            EXPECT_FALSE(::IsWindowEnabled(run.child));
            EXPECT_EQ(AnswerPrompt(pid), texts::kCollectFailed);
            EXPECT_EQ(AnswerPrompt(pid), texts::kCollectFailed);
            EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(progress); }));
            ASSERT_TRUE(run.gui->Settle());
            EXPECT_EQ(FindDialog(pid, {IDC_PROMPT_TEXT}), nullptr);
        }
        EXPECT_TRUE(::IsWindowVisible(run.host));
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(run.host) && ::IsWindowEnabled(run.child); }));
        // The next run opens a new progress prompt and ends normally.
        PostButtonClick(Button(run, IDC_START_COLLECT));
        EXPECT_NE(WaitForDialog(pid, {IDC_EXECUTE_TEXT}), nullptr);
        EXPECT_EQ(AnswerPrompt(pid), texts::kCollectSucceeded);
        EXPECT_EQ(record.Calls(L"StartGetSystemInfo").size(), 2u);
    });
}

// The outcome is sent right behind the end of the run: its prompt shows only once the progress
// prompt (its panel and the frame that owns it) is off the screen, in every run, also when both
// reports wait together and arrive in one turn of the prompt's message loop.
TEST(MainWindowTest, ResultPromptShowsOnlyOnceTheProgressPromptIsGone) {
    CallRecord record;
    TestMainDlg dlg;
    RunMainWindow(dlg, [&](const MainRun& run) {
        const DWORD pid = ::GetCurrentProcessId();
        struct Timing {
            const wchar_t* delay;
            const wchar_t* queued;
        };
        const Timing timings[] = {{L"400", nullptr}, {L"400", nullptr}, {L"0", nullptr}, {L"0", L"1"}, {L"0", L"1"}};
        for (const Timing& timing : timings) {
            ScopedSetting delay(L"FE_REPORT_DELAY", timing.delay);
            ScopedSetting queued(L"FE_REPORTS_QUEUED", timing.queued);
            const std::wstring what = std::wstring(L"delay ") + timing.delay + (timing.queued ? L", queued" : L"");
            PostButtonClick(Button(run, IDC_START_COLLECT));
            HWND panel = nullptr, frame = nullptr;
            if (std::wstring(timing.delay) != L"0") {
                panel = WaitForDialog(pid, {IDC_EXECUTE_TEXT});
                ASSERT_NE(panel, nullptr);
                frame = ::GetWindow(panel, GW_OWNER);
            }
            HWND prompt = WaitForDialog(pid, {IDC_PROMPT_TEXT, IDC_PROMPT_LEFT});
            ASSERT_NE(prompt, nullptr) << what;
            EXPECT_EQ(FindDialog(pid, {IDC_EXECUTE_TEXT}), nullptr) << what;
            if (panel) {
                EXPECT_FALSE(::IsWindowVisible(panel));
                EXPECT_FALSE(::IsWindowVisible(frame));
            }
            EXPECT_EQ(AnswerPrompt(pid), texts::kCollectSucceeded) << what;
            EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(run.host) && ::IsWindowEnabled(run.child); }));
            EXPECT_EQ(FindDialog(pid, {IDC_EXECUTE_TEXT}), nullptr) << what;
        }
        EXPECT_EQ(record.Calls(L"StartGetSystemInfo").size(), 5u);
    });
}

TEST(MainWindowTest, EscapeAndEnterDoNothing) {
    CallRecord record;
    TestMainDlg dlg;
    RunMainWindow(dlg, [&](const MainRun& run) {
        for (HWND target : {Button(run, IDC_SAVE_PATH), Button(run, IDC_START_COLLECT), run.child, run.host}) {
            for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
                ::PostMessageW(target, WM_KEYDOWN, key, 0);
                ::PostMessageW(target, WM_KEYUP, key, 0);
            }
        }
        ASSERT_TRUE(run.gui->Settle());  // every key has been handled
        EXPECT_TRUE(::IsWindowVisible(run.host));
        EXPECT_TRUE(::IsWindowVisible(run.child));
        EXPECT_EQ(FindDialog(::GetCurrentProcessId(), {IDC_PROMPT_TEXT}), nullptr);
        EXPECT_TRUE(record.Calls(L"StartGetSystemInfo").empty());
    });
    EXPECT_EQ(dlg.removals, 1);
}

TEST(MainWindowTest, CloseButtonAsksForFeedbackThenEndsAndRemoves) {
    CallRecord record;
    TestMainDlg dlg;
    bool feedbackShown = false;
    RunMainWindow(dlg, [&](const MainRun& run) {
        PostButtonClick(Button(run, IDC_MAIN_CLOSE));
        HWND feedback = WaitForDialog(::GetCurrentProcessId(), {IDC_FEEDBACK_CLOSE, IDC_FEEDBACK_SOLVED});
        feedbackShown = feedback != nullptr;
        if (feedback) {
            // Modal to the main window, and a second close while it is up opens no second one.
            EXPECT_FALSE(::IsWindowEnabled(run.host));
            EXPECT_FALSE(::IsWindowEnabled(run.child));
            PostButtonClick(Button(run, IDC_MAIN_CLOSE));
            ASSERT_TRUE(run.gui->Settle());  // the second close has been handled
            int questions = 0;
            for (HWND wnd = ::GetTopWindow(nullptr); wnd; wnd = ::GetWindow(wnd, GW_HWNDNEXT)) {
                DWORD pid = 0;
                ::GetWindowThreadProcessId(wnd, &pid);
                questions += pid == ::GetCurrentProcessId() && ::IsWindowVisible(wnd) &&
                             ::GetDlgItem(wnd, IDC_FEEDBACK_SOLVED) != nullptr;
            }
            EXPECT_EQ(questions, 1);
            PostButtonClick(::GetDlgItem(feedback, IDC_FEEDBACK_SOLVED));
        }
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(run.host); }));
    });
    EXPECT_TRUE(feedbackShown);
    const std::vector<std::wstring> reports = record.Calls(L"CustomerFeedbackEx");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].rfind(L"CustomerFeedbackEx Skelda|V 1.0|5|", 0), 0u) << reports[0];
    EXPECT_EQ(dlg.removals, 1);
}

TEST(MainWindowTest, SystemMenuCloseSkipsFeedbackButStillRemoves) {
    CallRecord record;
    TestMainDlg dlg;
    RunMainWindow(dlg, [&](const MainRun& run) {
        ::PostMessageW(run.host, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(run.host); }));
    });
    EXPECT_TRUE(record.Calls(L"CustomerFeedbackEx").empty());
    EXPECT_EQ(dlg.removals, 1);
}

TEST(MainWindowTest, AboutBoxAndFeedbackLinkLeaveTheWindowAsItWas) {
    CallRecord record;
    TestMainDlg dlg;
    RunMainWindow(dlg, [&](const MainRun& run) {
        ::PostMessageW(run.host, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        HWND about = WaitFor([&] {
            HWND wnd = FindDialog(::GetCurrentProcessId(), {IDOK});
            return wnd && TextOf(wnd) == L"关于 TavlinSkelda" ? wnd : nullptr;
        });
        ASSERT_NE(about, nullptr);
        PostCommand(about, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about); }));
        EXPECT_TRUE(::IsWindowVisible(run.child));

        RECT link{};
        ::GetWindowRect(Button(run, IDC_FEEDBACK_LINK), &link);
        POINT at{(link.left + link.right) / 2, (link.top + link.bottom) / 2};
        ::ScreenToClient(run.child, &at);
        ::PostMessageW(run.child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        ::PostMessageW(run.child, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        EXPECT_TRUE(WaitUntil([&] { return !record.Calls(L"FeedbackQuestion").empty(); }));
        EXPECT_EQ(record.Calls(L"FeedbackQuestion"), std::vector<std::wstring>{L"FeedbackQuestion Skelda|V 1.0"});
    });
}

TEST(MainWindowTest, SuccessNamesAKeptArchiveOnlyWhereItIsNotTheTarget) {
    const std::wstring target = L"C:\\OrvaneTavlin\\信息收集.7z";
    EXPECT_EQ(frontend::SuccessText(target, target), texts::kCollectSucceeded);
    EXPECT_EQ(frontend::SuccessText(target, L""), texts::kCollectSucceeded);  // an engine that does not say
    EXPECT_EQ(frontend::SuccessText(L"", L"C:\\x.7z"), texts::kCollectSucceeded);
    const std::wstring kept = L"C:\\OrvaneTavlin\\信息收集 (2026-12-08 23.59.01).7z";
    EXPECT_EQ(frontend::SuccessText(target, kept),
              std::wstring(texts::kCollectSucceeded) + L"\n" + texts::kArchiveKeptBeside + kept);
}

TEST(MainWindowTest, AnIncompleteArchiveAndAKeptCollectionAreSaidInThePrompts) {
    const std::wstring target = L"C:\\OrvaneTavlin\\信息收集.7z";
    EXPECT_EQ(frontend::SuccessText(target, target, L"2 files missing"),
              std::wstring(texts::kCollectSucceeded) + L"\n" + texts::kArchiveIncomplete);
    EXPECT_EQ(frontend::FailureText(L""), texts::kCollectFailed);
    const std::wstring kept = L"C:\\Windows\\Temp\\OrvaneSkelda-kept 2026-12-09 07.05.03";
    EXPECT_EQ(frontend::FailureText(kept), std::wstring(texts::kCollectFailed) + L"\n" + texts::kCollectionKeptAt + kept);
}

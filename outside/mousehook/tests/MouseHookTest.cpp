// The shipped hook library, loaded as the program loads it, against synthesized clicks.
#include <gtest/gtest.h>

#include <windows.h>
#include <windowsx.h>

#include <vector>

#include "DistFolder.h"
#include "OrvaneMouseHook.h"
#include "win/ProcAddress.h"

namespace {

struct Report {
    HWND window;
    WPARAM button;
    POINT point;
};

std::vector<Report> g_reports;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEHOOK_CLICK) {
        g_reports.push_back({window, wParam, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}});
        return 1;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t kClassName[] = L"OutsideHookTestWindow";

class MouseHookTest : public ::testing::Test {
protected:
    using StartFn = int(__cdecl*)(HWND);
    using StopFn = int(__cdecl*)();

    static void SetUpTestSuite() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kClassName;
        ::RegisterClassW(&wc);
    }

    void SetUp() override {
        g_reports.clear();
        module_ = ::LoadLibraryW((outside::testing::DistFolder() + L"\\OrvaneMouseHook.dll").c_str());
        ASSERT_NE(module_, nullptr) << ::GetLastError();
        start_ = util::win::ProcAddress<StartFn>(module_, "StartHookMouse");
        stop_ = util::win::ProcAddress<StopFn>(module_, "StopHookMouse");
        ASSERT_TRUE(start_ && stop_);
        window_ = MakeWindow();
        ASSERT_NE(window_, nullptr);
    }

    void TearDown() override {
        if (module_) {
            stop_();
            ::FreeLibrary(module_);
        }
        for (HWND w : {window_, other_}) {
            if (w) ::DestroyWindow(w);
        }
    }

    // A message-only window: reports are posted, so the window needs no place on the screen
    // (and Wine is slow to destroy visible windows where no window manager runs).
    static HWND MakeWindow() {
        return ::CreateWindowExW(0, kClassName, L"hook test", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    }

    // A press and release of one button with the cursor at a screen point.
    static void Click(int x, int y, DWORD down, DWORD up) {
        ::SetCursorPos(x, y);
        INPUT inputs[2] = {};
        inputs[0].type = inputs[1].type = INPUT_MOUSE;
        inputs[0].mi.dwFlags = down;
        inputs[1].mi.dwFlags = up;
        ASSERT_EQ(::SendInput(2, inputs, sizeof(INPUT)), 2u);
    }
    static void LeftClick(int x, int y) { Click(x, y, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }

    // Pumps this thread's messages (the hook runs inside them) until count reports have come
    // and then for settleMs more, so that surplus reports show up too.
    static void PumpFor(size_t count, DWORD timeoutMs = 3000, DWORD settleMs = 300) {
        const DWORD started = ::GetTickCount();
        DWORD settleFrom = 0;
        for (;;) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            const DWORD now = ::GetTickCount();
            if (g_reports.size() >= count && settleFrom == 0) settleFrom = now;
            if (settleFrom != 0 && now - settleFrom >= settleMs) return;
            if (settleFrom == 0 && now - started >= timeoutMs) return;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }

    HMODULE module_ = nullptr;
    StartFn start_ = nullptr;
    StopFn stop_ = nullptr;
    HWND window_ = nullptr;
    HWND other_ = nullptr;
};

TEST_F(MouseHookTest, PressesAnywhereAreReportedWithButtonAndScreenPoint) {
    ASSERT_EQ(start_(window_), 1);
    LeftClick(150, 160);
    PumpFor(1);
    Click(700, 650, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    PumpFor(2);

    ASSERT_EQ(g_reports.size(), 2u) << "one report per click, on the press";
    EXPECT_EQ(g_reports[0].window, window_);
    EXPECT_EQ(g_reports[0].button, static_cast<WPARAM>(WM_LBUTTONDOWN));
    EXPECT_EQ(g_reports[0].point.x, 150);
    EXPECT_EQ(g_reports[0].point.y, 160);
    EXPECT_EQ(g_reports[1].button, static_cast<WPARAM>(WM_RBUTTONDOWN));
    EXPECT_EQ(g_reports[1].point.x, 700);
    EXPECT_EQ(g_reports[1].point.y, 650);
}

TEST_F(MouseHookTest, SecondStartKeepsOneHookAndMovesReportsToTheNewWindow) {
    other_ = MakeWindow();
    ASSERT_NE(other_, nullptr);
    ASSERT_EQ(start_(window_), 1);
    ASSERT_EQ(start_(window_), 1);
    LeftClick(150, 150);
    PumpFor(1);
    ASSERT_EQ(g_reports.size(), 1u) << "a second start installed a second hook";

    g_reports.clear();
    ASSERT_EQ(start_(other_), 1);
    LeftClick(450, 150);
    PumpFor(1);
    ASSERT_EQ(g_reports.size(), 1u);
    EXPECT_EQ(g_reports[0].window, other_);
}

TEST_F(MouseHookTest, StopEndsReportsAndIsHarmlessWhenNotRunning) {
    EXPECT_EQ(stop_(), 0);
    ASSERT_EQ(start_(window_), 1);
    LeftClick(150, 150);
    PumpFor(1);
    ASSERT_EQ(g_reports.size(), 1u);

    EXPECT_EQ(stop_(), 1);
    EXPECT_EQ(stop_(), 0);
    g_reports.clear();
    LeftClick(150, 150);
    PumpFor(1, 800);
    EXPECT_TRUE(g_reports.empty());

    // Started again after a stop, it works again.
    ASSERT_EQ(start_(window_), 1);
    LeftClick(150, 150);
    PumpFor(1);
    EXPECT_EQ(g_reports.size(), 1u);
}

TEST_F(MouseHookTest, StopTakesBackReportsStillQueued) {
    ASSERT_EQ(start_(window_), 1);
    ::PostMessageW(window_, WM_MOUSEHOOK_CLICK, WM_LBUTTONDOWN, 0);
    ASSERT_EQ(stop_(), 1);
    PumpFor(1, 300);
    EXPECT_TRUE(g_reports.empty());
}

TEST_F(MouseHookTest, StartRefusesAWindowThatDoesNotExist) {
    EXPECT_EQ(start_(nullptr), 0);
    HWND gone = MakeWindow();
    ::DestroyWindow(gone);
    EXPECT_EQ(start_(gone), 0);
    EXPECT_EQ(stop_(), 0) << "a refused start must not leave a hook behind";
}

TEST_F(MouseHookTest, UnloadingWhileRunningRemovesTheHook) {
    ASSERT_EQ(start_(window_), 1);
    ASSERT_TRUE(::FreeLibrary(module_));
    module_ = nullptr;
    ASSERT_EQ(::GetModuleHandleW(L"OrvaneMouseHook.dll"), nullptr);
    LeftClick(150, 150);  // a hook left behind would run unloaded code here
    PumpFor(1, 800);
    EXPECT_TRUE(g_reports.empty());
}

}  // namespace

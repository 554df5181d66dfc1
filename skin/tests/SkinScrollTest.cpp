// The skinned scroll bar driven by mouse messages, and a frame attached to a real edit control.
#include <gtest/gtest.h>

#include <vector>
#include "Dialog.h"
#include "SkinScrollWnd.h"
#include "SkinTestResources.h"
#include "WindowTestKit.h"

#include <commctrl.h>

using testkit::ClientPixel;
using testkit::PumpPending;

namespace {

// Skin cell colours written by make_test_images.py.
COLORREF CellColour(int column, int row) { return RGB(20 + 25 * column, 40 + 80 * row, 200); }

// A parent that records the scroll codes and, like a real target, moves the position.
class ScrollParent : public CWnd {
public:
    std::vector<std::pair<int, int>> sent;  // code, position
    CSkinScrollBar* bar = nullptr;
    bool follow = false;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_VSCROLL) {
            sent.emplace_back(LOWORD(wp), HIWORD(wp));
            if (follow && bar) {
                SCROLLINFO si = bar->Info();
                if (LOWORD(wp) == SB_PAGEDOWN) si.nPos = std::min(si.nPos + 50, 150);
                if (LOWORD(wp) == SB_LINEDOWN) si.nPos = std::min(si.nPos + 1, 150);
                si.fMask = SIF_POS;
                bar->SetScrollInfo(si, TRUE);
            }
            return 0;
        }
        return CWnd::WindowProc(msg, wp, lp);
    }
};

class SkinScrollBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        skin = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SCROLL_SKIN),
                                                 IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(skin, nullptr);
        ASSERT_TRUE(parent.CreateEx(0, nullptr, L"parent", WS_POPUP | WS_VISIBLE, RECT{50, 50, 350, 350}, nullptr, 0));
        ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, RECT{10, 10, 40, 210}, parent.m_hWnd, 7));
        bar.SetSkin(skin);
        SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 199, 50, 0};
        bar.SetScrollInfo(si, FALSE);
        parent.bar = &bar;
        bar.UseTimers(&clock);
        bar.Invalidate();
        PumpPending();
    }
    void TearDown() override {
        parent.DestroyWindow();
        ::DeleteObject(skin);
    }
    void Press(int y) { bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, y)); }
    void Move(int y, WPARAM keys = MK_LBUTTON) { bar.SendMessage(WM_MOUSEMOVE, keys, MAKELPARAM(6, y)); }
    void Release(int y) { bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(6, y)); }

    // Ticks of the bar's repeat timers as the test lets time pass.
    UINT Period(UINT_PTR timer) const { return clock.Period(bar.m_hWnd, timer); }

    HBITMAP skin = nullptr;
    ScrollParent parent;
    CSkinScrollBar bar;
    testkit::ManualTimers clock;
};

}  // namespace

TEST_F(SkinScrollBarTest, PaintsArrowsThumbAndTrackFromTheSkin) {
    RECT r = bar.GetClientRect();
    EXPECT_EQ(r.right, 13);  // SetSkin made the bar as thick as a cell
    EXPECT_EQ(ClientPixel(bar.m_hWnd, 6, 6), CellColour(0, 0));
    EXPECT_EQ(ClientPixel(bar.m_hWnd, 6, 30), CellColour(2, 0));
    EXPECT_EQ(ClientPixel(bar.m_hWnd, 6, 120), CellColour(3, 0));
    EXPECT_EQ(ClientPixel(bar.m_hWnd, 6, 195), CellColour(1, 0));
    SCROLLINFO si{sizeof(si), SIF_ALL};
    ASSERT_TRUE(bar.GetScrollInfo(si));
    EXPECT_EQ(si.nMax, 199);
    EXPECT_EQ(si.nPage, 50u);
    EXPECT_EQ(si.nTrackPos, -1);
}

TEST_F(SkinScrollBarTest, HoverLooksForThumbAndArrowsOnly) {
    Move(30, 0);
    EXPECT_EQ(ClientPixel(bar.m_hWnd, 6, 30), CellColour(2, 1));
    Move(120, 0);  // track: no hover look, the thumb returns to normal
    EXPECT_EQ(ClientPixel(bar.m_hWnd, 6, 30), CellColour(2, 0));
    EXPECT_EQ(ClientPixel(bar.m_hWnd, 6, 120), CellColour(3, 0));
    Move(195, 0);
    EXPECT_EQ(ClientPixel(bar.m_hWnd, 6, 195), CellColour(1, 1));
    bar.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(ClientPixel(bar.m_hWnd, 6, 195), CellColour(1, 0));
}

TEST_F(SkinScrollBarTest, ArrowRepeatsAfterAPauseAndPausesOffTheArrow) {
    Press(195);
    ASSERT_EQ(parent.sent.size(), 1u);
    EXPECT_EQ(parent.sent[0].first, SB_LINEDOWN);
    EXPECT_EQ(ClientPixel(bar.m_hWnd, 6, 195), CellColour(1, 2));
    EXPECT_EQ(Period(CSkinScrollBar::kDelayTimer), 500u);
    clock.Advance(499);
    EXPECT_EQ(parent.sent.size(), 1u);  // nothing before 500 ms
    clock.Advance(1);
    EXPECT_EQ(Period(CSkinScrollBar::kDelayTimer), 0u);
    EXPECT_EQ(Period(CSkinScrollBar::kRepeatTimer), 100u);
    clock.Advance(500);
    EXPECT_EQ(parent.sent.size(), 6u);  // at 600, 700, 800, 900 and 1000 ms

    Move(100);  // off the arrow: paused and drawn unpressed
    EXPECT_EQ(ClientPixel(bar.m_hWnd, 6, 195), CellColour(1, 0));
    const size_t paused = parent.sent.size();
    clock.Advance(400);
    EXPECT_EQ(parent.sent.size(), paused);
    Move(195);  // back on: resumes
    EXPECT_EQ(ClientPixel(bar.m_hWnd, 6, 195), CellColour(1, 2));
    clock.Advance(100);
    EXPECT_EQ(parent.sent.size(), paused + 1);

    Release(195);
    EXPECT_EQ(Period(CSkinScrollBar::kRepeatTimer), 0u);
    const size_t released = parent.sent.size();
    clock.Advance(300);
    EXPECT_EQ(parent.sent.size(), released);
    EXPECT_EQ(ClientPixel(bar.m_hWnd, 6, 195), CellColour(1, 0));
}

TEST_F(SkinScrollBarTest, AReleaseBeforeThePauseEndsRepeatsNothing) {
    Press(195);
    clock.Advance(300);
    Release(195);
    EXPECT_EQ(Period(CSkinScrollBar::kDelayTimer), 0u);
    // A tick already queued when the press ended arms nothing either.
    bar.SendMessage(WM_TIMER, CSkinScrollBar::kDelayTimer);
    EXPECT_EQ(Period(CSkinScrollBar::kRepeatTimer), 0u);
    clock.Advance(1000);
    EXPECT_EQ(parent.sent.size(), 1u);
}

TEST_F(SkinScrollBarTest, TrackRepeatStopsWhenTheThumbReachesTheCursor) {
    parent.follow = true;
    ::SetCursorPos(50 + 10 + 6, 50 + 10 + 150);  // the repeat reads the real cursor
    Press(150);
    clock.Advance(1500);
    Release(150);
    // 0 -> 50 at once, 100 and 150 by repeat; then the thumb (144..187) covers the cursor.
    ASSERT_EQ(parent.sent.size(), 3u);
    for (const auto& s : parent.sent) EXPECT_EQ(s.first, SB_PAGEDOWN);
    EXPECT_EQ(bar.Info().nPos, 150);
}

TEST_F(SkinScrollBarTest, ThumbDragSendsTrackOnChangeAndPositionOnce) {
    Press(30);
    EXPECT_TRUE(bar.IsDragging());
    EXPECT_TRUE(parent.sent.empty());
    Move(40);  // 10 pixels: 10 * 150 / 131 = 11
    ASSERT_EQ(parent.sent.size(), 1u);
    EXPECT_EQ(parent.sent[0], std::make_pair(int(SB_THUMBTRACK), 11));
    EXPECT_EQ(ClientPixel(bar.m_hWnd, 6, 30), CellColour(2, 2));  // thumb pressed at its new place
    Move(40);
    EXPECT_EQ(parent.sent.size(), 1u);  // same position: nothing
    Move(41);
    ASSERT_EQ(parent.sent.size(), 2u);
    EXPECT_EQ(parent.sent[1].second, 12);
    Release(41);
    ASSERT_EQ(parent.sent.size(), 3u);
    EXPECT_EQ(parent.sent[2], std::make_pair(int(SB_THUMBPOSITION), 12));
    EXPECT_FALSE(bar.IsDragging());
    EXPECT_EQ(bar.Info().nTrackPos, -1);
}

TEST_F(SkinScrollBarTest, LosingTheCaptureStopsTheRepeat) {
    Press(195);
    clock.Advance(650);
    ASSERT_EQ(parent.sent.size(), 2u);
    ::SetCapture(parent.m_hWnd);  // e.g. a window that opens while the arrow is held
    EXPECT_EQ(Period(CSkinScrollBar::kRepeatTimer), 0u);
    const size_t stopped = parent.sent.size();
    clock.Advance(400);
    EXPECT_EQ(parent.sent.size(), stopped);
    EXPECT_EQ(ClientPixel(bar.m_hWnd, 6, 195), CellColour(1, 0));
    ::ReleaseCapture();
}

TEST_F(SkinScrollBarTest, DoubleClickDoesNothing) {
    EXPECT_EQ(bar.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(6, 195)), 1);
    EXPECT_TRUE(parent.sent.empty());
}

namespace {

class ScrollDialog : public CDialog {
public:
    ScrollDialog() : CDialog(IDD_TEST_SCROLL) {}
};

// Records the target's parent at the moment the target's own procedure sees WM_DESTROY.
LRESULT CALLBACK ParentAtDestroy(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    if (msg == WM_DESTROY) *reinterpret_cast<HWND*>(ref) = ::GetParent(wnd);
    return ::DefSubclassProc(wnd, msg, wp, lp);
}

}  // namespace

TEST(SkinScrollWndTest, FrameMirrorsAndDrivesTheTargetAndLeavesWithIt) {
    HBITMAP skin = static_cast<HBITMAP>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SCROLL_SKIN), IMAGE_BITMAP, 0, 0, 0));
    ScrollDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_SCROLL, static_cast<HWND>(nullptr)));
    dlg.ShowWindow(SW_SHOW);
    HWND target = dlg.GetDlgItem(IDC_SCROLL_TARGET);
    CString text;
    for (int i = 0; i < 60; ++i) text.AppendFormat(L"line %d\r\n", i);
    ::SetWindowTextW(target, text);
    HWND parentAtDestroy = nullptr;
    ::SetWindowSubclass(target, ParentAtDestroy, 1, reinterpret_cast<DWORD_PTR>(&parentAtDestroy));
    RECT before{};
    ::GetWindowRect(target, &before);

    CSkinScrollWnd* frame = AttachSkinScrollBars(target, skin, 1.0f, 0);
    ASSERT_NE(frame, nullptr);
    HWND frameWnd = frame->m_hWnd;
    PumpPending();  // the relayout
    frame->SendMessage(WM_TIMER, CSkinScrollWnd::kSyncTimer);  // what the 500 ms sync does
    wchar_t name[64] = {};
    ::GetWindowTextW(frameWnd, name, 64);
    EXPECT_STREQ(name, L"SkinScrollBarFrame");
    EXPECT_EQ(::GetDlgCtrlID(frameWnd), IDC_SCROLL_TARGET);
    EXPECT_EQ(::GetParent(target), frame->Limit());
    // The edit turned its border into a client edge, which the target gives up.
    EXPECT_FALSE(::GetWindowLongPtrW(target, GWL_STYLE) & WS_BORDER);
    EXPECT_FALSE(::GetWindowLongPtrW(target, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    CSkinScrollBar& vbar = frame->VertBar();
    EXPECT_TRUE(vbar.IsWindowVisible());
    EXPECT_FALSE(frame->HorzBar().IsWindowVisible());
    RECT limit{}, frameClient = frame->GetClientRect();
    ::GetClientRect(frame->Limit(), &limit);
    EXPECT_EQ(limit.right, frameClient.right - 13);  // the target's own bar is clipped away
    SCROLLINFO own{sizeof(own), SIF_ALL};
    ::GetScrollInfo(target, SB_VERT, &own);
    EXPECT_GT(own.nMax, 50);
    EXPECT_EQ(vbar.Info().nMax, own.nMax);
    EXPECT_EQ(vbar.Info().nPage, own.nPage);

    // A click on the skin bar's down arrow scrolls the target by one line.
    EXPECT_EQ(::SendMessageW(target, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    RECT vb = vbar.GetClientRect();
    vbar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, vb.bottom - 3));
    vbar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(6, vb.bottom - 3));
    EXPECT_EQ(::SendMessageW(target, EM_GETFIRSTVISIBLELINE, 0, 0), 1);
    EXPECT_EQ(vbar.Info().nPos, 1);

    // Scrolling the target itself reaches the bar through the erase hook or the sync timer.
    ::SendMessageW(target, EM_LINESCROLL, 0, 10);
    PumpPending();
    frame->SendMessage(WM_TIMER, CSkinScrollWnd::kSyncTimer);
    EXPECT_EQ(vbar.Info().nPos, 11);

    ::DestroyWindow(target);
    EXPECT_FALSE(::IsWindow(frameWnd));
    EXPECT_EQ(parentAtDestroy, dlg.m_hWnd);  // put back into the frame's place first
    dlg.DestroyWindow();
    ::DeleteObject(skin);
}

TEST(SkinScrollWndTest, DestroyingTheDialogTakesTheFrameAlong) {
    HBITMAP skin = static_cast<HBITMAP>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SCROLL_SKIN), IMAGE_BITMAP, 0, 0, 0));
    ScrollDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_SCROLL, static_cast<HWND>(nullptr)));
    CSkinScrollWnd* frame = AttachSkinScrollBars(dlg.GetDlgItem(IDC_SCROLL_TARGET), skin, 1.5f, 0);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Thickness(), 19);
    HWND frameWnd = frame->m_hWnd;
    dlg.DestroyWindow();
    EXPECT_FALSE(::IsWindow(frameWnd));
    ::DeleteObject(skin);
}

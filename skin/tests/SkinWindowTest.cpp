// Real windows under a real message loop: painting, states, placement and the dots thread.
#include <gtest/gtest.h>

#include <cstdlib>

#include "SkinScale.h"
#include "SkinTestPair.h"
#include "GdiCallCounter.h"
#include "WindowTestKit.h"

using testkit::ClientPixel;
using testkit::PumpPending;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kYellow = RGB(255, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Text is drawn antialiased: "ink" is a grey clearly darker than the light fills.
bool Dark(COLORREF c) {
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return r + g + b < 500 && std::abs(r - g) < 40 && std::abs(g - b) < 40;
}
bool Bright(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c) > 500; }

// The first column (from the left) in which some pixel satisfies pred, or -1.
template <class Pred>
int FirstColumn(HWND wnd, Pred pred) {
    RECT r{};
    ::GetClientRect(wnd, &r);
    ::UpdateWindow(wnd);
    HDC dc = ::GetDC(wnd);
    int found = -1;
    for (int x = 0; x < r.right && found < 0; ++x)
        for (int y = 0; y < r.bottom; ++y)
            if (pred(::GetPixel(dc, x, y))) { found = x; break; }
    ::ReleaseDC(wnd, dc);
    return found;
}

// The rows that hold some pixel satisfying pred: first and last, or -1.
template <class Pred>
std::pair<int, int> RowSpan(HWND wnd, Pred pred) {
    RECT r{};
    ::GetClientRect(wnd, &r);
    ::UpdateWindow(wnd);
    HDC dc = ::GetDC(wnd);
    int first = -1, last = -1;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x)
            if (pred(::GetPixel(dc, x, y))) {
                if (first < 0) first = y;
                last = y;
                break;
            }
    ::ReleaseDC(wnd, dc);
    return {first, last};
}

class SkinWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Create(IDD_TEST_HOST, static_cast<HWND>(nullptr)));
        host.ShowWindow(SW_SHOW);
        ::SetWindowPos(host.m_hWnd, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        child = host.TheChild();
        ASSERT_NE(child, nullptr);
        PumpPending();
    }
    void TearDown() override {
        host.DestroyWindow();
        PumpPending();
    }
    LPARAM Screen(CWnd& control, int x, int y) { return testkit::ScreenPoint(control.m_hWnd, x, y); }

    TestHost host;
    TestChild* child = nullptr;
};

}  // namespace

TEST_F(SkinWindowTest, HostIsComposedAtItsSizeAndTheChildSitsInside) {
    RECT h = host.GetWindowRect(), c = child->GetWindowRect();
    EXPECT_EQ(h.right - h.left, 300);
    EXPECT_EQ(h.bottom - h.top, 200);
    EXPECT_TRUE(host.GetExStyle() & WS_EX_LAYERED);
    // Placed by the host's move handler while the follow flag is set: L+5, T+4, R-5, B-7.
    EXPECT_EQ(c.left, h.left + 5);
    EXPECT_EQ(c.top, h.top + 4);
    EXPECT_EQ(c.right, h.right - 5);
    EXPECT_EQ(c.bottom, h.bottom - 7);
    EXPECT_EQ(ClientPixel(child->m_hWnd, 250, 20), RGB(10, 20, 30));  // the child's PNG
}

TEST_F(SkinWindowTest, DragStripAnswersCaptionExceptNearTheRightEdge) {
    RECT c = child->GetWindowRect();
    EXPECT_EQ(child->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(c.left + 50, c.top + 10)), HTCAPTION);
    EXPECT_EQ(child->CaptionFlag(), 1);
    EXPECT_EQ(child->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(c.right - 20, c.top + 10)), HTCLIENT);
    EXPECT_EQ(child->CaptionFlag(), 0);
    EXPECT_EQ(child->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(c.left + 50, c.top + 31)), HTCLIENT);
}

TEST_F(SkinWindowTest, DraggedChildLeadsAndTheHostNoLongerMovesIt) {
    RECT c = child->GetWindowRect();
    child->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(c.left + 50, c.top + 10));  // in the strip
    child->MoveWindow(c.left + 30, c.top + 20, c.right - c.left, c.bottom - c.top);
    EXPECT_EQ(host.FollowFlag(), 0);
    RECT h = host.GetWindowRect();
    EXPECT_EQ(h.left, c.left + 30 - 5);
    EXPECT_EQ(h.top, c.top + 20 - 4);
    EXPECT_EQ(h.right, c.right + 30 + 5);
    EXPECT_EQ(h.bottom, c.bottom + 20 + 7);

    RECT before = child->GetWindowRect();
    child->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(before.right - 5, before.bottom - 5));  // leaves the strip
    ::SetWindowPos(host.m_hWnd, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT after = child->GetWindowRect();
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

TEST(SkinTopLevelTest, TopLevelPairStandsCentredWithTheHostFollowingItsChild) {
    TestHost host(true);
    ASSERT_TRUE(host.Create(IDD_TEST_HOST, static_cast<HWND>(nullptr)));
    const float s = host.m_scale;
    const int w = skin::Scaled(300, s), h = skin::Scaled(200, s);
    const int left = ::GetSystemMetrics(SM_CXSCREEN) / 2 - w / 2, top = ::GetSystemMetrics(SM_CYSCREEN) / 2 - h / 2;
    RECT c = host.Child()->GetWindowRect(), r = host.GetWindowRect();
    EXPECT_EQ(c.left, left + skin::Scaled(5, s));
    EXPECT_EQ(c.top, top + skin::Scaled(4, s));
    EXPECT_EQ(c.right - c.left, w - skin::Scaled(10, s));
    EXPECT_EQ(r.left, c.left - skin::Scaled(5, s));  // the host followed its child
    EXPECT_EQ(r.bottom, c.bottom + skin::Scaled(7, s));
    EXPECT_EQ(host.FollowFlag(), 0);
    host.DestroyWindow();
}

TEST_F(SkinWindowTest, PngButtonWalksThroughItsStates) {
    CPngButton& b = child->png;
    HWND w = b.m_hWnd;
    EXPECT_EQ(ClientPixel(w, 5, 5), kRed);
    EXPECT_EQ(ClientPixel(w, 70, 5), kWhite);   // natural size: 55 x 24, the rest stays white
    EXPECT_EQ(ClientPixel(w, 5, 27), kWhite);

    b.SendMessage(WM_NCHITTEST, 0, Screen(b, 5, 5));
    EXPECT_EQ(b.State(), 2);
    EXPECT_EQ(ClientPixel(w, 5, 5), kGreen);
    b.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(b.State(), 3);
    EXPECT_EQ(b.PressedFlag(), 1);
    EXPECT_EQ(ClientPixel(w, 5, 5), kBlue);
    b.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(b.State(), 2);
    EXPECT_EQ(b.PressedFlag(), 0);
    EXPECT_EQ(child->pngClicks, 1);
    EXPECT_EQ(ClientPixel(w, 5, 5), kGreen);

    b.SendMessage(WM_NCHITTEST, 0, Screen(b, 200, 5));  // off the button, inside the dialog
    EXPECT_EQ(b.State(), 1);

    // Released outside: stays pressed-looking until a leave check.
    b.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    b.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(300, 300));
    EXPECT_EQ(b.State(), 3);
    EXPECT_EQ(child->pngClicks, 1);
    RECT wr = b.GetWindowRect();
    b.CheckMouseLeave(wr.left + 2, wr.top + 2);
    EXPECT_EQ(b.State(), 3);
    b.CheckMouseLeave(wr.right + 2, wr.top + 2);
    EXPECT_EQ(b.State(), 1);
    EXPECT_EQ(ClientPixel(w, 5, 5), kRed);

    b.EnableWindow(FALSE);
    b.SendMessage(WM_NCHITTEST, 0, Screen(b, 5, 5));
    EXPECT_EQ(b.State(), 4);
    EXPECT_EQ(ClientPixel(w, 5, 5), kYellow);
}

TEST_F(SkinWindowTest, PngButtonDoesNotSampleTheLastRowAndColumn) {
    CPngButton& b = child->png;
    b.SetImages(IDP_EDGE, IDP_EDGE, IDP_EDGE, IDP_EDGE);
    b.Invalidate();
    for (int x : {0, 30, 54})
        for (int y : {0, 12, 23}) {
            COLORREF c = ClientPixel(b.m_hWnd, x, y);
            EXPECT_GT(GetRValue(c), 200) << x << "," << y;
            EXPECT_LT(GetBValue(c), 60) << x << "," << y;  // no magenta from the edge
        }
}

TEST_F(SkinWindowTest, ButtonWithAMissingImagePaintsWhite) {
    CPngButton& b = child->png;
    b.SetImages(IDP_BUTTON_NORMAL, IDP_BUTTON_HOVER, IDP_BUTTON_PRESSED, IDP_MISSING);
    b.Invalidate();
    EXPECT_EQ(ClientPixel(b.m_hWnd, 5, 5), kWhite);
    CFeaturePngButton& f = child->feature;
    f.SetImages(IDP_FEATURE_NORMAL, IDP_MISSING, IDP_FEATURE_PRESSED, IDP_FEATURE_DISABLED);
    f.Invalidate();
    EXPECT_EQ(ClientPixel(f.m_hWnd, 60, 20), kWhite);
}

TEST_F(SkinWindowTest, FeatureButtonDrawsItsBackgroundAndIgnoresTheInsetMargin) {
    CFeaturePngButton& f = child->feature;
    HWND w = f.m_hWnd;
    EXPECT_EQ(ClientPixel(w, 5, 20), RGB(0, 255, 255));  // background region under the transparent half
    EXPECT_EQ(ClientPixel(w, 60, 20), RGB(128, 0, 0));

    f.SendMessage(WM_NCHITTEST, 0, Screen(f, 3, 20));  // in the 10-pixel left inset
    EXPECT_EQ(f.State(), 1);
    f.SendMessage(WM_NCHITTEST, 0, Screen(f, 40, 20));
    EXPECT_EQ(f.State(), 2);
    f.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 20));
    EXPECT_EQ(f.State(), 1);  // normal, not pressed
    EXPECT_EQ(f.PressedFlag(), 0);
    f.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(3, 20));
    EXPECT_EQ(child->featureClicks, 1);  // the system button still clicks
    f.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 20));
    EXPECT_EQ(f.State(), 3);
    EXPECT_EQ(ClientPixel(w, 60, 20), RGB(0, 0, 128));
    f.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(40, 38));  // bottom inset: outside
    EXPECT_EQ(f.State(), 1);

    f.EnableWindow(FALSE);
    f.RefreshState();
    EXPECT_EQ(f.State(), 4);
    EXPECT_EQ(ClientPixel(w, 60, 20), RGB(128, 128, 0));
    f.EnableWindow(TRUE);
    f.RefreshState();
    EXPECT_EQ(f.State(), 1);
}

TEST_F(SkinWindowTest, HoverTimerResetsButtonsWhenTheCursorLeavesTheDialog) {
    ::SetCursorPos(1200, 1000);
    child->png.SendMessage(WM_NCHITTEST, 0, Screen(child->png, 5, 5));
    ASSERT_EQ(child->png.State(), 2);
    child->SendMessage(WM_TIMER, TestChild::kHoverTimer);  // what the 100 ms hover timer does
    EXPECT_EQ(child->png.State(), 1);
}

TEST_F(SkinWindowTest, PngCheckBoxDrawsTheBoxFromItsCheckStateAndTheTextAfterIt) {
    CPngCheckBoxEx& b = child->check;
    b.SetCheck(BST_CHECKED);
    EXPECT_EQ(ClientPixel(b.m_hWnd, 8, 8), RGB(0, 200, 0));
    b.SetCheck(BST_UNCHECKED);
    EXPECT_EQ(ClientPixel(b.m_hWnd, 8, 8), RGB(200, 0, 0));
    EXPECT_EQ(ClientPixel(b.m_hWnd, 18, 8), RGB(0, 0, 0));  // black fill between box and text
    int textLeft = FirstColumn(b.m_hWnd, [](COLORREF c) { return Bright(c); });
    EXPECT_GE(textLeft, 20);  // 17 x 1 + 3
    EXPECT_LE(textLeft, 23);
}

TEST_F(SkinWindowTest, CheckBoxBtnCentresItsBoxAndStartsTheTextAfterIt) {
    CCheckBoxBtn& b = child->checkBtn;
    b.SetCheck(BST_CHECKED);
    EXPECT_EQ(ClientPixel(b.m_hWnd, 8, 10), RGB(0, 200, 0));
    EXPECT_EQ(ClientPixel(b.m_hWnd, 8, 1), RGB(241, 241, 246));  // the box starts at 21 / 2 - 8 = 2
    EXPECT_EQ(ClientPixel(b.m_hWnd, 8, 2), RGB(0, 200, 0));
    EXPECT_EQ(ClientPixel(b.m_hWnd, 8, 18), RGB(241, 241, 246));
    b.SetCheck(BST_UNCHECKED);
    EXPECT_EQ(ClientPixel(b.m_hWnd, 8, 10), RGB(200, 0, 0));
    int textLeft = FirstColumn(b.m_hWnd, [](COLORREF c) { return Dark(c); });
    EXPECT_GE(textLeft, 18);  // 16 + 2
    EXPECT_LE(textLeft, 21);
}

TEST_F(SkinWindowTest, TextStaticFormatsPlaceTheText) {
    CDrawTextStatic& t = child->text;
    auto dark = [](COLORREF c) { return Dark(c); };
    int left = FirstColumn(t.m_hWnd, dark);
    EXPECT_GE(left, 0);
    EXPECT_LE(left, 2);
    t.SetFormat(2);
    t.Invalidate();
    int centred = FirstColumn(t.m_hWnd, dark);
    t.SetFormat(3);
    t.Invalidate();
    int right = FirstColumn(t.m_hWnd, dark);
    EXPECT_GT(centred, 20);
    EXPECT_GT(right, centred + 20);
    t.SetFormat(5);
    t.Invalidate();
    EXPECT_EQ(FirstColumn(t.m_hWnd, dark), -1);

    // Format 0 wraps on word boundaries from the top; format 1 keeps one centred line.
    t.MoveWindow(10, 120, 120, 60);
    t.SetWindowText(L"wide word wide word wide word wide word wide word");
    t.SetFormat(0);
    t.Invalidate();
    auto wrapped = RowSpan(t.m_hWnd, dark);
    t.SetFormat(1);
    t.Invalidate();
    auto single = RowSpan(t.m_hWnd, dark);
    EXPECT_LT(wrapped.first, 4);
    EXPECT_GT(wrapped.second - wrapped.first, single.second - single.first + 8);
    EXPECT_GT(single.first, 15);
}

TEST_F(SkinWindowTest, TextStaticHoverColourRepaintsOnlyOnChange) {
    CDrawTextStatic& t = child->text;
    auto blue = [](COLORREF c) { return GetBValue(c) > 150 && GetRValue(c) < 100 && GetGValue(c) < 100; };
    EXPECT_EQ(FirstColumn(t.m_hWnd, blue), -1);
    RECT wr = t.GetWindowRect();
    t.CheckMouseHover(wr.left + 3, wr.top + 3);
    EXPECT_EQ(t.HoverFlag(), 1);
    EXPECT_GE(FirstColumn(t.m_hWnd, blue), 0);
    t.CheckMouseHover(wr.left + 4, wr.top + 4);  // still inside: nothing to repaint
    EXPECT_FALSE(::GetUpdateRect(t.m_hWnd, nullptr, FALSE));
    t.CheckMouseHover(wr.right + 4, wr.top + 4);
    EXPECT_EQ(t.HoverFlag(), 0);
    EXPECT_TRUE(::GetUpdateRect(t.m_hWnd, nullptr, FALSE));
    EXPECT_EQ(FirstColumn(t.m_hWnd, blue), -1);
    EXPECT_TRUE(t.IsPointInside(wr.left, wr.top));
    EXPECT_FALSE(t.IsPointInside(wr.right, wr.top));

    t.SetBkColor(RGB(0, 0, 0));  // after the first paint the brush stays
    t.Invalidate();
    EXPECT_EQ(ClientPixel(t.m_hWnd, 118, 1), kWhite);
}

TEST_F(SkinWindowTest, StateStaticDotsAdvanceAfterAPauseAndStop) {
    CDrawStateInfoStatic& s = child->state;
    testkit::SteppedPacer pacer;
    s.UsePacer(&pacer);
    s.StartAnimation();
    EXPECT_EQ(pacer.NextPause(), 500u);  // the first pause
    EXPECT_EQ(s.DotCount(), 0);
    const int expected[] = {1, 2, 3, 0, 1};  // one more after each pause, wrapping after three
    for (int dots : expected) {
        pacer.Step();
        EXPECT_EQ(pacer.NextPause(), 600u);
        EXPECT_EQ(s.DotCount(), dots);
        if (dots == 1) {
            EXPECT_EQ(s.DisplayText(), L"正在收集.");
        }
        if (dots == 3) {
            EXPECT_EQ(s.DisplayText(), L"正在收集...");
        }
    }
    s.StopAnimation();  // ends the pause at once
    EXPECT_FALSE(s.Animating());
    EXPECT_EQ(s.DotCount(), 0);
}

TEST_F(SkinWindowTest, StateStaticDotsRunOnTheRealClock) {
    // The control's own pacing: a dot arrives, however slow the machine (a minute at most).
    CDrawStateInfoStatic& s = child->state;
    s.StartAnimation();
    for (int i = 0; i < 600 && s.DotCount() == 0; ++i) testkit::PumpFor(100);
    EXPECT_GE(s.DotCount(), 1);
    s.StopAnimation();
    EXPECT_EQ(s.DotCount(), 0);
}

TEST_F(SkinWindowTest, NoDotsThreadOutlivesTheControl) {
    const int before = testkit::ThreadCount();
    child->state.StartAnimation();
    EXPECT_EQ(testkit::ThreadCount(), before + 1);
    host.DestroyWindow();  // destroys the child and its controls
    EXPECT_EQ(testkit::ThreadCount(), before);

    // A control object deleted while its thread pauses joins it first.
    const int again = testkit::ThreadCount();
    {
        testkit::SteppedPacer pacer;
        TestHost other;
        ASSERT_TRUE(other.Create(IDD_TEST_HOST, static_cast<HWND>(nullptr)));
        other.TheChild()->state.UsePacer(&pacer);
        other.TheChild()->state.StartAnimation();
        EXPECT_EQ(pacer.NextPause(), 500u);
        EXPECT_EQ(testkit::ThreadCount(), again + 1);
    }
    EXPECT_EQ(testkit::ThreadCount(), again);
}

TEST_F(SkinWindowTest, EditCentresTwelvePixelTextWithFivePixelBands) {
    CTextVcenterEdit& e = child->edit;
    RECT client = e.GetClientRect();
    ASSERT_EQ(client.bottom, 12) << "the test font should measure 12 pixels";
    EXPECT_EQ(e.TopBand().bottom, 5);
    EXPECT_EQ(e.BottomBand().top, 17);
    RECT wr = e.GetWindowRect();
    POINT origin{0, 0};
    ::ClientToScreen(e.m_hWnd, &origin);
    EXPECT_EQ(origin.y - wr.top, 5);
    ::RedrawWindow(e.m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(testkit::WindowPixel(e.m_hWnd, 75, 2), RGB(240, 240, 240));
    EXPECT_EQ(testkit::WindowPixel(e.m_hWnd, 75, 19), RGB(240, 240, 240));
}

TEST_F(SkinWindowTest, PaintingLeaksNoGdiObjects) {
    HWND controls[] = {child->png.m_hWnd, child->feature.m_hWnd, child->check.m_hWnd, child->checkBtn.m_hWnd,
                       child->text.m_hWnd, child->state.m_hWnd, child->edit.m_hWnd, child->m_hWnd};
    auto repaintAll = [&] {
        for (HWND w : controls) ::RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    };
    repaintAll();  // first paints make the kept off-screen bitmaps
    auto exercise = [&] {
        for (int i = 0; i < 20; ++i) {
            child->text.CheckMouseHover(i % 2 ? 0 : 30000, 0);
            child->png.CheckMouseLeave(30000, 0);
            child->check.SetCheck(i % 2);
            repaintAll();
        }
    };
    // The system's count where it has one (Wine's is always 0)...
    const DWORD before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    exercise();
    if (before != 0) {
        EXPECT_EQ(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), before);
    }
    // ...and everywhere the objects and DCs our own code takes and gives back.
    testkit::GdiCallCounter counter;
    ASSERT_TRUE(counter.Hooked());
    exercise();
    EXPECT_EQ(counter.Live(), 0);
}

TEST_F(SkinWindowTest, GdiCounterSeesALeak) {
    testkit::GdiCallCounter counter;
    ui::UniqueBrush kept(::CreateSolidBrush(RGB(1, 2, 3)));
    HDC dc = ::GetDC(child->m_hWnd);
    EXPECT_EQ(counter.Live(), 2);
    ::ReleaseDC(child->m_hWnd, dc);
    kept.Reset();
    EXPECT_EQ(counter.Live(), 0);
}

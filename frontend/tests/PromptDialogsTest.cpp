// The message prompt and the progress prompt, run modally and driven by posted clicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "ExecutePromptDlg.h"
#include "FrontendMessages.h"
#include "FrontendTexts.h"
#include "PromptDlg.h"
#include "TestKit.h"
#include "resource.h"

using fetest::AfterDelay;
using fetest::PostClick;

namespace {

struct PromptSeen {
    bool leftVisible = false, rightVisible = false;
    RECT host{}, child{}, left{}, right{}, close{};
    std::wstring text;
};

RECT InParent(HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

PromptSeen Look(CPromptDlg& dlg) {
    PromptSeen seen;
    CPromptChildDlg* child = dlg.PromptChild();
    if (!child) return seen;
    seen.leftVisible = child->m_left.IsWindowVisible();
    seen.rightVisible = child->m_right.IsWindowVisible();
    seen.host = dlg.GetWindowRect();
    seen.child = child->GetClientRect();
    seen.left = InParent(child->m_left);
    seen.right = InParent(child->m_right);
    seen.close = InParent(child->m_close);
    seen.text = fetest::TextOf(child->m_message);
    return seen;
}

int CentreX(const RECT& r) { return (r.left + r.right) / 2; }

// Runs a prompt of the kind, looks at it once it shows, then clicks the control picked.
INT_PTR RunAndClick(int kind, float scale, UINT clickId, PromptSeen* seen, const wchar_t* text = L"消息") {
    CPromptDlg dlg;
    dlg.SetText(text);
    dlg.SetKind(kind);
    dlg.m_scale = scale;
    AfterDelay(150, [&] {
        *seen = Look(dlg);
        if (dlg.PromptChild()) PostClick(dlg.PromptChild()->GetDlgItem(clickId));
        else dlg.EndDialog(-2);
    });
    return dlg.DoModal();
}

}  // namespace

TEST(PromptLayoutTest, ButtonImagesAndPlacementByKind) {
    EXPECT_EQ(frontend::PromptButtonsForKind(3).left[0], static_cast<UINT>(IDB_PROMPT_CONFIRM_NORMAL));
    EXPECT_EQ(frontend::PromptButtonsForKind(3).left[3], static_cast<UINT>(IDB_PROMPT_CONFIRM_PRESSED));
    EXPECT_EQ(frontend::PromptButtonsForKind(4).right[0], static_cast<UINT>(IDB_PROMPT_CANCEL_NORMAL));
    EXPECT_EQ(frontend::PromptButtonsForKind(2).right[1], static_cast<UINT>(IDB_PROMPT_NO_HOVER));
    for (int kind : {0, 5, -1}) {
        const frontend::PromptButtons b = frontend::PromptButtonsForKind(kind);
        EXPECT_EQ(b.left[0], static_cast<UINT>(IDB_PROMPT_YES_NORMAL)) << kind;
        EXPECT_FALSE(b.rightShown) << kind;
        EXPECT_FALSE(b.leftCentred) << kind;
    }
}

TEST(PromptLayoutTest, OnlyTheConstantsScaleNotTheHalfWidth) {
    // Child client 320 x 140 at scale 1; an odd width halves down.
    frontend::PromptLayout l = frontend::PromptLayoutFor(321, 140, PROMPT_YES_NO, 1.0f);
    EXPECT_EQ(l.left.left, 160 - 67);
    EXPECT_EQ(l.right.left, 160 + 12);
    EXPECT_EQ(l.close.left, 321 - 26);
    l = frontend::PromptLayoutFor(321, 140, PROMPT_CONFIRM, 1.0f);
    EXPECT_EQ(l.left.left, 160 - 27);
    // Scale 1.5: 55 x 24 buttons become 82 x 36, half of 55 becomes 41.
    l = frontend::PromptLayoutFor(494, 224, PROMPT_YES, 1.5f);
    EXPECT_EQ(l.left.right - l.left.left, 82);
    EXPECT_EQ(l.left.bottom - l.left.top, 36);
    EXPECT_EQ(l.left.left, 247 - 41);
    EXPECT_EQ(l.left.top, 160);
    EXPECT_EQ(l.text.left, 15);
    EXPECT_EQ(l.text.bottom, 224 - 60);
}

TEST(PromptDialogTest, ConfirmKindShowsOneCentredButtonAndReturnsOk) {
    PromptSeen seen;
    EXPECT_EQ(RunAndClick(PROMPT_CONFIRM, 1.0f, IDC_PROMPT_LEFT, &seen, L"工具初始化失败"), IDOK);
    EXPECT_TRUE(seen.leftVisible);
    EXPECT_FALSE(seen.rightVisible);
    EXPECT_NEAR(CentreX(seen.left), seen.child.right / 2, 1);
    EXPECT_EQ(seen.text, L"工具初始化失败");
    EXPECT_EQ(seen.host.right - seen.host.left, 336);
    EXPECT_EQ(seen.host.bottom - seen.host.top, 156);
}

TEST(PromptDialogTest, CloseButtonCancelsEveryKind) {
    for (int kind : {1, 2, 3, 4, 0}) {
        PromptSeen seen;
        EXPECT_EQ(RunAndClick(kind, 1.0f, IDC_PROMPT_CLOSE, &seen), IDCANCEL) << kind;
        EXPECT_GT(seen.close.left, seen.child.right - 30) << kind;
    }
}

TEST(PromptDialogTest, TwoButtonKindsPutYesLeftAndNoRightOfCentre) {
    for (int kind : {PROMPT_YES_NO, PROMPT_CONFIRM_CANCEL}) {
        PromptSeen seen;
        EXPECT_EQ(RunAndClick(kind, 1.0f, IDC_PROMPT_RIGHT, &seen), IDCANCEL) << kind;
        EXPECT_TRUE(seen.leftVisible && seen.rightVisible) << kind;
        EXPECT_LT(seen.left.right, seen.child.right / 2) << kind;
        EXPECT_GT(seen.right.left, seen.child.right / 2) << kind;
        EXPECT_EQ(RunAndClick(kind, 1.0f, IDC_PROMPT_LEFT, &seen), IDOK) << kind;
    }
}

TEST(PromptDialogTest, UnknownKindShowsYesAloneLeftOfCentre) {
    PromptSeen seen;
    EXPECT_EQ(RunAndClick(0, 1.0f, IDC_PROMPT_LEFT, &seen), IDOK);
    EXPECT_TRUE(seen.leftVisible);
    EXPECT_FALSE(seen.rightVisible);
    EXPECT_LT(seen.left.right, seen.child.right / 2);
}

TEST(PromptDialogTest, ScaleOneAndAHalfGrowsHostAndButtons) {
    PromptSeen seen;
    EXPECT_EQ(RunAndClick(PROMPT_YES_NO, 1.5f, IDC_PROMPT_LEFT, &seen), IDOK);
    EXPECT_EQ(seen.host.right - seen.host.left, 504);
    EXPECT_EQ(seen.host.bottom - seen.host.top, 234);
    EXPECT_EQ(seen.left.right - seen.left.left, 82);
    EXPECT_EQ(seen.left.bottom - seen.left.top, 36);
    EXPECT_EQ(seen.right.right - seen.right.left, 82);
}

TEST(PromptDialogTest, EscapeAndEnterDoNothing) {
    CPromptDlg dlg;
    dlg.SetText(L"消息");
    dlg.SetKind(PROMPT_CONFIRM_CANCEL);
    bool stillOpen = false;
    AfterDelay(150, [&] {
        CPromptChildDlg* child = dlg.PromptChild();
        ASSERT_NE(child, nullptr);
        ::SetFocus(child->m_left);
        for (HWND target : {child->m_left.m_hWnd, child->m_hWnd, dlg.m_hWnd}) {
            ::PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0);
            ::PostMessageW(target, WM_KEYDOWN, VK_RETURN, 0);
        }
        AfterDelay(200, [&] {
            stillOpen = dlg.m_hWnd && ::IsWindowVisible(dlg.m_hWnd) && dlg.PromptChild() &&
                        ::IsWindowVisible(dlg.PromptChild()->m_hWnd);
            PostClick(dlg.PromptChild()->m_right);
        });
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(stillOpen);
}

namespace {
BOOL CALLBACK ClickLeftOfPrompt(HWND wnd, LPARAM) {
    if (::GetDlgItem(wnd, IDC_PROMPT_TEXT)) PostClick(::GetDlgItem(wnd, IDC_PROMPT_LEFT));
    return TRUE;
}
}  // namespace

TEST(PromptDialogTest, ShowPromptRunsOverAnOwnerAndReturnsTheButton) {
    AfterDelay(150, [&] {
        // The prompt child is the window of this thread with the message static.
        ::EnumThreadWindows(::GetCurrentThreadId(), ClickLeftOfPrompt, 0);
    });
    EXPECT_EQ(ShowPrompt(nullptr, 1.0f, PROMPT_YES_NO, L"确定吗"), IDOK);
}

// ---- progress prompt ----

namespace {

struct ProgressSeen {
    std::wstring text;
    int maxDots = 0;
    bool animating = false;
    RECT host{}, child{}, line{};
};

// Watches the prompt from inside its modal loop until until() holds of what was seen (at most
// fetest::kPatienceMs), then closes it as its owner does.
ProgressSeen RunProgress(const wchar_t* text, const std::function<bool(const ProgressSeen&)>& until) {
    CExecutePromptDlg dlg;
    dlg.SetText(text);
    ProgressSeen seen;
    DWORD start = 0;
    std::function<void()> watch = [&] {
        CExecutePromptChildDlg* child = dlg.PromptChild();
        if (!child) { dlg.EndDialog(-2); return; }
        if (seen.text.empty()) {
            seen.text = fetest::TextOf(child->m_message);
            seen.host = dlg.GetWindowRect();
            seen.child = child->GetWindowRect();
            seen.line = child->m_message.GetRectInParent();
            start = ::GetTickCount();
        }
        seen.animating = seen.animating || child->m_message.Animating();
        seen.maxDots = std::max(seen.maxDots, child->m_message.DotCount());
        if (!until(seen) && ::GetTickCount() - start < fetest::kPatienceMs)
            AfterDelay(50, watch);
        else
            ::SendMessageW(dlg.m_hWnd, WM_CLOSE_PROGRESS, 0, 0);  // as the owner does
    };
    AfterDelay(100, watch);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.PromptChild(), nullptr);
    return seen;
}

bool AtOnce(const ProgressSeen&) { return true; }

}  // namespace

TEST(ProgressPromptTest, ShortTextsShowTheDefaultWithDots) {
    for (const wchar_t* text : {L"", L"x"}) {
        const ProgressSeen seen = RunProgress(text, [](const ProgressSeen& s) { return s.maxDots >= 1; });
        EXPECT_EQ(seen.text, texts::kProgressDefault) << text;
        EXPECT_TRUE(seen.animating);
        EXPECT_GE(seen.maxDots, 1);
    }
}

TEST(ProgressPromptTest, ClosesOnItsMessageWithTheGivenTextAndPlacesTheChild) {
    const ProgressSeen seen = RunProgress(L"正在收集信息，请稍等", AtOnce);
    EXPECT_EQ(seen.text, L"正在收集信息，请稍等");
    EXPECT_EQ(seen.host.right - seen.host.left, 232);
    EXPECT_EQ(seen.host.bottom - seen.host.top, 132);
    EXPECT_EQ(seen.child.left - seen.host.left, 14);
    EXPECT_EQ(seen.child.top - seen.host.top, 12);
    // Child 204 x 104: the line sits 10 from the sides, 20 high around the middle.
    EXPECT_EQ(seen.line.left, 10);
    EXPECT_EQ(seen.line.right, 194);
    EXPECT_EQ(seen.line.top, 42);
    EXPECT_EQ(seen.line.bottom, 62);
    // A two-character text is shown as it is.
    EXPECT_EQ(RunProgress(L"ab", AtOnce).text, L"ab");
}

TEST(ProgressPromptTest, OnlyItsMessageEndsItNotKeysOrClose) {
    CExecutePromptDlg dlg;
    dlg.SetText(L"正在收集信息，请稍等");
    bool stillOpen = false;
    AfterDelay(150, [&] {
        CExecutePromptChildDlg* child = dlg.PromptChild();
        ASSERT_NE(child, nullptr);
        for (HWND target : {child->m_hWnd, dlg.m_hWnd}) {
            ::PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0);
            ::PostMessageW(target, WM_KEYDOWN, VK_RETURN, 0);
            ::PostMessageW(target, WM_SYSKEYDOWN, VK_F4, 1 << 29);  // Alt+F4
            ::PostMessageW(target, WM_SYSCOMMAND, SC_CLOSE, 0);
            ::PostMessageW(target, WM_CLOSE, 0, 0);
        }
        AfterDelay(300, [&] {
            stillOpen = dlg.m_hWnd && ::IsWindowVisible(dlg.m_hWnd) && dlg.PromptChild() &&
                        ::IsWindowVisible(dlg.PromptChild()->m_hWnd);
            ::SendMessageW(dlg.m_hWnd, WM_CLOSE_PROGRESS, 0, 0);
        });
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(stillOpen);
}

TEST(ProgressPromptTest, TextRectFollowsTheScale) {
    const RECT r = frontend::ProgressTextRect(306, 156, 1.5f);
    EXPECT_EQ(r.left, 15);
    EXPECT_EQ(r.top, 78 - 15);
    EXPECT_EQ(r.bottom, 78 - 15 + 30);
    EXPECT_EQ(r.right, 306 - 15);
}

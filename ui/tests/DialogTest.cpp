// The modal loop, the pre-translate walk, control binding and the object slots.
#include "Dialog.h"

#include <gtest/gtest.h>
#include "Controls.h"
#include "UiTestResources.h"

namespace {

constexpr UINT WM_TEST_STEP = WM_APP + 1;

// A control that counts the clicks it sees through its binding.
class CountingButton : public CButton {
public:
    int downs = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_LBUTTONDOWN) ++downs;
        return CButton::WindowProc(msg, wp, lp);
    }
};

// Posts an Esc to its edit at initialisation; optionally swallows it and ends with 7 later.
class EscDialog : public CDialog {
public:
    explicit EscDialog(bool swallow) : CDialog(IDD_UI_PLAIN), swallow_(swallow) {}
    CEdit edit;
    CountingButton button;
    bool sawEsc = false;
    bool bound = false;
    bool slotsResolve = false;

    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
            sawEsc = true;
            if (swallow_) return TRUE;
        }
        return CDialog::PreTranslateMessage(msg);
    }

protected:
    void DoDataExchange() override {
        bound = BindControl(IDC_UI_EDIT, edit) && BindControl(IDC_UI_BUTTON, button);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        slotsResolve = CWnd::FromHandle(m_hWnd) == this && CWnd::FromHandle(edit.m_hWnd) == &edit;
        ::SetFocus(edit.m_hWnd);
        ::PostMessageW(edit.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessage(WM_TEST_STEP);
        return FALSE;
    }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_TEST_STEP) {
            button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
            if (swallow_) EndDialog(7);
            return 0;
        }
        return CDialog::WindowProc(msg, wp, lp);
    }

private:
    bool swallow_;
};

}  // namespace

TEST(DialogTest, EscapeReachesIsDialogMessageAndCancels) {
    EscDialog dlg(false);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(dlg.sawEsc);
    EXPECT_TRUE(dlg.bound);
    EXPECT_TRUE(dlg.slotsResolve);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(dlg.edit.m_hWnd, nullptr);  // unbound when the window went away
}

TEST(DialogTest, PreTranslateCanSwallowAKeyAndEndDialogSetsTheResult) {
    EscDialog dlg(true);
    EXPECT_EQ(dlg.DoModal(), 7);
    EXPECT_TRUE(dlg.sawEsc);
    EXPECT_EQ(dlg.button.downs, 1);
}

TEST(DialogTest, ModelessDialogIsDestroyedWithItsObject) {
    HWND wnd = nullptr;
    {
        EscDialog dlg(true);
        ASSERT_TRUE(dlg.Create(IDD_UI_PLAIN, static_cast<HWND>(nullptr)));
        wnd = dlg.m_hWnd;
        EXPECT_TRUE(::IsWindow(wnd));
        dlg.EndDialog(IDOK);  // modeless: only hides
        EXPECT_TRUE(::IsWindow(wnd));
        EXPECT_FALSE(::IsWindowVisible(wnd));
    }
    EXPECT_FALSE(::IsWindow(wnd));
}

TEST(DialogTest, WindowsOfTheLayerKeepTheirObjectInTheUserData) {
    class Counter : public CWnd {
    public:
        int creates = 0;
        bool ended = false;

    protected:
        LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
            if (msg == WM_CREATE) ++creates;
            return CWnd::WindowProc(msg, wp, lp);
        }
        void PostNcDestroy() override { ended = true; }
    } wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"w", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    EXPECT_EQ(wnd.creates, 1);
    EXPECT_EQ(reinterpret_cast<CWnd*>(::GetWindowLongPtrW(wnd.m_hWnd, GWLP_USERDATA)), &wnd);
    EXPECT_EQ(CWnd::FromHandle(wnd.m_hWnd), &wnd);
    EXPECT_EQ(CWnd::FromHandle(::GetDesktopWindow()), nullptr);
    wnd.DestroyWindow();
    EXPECT_TRUE(wnd.ended);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
}

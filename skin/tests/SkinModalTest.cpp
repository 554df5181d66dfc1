// A host and child pair run the way callers run it: DoModal, ended from the child.
#include <gtest/gtest.h>

#include "SkinTestPair.h"
#include "WindowTestKit.h"

namespace {

constexpr UINT WM_TEST_SCRIPT = WM_APP + 7;

// A child that, once its loop runs, presses Esc and Enter in its edit and then closes the pair.
class ScriptedChild : public TestChild {
public:
    explicit ScriptedChild(bool swallow) { m_swallowEscEnter = swallow; }
    int escapesSeen = 0;
    RECT hostAtStart{}, childAtStart{};

protected:
    BOOL OnInitDialog() override {
        TestChild::OnInitDialog();
        PostMessage(WM_TEST_SCRIPT, 0);
        return TRUE;
    }
    void OnCancel() override { ++escapesSeen; }  // Esc reaching the dialog manager
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_TEST_SCRIPT) {
            if (wp == 0) {
                hostAtStart = m_host->GetWindowRect();
                childAtStart = GetWindowRect();
                ::SetFocus(edit.m_hWnd);
                ::PostMessageW(edit.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
                ::PostMessageW(edit.m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
                PostMessage(WM_TEST_SCRIPT, 1);
            } else {
                m_host->SendMessage(WM_CLOSE);  // the dialog turns it into IDCANCEL
            }
            return 0;
        }
        return TestChild::WindowProc(msg, wp, lp);
    }
};

class ScriptedHost : public TestHost {
public:
    explicit ScriptedHost(bool swallow) : swallow_(swallow) {}
    ScriptedChild* last = nullptr;
    int escapes = -1;
    RECT hostAtStart{}, childAtStart{};

protected:
    std::unique_ptr<CSkinChildDlg> MakeChild() override {
        auto child = std::make_unique<ScriptedChild>(swallow_);
        last = child.get();
        return child;
    }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_DESTROY && last) {
            escapes = last->escapesSeen;
            hostAtStart = last->hostAtStart;
            childAtStart = last->childAtStart;
        }
        return TestHost::WindowProc(msg, wp, lp);
    }

private:
    bool swallow_;
};

}  // namespace

TEST(SkinModalTest, ModalPairIsCentredEndsWithCancelAndTearsDown) {
    ScriptedHost host(false);
    EXPECT_EQ(host.DoModal(), IDCANCEL);
    EXPECT_EQ(host.m_hWnd, nullptr);
    EXPECT_EQ(host.Child(), nullptr);  // deleted in the host's destroy handler
    // Not placed by its initialisation, the host was centred on the screen and the child followed.
    const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR((host.hostAtStart.left + host.hostAtStart.right) / 2, cx / 2, 1);
    EXPECT_NEAR((host.hostAtStart.top + host.hostAtStart.bottom) / 2, cy / 2, 1);
    EXPECT_EQ(host.childAtStart.left, host.hostAtStart.left + 5);
    EXPECT_EQ(host.childAtStart.top, host.hostAtStart.top + 4);
    EXPECT_EQ(host.escapes, 1);  // the plain child lets Esc through to the dialog manager
}

TEST(SkinModalTest, EscapeAndEnterCanBeSwallowed) {
    ScriptedHost host(true);
    EXPECT_EQ(host.DoModal(), IDCANCEL);
    EXPECT_EQ(host.escapes, 0);
}

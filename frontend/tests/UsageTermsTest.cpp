// The usage-terms window run modally while a driver thread acts; the terms text's layout.
#include <gtest/gtest.h>

#include <thread>

#include "TestKit.h"
#include "UsageArgeementsDlg.h"
#include "UsageTerms.h"
#include "resource.h"

using namespace fetest;

namespace {

struct UsageRun {
    HWND child = nullptr;
    HWND host = nullptr;
    CUsageArgeeementChildDlg* object = nullptr;
};

template <class Driver>
INT_PTR RunUsage(CUsageArgeementsDlg& dlg, Driver driver) {
    INT_PTR result = 0;
    std::thread thread([&] {
        UsageRun run;
        run.child = WaitForDialog(::GetCurrentProcessId(), {IDC_CONSENT, IDC_USAGE_START, IDC_TERMS_LINK});
        if (!run.child) {
            ADD_FAILURE() << "the usage-terms window did not appear";
        } else {
            run.host = ::GetWindow(run.child, GW_OWNER);
            run.object = dlg.UsageChild();
            ::SendMessageW(run.child, WM_NULL, 0, 0);  // handled once the initialisation and layout are over
            driver(run);
        }
        if (run.host && ::IsWindow(run.host)) ::PostMessageW(run.host, WM_CLOSE, 0, 0);
    });
    result = dlg.DoModal();
    thread.join();
    return result;
}

bool PanelShown(const UsageRun& run) {
    ::SendMessageW(run.child, WM_NULL, 0, 0);  // the handler running now has returned
    CTooltipDlg* panel = run.object->Panel();
    return panel && panel->IsPanelVisible() && panel->PanelChild() && panel->PanelChild()->IsWindowVisible();
}

POINT CentreOf(HWND wnd) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A left click at a screen point, as the system delivers it to the dialog under a static.
void ClickChildAt(const UsageRun& run, POINT screen) {
    ::ScreenToClient(run.child, &screen);
    ::PostMessageW(run.child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(screen.x, screen.y));
    ::PostMessageW(run.child, WM_LBUTTONUP, 0, MAKELPARAM(screen.x, screen.y));
}

void ClickLink(const UsageRun& run) { ClickChildAt(run, CentreOf(::GetDlgItem(run.child, IDC_TERMS_LINK))); }

// What the hook reports after a click with the cursor at a screen point.
void HookClickAt(const UsageRun& run, POINT screen) {
    // The dialog reads the cursor back. Under Wine a pointer event of the X server that was
    // still on its way can move it back after SetCursorPos returned: set it until it stays.
    for (int i = 0; i < 50; ++i) {
        ::SetCursorPos(screen.x, screen.y);
        ::Sleep(20);
        POINT at{};
        ::GetCursorPos(&at);
        if (at.x == screen.x && at.y == screen.y) break;
    }
    ::SendMessageW(run.child, WM_MOUSEHOOK_CLICK, WM_LBUTTONDOWN, MAKELPARAM(screen.x, screen.y));
}

}  // namespace

TEST(UsageTermsTest, ConsentBoxEnablesStartAtOnceAndStartAccepts) {
    CallRecord record;
    CUsageArgeementsDlg dlg(frontend::ProgramFolder());  // the doubles lie beside the test
    const INT_PTR result = RunUsage(dlg, [&](const UsageRun& run) {
        HWND consent = ::GetDlgItem(run.child, IDC_CONSENT);
        HWND start = ::GetDlgItem(run.child, IDC_USAGE_START);
        EXPECT_EQ(::SendMessageW(consent, BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_TRUE(::IsWindowEnabled(start));
        PostButtonClick(consent);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindowEnabled(start); }, 3000));
        PostButtonClick(consent);
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(start); }, 3000));
        PostButtonClick(start);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(run.host); }));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(record.Calls(L"GetToolIsNewVersion"), std::vector<std::wstring>{L"GetToolIsNewVersion Skelda|V 1.0"});
}

TEST(UsageTermsTest, CloseButtonEndsWithCancel) {
    CallRecord record;
    CUsageArgeementsDlg dlg(frontend::ProgramFolder());  // the doubles lie beside the test
    const INT_PTR result = RunUsage(dlg, [&](const UsageRun& run) {
        PostButtonClick(::GetDlgItem(run.child, IDC_USAGE_CLOSE));
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(run.host); }));
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(record.Calls(L"StartHookMouse").empty());
    EXPECT_TRUE(record.Calls(L"StopHookMouse").empty());
}

TEST(UsageTermsTest, LinkTogglesThePanelAndOutsideClicksHideIt) {
    CallRecord record;
    CUsageArgeementsDlg dlg(frontend::ProgramFolder());  // the doubles lie beside the test
    RunUsage(dlg, [&](const UsageRun& run) {
        ClickLink(run);
        ASSERT_TRUE(WaitUntil([&] { return PanelShown(run); }));
        HWND panel = run.object->Panel()->m_hWnd;
        ClickLink(run);
        EXPECT_TRUE(WaitUntil([&] { return !PanelShown(run); }));
        ClickLink(run);
        EXPECT_TRUE(WaitUntil([&] { return PanelShown(run); }));
        EXPECT_EQ(run.object->Panel()->m_hWnd, panel);  // made once
        EXPECT_EQ(record.Calls(L"StartHookMouse").size(), 1u);

        // A click in the dialog away from the link and the panel.
        RECT child{};
        ::GetWindowRect(run.child, &child);
        ClickChildAt(run, POINT{child.left + 20, child.top + 300});
        EXPECT_TRUE(WaitUntil([&] { return !PanelShown(run); }));

        // Clicks reported by the hook: on the panel and on the link it stays, outside the
        // dialog it goes.
        ClickLink(run);
        ASSERT_TRUE(WaitUntil([&] { return PanelShown(run); }));
        HookClickAt(run, CentreOf(panel));
        EXPECT_TRUE(PanelShown(run));
        HookClickAt(run, CentreOf(::GetDlgItem(run.child, IDC_TERMS_LINK)));
        EXPECT_TRUE(PanelShown(run));
        HookClickAt(run, POINT{child.left - 3 > 0 ? child.left - 3 : child.right + 3, child.top + 10});
        // Hiding a layered panel may finish after the handler returned under load.
        EXPECT_TRUE(WaitUntil([&] { return !PanelShown(run); }));
        // A right click on the frame hides it too.
        ClickLink(run);
        ASSERT_TRUE(WaitUntil([&] { return PanelShown(run); }));
        ::SendMessageW(run.child, WM_NCRBUTTONDOWN, HTNOWHERE, 0);
        EXPECT_TRUE(WaitUntil([&] { return !PanelShown(run); }));

        EXPECT_EQ(record.Calls(L"StartHookMouse").size(), 1u);
        EXPECT_TRUE(record.Calls(L"StopHookMouse").empty());
        PostButtonClick(::GetDlgItem(run.child, IDC_USAGE_CLOSE));
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(run.host); }));
        EXPECT_FALSE(::IsWindow(panel));
    });
    EXPECT_EQ(record.Calls(L"StopHookMouse").size(), 1u);
}

TEST(UsageTermsTest, FailedHookStartIsTriedAgainAndNeverStopped) {
    CallRecord record;
    ScopedSetting failing(L"FE_HOOK_START", L"0");
    CUsageArgeementsDlg dlg(frontend::ProgramFolder());  // the doubles lie beside the test
    RunUsage(dlg, [&](const UsageRun& run) {
        for (int i = 0; i < 4; ++i) ClickLink(run);  // shown, hidden, shown, hidden
        EXPECT_TRUE(WaitUntil([&] { return record.Calls(L"StartHookMouse").size() == 2; }));
        EXPECT_TRUE(WaitUntil([&] { return !PanelShown(run); }));
    });
    EXPECT_EQ(record.Calls(L"StartHookMouse").size(), 2u);
    EXPECT_TRUE(record.Calls(L"StopHookMouse").empty());
}

// Title, blank, the notes, then sections 一 to 六, each after a blank line; paragraphs
// numbered from 1 in each section, items lettered from A under their paragraph.
TEST(UsageTermsTextTest, FollowsTheAgreementLayout) {
    const std::wstring text = frontend::UsageTermsText().Str();
    ASSERT_GE(text.size(), 2u);
    ASSERT_EQ(text.substr(text.size() - 2), L"\r\n");
    std::vector<std::wstring> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find(L"\r\n", at);
        ASSERT_NE(end, std::wstring::npos);
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    EXPECT_EQ(text.find(L'\n'), text.find(L"\r\n") + 1);  // no bare line feeds
    ASSERT_GT(lines.size(), 10u);
    EXPECT_EQ(lines[0], L"《Orvane服务工具使用许可协议》");
    EXPECT_EQ(lines[1], L"");
    EXPECT_EQ(lines[2], L"重要须知");
    const wchar_t* numerals[] = {L"一", L"二", L"三", L"四", L"五", L"六"};
    int notes = 0, section = -1, paragraph = 0;
    wchar_t item = L'A';
    for (size_t i = 3; i < lines.size(); ++i) {
        const std::wstring& line = lines[i];
        if (line.empty()) {
            ASSERT_LT(i + 1, lines.size());
            ASSERT_LT(section + 1, 6);
            EXPECT_EQ(lines[i + 1].find(std::wstring(numerals[section + 1]) + L". "), 0u) << lines[i + 1];
            ++section;
            paragraph = 0;
            ++i;
            continue;
        }
        ASSERT_EQ(line.compare(0, 4, L"    "), 0) << line;
        ASSERT_NE(line[4], L' ');
        if (section < 0) {
            ++notes;
        } else if (line[4] >= L'A' && line[4] <= L'Z' && line[5] == L'.') {
            EXPECT_GT(paragraph, 0);
            EXPECT_EQ(line[4], item) << line;
            ++item;
        } else {
            EXPECT_EQ(line.find(std::to_wstring(++paragraph) + L"."), 4u) << line;
            item = L'A';
        }
    }
    EXPECT_EQ(notes, 3);
    EXPECT_EQ(section, 5);
}

#include "SkinTestPair.h"

void TestChild::DoDataExchange() {
    BindControl(IDC_PNG_BUTTON, png);
    BindControl(IDC_FEATURE_BUTTON, feature);
    BindControl(IDC_PNG_CHECK, check);
    BindControl(IDC_CHECK_BTN, checkBtn);
    BindControl(IDC_TEXT_STATIC, text);
    BindControl(IDC_STATE_STATIC, state);
    BindControl(IDC_VCENTER_EDIT, edit);
}

BOOL TestChild::OnInitDialog() {
    CSkinChildDlg::OnInitDialog();
    TrackHover(png);
    TrackHover(feature);
    TrackHover(text);
    return TRUE;
}

void TestChild::Layout() {
    png.SetImages(IDP_BUTTON_NORMAL, IDP_BUTTON_HOVER, IDP_BUTTON_PRESSED, IDP_BUTTON_DISABLED);
    png.MoveWindow(10, 40, 80, 30);

    feature.LoadBackground(IDP_BACKGROUND);
    feature.SetBackgroundRect(100, 0, 200, 100);
    feature.SetStretch(TRUE);
    feature.SetHitInsets(10, 5, 10, 5);
    feature.SetImages(IDP_FEATURE_NORMAL, IDP_FEATURE_HOVER, IDP_FEATURE_PRESSED, IDP_FEATURE_DISABLED);
    feature.MoveWindow(100, 40, 80, 40);

    check.m_scale = m_scale;
    check.CreateFontFromParent();
    check.SetTextColor(RGB(255, 255, 255));
    check.SetWindowText(L"MMMM");
    check.MoveWindow(10, 90, 117, 17);
    checkBtn.m_scale = m_scale;
    checkBtn.CreateFontFromParent();
    checkBtn.SetWindowText(L"MMMM");
    checkBtn.MoveWindow(140, 90, 100, 21);

    text.CreateFontFromParent();
    text.SetFormat(1);
    text.SetColors(RGB(0, 0, 0), RGB(0, 0, 255));
    text.SetWindowText(L"MMMM");
    text.MoveWindow(10, 120, 120, 20);

    state.CreateFontFromParent();
    state.SetWindowText(L"正在收集");
    state.MoveWindow(140, 120, 120, 20);

    LOGFONTW lf{};
    lf.lfHeight = 12;
    wcscpy(lf.lfFaceName, L"Tahoma");
    editFont.Reset(::CreateFontIndirectW(&lf));
    edit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(editFont.Get()), FALSE);
    edit.m_layoutRect = RECT{10, 150, 160, 172};
    edit.MoveWindow(edit.m_layoutRect);
    ::SetWindowPos(edit.m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void TestChild::OnDestroy() {
    png.FreeImages();
    feature.FreeImages();
    CSkinChildDlg::OnDestroy();
}

LRESULT TestChild::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        if (LOWORD(wp) == IDC_PNG_BUTTON) { ++pngClicks; return 0; }
        if (LOWORD(wp) == IDC_FEATURE_BUTTON) { ++featureClicks; return 0; }
    }
    return CSkinChildDlg::WindowProc(msg, wp, lp);
}

#include "Gallery.h"

#include <richedit.h>
#include "PngResource.h"
#include "SkinScale.h"
#include "resource.h"

using skin::Scaled;

namespace {

// Text width in the dialog's font.
int TextWidth(HWND dialog, const CString& text) {
    ui::WindowDC dc(dialog);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    ui::SelectionRestorer select(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text, text.GetLength(), &size);
    return size.cx;
}

}  // namespace

// ---- main child ----

CGalleryMainChild::CGalleryMainChild()
    : CSkinChildDlg(IDD_SKELDA_CHILD, IDB_MAIN_BACKGROUND, skin::DragStrip{30, 86}, 33) {}

void CGalleryMainChild::DoDataExchange() {
    BindControl(IDC_MAIN_CLOSE, close_);
    BindControl(IDC_MAIN_MINIMIZE, minimise_);
    for (int i = 0; i < 8; ++i) BindControl(IDC_CHECK_FIRST + i, checks_[i]);
    BindControl(IDC_SAVE_PATH, path_);
    BindControl(IDC_BROWSE, browse_);
    BindControl(IDC_START_COLLECT, start_);
    BindControl(IDC_TITLE_LABEL, title_);
    BindControl(IDC_FEEDBACK_LINK, link_);
}

BOOL CGalleryMainChild::OnInitDialog() {
    CSkinChildDlg::OnInitDialog();
    for (skin::HoverTarget* t : std::initializer_list<skin::HoverTarget*>{&close_, &minimise_, &browse_, &start_, &link_})
        TrackHover(*t);
    path_.SetWindowText(L"C:\\OrvaneTavlin\\信息收集.7z");
    return TRUE;
}

void CGalleryMainChild::Layout() {
    const float s = m_scale;
    const RECT client = GetClientRect();
    const int w = client.right, h = client.bottom;
    if (!background_) skin::LoadPngResource(IDB_MAIN_BACKGROUND, background_);

    close_.SetImages(IDB_MAIN_CLOSE_NORMAL, IDB_MAIN_CLOSE_HOVER, IDB_MAIN_CLOSE_PRESSED, IDB_MAIN_CLOSE_DISABLED);
    close_.SetStretch(TRUE);
    close_.MoveWindow(w - Scaled(31.2, s), 0, Scaled(26, s), Scaled(34, s));
    minimise_.SetImages(IDB_MAIN_MINIMIZE_NORMAL, IDB_MAIN_MINIMIZE_HOVER, IDB_MAIN_MINIMIZE_PRESSED,
                        IDB_MAIN_MINIMIZE_DISABLED);
    minimise_.SetStretch(TRUE);
    minimise_.MoveWindow(w - Scaled(59.8, s), 0, Scaled(26, s), Scaled(34, s));

    // Check boxes in id order: column and row on the screen.
    const POINT cells[8] = {{76, 138}, {232, 138}, {76, 218}, {232, 218}, {76, 178}, {232, 178}, {76, 258}, {232, 258}};
    for (int i = 0; i < 8; ++i) {
        CPngCheckBoxEx& box = checks_[i];
        box.SetBackgroundImage(&background_);
        box.m_scale = s;
        box.CreateFontFromParent();
        box.SetTextColor(RGB(255, 255, 255));
        box.SetBackgroundRect(cells[i].x, cells[i].y, cells[i].x + 117, cells[i].y + 17);
        box.MoveWindow(Scaled(cells[i].x, s), Scaled(cells[i].y, s), Scaled(117, s), Scaled(17, s));
        box.SetCheck(BST_CHECKED);
    }

    path_.m_layoutRect = RECT{Scaled(449, s), Scaled(189, s), Scaled(449, s) + Scaled(257, s), Scaled(189, s) + Scaled(36, s)};
    path_.MoveWindow(path_.m_layoutRect);

    browse_.LoadBackground(IDB_MAIN_BACKGROUND);
    browse_.SetBackgroundRect(714, 176, 794, 234);
    browse_.SetStretch(TRUE);
    browse_.SetHitInsets(Scaled(15, s), Scaled(13, s), Scaled(16, s), Scaled(9, s));
    browse_.SetImages(IDB_MAIN_BROWSE_NORMAL, IDB_MAIN_BROWSE_HOVER, IDB_MAIN_BROWSE_PRESSED, IDB_MAIN_BROWSE_DISABLED);
    browse_.MoveWindow(Scaled(714, s), Scaled(176, s), Scaled(80, s), Scaled(58, s));

    start_.LoadBackground(IDB_MAIN_BACKGROUND);
    start_.SetBackgroundRect(271, 300, 530, 385);
    start_.SetStretch(TRUE);
    start_.SetHitInsets(Scaled(19, s), Scaled(11, s), Scaled(19, s), Scaled(11, s));
    start_.SetImages(IDB_MAIN_START_NORMAL, IDB_MAIN_START_HOVER, IDB_MAIN_START_PRESSED, IDB_MAIN_START_DISABLED);
    if (s > 1.0f) start_.MoveWindow(Scaled(270.5, s), Scaled(300, s), Scaled(259, s), Scaled(85, s));
    else start_.MoveWindow(w / 2 - 129, h / 2, 259, 85);

    title_.SetWindowText(L"Skelda V1.0");
    for (CDrawTextStatic* label : {&title_, &link_}) {
        label->CreateFontFromParent();
        label->SetFormat(1);
        label->SetBkColor(RGB(255, 255, 255));
    }
    title_.SetColors(RGB(153, 153, 153), RGB(153, 153, 153));
    link_.SetColors(RGB(92, 92, 255), RGB(0, 0, 255));
    const int top = h - Scaled(25, s), height = Scaled(20, s);
    title_.MoveWindow(10, top, TextWidth(m_hWnd, title_.GetWindowText()) + Scaled(12, s) + 8, height);
    const int linkWidth = TextWidth(m_hWnd, link_.GetWindowText()) + Scaled(4, s) + 8;
    link_.MoveWindow(w - 6 - linkWidth, top, linkWidth, height);
}

void CGalleryMainChild::OnDestroy() {
    for (CPngButton* b : std::initializer_list<CPngButton*>{&close_, &minimise_, &browse_, &start_}) b->FreeImages();
    CSkinChildDlg::OnDestroy();
}

// ---- progress child ----

CGalleryProgressChild::CGalleryProgressChild()
    : CSkinChildDlg(IDD_EXECUTE_PROMPT_CHILD, IDB_EXECUTE_BACKGROUND, skin::DragStrip{0, 0}, 0) {
    m_offscreenBackground = true;
}

void CGalleryProgressChild::DoDataExchange() { BindControl(IDC_EXECUTE_TEXT, text_); }

void CGalleryProgressChild::Layout() {
    const float s = m_scale;
    const RECT client = GetClientRect();
    if (!background_) skin::LoadPngResource(IDB_EXECUTE_BACKGROUND, background_);
    text_.SetWindowText(L"正在收集信息，请稍等");
    text_.SetAlign(1);
    text_.SetTextColor(RGB(255, 255, 255));
    text_.SetBackground(&background_);
    text_.SetBackgroundRect(10, 42, 194, 62);
    const int middle = client.top + client.bottom / 2;
    text_.MoveWindow(RECT{Scaled(10, s), middle - Scaled(10, s), client.right - Scaled(10, s), middle - Scaled(10, s) + Scaled(20, s)});
    text_.CreateFontFromParent();
    text_.StartAnimation();
}

void CGalleryProgressChild::OnDestroy() {
    text_.StopAnimation();
    CSkinChildDlg::OnDestroy();
}

// ---- usage child ----

CGalleryUsageChild::CGalleryUsageChild()
    : CSkinChildDlg(IDD_USAGE_CHILD, IDB_USAGE_BACKGROUND, skin::DragStrip{50, 86}, 35) {}

void CGalleryUsageChild::DoDataExchange() {
    BindControl(IDC_USAGE_CLOSE, close_);
    BindControl(IDC_USAGE_START, start_);
    BindControl(IDC_CONSENT, consent_);
    BindControl(IDC_TERMS_LINK, link_);
}

BOOL CGalleryUsageChild::OnInitDialog() {
    CSkinChildDlg::OnInitDialog();
    TrackHover(close_);
    TrackHover(start_);
    TrackHover(link_);
    return TRUE;
}

void CGalleryUsageChild::Layout() {
    const float s = m_scale;
    const RECT client = GetClientRect();
    close_.SetImages(IDB_USAGE_CLOSE_NORMAL, IDB_USAGE_CLOSE_HOVER, IDB_USAGE_CLOSE_PRESSED, IDB_USAGE_CLOSE_DISABLED);
    close_.SetStretch(TRUE);
    close_.MoveWindow(client.right - Scaled(31, s), 0, Scaled(26, s), Scaled(34, s));
    start_.SetImages(IDB_USAGE_START_NORMAL, IDB_USAGE_START_HOVER, IDB_USAGE_START_PRESSED, IDB_USAGE_START_DISABLED);
    start_.SetStretch(TRUE);
    start_.MoveWindow(client.right / 2 - Scaled(130, s), Scaled(290, s), Scaled(260, s), Scaled(69, s));
    consent_.m_scale = s;
    consent_.CreateFontFromParent();
    consent_.SetCheck(BST_CHECKED);
    consent_.MoveWindow(Scaled(10, s), client.bottom - Scaled(30, s), Scaled(50, s), Scaled(20, s));
    link_.CreateFontFromParent();
    link_.SetFormat(1);
    link_.SetBkColor(RGB(241, 241, 246));
    link_.SetColors(RGB(92, 92, 255), RGB(0, 0, 255));
    link_.MoveWindow(Scaled(62, s), client.bottom - Scaled(30, s), Scaled(220, s), Scaled(20, s));
}

void CGalleryUsageChild::OnDestroy() {
    close_.FreeImages();
    start_.FreeImages();
    CSkinChildDlg::OnDestroy();
}

// ---- terms child ----

CGalleryTermsChild::CGalleryTermsChild()
    : CSkinChildDlg(IDD_TOOLTIP_CHILD, IDB_TOOLTIP_FRAME, skin::DragStrip{0, 0}, 0) {}

CGalleryTermsChild::~CGalleryTermsChild() {
    if (scrollSkin_) ::DeleteObject(scrollSkin_);
}

void CGalleryTermsChild::Layout() {
    const float s = m_scale;
    RECT r = GetClientRect();
    HWND text = GetDlgItem(IDC_TERMS_TEXT);
    ::MoveWindow(text, Scaled(8, s), Scaled(8, s), r.right - 2 * Scaled(8, s), r.bottom - 2 * Scaled(8, s), TRUE);
    CString terms(L"Orvane 服务工具使用许可协议\r\n\r\n重要须知\r\n");
    for (int section = 1; section <= 6; ++section) {
        terms.AppendFormat(L"\r\n%d. 条款标题\r\n", section);
        for (int item = 1; item <= 4; ++item)
            terms.AppendFormat(L"    %d. 本条款的第 %d 段文字，说明工具的使用范围与责任。\r\n", item, item);
    }
    ::SetWindowTextW(text, terms);
    scrollSkin_ = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SCROLLBAR_SKIN),
                                                    IMAGE_BITMAP, 0, 0, 0));
    AttachSkinScrollBars(text, scrollSkin_, s, 0);
}

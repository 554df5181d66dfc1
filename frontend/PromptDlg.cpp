#include "PromptDlg.h"

#include "FrontendMessages.h"
#include "SkinDraw.h"
#include "SkinScale.h"
#include "resource.h"

using skin::Scaled;

namespace frontend {

namespace {
constexpr UINT kYes[4] = {IDB_PROMPT_YES_NORMAL, IDB_PROMPT_YES_HOVER, IDB_PROMPT_YES_PRESSED, IDB_PROMPT_YES_PRESSED};
constexpr UINT kNo[4] = {IDB_PROMPT_NO_NORMAL, IDB_PROMPT_NO_HOVER, IDB_PROMPT_NO_PRESSED, IDB_PROMPT_NO_PRESSED};
constexpr UINT kConfirm[4] = {IDB_PROMPT_CONFIRM_NORMAL, IDB_PROMPT_CONFIRM_HOVER, IDB_PROMPT_CONFIRM_PRESSED,
                              IDB_PROMPT_CONFIRM_PRESSED};
constexpr UINT kCancel[4] = {IDB_PROMPT_CANCEL_NORMAL, IDB_PROMPT_CANCEL_HOVER, IDB_PROMPT_CANCEL_PRESSED,
                             IDB_PROMPT_CANCEL_PRESSED};

PromptButtons Make(const UINT (&left)[4], const UINT (&right)[4], bool rightShown, bool leftCentred) {
    PromptButtons b{};
    for (int i = 0; i < 4; ++i) {
        b.left[i] = left[i];
        b.right[i] = right[i];
    }
    b.rightShown = rightShown;
    b.leftCentred = leftCentred;
    return b;
}

RECT Box(int left, int top, int width, int height) { return RECT{left, top, left + width, top + height}; }
}  // namespace

PromptButtons PromptButtonsForKind(int kind) {
    switch (kind) {
        case PROMPT_YES: return Make(kYes, kNo, false, true);
        case PROMPT_YES_NO: return Make(kYes, kNo, true, false);
        case PROMPT_CONFIRM: return Make(kConfirm, kCancel, false, true);
        case PROMPT_CONFIRM_CANCEL: return Make(kConfirm, kCancel, true, false);
        default: return Make(kYes, kNo, false, false);
    }
}

PromptLayout PromptLayoutFor(int width, int height, int kind, float s) {
    PromptLayout l{};
    const int half = width / 2;
    const int buttonW = Scaled(55, s), buttonH = Scaled(24, s), buttonTop = Scaled(107, s);
    l.close = Box(width - Scaled(26, s), Scaled(8, s), Scaled(12, s), Scaled(12, s));
    if (PromptButtonsForKind(kind).leftCentred)
        l.left = Box(half - Scaled(27.5, s), buttonTop, buttonW, buttonH);
    else
        l.left = Box(half - Scaled(55, s) - Scaled(12, s), buttonTop, buttonW, buttonH);
    l.right = Box(half + Scaled(12, s), buttonTop, buttonW, buttonH);
    l.text = RECT{Scaled(10, s), Scaled(50, s), width - Scaled(10, s), height - Scaled(40, s)};
    return l;
}

}  // namespace frontend

// ---- child ----

CPromptChildDlg::CPromptChildDlg(const CString& text, int kind)
    : CSkinChildDlg(IDD_PROMPT_CHILD, IDB_PROMPT_BACKGROUND, skin::DragStrip{30, 26}, 34), text_(text), kind_(kind) {
    m_swallowEscEnter = true;
}

void CPromptChildDlg::DoDataExchange() {
    BindControl(IDC_PROMPT_CLOSE, m_close);
    BindControl(IDC_PROMPT_LEFT, m_left);
    BindControl(IDC_PROMPT_RIGHT, m_right);
    BindControl(IDC_PROMPT_TEXT, m_message);
}

BOOL CPromptChildDlg::OnInitDialog() {
    CSkinChildDlg::OnInitDialog();
    TrackHover(m_close);
    TrackHover(m_left);
    TrackHover(m_right);
    return TRUE;
}

void CPromptChildDlg::Layout() {
    const RECT client = GetClientRect();
    const frontend::PromptLayout l =
        frontend::PromptLayoutFor(skin::Width(client), skin::Height(client), kind_, m_scale);
    const frontend::PromptButtons b = frontend::PromptButtonsForKind(kind_);

    m_close.SetImages(IDB_PROMPT_CLOSE_NORMAL, IDB_PROMPT_CLOSE_HOVER, IDB_PROMPT_CLOSE_PRESSED,
                      IDB_PROMPT_CLOSE_PRESSED);
    m_close.SetStretch(TRUE);
    m_close.MoveWindow(l.close);

    m_left.SetImages(b.left[0], b.left[1], b.left[2], b.left[3]);
    m_left.SetStretch(TRUE);
    m_left.MoveWindow(l.left);
    m_left.ShowWindow(SW_SHOW);

    m_right.SetImages(b.right[0], b.right[1], b.right[2], b.right[3]);
    m_right.SetStretch(TRUE);
    m_right.MoveWindow(l.right);
    m_right.ShowWindow(b.rightShown ? SW_SHOW : SW_HIDE);

    m_message.SetWindowText(text_);
    m_message.MoveWindow(l.text);
    m_message.CreateFontFromParent();
    m_message.Invalidate();
}

void CPromptChildDlg::OnButton(UINT id) {
    if (!m_host) return;
    switch (id) {
        case IDC_PROMPT_LEFT: m_host->SendMessage(WM_PROMPT_RESULT, 1); break;
        case IDC_PROMPT_RIGHT: m_host->SendMessage(WM_PROMPT_RESULT, 2); break;
        case IDC_PROMPT_CLOSE: m_host->SendMessage(WM_CLOSE); break;  // the dialog makes it IDCANCEL
    }
}

void CPromptChildDlg::OnDestroy() {
    m_close.FreeImages();
    m_left.FreeImages();
    m_right.FreeImages();
    CSkinChildDlg::OnDestroy();
}

LRESULT CPromptChildDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        const UINT id = LOWORD(wp);
        if (id == IDC_PROMPT_LEFT || id == IDC_PROMPT_RIGHT || id == IDC_PROMPT_CLOSE) {
            OnButton(id);
            return 0;
        }
    }
    return CSkinChildDlg::WindowProc(msg, wp, lp);
}

// ---- host ----

CPromptDlg::CPromptDlg(CWnd* parent)
    : CSkinHostDlg(IDD_PROMPT,
                   skin::HostFrame{{336, 156}, IDB_PROMPT_FRAME, {5, 3, 10, 10}, {5, 3, 5, 7}, false, 1}, parent) {
    m_swallowEscEnter = true;
}

std::unique_ptr<CSkinChildDlg> CPromptDlg::MakeChild() { return std::make_unique<CPromptChildDlg>(text_, kind_); }

LRESULT CPromptDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PROMPT_RESULT) {
        if (wp == 1)
            OnOK();
        else
            OnCancel();
        return 0;
    }
    return CSkinHostDlg::WindowProc(msg, wp, lp);
}

INT_PTR ShowPrompt(HWND owner, float scale, int kind, const CString& text) {
    CPromptDlg dlg(owner ? CWnd::FromHandle(owner) : nullptr);
    dlg.SetText(text);
    dlg.SetKind(kind);
    dlg.m_scale = scale;
    return dlg.DoModal();
}

#include "Dialog.h"

namespace {
// Messages whose dialog-procedure return value is the result itself, not DWLP_MSGRESULT.
bool ReturnsDirectly(UINT msg) {
    switch (msg) {
        case WM_INITDIALOG: case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN: case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON:
            return true;
        default:
            return false;
    }
}
}  // namespace

INT_PTR CALLBACK SkeldaDialogProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CDialog*>(lp);
        ::SetWindowLongPtrW(wnd, DWLP_USER, lp);
        self->m_hWnd = wnd;
        self->binding_ = CWnd::Binding::Dialog;
        RECT before{};
        ::GetWindowRect(wnd, &before);
        LRESULT focus = self->Dispatch(msg, wp, lp);
        // A modal popup that did not place itself during initialisation is centred over its owner.
        RECT after{};
        ::GetWindowRect(wnd, &after);
        if (self->modal_ && self->m_hWnd && !(self->GetStyle() & WS_CHILD) && after.left == before.left &&
            after.top == before.top)
            self->CenterWindow();
        return static_cast<INT_PTR>(focus);
    }
    auto* self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(wnd, DWLP_USER));
    if (!self || self->m_hWnd != wnd) return FALSE;
    self->wantsDefault_ = false;
    LRESULT result = self->Dispatch(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(wnd, DWLP_USER, 0);
        return FALSE;
    }
    if (ReturnsDirectly(msg)) return static_cast<INT_PTR>(result);
    if (self->wantsDefault_) return FALSE;
    ::SetWindowLongPtrW(wnd, DWLP_MSGRESULT, result);
    return TRUE;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) { return Create(templateId, parent ? parent->m_hWnd : nullptr); }

BOOL CDialog::Create(UINT templateId, HWND parent) {
    if (m_hWnd) return FALSE;
    templateId_ = templateId;
    modal_ = false;
    HWND wnd = ::CreateDialogParamW(SkinResourceInstance(), MAKEINTRESOURCEW(templateId), parent, SkeldaDialogProc,
                                    reinterpret_cast<LPARAM>(this));
    return wnd != nullptr;
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return -1;
    HWND owner = parent_ ? parent_->m_hWnd : nullptr;
    bool reenable = owner && ::IsWindowEnabled(owner);
    if (reenable) ::EnableWindow(owner, FALSE);

    modal_ = true;
    ended_ = false;
    result_ = -1;
    HWND wnd = ::CreateDialogParamW(SkinResourceInstance(), MAKEINTRESOURCEW(templateId_), owner, SkeldaDialogProc,
                                    reinterpret_cast<LPARAM>(this));
    if (wnd && !ended_) {
        if (!::IsWindowVisible(wnd)) ::ShowWindow(wnd, SW_SHOWNORMAL);
        while (!ended_ && m_hWnd) {
            if (!PumpMessage()) {
                ::PostQuitMessage(0);
                break;
            }
        }
    }
    if (reenable) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    modal_ = false;
    return result_;
}

BOOL CDialog::PumpMessage() {
    MSG msg;
    if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) return FALSE;
    if (!WalkPreTranslateTree(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return TRUE;
}

void CDialog::EndDialog(int result) {
    if (!m_hWnd) return;
    if (!modal_) {
        ShowWindow(SW_HIDE);
        return;
    }
    result_ = result;
    ended_ = true;
    ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wakes the modal loop
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
    return ::IsDialogMessageW(m_hWnd, msg);
}

BOOL CDialog::OnInitDialog() {
    DoDataExchange();
    return TRUE;
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: return OnInitDialog();
        case WM_COMMAND:
            if (lp == 0 || HIWORD(wp) == BN_CLICKED) {
                if (LOWORD(wp) == IDOK) { OnOK(); return 0; }
                if (LOWORD(wp) == IDCANCEL) { OnCancel(); return 0; }
            }
            break;
    }
    return DefWindowProc(msg, wp, lp);
}

LRESULT CDialog::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    wantsDefault_ = true;
    return 0;
}

#include "Wnd.h"

#include <commctrl.h>

// The dialog procedure of CDialog (Dialog.cpp); dialogs are recognised by it.
INT_PTR CALLBACK SkeldaDialogProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

namespace {
HINSTANCE g_resourceInstance = nullptr;

class SystemTimerSource : public ui::TimerSource {
public:
    void Set(HWND window, UINT_PTR id, UINT ms) override { ::SetTimer(window, id, ms, nullptr); }
    void Kill(HWND window, UINT_PTR id) override { ::KillTimer(window, id); }
};

constexpr UINT_PTR kSubclassId = 0x534B;  // one subclass per bound control

// GetWindowSubclass is looked up by its ordinal: comctl32 exports it as 411 in every version,
// and the 64-bit MinGW import library has no entry for it. The name resolves through the
// process's activation context to the same comctl32 that SetWindowSubclass was bound to.
BOOL QuerySubclass(HWND wnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR* ref) {
    using Fn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);
    static const Fn fn = [] {
        HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
        return comctl ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(comctl, MAKEINTRESOURCEA(411))))
                      : nullptr;
    }();
    return fn ? fn(wnd, proc, id, ref) : FALSE;
}
}  // namespace

ui::TimerSource& ui::SystemTimers() {
    static SystemTimerSource timers;
    return timers;
}

HINSTANCE SkinResourceInstance() { return g_resourceInstance ? g_resourceInstance : ::GetModuleHandleW(nullptr); }
void SetSkinResourceInstance(HINSTANCE instance) { g_resourceInstance = instance; }

CWnd::~CWnd() {
    if (!m_hWnd) return;
    switch (binding_) {
        case Binding::Subclassed: UnsubclassWindow(); break;
        case Binding::Created:
        case Binding::Dialog: {
            // The derived parts are gone: detach first so no message reaches this half-destroyed object.
            HWND wnd = m_hWnd;
            if (binding_ == Binding::Created) ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
            else ::SetWindowLongPtrW(wnd, DWLP_USER, 0);
            m_hWnd = nullptr;
            ::DestroyWindow(wnd);
            break;
        }
        default: m_hWnd = nullptr; break;
    }
}

LPCWSTR CWnd::OwnClassName() {
    static const wchar_t kName[] = L"SkeldaWnd";
    static ATOM atom = [] {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = StaticWndProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kName;
        return ::RegisterClassExW(&wc);
    }();
    (void)atom;
    return kName;
}

CWnd* CWnd::FromHandle(HWND wnd) {
    if (!wnd || !::IsWindow(wnd)) return nullptr;
    DWORD_PTR ref = 0;
    if (QuerySubclass(wnd, SubclassProc, kSubclassId, &ref)) return reinterpret_cast<CWnd*>(ref);
    if (reinterpret_cast<WNDPROC>(::GetClassLongPtrW(wnd, GCLP_WNDPROC)) == StaticWndProc)
        return reinterpret_cast<CWnd*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (::GetClassLongPtrW(wnd, GCW_ATOM) == 32770 /* dialog class */ &&
        ::GetWindowLongPtrW(wnd, DWLP_DLGPROC) != 0) {
        if (reinterpret_cast<DLGPROC>(::GetWindowLongPtrW(wnd, DWLP_DLGPROC)) == SkeldaDialogProc)
            return reinterpret_cast<CWnd*>(::GetWindowLongPtrW(wnd, DWLP_USER));
    }
    return nullptr;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                    HWND parent, UINT id) {
    if (m_hWnd) return FALSE;
    bool own = className == nullptr;
    HWND wnd = ::CreateWindowExW(exStyle, own ? OwnClassName() : className, windowName, style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                 own ? this : nullptr);
    if (!wnd) return FALSE;
    if (!own) return SubclassWindow(wnd);
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND wnd) {
    if (m_hWnd || !wnd) return FALSE;
    if (!::SetWindowSubclass(wnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return FALSE;
    m_hWnd = wnd;
    binding_ = Binding::Subclassed;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id))); }

HWND CWnd::UnsubclassWindow() {
    HWND wnd = m_hWnd;
    if (wnd && binding_ == Binding::Subclassed) ::RemoveWindowSubclass(wnd, SubclassProc, kSubclassId);
    m_hWnd = nullptr;
    binding_ = Binding::None;
    return wnd;
}

void CWnd::Attach(HWND wnd) {
    m_hWnd = wnd;
    binding_ = Binding::Borrowed;
}

HWND CWnd::Detach() {
    HWND wnd = m_hWnd;
    if (binding_ == Binding::Borrowed) {
        m_hWnd = nullptr;
        binding_ = Binding::None;
    }
    return wnd;
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

BOOL CWnd::WalkPreTranslateTree(MSG* msg) {
    for (HWND wnd = msg->hwnd; wnd; wnd = ::GetParent(wnd)) {
        CWnd* object = FromHandle(wnd);
        if (object && object->PreTranslateMessage(msg)) return TRUE;
    }
    return FALSE;
}

RECT CWnd::GetClientRect() const {
    RECT r{};
    ::GetClientRect(m_hWnd, &r);
    return r;
}

RECT CWnd::GetWindowRect() const {
    RECT r{};
    ::GetWindowRect(m_hWnd, &r);
    return r;
}

RECT CWnd::GetRectInParent() const {
    RECT r = GetWindowRect();
    HWND parent = GetParent();
    if (parent && (GetStyle() & WS_CHILD)) ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

BOOL CWnd::MoveWindow(const RECT& r, BOOL repaint) const {
    return ::MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
}

CString CWnd::GetWindowText() const {
    int n = ::GetWindowTextLengthW(m_hWnd);
    if (n <= 0) return CString();
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    n = ::GetWindowTextW(m_hWnd, &text[0], n + 1);
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return CString(std::move(text));
}

CString CWnd::GetDlgItemText(int id) const {
    HWND item = GetDlgItem(id);
    if (!item) return CString();
    CWnd borrowed;
    borrowed.Attach(item);
    CString text = borrowed.GetWindowText();
    borrowed.Detach();
    return text;
}

void CWnd::CenterWindow(HWND alternateOwner) const {
    HWND owner = alternateOwner ? alternateOwner : ::GetWindow(m_hWnd, GW_OWNER);
    RECT area{};
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &area);
    else area = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT me = GetWindowRect();
    int w = me.right - me.left, h = me.bottom - me.top;
    int x = (area.left + area.right) / 2 - w / 2, y = (area.top + area.bottom) / 2 - h / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProc(msg, wp, lp); }

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (binding_ == Binding::Subclassed) return ::DefSubclassProc(m_hWnd, msg, wp, lp);
    return ::DefWindowProcW(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    try {
        result = WindowProc(msg, wp, lp);
    } catch (...) {
        result = 0;
    }
    if (msg == WM_NCDESTROY) {
        HWND wnd = m_hWnd;
        if (binding_ == Binding::Subclassed) ::RemoveWindowSubclass(wnd, SubclassProc, kSubclassId);
        else if (binding_ == Binding::Created) ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
        m_hWnd = nullptr;
        binding_ = Binding::None;
        PostNcDestroy();
    }
    return result;
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        if (self) {
            self->m_hWnd = wnd;
            self->binding_ = Binding::Created;
            ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    auto* self = reinterpret_cast<CWnd*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(wnd, msg, wp, lp);
    return self->Dispatch(msg, wp, lp);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<CWnd*>(ref);
    if (!self || self->m_hWnd != wnd) return ::DefSubclassProc(wnd, msg, wp, lp);
    return self->Dispatch(msg, wp, lp);
}

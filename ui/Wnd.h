#pragma once
// CWnd: a thin object around one HWND with one virtual message handler.
// The object pointer lives in one slot of the window itself: GWLP_USERDATA for windows this
// layer creates, DWLP_USER for dialogs, the subclass reference data for bound controls.
#include <windows.h>
#include "CString.h"
#include "Timers.h"

// Module whose resources (dialog templates, PNGs) the windows use.
HINSTANCE SkinResourceInstance();
void SetSkinResourceInstance(HINSTANCE instance);

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object behind a window of this layer, or null for foreign windows.
    static CWnd* FromHandle(HWND wnd);

    // Creates a window; a null class name uses this layer's own window class.
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                  HWND parent, UINT id);
    // Binds this object to an existing window by subclassing it (SetWindowSubclass).
    BOOL SubclassWindow(HWND wnd);
    BOOL SubclassDlgItem(UINT id, HWND parent);
    HWND UnsubclassWindow();
    // Borrows a window without taking over its messages.
    void Attach(HWND wnd);
    HWND Detach();
    BOOL DestroyWindow();

    // Called by the message loops for each message bound for this window or its children.
    virtual BOOL PreTranslateMessage(MSG* msg) { return FALSE; }
    // Offers a queued message to every object from its target window up through the parents.
    static BOOL WalkPreTranslateTree(MSG* msg);

    // Thin conveniences.
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageW(m_hWnd, msg, wp, lp); }
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageW(m_hWnd, msg, wp, lp); }
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    // The window rectangle in its parent's client coordinates.
    RECT GetRectInParent() const;
    BOOL MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE) const { return ::MoveWindow(m_hWnd, x, y, w, h, repaint); }
    BOOL MoveWindow(const RECT& r, BOOL repaint = TRUE) const;
    BOOL ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    void Invalidate(BOOL erase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
    void SetWindowText(LPCWSTR text) const { ::SetWindowTextW(m_hWnd, text); }
    CString GetWindowText() const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void SetDlgItemText(int id, LPCWSTR text) const { ::SetDlgItemTextW(m_hWnd, id, text); }
    CString GetDlgItemText(int id) const;
    LRESULT SendDlgItemMessage(int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
        return ::SendDlgItemMessageW(m_hWnd, id, msg, wp, lp);
    }
    BOOL SetWindowPos(HWND after, int x, int y, int w, int h, UINT flags) const {
        return ::SetWindowPos(m_hWnd, after, x, y, w, h, flags);
    }
    void ClientToScreen(RECT& r) const { ::MapWindowPoints(m_hWnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2); }
    void ScreenToClient(POINT& pt) const { ::ScreenToClient(m_hWnd, &pt); }
    HICON SetIcon(HICON icon, BOOL big) const {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    HMENU GetSystemMenu(BOOL revert = FALSE) const { return ::GetSystemMenu(m_hWnd, revert); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    // Timers come from the system unless UseTimers gave another source (a test's clock).
    void SetTimer(UINT_PTR id, UINT ms) const { Timers().Set(m_hWnd, id, ms); }
    void KillTimer(UINT_PTR id) const { Timers().Kill(m_hWnd, id); }
    void UseTimers(ui::TimerSource* timers) { timers_ = timers; }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    LONG_PTR GetStyle() const { return ::GetWindowLongPtrW(m_hWnd, GWL_STYLE); }
    LONG_PTR GetExStyle() const { return ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE); }
    void CenterWindow(HWND alternateOwner = nullptr) const;

protected:
    // The one message handler; derived classes call their OnXxx functions from it and pass
    // everything else to the base class.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // The window's default handling: the subclassed procedure, or DefWindowProc.
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // Called after the last message (WM_NCDESTROY); the handle is already cleared.
    virtual void PostNcDestroy() {}

    // Runs the handler with the exception barrier and the WM_NCDESTROY bookkeeping.
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);

private:
    enum class Binding { None, Borrowed, Created, Subclassed, Dialog };
    static LRESULT CALLBACK StaticWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
    static LPCWSTR OwnClassName();

    ui::TimerSource& Timers() const { return timers_ ? *timers_ : ui::SystemTimers(); }

    Binding binding_ = Binding::None;
    ui::TimerSource* timers_ = nullptr;  // borrowed; null: the system's
    friend class CDialog;
    friend INT_PTR CALLBACK SkeldaDialogProc(HWND, UINT, WPARAM, LPARAM);
};

#include "SkinScrollWnd.h"

#include <commctrl.h>
#include "GdiHandles.h"
#include "SkinDraw.h"
#include "SkinScale.h"

namespace {
constexpr UINT_PTR kHookId = 0x5342;
}

CSkinScrollWnd* AttachSkinScrollBars(CWnd* target, HBITMAP skin, float scale, int thumbCap) {
    return target ? AttachSkinScrollBars(target->m_hWnd, skin, scale, thumbCap) : nullptr;
}

CSkinScrollWnd* AttachSkinScrollBars(HWND target, HBITMAP skin, float scale, int thumbCap) {
    auto* frame = new CSkinScrollWnd;
    frame->m_scale = scale;
    frame->m_thumbCap = thumbCap;
    if (!frame->Attach(target, skin)) {
        if (frame->m_hWnd) frame->DestroyWindow();  // deletes itself
        else delete frame;
        return nullptr;
    }
    return frame;
}

BOOL CSkinScrollWnd::Attach(HWND target, HBITMAP skin) {
    if (!::IsWindow(target) || m_hWnd) return FALSE;
    skin_ = skin;
    BITMAP bm{};
    if (!skin || !::GetObjectW(skin, sizeof(bm), &bm)) return FALSE;
    thickness_ = skin::Scaled(bm.bmWidth / 9, m_scale);

    HWND parent = ::GetParent(target);
    RECT rect{};
    ::GetWindowRect(target, &rect);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    RECT inner{0, 0, skin::Width(rect), skin::Height(rect)};

    LONG_PTR style = ::GetWindowLongPtrW(target, GWL_STYLE), exStyle = ::GetWindowLongPtrW(target, GWL_EXSTYLE);
    DWORD frameStyle = WS_CHILD | SS_NOTIFY | (style & WS_VISIBLE ? WS_VISIBLE : 0);
    DWORD frameEx = (exStyle & WS_EX_TOOLWINDOW) ? WS_EX_TOOLWINDOW | WS_EX_TOPMOST : 0;
    if (style & WS_BORDER) {
        frameStyle |= WS_BORDER;
        ::SetWindowLongPtrW(target, GWL_STYLE, style & ~WS_BORDER);
        inner.right -= 2 * ::GetSystemMetrics(SM_CXBORDER);
        inner.bottom -= 2 * ::GetSystemMetrics(SM_CXBORDER);
    }
    if (exStyle & WS_EX_CLIENTEDGE) {
        ::SetWindowLongPtrW(target, GWL_EXSTYLE, exStyle & ~WS_EX_CLIENTEDGE);
        const int edge = skin::Scaled(2 * ::GetSystemMetrics(SM_CXEDGE), m_scale);
        inner.right -= edge;
        inner.bottom -= edge;
    }

    if (!CreateEx(frameEx, nullptr, L"SkinScrollBarFrame", frameStyle, rect, parent,
                  static_cast<UINT>(::GetDlgCtrlID(target))))
        return FALSE;
    limit_.CreateEx(0, nullptr, L"LIMIT", WS_CHILD | WS_VISIBLE, RECT{}, m_hWnd, kLimitId);
    for (CSkinScrollBar* bar : {&horz_, &vert_}) {
        bar->m_scale = m_scale;
        bar->m_thumbCap = m_thumbCap;
    }
    horz_.Create(WS_CHILD, RECT{}, m_hWnd, kHorzBarId);
    vert_.Create(WS_CHILD | SBS_VERT, RECT{}, m_hWnd, kVertBarId);
    horz_.SetSkin(skin);
    vert_.SetSkin(skin);

    ::SetParent(target, limit_.m_hWnd);
    target_ = target;
    ::SetWindowSubclass(target, TargetHook, kHookId, reinterpret_cast<DWORD_PTR>(this));
    ::SetWindowPos(target, nullptr, 0, 0, skin::Width(inner), skin::Height(inner), SWP_NOZORDER | SWP_FRAMECHANGED);
    SetTimer(kSyncTimer, 500);
    return TRUE;
}

void CSkinScrollWnd::Unhook() {
    if (target_) ::RemoveWindowSubclass(target_, TargetHook, kHookId);
    target_ = nullptr;
}

void CSkinScrollWnd::DetachFromDestroyedTarget() {
    HWND target = target_;
    Unhook();
    RECT rect = GetRectInParent();
    ::SetParent(target, GetParent());
    skin::MoveWindowTo(target, rect);
    DestroyWindow();  // deletes this
}

void CSkinScrollWnd::SyncBar(CSkinScrollBar& bar, int which, BOOL redraw) {
    SCROLLINFO now{sizeof(now), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS};
    if (!target_ || !::GetScrollInfo(target_, which, &now)) return;
    const SCROLLINFO& had = bar.Info();
    if (now.nMin == had.nMin && now.nMax == had.nMax && now.nPage == had.nPage && now.nPos == had.nPos) return;
    now.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    bar.SetScrollInfo(now, redraw);
    if (now.nMax >= static_cast<int>(now.nPage)) bar.EnableWindow(TRUE);
}

void CSkinScrollWnd::AfterTargetNcCalcSize(NCCALCSIZE_PARAMS* params) {
    const LONG_PTR style = ::GetWindowLongPtrW(target_, GWL_STYLE);
    const bool left = (::GetWindowLongPtrW(target_, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    const bool vs = (style & WS_VSCROLL) != 0, hs = (style & WS_HSCROLL) != 0;
    const int system = ::GetSystemMetrics(SM_CXVSCROLL);
    RECT& client = params->rgrc[0];
    if (vs) {
        if (left) client.left -= system - thickness_;
        else client.right += system - thickness_;
    }
    if (hs) client.bottom += system - thickness_;

    RECT vRect = left ? RECT{client.left - thickness_, client.top, client.left, client.bottom}
                      : RECT{client.right, client.top, client.right + thickness_, client.bottom};
    RECT hRect{left ? client.left : 0, client.bottom, client.right, client.bottom + thickness_};
    corner_ = vs && hs ? (left ? 1 : 2) : 0;
    if (vs) {
        vert_.MoveWindow(vRect);
        vert_.ShowWindow(SW_SHOW);
    } else {
        vert_.ShowWindow(SW_HIDE);
    }
    if (hs) {
        horz_.MoveWindow(hRect);
        horz_.ShowWindow(SW_SHOW);
    } else {
        horz_.ShowWindow(SW_HIDE);
    }
    PostMessage(WM_SKIN_RELAYOUT, vs ? WS_VSCROLL : 0, left ? WS_EX_LEFTSCROLLBAR : 0);
}

LRESULT CALLBACK CSkinScrollWnd::TargetHook(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<CSkinScrollWnd*>(ref);
    if (msg == WM_DESTROY) {
        self->DetachFromDestroyedTarget();  // self is gone after this
        return ::DefSubclassProc(wnd, msg, wp, lp);
    }
    LRESULT result = ::DefSubclassProc(wnd, msg, wp, lp);
    if (self->relaying_) return result;
    try {
        if (msg == WM_ERASEBKGND) {
            const LONG_PTR style = ::GetWindowLongPtrW(wnd, GWL_STYLE);
            if (style & WS_VSCROLL) self->SyncBar(self->vert_, SB_VERT, TRUE);
            if (style & WS_HSCROLL) self->SyncBar(self->horz_, SB_HORZ, TRUE);
        } else if (msg == WM_NCCALCSIZE && wp) {
            self->AfterTargetNcCalcSize(reinterpret_cast<NCCALCSIZE_PARAMS*>(lp));
        }
    } catch (...) {
    }
    return result;
}

void CSkinScrollWnd::OnScroll(UINT msg, WPARAM wp, LPARAM lp) {
    const bool vertical = msg == WM_VSCROLL;
    relaying_ = TRUE;
    ::SendMessageW(target_, msg, wp, 0);
    relaying_ = FALSE;
    if (LOWORD(wp) == SB_THUMBTRACK) return;
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS};
    if (target_ && ::GetScrollInfo(target_, vertical ? SB_VERT : SB_HORZ, &si))
        (vertical ? vert_ : horz_).SetScrollInfo(si, TRUE);
}

void CSkinScrollWnd::OnPaintCorner() {
    ui::PaintDC paint(m_hWnd);
    if (corner_ == 0 || !skin_) return;
    const RECT client = GetClientRect();
    const int t = thickness_;
    RECT dest = corner_ == 1 ? RECT{0, client.bottom - t, t, client.bottom}
                             : RECT{client.right - t, client.bottom - t, client.right, client.bottom};
    BITMAP bm{};
    ::GetObjectW(skin_, sizeof(bm), &bm);
    const int w = bm.bmWidth / 9, row = corner_ == 1 ? 1 : 0;
    ui::MemoryDC skinDc(paint);
    ui::SelectionRestorer select(skinDc, skin_);
    ::StretchBlt(paint, dest.left, dest.top, t, t, skinDc, 8 * w, row * w, w, w, SRCCOPY);
}

void CSkinScrollWnd::OnRelayout(bool vertical, bool leftBar) {
    relaying_ = TRUE;
    RECT limit = GetClientRect();
    if (horz_.IsWindowVisible()) limit.bottom -= thickness_;
    if (vertical && vert_.IsWindowVisible()) {
        if (leftBar) limit.left += thickness_;
        else limit.right -= thickness_;
    }
    limit_.MoveWindow(limit);
    if (target_)
        ::SetWindowPos(target_, nullptr, leftBar ? -thickness_ : 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    relaying_ = FALSE;
}

LRESULT CSkinScrollWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SIZE: {
            LRESULT r = CWnd::WindowProc(msg, wp, lp);
            if (LOWORD(lp) && HIWORD(lp) && limit_.m_hWnd && target_)
                ::MoveWindow(target_, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
            return r;
        }
        case WM_VSCROLL:
        case WM_HSCROLL:
            if (target_) OnScroll(msg, wp, lp);
            return 0;
        case WM_PAINT: OnPaintCorner(); return 0;
        case WM_TIMER:
            if (wp == kSyncTimer) {
                if (vert_.IsWindowVisible() && !vert_.IsDragging()) SyncBar(vert_, SB_VERT, TRUE);
                if (horz_.IsWindowVisible() && !horz_.IsDragging()) SyncBar(horz_, SB_HORZ, TRUE);
                return 0;
            }
            break;
        case WM_SKIN_RELAYOUT:
            OnRelayout(wp != 0, lp != 0);
            return 0;
        case WM_DESTROY:
            // Destroyed with its parent, before the target: the target just loses the hook.
            KillTimer(kSyncTimer);
            Unhook();
            break;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

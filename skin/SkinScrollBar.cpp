#include "SkinScrollBar.h"

#include <commctrl.h>
#include "GdiHandles.h"
#include "SkinDraw.h"
#include "SkinScale.h"

using namespace skin;

namespace {
bool IsArrow(int part) { return part == kPartLineUp || part == kPartLineDown; }
// Copies src into dest, stretching when the sizes differ.
void CopyCell(HDC dc, const RECT& dest, HDC src, const RECT& cell) {
    if (Width(dest) == Width(cell) && Height(dest) == Height(cell))
        ::BitBlt(dc, dest.left, dest.top, Width(dest), Height(dest), src, cell.left, cell.top, SRCCOPY);
    else
        ::StretchBlt(dc, dest.left, dest.top, Width(dest), Height(dest), src, cell.left, cell.top, Width(cell),
                     Height(cell), SRCCOPY);
}
// Covers dest with copies of cell, each stretched to step (the last ones cut to what remains).
void Tile(HDC dc, const RECT& dest, HDC src, const RECT& cell, int stepX, int stepY) {
    stepX = stepX > 0 ? stepX : 1;
    stepY = stepY > 0 ? stepY : 1;
    for (int y = dest.top; y < dest.bottom; y += stepY)
        for (int x = dest.left; x < dest.right; x += stepX) {
            RECT tile{x, y, std::min(x + stepX, static_cast<int>(dest.right)), std::min(y + stepY, static_cast<int>(dest.bottom))};
            ::StretchBlt(dc, tile.left, tile.top, Width(tile), Height(tile), src, cell.left, cell.top, Width(cell),
                         Height(cell), SRCCOPY);
        }
}
}  // namespace

BOOL CSkinScrollBar::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateEx(0, nullptr, L"", style, rect, parent, id);
}

void CSkinScrollBar::SetSkin(HBITMAP skin) {
    skin_ = skin;
    BITMAP bm{};
    if (!skin || !::GetObjectW(skin, sizeof(bm), &bm)) return;
    cell_ = bm.bmWidth / 9;
    rowHeight_ = bm.bmHeight / 3;
    if (!m_hWnd) return;
    RECT r = GetClientRect();
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, IsVertical() ? cell_ : Width(r), IsVertical() ? Height(r) : cell_,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

ScrollBarMetrics CSkinScrollBar::Metrics() const {
    return ScrollBarMetrics{length_, cell_, m_scale, m_thumbCap, si_.nMin, si_.nMax, si_.nPage, si_.nPos, si_.nTrackPos};
}

RECT CSkinScrollBar::Cell(int column, int row) const {
    if (!IsVertical()) column += 4;
    return RECT{column * cell_, row * cell_, (column + 1) * cell_, (row + 1) * cell_};
}

void CSkinScrollBar::SendScroll(int code, int pos) const {
    ::SendMessageW(GetParent(), IsVertical() ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos),
                   reinterpret_cast<LPARAM>(m_hWnd));
}

void CSkinScrollBar::TileTrack(HDC dc, HDC skinDc, const RECT& dest, int row) const {
    const int step = Scaled(cell_, m_scale);
    Tile(dc, dest, skinDc, Cell(3, row), step, step);
}

void CSkinScrollBar::PaintThumb(HDC dc, HDC skinDc, const RECT& dest, int row) const {
    if (::IsRectEmpty(&dest)) return;
    const RECT cell = Cell(2, row);
    const int end = m_thumbCap > 0 ? m_thumbCap + 3 : 3;
    const bool v = IsVertical();
    // Fixed ends of the cell along the bar, the middle tiled between them.
    RECT srcHead = v ? RECT{cell.left, cell.top, cell.right, cell.top + end} : RECT{cell.left, cell.top, cell.left + end, cell.bottom};
    RECT srcTail = v ? RECT{cell.left, cell.bottom - end, cell.right, cell.bottom} : RECT{cell.right - end, cell.top, cell.right, cell.bottom};
    RECT srcMid = v ? RECT{cell.left, cell.top + end, cell.right, cell.bottom - end} : RECT{cell.left + end, cell.top, cell.right - end, cell.bottom};
    RECT head = v ? RECT{dest.left, dest.top, dest.right, dest.top + end} : RECT{dest.left, dest.top, dest.left + end, dest.bottom};
    RECT tail = v ? RECT{dest.left, dest.bottom - end, dest.right, dest.bottom} : RECT{dest.right - end, dest.top, dest.right, dest.bottom};
    RECT mid = v ? RECT{dest.left, head.bottom, dest.right, tail.top} : RECT{head.right, dest.top, tail.left, dest.bottom};
    CopyCell(dc, head, skinDc, srcHead);
    CopyCell(dc, tail, skinDc, srcTail);
    if (!::IsRectEmpty(&mid) && !::IsRectEmpty(&srcMid)) {
        const int across = v ? Width(dest) : Height(dest);
        const int along = Scaled(v ? Height(srcMid) : Width(srcMid), m_scale);
        Tile(dc, mid, skinDc, srcMid, v ? across : along, v ? along : across);
    }
}

void CSkinScrollBar::DrawPart(HDC dc, HDC skinDc, int part, int row) const {
    const RECT dest = PartRect(Metrics(), IsVertical(), part);
    switch (part) {
        case kPartLineUp: CopyCell(dc, dest, skinDc, Cell(0, row)); break;
        case kPartLineDown: CopyCell(dc, dest, skinDc, Cell(1, row)); break;
        case kPartThumb: PaintThumb(dc, skinDc, dest, row); break;
        case kPartPageUp:
        case kPartPageDown: TileTrack(dc, skinDc, dest, row); break;
        default: break;
    }
}

void CSkinScrollBar::DrawParts(std::initializer_list<int> parts, int row) const {
    if (!skin_ || !m_hWnd) return;
    ui::WindowDC dc(m_hWnd);
    ui::MemoryDC skinDc(dc);
    ui::SelectionRestorer select(skinDc, skin_);
    for (int part : parts) DrawPart(dc, skinDc, part, row);
}

void CSkinScrollBar::OnPaint() {
    ui::PaintDC paint(m_hWnd);
    if (!skin_) return;
    ui::MemoryDC skinDc(paint);
    ui::SelectionRestorer select(skinDc, skin_);
    for (int part : {kPartLineUp, kPartLineDown, kPartThumb, kPartPageUp, kPartPageDown})
        DrawPart(paint, skinDc, part, 0);
}

LRESULT CSkinScrollBar::OnSetScrollInfo(BOOL redraw, const SCROLLINFO* info) {
    if (!info) return 0;
    if (info->fMask & SIF_PAGE) si_.nPage = info->nPage;
    if (info->fMask & SIF_POS) si_.nPos = info->nPos;
    if (info->fMask & SIF_RANGE) {
        si_.nMin = info->nMin;
        si_.nMax = info->nMax;
    }
    if (redraw) DrawParts({kPartPageUp, kPartThumb, kPartPageDown}, 0);
    return 1;
}

LRESULT CSkinScrollBar::OnGetScrollInfo(SCROLLINFO* info) const {
    if (!info) return 0;
    if (info->fMask & SIF_PAGE) info->nPage = si_.nPage;
    if (info->fMask & SIF_POS) info->nPos = si_.nPos;
    if (info->fMask & SIF_TRACKPOS) info->nTrackPos = si_.nTrackPos;
    if (info->fMask & SIF_RANGE) {
        info->nMin = si_.nMin;
        info->nMax = si_.nMax;
    }
    return 1;
}

void CSkinScrollBar::OnLButtonDown(POINT pt) {
    ::SetCapture(m_hWnd);
    const int part = PartFromPoint(Metrics(), Along(pt));
    if (part == kPartThumb) {
        dragging_ = TRUE;
        dragStart_ = pt;
        si_.nTrackPos = dragStartPos_ = si_.nPos;
        return;
    }
    if (part == kPartNone) return;
    pressed_ = part;
    SendScroll(part, 0);
    SetTimer(kDelayTimer, kDelayMs);
    paused_ = FALSE;
    if (IsArrow(part)) DrawParts({part}, 2);
}

void CSkinScrollBar::OnTimer(UINT_PTR id) {
    // A tick queued before the press ended (KillTimer leaves it in the queue) arms nothing.
    if (pressed_ == kPartNone) {
        KillTimer(id);
        return;
    }
    if (id == kDelayTimer) {
        repeating_ = TRUE;
        KillTimer(kDelayTimer);
        SetTimer(kRepeatTimer, kRepeatMs);
        return;
    }
    if (id != kRepeatTimer || paused_) return;
    bool stop = false;
    switch (pressed_) {
        case kPartLineUp: stop = si_.nPos == si_.nMin; break;
        case kPartLineDown: stop = si_.nPos == si_.nMax; break;
        case kPartPageUp:
        case kPartPageDown: {
            POINT cursor{};
            ::GetCursorPos(&cursor);
            ::ScreenToClient(m_hWnd, &cursor);
            RECT thumb = PartRect(Metrics(), IsVertical(), kPartThumb);
            stop = ::PtInRect(&thumb, cursor) != FALSE;
            break;
        }
        default: return;
    }
    if (stop) KillTimer(kRepeatTimer);
    else SendScroll(pressed_, 0);
}

void CSkinScrollBar::OnMouseMove(POINT pt, bool fromLeave) {
    if (!tracking_ && !fromLeave) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, m_hWnd, 1};
        tracking_ = ::_TrackMouseEvent(&tme);
    }
    if (dragging_) {
        ScrollBarMetrics m = Metrics();
        const int along = Along(pt) - Along(dragStart_);
        const int pos = DragPosition(m, dragStartPos_, along);
        if (pos == si_.nTrackPos) return;
        {
            ui::WindowDC dc(m_hWnd);
            ui::MemoryDC skinDc(dc);
            ui::SelectionRestorer select(skinDc, skin_);
            const RECT before = PartRect(m, IsVertical(), kPartThumb);
            si_.nTrackPos = pos;
            m.nTrackPos = pos;
            const RECT after = PartRect(m, IsVertical(), kPartThumb);
            // Track over the strip the thumb leaves, then the thumb pressed at its new place.
            RECT strip = before;
            if (IsVertical()) {
                if (after.top > before.top) strip.bottom = after.top;
                else strip.top = after.bottom;
            } else {
                if (after.left > before.left) strip.right = after.left;
                else strip.left = after.right;
            }
            if (skin_ && !::IsRectEmpty(&strip)) TileTrack(dc, skinDc, strip, 0);
            if (skin_) PaintThumb(dc, skinDc, after, 2);
        }
        SendScroll(SB_THUMBTRACK, pos);
        return;
    }
    if (pressed_ == kPartNone) {
        const int hit = PartFromPoint(Metrics(), Along(pt));
        if (hit == hover_) return;
        const int old = hover_;
        hover_ = hit;
        if (IsArrow(old) || old == kPartThumb) DrawParts({old}, 0);
        if (IsArrow(hit) || hit == kPartThumb) DrawParts({hit}, 1);
        return;
    }
    RECT part = PartRect(Metrics(), IsVertical(), pressed_);
    paused_ = !::PtInRect(&part, pt);
    if (IsArrow(pressed_)) DrawParts({pressed_}, paused_ ? 0 : 2);
}

void CSkinScrollBar::ReleaseOwnCapture() {
    releasing_ = true;
    ::ReleaseCapture();
    releasing_ = false;
}

void CSkinScrollBar::OnCaptureLost() {
    if (releasing_) return;
    if (pressed_ != kPartNone) {
        KillTimer(kRepeatTimer);
        KillTimer(kDelayTimer);
        repeating_ = FALSE;
        if (IsArrow(pressed_)) DrawParts({pressed_}, 0);
        pressed_ = kPartNone;
    }
    if (dragging_) {
        // The drag ends where the thumb was dropped, as a release there would end it.
        dragging_ = FALSE;
        SendScroll(SB_THUMBPOSITION, si_.nTrackPos);
        si_.nTrackPos = -1;
        Invalidate(FALSE);
    }
}

void CSkinScrollBar::OnLButtonUp(POINT pt) {
    ReleaseOwnCapture();
    if (!dragging_) {
        if (pressed_ == kPartNone) return;
        if (repeating_) {
            KillTimer(kRepeatTimer);
            repeating_ = FALSE;
        } else {
            KillTimer(kDelayTimer);
        }
        if (IsArrow(pressed_)) DrawParts({pressed_}, 0);
        pressed_ = kPartNone;
        return;
    }
    dragging_ = FALSE;
    SendScroll(SB_THUMBPOSITION, si_.nTrackPos);
    if (si_.nTrackPos != si_.nPos && skin_) {
        ui::WindowDC dc(m_hWnd);
        ui::MemoryDC skinDc(dc);
        ui::SelectionRestorer select(skinDc, skin_);
        TileTrack(dc, skinDc, PartRect(Metrics(), IsVertical(), kPartThumb), 0);
    }
    si_.nTrackPos = -1;
    RECT thumb = PartRect(Metrics(), IsVertical(), kPartThumb);
    DrawParts({kPartThumb}, ::PtInRect(&thumb, pt) ? 1 : 0);
}

LRESULT CSkinScrollBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    const POINT pt{XFromLParam(lp), YFromLParam(lp)};
    switch (msg) {
        case WM_LBUTTONDBLCLK: return 1;
        case SBM_SETSCROLLINFO: return OnSetScrollInfo(static_cast<BOOL>(wp), reinterpret_cast<const SCROLLINFO*>(lp));
        case SBM_GETSCROLLINFO: return OnGetScrollInfo(reinterpret_cast<SCROLLINFO*>(lp));
        case WM_SIZE:
            length_ = IsVertical() ? HIWORD(lp) : LOWORD(lp);
            break;
        case WM_PAINT: OnPaint(); return 0;
        case WM_LBUTTONDOWN: OnLButtonDown(pt); return 0;
        case WM_MOUSEMOVE: OnMouseMove(pt, false); return 0;
        case WM_LBUTTONUP: OnLButtonUp(pt); return 0;
        case WM_TIMER: OnTimer(wp); return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lp) != m_hWnd) OnCaptureLost();
            break;
        case WM_MOUSELEAVE:
            tracking_ = FALSE;
            OnMouseMove(POINT{-1, -1}, true);
            return 0;
    }
    return CScrollBar::WindowProc(msg, wp, lp);
}

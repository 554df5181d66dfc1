#pragma once
// Small drawing and window helpers shared by the skinned dialogs and controls.
#include <windows.h>
#include "GdiHandles.h"

namespace skin {

inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }
inline RECT Deflated(const RECT& r, int l, int t, int rt, int b) { return RECT{r.left + l, r.top + t, r.right - rt, r.bottom - b}; }

inline int XFromLParam(LPARAM lp) { return static_cast<short>(LOWORD(lp)); }
inline int YFromLParam(LPARAM lp) { return static_cast<short>(HIWORD(lp)); }

inline void FillSolid(HDC dc, const RECT& r, HBRUSH brush) { ::FillRect(dc, &r, brush); }
inline void CopyBits(HDC dst, int x, int y, int w, int h, HDC src, int sx = 0, int sy = 0) {
    ::BitBlt(dst, x, y, w, h, src, sx, sy, SRCCOPY);
}
inline void InvalidateErase(HWND wnd) { ::InvalidateRect(wnd, nullptr, TRUE); }
// Point in screen coordinates against the window rectangle.
bool PointInWindow(HWND wnd, int x, int y);
bool PointInRect(const RECT& r, int x, int y);
inline void MoveWindowTo(HWND wnd, const RECT& r) { ::MoveWindow(wnd, r.left, r.top, Width(r), Height(r), TRUE); }

// A copy of the parent's font (or of the stock GUI font when the parent has none).
ui::UniqueFont CreateFontFromParent(HWND control);

// An off-screen bitmap kept between paints; made on first use at the size of that moment.
class OffscreenSurface {
public:
    // Makes the DC and bitmap if they don't exist yet.
    bool Ensure(HDC compatibleWith, int width, int height);
    HDC Dc() const { return dc_.Get(); }
    HBITMAP Bitmap() const { return bitmap_.Get(); }

private:
    ui::UniqueBitmap bitmap_;  // never selected into dc_ between paints
    ui::MemoryDC dc_;
};

// Messages on which the system button paints itself directly (not through WM_PAINT);
// a skinned button repaints after them.
bool SystemButtonDrawsItself(UINT msg);

// One WM_PAINT through an off-screen bitmap: the bitmap (kept in `kept`, or fresh when null)
// is filled with the brush in TRANSPARENT mode, handed to draw(dc, client), then copied to the
// paint DC at (0, 0).
template <class Draw>
void PaintOffscreen(HWND wnd, OffscreenSurface* kept, HBRUSH fill, Draw draw) {
    ui::PaintDC paint(wnd);
    RECT client{};
    ::GetClientRect(wnd, &client);
    const int w = Width(client), h = Height(client);
    auto render = [&](HDC dc) {
        FillSolid(dc, client, fill);
        ::SetBkMode(dc, TRANSPARENT);
        draw(dc, client);
        CopyBits(paint, 0, 0, w, h, dc);
    };
    if (kept) {
        if (!kept->Ensure(paint, w, h)) return;
        ui::SelectionRestorer select(kept->Dc(), kept->Bitmap());
        render(kept->Dc());
    } else {
        ui::OffscreenBitmap off(paint, w, h);
        if (off) render(off.Dc());
    }
}

}  // namespace skin

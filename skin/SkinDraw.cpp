#include "SkinDraw.h"

namespace skin {

bool PointInRect(const RECT& r, int x, int y) {
    POINT pt{x, y};
    return ::PtInRect(&r, pt) != FALSE;
}

bool PointInWindow(HWND wnd, int x, int y) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    return PointInRect(r, x, y);
}

ui::UniqueFont CreateFontFromParent(HWND control) {
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(::GetParent(control), WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (!font) font = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
    LOGFONTW lf{};
    if (!font || !::GetObjectW(font, sizeof(lf), &lf)) return ui::UniqueFont();
    return ui::UniqueFont(::CreateFontIndirectW(&lf));
}

bool SystemButtonDrawsItself(UINT msg) {
    switch (msg) {
        case BM_SETCHECK: case BM_SETSTATE: case BM_SETSTYLE: case WM_SETTEXT: case WM_SETFOCUS:
        case WM_KILLFOCUS: case WM_ENABLE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_UPDATEUISTATE:
            return true;
        default:
            return false;
    }
}

bool OffscreenSurface::Ensure(HDC compatibleWith, int width, int height) {
    if (!bitmap_) {
        dc_ = ui::MemoryDC(compatibleWith);
        bitmap_.Reset(::CreateCompatibleBitmap(compatibleWith, width > 0 ? width : 1, height > 0 ? height : 1));
    }
    return bitmap_ && dc_;
}

}  // namespace skin

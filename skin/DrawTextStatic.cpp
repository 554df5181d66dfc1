#include "DrawTextStatic.h"

#include "TextLayout.h"

void CDrawTextStatic::CheckMouseHover(int x, int y) {
    if (!m_hWnd) return;
    int hover = skin::PointInWindow(m_hWnd, x, y) ? 1 : 0;
    if (hover == hover_) return;
    hover_ = hover;
    skin::InvalidateErase(m_hWnd);
}

void CDrawTextStatic::OnPaint() {
    if (!brush_) brush_.Reset(::CreateSolidBrush(bkColor_));
    skin::PaintOffscreen(m_hWnd, nullptr, brush_.Get(), [this](HDC dc, RECT client) {
        int flags = skin::DrawTextStaticFormat(format_);
        if (flags < 0) return;
        ui::SelectionRestorer font(dc, font_.Get());
        ::SetTextColor(dc, hover_ == 1 ? hoverColor_ : normal_);
        CString text = GetWindowText();
        ::DrawTextW(dc, text, text.GetLength(), &client, static_cast<UINT>(flags));
    });
}

LRESULT CDrawTextStatic::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        OnPaint();
        return 0;
    }
    return CStatic::WindowProc(msg, wp, lp);
}

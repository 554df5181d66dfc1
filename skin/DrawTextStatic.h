#pragma once
// A static text on its own colour, with a hover colour and a choice of format.
#include "Controls.h"
#include "HoverTarget.h"
#include "SkinDraw.h"

class CDrawTextStatic : public CStatic, public skin::HoverTarget {
public:
    void CreateFontFromParent() { font_ = skin::CreateFontFromParent(m_hWnd); }
    void SetFormat(int format) { format_ = format; }
    void SetColors(COLORREF normal, COLORREF hover) { normal_ = normal; hoverColor_ = hover; }
    // Takes effect only before the first paint: the brush is made once.
    void SetBkColor(COLORREF color) { bkColor_ = color; }
    // Hover flag from a screen point; repaints only when the flag changes.
    void CheckMouseHover(int x, int y);
    void CheckHover(int x, int y) override { CheckMouseHover(x, y); }
    BOOL IsPointInside(int x, int y) const { return skin::PointInWindow(m_hWnd, x, y); }
    int HoverFlag() const { return hover_; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnPaint();
    ui::UniqueBrush brush_;
    ui::UniqueFont font_;
    COLORREF normal_ = 0;
    COLORREF hoverColor_ = RGB(0, 0, 255);
    COLORREF bkColor_ = RGB(255, 255, 255);
    int hover_ = 0;
    int format_ = 0;
};

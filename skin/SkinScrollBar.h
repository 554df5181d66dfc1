#pragma once
// A scroll bar that keeps its own scroll information and paints itself from a skin bitmap of
// 9 x 3 cells (columns: arrows, thumb, track for vertical then horizontal bars, corner;
// rows: normal, hover, pressed). It reports to its parent with WM_VSCROLL / WM_HSCROLL.
#include "Controls.h"
#include "ScrollBarGeometry.h"

class CSkinScrollBar : public CScrollBar {
public:
    static constexpr UINT_PTR kDelayTimer = 200;   // first repeat after kDelayMs
    static constexpr UINT_PTR kRepeatTimer = 100;  // then every kRepeatMs
    static constexpr UINT kDelayMs = 500;
    static constexpr UINT kRepeatMs = 100;

    float m_scale = 1.0f;
    int m_thumbCap = 0;

    // Makes the bar window (SBS_VERT in style for a vertical bar).
    BOOL Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    // The skin is borrowed; it must outlive the bar.
    void SetSkin(HBITMAP skin);
    bool IsVertical() const { return (GetStyle() & SBS_VERT) != 0; }
    bool IsDragging() const { return dragging_ != FALSE; }
    const SCROLLINFO& Info() const { return si_; }
    skin::ScrollBarMetrics Metrics() const;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnPaint();
    void OnLButtonDown(POINT pt);
    void OnLButtonUp(POINT pt);
    void OnMouseMove(POINT pt, bool fromLeave);
    void OnTimer(UINT_PTR id);
    // Another window took the capture mid-press: stop repeating or dragging.
    void OnCaptureLost();
    void ReleaseOwnCapture();
    LRESULT OnSetScrollInfo(BOOL redraw, const SCROLLINFO* info);
    LRESULT OnGetScrollInfo(SCROLLINFO* info) const;

    int Along(POINT pt) const { return IsVertical() ? pt.y : pt.x; }
    void SendScroll(int code, int pos) const;
    // Draws one part in a row of the skin on dc (arrows copied, track tiled, thumb with fixed ends).
    void DrawPart(HDC dc, HDC skinDc, int part, int row) const;
    void DrawParts(std::initializer_list<int> parts, int row) const;
    void TileTrack(HDC dc, HDC skinDc, const RECT& dest, int row) const;
    void PaintThumb(HDC dc, HDC skinDc, const RECT& dest, int row) const;
    RECT Cell(int column, int row) const;

    HBITMAP skin_ = nullptr;
    int cell_ = 0;
    int rowHeight_ = 0;
    int length_ = 0;
    SCROLLINFO si_{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, -1};
    BOOL dragging_ = FALSE;
    POINT dragStart_{};
    int dragStartPos_ = 0;
    int pressed_ = skin::kPartNone;
    BOOL repeating_ = FALSE;
    int hover_ = skin::kPartNone;
    BOOL paused_ = FALSE;
    BOOL tracking_ = FALSE;
    bool releasing_ = false;
};

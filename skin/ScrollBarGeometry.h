#pragma once
// Geometry of the skinned scroll bar along its length: arrows, track and thumb.
#include <windows.h>

namespace skin {

// Parts, equal to the SB_ codes the bar sends.
enum ScrollPart { kPartNone = -1, kPartLineUp = 0, kPartLineDown = 1, kPartPageUp = 2, kPartPageDown = 3, kPartThumb = 5 };

struct ScrollBarMetrics {
    int length;     // L: client height of a vertical bar, width of a horizontal one
    int cell;       // w: skin cell width (the natural thickness)
    float scale;
    int thumbCap;   // extra length of the thumb's fixed ends
    int nMin, nMax;
    UINT nPage;
    int nPos, nTrackPos;  // track position -1 when no drag runs
};

struct ScrollBarLayout {
    int thickness;   // (int)(w * s)
    int track;       // h
    int thumb;       // l
    int arrow;       // e
    int thumbStart;  // p
};

// Thumb length for a track of length h.
int ThumbLength(int track, int thumbCap, const ScrollBarMetrics& m);
ScrollBarLayout LayoutScrollBar(const ScrollBarMetrics& m);
// [start, end) of a part along the bar.
void PartSpan(const ScrollBarMetrics& m, int part, int& start, int& end);
RECT PartRect(const ScrollBarMetrics& m, bool vertical, int part);
// The part under a coordinate along the bar.
int PartFromPoint(const ScrollBarMetrics& m, int along);
// The position while the thumb is dragged delta pixels from where the drag started at startPos.
int DragPosition(const ScrollBarMetrics& m, int startPos, int delta);

}  // namespace skin

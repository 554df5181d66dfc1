#include <gtest/gtest.h>

#include "ScrollBarGeometry.h"

using namespace skin;

namespace {
ScrollBarMetrics Bar(int length, int nPage = 50, int nPos = 0, float scale = 1.0f, int cap = 0) {
    return ScrollBarMetrics{length, 13, scale, cap, 0, 199, static_cast<UINT>(nPage), nPos, -1};
}
int Start(const ScrollBarMetrics& m, int part) { int s, e; PartSpan(m, part, s, e); return s; }
int End(const ScrollBarMetrics& m, int part) { int s, e; PartSpan(m, part, s, e); return e; }
}  // namespace

TEST(ScrollBarGeometryTest, TwoHundredPixelBarWithPageFifty) {
    ScrollBarMetrics m = Bar(200);
    ScrollBarLayout l = LayoutScrollBar(m);
    EXPECT_EQ(l.thickness, 13);
    EXPECT_EQ(l.arrow, 13);
    EXPECT_EQ(l.track, 174);
    EXPECT_EQ(l.thumb, 43);  // 50 * 174 / 200
    EXPECT_EQ(End(m, kPartLineUp), 13);
    EXPECT_EQ(Start(m, kPartThumb), 13);
    EXPECT_EQ(End(m, kPartThumb), 56);
    EXPECT_EQ(Start(m, kPartLineDown), 187);
    RECT r = PartRect(m, true, kPartPageDown);
    EXPECT_EQ(r.top, 56);
    EXPECT_EQ(r.bottom, 187);
    EXPECT_EQ(r.right, 13);

    m.nPos = 150;  // the last position puts the thumb against the down arrow
    EXPECT_EQ(Start(m, kPartThumb), 144);
    EXPECT_EQ(End(m, kPartThumb), 187);
    m.nTrackPos = 75;  // a drag in progress wins over the position
    EXPECT_EQ(Start(m, kPartThumb), 13 + 75 * 131 / 150);
    RECT h = PartRect(m, false, kPartThumb);
    EXPECT_EQ(h.left, 78);
    EXPECT_EQ(h.bottom, 13);
}

TEST(ScrollBarGeometryTest, ShortBarSharesItsLengthBetweenTheArrows) {
    ScrollBarMetrics m = Bar(20);
    ScrollBarLayout l = LayoutScrollBar(m);
    EXPECT_EQ(l.track, 0);
    EXPECT_EQ(l.thumb, 0);
    EXPECT_EQ(l.arrow, 10);
    EXPECT_EQ(End(m, kPartLineUp), 10);
    EXPECT_EQ(Start(m, kPartLineDown), 10);
    EXPECT_EQ(PartFromPoint(m, 9), kPartLineUp);
    EXPECT_EQ(PartFromPoint(m, 10), kPartLineDown);
    EXPECT_EQ(PartFromPoint(m, -1), kPartNone);
}

TEST(ScrollBarGeometryTest, ThumbLengthLimits) {
    EXPECT_EQ(LayoutScrollBar(Bar(200, 1)).thumb, 6);     // 174 / 200 = 0 -> at least 6
    EXPECT_EQ(LayoutScrollBar(Bar(31)).thumb, 0);         // track 5: no thumb
    EXPECT_EQ(LayoutScrollBar(Bar(32, 1)).thumb, 6);      // track 6
    EXPECT_EQ(LayoutScrollBar(Bar(200, 1, 0, 1.0f, 4)).thumb, 14);  // cap 4: 2 * 4 + 6
    EXPECT_EQ(LayoutScrollBar(Bar(38, 50, 0, 1.0f, 4)).thumb, 0);   // track 12 < 14
    EXPECT_EQ(LayoutScrollBar(Bar(200, 200)).thumb, 0);   // nothing to scroll
    EXPECT_EQ(Start(Bar(200, 200), kPartThumb), 13 + 87);  // centred
}

TEST(ScrollBarGeometryTest, ScaledBar) {
    ScrollBarLayout l = LayoutScrollBar(Bar(200, 50, 0, 1.5f));
    EXPECT_EQ(l.thickness, 19);
    EXPECT_EQ(l.track, 161);
    EXPECT_EQ(l.thumb, 40);
    EXPECT_EQ(PartRect(Bar(200, 50, 0, 1.5f), true, kPartLineUp).right, 19);
}

TEST(ScrollBarGeometryTest, HitTestFollowsThePosition) {
    ScrollBarMetrics m = Bar(200, 50, 75);  // thumb at 13 + 65 = 78 .. 121
    EXPECT_EQ(PartFromPoint(m, 12), kPartLineUp);
    EXPECT_EQ(PartFromPoint(m, 13), kPartPageUp);
    EXPECT_EQ(PartFromPoint(m, 77), kPartPageUp);
    EXPECT_EQ(PartFromPoint(m, 78), kPartThumb);
    EXPECT_EQ(PartFromPoint(m, 120), kPartThumb);
    EXPECT_EQ(PartFromPoint(m, 121), kPartPageDown);
    EXPECT_EQ(PartFromPoint(m, 186), kPartPageDown);
    EXPECT_EQ(PartFromPoint(m, 187), kPartLineDown);
    EXPECT_EQ(PartFromPoint(m, 500), kPartLineDown);
}

TEST(ScrollBarGeometryTest, DragMapsPixelsToPositionsAndClamps) {
    ScrollBarMetrics m = Bar(200);  // free length 174 - 43 = 131, range 150
    EXPECT_EQ(DragPosition(m, 0, 10), 11);
    EXPECT_EQ(DragPosition(m, 0, 131), 150);
    EXPECT_EQ(DragPosition(m, 0, 400), 150);
    EXPECT_EQ(DragPosition(m, 20, -100), 0);
    EXPECT_EQ(DragPosition(Bar(200, 200), 0, 50), 0);  // no range: no movement
}

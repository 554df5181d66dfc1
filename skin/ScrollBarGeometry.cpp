#include "ScrollBarGeometry.h"

#include <algorithm>

#include "SkinScale.h"

namespace skin {

namespace {
int ScrollRange(const ScrollBarMetrics& m) { return m.nMax - m.nMin - static_cast<int>(m.nPage) + 1; }
int EffectivePos(const ScrollBarMetrics& m) { return m.nTrackPos != -1 ? m.nTrackPos : m.nPos; }
}  // namespace

int ThumbLength(int track, int thumbCap, const ScrollBarMetrics& m) {
    const int span = m.nMax - m.nMin + 1;
    const int proportional = span > 0 ? static_cast<int>(m.nPage) * track / span : 0;
    if (thumbCap <= 0) return track <= 5 ? 0 : std::max(proportional, 6);
    const int least = 2 * thumbCap + 6;
    return track < least ? 0 : std::max(proportional, least);
}

ScrollBarLayout LayoutScrollBar(const ScrollBarMetrics& m) {
    ScrollBarLayout r{};
    r.thickness = Scaled(m.cell, m.scale);
    r.track = std::max(0, m.length - Scaled(2 * m.cell, m.scale));
    r.thumb = ThumbLength(r.track, m.thumbCap, m);
    const int range = ScrollRange(m);
    if (range <= 0) r.thumb = 0;
    r.arrow = r.track > 0 ? r.thickness : m.length / 2;
    r.thumbStart = range > 0 ? r.arrow + EffectivePos(m) * (r.track - r.thumb) / range
                             : r.arrow + (r.track - r.thumb) / 2;
    return r;
}

void PartSpan(const ScrollBarMetrics& m, int part, int& start, int& end) {
    const ScrollBarLayout l = LayoutScrollBar(m);
    switch (part) {
        case kPartLineUp: start = 0; end = l.arrow; break;
        case kPartPageUp: start = l.arrow; end = l.thumbStart; break;
        case kPartThumb: start = l.thumbStart; end = l.thumbStart + l.thumb; break;
        case kPartPageDown: start = l.thumbStart + l.thumb; end = m.length - l.arrow; break;
        case kPartLineDown: start = m.length - l.arrow; end = m.length; break;
        default: start = end = 0; break;
    }
}

RECT PartRect(const ScrollBarMetrics& m, bool vertical, int part) {
    int start = 0, end = 0;
    PartSpan(m, part, start, end);
    const int t = Scaled(m.cell, m.scale);
    return vertical ? RECT{0, start, t, end} : RECT{start, 0, end, t};
}

int PartFromPoint(const ScrollBarMetrics& m, int along) {
    if (along < 0) return kPartNone;
    const int thickness = Scaled(m.cell, m.scale);
    const int track = std::max(0, m.length - Scaled(2 * m.cell, m.scale));
    const int thumb = ThumbLength(track, m.thumbCap, m);  // a zero range keeps the length here
    const int arrow = track > 0 ? thickness : m.length / 2;
    const int range = ScrollRange(m);
    const int offset = range > 0 ? (track - thumb) * EffectivePos(m) / range : (track - thumb) / 2;
    if (along < arrow) return kPartLineUp;
    if (along < arrow + offset) return kPartPageUp;
    if (along < arrow + offset + thumb) return kPartThumb;
    if (along < m.length - arrow) return kPartPageDown;
    return kPartLineDown;
}

int DragPosition(const ScrollBarMetrics& m, int startPos, int delta) {
    const int track = m.length - 2 * m.cell;  // unscaled, as the drag has always measured it
    const int free = track - ThumbLength(track, m.thumbCap, m);
    const int range = ScrollRange(m);
    int pos = startPos + (free != 0 ? delta * range / free : 0);
    return std::max(m.nMin, std::min(pos, range));
}

}  // namespace skin

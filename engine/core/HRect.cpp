#include "engine/core/HRect.h"

#include "engine/core/HMath.h"

#include <cmath>

namespace {

// One axis of the closed overlap test.
bool s_overlaps(int32_t a0, int32_t a1, int32_t b0, int32_t b1)
{
    return (b0 >= a0 && b0 <= a1) || (b1 >= a0 && b1 <= a1) || (b0 <= a0 && a1 <= b1);
}

HRect s_shifted(const HRect &r, int32_t dx, int32_t dy)
{
    return HRect(r.x0 + dx, r.y0 + dy, r.x1 + dx, r.y1 + dy);
}

uint32_t s_contactFlags(const HRect &a, const HRect &p, const HRect &r)
{
    uint32_t flags = 0;
    if (p.x1 < a.x0 && a.x0 <= r.x1)
        flags |= HRect::kContactRight;
    if (r.x0 <= a.x1 && a.x1 < p.x0)
        flags |= HRect::kContactLeft;
    if (p.y1 < a.y0 && a.y0 <= r.y1)
        flags |= HRect::kContactDown;
    if (r.y0 <= a.y1 && a.y1 < p.y0)
        flags |= HRect::kContactUp;
    return flags;
}

} // namespace

bool HRect::intersects(const HRect &other) const
{
    if (x0 == x1 || y0 == y1 || other.x0 == other.x1 || other.y0 == other.y1)
        return false;
    return s_overlaps(x0, x1, other.x0, other.x1) && s_overlaps(y0, y1, other.y0, other.y1);
}

bool HRect::contains(int32_t x, int32_t y) const
{
    return x0 <= x && x <= x1 && y0 <= y && y <= y1;
}

bool HRect::containsRect(const HRect &other) const
{
    return other.x0 >= x0 && other.x1 <= x1 && other.y0 >= y0 && other.y1 <= y1;
}

bool HRect::clip(const HRect &clipRect, HRect &out, HRect &source) const
{
    if (clipRect.x1 < x0 || x1 < clipRect.x0 || clipRect.y1 < y0 || y1 < clipRect.y0)
        return false;

    if (x0 >= clipRect.x0 && x1 <= clipRect.x1 && y0 >= clipRect.y0 && y1 <= clipRect.y1) {
        out = *this;
        return true;
    }

    if (x0 < clipRect.x0) {
        out.x0 = clipRect.x0;
        source.x0 += clipRect.x0 - x0;
    } else {
        out.x0 = x0;
    }
    if (y0 < clipRect.y0) {
        out.y0 = clipRect.y0;
        source.y0 += clipRect.y0 - y0;
    } else {
        out.y0 = y0;
    }
    if (clipRect.x1 < x1) {
        out.x1 = clipRect.x1;
        source.x1 += clipRect.x1 - x1;
    } else {
        out.x1 = x1;
    }
    if (clipRect.y1 < y1) {
        out.y1 = clipRect.y1;
        source.y1 += clipRect.y1 - y1;
    } else {
        out.y1 = y1;
    }
    return true;
}

uint32_t HRect::sweepContact(const HRect &moving, const HRect &target, int32_t &dx, int32_t &dy) const
{
    float v[2] = {static_cast<float>(static_cast<int64_t>(target.x0) - moving.x0),
                  static_cast<float>(static_cast<int64_t>(target.y0) - moving.y0)};
    float len = length2(v);
    if (len == 0.0f)
        return 0;
    double step = 1.0f / len;

    // Before the first step the previous rectangle is the moving one itself.
    HRect previous = moving;
    int32_t previousDx = 0, previousDy = 0;
    // t is counted in whole steps rather than accumulated, so a long sweep
    // cannot stall on float rounding.
    for (int64_t n = 0;; ++n) {
        double t = static_cast<double>(n) * step;
        if (t > 1.0)
            break;
        int32_t sx = static_cast<int32_t>(std::lround(v[0] * t));
        int32_t sy = static_cast<int32_t>(std::lround(v[1] * t));
        HRect current = s_shifted(moving, sx, sy);
        if (intersects(current)) {
            dx = previousDx;
            dy = previousDy;
            return s_contactFlags(*this, previous, current);
        }
        previous = current;
        previousDx = sx;
        previousDy = sy;
    }

    if (intersects(target)) {
        dx = previousDx;
        dy = previousDy;
        return s_contactFlags(*this, previous, target);
    }
    return 0;
}

HDirtyRectList::HDirtyRectList() : m_count(0) {}

void HDirtyRectList::add(int32_t top, int32_t left, int32_t bottom, int32_t right)
{
    if (m_count >= kMaxRects)
        return;

    HRect r(left < right ? left : right, top < bottom ? top : bottom,
            left < right ? right : left, top < bottom ? bottom : top);
    if (r.x0 == r.x1 || r.y0 == r.y1)
        return;

    for (int32_t i = 0; i < m_count; ++i) {
        if (m_rects[i].containsRect(r))
            return;
    }

    // Grow r over everything it touches; each growth may reach rectangles
    // already passed, so the scan starts again.
    int32_t i = 0;
    while (i < m_count) {
        const HRect &e = m_rects[i];
        if (e.intersects(r)) {
            HRect grown(e.x0 < r.x0 ? e.x0 : r.x0, e.y0 < r.y0 ? e.y0 : r.y0,
                        e.x1 > r.x1 ? e.x1 : r.x1, e.y1 > r.y1 ? e.y1 : r.y1);
            if (grown.x0 != r.x0 || grown.y0 != r.y0 || grown.x1 != r.x1 || grown.y1 != r.y1) {
                r = grown;
                i = 0;
                continue;
            }
        }
        ++i;
    }

    int32_t kept = 0;
    for (int32_t j = 0; j < m_count; ++j) {
        if (!r.containsRect(m_rects[j]))
            m_rects[kept++] = m_rects[j];
    }
    m_count = kept;

    m_rects[m_count++] = r;
}

void HDirtyRectList::addRect(const HRect &rect)
{
    add(rect.y0, rect.x0, rect.y1, rect.x1);
}

void HDirtyRectList::clear()
{
    m_count = 0;
}

int32_t HDirtyRectList::getArea() const
{
    // Wrapping unsigned sum: the signed 32-bit result without overflow traps.
    uint32_t area = 0;
    for (int32_t i = 0; i < m_count; ++i) {
        const HRect &r = m_rects[i];
        area += (static_cast<uint32_t>(r.x1) - static_cast<uint32_t>(r.x0)) *
                (static_cast<uint32_t>(r.y1) - static_cast<uint32_t>(r.y0));
    }
    return static_cast<int32_t>(area);
}

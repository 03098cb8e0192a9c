#ifndef ENGINE_CORE_HRECT_H
#define ENGINE_CORE_HRECT_H

#include <cstdint>

// A rectangle (x0, y0)-(x1, y1). For drawing and areas x1, y1 lie one past
// the last pixel; the overlap and containment tests count them as inside.
struct HRect
{
    int32_t x0, y0, x1, y1;

    HRect() : x0(0), y0(0), x1(0), y1(0) {}
    // Stored as given, without normalising.
    HRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
        : x0(left), y0(top), x1(right), y1(bottom) {}

    // Closed overlap on both axes, so shared edges and corners count; a
    // rectangle of zero width or height intersects nothing.
    bool intersects(const HRect &other) const;
    // x0 <= x <= x1 and y0 <= y <= y1.
    bool contains(int32_t x, int32_t y) const;
    bool containsRect(const HRect &other) const;
    // Clips this destination rectangle to clipRect into out and moves the
    // edges of the blit's source rectangle by the same amounts. Answers
    // false, touching neither out nor source, when the two do not overlap.
    bool clip(const HRect &clipRect, HRect &out, HRect &source) const;

    // Contact flags of sweepContact.
    enum
    {
        kContactRight = 0x1,   // this was reached moving right
        kContactLeft = 0x10,   // ... moving left
        kContactDown = 0x100,  // ... moving down
        kContactUp = 0x1000    // ... moving up
    };
    // Sweeps `moving` towards `target` in unit steps against this obstacle.
    // On contact stores in dx, dy the shift of the last free step and
    // answers the contact flags; otherwise answers 0.
    uint32_t sweepContact(const HRect &moving, const HRect &target, int32_t &dx, int32_t &dy) const;
};

static_assert(sizeof(HRect) == 16, "HRect is four 32-bit integers");

// Up to 512 rectangles kept apart: each added rectangle is merged with every
// one it overlaps or touches. Adding never allocates.
class HDirtyRectList
{
public:
    enum { kMaxRects = 512 };

    HDirtyRectList();

    // Note the argument order: y before x. Corners are normalised; empty
    // rectangles, ones already covered and any beyond 512 are dropped.
    void add(int32_t top, int32_t left, int32_t bottom, int32_t right);
    void addRect(const HRect &rect);
    void clear();

    int32_t getCount() const { return m_count; }
    // index must be below getCount().
    const HRect &getRect(int32_t index) const { return m_rects[index]; }
    const HRect *getRects() const { return m_rects; }
    // Sum of (x1 - x0) * (y1 - y0) over the rectangles in use, in signed
    // 32-bit arithmetic.
    int32_t getArea() const;

private:
    HRect m_rects[kMaxRects];
    int32_t m_count;
};

#endif

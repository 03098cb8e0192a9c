#include "engine/core/HRect.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

testing::AssertionResult sameRect(const HRect &actual, const HRect &expected)
{
    if (actual.x0 == expected.x0 && actual.y0 == expected.y0 && actual.x1 == expected.x1 &&
        actual.y1 == expected.y1)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "got (" << actual.x0 << ", " << actual.y0 << ", " << actual.x1 << ", " << actual.y1
           << "), want (" << expected.x0 << ", " << expected.y0 << ", " << expected.x1 << ", "
           << expected.y1 << ")";
}

TEST(HRect, IntersectsIsClosedButIgnoresEmptyRectangles)
{
    const HRect base(10, 10, 20, 20);
    struct { HRect other; bool expected; const char *what; } cases[] = {
        {HRect(15, 15, 25, 25), true, "overlap"},
        {HRect(20, 10, 30, 20), true, "shared right edge"},
        {HRect(0, 0, 10, 10), true, "shared top-left corner"},
        {HRect(0, 0, 30, 30), true, "other encloses"},
        {HRect(12, 12, 18, 18), true, "other inside"},
        {HRect(12, 0, 18, 30), true, "cross"},
        {HRect(21, 10, 30, 20), false, "one pixel gap"},
        {HRect(10, 21, 20, 30), false, "gap below"},
        {HRect(15, 12, 15, 18), false, "zero width inside"},
        {HRect(12, 15, 18, 15), false, "zero height inside"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(base.intersects(c.other), c.expected);
        EXPECT_EQ(c.other.intersects(base), c.expected);
    }
    EXPECT_FALSE(HRect(10, 10, 10, 20).intersects(HRect(0, 0, 30, 30)));
}

TEST(HRect, ContainmentCountsTheFarEdges)
{
    const HRect r(10, 20, 30, 40);
    EXPECT_TRUE(r.contains(10, 20));
    EXPECT_TRUE(r.contains(30, 40));
    EXPECT_FALSE(r.contains(31, 40));
    EXPECT_FALSE(r.contains(30, 41));
    EXPECT_FALSE(r.contains(9, 25));
    EXPECT_FALSE(r.contains(15, 19));

    EXPECT_TRUE(r.containsRect(r));
    EXPECT_TRUE(r.containsRect(HRect(10, 20, 10, 20)));
    EXPECT_FALSE(r.containsRect(HRect(10, 20, 31, 40)));
    EXPECT_FALSE(r.containsRect(HRect(9, 20, 30, 40)));
}

TEST(HRect, ClipMovesTheSourceEdgesWithTheDestination)
{
    const HRect screen(0, 0, 640, 480);
    struct {
        HRect dest, source, out, adjusted;
        const char *what;
    } cases[] = {
        {HRect(-10, 0, 30, 20), HRect(0, 0, 40, 20), HRect(0, 0, 30, 20), HRect(10, 0, 40, 20),
         "left edge"},
        {HRect(600, 470, 660, 500), HRect(0, 0, 60, 30), HRect(600, 470, 640, 480),
         HRect(0, 0, 40, 10), "right and bottom"},
        {HRect(-5, -7, 650, 490), HRect(100, 100, 755, 597), HRect(0, 0, 640, 480),
         HRect(105, 107, 745, 587), "all four"},
        {HRect(5, 5, 25, 25), HRect(1, 2, 21, 22), HRect(5, 5, 25, 25), HRect(1, 2, 21, 22),
         "inside"},
        // The overlap test is closed: a shared edge leaves an empty result.
        {HRect(640, 0, 700, 10), HRect(0, 0, 60, 10), HRect(640, 0, 640, 10),
         HRect(0, 0, 0, 10), "touching"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        HRect out(-1, -1, -1, -1);
        HRect source = c.source;
        EXPECT_TRUE(c.dest.clip(screen, out, source));
        EXPECT_TRUE(sameRect(out, c.out));
        EXPECT_TRUE(sameRect(source, c.adjusted));
    }

    for (const HRect &outside : {HRect(641, 0, 700, 10), HRect(-50, 0, -1, 10),
                                 HRect(0, 481, 10, 500), HRect(0, -20, 10, -1)}) {
        HRect out(-1, -2, -3, -4);
        HRect source(1, 2, 3, 4);
        EXPECT_FALSE(outside.clip(screen, out, source));
        EXPECT_TRUE(sameRect(out, HRect(-1, -2, -3, -4)));
        EXPECT_TRUE(sameRect(source, HRect(1, 2, 3, 4)));
    }
}

struct SweepCase
{
    HRect obstacle, moving, target;
    uint32_t flags;
    int32_t dx, dy;
    const char *what;
};

TEST(HRect, SweepContactReportsTheSideAndTheLastFreeShift)
{
    const SweepCase cases[] = {
        {HRect(50, 0, 60, 10), HRect(0, 0, 10, 10), HRect(100, 0, 110, 10), HRect::kContactRight,
         39, 0, "moving right"},
        {HRect(50, 0, 60, 10), HRect(100, 0, 110, 10), HRect(0, 0, 10, 10), HRect::kContactLeft,
         -39, 0, "moving left"},
        {HRect(0, 50, 10, 60), HRect(0, 0, 10, 10), HRect(0, 100, 10, 110), HRect::kContactDown,
         0, 39, "moving down"},
        {HRect(0, 50, 10, 60), HRect(0, 100, 10, 110), HRect(0, 0, 10, 10), HRect::kContactUp,
         0, -39, "moving up"},
        // Diagonal onto a corner: both axes cross in the same step.
        {HRect(20, 20, 30, 30), HRect(0, 0, 10, 10), HRect(40, 40, 50, 50),
         HRect::kContactRight | HRect::kContactDown, 9, 9, "diagonal"},
        // A float step of 1/3 overshoots t = 1 on the third step, so the
        // steps stop at a shift of 2 and the target itself makes contact.
        {HRect(13, 0, 20, 10), HRect(0, 0, 10, 10), HRect(3, 0, 13, 10), HRect::kContactRight, 2,
         0, "contact only at the target"},
    };
    for (const SweepCase &c : cases) {
        SCOPED_TRACE(c.what);
        int32_t dx = -999, dy = -999;
        EXPECT_EQ(c.obstacle.sweepContact(c.moving, c.target, dx, dy), c.flags);
        EXPECT_EQ(dx, c.dx);
        EXPECT_EQ(dy, c.dy);
    }
}

TEST(HRect, SweepContactWithoutContact)
{
    const HRect obstacle(50, 50, 60, 60);
    int32_t dx = -999, dy = -999;
    EXPECT_EQ(obstacle.sweepContact(HRect(0, 0, 10, 10), HRect(100, 0, 110, 10), dx, dy), 0u);
    // No direction: nothing moves, even when already overlapping.
    EXPECT_EQ(obstacle.sweepContact(HRect(0, 0, 10, 10), HRect(0, 0, 10, 10), dx, dy), 0u);
    EXPECT_EQ(obstacle.sweepContact(HRect(55, 55, 58, 58), HRect(55, 55, 58, 58), dx, dy), 0u);
    // Overlapping from the start: contact at once, with no shift and no side.
    EXPECT_EQ(obstacle.sweepContact(HRect(55, 55, 58, 58), HRect(155, 55, 158, 58), dx, dy), 0u);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);
}

std::vector<HRect> contents(const HDirtyRectList &list)
{
    return std::vector<HRect>(list.getRects(), list.getRects() + list.getCount());
}

testing::AssertionResult holds(const HDirtyRectList &list, const std::vector<HRect> &expected)
{
    if (list.getCount() != static_cast<int32_t>(expected.size()))
        return testing::AssertionFailure() << "count " << list.getCount() << ", want "
                                           << expected.size();
    for (size_t i = 0; i < expected.size(); ++i) {
        testing::AssertionResult same = sameRect(list.getRect(static_cast<int32_t>(i)), expected[i]);
        if (!same)
            return same << " at index " << i;
    }
    return testing::AssertionSuccess();
}

TEST(HDirtyRectList, AddNormalisesAndDropsEmptyOrCoveredRectangles)
{
    HDirtyRectList list;
    EXPECT_EQ(list.getCount(), 0);

    list.add(5, 5, 0, 0);  // top, left, bottom, right
    EXPECT_TRUE(holds(list, {HRect(0, 0, 5, 5)}));

    list.add(20, 30, 40, 70);
    EXPECT_TRUE(holds(list, {HRect(0, 0, 5, 5), HRect(30, 20, 70, 40)}));

    list.add(100, 50, 200, 50);  // zero width
    list.add(100, 50, 100, 90);  // zero height
    list.add(25, 40, 35, 60);    // inside the second
    list.add(20, 30, 40, 70);    // equal to the second
    EXPECT_TRUE(holds(list, {HRect(0, 0, 5, 5), HRect(30, 20, 70, 40)}));

    list.addRect(HRect(100, 200, 110, 230));  // x0, y0, x1, y1
    EXPECT_TRUE(holds(list, {HRect(0, 0, 5, 5), HRect(30, 20, 70, 40), HRect(100, 200, 110, 230)}));

    list.clear();
    EXPECT_EQ(list.getCount(), 0);
    list.add(0, 0, 480, 640);
    EXPECT_TRUE(holds(list, {HRect(0, 0, 640, 480)}));
}

TEST(HDirtyRectList, MergesEverythingThatTouches)
{
    {
        SCOPED_TRACE("shared edge");
        HDirtyRectList list;
        list.add(0, 0, 10, 10);
        list.add(0, 10, 10, 20);
        EXPECT_TRUE(holds(list, {HRect(0, 0, 20, 10)}));
    }
    {
        SCOPED_TRACE("bridge between two");
        HDirtyRectList list;
        list.add(0, 0, 10, 10);
        list.add(0, 50, 10, 60);
        list.add(5, 10, 8, 50);
        EXPECT_TRUE(holds(list, {HRect(0, 0, 60, 10)}));
    }
    {
        SCOPED_TRACE("new one covers two");
        HDirtyRectList list;
        list.add(10, 10, 20, 20);
        list.add(40, 40, 50, 50);
        list.add(0, 0, 100, 100);
        EXPECT_TRUE(holds(list, {HRect(0, 0, 100, 100)}));
    }
    {
        // Growing through the second rectangle reaches the first, which the
        // scan had already passed: only a restarted scan merges it.
        SCOPED_TRACE("growth reaches an earlier rectangle");
        HDirtyRectList list;
        list.addRect(HRect(30, 0, 40, 10));
        list.addRect(HRect(0, 20, 30, 30));
        list.addRect(HRect(5, 5, 10, 25));
        EXPECT_TRUE(holds(list, {HRect(0, 0, 40, 30)}));
    }
    {
        SCOPED_TRACE("others keep their order");
        HDirtyRectList list;
        list.addRect(HRect(0, 0, 10, 10));
        list.addRect(HRect(100, 0, 110, 10));
        list.addRect(HRect(200, 0, 210, 10));
        list.addRect(HRect(105, 5, 150, 20));
        EXPECT_TRUE(holds(list, {HRect(0, 0, 10, 10), HRect(200, 0, 210, 10),
                                 HRect(100, 0, 150, 20)}));
    }
}

TEST(HDirtyRectList, DropsEverythingBeyond512)
{
    HDirtyRectList list;
    // 512 one-pixel rectangles two pixels apart, so none touch.
    for (int32_t i = 0; i < HDirtyRectList::kMaxRects; ++i) {
        int32_t x = (i % 32) * 3, y = (i / 32) * 3;
        list.addRect(HRect(x, y, x + 1, y + 1));
    }
    ASSERT_EQ(list.getCount(), 512);
    const std::vector<HRect> full = contents(list);

    list.addRect(HRect(0, 0, 2, 2));      // would merge with the first
    list.addRect(HRect(500, 500, 510, 510));  // would be new
    EXPECT_TRUE(holds(list, full));

    list.clear();
    list.addRect(HRect(500, 500, 510, 510));
    EXPECT_TRUE(holds(list, {HRect(500, 500, 510, 510)}));
}

TEST(HDirtyRectList, AreaSumsInSigned32Bits)
{
    HDirtyRectList list;
    EXPECT_EQ(list.getArea(), 0);
    list.add(0, 0, 10, 20);
    list.add(100, 100, 103, 105);
    EXPECT_EQ(list.getArea(), 200 + 15);

    list.clear();
    list.addRect(HRect(0, 0, 65536, 32768));  // 2^31 wraps
    EXPECT_EQ(list.getArea(), INT32_MIN);
}

TEST(HDirtyRectList, RandomAddsStayDisjointAndCoverEverything)
{
    std::mt19937 random(20240601u);
    std::uniform_int_distribution<int32_t> xs(0, 640), ys(0, 480), size(0, 40);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        HDirtyRectList list;
        std::vector<HRect> added;
        for (int n = 0; n < 150; ++n) {
            int32_t left = xs(random), top = ys(random);
            int32_t right = left + size(random) - 20, bottom = top + size(random) - 20;
            list.add(top, left, bottom, right);
            if (left != right && top != bottom)
                added.push_back(HRect(std::min(left, right), std::min(top, bottom),
                                      std::max(left, right), std::max(top, bottom)));

            const int32_t count = list.getCount();
            ASSERT_LE(count, HDirtyRectList::kMaxRects);
            for (int32_t i = 0; i < count; ++i)
                for (int32_t j = i + 1; j < count; ++j)
                    ASSERT_FALSE(list.getRect(i).intersects(list.getRect(j))) << i << " " << j;
            for (const HRect &a : added) {
                bool covered = false;
                for (int32_t i = 0; i < count && !covered; ++i)
                    covered = list.getRect(i).containsRect(a);
                ASSERT_TRUE(covered) << a.x0 << "," << a.y0 << "," << a.x1 << "," << a.y1;
            }
        }
    }
}

} // namespace

// Blits, clipping, the changed-rectangle bookkeeping, flip, text and surface
// copies of the display device, on a screen in plain memory.
#include <gtest/gtest.h>

#include <tuple>

#include "engine/media/display/display_test_support.h"
#include "framework/VGSprite.h"

using namespace tilmar_test;

namespace {

// A surface whose pixel at (x, y) is 1000 + 100 y + x, so every copied pixel
// tells where it came from.
std::vector<uint16_t> numbered(int w, int h)
{
    std::vector<uint16_t> px(w * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px[y * w + x] = static_cast<uint16_t>(1000 + 100 * y + x);
    return px;
}

uint16_t numberedAt(int x, int y)
{
    return static_cast<uint16_t>(1000 + 100 * y + x);
}

std::vector<HRect> changed(const H2DDisplayDevice &d)
{
    const HDirtyRectList &list = d.getChangedRects();
    return std::vector<HRect>(list.getRects(), list.getRects() + list.getCount());
}

bool sameRect(const HRect &a, const HRect &b)
{
    return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}

// Every screen pixel: the source pixel where (x, y) lies in the drawn
// rectangle at (dx, dy) of the given size, the source offset (sx, sy)
// added, and 0 elsewhere.
void expectCopied(const MemoryDisplay &d, int dx, int dy, int w, int h, int sx, int sy)
{
    for (int y = 0; y < d.getScreenHeight(); ++y)
        for (int x = 0; x < d.getScreenWidth(); ++x) {
            const bool inside = x >= dx && x < dx + w && y >= dy && y < dy + h;
            const uint16_t want = inside ? numberedAt(x - dx + sx, y - dy + sy) : 0;
            ASSERT_EQ(d.at(x, y), want) << "at " << x << "," << y;
        }
    EXPECT_TRUE(d.paddingIntact());
}

} // namespace

TEST(DisplayBlit, OpaqueAndMaskedCopies)
{
    MemoryDisplay d(32, 16);
    SurfaceOwner opaque(makeSurface(8, 6, numbered(8, 6)));
    d.blit(HRect(3, 2, 8, 6), HRect(2, 1, 7, 5), opaque.surface);
    expectCopied(d, 3, 2, 5, 4, 2, 1);

    // Only mask bytes of 255 are copied by the plain blits.
    std::vector<uint8_t> mask = {0, 1, 127, 128, 254, 255};
    SurfaceOwner masked(makeSurface(6, 1, numbered(6, 1), &mask));
    MemoryDisplay m(32, 16);
    m.blit(HRect(10, 3, 16, 4), HRect(0, 0, 6, 1), masked.surface);
    for (int x = 10; x < 15; ++x)
        EXPECT_EQ(m.at(x, 3), 0) << x;
    EXPECT_EQ(m.at(15, 3), numberedAt(5, 0));

    MemoryDisplay whole(32, 16);
    whole.blitSurface(HRect(20, 10, 26, 11), masked.surface);
    EXPECT_EQ(whole.at(25, 10), numberedAt(5, 0));
    EXPECT_EQ(whole.at(24, 10), 0);
    whole.blitSurface(HRect(1, 1, 9, 7), opaque.surface);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(whole.at(1 + x, 1 + y), numberedAt(x, y));
    EXPECT_TRUE(whole.paddingIntact());
    auto rects = changed(whole);
    ASSERT_EQ(rects.size(), 2u);
}

// Rows long enough for the runs of eight mask bytes, started at every offset
// within a run: whole runs of 255 and of 0, runs that mix them with soft
// values, and the tails.
TEST(DisplayBlit, MaskedCopiesTakeExactlyTheOpaquePixelsOfLongRows)
{
    const int w = 45, h = 4;
    Lcg rng(4242);
    std::vector<uint8_t> mask(w * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int run = x / 8 + y;
            const uint8_t soft = static_cast<uint8_t>(rng.next());
            mask[y * w + x] = run % 3 == 0 ? 255 : (run % 3 == 1 ? 0 : (soft % 3 == 0 ? 255 : soft % 2 ? 0 : soft));
        }
    SurfaceOwner masked(makeSurface(w, h, numbered(w, h), &mask));
    for (int offset = 0; offset < 8; ++offset) {
        MemoryDisplay d(64, 8);
        d.fill(7);
        d.blit(HRect(2, 1, 2 + w - offset, 1 + h), HRect(offset, 0, w, h), masked.surface);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 64; ++x) {
                const int sx = x - 2 + offset, sy = y - 1;
                const bool inside = x >= 2 && x < 2 + w - offset && sy >= 0 && sy < h;
                const uint16_t want = inside && mask[sy * w + sx] == 255 ? numberedAt(sx, sy) : 7;
                ASSERT_EQ(d.at(x, y), want) << "offset " << offset << " at " << x << "," << y;
            }
        EXPECT_TRUE(d.paddingIntact());
    }
}

TEST(DisplayBlit, BlendOfAnOpaqueSurfaceThatReadsPixelAlphaIsACopy)
{
    // Whichever side reads the pixel alpha; the fade's constant is then not applied.
    const HBlendMode modes[] = {kStandardBlend, {2, 2, 0, 128, 2, 2, 1, 255, 0}, {1, 1, 0, 0, 3, 1, 0, 0, 1}};
    for (const HBlendMode &m : modes) {
        MemoryDisplay d(16, 16);
        d.fill(0);
        SurfaceOwner opaque(makeSurface(8, 6, numbered(8, 6)));
        d.blendBlit(HRect(0, 0, 8, 6), HRect(0, 0, 8, 6), opaque.surface, m.srcAlphaSource, m.srcParamSource,
                    m.srcInvert, m.srcConstAlpha, m.dstAlphaSource, m.dstParamSource, m.dstInvert,
                    m.dstConstAlpha, m.op);
        expectCopied(d, 0, 0, 8, 6, 0, 0);
        ASSERT_EQ(d.getChangedRects().getCount(), 1);
    }
}

TEST(DisplayBlit, AlphaTestDrawsHalfOpaquePixelsAndKeepsTheRest)
{
    MemoryDisplay d(8, 2);
    d.fill(7);
    std::vector<uint8_t> mask = {0, 1, 127, 128, 200, 255};
    SurfaceOwner s(makeSurface(6, 1, numbered(6, 1), &mask));
    d.setRenderState(0, 1);
    d.setRenderState(0, 1); // the same value again changes nothing
    d.blendBlit(HRect(0, 0, 6, 1), HRect(0, 0, 6, 1), s.surface, 2, 1, 0, 255, 3, 1, 0, 255, 0);
    d.setRenderState(0, 0);
    const uint16_t want[] = {7, 7, 7, numberedAt(3, 0), numberedAt(4, 0), numberedAt(5, 0)};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(d.at(x, 0), want[x]) << x;
}

TEST(DisplayBlit, ClippedBlitsClipToScreenAndSurface)
{
    struct Case
    {
        const char *name;
        HRect dest, src;
        bool draws;
        HRect drawn;     // screen rectangle drawn (and marked)
        int srcX, srcY;  // surface pixel at its top-left corner
    };
    // A 10 x 8 surface onto a 32 x 16 screen.
    const Case cases[] = {
        {"inside", {4, 3, 9, 6}, {1, 2, 6, 5}, true, {4, 3, 9, 6}, 1, 2},
        {"off the left and top", {-3, -2, 5, 4}, {0, 0, 8, 6}, true, {0, 0, 5, 4}, 3, 2},
        {"off the right and bottom", {28, 13, 36, 19}, {0, 0, 8, 6}, true, {28, 13, 32, 16}, 0, 0},
        {"entirely off the screen", {40, 2, 48, 8}, {0, 0, 8, 6}, false, {}, 0, 0},
        {"touching the right edge", {32, 2, 40, 8}, {0, 0, 8, 6}, false, {}, 0, 0},
        {"no height left", {2, -6, 10, 0}, {0, 0, 8, 6}, false, {}, 0, 0},
        // A source worked out for a bigger picture than the surface has.
        {"source beyond the surface", {20, 2, 52, 34}, {0, 0, 32, 32}, true, {20, 2, 30, 10}, 0, 0},
        {"source before the surface", {2, 2, 12, 10}, {-4, -3, 6, 5}, true, {6, 5, 12, 10}, 0, 0},
        {"source entirely outside", {2, 2, 6, 6}, {12, 0, 16, 4}, false, {}, 0, 0},
        {"source wider than dest", {30, 0, 32, 4}, {0, 0, 10, 4}, true, {30, 0, 32, 4}, 0, 0},
    };
    for (const Case &c : cases) {
        for (int blend = 0; blend < 2; ++blend) {
            MemoryDisplay d(32, 16);
            SurfaceOwner s(makeSurface(10, 8, numbered(10, 8)));
            if (blend)
                d.blendBlitClipped(c.dest, c.src, s.surface, 2, 1, 0, 255, 3, 1, 0, 255, 0);
            else
                d.blitClipped(c.dest, c.src, s.surface);
            SCOPED_TRACE(c.name);
            auto rects = changed(d);
            if (!c.draws) {
                EXPECT_TRUE(rects.empty());
                expectCopied(d, 0, 0, 0, 0, 0, 0);
                continue;
            }
            ASSERT_EQ(rects.size(), 1u);
            EXPECT_TRUE(sameRect(rects[0], c.drawn))
                << rects[0].x0 << "," << rects[0].y0 << "," << rects[0].x1 << "," << rects[0].y1;
            expectCopied(d, c.drawn.x0, c.drawn.y0, c.drawn.x1 - c.drawn.x0, c.drawn.y1 - c.drawn.y0, c.srcX,
                         c.srcY);
        }
    }
}

TEST(DisplayBlit, NothingIsDrawnWithoutScreenMemory)
{
    MemoryDisplay d(16, 16);
    d.describeScreen(nullptr);
    SurfaceOwner s(makeSurface(4, 4, numbered(4, 4)));
    EXPECT_TRUE(d.blit(HRect(0, 0, 4, 4), HRect(0, 0, 4, 4), s.surface));
    EXPECT_TRUE(d.blendBlitClipped(HRect(0, 0, 4, 4), HRect(0, 0, 4, 4), s.surface, 4, 1, 0, 9, 1, 1, 0, 0, 0));
    EXPECT_TRUE(d.blitSurface(HRect(0, 0, 4, 4), s.surface));
    EXPECT_EQ(d.getChangedRects().getCount(), 0);
}

TEST(DisplayFlip, PresentsTheChangedRectanglesOnceAndKeepsCounts)
{
    MemoryDisplay d(64, 48);
    SurfaceOwner s(makeSurface(10, 10, numbered(10, 10)));

    d.flip();
    EXPECT_TRUE(d.presented.empty()); // nothing drawn: no presentation
    EXPECT_EQ(d.getFrameCount(), 1);
    EXPECT_EQ(d.getPresentedPixels(), 0);

    d.blit(HRect(0, 0, 10, 10), HRect(0, 0, 10, 10), s.surface);
    d.blitClipped(HRect(5, 5, 15, 15), HRect(0, 0, 10, 10), s.surface); // overlaps: merged
    d.blitClipped(HRect(30, 30, 40, 40), HRect(0, 0, 10, 10), s.surface);
    d.blitClipped(HRect(60, 44, 70, 54), HRect(0, 0, 10, 10), s.surface); // clipped to 4 x 4
    d.flip();
    ASSERT_EQ(d.presented.size(), 1u);
    const auto &shown = d.presented[0];
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_TRUE(sameRect(shown[0], HRect(0, 0, 15, 15)));
    EXPECT_TRUE(sameRect(shown[1], HRect(30, 30, 40, 40)));
    EXPECT_TRUE(sameRect(shown[2], HRect(60, 44, 64, 48)));
    EXPECT_EQ(d.getPresentedPixels(), 225 + 100 + 16);
    EXPECT_EQ(d.getChangedRects().getCount(), 0);

    d.flip();
    EXPECT_EQ(d.presented.size(), 1u);
    EXPECT_EQ(d.getPresentedPixels(), 0);
    EXPECT_EQ(d.getFrameCount(), 3);
}

TEST(DisplayDevice, DestroyShutsDownAndAcceptsNull)
{
    H2DDisplayDevice::destroy(nullptr);
    // The device is deleted, so the count lives outside it.
    static int shutdownCalls = 0;
    struct Counting : MemoryDisplay
    {
        void shutdown() override { ++shutdownCalls; }
    };
    H2DDisplayDevice::destroy(new Counting);
    EXPECT_EQ(shutdownCalls, 1);
}

TEST(DisplayDevice, CloneSurfaceIsADeepCopy)
{
    MemoryDisplay d;
    std::vector<uint8_t> mask(6 * 4);
    for (size_t i = 0; i < mask.size(); ++i)
        mask[i] = static_cast<uint8_t>(i * 11);
    SurfaceOwner masked(makeSurface(6, 4, numbered(6, 4), &mask));
    SurfaceOwner copy(d.cloneSurface(masked.surface));
    ASSERT_NE(copy.surface, nullptr);
    EXPECT_EQ(copy->getWidth(), 6);
    EXPECT_EQ(copy->getHeight(), 4);
    EXPECT_EQ(copy->getPitch(), 12);
    ASSERT_NE(copy->getPixels(), masked->getPixels());
    ASSERT_NE(copy->getAlphaMask(), masked->getAlphaMask());
    EXPECT_EQ(memcmp(copy->getPixels(), masked->getPixels(), 6 * 4 * 2), 0);
    EXPECT_EQ(memcmp(copy->getAlphaMask(), mask.data(), mask.size()), 0);

    SurfaceOwner opaque(makeSurface(3, 3, numbered(3, 3)));
    SurfaceOwner opaqueCopy(d.cloneSurface(opaque.surface));
    EXPECT_EQ(opaqueCopy->getAlphaMask(), nullptr);
    EXPECT_EQ(d.cloneSurface(nullptr), nullptr);
}

namespace {

// Records the glyph draws drawText asks of its font sprite.
class RecordingSprite : public VGSprite
{
public:
    explicit RecordingSprite(int32_t height) : m_height(height) {}
    int32_t getHeight() const override { return m_height; }
    void blendBlit(const HRect &dest, const HRect &src, int32_t a, int32_t b, int32_t c, int32_t d, int32_t e,
                   int32_t f, int32_t g, int32_t h, int32_t op) override
    {
        calls.push_back({dest, src, {a, b, c, d, e, f, g, h, op}});
    }
    struct Call
    {
        HRect dest, src;
        HBlendMode mode;
    };
    std::vector<Call> calls;

private:
    int32_t m_height;
};

} // namespace

TEST(DisplayText, AlignmentPlacesTheFirstCell)
{
    // (align, x of the first glyph) for two characters of width 8 at x = 100.
    const std::pair<int, int> cases[] = {{kAlignCenter, 92}, {kAlignRight, 84}, {kAlignLeft, 100}, {7, 100}};
    for (const auto &c : cases) {
        MemoryDisplay d(640, 480);
        RecordingSprite font(7 * 12);
        HBitmapFont *f = d.createFont(&font, 8, 12);
        d.drawText("AB", 100, 40, HRect(0, 0, 640, 480), c.first, f, nullptr);
        ASSERT_EQ(font.calls.size(), 2u) << c.first;
        EXPECT_TRUE(sameRect(font.calls[0].dest, HRect(c.second, 40, c.second + 8, 52))) << c.first;
        EXPECT_TRUE(sameRect(font.calls[1].dest, HRect(c.second + 8, 40, c.second + 16, 52))) << c.first;
        // 'A' (65) is column 1, row 3 of the grid; 'B' column 2.
        EXPECT_TRUE(sameRect(font.calls[0].src, HRect(8, 36, 16, 48)));
        EXPECT_TRUE(sameRect(font.calls[1].src, HRect(16, 36, 24, 48)));
        d.destroyFont(f);
    }
    // Centring an odd width rounds the half down: 3 x 5 / 2 = 7.
    MemoryDisplay d(640, 480);
    RecordingSprite font(7 * 12);
    HBitmapFont f = {&font, 5, 12};
    d.drawText("abc", 50, 0, HRect(0, 0, 640, 480), kAlignCenter, &f, nullptr);
    ASSERT_EQ(font.calls.size(), 3u);
    EXPECT_EQ(font.calls[0].dest.x0, 43);
}

TEST(DisplayText, CharactersWithoutACellTakeTheirPlaceButDrawNothing)
{
    MemoryDisplay d(640, 480);
    // Only four rows of cells: codes 16 to 79.
    RecordingSprite font(4 * 10);
    HBitmapFont f = {&font, 6, 10};
    const char text[] = {'A', '\x05', 'p', static_cast<char>(0xC8), '\x10', '\x7F', 'O', 0};
    d.drawText(text, 0, 0, HRect(0, 0, 640, 480), kAlignLeft, &f, nullptr);
    // 'A' (row 3), 16 (row 0, column 0) and 'O' (79: row 3, column 15) have
    // cells; 5, 'p' (row 6), 200 and 127 (row 6) do not.
    ASSERT_EQ(font.calls.size(), 3u);
    EXPECT_EQ(font.calls[0].dest.x0, 0);
    EXPECT_EQ(font.calls[1].dest.x0, 4 * 6);
    EXPECT_TRUE(sameRect(font.calls[1].src, HRect(0, 0, 6, 10)));
    EXPECT_EQ(font.calls[2].dest.x0, 6 * 6);
    EXPECT_TRUE(sameRect(font.calls[2].src, HRect(90, 30, 96, 40)));
}

TEST(DisplayText, ClipsGlyphsAndUsesTheTextBlendMode)
{
    MemoryDisplay d(640, 480);
    RecordingSprite font(7 * 12);
    HBitmapFont f = {&font, 8, 12};
    // initScreen made the standard blend the text blend mode.
    d.drawText("AB", 10, 20, HRect(13, 24, 100, 100), kAlignLeft, &f, nullptr);
    ASSERT_EQ(font.calls.size(), 2u);
    EXPECT_TRUE(sameRect(font.calls[0].dest, HRect(13, 24, 18, 32)));
    EXPECT_TRUE(sameRect(font.calls[0].src, HRect(11, 40, 16, 48)));
    const HBlendMode &m = font.calls[0].mode;
    EXPECT_EQ(std::make_tuple(m.srcAlphaSource, m.srcParamSource, m.srcInvert, m.srcConstAlpha, m.dstAlphaSource,
                              m.dstParamSource, m.dstInvert, m.dstConstAlpha, m.op),
              std::make_tuple(2, 1, 0, 255, 3, 1, 0, 255, 0));

    // Passed on in parameter order, whatever the device stores.
    d.setBlendMode(1, 2, 3, 4, 5, 0, 1, 7, 2);
    font.calls.clear();
    d.drawText("A", 10, 20, HRect(0, 0, 640, 480), kAlignLeft, &f, nullptr);
    ASSERT_EQ(font.calls.size(), 1u);
    const HBlendMode &n = font.calls[0].mode;
    EXPECT_EQ(std::make_tuple(n.srcAlphaSource, n.srcParamSource, n.srcInvert, n.srcConstAlpha, n.dstAlphaSource,
                              n.dstParamSource, n.dstInvert, n.dstConstAlpha, n.op),
              std::make_tuple(1, 2, 3, 4, 5, 0, 1, 7, 2));

    // Outside the clip rectangle, or without a font: nothing.
    font.calls.clear();
    d.drawText("AB", 10, 20, HRect(200, 200, 300, 300), kAlignLeft, &f, nullptr);
    d.drawText("AB", 10, 20, HRect(0, 0, 640, 480), kAlignLeft, nullptr, nullptr);
    EXPECT_TRUE(font.calls.empty());
}

// The blender against the blend formula written out independently, pixel by
// pixel and through the row loops of blendBlit.
#include <gtest/gtest.h>

#include <string>

#include "engine/media/display/display_test_support.h"

using namespace tilmar_test;

namespace {

class BlenderTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        setRenderState0(0);
        setFormat(kFormat565);
    }
    static void setRenderState0(int32_t value)
    {
        MemoryDisplay d(1, 1);
        d.setRenderState(0, value);
    }
};

struct BlendCase
{
    std::string name;
    HBlendMode mode;
};

std::vector<BlendCase> blendCases()
{
    std::vector<BlendCase> cases = {
        {"standard", {2, 1, 0, 255, 3, 1, 0, 255, 0}},
        {"standard, constants ignored", {2, 1, 0, 17, 3, 1, 0, 99, 0}},
        {"tile blend", {2, 2, 0, 200, 1, 4, 0, 100, 0}},
        {"fade", {2, 2, 0, 128, 2, 2, 1, 255, 0}},
        {"src invert 1", {2, 1, 1, 0, 1, 0, 0, 0, 0}},
        {"src invert 2 is no invert", {2, 1, 2, 0, 1, 0, 0, 0, 0}},
        {"dst invert 1", {0, 0, 0, 0, 2, 1, 1, 0, 0}},
        {"dst invert -1 is no invert", {0, 0, 0, 0, 2, 1, -1, 0, 0}},
        {"multiply opaque", {1, 1, 0, 0, 1, 1, 0, 0, 1}},
        {"multiply weighted", {2, 1, 0, 0, 3, 1, 0, 0, 1}},
        {"src minus dst", {1, 1, 0, 0, 2, 1, 0, 0, 2}},
        {"dst minus src", {2, 1, 0, 0, 1, 1, 0, 0, 3}},
        {"dst minus src, constants", {4, 3, 0, 90, 6, 5, 0, 40, 3}},
        {"invalid op 4", {2, 1, 0, 0, 3, 1, 0, 0, 4}},
        {"invalid op -1", {1, 1, 0, 0, 1, 1, 0, 0, -1}},
        {"invalid sources count as 255", {9, 7, 0, 10, -3, 6, 0, 10, 0}},
        {"constants keep their low byte", {4, 2, 0, 0x1C0, 7, 4, 0, -56, 0}},
    };
    // Every alpha source on each side, and every parameter source.
    for (int s = 0; s < 8; ++s) {
        cases.push_back({"src alpha source " + std::to_string(s), {s, 1, 0, 60, 1, 0, 0, 200, 0}});
        cases.push_back({"dst alpha source " + std::to_string(s), {1, 0, 0, 60, s, 1, 0, 200, 0}});
    }
    for (int p = 0; p < 6; ++p) {
        cases.push_back({"src param source " + std::to_string(p), {1, p, 0, 60, 1, 0, 0, 200, 0}});
        cases.push_back({"dst param source " + std::to_string(p), {1, 0, 0, 60, 1, p, 0, 200, 0}});
    }
    return cases;
}

std::vector<std::pair<uint16_t, uint16_t>> pixelPairs()
{
    std::vector<std::pair<uint16_t, uint16_t>> pairs = {
        {0xFFFF, 0xFFFF}, {0xFFFF, 0x0000}, {0x0000, 0xFFFF}, {0x0000, 0x0000},
        {0xF800, 0x07E0}, {0x001F, 0x7FFF}, {0x8410, 0x8410}, {0x7BEF, 0xFFDF},
    };
    Lcg rng(12345);
    for (int i = 0; i < 40; ++i)
        pairs.emplace_back(static_cast<uint16_t>(rng.next()), static_cast<uint16_t>(rng.next()));
    return pairs;
}

} // namespace

TEST(BlenderDivision, ReplacementsEqualTheDivisionsForEveryOperand)
{
    // Every channel value 0..255 scaled by every factor 0..65025.
    for (uint32_t f = 0; f <= 65025; ++f) {
        const uint32_t k = sm_scaleMultiplier(f);
        for (uint32_t c = 0; c <= 255; ++c)
            if (sm_scaleChannel(c, k) != c * f / 65025u)
                FAIL() << "c " << c << " F " << f;
    }
    for (uint32_t s = 0; s <= 255; ++s)
        for (uint32_t d = 0; d <= 255; ++d)
            ASSERT_EQ(sm_div255(s * d), s * d / 255u) << s << " x " << d;
}

TEST_F(BlenderTest, EveryCaseMatchesTheFormulaInBothFormatsAndRenderStates)
{
    const auto cases = blendCases();
    const auto pairs = pixelPairs();
    const RefFormat formats[] = {kFormat565, kFormat555};
    for (const RefFormat &f : formats) {
        setFormat(f);
        for (int rs = 0; rs < 2; ++rs) {
            setRenderState0(rs);
            for (const BlendCase &c : cases) {
                setBlend(c.mode);
                for (int a = 0; a < 256; ++a)
                    for (const auto &p : pairs) {
                        const uint16_t want = referenceBlend(c.mode, f, p.first, p.second, a, rs);
                        const uint16_t got = sm_blendPixels16(p.first, p.second, static_cast<uint8_t>(a));
                        if (got != want)
                            FAIL() << c.name << " format " << f.bits[1] << " render state " << rs << " alpha " << a
                                   << " src " << std::hex << p.first << " dst " << p.second << ": got " << got
                                   << " want " << want;
                    }
            }
        }
    }
}

TEST_F(BlenderTest, KnownValuesOfTheStandardBlendAndMultiply)
{
    setFormat(kFormat565);
    setBlend(kStandardBlend);
    const uint16_t white = 0xFFFF, black = 0;
    EXPECT_EQ(sm_blendPixels16(white, black, 128), rgb565(15, 31, 15));
    // White over white loses one step per channel, except green where the
    // two truncated parts add up to 63 at alphas 85 and 170.
    for (int a = 1; a <= 254; ++a) {
        const int green = (a == 85 || a == 170) ? 63 : 62;
        EXPECT_EQ(sm_blendPixels16(white, white, static_cast<uint8_t>(a)), rgb565(30, green, 30)) << a;
    }
    // Multiply divides by 255 whatever the channel width: 31 x 31 / 255 = 3.
    setBlend({1, 1, 0, 0, 1, 1, 0, 0, 1});
    EXPECT_EQ(sm_blendPixels16(rgb565(31, 0, 0), rgb565(31, 0, 0), 255), rgb565(3, 0, 0));
}

TEST_F(BlenderTest, FastPathChoiceFollowsTheParametersAndRenderStateZero)
{
    setBlend(kStandardBlend);
    EXPECT_EQ(sm_getFastPath(), kBlendFastStandard);
    setBlend({2, 1, 0, 3, 3, 1, 0, 4, 0});
    EXPECT_EQ(sm_getFastPath(), kBlendFastStandard);
    setBlend({2, 1, 2, 255, 3, 1, 0, 255, 0});
    EXPECT_EQ(sm_getFastPath(), kBlendFastNone);

    // Changing render state 0 re-derives the choice for the stored state.
    setBlend(kStandardBlend);
    MemoryDisplay d(1, 1);
    d.setRenderState(0, 1);
    EXPECT_EQ(sm_getFastPath(), kBlendFastAlphaTest);
    d.setRenderState(0, 256); // taken as a byte: 0
    EXPECT_EQ(sm_getRenderState(0), 0);
    EXPECT_EQ(sm_getFastPath(), kBlendFastStandard);
    d.setRenderState(2, 7);
    EXPECT_EQ(sm_getRenderState(2), 7);
    d.setRenderState(2, 0);

    // Indices outside the table are ignored.
    d.setRenderState(4, 9);
    d.setRenderState(-1, 9);
    d.setRenderState(1 << 20, 9);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(sm_getRenderState(i), 0) << i;
    EXPECT_EQ(sm_getFastPath(), kBlendFastStandard);
}

// blendBlit's row loops (with their runs of eight mask bytes) give exactly
// the per-pixel result of the formula.
TEST_F(BlenderTest, BlendBlitRowsMatchTheFormulaThroughMasks)
{
    const int w = 37, h = 9; // rows not a multiple of eight
    Lcg rng(777);
    std::vector<uint16_t> src(w * h);
    std::vector<uint8_t> mask(w * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            src[y * w + x] = static_cast<uint16_t>(rng.next());
            uint8_t a;
            if (y % 3 == 0)
                a = x < 17 ? 255 : (x < 30 ? 0 : static_cast<uint8_t>(rng.next()));
            else if (y % 3 == 1)
                a = static_cast<uint8_t>(rng.next());
            else
                a = (x / 9) % 2 ? 255 : (x % 5 == 0 ? 128 : 0);
            mask[y * w + x] = a;
        }
    SurfaceOwner masked(makeSurface(w, h, src, &mask));
    SurfaceOwner opaque(makeSurface(w, h, src));

    const HBlendMode modes[] = {
        kStandardBlend, {2, 2, 0, 200, 1, 4, 0, 100, 0}, {2, 1, 0, 0, 3, 1, 0, 0, 1},
        {2, 1, 0, 0, 1, 1, 0, 0, 2}, {4, 1, 0, 77, 5, 1, 0, 0, 3}, {2, 1, 0, 0, 3, 1, 0, 0, 5},
        // Blends that do not read the pixel alpha also run on opaque surfaces.
        {1, 1, 0, 0, 1, 1, 0, 0, 1}, {4, 2, 0, 200, 6, 4, 1, 90, 0}, {7, 3, 1, 30, 4, 5, 0, 60, 2},
        {1, 1, 1, 0, 1, 1, 0, 0, 0},
    };
    const RefFormat formats[] = {kFormat565, kFormat555};
    for (const RefFormat &f : formats) {
        setFormat(f);
        for (int rs = 0; rs < 2; ++rs) {
            for (const HBlendMode &m : modes) {
                for (int withMask = 0; withMask < 2; ++withMask) {
                    const bool readsAlpha = m.srcAlphaSource == 2 || m.srcAlphaSource == 3 ||
                                            m.dstAlphaSource == 2 || m.dstAlphaSource == 3;
                    if (!withMask && readsAlpha)
                        continue; // a plain copy, tested elsewhere
                    MemoryDisplay d(50, 20);
                    d.setRenderState(0, rs);
                    Lcg screenRng(99);
                    for (int y = 0; y < 20; ++y)
                        for (int x = 0; x < 50; ++x)
                            d.set(x, y, static_cast<uint16_t>(screenRng.next()));
                    MemoryDisplay before(50, 20);
                    for (int y = 0; y < 20; ++y)
                        for (int x = 0; x < 50; ++x)
                            before.set(x, y, d.at(x, y));

                    const HRect dest(5, 4, 5 + w - 2, 4 + h - 1);
                    const HRect srcRect(2, 1, w, h);
                    d.blendBlit(dest, srcRect, withMask ? masked.surface : opaque.surface, m.srcAlphaSource,
                                m.srcParamSource, m.srcInvert, m.srcConstAlpha, m.dstAlphaSource,
                                m.dstParamSource, m.dstInvert, m.dstConstAlpha, m.op);
                    for (int y = 0; y < 20; ++y)
                        for (int x = 0; x < 50; ++x) {
                            uint16_t want = before.at(x, y);
                            const bool inside = x >= dest.x0 && x < dest.x1 && y >= dest.y0 && y < dest.y1;
                            if (inside) {
                                const int sx = x - dest.x0 + srcRect.x0, sy = y - dest.y0 + srcRect.y0;
                                const int a = withMask ? mask[sy * w + sx] : 255;
                                if (a != 0)
                                    want = referenceBlend(m, f, src[sy * w + sx], want, a, rs);
                            }
                            if (d.at(x, y) != want)
                                FAIL() << "op " << m.op << " mask " << withMask << " rs " << rs << " at " << x << ","
                                       << y << " got " << d.at(x, y) << " want " << want;
                        }
                    EXPECT_TRUE(d.paddingIntact());
                    d.setRenderState(0, 0);
                }
            }
        }
    }
}

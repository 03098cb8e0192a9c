// Internals of the process-wide blender shared by the display device's blits:
// the state behind the sm_ functions and the whole-row loops.
#ifndef ENGINE_MEDIA_H2DBLENDER_H
#define ENGINE_MEDIA_H2DBLENDER_H

#include <cstdint>
#include <cstring>

#include "engine/media/H2DDisplayDevice.h"

// Stores a render-state entry (value as a byte) and, when it changed,
// re-runs sm_setBlendState so the fast-path choice follows entry 0. Indices
// outside 0..3 are ignored.
void sm_storeRenderState(int32_t index, int32_t value);

namespace h2d_blender {

struct PixelFormat
{
    int32_t bits[3];   // red, green, blue
    int32_t shift[3];
    uint32_t max[3];   // 2^bits - 1
};

struct BlendState
{
    HBlendMode mode;   // constant alphas already cut to a byte
    int fastPath;
    // Per alpha byte: sm_scaleMultiplier of the blend factor (0..65025).
    uint32_t srcMul[256];
    uint32_t dstMul[256];
    // The same multipliers split into their high and low 16 bits, for the
    // loops that blend eight pixels side by side.
    uint16_t srcMulHigh[256];
    uint16_t srcMulLow[256];
    uint16_t dstMulHigh[256];
    uint16_t dstMulLow[256];
};

extern PixelFormat g_format;
extern BlendState g_blend;
extern uint8_t g_renderState[4];

// The screen layout as the pixel loops see it: the usual 5-6-5 layout as
// constants, any other read once into locals, so the loops keep it in
// registers while they write pixels.
struct Format565
{
    static constexpr uint32_t shift(int ch) { return ch == 0 ? 11u : (ch == 1 ? 5u : 0u); }
    static constexpr uint32_t max(int ch) { return ch == 1 ? 63u : 31u; }
};

struct FormatAny
{
    uint32_t shifts[3];
    uint32_t maxima[3];
    FormatAny()
        : shifts{static_cast<uint32_t>(g_format.shift[0]), static_cast<uint32_t>(g_format.shift[1]),
                 static_cast<uint32_t>(g_format.shift[2])},
          maxima{g_format.max[0], g_format.max[1], g_format.max[2]}
    {
    }
    uint32_t shift(int ch) const { return shifts[ch]; }
    uint32_t max(int ch) const { return maxima[ch]; }
};

inline bool isFormat565()
{
    return g_format.shift[0] == 11 && g_format.shift[1] == 5 && g_format.shift[2] == 0 && g_format.max[0] == 31 &&
           g_format.max[1] == 63 && g_format.max[2] == 31;
}

// One pixel by the blend formula, without the fast paths.
template <typename Format>
struct PixelBlender
{
    Format f;
    const uint32_t *srcMul = g_blend.srcMul;
    const uint32_t *dstMul = g_blend.dstMul;

    template <int OP>
    uint16_t blend(uint32_t src, uint32_t dst, uint32_t alpha) const
    {
        const uint32_t ks = srcMul[alpha];
        const uint32_t kd = dstMul[alpha];
        uint32_t out = 0;
        for (int ch = 0; ch < 3; ++ch) {
            const int32_t s = static_cast<int32_t>(sm_scaleChannel((src >> f.shift(ch)) & f.max(ch), ks));
            const int32_t d = static_cast<int32_t>(sm_scaleChannel((dst >> f.shift(ch)) & f.max(ch), kd));
            int32_t r;
            if (OP == 0)
                r = s + d;
            else if (OP == 1)
                r = static_cast<int32_t>(sm_div255(static_cast<uint32_t>(s * d)));
            else if (OP == 2)
                r = s - d;
            else
                r = d - s;
            if (r < 0)
                r = 0;
            else if (r > static_cast<int32_t>(f.max(ch)))
                r = static_cast<int32_t>(f.max(ch));
            out |= static_cast<uint32_t>(r) << f.shift(ch);
        }
        return static_cast<uint16_t>(out);
    }

    // The standard blend at an alpha of 1..254: the factors are a x 255 and
    // (255 - a) x 255, so each scaled channel is floor(c x a / 255). The
    // three channels go through side by side in 16-bit lanes of one word
    // (c x a stays below 2^16), and the sum never exceeds the channel
    // maximum, so no clamp is needed.
    uint16_t standard(uint32_t src, uint32_t dst, uint32_t alpha) const
    {
        const uint64_t s = spread(src) * alpha;
        const uint64_t d = spread(dst) * (255u - alpha);
        const uint64_t kLow = 0x000000FF00FF00FFull;
        const uint64_t kOne = 0x0000000100010001ull;
        const uint64_t sq = ((s + kOne + ((s >> 8) & kLow)) >> 8) & kLow;
        const uint64_t dq = ((d + kOne + ((d >> 8) & kLow)) >> 8) & kLow;
        const uint64_t sum = sq + dq;
        return static_cast<uint16_t>((static_cast<uint32_t>(sum) & 0xFFFFu) << f.shift(0) |
                                     (static_cast<uint32_t>(sum >> 16) & 0xFFFFu) << f.shift(1) |
                                     (static_cast<uint32_t>(sum >> 32) & 0xFFFFu) << f.shift(2));
    }

    uint64_t spread(uint32_t p) const
    {
        return static_cast<uint64_t>((p >> f.shift(0)) & f.max(0)) |
               static_cast<uint64_t>((p >> f.shift(1)) & f.max(1)) << 16 |
               static_cast<uint64_t>((p >> f.shift(2)) & f.max(2)) << 32;
    }
};

template <int OP>
inline uint16_t blendPixel(uint32_t src, uint32_t dst, uint32_t alpha)
{
    return PixelBlender<FormatAny>().blend<OP>(src, dst, alpha);
}

// Blends count pixels of a row through the current state: with a mask,
// bytes of 0 are skipped and the rest blended with their alpha; without,
// every pixel with alpha 255.
void blendRow(uint16_t *dst, const uint16_t *src, const uint8_t *mask, int32_t count);
// Copies the pixels whose mask byte is 255.
void copyRowMasked(uint16_t *dst, const uint16_t *src, const uint8_t *mask, int32_t count);

} // namespace h2d_blender

#endif

// The process-wide blender: screen format, blend state with its fast-path
// choice, the render-state table, and the per-pixel and per-row blends.
#include "engine/media/H2DBlender.h"

#include "engine/core/HMessages.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace h2d_blender {

PixelFormat g_format = {{5, 6, 5}, {11, 5, 0}, {31, 63, 31}};
BlendState g_blend;
uint8_t g_renderState[4] = {0, 0, 0, 0};

} // namespace h2d_blender

using namespace h2d_blender;

namespace {

// Whether the factor tables match the stored parameters.
bool s_tablesValid = false;

int32_t s_factor(int32_t alphaSource, int32_t paramSource, int32_t invert, int32_t alpha)
{
    int32_t factor = sm_getBlendAlpha(alphaSource, alpha) * sm_getBlendParam(paramSource);
    if (invert == 1)
        factor = 65025 - factor;
    return factor;
}

} // namespace

void sm_setPixelFormat(int32_t rBits, int32_t gBits, int32_t bBits, int32_t rShift, int32_t gShift,
                       int32_t bShift)
{
    const int32_t bits[3] = {rBits, gBits, bBits};
    const int32_t shifts[3] = {rShift, gShift, bShift};
    for (int ch = 0; ch < 3; ++ch) {
        // A 16-bit pixel has no channel wider than 8 bits in practice; the
        // division replacements are exact only up to 8-bit channels.
        int32_t b = bits[ch] < 0 ? 0 : (bits[ch] > 8 ? 8 : bits[ch]);
        int32_t s = shifts[ch] < 0 ? 0 : (shifts[ch] > 15 ? 15 : shifts[ch]);
        g_format.bits[ch] = b;
        g_format.shift[ch] = s;
        g_format.max[ch] = (1u << b) - 1u;
    }
}

void sm_setBlendState(int32_t srcAlphaSource, int32_t srcParamSource, int32_t srcInvert,
                      int32_t srcConstAlpha, int32_t dstAlphaSource, int32_t dstParamSource,
                      int32_t dstInvert, int32_t dstConstAlpha, int32_t op)
{
    const HBlendMode mode = {srcAlphaSource, srcParamSource, srcInvert, srcConstAlpha & 0xFF,
                             dstAlphaSource, dstParamSource, dstInvert, dstConstAlpha & 0xFF, op};
    HBlendMode &m = g_blend.mode;
    const bool same = s_tablesValid && m.srcAlphaSource == mode.srcAlphaSource &&
                      m.srcParamSource == mode.srcParamSource && m.srcInvert == mode.srcInvert &&
                      m.srcConstAlpha == mode.srcConstAlpha && m.dstAlphaSource == mode.dstAlphaSource &&
                      m.dstParamSource == mode.dstParamSource && m.dstInvert == mode.dstInvert &&
                      m.dstConstAlpha == mode.dstConstAlpha && m.op == mode.op;
    if (!same) {
        m = mode;
        // The factors depend only on the pixel's alpha byte, so they are
        // worked out once per state rather than per pixel.
        for (int32_t a = 0; a < 256; ++a) {
            g_blend.srcMul[a] = sm_scaleMultiplier(
                static_cast<uint32_t>(s_factor(m.srcAlphaSource, m.srcParamSource, m.srcInvert, a)));
            g_blend.dstMul[a] = sm_scaleMultiplier(
                static_cast<uint32_t>(s_factor(m.dstAlphaSource, m.dstParamSource, m.dstInvert, a)));
            g_blend.srcMulHigh[a] = static_cast<uint16_t>(g_blend.srcMul[a] >> 16);
            g_blend.srcMulLow[a] = static_cast<uint16_t>(g_blend.srcMul[a]);
            g_blend.dstMulHigh[a] = static_cast<uint16_t>(g_blend.dstMul[a] >> 16);
            g_blend.dstMulLow[a] = static_cast<uint16_t>(g_blend.dstMul[a]);
        }
        s_tablesValid = true;
    }

    const bool standard = m.srcAlphaSource == 2 && m.srcParamSource == 1 && m.srcInvert == 0 &&
                          m.dstAlphaSource == 3 && m.dstParamSource == 1 && m.dstInvert == 0 && m.op == 0;
    if (!standard)
        g_blend.fastPath = kBlendFastNone;
    else
        g_blend.fastPath = g_renderState[0] != 0 ? kBlendFastAlphaTest : kBlendFastStandard;
}

int32_t sm_getBlendAlpha(int32_t source, int32_t alpha)
{
    switch (source) {
    case 0: return 0;
    case 1: return 255;
    case 2: return alpha;
    case 3: return 255 - alpha;
    case 4: return g_blend.mode.srcConstAlpha;
    case 5: return 255 - g_blend.mode.srcConstAlpha;
    case 6: return g_blend.mode.dstConstAlpha;
    case 7: return 255 - g_blend.mode.dstConstAlpha;
    default:
        warningPrint("sm_getBlendAlpha: invalid alpha source 0x%x", static_cast<unsigned>(source));
        return 255;
    }
}

int32_t sm_getBlendParam(int32_t source)
{
    switch (source) {
    case 0: return 0;
    case 1: return 255;
    case 2: return g_blend.mode.srcConstAlpha;
    case 3: return 255 - g_blend.mode.srcConstAlpha;
    case 4: return g_blend.mode.dstConstAlpha;
    case 5: return 255 - g_blend.mode.dstConstAlpha;
    default:
        warningPrint("sm_getBlendParam: invalid source value 0x'%x'", static_cast<unsigned>(source));
        return 255;
    }
}

uint16_t sm_blendPixels16(uint16_t src, uint16_t dst, uint8_t alpha)
{
    if (g_blend.fastPath == kBlendFastAlphaTest)
        return alpha >= 128 ? src : dst;
    if (g_blend.fastPath == kBlendFastStandard) {
        if (alpha == 255)
            return src;
        if (alpha == 0)
            return dst;
        return PixelBlender<FormatAny>().standard(src, dst, alpha);
    }
    switch (g_blend.mode.op) {
    case 0: return blendPixel<0>(src, dst, alpha);
    case 1: return blendPixel<1>(src, dst, alpha);
    case 2: return blendPixel<2>(src, dst, alpha);
    case 3: return blendPixel<3>(src, dst, alpha);
    default:
        warningPrint("sm_blendPixels16: invalid blend op");
        return 0;
    }
}

int32_t sm_getFastPath()
{
    return g_blend.fastPath;
}

uint8_t sm_getRenderState(int32_t index)
{
    return index >= 0 && index < 4 ? g_renderState[index] : 0;
}

void sm_storeRenderState(int32_t index, int32_t value)
{
    if (index < 0 || index > 3)
        return;
    const uint8_t byte = static_cast<uint8_t>(value);
    if (g_renderState[index] == byte)
        return;
    g_renderState[index] = byte;
    const HBlendMode &m = g_blend.mode;
    sm_setBlendState(m.srcAlphaSource, m.srcParamSource, m.srcInvert, m.srcConstAlpha, m.dstAlphaSource,
                     m.dstParamSource, m.dstInvert, m.dstConstAlpha, m.op);
}

namespace h2d_blender {

namespace {

// Eight mask bytes at once: lets long opaque or transparent runs be copied or
// skipped without testing every byte.
inline uint64_t s_load8(const uint8_t *p)
{
    uint64_t v;
    memcpy(&v, p, sizeof v);
    return v;
}

#if defined(__SSE2__)
// Eight pixels of the standard blend side by side, with the same integer
// steps as PixelBlender::standard in 16-bit lanes; the lanes of alpha 255 and
// 0 then take the source and the destination pixel whole.
template <typename Format>
inline void s_standard8(uint16_t *d, const uint16_t *s, const uint8_t *m, const Format &f)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i one = _mm_set1_epi16(1);
    const __m128i full = _mm_set1_epi16(255);
    const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s));
    const __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i *>(d));
    const __m128i a = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(m)), zero);
    const __m128i na = _mm_sub_epi16(full, a);
    __m128i out = zero;
    for (int ch = 0; ch < 3; ++ch) {
        const __m128i count = _mm_cvtsi32_si128(static_cast<int>(f.shift(ch)));
        const __m128i max = _mm_set1_epi16(static_cast<short>(f.max(ch)));
        __m128i x = _mm_mullo_epi16(_mm_and_si128(_mm_srl_epi16(src, count), max), a);
        __m128i y = _mm_mullo_epi16(_mm_and_si128(_mm_srl_epi16(dst, count), max), na);
        x = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, one), _mm_srli_epi16(x, 8)), 8);
        y = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(y, one), _mm_srli_epi16(y, 8)), 8);
        out = _mm_or_si128(out, _mm_sll_epi16(_mm_add_epi16(x, y), count));
    }
    const __m128i opaque = _mm_cmpeq_epi16(a, full);
    const __m128i clear = _mm_cmpeq_epi16(a, zero);
    out = _mm_or_si128(_mm_and_si128(opaque, src), _mm_andnot_si128(opaque, out));
    out = _mm_or_si128(_mm_and_si128(clear, dst), _mm_andnot_si128(clear, out));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(d), out);
}

// Eight pixels: the source where the mask byte is 255, else the screen, by
// selection rather than by a branch per pixel along the mask's edges.
inline void s_copyOpaque8(uint16_t *d, const uint16_t *s, const uint8_t *m)
{
    const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(m));
    const __m128i full = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(-1));
    const __m128i lanes = _mm_unpacklo_epi8(full, full);
    const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s));
    const __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i *>(d));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(d),
                     _mm_or_si128(_mm_and_si128(lanes, src), _mm_andnot_si128(lanes, dst)));
}

// Eight lanes of one table, indexed by the eight alpha bytes.
inline __m128i s_gather8(const uint16_t *table, const uint8_t *alpha)
{
    return _mm_set_epi16(static_cast<short>(table[alpha[7]]), static_cast<short>(table[alpha[6]]),
                         static_cast<short>(table[alpha[5]]), static_cast<short>(table[alpha[4]]),
                         static_cast<short>(table[alpha[3]]), static_cast<short>(table[alpha[2]]),
                         static_cast<short>(table[alpha[1]]), static_cast<short>(table[alpha[0]]));
}

// (c x K) >> 24 in 16-bit lanes, K split into high and low halves: c x K is
// (c x high + the high half of c x low) x 2^16 plus a remainder below 2^16,
// so shifting that first sum right by 8 gives the same value, and the sum
// stays below 2^16 for c up to 255.
inline __m128i s_scale8(__m128i c, __m128i high, __m128i low)
{
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(c, high), _mm_mulhi_epu16(c, low)), 8);
}

// Eight pixels of any blend, with the steps of PixelBlender::blend in 16-bit
// lanes. mask null: every alpha is 255; otherwise lanes of alpha 0 keep the
// screen pixel.
template <int OP, typename Format>
inline void s_general8(uint16_t *d, const uint16_t *s, const uint8_t *m, const Format &f)
{
    static const uint8_t kOpaque[8] = {255, 255, 255, 255, 255, 255, 255, 255};
    const uint8_t *alpha = m ? m : kOpaque;
    const __m128i zero = _mm_setzero_si128();
    const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s));
    const __m128i dst = _mm_loadu_si128(reinterpret_cast<const __m128i *>(d));
    const __m128i sh = s_gather8(g_blend.srcMulHigh, alpha);
    const __m128i sl = s_gather8(g_blend.srcMulLow, alpha);
    const __m128i dh = s_gather8(g_blend.dstMulHigh, alpha);
    const __m128i dl = s_gather8(g_blend.dstMulLow, alpha);
    __m128i out = zero;
    for (int ch = 0; ch < 3; ++ch) {
        const __m128i count = _mm_cvtsi32_si128(static_cast<int>(f.shift(ch)));
        const __m128i max = _mm_set1_epi16(static_cast<short>(f.max(ch)));
        const __m128i x = s_scale8(_mm_and_si128(_mm_srl_epi16(src, count), max), sh, sl);
        const __m128i y = s_scale8(_mm_and_si128(_mm_srl_epi16(dst, count), max), dh, dl);
        __m128i r;
        if (OP == 0) {
            r = _mm_add_epi16(x, y);
        } else if (OP == 1) {
            const __m128i p = _mm_mullo_epi16(x, y);
            r = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(p, _mm_set1_epi16(1)), _mm_srli_epi16(p, 8)), 8);
        } else if (OP == 2) {
            r = _mm_max_epi16(_mm_sub_epi16(x, y), zero);
        } else {
            r = _mm_max_epi16(_mm_sub_epi16(y, x), zero);
        }
        r = _mm_min_epi16(r, max);
        out = _mm_or_si128(out, _mm_sll_epi16(r, count));
    }
    if (m) {
        const __m128i a = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(m)), zero);
        const __m128i clear = _mm_cmpeq_epi16(a, zero);
        out = _mm_or_si128(_mm_and_si128(clear, dst), _mm_andnot_si128(clear, out));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i *>(d), out);
}
#endif

template <int OP, typename Format>
void s_blendRowMasked(uint16_t *d, const uint16_t *s, const uint8_t *m, int32_t n, int fast)
{
    const PixelBlender<Format> b;
    int32_t i = 0;
    if (fast == kBlendFastAlphaTest) {
        for (; i < n; ++i)
            if (m[i] >= 128)
                d[i] = s[i];
        return;
    }
    if (fast == kBlendFastStandard) {
        for (; i + 8 <= n; i += 8) {
            const uint64_t v = s_load8(m + i);
            if (v == ~uint64_t(0))
                memcpy(d + i, s + i, 8 * sizeof(uint16_t));
            else if (v != 0)
                // Edges of soft shapes: all eight pixels are blended and the
                // end values picked by selection rather than by branches,
                // which would mispredict along every edge.
#if defined(__SSE2__)
                s_standard8(d + i, s + i, m + i, b.f);
#else
                for (int32_t k = i; k < i + 8; ++k) {
                    const uint32_t a = m[k];
                    const uint16_t blended = b.standard(s[k], d[k], a);
                    const uint16_t keep = a == 0 ? d[k] : blended;
                    d[k] = a == 255 ? s[k] : keep;
                }
#endif
        }
        for (; i < n; ++i) {
            const uint8_t a = m[i];
            if (a == 255)
                d[i] = s[i];
            else if (a != 0)
                d[i] = b.standard(s[i], d[i], a);
        }
        return;
    }
    for (; i + 8 <= n; i += 8) {
        if (s_load8(m + i) == 0)
            continue;
        // Pixels of alpha 0 keep the screen by selection, not by a branch
        // that would mispredict along every edge of the mask.
#if defined(__SSE2__)
        s_general8<OP>(d + i, s + i, m + i, b.f);
#else
        for (int32_t k = i; k < i + 8; ++k) {
            const uint32_t a = m[k];
            const uint16_t blended = b.template blend<OP>(s[k], d[k], a);
            d[k] = a == 0 ? d[k] : blended;
        }
#endif
    }
    for (; i < n; ++i) {
        const uint8_t a = m[i];
        if (a != 0)
            d[i] = b.template blend<OP>(s[i], d[i], a);
    }
}

template <int OP, typename Format>
void s_blendRowOpaque(uint16_t *d, const uint16_t *s, int32_t n)
{
    const PixelBlender<Format> b;
    int32_t i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= n; i += 8)
        s_general8<OP>(d + i, s + i, nullptr, b.f);
#endif
    for (; i < n; ++i)
        d[i] = b.template blend<OP>(s[i], d[i], 255);
}

template <int OP, typename Format>
void s_blendRow(uint16_t *dst, const uint16_t *src, const uint8_t *mask, int32_t count)
{
    if (mask)
        s_blendRowMasked<OP, Format>(dst, src, mask, count, g_blend.fastPath);
    else
        s_blendRowOpaque<OP, Format>(dst, src, count);
}

template <typename Format>
void s_blendRowFormat(uint16_t *dst, const uint16_t *src, const uint8_t *mask, int32_t count)
{
    switch (g_blend.mode.op) {
    case 0: s_blendRow<0, Format>(dst, src, mask, count); break;
    case 1: s_blendRow<1, Format>(dst, src, mask, count); break;
    case 2: s_blendRow<2, Format>(dst, src, mask, count); break;
    case 3: s_blendRow<3, Format>(dst, src, mask, count); break;
    default:
        // Every blended pixel of an unknown op becomes black.
        warningPrint("sm_blendPixels16: invalid blend op");
        for (int32_t i = 0; i < count; ++i)
            if (!mask || mask[i] != 0)
                dst[i] = 0;
        break;
    }
}

} // namespace

void blendRow(uint16_t *dst, const uint16_t *src, const uint8_t *mask, int32_t count)
{
    if (isFormat565())
        s_blendRowFormat<Format565>(dst, src, mask, count);
    else
        s_blendRowFormat<FormatAny>(dst, src, mask, count);
}

void copyRowMasked(uint16_t *d, const uint16_t *s, const uint8_t *m, int32_t n)
{
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const uint64_t v = s_load8(m + i);
        if (v == ~uint64_t(0))
            memcpy(d + i, s + i, 8 * sizeof(uint16_t));
        else if (v != 0)
#if defined(__SSE2__)
            s_copyOpaque8(d + i, s + i, m + i);
#else
            for (int32_t k = i; k < i + 8; ++k)
                if (m[k] == 255)
                    d[k] = s[k];
#endif
    }
    for (; i < n; ++i)
        if (m[i] == 255)
            d[i] = s[i];
}

} // namespace h2d_blender

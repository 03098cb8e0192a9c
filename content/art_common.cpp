#include "content/art_common.h"

#include <algorithm>
#include <cairo-ft.h>
#include <cmath>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace content {
namespace art {

const char *fontPath(Font font)
{
    switch (font) {
    case Font::SerifBold: return "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";
    case Font::Sans: return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    case Font::SansBold: return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    case Font::Cjk: return "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
    case Font::Serif: return "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";
    case Font::MonoBold: return "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
    }
    return "";
}

namespace {

constexpr int kFontCount = static_cast<int>(Font::MonoBold) + 1;

// Faces live as long as the process: the kit is a short-lived generator and
// cairo keeps its own references to them anyway.
struct FontCache
{
    FT_Library library = nullptr;
    cairo_font_face_t *faces[kFontCount] = {};
    bool tried[kFontCount] = {};
};

FontCache &fontCache()
{
    static FontCache cache;
    return cache;
}

uint32_t hashInts(uint32_t a, uint32_t b, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B1u ^ a * 0x85EBCA77u ^ b * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

} // namespace

cairo_font_face_t *fontFace(Font font)
{
    FontCache &cache = fontCache();
    int i = static_cast<int>(font);
    if (cache.tried[i])
        return cache.faces[i];
    cache.tried[i] = true;
    if (!cache.library && FT_Init_FreeType(&cache.library) != 0) {
        cache.library = nullptr;
        return nullptr;
    }
    FT_Face ftFace = nullptr;
    if (FT_New_Face(cache.library, fontPath(font), 0, &ftFace) != 0)
        return nullptr;
    cache.faces[i] = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
    return cache.faces[i];
}

void setFont(cairo_t *cr, Font font, double size, Hinting hinting)
{
    cairo_font_face_t *face = fontFace(font);
    if (face)
        cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, size);
    cairo_font_options_t *options = cairo_font_options_create();
    if (hinting == Hinting::On) {
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    } else {
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    }
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

Rgb mix(const Rgb &a, const Rgb &b, double t)
{
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(const Rgb &c, double k)
{
    return Rgb{std::min(1.0, c.r * k), std::min(1.0, c.g * k), std::min(1.0, c.b * k)};
}

void setColour(cairo_t *cr, const Rgb &c, double alpha)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

Canvas::Canvas(int width, int height)
    : m_width(width), m_height(height),
      m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      m_cr(cairo_create(m_surface))
{
}

Canvas::~Canvas()
{
    cairo_destroy(m_cr);
    cairo_surface_destroy(m_surface);
}

Picture Canvas::picture() const
{
    cairo_surface_flush(m_surface);
    return fromCairo(m_surface);
}

void roundedRect(cairo_t *cr, double x, double y, double w, double h, double r)
{
    r = std::min(r, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void textInkSize(cairo_t *cr, Font font, double size, const char *utf8, double *w, double *h)
{
    cairo_save(cr);
    setFont(cr, font, size, Hinting::Off);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, utf8, &ext);
    cairo_restore(cr);
    *w = ext.width;
    *h = ext.height;
}

void textPathCentred(cairo_t *cr, Font font, double size, const char *utf8, double cx, double cy)
{
    setFont(cr, font, size, Hinting::Off);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, utf8, &ext);
    cairo_move_to(cr, cx - ext.x_bearing - ext.width / 2, cy - ext.y_bearing - ext.height / 2);
    cairo_text_path(cr, utf8);
}

void drawTextCentred(cairo_t *cr, Font font, double size, const char *utf8, double cx, double cy,
                     double embolden)
{
    cairo_new_path(cr);
    textPathCentred(cr, font, size, utf8, cx, cy);
    if (embolden > 0) {
        cairo_set_line_width(cr, embolden);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_fill_preserve(cr);
        cairo_stroke(cr);
    } else {
        cairo_fill(cr);
    }
}

void drawTextOnCapLine(cairo_t *cr, Font font, double size, const char *utf8, double cx, double cy)
{
    setFont(cr, font, size, Hinting::Off);
    cairo_text_extents_t cap, ext;
    cairo_text_extents(cr, "H", &cap);
    cairo_text_extents(cr, utf8, &ext);
    cairo_new_path(cr);
    cairo_move_to(cr, cx - ext.x_bearing - ext.width / 2, cy - cap.y_bearing - cap.height / 2);
    cairo_text_path(cr, utf8);
    cairo_fill(cr);
}

double hash01(uint32_t a, uint32_t b, uint32_t seed)
{
    return hashInts(a, b, seed) / 4294967295.0;
}

double valueNoise(double x, double y, uint32_t seed)
{
    double fx = std::floor(x), fy = std::floor(y);
    auto ix = static_cast<uint32_t>(static_cast<int64_t>(fx));
    auto iy = static_cast<uint32_t>(static_cast<int64_t>(fy));
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    double a = hash01(ix, iy, seed), b = hash01(ix + 1, iy, seed);
    double c = hash01(ix, iy + 1, seed), d = hash01(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double fractalNoise(double x, double y, uint32_t seed, int octaves)
{
    double sum = 0, amplitude = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += valueNoise(x, y, seed + 977u * o) * amplitude;
        total += amplitude;
        amplitude *= 0.5;
        x *= 2.03;
        y *= 2.03;
    }
    return sum / total;
}

void makeBinaryAlpha(Picture &picture)
{
    for (uint32_t &p : picture.argb) {
        if ((p >> 24) >= 128)
            p |= 0xff000000u;
        else
            p = 0;
    }
}

cairo_surface_t *toSurface(const Picture &picture)
{
    cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.width, picture.height);
    cairo_surface_flush(s);
    unsigned char *data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < picture.height; ++y) {
        auto *row = reinterpret_cast<uint32_t *>(data + size_t(y) * stride);
        for (int x = 0; x < picture.width; ++x) {
            uint32_t p = picture.at(x, y);
            uint32_t a = p >> 24;
            auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
            row[x] = a << 24 | pre((p >> 16) & 0xff) << 16 | pre((p >> 8) & 0xff) << 8 | pre(p & 0xff);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

void addTga(Entries &out, const char *name, const Picture &picture)
{
    out.push_back(Entry{name, encodeTGA(picture, true)});
}

void addJpeg(Entries &out, const char *name, const Picture &picture)
{
    out.push_back(Entry{name, encodeJPEG(picture, 92)});
}

} // namespace art
} // namespace content

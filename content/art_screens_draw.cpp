#include "content/art_screens_draw.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace content {
namespace screenart {

const Rgb kJadeDark{0x0f / 255.0, 0x3b / 255.0, 0x36 / 255.0};
const Rgb kJade{0x1d / 255.0, 0x5a / 255.0, 0x50 / 255.0};
const Rgb kJadeLight{0x2f / 255.0, 0x80 / 255.0, 0x70 / 255.0};
const Rgb kGold{0xd8 / 255.0, 0xb4 / 255.0, 0x5a / 255.0};
const Rgb kGoldDark{0x9c / 255.0, 0x7a / 255.0, 0x2e / 255.0};
const Rgb kGoldLight{0xf6 / 255.0, 0xe3 / 255.0, 0xa4 / 255.0};
const Rgb kIvory{0xf4 / 255.0, 0xec / 255.0, 0xd6 / 255.0};
const Rgb kCinnabar{0xb5 / 255.0, 0x33 / 255.0, 0x2b / 255.0};
const Rgb kInk{0x1a / 255.0, 0x1a / 255.0, 0x1a / 255.0};

void setColor(cairo_t *cr, const Rgb &c, double alpha)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

Rgb mix(const Rgb &a, const Rgb &b, double t)
{
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

namespace {

const char *const kFontPaths[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
    "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc",
};
constexpr int kFaceCount = sizeof(kFontPaths) / sizeof(kFontPaths[0]);

// Faces live for the whole run of the generator; they are loaded on first use.
cairo_font_face_t *fontFace(Face face)
{
    static FT_Library library = nullptr;
    static cairo_font_face_t *faces[kFaceCount] = {};
    int index = static_cast<int>(face);
    if (faces[index])
        return faces[index];
    if (!library && FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "content: FreeType did not start\n");
        std::abort();
    }
    FT_Face ftFace = nullptr;
    if (FT_New_Face(library, kFontPaths[index], 0, &ftFace) != 0) {
        std::fprintf(stderr, "content: cannot load font '%s'\n", kFontPaths[index]);
        std::abort();
    }
    faces[index] = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
    return faces[index];
}

uint32_t nextRandom(uint32_t &state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

} // namespace

void setFont(cairo_t *cr, Face face, double size)
{
    cairo_set_font_face(cr, fontFace(face));
    cairo_set_font_size(cr, size);
    cairo_font_options_t *options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

double textWidth(cairo_t *cr, const std::string &text)
{
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    return e.x_advance;
}

static double alignedX(cairo_t *cr, const std::string &text, double x, Align align)
{
    double w = textWidth(cr, text);
    if (align == Align::Centre)
        return std::round(x - w / 2);
    if (align == Align::Right)
        return std::round(x - w);
    return x;
}

void drawShadowedText(cairo_t *cr, const std::string &text, double x, double y, Align align,
                      const Rgb &color)
{
    double left = alignedX(cr, text, x, align);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_move_to(cr, left + 1, y + 1);
    cairo_show_text(cr, text.c_str());
    setColor(cr, color);
    cairo_move_to(cr, left, y);
    cairo_show_text(cr, text.c_str());
}

void drawGoldTitle(cairo_t *cr, const std::string &text, double x, double y, Align align, double size,
                   Face face)
{
    setFont(cr, face, size);
    double left = alignedX(cr, text, x, align);
    cairo_save(cr);
    // Soft drop shadow, then a dark outline under a gold gradient fill.
    cairo_new_path(cr);
    cairo_move_to(cr, left + size * 0.06, y + size * 0.08);
    cairo_text_path(cr, text.c_str());
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_set_line_width(cr, size * 0.12);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    cairo_fill(cr);

    cairo_new_path(cr);
    cairo_move_to(cr, left, y);
    cairo_text_path(cr, text.c_str());
    cairo_set_source_rgba(cr, 0.16, 0.10, 0.03, 0.9);
    cairo_set_line_width(cr, std::max(1.5, size * 0.08));
    cairo_stroke_preserve(cr);
    cairo_pattern_t *g = cairo_pattern_create_linear(0, y - size * 0.75, 0, y + size * 0.05);
    cairo_pattern_add_color_stop_rgb(g, 0.0, kGoldLight.r, kGoldLight.g, kGoldLight.b);
    cairo_pattern_add_color_stop_rgb(g, 0.45, kGold.r, kGold.g, kGold.b);
    cairo_pattern_add_color_stop_rgb(g, 0.55, kGoldDark.r, kGoldDark.g, kGoldDark.b);
    cairo_pattern_add_color_stop_rgb(g, 1.0, kGold.r, kGold.g, kGold.b);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
}

double fitFontSize(cairo_t *cr, Face face, const std::string &text, double size, double maxWidth)
{
    while (size > 6) {
        setFont(cr, face, size);
        if (textWidth(cr, text) <= maxWidth)
            break;
        size -= 0.5;
    }
    setFont(cr, face, size);
    return size;
}

// Word-wrapped text from (x, y) as baseline, within width; returns the
// baseline after the last line.
double drawParagraph(cairo_t *cr, const std::string &text, double x, double y, double width, double lineHeight,
                     const Rgb &color, Align align)
{
    std::string line;
    size_t pos = 0;
    auto flush = [&]() {
        double ax = align == Align::Centre ? x + width / 2 : (align == Align::Right ? x + width : x);
        drawShadowedText(cr, line, ax, y, align, color);
        y += lineHeight;
        line.clear();
    };
    while (pos < text.size()) {
        size_t end = text.find(' ', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string word = text.substr(pos, end - pos);
        std::string trial = line.empty() ? word : line + " " + word;
        if (!line.empty() && textWidth(cr, trial) > width)
            flush(), line = word;
        else
            line = trial;
        pos = end + 1;
    }
    if (!line.empty())
        flush();
    return y;
}

void roundedRect(cairo_t *cr, double x, double y, double w, double h, double r)
{
    r = std::min(r, std::min(w, h) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 1.5 * kPi);
    cairo_close_path(cr);
}

Canvas::Canvas(int width, int height)
    : m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      m_cr(cairo_create(m_surface)),
      m_width(width),
      m_height(height)
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

void fillLacquer(cairo_t *cr, double x, double y, double w, double h, uint32_t seed, double brightness)
{
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);

    Rgb top = mix(kJadeDark, kJade, 0.95 * brightness);
    Rgb bottom = mix(kJadeDark, Rgb{0.03, 0.14, 0.13}, 0.6);
    cairo_pattern_t *g = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(g, 0.0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(g, 0.55, kJadeDark.r, kJadeDark.g, kJadeDark.b);
    cairo_pattern_add_color_stop_rgb(g, 1.0, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, g);
    cairo_paint(cr);

    // Wave scales: rows of discs, each laid over the row above and ringed
    // with a faintly lighter jade, so only their upper arcs show.
    const double radius = 16;
    cairo_set_line_width(cr, 1.0);
    int row = 0;
    for (double cy = y; cy < y + h + radius; cy += radius * 0.5, ++row) {
        double offset = (row % 2) ? radius : 0;
        for (double cx = x - offset; cx < x + w + radius; cx += radius * 2) {
            cairo_new_path(cr);
            cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
            cairo_set_source(cr, g);
            cairo_fill(cr);
            for (int ring = 0; ring < 3; ++ring) {
                cairo_new_path(cr);
                cairo_arc(cr, cx, cy, radius * (1.0 - ring * 0.3) - 0.5, kPi, 2 * kPi);
                cairo_set_source_rgba(cr, kJadeLight.r, kJadeLight.g, kJadeLight.b, 0.16);
                cairo_stroke(cr);
            }
        }
    }
    cairo_pattern_destroy(g);

    // A soft glow from the upper middle, as if lit from above.
    cairo_pattern_t *rg = cairo_pattern_create_radial(x + w * 0.5, y + h * 0.25, 0, x + w * 0.5, y + h * 0.25,
                                                      std::max(w, h) * 0.75);
    cairo_pattern_add_color_stop_rgba(rg, 0.0, kJadeLight.r, kJadeLight.g, kJadeLight.b, 0.28 * brightness);
    cairo_pattern_add_color_stop_rgba(rg, 1.0, kJadeLight.r, kJadeLight.g, kJadeLight.b, 0.0);
    cairo_set_source(cr, rg);
    cairo_paint(cr);
    cairo_pattern_destroy(rg);
    cairo_restore(cr);

    // Fine grain, applied to the pixels so it is the same on every run.
    cairo_surface_t *target = cairo_get_target(cr);
    cairo_surface_flush(target);
    unsigned char *data = cairo_image_surface_get_data(target);
    int stride = cairo_image_surface_get_stride(target);
    int sw = cairo_image_surface_get_width(target);
    int sh = cairo_image_surface_get_height(target);
    uint32_t state = seed * 2654435761u + 12345u;
    int x0 = std::max(0, int(x)), y0 = std::max(0, int(y));
    int x1 = std::min(sw, int(x + w)), y1 = std::min(sh, int(y + h));
    for (int py = y0; py < y1; ++py) {
        uint32_t *row32 = reinterpret_cast<uint32_t *>(data + size_t(py) * stride);
        for (int px = x0; px < x1; ++px) {
            int n = int(nextRandom(state) % 7) - 3;
            uint32_t p = row32[px];
            int a = p >> 24;
            if (a != 255)
                continue;
            int r = std::clamp(int((p >> 16) & 255) + n, 0, 255);
            int gg = std::clamp(int((p >> 8) & 255) + n, 0, 255);
            int b = std::clamp(int(p & 255) + n, 0, 255);
            row32[px] = 0xff000000u | (uint32_t(r) << 16) | (uint32_t(gg) << 8) | uint32_t(b);
        }
    }
    cairo_surface_mark_dirty(target);
}

static cairo_pattern_t *goldGradient(double y0, double y1)
{
    cairo_pattern_t *g = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgb(g, 0.0, kGoldLight.r, kGoldLight.g, kGoldLight.b);
    cairo_pattern_add_color_stop_rgb(g, 0.5, kGold.r, kGold.g, kGold.b);
    cairo_pattern_add_color_stop_rgb(g, 1.0, kGoldDark.r, kGoldDark.g, kGoldDark.b);
    return g;
}

void goldFrame(cairo_t *cr, double x, double y, double w, double h, double inset)
{
    cairo_save(cr);
    // Outer dark bevel, a bright gold rule, then a thin inner rule.
    cairo_set_line_width(cr, 3);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_rectangle(cr, x + inset + 1.5, y + inset + 1.5, w - 2 * inset - 1, h - 2 * inset - 1);
    cairo_stroke(cr);
    cairo_pattern_t *g = goldGradient(y, y + h);
    cairo_set_source(cr, g);
    cairo_set_line_width(cr, 2);
    cairo_rectangle(cr, x + inset + 1, y + inset + 1, w - 2 * inset - 2, h - 2 * inset - 2);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, x + inset + 5.5, y + inset + 5.5, w - 2 * inset - 11, h - 2 * inset - 11);
    cairo_stroke(cr);
    // Corner ornaments: small gold squares set on the diagonal.
    double cxs[2] = {x + inset + 1, x + w - inset - 1};
    double cys[2] = {y + inset + 1, y + h - inset - 1};
    for (double cx : cxs) {
        for (double cy : cys) {
            cairo_new_path(cr);
            cairo_move_to(cr, cx, cy - 6);
            cairo_line_to(cr, cx + 6, cy);
            cairo_line_to(cr, cx, cy + 6);
            cairo_line_to(cr, cx - 6, cy);
            cairo_close_path(cr);
            cairo_set_source(cr, g);
            cairo_fill_preserve(cr);
            cairo_set_source_rgba(cr, 0.2, 0.13, 0.03, 0.8);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
            setColor(cr, kCinnabar);
            cairo_arc(cr, cx, cy, 1.8, 0, 2 * kPi);
            cairo_fill(cr);
        }
    }
    cairo_pattern_destroy(g);
    cairo_restore(cr);
}

void goldRule(cairo_t *cr, double x0, double x1, double y)
{
    cairo_save(cr);
    cairo_pattern_t *g = cairo_pattern_create_linear(x0, 0, x1, 0);
    cairo_pattern_add_color_stop_rgba(g, 0.0, kGold.r, kGold.g, kGold.b, 0.0);
    cairo_pattern_add_color_stop_rgba(g, 0.2, kGold.r, kGold.g, kGold.b, 1.0);
    cairo_pattern_add_color_stop_rgba(g, 0.8, kGold.r, kGold.g, kGold.b, 1.0);
    cairo_pattern_add_color_stop_rgba(g, 1.0, kGold.r, kGold.g, kGold.b, 0.0);
    cairo_set_source(cr, g);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, x0, y - 2.5);
    cairo_line_to(cr, x1, y - 2.5);
    cairo_move_to(cr, x0, y + 2.5);
    cairo_line_to(cr, x1, y + 2.5);
    cairo_stroke(cr);
    cairo_pattern_destroy(g);
    // A diamond in the middle with a red heart.
    double cx = std::round((x0 + x1) / 2) + 0.5;
    cairo_new_path(cr);
    cairo_move_to(cr, cx, y - 5);
    cairo_line_to(cr, cx + 5, y);
    cairo_line_to(cr, cx, y + 5);
    cairo_line_to(cr, cx - 5, y);
    cairo_close_path(cr);
    setColor(cr, kGold);
    cairo_fill(cr);
    setColor(cr, kCinnabar);
    cairo_arc(cr, cx, y, 1.7, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_restore(cr);
}

void insetField(cairo_t *cr, double x, double y, double w, double h, double r)
{
    cairo_save(cr);
    roundedRect(cr, x, y, w, h, r);
    cairo_set_source_rgba(cr, 0.02, 0.07, 0.07, 0.92);
    cairo_fill(cr);
    // Shadow along the top inside edge, light along the bottom outside edge.
    roundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, r);
    cairo_pattern_t *g = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgba(g, 0.0, 0, 0, 0, 0.9);
    cairo_pattern_add_color_stop_rgba(g, 1.0, kGold.r, kGold.g, kGold.b, 0.75);
    cairo_set_source(cr, g);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
}

void drawPlate(cairo_t *cr, double x, double y, double w, double h, const std::string &label, bool lit,
               const PlateStyle &style)
{
    cairo_save(cr);
    double r = style.radius;
    if (lit) {
        // Soft glow: rings of fading gold in the margin around the rim,
        // rounded like the plate so nothing is cut square at the picture edge.
        for (int k = 1; k <= style.glow; ++k) {
            roundedRect(cr, x - k + 0.5, y - k + 0.5, w + 2 * k - 1, h + 2 * k - 1, r + k - 0.5);
            cairo_set_source_rgba(cr, 1.0, 0.86, 0.45, 0.55 * (style.glow - k + 1) / (style.glow + 1));
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
        }
    } else {
        // A faint drop shadow under the plate.
        roundedRect(cr, x + 0.5, y + 1.5, w - 1, h - 1, r);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
        cairo_fill(cr);
    }
    // Gold rim.
    roundedRect(cr, x, y, w, h, r);
    cairo_pattern_t *rim = goldGradient(y, y + h);
    cairo_set_source(cr, rim);
    cairo_fill(cr);
    cairo_pattern_destroy(rim);
    // Body.
    Rgb topC, botC;
    if (style.cinnabar) {
        topC = lit ? Rgb{0.86, 0.36, 0.28} : Rgb{0.72, 0.24, 0.19};
        botC = lit ? Rgb{0.58, 0.16, 0.12} : Rgb{0.42, 0.09, 0.08};
    } else {
        topC = lit ? Rgb{0.26, 0.62, 0.53} : Rgb{0.16, 0.45, 0.39};
        botC = lit ? Rgb{0.09, 0.36, 0.31} : Rgb{0.04, 0.20, 0.18};
    }
    double b = 2.0;
    roundedRect(cr, x + b, y + b, w - 2 * b, h - 2 * b, std::max(1.0, r - b));
    cairo_pattern_t *body = cairo_pattern_create_linear(0, y + b, 0, y + h - b);
    cairo_pattern_add_color_stop_rgb(body, 0.0, topC.r, topC.g, topC.b);
    cairo_pattern_add_color_stop_rgb(body, 1.0, botC.r, botC.g, botC.b);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    // Inner dark line and a gloss band over the upper half.
    roundedRect(cr, x + b + 0.5, y + b + 0.5, w - 2 * b - 1, h - 2 * b - 1, std::max(1.0, r - b));
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    roundedRect(cr, x + b + 1, y + b + 1, w - 2 * b - 2, (h - 2 * b) * 0.45, std::max(1.0, r - b - 1));
    cairo_pattern_t *gloss = cairo_pattern_create_linear(0, y + b, 0, y + b + (h - 2 * b) * 0.45);
    cairo_pattern_add_color_stop_rgba(gloss, 0.0, 1, 1, 1, lit ? 0.22 : 0.14);
    cairo_pattern_add_color_stop_rgba(gloss, 1.0, 1, 1, 1, 0.02);
    cairo_set_source(cr, gloss);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);

    if (!label.empty()) {
        fitFontSize(cr, style.face, label, style.fontSize, w - 2 * b - 8);
        // Capitals centred on the plate, whatever descenders the label has.
        cairo_text_extents_t cap;
        cairo_text_extents(cr, "H", &cap);
        double baseline = std::round(y + h / 2 - cap.y_bearing / 2);
        Rgb text = lit ? Rgb{1.0, 0.97, 0.86} : kIvory;
        drawShadowedText(cr, label, x + w / 2, baseline, Align::Centre, text);
    }
    cairo_restore(cr);
}

Picture platePicture(int w, int h, const std::string &label, bool lit, int margin, const PlateStyle &style)
{
    Canvas c(w, h);
    PlateStyle inMargin = style;
    inMargin.glow = margin;
    drawPlate(c.cr(), margin, margin, w - 2 * margin, h - 2 * margin, label, lit, inMargin);
    return c.picture();
}

void drawDecorTile(cairo_t *cr, double x, double y, double w, double h, const std::string &glyph,
                   const Rgb &glyphColor, Face face)
{
    cairo_save(cr);
    double side = std::max(3.0, w * 0.13);
    double r = w * 0.12;
    // Shadow.
    roundedRect(cr, x + side * 0.4, y + side * 0.9, w, h, r);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_fill(cr);
    // Jade back and the ivory body seen from the left and below.
    roundedRect(cr, x - side, y + side, w, h, r);
    setColor(cr, Rgb{0.10, 0.42, 0.36});
    cairo_fill(cr);
    roundedRect(cr, x - side * 0.5, y + side * 0.5, w, h, r);
    setColor(cr, Rgb{0.86, 0.81, 0.68});
    cairo_fill(cr);
    // Face.
    roundedRect(cr, x, y, w, h, r);
    cairo_pattern_t *g = cairo_pattern_create_linear(x, y, x + w, y + h);
    cairo_pattern_add_color_stop_rgb(g, 0.0, 0.99, 0.97, 0.90);
    cairo_pattern_add_color_stop_rgb(g, 1.0, kIvory.r * 0.93, kIvory.g * 0.92, kIvory.b * 0.88);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    cairo_set_source_rgba(cr, 0.45, 0.38, 0.25, 0.7);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    if (!glyph.empty()) {
        setFont(cr, face, h * 0.62);
        cairo_text_extents_t e;
        cairo_text_extents(cr, glyph.c_str(), &e);
        double gx = x + w / 2 - (e.x_bearing + e.width / 2);
        double gy = y + h / 2 - (e.y_bearing + e.height / 2);
        setColor(cr, glyphColor);
        cairo_move_to(cr, gx, gy);
        cairo_show_text(cr, glyph.c_str());
    }
    cairo_restore(cr);
}

void paintOver(Picture &dst, const Picture &src, int ox, int oy)
{
    for (int y = 0; y < src.height; ++y) {
        for (int x = 0; x < src.width; ++x) {
            uint32_t s = src.at(x, y);
            uint32_t a = s >> 24;
            uint32_t &d = dst.at(ox + x, oy + y);
            auto ch = [&](int shift) {
                uint32_t sc = (s >> shift) & 255, dc = (d >> shift) & 255;
                return ((sc * a + dc * (255 - a) + 127) / 255) << shift;
            };
            d = 0xff000000u | ch(16) | ch(8) | ch(0);
        }
    }
}

void addTga(Entries &out, const char *name, const Picture &picture)
{
    out.push_back(Entry{name, encodeTGA(picture, true)});
}

void addJpeg(Entries &out, const char *name, const Picture &picture)
{
    out.push_back(Entry{name, encodeJPEG(picture, 92)});
}

} // namespace screenart
} // namespace content

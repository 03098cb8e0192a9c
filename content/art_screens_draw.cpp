#include "content/art_screens_draw.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace content {
namespace screenart {

const Rgb kJadeDark = art::hex(0x0f3b36);
const Rgb kJade = art::hex(0x1d5a50);
const Rgb kJadeLight = art::hex(0x2f8070);
const Rgb kGold = art::hex(0xd8b45a);
const Rgb kGoldDark = art::hex(0x9c7a2e);
const Rgb kGoldLight = art::hex(0xf6e3a4);
const Rgb kIvory = art::hex(0xf4ecd6);
const Rgb kCinnabar = art::hex(0xb5332b);
const Rgb kInk = art::hex(0x1a1a1a);

namespace {

uint32_t nextRandom(uint32_t &state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

} // namespace

void setFont(cairo_t *cr, Face face, double size)
{
    if (!art::fontFace(face)) {
        std::fprintf(stderr, "content: cannot load font '%s'\n", art::fontPath(face));
        std::abort();
    }
    art::setFont(cr, face, size, art::Hinting::On);
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
    setColour(cr, color);
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
    fillWith(cr, verticalGradient(y - size * 0.75, y + size * 0.05,
                                  {{0.0, kGoldLight}, {0.45, kGold}, {0.55, kGoldDark}, {1.0, kGold}}));
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

void fillLacquer(cairo_t *cr, double x, double y, double w, double h, uint32_t seed, double brightness)
{
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);

    Rgb top = mix(kJadeDark, kJade, 0.95 * brightness);
    Rgb bottom = mix(kJadeDark, Rgb{0.03, 0.14, 0.13}, 0.6);
    cairo_pattern_t *g = verticalGradient(y, y + h, {{0.0, top}, {0.55, kJadeDark}, {1.0, bottom}});
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

cairo_pattern_t *verticalGradient(double y0, double y1, std::initializer_list<Stop> stops)
{
    cairo_pattern_t *g = cairo_pattern_create_linear(0, y0, 0, y1);
    for (const Stop &s : stops)
        cairo_pattern_add_color_stop_rgb(g, s.offset, s.colour.r, s.colour.g, s.colour.b);
    return g;
}

cairo_pattern_t *goldGradient(double y0, double y1, double middle)
{
    return verticalGradient(y0, y1, {{0.0, kGoldLight}, {middle, kGold}, {1.0, kGoldDark}});
}

void fillWith(cairo_t *cr, cairo_pattern_t *pattern)
{
    cairo_set_source(cr, pattern);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

void diamondPath(cairo_t *cr, double cx, double cy, double r)
{
    cairo_new_path(cr);
    cairo_move_to(cr, cx, cy - r);
    cairo_line_to(cr, cx + r, cy);
    cairo_line_to(cr, cx, cy + r);
    cairo_line_to(cr, cx - r, cy);
    cairo_close_path(cr);
}

void hairline(cairo_t *cr, double x0, double x1, double y, const Rgb &colour)
{
    cairo_move_to(cr, x0, y);
    cairo_line_to(cr, x1, y);
    setColour(cr, colour);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
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
            diamondPath(cr, cx, cy, 6);
            cairo_set_source(cr, g);
            cairo_fill_preserve(cr);
            cairo_set_source_rgba(cr, 0.2, 0.13, 0.03, 0.8);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
            setColour(cr, kCinnabar);
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
    diamondPath(cr, cx, y, 5);
    setColour(cr, kGold);
    cairo_fill(cr);
    setColour(cr, kCinnabar);
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
    fillWith(cr, goldGradient(y, y + h));
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
    fillWith(cr, verticalGradient(y + b, y + h - b, {{0.0, topC}, {1.0, botC}}));
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

void addPlatePair(Entries &out, const char *normal, const char *lit, int w, int h, const std::string &label,
                  int margin, const PlateStyle &style)
{
    addTga(out, normal, platePicture(w, h, label, false, margin, style));
    addTga(out, lit, platePicture(w, h, label, true, margin, style));
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
    setColour(cr, Rgb{0.10, 0.42, 0.36});
    cairo_fill(cr);
    roundedRect(cr, x - side * 0.5, y + side * 0.5, w, h, r);
    setColour(cr, Rgb{0.86, 0.81, 0.68});
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
        setColour(cr, glyphColor);
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

} // namespace screenart
} // namespace content

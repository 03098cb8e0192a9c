// The 8 x 12 bitmap font of the dialogs and the digit glyphs of the HUD.
#include "content/art_screens_draw.h"
#include "content/art_screens_parts.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace content {
namespace screenart {

namespace {

constexpr int kCellW = tmscreen::kFontCellWidth, kCellH = tmscreen::kFontCellHeight;
constexpr int kBaseline = 9;  // pixel rows 0-8 above the baseline, 9-11 for descenders

// Glyph colour (the image's colour is the text colour on screen) and the
// colour of the one-pixel shadow that keeps it readable on lighter spots.
constexpr uint32_t kGlyphRgb = 0xf6eedaU;
constexpr uint32_t kShadowRgb = 0x061412U;

// Renders one character as an 8-bit coverage mask of one cell.
std::vector<uint8_t> glyphCoverage(cairo_t *scratch, cairo_surface_t *surface, char ch)
{
    cairo_save(scratch);
    cairo_set_operator(scratch, CAIRO_OPERATOR_CLEAR);
    cairo_paint(scratch);
    cairo_restore(scratch);

    char text[2] = {ch, 0};
    setFont(scratch, Face::MonoBold, 11);
    cairo_font_options_t *options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(scratch, options);
    cairo_font_options_destroy(options);

    // Centre the inked columns in the first seven columns of the cell,
    // leaving the eighth for the shadow.
    cairo_text_extents_t e;
    cairo_text_extents(scratch, text, &e);
    double left = std::round((7.0 - e.width) / 2 - e.x_bearing);
    cairo_set_source_rgba(scratch, 1, 1, 1, 1);
    cairo_move_to(scratch, left + 4, kBaseline + 4);  // 4-pixel margin on the scratch surface
    cairo_show_text(scratch, text);
    cairo_surface_flush(surface);

    std::vector<uint8_t> cov(kCellW * kCellH, 0);
    const unsigned char *data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < kCellH; ++y) {
        for (int x = 0; x < kCellW; ++x) {
            uint32_t p = reinterpret_cast<const uint32_t *>(data + size_t(y + 4) * stride)[x + 4];
            cov[y * kCellW + x] = uint8_t(p >> 24);
        }
    }
    return cov;
}

// Glyph over its own shadow, one pixel down and right, as straight ARGB.
void putGlyph(Picture &pic, int cellX, int cellY, const std::vector<uint8_t> &cov)
{
    for (int y = 0; y < kCellH; ++y) {
        for (int x = 0; x < kCellW; ++x) {
            double g = cov[y * kCellW + x] / 255.0;
            // Stems a little firmer: the hinted mono font is light at this size.
            g = std::min(1.0, g * 1.1);
            double s = (x > 0 && y > 0) ? cov[(y - 1) * kCellW + (x - 1)] / 255.0 : 0.0;
            s *= 0.85;
            double a = g + s * (1 - g);
            uint32_t out = 0;
            if (a > 0.0) {
                auto chan = [&](int shift) {
                    double gc = ((kGlyphRgb >> shift) & 255), sc = ((kShadowRgb >> shift) & 255);
                    double v = (gc * g + sc * s * (1 - g)) / a;
                    return uint32_t(std::lround(std::clamp(v, 0.0, 255.0))) << shift;
                };
                uint32_t alpha = uint32_t(std::lround(a * 255));
                out = (alpha << 24) | chan(16) | chan(8) | chan(0);
            }
            pic.at(cellX + x, cellY + y) = out;
        }
    }
}

// HUD glyphs: 12 x 18, ink of the digits in columns 2-10 and rows 2-15.
constexpr int kDigitW = 12, kDigitH = 18;

void digitPath(cairo_t *cr, char c)
{
    if (c == ':') {
        for (double cy : {7.0, 13.5}) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, 7.5, cy, 1.7, 0, 2 * kPi);
        }
        return;
    }
    if (c == ',') {
        // Drawn three rows lower than the digits: the dot sits on their
        // baseline (row 12 here) and the tail runs below.
        cairo_new_sub_path(cr);
        cairo_arc(cr, 6.5, 11.0, 1.8, 0, 2 * kPi);
        cairo_move_to(cr, 7.9, 11.2);
        cairo_curve_to(cr, 8.2, 13.2, 7.2, 14.6, 5.2, 15.6);
        cairo_line_to(cr, 4.9, 15.0);
        cairo_curve_to(cr, 6.0, 14.2, 6.5, 13.4, 6.3, 12.4);
        cairo_close_path(cr);
        return;
    }
    char text[2] = {c, 0};
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, 15.2, 19.0);
    cairo_set_font_matrix(cr, &m);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    double left = 2.0 + (9.0 - e.width) / 2 - e.x_bearing;
    cairo_move_to(cr, left, 16.0);
    cairo_text_path(cr, text);
}

} // namespace

Picture fontPicture()
{
    Picture pic(16 * kCellW, 7 * kCellH);
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kCellW + 8, kCellH + 8);
    cairo_t *cr = cairo_create(surface);
    for (int code = 33; code < 127; ++code) {
        int col = code % 16, row = code / 16 - 1;
        putGlyph(pic, col * kCellW, row * kCellH, glyphCoverage(cr, surface, char(code)));
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return pic;
}

Picture digitPicture(char c)
{
    Canvas canvas(kDigitW, kDigitH);
    cairo_t *cr = canvas.cr();
    setFont(cr, Face::SansBold, 19);
    digitPath(cr, c);
    cairo_set_source_rgba(cr, 0.02, 0.05, 0.05, 0.9);
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    const Rgb shaded{kIvory.r * 0.95, kIvory.g * 0.90, kIvory.b * 0.74};
    fillWith(cr, verticalGradient(2, 16, {{0, Rgb{1.0, 0.98, 0.92}}, {1, shaded}}));
    return canvas.picture();
}

void addFontAndDigits(Entries &out)
{
    addTga(out, "art/font.tga", fontPicture());
    static const char *const kDigitNames[] = {
        "art/font_number_0.tga", "art/font_number_1.tga", "art/font_number_2.tga", "art/font_number_3.tga",
        "art/font_number_4.tga", "art/font_number_5.tga", "art/font_number_6.tga", "art/font_number_7.tga",
        "art/font_number_8.tga", "art/font_number_9.tga",
    };
    for (int d = 0; d < 10; ++d)
        addTga(out, kDigitNames[d], digitPicture(char('0' + d)));
    addTga(out, "art/font_colon.tga", digitPicture(':'));
    addTga(out, "art/font_comma.tga", digitPicture(','));
}

} // namespace screenart
} // namespace content

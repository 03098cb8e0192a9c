// Drawing helpers shared by the kit's pictures: fonts loaded by path, colours,
// shapes, centred text, deterministic noise, the binary-alpha cut and adding
// pictures as entries.
#ifndef CONTENT_ART_COMMON_H
#define CONTENT_ART_COMMON_H

#include "content/ContentKit.h"
#include "content/Encoders.h"

#include <cairo.h>
#include <cstdint>

namespace content {
namespace art {

enum class Font
{
    SerifBold,  // DejaVu Serif Bold: titles and labels
    Sans,       // DejaVu Sans: body text
    SansBold,   // DejaVu Sans Bold
    Cjk,        // WenQuanYi Micro Hei: the Chinese glyphs of the tiles
    Serif,      // DejaVu Serif
    MonoBold    // DejaVu Sans Mono Bold
};

// The file a font is loaded from.
const char *fontPath(Font font);
// The face of a font file, loaded once through FreeType by its path so the
// output does not depend on fontconfig; null when the file is missing.
cairo_font_face_t *fontFace(Font font);

// Off keeps outlines exact (pictures drawn once at their final size); On
// lands small text on whole pixels.
enum class Hinting
{
    Off,
    On
};
// Selects a font at a pixel size (the size alone when the face is missing).
void setFont(cairo_t *cr, Font font, double size, Hinting hinting);

struct Rgb
{
    double r, g, b;
};

// 0xRRGGBB to a colour with channels 0..1.
constexpr Rgb hex(uint32_t rgb)
{
    return Rgb{((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0};
}
Rgb mix(const Rgb &a, const Rgb &b, double t);   // t = 0 gives a
Rgb scale(const Rgb &c, double k);               // clamped to 0..1
void setColour(cairo_t *cr, const Rgb &c, double alpha = 1.0);

// An ARGB32 surface with its context; frees both when it goes out of scope.
class Canvas
{
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    cairo_t *cr() const { return m_cr; }
    cairo_surface_t *surface() const { return m_surface; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    Picture picture() const;  // flushes and converts

private:
    int m_width, m_height;
    cairo_surface_t *m_surface;
    cairo_t *m_cr;
};

void roundedRect(cairo_t *cr, double x, double y, double w, double h, double r);

// Text of `size` pixels whose ink box is centred on (cx, cy).
void textPathCentred(cairo_t *cr, Font font, double size, const char *utf8, double cx, double cy);
// Same, filled; `embolden` strokes the outline too, a brush-like weight.
void drawTextCentred(cairo_t *cr, Font font, double size, const char *utf8, double cx, double cy,
                     double embolden = 0.0);
// Text centred on cx with its baseline placed so that capitals are centred
// on cy, whatever descenders the text has.
void drawTextOnCapLine(cairo_t *cr, Font font, double size, const char *utf8, double cx, double cy);
// Ink width and height of a text at a size.
void textInkSize(cairo_t *cr, Font font, double size, const char *utf8, double *w, double *h);

// Smooth value noise in 0..1 with a fixed seed, and its fractal sum.
double valueNoise(double x, double y, uint32_t seed);
double fractalNoise(double x, double y, uint32_t seed, int octaves);
// A hash of integers in 0..1, for scattering motifs without a generator.
double hash01(uint32_t a, uint32_t b, uint32_t seed);

// Alpha cut to 0 or 255 at half coverage; the colours of kept pixels stay
// as they are (already un-premultiplied).
void makeBinaryAlpha(Picture &picture);

// A premultiplied ARGB32 surface holding a copy of a picture (the caller
// destroys it).
cairo_surface_t *toSurface(const Picture &picture);

// Appends an entry from a picture: TGA with its alpha, or JPEG at the kit's
// quality.
void addTga(Entries &out, const char *name, const Picture &picture);
void addJpeg(Entries &out, const char *name, const Picture &picture);

} // namespace art
} // namespace content

#endif

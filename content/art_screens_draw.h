// Drawing helpers of the screen pictures: the lacquer palette, hinted fonts,
// text placement, button plates and framed panels.
#ifndef CONTENT_ART_SCREENS_DRAW_H
#define CONTENT_ART_SCREENS_DRAW_H

#include "content/ContentKit.h"
#include "content/Encoders.h"
#include "content/art_common.h"

#include <cairo.h>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace content {
namespace screenart {

constexpr double kPi = 3.14159265358979323846;

using art::addJpeg;
using art::addTga;
using art::Canvas;
using art::mix;
using art::Rgb;
using art::roundedRect;
using art::setColour;
using Face = art::Font;

// The shared palette.
extern const Rgb kJadeDark;   // #0f3b36
extern const Rgb kJade;       // #1d5a50
extern const Rgb kJadeLight;  // a lifted jade for highlights
extern const Rgb kGold;       // #d8b45a
extern const Rgb kGoldDark;   // #9c7a2e
extern const Rgb kGoldLight;  // pale gold for shine
extern const Rgb kIvory;      // #f4ecd6
extern const Rgb kCinnabar;   // #b5332b
extern const Rgb kInk;        // #1a1a1a

// Selects one of the fonts (loaded once, by file path) at a pixel size.
// Hinting is on so small text lands on whole pixels. A missing font file
// stops the kit: the pictures would silently come out wrong.
void setFont(cairo_t *cr, Face face, double size);

double textWidth(cairo_t *cr, const std::string &text);

enum class Align
{
    Left,
    Centre,
    Right,
};

// Text whose baseline sits at y, placed at x by the alignment, with a soft
// dark shadow one pixel down and right so light text reads on any lacquer.
void drawShadowedText(cairo_t *cr, const std::string &text, double x, double y, Align align,
                      const Rgb &color);
// Gold text with a vertical gradient and a dark outline, for titles.
void drawGoldTitle(cairo_t *cr, const std::string &text, double x, double y, Align align, double size,
                   Face face = Face::SerifBold);
// Selects the face at the largest size up to `size` (in half-pixel steps)
// at which the text fits maxWidth; answers that size.
double fitFontSize(cairo_t *cr, Face face, const std::string &text, double size, double maxWidth);

// Word-wrapped shadowed text in the current font, the first baseline at y,
// within [x, x + width]; answers the baseline below the last line.
double drawParagraph(cairo_t *cr, const std::string &text, double x, double y, double width, double lineHeight,
                     const Rgb &color, Align align = Align::Left);

// Jade lacquer filling the rectangle: a vertical gradient, a faint wave
// pattern and a fixed-seed grain, so large areas do not look flat. The grain
// is written straight into the target image, so the context must have no
// transform.
void fillLacquer(cairo_t *cr, double x, double y, double w, double h, uint32_t seed, double brightness = 1.0);

// A vertical linear gradient from y0 to y1 through opaque stops (the caller
// destroys it).
struct Stop
{
    double offset;
    Rgb colour;
};
cairo_pattern_t *verticalGradient(double y0, double y1, std::initializer_list<Stop> stops);
// Pale gold at y0, gold at `middle`, dark gold at y1.
cairo_pattern_t *goldGradient(double y0, double y1, double middle = 0.5);
// Fills the current path with the pattern and destroys the pattern.
void fillWith(cairo_t *cr, cairo_pattern_t *pattern);
// A closed diamond path of half-diagonal r centred on (cx, cy).
void diamondPath(cairo_t *cr, double cx, double cy, double r);
// A one-pixel horizontal line in a colour (y on a half pixel for a crisp line).
void hairline(cairo_t *cr, double x0, double x1, double y, const Rgb &colour);

// A double gold rule around the rectangle with small corner ornaments.
void goldFrame(cairo_t *cr, double x, double y, double w, double h, double inset = 4);
// A double gold rule with a diamond in the middle, used under headings.
void goldRule(cairo_t *cr, double x0, double x1, double y);
// A dark recessed field (entry boxes, slider tracks, the progress trough).
void insetField(cairo_t *cr, double x, double y, double w, double h, double r);

// A button plate filling the rectangle: gold rim, jade body, ivory serif
// label. The lit look is brighter with a gold glow; the glow needs a margin
// of `glow` pixels around the plate inside the picture.
struct PlateStyle
{
    double fontSize = 15;
    double radius = 7;
    Face face = Face::SerifBold;
    bool cinnabar = false;  // a red body instead of jade, for warnings
    int glow = 2;           // width of the lit look's glow, within the picture's margin
};
void drawPlate(cairo_t *cr, double x, double y, double w, double h, const std::string &label, bool lit,
               const PlateStyle &style = PlateStyle());
// A whole button picture of w x h with the plate inset by `margin`.
Picture platePicture(int w, int h, const std::string &label, bool lit, int margin = 2,
                     const PlateStyle &style = PlateStyle());
// Appends the plain and the lit button pictures, in that order.
void addPlatePair(Entries &out, const char *normal, const char *lit, int w, int h, const std::string &label,
                  int margin, const PlateStyle &style);

// A small stylised mahjong tile (ivory face, jade back edge) with a glyph,
// for decoration of the title, loading and rules pictures.
void drawDecorTile(cairo_t *cr, double x, double y, double w, double h, const std::string &glyph,
                   const Rgb &glyphColor, Face face = Face::Cjk);

// Lays a picture over an opaque one at (ox, oy) by its alpha, as the
// standard blend would on screen (for looks painted into backgrounds).
void paintOver(Picture &dst, const Picture &src, int ox, int oy);

} // namespace screenart
} // namespace content

#endif

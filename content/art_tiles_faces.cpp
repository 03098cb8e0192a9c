// The pictures on the tile faces: characters, bamboo, circles, winds,
// dragons, flowers and seasons, drawn in a 33 x 48 face.
#include "content/art_tiles.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace content {
namespace tileart {

using art::Font;
using art::Rgb;
using art::setColour;

namespace {

constexpr double kCx = kFaceW / 2.0;

// ---- circles ------------------------------------------------------------

void dot(cairo_t *cr, double x, double y, double r, const Rgb &c, const Inks &k)
{
    cairo_new_path(cr);
    setColour(cr, c);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    cairo_fill(cr);
    // A paper ring and a coloured hub: the coin-like look of the suit.
    setColour(cr, k.paper);
    cairo_set_line_width(cr, std::max(0.8, r * 0.22));
    cairo_arc(cr, x, y, r * 0.62, 0, 2 * M_PI);
    cairo_stroke(cr);
    if (r > 5.5) {
        // Bigger coins get the traditional notched rim.
        cairo_set_line_width(cr, 0.7);
        for (int i = 0; i < 8; ++i) {
            double a = i * M_PI / 4 + M_PI / 8;
            cairo_move_to(cr, x + std::cos(a) * r * 0.8, y + std::sin(a) * r * 0.8);
            cairo_line_to(cr, x + std::cos(a) * r * 0.98, y + std::sin(a) * r * 0.98);
        }
        cairo_stroke(cr);
    }
    setColour(cr, k.paper);
    cairo_arc(cr, x, y, r * 0.2, 0, 2 * M_PI);
    cairo_fill(cr);
}

void bigCircle(cairo_t *cr, const Inks &k)
{
    const double x = kCx, y = 24;
    setColour(cr, k.green);
    cairo_arc(cr, x, y, 13.5, 0, 2 * M_PI);
    cairo_fill(cr);
    setColour(cr, k.paper);
    cairo_arc(cr, x, y, 12.2, 0, 2 * M_PI);
    cairo_fill(cr);
    // A ring of sixteen petals around a red medallion.
    setColour(cr, k.blue);
    for (int i = 0; i < 16; ++i) {
        double a = i * M_PI / 8;
        cairo_save(cr);
        cairo_translate(cr, x + std::cos(a) * 9.6, y + std::sin(a) * 9.6);
        cairo_rotate(cr, a);
        cairo_scale(cr, 2.3, 1.3);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        cairo_fill(cr);
    }
    setColour(cr, k.red);
    cairo_arc(cr, x, y, 6.6, 0, 2 * M_PI);
    cairo_fill(cr);
    setColour(cr, k.paper);
    cairo_set_line_width(cr, 1.0);
    cairo_arc(cr, x, y, 4.6, 0, 2 * M_PI);
    cairo_stroke(cr);
    setColour(cr, k.green);
    cairo_arc(cr, x, y, 2.2, 0, 2 * M_PI);
    cairo_fill(cr);
}

void circles(cairo_t *cr, int rank, const Inks &k)
{
    struct D { double x, y, r; int c; };  // c: 0 blue, 1 green, 2 red
    static const std::vector<D> layouts[10] = {
        {},
        {},
        {{kCx, 13.2, 8.6, 1}, {kCx, 34.8, 8.6, 0}},
        {{8.4, 9.4, 6.4, 0}, {kCx, 24, 6.4, 2}, {24.6, 38.6, 6.4, 1}},
        {{9.3, 13.5, 6.6, 0}, {23.7, 13.5, 6.6, 1}, {9.3, 34.5, 6.6, 1}, {23.7, 34.5, 6.6, 0}},
        {{8.4, 9.6, 6.0, 0}, {24.6, 9.6, 6.0, 1}, {kCx, 24, 6.0, 2},
         {8.4, 38.4, 6.0, 1}, {24.6, 38.4, 6.0, 0}},
        {{9.6, 8.6, 5.6, 1}, {23.4, 8.6, 5.6, 1}, {9.6, 26.4, 5.6, 2}, {23.4, 26.4, 5.6, 2},
         {9.6, 39.4, 5.6, 2}, {23.4, 39.4, 5.6, 2}},
        {{6.6, 6.4, 4.6, 1}, {kCx, 11.0, 4.6, 1}, {26.4, 15.6, 4.6, 1},
         {9.8, 28.4, 5.0, 2}, {23.2, 28.4, 5.0, 2}, {9.8, 39.8, 5.0, 2}, {23.2, 39.8, 5.0, 2}},
        {{10.2, 7.0, 4.8, 0}, {22.8, 7.0, 4.8, 0}, {10.2, 18.3, 4.8, 0}, {22.8, 18.3, 4.8, 0},
         {10.2, 29.7, 4.8, 0}, {22.8, 29.7, 4.8, 0}, {10.2, 41.0, 4.8, 0}, {22.8, 41.0, 4.8, 0}},
        {{6.9, 9.0, 4.7, 0}, {kCx, 9.0, 4.7, 0}, {26.1, 9.0, 4.7, 0},
         {6.9, 24.0, 4.7, 2}, {kCx, 24.0, 4.7, 2}, {26.1, 24.0, 4.7, 2},
         {6.9, 39.0, 4.7, 1}, {kCx, 39.0, 4.7, 1}, {26.1, 39.0, 4.7, 1}},
    };
    if (rank == 1) {
        bigCircle(cr, k);
        return;
    }
    for (const D &d : layouts[rank]) {
        const Rgb &c = d.c == 0 ? k.blue : d.c == 1 ? k.green : k.red;
        dot(cr, d.x, d.y, d.r, c, k);
    }
}

// ---- bamboo -------------------------------------------------------------

// One bamboo stick of length len centred on (x, y), tilted by angle radians.
void stick(cairo_t *cr, double x, double y, double len, double angle, const Rgb &c)
{
    const double w = 4.4;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, angle);
    Rgb dark = art::scale(c, 0.62);
    // Two segments separated by a joint, with swollen nodes at the ends.
    setColour(cr, c);
    art::roundedRect(cr, -w / 2, -len / 2, w, len, 1.6);
    cairo_fill(cr);
    setColour(cr, dark);
    cairo_set_line_width(cr, 0.8);
    art::roundedRect(cr, -w / 2, -len / 2, w, len, 1.6);
    cairo_stroke(cr);
    for (double ny : {-len / 2 + 0.9, 0.0, len / 2 - 0.9}) {
        setColour(cr, dark);
        cairo_save(cr);
        cairo_translate(cr, 0, ny);
        cairo_scale(cr, w * 0.64, 1.05);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        cairo_fill(cr);
    }
    // The bright stripe down the middle of each segment.
    setColour(cr, art::mix(c, art::hex(0xffffff), 0.6), 0.8);
    cairo_set_line_width(cr, 0.9);
    for (int s : {-1, 1}) {
        cairo_move_to(cr, 0, s * 1.8);
        cairo_line_to(cr, 0, s * (len / 2 - 2.2));
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

void bird(cairo_t *cr, const Inks &k)
{
    // A perched sparrow-peacock: fanned tail low left, body, raised head.
    cairo_new_path(cr);
    // Tail feathers.
    for (int i = 0; i < 5; ++i) {
        double a = M_PI * (0.62 + i * 0.09);
        Rgb c = i % 2 ? k.blue : k.green;
        cairo_save(cr);
        cairo_translate(cr, 15.5, 29.5);
        cairo_rotate(cr, a);
        setColour(cr, c);
        cairo_move_to(cr, 0, 0);
        cairo_curve_to(cr, 6, -3.4, 12, -3.0, 16.5, 0);
        cairo_curve_to(cr, 12, 3.0, 6, 3.4, 0, 0);
        cairo_fill(cr);
        setColour(cr, k.red);
        cairo_arc(cr, 14.0, 0, 1.2, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    // Legs on a little branch.
    setColour(cr, k.ink);
    cairo_set_line_width(cr, 0.9);
    cairo_move_to(cr, 17.5, 34);
    cairo_line_to(cr, 16.5, 40.5);
    cairo_move_to(cr, 20.5, 34);
    cairo_line_to(cr, 21.5, 40.5);
    cairo_stroke(cr);
    setColour(cr, art::scale(k.red, 0.7));
    cairo_set_line_width(cr, 1.6);
    cairo_move_to(cr, 9, 42.2);
    cairo_curve_to(cr, 15, 40.2, 22, 40.6, 29, 43.2);
    cairo_stroke(cr);
    // Body.
    setColour(cr, k.green);
    cairo_move_to(cr, 12.5, 30.5);
    cairo_curve_to(cr, 13, 21, 20, 17.5, 24.5, 18.5);
    cairo_curve_to(cr, 28, 24, 26, 33, 19, 35);
    cairo_curve_to(cr, 16, 35.5, 13.5, 34, 12.5, 30.5);
    cairo_fill(cr);
    // Breast and wing.
    setColour(cr, k.red);
    cairo_move_to(cr, 24.5, 19.5);
    cairo_curve_to(cr, 27.5, 24, 26.5, 30, 21.5, 33.5);
    cairo_curve_to(cr, 23.5, 28, 24, 23, 22.5, 20.5);
    cairo_close_path(cr);
    cairo_fill(cr);
    setColour(cr, k.blue);
    cairo_move_to(cr, 14.5, 28);
    cairo_curve_to(cr, 16, 23, 19.5, 22, 22, 23.5);
    cairo_curve_to(cr, 21, 28, 18, 31, 14.5, 28);
    cairo_fill(cr);
    // Head, crest, beak, eye.
    setColour(cr, k.green);
    cairo_arc(cr, 24.2, 14.2, 4.2, 0, 2 * M_PI);
    cairo_fill(cr);
    setColour(cr, k.red);
    cairo_move_to(cr, 22.5, 10.5);
    cairo_curve_to(cr, 20.5, 6.5, 22.5, 4.5, 24.5, 4.0);
    cairo_curve_to(cr, 24.0, 6.0, 25.5, 8.0, 25.5, 10.2);
    cairo_fill(cr);
    setColour(cr, k.gold);
    cairo_move_to(cr, 28.0, 12.6);
    cairo_line_to(cr, 31.6, 14.6);
    cairo_line_to(cr, 28.0, 16.0);
    cairo_fill(cr);
    setColour(cr, k.paper);
    cairo_arc(cr, 25.3, 13.4, 1.3, 0, 2 * M_PI);
    cairo_fill(cr);
    setColour(cr, k.ink);
    cairo_arc(cr, 25.6, 13.4, 0.7, 0, 2 * M_PI);
    cairo_fill(cr);
}

void bamboo(cairo_t *cr, int rank, const Inks &k)
{
    if (rank == 1) {
        bird(cr, k);
        return;
    }
    struct S { double x, y, len, angle; int c; };  // c: 0 blue, 1 green, 2 red
    const double t = 0.36;
    static const std::vector<S> layouts[10] = {
        {},
        {},
        {{kCx, 13.0, 18, 0, 1}, {kCx, 35.0, 18, 0, 0}},
        {{kCx, 13.0, 17, 0, 0}, {10.0, 35.0, 17, 0, 1}, {23.0, 35.0, 17, 0, 1}},
        {{10.0, 13.0, 18, 0, 1}, {23.0, 13.0, 18, 0, 0}, {10.0, 35.0, 18, 0, 0}, {23.0, 35.0, 18, 0, 1}},
        {{7.4, 13.0, 18, 0, 1}, {25.6, 13.0, 18, 0, 0}, {kCx, 24.0, 18, 0, 2},
         {7.4, 35.0, 18, 0, 0}, {25.6, 35.0, 18, 0, 1}},
        {{7.0, 13.0, 18, 0, 1}, {kCx, 13.0, 18, 0, 1}, {26.0, 13.0, 18, 0, 1},
         {7.0, 35.0, 18, 0, 0}, {kCx, 35.0, 18, 0, 0}, {26.0, 35.0, 18, 0, 0}},
        {{kCx, 8.0, 12, 0, 2},
         {7.0, 23.5, 12.5, 0, 1}, {kCx, 23.5, 12.5, 0, 1}, {26.0, 23.5, 12.5, 0, 1},
         {7.0, 39.0, 12.5, 0, 0}, {kCx, 39.0, 12.5, 0, 0}, {26.0, 39.0, 12.5, 0, 0}},
        {{5.4, 13.0, 18, 0, 1}, {12.6, 13.0, 18, -t, 1}, {20.4, 13.0, 18, t, 1}, {27.6, 13.0, 18, 0, 1},
         {5.4, 35.0, 18, 0, 0}, {12.6, 35.0, 18, t, 0}, {20.4, 35.0, 18, -t, 0}, {27.6, 35.0, 18, 0, 0}},
        {{7.0, 8.5, 13, 0, 1}, {kCx, 8.5, 13, 0, 2}, {26.0, 8.5, 13, 0, 0},
         {7.0, 24.0, 13, 0, 1}, {kCx, 24.0, 13, 0, 2}, {26.0, 24.0, 13, 0, 0},
         {7.0, 39.5, 13, 0, 1}, {kCx, 39.5, 13, 0, 2}, {26.0, 39.5, 13, 0, 0}},
    };
    for (const S &s : layouts[rank]) {
        const Rgb &c = s.c == 0 ? k.blue : s.c == 1 ? k.green : k.red;
        stick(cr, s.x, s.y, s.len, s.angle, c);
    }
}

// ---- characters, winds and dragons ---------------------------------------

const char *const kNumerals[9] = {"一", "二", "三", "四", "五", "六", "七", "八", "九"};

void character(cairo_t *cr, int rank, const Inks &k)
{
    setColour(cr, k.ink);
    // The thin numerals one to three need a little more weight and height
    // room to balance the denser ones.
    double size = rank <= 3 ? 15.5 : 14.5;
    art::drawTextCentred(cr, Font::Cjk, size, kNumerals[rank - 1], kCx, 12.0, 0.55);
    setColour(cr, k.red);
    art::drawTextCentred(cr, Font::Cjk, 22, "萬", kCx, 32.5, 0.5);
}

void wind(cairo_t *cr, int which, const Inks &k)
{
    static const char *const names[4] = {"東", "南", "西", "北"};
    setColour(cr, k.ink);
    art::drawTextCentred(cr, Font::Cjk, 26, names[which], kCx, 24, 0.7);
}

void whiteDragon(cairo_t *cr, const Inks &k)
{
    setColour(cr, k.blue);
    cairo_set_line_width(cr, 2.2);
    cairo_rectangle(cr, 5.0, 6.0, 23.0, 36.0);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 0.9);
    cairo_rectangle(cr, 8.0, 9.0, 17.0, 30.0);
    cairo_stroke(cr);
    // Corner squares tie the double frame together.
    for (double x : {3.7, 26.7})
        for (double y : {4.7, 40.7}) {
            cairo_rectangle(cr, x, y, 2.6, 2.6);
            cairo_fill(cr);
        }
}

void dragon(cairo_t *cr, int which, const Inks &k)
{
    if (which == 0) {
        setColour(cr, k.red);
        art::drawTextCentred(cr, Font::Cjk, 30, "中", kCx, 24, 0.9);
    } else if (which == 1) {
        setColour(cr, k.green);
        art::drawTextCentred(cr, Font::Cjk, 27, "發", kCx, 24, 0.6);
    } else {
        whiteDragon(cr, k);
    }
}

// ---- flowers and seasons -------------------------------------------------

void petalFlower(cairo_t *cr, double x, double y, double r, int petals, const Rgb &c,
                 const Rgb &centre, double turn)
{
    setColour(cr, c);
    for (int i = 0; i < petals; ++i) {
        double a = turn + i * 2 * M_PI / petals;
        cairo_arc(cr, x + std::cos(a) * r * 0.55, y + std::sin(a) * r * 0.55, r * 0.5, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    setColour(cr, centre);
    cairo_arc(cr, x, y, r * 0.28, 0, 2 * M_PI);
    cairo_fill(cr);
}

void leaf(cairo_t *cr, double x0, double y0, double x1, double y1, double width, const Rgb &c)
{
    double dx = x1 - x0, dy = y1 - y0;
    double nx = -dy, ny = dx;
    double len = std::sqrt(dx * dx + dy * dy);
    nx *= width / len;
    ny *= width / len;
    setColour(cr, c);
    cairo_move_to(cr, x0, y0);
    cairo_curve_to(cr, x0 + dx * 0.3 + nx, y0 + dy * 0.3 + ny, x0 + dx * 0.7 + nx, y0 + dy * 0.7 + ny, x1, y1);
    cairo_curve_to(cr, x0 + dx * 0.7 - nx * 0.4, y0 + dy * 0.7 - ny * 0.4, x0 + dx * 0.3 - nx * 0.4,
                   y0 + dy * 0.3 - ny * 0.4, x0, y0);
    cairo_fill(cr);
}

void branch(cairo_t *cr, const Inks &k, double w)
{
    setColour(cr, art::mix(k.ink, k.gold, 0.25));
    cairo_set_line_width(cr, w);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, 4, 45);
    cairo_curve_to(cr, 10, 36, 12, 28, 22, 22);
    cairo_move_to(cr, 12.5, 31);
    cairo_curve_to(cr, 9, 24, 10, 16, 13, 11);
    cairo_move_to(cr, 20, 23.5);
    cairo_curve_to(cr, 25, 19, 27, 14, 28, 9);
    cairo_stroke(cr);
}

void cornerNumber(cairo_t *cr, int n, const Rgb &c, const Rgb &paper)
{
    char text[2] = {static_cast<char>('0' + n), 0};
    // A halo in the face colour keeps the number clear of the painting.
    cairo_new_path(cr);
    art::textPathCentred(cr, Font::SerifBold, 9.5, text, 28.0, 6.5);
    setColour(cr, paper);
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    setColour(cr, c);
    cairo_fill(cr);
}

void flower(cairo_t *cr, int which, const Inks &k)
{
    const Rgb pink = art::mix(k.red, k.paper, 0.3);
    switch (which) {
    case 0:  // plum blossom
        branch(cr, k, 1.6);
        petalFlower(cr, 13, 11, 8, 5, k.red, k.gold, -M_PI / 2);
        petalFlower(cr, 22, 22, 8.5, 5, pink, k.gold, 0.3);
        petalFlower(cr, 26.5, 16, 5.5, 5, k.red, k.gold, 0.9);
        petalFlower(cr, 9, 35, 5.5, 5, pink, k.gold, 0.5);
        break;
    case 1:  // orchid
        leaf(cr, 16, 46, 3, 16, 2.6, k.green);
        leaf(cr, 17, 46, 30, 22, 2.4, k.green);
        leaf(cr, 16, 46, 20, 12, 2.0, art::scale(k.green, 0.8));
        petalFlower(cr, 11, 22, 9, 3, art::mix(k.blue, k.red, 0.5), k.gold, -M_PI / 2);
        petalFlower(cr, 23, 14, 8, 3, art::mix(k.blue, k.red, 0.35), k.gold, M_PI / 2);
        break;
    case 2:  // chrysanthemum
        leaf(cr, 16.5, 46, 6, 34, 3.0, k.green);
        leaf(cr, 16.5, 46, 28, 36, 3.0, k.green);
        setColour(cr, art::scale(k.green, 0.8));
        cairo_set_line_width(cr, 1.3);
        cairo_move_to(cr, 16.5, 46);
        cairo_line_to(cr, 16.5, 28);
        cairo_stroke(cr);
        for (int i = 0; i < 18; ++i) {
            double a = i * M_PI / 9;
            leaf(cr, 16.5, 21, 16.5 + std::cos(a) * 12.5, 21 + std::sin(a) * 12.5, 2.0,
                 i % 2 ? k.gold : art::mix(k.gold, k.red, 0.45));
        }
        setColour(cr, art::mix(k.red, k.gold, 0.3));
        cairo_arc(cr, 16.5, 21, 3.4, 0, 2 * M_PI);
        cairo_fill(cr);
        break;
    default:  // bamboo sprig
        setColour(cr, art::scale(k.green, 0.75));
        cairo_set_line_width(cr, 2.0);
        cairo_move_to(cr, 12, 46);
        cairo_curve_to(cr, 13, 32, 14, 18, 17, 4);
        cairo_stroke(cr);
        leaf(cr, 13, 30, 29, 24, 2.6, k.green);
        leaf(cr, 13.5, 26, 27, 36, 2.4, k.green);
        leaf(cr, 15, 16, 29, 11, 2.4, k.green);
        leaf(cr, 14.5, 20, 3, 12, 2.4, k.green);
        leaf(cr, 13, 34, 3, 42, 2.2, k.green);
        break;
    }
    cornerNumber(cr, which + 1, k.red, k.paper);
}

void season(cairo_t *cr, int which, const Inks &k)
{
    switch (which) {
    case 0: {  // spring: a budding willow twig with a blossom
        setColour(cr, art::scale(k.green, 0.8));
        cairo_set_line_width(cr, 1.4);
        cairo_move_to(cr, 6, 45);
        cairo_curve_to(cr, 9, 30, 16, 20, 28, 15);
        cairo_stroke(cr);
        for (int i = 0; i < 5; ++i) {
            double t = 0.15 + i * 0.17;
            double x = 6 + (28 - 6) * t, y = 45 - (45 - 15) * t;
            leaf(cr, x, y, x + 3, y + 9, 1.6, k.green);
            leaf(cr, x, y, x - 6, y - 3, 1.6, k.green);
        }
        petalFlower(cr, 18, 15, 10, 5, art::mix(k.red, k.paper, 0.35), k.gold, 0.2);
        break;
    }
    case 1:  // summer: a lotus over its pad
        setColour(cr, k.green);
        cairo_save(cr);
        cairo_translate(cr, 16.5, 40);
        cairo_scale(cr, 14, 5);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        cairo_fill(cr);
        setColour(cr, art::scale(k.green, 0.75));
        cairo_set_line_width(cr, 1.4);
        cairo_move_to(cr, 16.5, 38);
        cairo_line_to(cr, 16.5, 28);
        cairo_stroke(cr);
        for (int i = -2; i <= 2; ++i)
            leaf(cr, 16.5, 29, 16.5 + i * 5.5, 29 - 15 + std::abs(i) * 3.5, 3.6,
                 art::mix(k.red, k.paper, std::abs(i) == 1 ? 0.25 : 0.45));
        break;
    case 2: {  // autumn: a maple leaf
        setColour(cr, art::scale(k.red, 0.75));
        cairo_set_line_width(cr, 1.2);
        cairo_move_to(cr, 16.5, 26);
        cairo_line_to(cr, 14, 44);
        cairo_stroke(cr);
        Rgb c = art::mix(k.red, k.gold, 0.45);
        for (int i = 0; i < 5; ++i) {
            double a = -M_PI / 2 + (i - 2) * 0.85;
            double len = i == 2 ? 15 : (i == 1 || i == 3) ? 13 : 9;
            leaf(cr, 16.5, 26, 16.5 + std::cos(a) * len, 26 + std::sin(a) * len, 4.2,
                 i % 2 ? c : art::mix(k.red, k.gold, 0.2));
        }
        break;
    }
    default: {  // winter: a snowflake
        setColour(cr, k.blue);
        cairo_set_line_width(cr, 1.6);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        for (int i = 0; i < 6; ++i) {
            double a = i * M_PI / 3 + M_PI / 2;
            double cx = 16.5, cy = 25;
            double ex = cx + std::cos(a) * 12, ey = cy + std::sin(a) * 12;
            cairo_move_to(cr, cx, cy);
            cairo_line_to(cr, ex, ey);
            for (double t : {0.45, 0.75}) {
                double px = cx + std::cos(a) * 12 * t, py = cy + std::sin(a) * 12 * t;
                for (int s : {-1, 1}) {
                    double b = a + s * 0.75;
                    cairo_move_to(cr, px, py);
                    cairo_line_to(cr, px + std::cos(b) * 4.0, py + std::sin(b) * 4.0);
                }
            }
        }
        cairo_stroke(cr);
        setColour(cr, k.paper);
        cairo_arc(cr, 16.5, 25, 2.0, 0, 2 * M_PI);
        cairo_fill_preserve(cr);
        setColour(cr, k.blue);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
        break;
    }
    }
    cornerNumber(cr, which + 1, k.blue, k.paper);
}

} // namespace

bool isTileImage(int image)
{
    for (const TMTileKind &row : g_tileKindTable)
        if (row.image == image)
            return true;
    return false;
}

void drawFace(cairo_t *cr, int image, const Inks &inks)
{
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    if (image <= 8)
        character(cr, image + 1, inks);
    else if (image >= 13 && image <= 21)
        bamboo(cr, image - 12, inks);
    else if (image >= 26 && image <= 34)
        circles(cr, image - 25, inks);
    else if (image >= kFirstFlowerImage && image < kFirstFlowerImage + 4)
        flower(cr, image - kFirstFlowerImage, inks);
    else if (image >= 39 && image <= 42)
        wind(cr, image - 39, inks);
    else if (image >= 43 && image <= 45)
        dragon(cr, image - 43, inks);
    else if (image >= kFirstSeasonImage && image < kFirstSeasonImage + 4)
        season(cr, image - kFirstSeasonImage, inks);
    cairo_restore(cr);
}

} // namespace tileart
} // namespace content

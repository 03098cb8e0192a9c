// The ten board backgrounds and their previews: calm, mid-dark backdrops
// that ivory and dark tiles both read on, with a quiet band at the bottom
// where the head-up display's numbers are drawn.
#include "content/art_tiles.h"

#include <algorithm>
#include <cmath>
#include <array>
#include <functional>

namespace content {
namespace tileart {

using art::Canvas;
using art::hex;
using art::Rgb;
using art::setColour;

namespace {

constexpr int kW = 520, kH = 480;

double smoothstep(double a, double b, double x)
{
    double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

uint32_t pack(const Rgb &c)
{
    auto ch = [](double v) { return uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    return 0xff000000u | ch(c.r) << 16 | ch(c.g) << 8 | ch(c.b);
}

Rgb unpack(uint32_t p)
{
    return Rgb{((p >> 16) & 255) / 255.0, ((p >> 8) & 255) / 255.0, (p & 255) / 255.0};
}

// Fills the canvas pixel by pixel (the surface is opaque, so premultiplied
// and straight colours are the same).
void shade(Canvas &canvas, const std::function<Rgb(double, double)> &f)
{
    cairo_surface_flush(canvas.surface());
    unsigned char *data = cairo_image_surface_get_data(canvas.surface());
    int stride = cairo_image_surface_get_stride(canvas.surface());
    for (int y = 0; y < canvas.height(); ++y) {
        auto *row = reinterpret_cast<uint32_t *>(data + size_t(y) * stride);
        for (int x = 0; x < canvas.width(); ++x)
            row[x] = pack(f(x + 0.5, y + 0.5));
    }
    cairo_surface_mark_dirty(canvas.surface());
}

// Darkens the corners, so the eye rests on the middle of the board.
void vignette(Canvas &canvas, double strength)
{
    cairo_t *cr = canvas.cr();
    cairo_pattern_t *g = cairo_pattern_create_radial(kW * 0.55, kH * 0.45, kH * 0.3, kW * 0.55, kH * 0.45, kH * 0.9);
    cairo_pattern_add_color_stop_rgba(g, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(g, 1, 0, 0, 0, strength);
    cairo_set_source(cr, g);
    cairo_paint(cr);
    cairo_pattern_destroy(g);
}

// Flattens the bottom rows into a plain, slightly darker band: the HUD's
// labels and digits are drawn there and must read on it.
void calmBottom(Picture &p)
{
    double r = 0, g = 0, b = 0;
    int n = 0;
    for (int y = 400; y < 440; ++y)
        for (int x = 0; x < p.width; ++x, ++n) {
            Rgb c = unpack(p.at(x, y));
            r += c.r;
            g += c.g;
            b += c.b;
        }
    Rgb flat = art::scale(Rgb{r / n, g / n, b / n}, 0.8);
    for (int y = 400; y < p.height; ++y) {
        double t = 0.9 * smoothstep(418, 446, y);
        for (int x = 0; x < p.width; ++x) {
            Rgb c = unpack(p.at(x, y));
            Rgb band = art::mix(flat, c, 0.12);
            p.at(x, y) = pack(art::mix(c, band, t));
        }
    }
    // A thin gold rule above the band.
    for (int x = 0; x < p.width; ++x) {
        Rgb c = unpack(p.at(x, 438));
        double edge = smoothstep(0, 60, x) * smoothstep(0, 60, p.width - x);
        p.at(x, 438) = pack(art::mix(c, hex(0xb08a3c), 0.45 * edge));
        Rgb d = unpack(p.at(x, 439));
        p.at(x, 439) = pack(art::mix(d, hex(0x000000), 0.25 * edge));
    }
}

// A lacquer tray's inlaid border: a double gold line with fretted corners,
// kept above the HUD band.
void trayFrame(cairo_t *cr, const Rgb &colour, double alpha)
{
    const double x0 = 18, y0 = 14, x1 = kW - 14, y1 = 424;
    setColour(cr, colour, alpha);
    cairo_set_line_width(cr, 1.6);
    cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 0.8);
    cairo_rectangle(cr, x0 + 5, y0 + 5, x1 - x0 - 10, y1 - y0 - 10);
    cairo_stroke(cr);
    // A key fret in each corner.
    cairo_set_line_width(cr, 1.4);
    for (int corner = 0; corner < 4; ++corner) {
        double sx = corner % 2 ? -1 : 1, sy = corner / 2 ? -1 : 1;
        double cx = corner % 2 ? x1 - 5 : x0 + 5, cy = corner / 2 ? y1 - 5 : y0 + 5;
        const double pts[][2] = {{6, 24}, {6, 6}, {24, 6}, {24, 18}, {12, 18}, {12, 12}, {18, 12}};
        for (int i = 0; i < 7; ++i) {
            double px = cx + sx * pts[i][0], py = cy + sy * pts[i][1];
            if (i == 0)
                cairo_move_to(cr, px, py);
            else
                cairo_line_to(cr, px, py);
        }
        cairo_stroke(cr);
    }
}

// A silk weave: fine crossing threads with slow colour drift.
Rgb silk(double x, double y, const Rgb &dark, const Rgb &light, uint32_t seed)
{
    double drift = art::fractalNoise(x / 160, y / 160, seed, 4);
    double warp = 0.5 + 0.5 * std::sin(x * 1.9 + art::valueNoise(x / 8, y / 40, seed + 5) * 2.5);
    double weft = 0.5 + 0.5 * std::sin(y * 1.9 + art::valueNoise(x / 40, y / 8, seed + 6) * 2.5);
    double sheen = 0.55 * drift + 0.25 * warp * 0.4 + 0.25 * weft * 0.4;
    return art::mix(dark, light, std::clamp(sheen, 0.0, 1.0));
}

// Damask: a repeating eight-petal flower woven slightly brighter.
void damask(cairo_t *cr, const Rgb &c, double alpha, double pitch)
{
    setColour(cr, c, alpha);
    for (int row = -1; row * pitch * 0.5 < kH; ++row)
        for (int col = -1; col * pitch < kW + pitch; ++col) {
            double x = col * pitch + (row % 2 ? pitch / 2 : 0), y = row * pitch * 0.5;
            if (y > 410)
                continue;
            for (int i = 0; i < 8; ++i) {
                double a = i * M_PI / 4;
                cairo_save(cr);
                cairo_translate(cr, x + std::cos(a) * pitch * 0.12, y + std::sin(a) * pitch * 0.12);
                cairo_rotate(cr, a);
                cairo_scale(cr, pitch * 0.1, pitch * 0.045);
                cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
                cairo_restore(cr);
                cairo_fill(cr);
            }
            cairo_arc(cr, x, y, pitch * 0.04, 0, 2 * M_PI);
            cairo_fill(cr);
            // Small diamonds between the flowers.
            double dx = x + pitch / 2, dy = y;
            cairo_move_to(cr, dx, dy - pitch * 0.06);
            cairo_line_to(cr, dx + pitch * 0.04, dy);
            cairo_line_to(cr, dx, dy + pitch * 0.06);
            cairo_line_to(cr, dx - pitch * 0.04, dy);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
}

void cinnabarLacquer(Canvas &c)
{
    const Rgb dark = hex(0x3a0e0b), light = hex(0x6a1d16);
    shade(c, [&](double x, double y) {
        double n = art::fractalNoise(x / 140, y / 90, 11, 5);
        double v = 0.35 + 0.5 * n + 0.15 * (1 - y / kH);
        return art::mix(dark, light, std::clamp(v, 0.0, 1.0));
    });
    vignette(c, 0.45);
    trayFrame(c.cr(), hex(0xd8b45a), 0.5);
}

void mistyMountains(Canvas &c)
{
    const Rgb skyTop = hex(0x2b3f4a), skyLow = hex(0x71766e), mist = hex(0x8a8a7c);
    struct Ridge { double base, amp, freq; uint32_t seed; Rgb colour; };
    const Ridge ridges[4] = {
        {200, 150, 1 / 110.0, 21, hex(0x5a6863)},
        {265, 120, 1 / 95.0, 22, hex(0x42534e)},
        {330, 95, 1 / 80.0, 23, hex(0x2e3e3a)},
        {395, 60, 1 / 70.0, 24, hex(0x1d2a27)},
    };
    shade(c, [&](double x, double y) {
        double t = y / kH;
        Rgb col = art::mix(skyTop, skyLow, smoothstep(0, 0.55, t));
        // A pale sun behind the haze.
        double d = std::hypot(x - 380, y - 110);
        col = art::mix(col, hex(0xb8b09a), 0.35 * std::exp(-d * d / (2 * 40.0 * 40.0)));
        for (const Ridge &r : ridges) {
            // Ridged noise gives pointed peaks rather than rolling hills.
            double n = art::fractalNoise(x * r.freq, 0.5, r.seed, 5);
            double peaks = 1 - std::fabs(2 * art::fractalNoise(x * r.freq * 0.7, 3.5, r.seed + 3, 4) - 1);
            double ridge = r.base - r.amp * std::clamp(0.35 * n + 0.85 * peaks * peaks - 0.2, 0.0, 1.2);
            if (y >= ridge) {
                // Each range fades into mist towards its foot.
                double fog = smoothstep(ridge, ridge + 70, y);
                Rgb m = art::mix(r.colour, mist, 0.15);
                Rgb tex = art::scale(r.colour, 0.92 + 0.16 * art::fractalNoise(x / 25, y / 12, r.seed + 9, 3));
                col = art::mix(tex, m, 0.7 * fog);
            }
        }
        return col;
    });
    vignette(c, 0.35);
}

void bambooGrove(Canvas &c)
{
    const Rgb top = hex(0x1c3a2a), bottom = hex(0x0e2219);
    shade(c, [&](double x, double y) {
        double n = art::fractalNoise(x / 200, y / 200, 31, 3);
        return art::mix(art::mix(top, bottom, y / kH), hex(0x2f5a40), 0.35 * n);
    });
    cairo_t *cr = c.cr();
    // Three depths of stalks, far ones paler and thinner.
    for (int depth = 0; depth < 3; ++depth) {
        Rgb stalk = depth == 0 ? hex(0x2a4d39) : depth == 1 ? hex(0x21402f) : hex(0x183425);
        double width = 8 + depth * 6;
        int count = 9 - depth * 2;
        for (int i = 0; i < count; ++i) {
            double x = (i + 0.5) * kW / count + (art::hash01(i, depth, 33) - 0.5) * 50;
            double lean = (art::hash01(depth, i, 34) - 0.5) * 30;
            cairo_pattern_t *g = cairo_pattern_create_linear(x - width, 0, x + width, 0);
            cairo_pattern_add_color_stop_rgb(g, 0, stalk.r * 0.8, stalk.g * 0.8, stalk.b * 0.8);
            cairo_pattern_add_color_stop_rgb(g, 0.4, stalk.r * 1.25, stalk.g * 1.25, stalk.b * 1.25);
            cairo_pattern_add_color_stop_rgb(g, 1, stalk.r * 0.7, stalk.g * 0.7, stalk.b * 0.7);
            cairo_move_to(cr, x - width / 2, kH);
            cairo_line_to(cr, x - width / 2 + lean, 0);
            cairo_line_to(cr, x + width / 2 + lean, 0);
            cairo_line_to(cr, x + width / 2, kH);
            cairo_close_path(cr);
            cairo_set_source(cr, g);
            cairo_fill(cr);
            cairo_pattern_destroy(g);
            // Nodes.
            setColour(cr, art::scale(stalk, 0.6));
            cairo_set_line_width(cr, 2);
            for (double ny = 40 + art::hash01(i, depth, 35) * 60; ny < kH; ny += 95 + depth * 15) {
                double nx = x + lean * (1 - ny / kH);
                cairo_move_to(cr, nx - width / 2 - 1, ny);
                cairo_line_to(cr, nx + width / 2 + 1, ny);
            }
            cairo_stroke(cr);
        }
        // Leaves in sprays.
        Rgb leafColour = art::scale(stalk, 1.15);
        for (int i = 0; i < 14 - depth * 3; ++i) {
            double x = art::hash01(i, depth, 36) * kW, y = art::hash01(depth, i, 37) * 330;
            for (int l = 0; l < 5; ++l) {
                double a = 0.3 + art::hash01(i * 7 + l, depth, 38) * 2.4;
                double len = 30 + depth * 8;
                double ex = x + std::cos(a) * len, ey = y + std::sin(a) * len * 0.6;
                double nx = -(ey - y) / len * 5, ny = (ex - x) / len * 5;
                setColour(cr, leafColour, 0.9);
                cairo_move_to(cr, x, y);
                cairo_curve_to(cr, x + (ex - x) * 0.3 + nx, y + (ey - y) * 0.3 + ny, x + (ex - x) * 0.7 + nx,
                               y + (ey - y) * 0.7 + ny, ex, ey);
                cairo_curve_to(cr, x + (ex - x) * 0.7 - nx * 0.3, y + (ey - y) * 0.7 - ny * 0.3,
                               x + (ex - x) * 0.3 - nx * 0.3, y + (ey - y) * 0.3 - ny * 0.3, x, y);
                cairo_fill(cr);
            }
        }
        // Haze between depths.
        cairo_set_source_rgba(cr, 0.08, 0.16, 0.12, 0.25);
        cairo_paint(cr);
    }
    vignette(c, 0.4);
}

void walnut(Canvas &c)
{
    const Rgb dark = hex(0x2a160c), mid = hex(0x4a2a16), light = hex(0x6a3f22);
    shade(c, [&](double x, double y) {
        double warp = art::fractalNoise(x / 300, y / 60, 41, 4) * 14;
        double grain = std::sin((y + warp * 6) / 5.5 + art::valueNoise(x / 90, y / 30, 42) * 3);
        double fine = art::fractalNoise(x / 40, y / 2.5, 43, 3);
        double v = 0.5 + 0.28 * grain + 0.3 * (fine - 0.5);
        Rgb col = v < 0.5 ? art::mix(dark, mid, v * 2) : art::mix(mid, light, (v - 0.5) * 2);
        // Planks: a seam every 120 pixels.
        double seam = std::fmod(y + 30, 120.0);
        if (seam < 2)
            col = art::scale(col, 0.55);
        return col;
    });
    vignette(c, 0.5);
}

void nightPlum(Canvas &c)
{
    const Rgb top = hex(0x101a33), bottom = hex(0x1f2a45);
    shade(c, [&](double x, double y) {
        Rgb col = art::mix(top, bottom, y / kH);
        double d = std::hypot(x - 400, y - 95);
        col = art::mix(col, hex(0x4a5a7a), 0.6 * std::exp(-d / 90));
        if (d < 44)
            col = art::mix(hex(0xd8d2b8), hex(0xbdb79c), art::fractalNoise(x / 14, y / 14, 51, 3));
        else if (d < 45.5)
            col = art::mix(col, hex(0xd8d2b8), 45.5 - d);
        return col;
    });
    cairo_t *cr = c.cr();
    // A plum branch across the upper left.
    setColour(cr, hex(0x0a0d14));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    struct Seg { double x0, y0, x1, y1, x2, y2, x3, y3, w; };
    const Seg segs[] = {
        {-10, 250, 60, 210, 120, 150, 210, 120, 13},
        {210, 120, 260, 100, 300, 60, 330, 20, 7},
        {120, 160, 130, 120, 110, 80, 130, 40, 5},
        {210, 120, 250, 140, 300, 150, 350, 200, 5},
        {60, 215, 40, 180, 50, 140, 30, 100, 4.5},
    };
    for (const Seg &s : segs) {
        cairo_set_line_width(cr, s.w);
        cairo_move_to(cr, s.x0, s.y0);
        cairo_curve_to(cr, s.x1, s.y1, s.x2, s.y2, s.x3, s.y3);
        cairo_stroke(cr);
    }
    const double blossoms[][3] = {{128, 45, 11}, {300, 62, 10}, {325, 25, 8},  {250, 103, 11}, {345, 195, 10},
                                  {300, 152, 8}, {32, 105, 10}, {50, 150, 8},  {165, 135, 10}, {92, 188, 10},
                                  {118, 100, 8}, {275, 82, 8},  {230, 130, 7}, {210, 118, 10}, {185, 128, 6},
                                  {140, 70, 7},  {36, 128, 6},  {318, 40, 6}};
    for (const auto &b : blossoms) {
        for (int i = 0; i < 5; ++i) {
            double a = i * 2 * M_PI / 5 + b[0];
            setColour(cr, hex(0xd98aa0), 0.92);
            cairo_arc(cr, b[0] + std::cos(a) * b[2] * 0.55, b[1] + std::sin(a) * b[2] * 0.55, b[2] * 0.5, 0,
                      2 * M_PI);
            cairo_fill(cr);
        }
        setColour(cr, hex(0xf0d27a));
        cairo_arc(cr, b[0], b[1], b[2] * 0.22, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    // A few faint stars.
    for (int i = 0; i < 40; ++i) {
        double x = art::hash01(i, 1, 52) * kW, y = art::hash01(i, 2, 52) * 300;
        if (std::hypot(x - 400, y - 95) < 60)
            continue;
        setColour(cr, hex(0xc8d0e8), 0.25 + 0.35 * art::hash01(i, 3, 52));
        cairo_arc(cr, x, y, 0.7, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    vignette(c, 0.35);
}

void indigoWaves(Canvas &c)
{
    const Rgb base = hex(0x15254a), line = hex(0x2c4478);
    cairo_t *cr = c.cr();
    setColour(cr, base);
    cairo_paint(cr);
    const double R = 34;
    cairo_set_line_width(cr, 2.2);
    for (int row = 0; row * R * 0.5 < kH + R; ++row)
        for (int col = -1; col * 2 * R < kW + 2 * R; ++col) {
            double x = col * 2 * R + (row % 2 ? R : 0), y = row * R * 0.5;
            setColour(cr, art::mix(base, hex(0x0e1a36), 0.3));
            cairo_arc(cr, x, y, R, M_PI, 2 * M_PI);
            cairo_close_path(cr);
            cairo_fill(cr);
            for (int k = 0; k < 4; ++k) {
                setColour(cr, art::mix(line, base, k * 0.15));
                cairo_arc(cr, x, y, R * (1 - k * 0.24) - 1.2, M_PI, 2 * M_PI);
                cairo_stroke(cr);
            }
        }
    // Slow shading over the pattern keeps it quiet.
    Picture p = c.picture();
    shade(c, [&](double x, double y) {
        Rgb col = unpack(p.at(int(x), int(y)));
        double n = art::fractalNoise(x / 180, y / 180, 61, 3);
        return art::mix(col, base, 0.35 + 0.25 * n);
    });
    vignette(c, 0.45);
}

void goldLattice(Canvas &c)
{
    const Rgb dark = hex(0x2a2214), light = hex(0x3f3320);
    shade(c, [&](double x, double y) {
        return art::mix(dark, light, art::fractalNoise(x / 150, y / 150, 71, 4));
    });
    cairo_t *cr = c.cr();
    // A window lattice: squares joined by fretted bars.
    const double P = 52;
    setColour(cr, hex(0xb8923e), 0.16);
    cairo_set_line_width(cr, 3);
    for (double y = -P / 2; y < kH; y += P)
        for (double x = -P / 2; x < kW; x += P) {
            cairo_rectangle(cr, x + 10, y + 10, P - 20, P - 20);
            cairo_move_to(cr, x + P / 2, y + 10);
            cairo_line_to(cr, x + P / 2, y - 10);
            cairo_move_to(cr, x + 10, y + P / 2);
            cairo_line_to(cr, x - 10, y + P / 2);
        }
    cairo_stroke(cr);
    setColour(cr, hex(0x000000), 0.25);
    cairo_set_line_width(cr, 1);
    for (double y = -P / 2; y < kH; y += P)
        for (double x = -P / 2; x < kW; x += P)
            cairo_rectangle(cr, x + 18, y + 18, P - 36, P - 36);
    cairo_stroke(cr);
    vignette(c, 0.5);
}

void lotusPond(Canvas &c)
{
    const Rgb deep = hex(0x0c2a2e), shallow = hex(0x1d4a4a);
    shade(c, [&](double x, double y) {
        double ripple = std::sin(y / 4.0 + art::fractalNoise(x / 60, y / 20, 81, 4) * 9);
        double n = art::fractalNoise(x / 120, y / 70, 82, 4);
        return art::mix(deep, shallow, std::clamp(0.35 + 0.45 * n + 0.06 * ripple, 0.0, 1.0));
    });
    cairo_t *cr = c.cr();
    const double pads[][4] = {{60, 80, 48, 0.3},   {470, 60, 40, 1.2},  {30, 330, 55, 2.0}, {490, 300, 50, 4.0},
                              {260, 30, 34, 5.0},  {180, 380, 38, 2.8}, {400, 400, 36, 0.8}, {120, 210, 30, 3.4},
                              {420, 190, 32, 5.6}, {300, 250, 26, 1.7}};
    for (const auto &p : pads) {
        cairo_save(cr);
        cairo_translate(cr, p[0], p[1]);
        cairo_scale(cr, 1, 0.62);
        cairo_new_path(cr);
        cairo_move_to(cr, 0, 0);
        cairo_arc(cr, 0, 0, p[2], p[3] + 0.25, p[3] + 2 * M_PI - 0.25);
        cairo_close_path(cr);
        cairo_restore(cr);
        cairo_pattern_t *g = cairo_pattern_create_radial(p[0], p[1], 2, p[0], p[1], p[2]);
        cairo_pattern_add_color_stop_rgb(g, 0, 0.26, 0.42, 0.25);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.15, 0.30, 0.19);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        cairo_save(cr);
        cairo_translate(cr, p[0], p[1]);
        cairo_scale(cr, 1, 0.62);
        cairo_set_source_rgba(cr, 0.4, 0.55, 0.35, 0.35);
        cairo_set_line_width(cr, 1.2);
        for (int i = 1; i < 9; ++i) {
            double a = p[3] + 0.25 + i * (2 * M_PI - 0.5) / 9;
            cairo_move_to(cr, 0, 0);
            cairo_line_to(cr, std::cos(a) * p[2] * 0.9, std::sin(a) * p[2] * 0.9);
        }
        cairo_restore(cr);
        cairo_stroke(cr);
    }
    // Two lotus flowers.
    for (const auto &f : {std::array<double, 3>{466, 58, 26}, std::array<double, 3>{38, 326, 30}}) {
        for (int i = -2; i <= 2; ++i) {
            double a = -M_PI / 2 + i * 0.42;
            double len = f[2] * (1.0 - std::abs(i) * 0.12);
            double ex = f[0] + std::cos(a) * len, ey = f[1] + std::sin(a) * len;
            double nx = -std::sin(a) * f[2] * 0.32, ny = std::cos(a) * f[2] * 0.32;
            setColour(cr, art::mix(hex(0xc86a86), hex(0xf0c8d4), std::abs(i) * 0.25));
            cairo_move_to(cr, f[0], f[1]);
            cairo_curve_to(cr, f[0] + nx, f[1] + ny, ex + nx, ey + ny, ex, ey);
            cairo_curve_to(cr, ex - nx, ey - ny, f[0] - nx, f[1] - ny, f[0], f[1]);
            cairo_fill(cr);
        }
    }
    vignette(c, 0.45);
}

void plumSilk(Canvas &c)
{
    const Rgb dark = hex(0x2a1228), light = hex(0x452040);
    shade(c, [&](double x, double y) { return silk(x, y, dark, light, 91); });
    damask(c.cr(), hex(0xd8a0c8), 0.055, 80);
    vignette(c, 0.45);
}

void jadeSilk(Canvas &c)
{
    const Rgb dark = hex(0x0f3b36), light = hex(0x1d5a50);
    shade(c, [&](double x, double y) { return silk(x, y, dark, light, 101); });
    damask(c.cr(), hex(0x9fd8c0), 0.055, 72);
    vignette(c, 0.45);
}

} // namespace

Picture background(int index)
{
    Canvas canvas(kW, kH);
    switch (index) {
    case 0: cinnabarLacquer(canvas); break;
    case 1: mistyMountains(canvas); break;
    case 2: bambooGrove(canvas); break;
    case 3: walnut(canvas); break;
    case 4: nightPlum(canvas); break;
    case 5: indigoWaves(canvas); break;
    case 6: goldLattice(canvas); break;
    case 7: lotusPond(canvas); break;
    case 8: plumSilk(canvas); break;
    default: jadeSilk(canvas); break;
    }
    Picture p = canvas.picture();
    calmBottom(p);
    // Opaque everywhere: the backgrounds are JPEG and drawn with the plain blit.
    for (uint32_t &px : p.argb)
        px |= 0xff000000u;
    return p;
}

Picture backgroundPreview(int index)
{
    return backgroundPreview(background(index));
}

Picture backgroundPreview(const Picture &full)
{
    // The middle of the backdrop, scaled down, in a gold frame.
    cairo_surface_t *s = art::toSurface(full);
    const int W = kBackgroundPreviewW, H = kBackgroundPreviewH;
    Canvas canvas(W, H);
    cairo_t *cr = canvas.cr();
    const double k = 0.5;
    cairo_save(cr);
    cairo_scale(cr, k, k);
    cairo_set_source_surface(cr, s, -(kW - W / k) / 2, -(kH - H / k) / 2 + 20);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(s);
    drawPreviewFrame(cr, W, H, 3.5);
    Picture p = canvas.picture();
    for (uint32_t &px : p.argb)
        px |= 0xff000000u;
    return p;
}

} // namespace tileart
} // namespace content

// Tile sheets, tile and layout previews, layout titles, shadow strips and
// hover outlines, and the entries of all the tile art in the archive.
#include "content/art_tiles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "game/TMScreenLayout.h"

namespace content {
namespace tileart {

using art::Canvas;
using art::Font;
using art::hex;
using art::Rgb;
using art::setColour;

namespace {

struct TileStyle
{
    Rgb faceLight, faceDark;  // face gradient, top left to bottom right
    Rgb rim;                  // the bevelled border of the face
    Rgb edge;                 // the face layer seen on the side and bottom
    Rgb back;                 // the back layer
    Rgb outline;
    Inks inks;
    int frame;                // 0 none, 1 thin inner line, 2 line with corner studs
    Rgb frameColour;
    int texture;              // 0 none, 1 clouded stone, 2 bone grain, 3 speckled
    double textureStrength;
};

// Faces stay at moderate brightness: the game adds a tile onto itself for
// the selection and the show-moves highlight.
TileStyle style(int set)
{
    switch (set) {
    case 0:  // ivory on jade, the classic look
        return {hex(0xeee4c8), hex(0xd9ccaa), hex(0xc9b88e), hex(0xe6dabb), hex(0x2c6b50), hex(0x1d2420),
                {hex(0x1c2238), hex(0xb3261e), hex(0x1b7043), hex(0x1f4c94), hex(0xeee4c8), hex(0xc08a22)},
                0, hex(0), 2, 0.3};
    case 1:  // blue and white porcelain
        return {hex(0xe8edf0), hex(0xcdd8df), hex(0xb3c2ce), hex(0xdde5eb), hex(0x23418f), hex(0x141c33),
                {hex(0x14275a), hex(0xb2262a), hex(0x17716a), hex(0x1d44a8), hex(0xe8edf0), hex(0xb4822a)},
                1, hex(0x7f9bc9), 0, 0};
    case 2:  // bone and walnut
        return {hex(0xe0cca0), hex(0xc6ab7c), hex(0xae9264), hex(0xd3bd90), hex(0x5a3420), hex(0x22140b),
                {hex(0x2b190e), hex(0x8f2317), hex(0x3d5e1d), hex(0x293c6a), hex(0xe0cca0), hex(0x8c5c16)},
                0, hex(0), 2, 1.0};
    case 3:  // black lacquer with gold and cinnabar
        return {hex(0x35302b), hex(0x1e1a17), hex(0x5a4a30), hex(0x433528), hex(0x8e2219), hex(0x0a0806),
                {hex(0xe6d4a6), hex(0xe4563f), hex(0x52b47c), hex(0x6a9ae0), hex(0x2a2521), hex(0xd8b45a)},
                2, hex(0xb89445), 0, 0};
    case 4:  // green jade
        return {hex(0xb3d2bb), hex(0x8db79a), hex(0x79a386), hex(0xa3c7ad), hex(0x1c4a3b), hex(0x0c1f18),
                {hex(0x0e2a22), hex(0x9a1d1d), hex(0x0c5130), hex(0x173a78), hex(0xc0dcc7), hex(0x7d5a14)},
                1, hex(0x5f8f70), 1, 0.7};
    case 5:  // honey amber
        return {hex(0xe3bd78), hex(0xc99650), hex(0xb07a3c), hex(0xd8ae6c), hex(0x6b2d12), hex(0x251007),
                {hex(0x341706), hex(0x9c1b10), hex(0x2d5a17), hex(0x213b78), hex(0xeed29a), hex(0x7a4410)},
                0, hex(0), 1, 0.6};
    case 6:  // slate blue stone
        return {hex(0x56647f), hex(0x3a455b), hex(0x2c3547), hex(0x4a5670), hex(0x192030), hex(0x0b0e16),
                {hex(0xf0e8d4), hex(0xff8a72), hex(0x86d49b), hex(0x9cc2ff), hex(0x46526a), hex(0xf0cf7a)},
                1, hex(0x8a98b4), 3, 1.0};
    default:  // pastel rose and lavender
        return {hex(0xf0dfe4), hex(0xdfc6d2), hex(0xc9aabe), hex(0xe8d5de), hex(0x7d64a8), hex(0x2c2238),
                {hex(0x433562), hex(0xc9405f), hex(0x2f9270), hex(0x4663b5), hex(0xf3e5ea), hex(0xc08f30)},
                0, hex(0), 0, 0};
    }
}

// A faint natural texture over the face plate, different on every tile.
void faceTexture(cairo_t *cr, int texture, double strength, int image)
{
    if (texture == 0)
        return;
    Picture p(kFaceW, kFaceH);
    const uint32_t seed = 1000u + uint32_t(image) * 31u;
    for (int y = 0; y < kFaceH; ++y)
        for (int x = 0; x < kFaceW; ++x) {
            double v;
            if (texture == 1)
                v = (art::fractalNoise(x / 9.0, y / 9.0, seed, 4) - 0.5) * 0.9;
            else if (texture == 2)
                v = (art::fractalNoise(x / 1.6, y / 22.0, seed, 3) - 0.5) * 0.55;
            else
                v = art::hash01(x, y, seed) > 0.93 ? -0.35 : (art::fractalNoise(x / 6.0, y / 6.0, seed, 2) - 0.5) * 0.4;
            uint32_t a = uint32_t(std::min(255.0, std::fabs(v) * 255 * 0.5 * strength));
            p.at(x, y) = a << 24 | (v > 0 ? 0xffffffu : 0x000000u);
        }
    cairo_surface_t *s = art::toSurface(p);
    cairo_save(cr);
    art::roundedRect(cr, 7.0, 0.9, 31.1, 46.1, 2.6);
    cairo_clip(cr);
    cairo_set_source_surface(cr, s, kFaceX, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(s);
}

// The block seen in a cell: the face at its top right, the side strip
// (kSideW wide) to its left and the bottom edge (kEdgeH high) below it.
constexpr double kSideW = kFaceX, kEdgeH = kCellH - kFaceH;
constexpr double kFaceRight = kFaceX + kFaceW;

// The outline of a tile picture in its cell.
void hexagonPath(cairo_t *cr)
{
    cairo_move_to(cr, kFaceX, 0);
    cairo_line_to(cr, kFaceRight, 0);
    cairo_line_to(cr, kFaceRight, kFaceH);
    cairo_line_to(cr, kFaceRight - kSideW, kCellH);
    cairo_line_to(cr, 0, kCellH);
    cairo_line_to(cr, 0, kEdgeH);
    cairo_close_path(cr);
}

// One tile picture with its top-left cell corner at the origin.
void drawTile(cairo_t *cr, const TileStyle &s, int image)
{
    cairo_save(cr);
    cairo_new_path(cr);
    hexagonPath(cr);
    cairo_clip(cr);

    // Body: back layer, then the face layer's share of the thickness.
    setColour(cr, s.back);
    cairo_paint(cr);
    const double f = 0.42;
    cairo_move_to(cr, kFaceX, 0);
    cairo_line_to(cr, kFaceRight, 0);
    cairo_line_to(cr, kFaceRight, kFaceH);
    cairo_line_to(cr, kFaceRight - kSideW * f, kFaceH + kEdgeH * f);
    cairo_line_to(cr, kFaceX - kSideW * f, kFaceH + kEdgeH * f);
    cairo_line_to(cr, kFaceX - kSideW * f, kEdgeH * f);
    cairo_close_path(cr);
    setColour(cr, s.edge);
    cairo_fill(cr);
    // A fine seam between the two layers.
    setColour(cr, art::scale(s.back, 0.7), 0.8);
    cairo_set_line_width(cr, 0.6);
    cairo_move_to(cr, kFaceX - kSideW * f, kEdgeH * f);
    cairo_line_to(cr, kFaceX - kSideW * f, kFaceH + kEdgeH * f);
    cairo_line_to(cr, kFaceRight - kSideW * f, kFaceH + kEdgeH * f);
    cairo_stroke(cr);
    // The bottom edge darker than the side strip, so the two read as
    // separate faces of the block.
    cairo_move_to(cr, kFaceX, kFaceH);
    cairo_line_to(cr, kFaceRight, kFaceH);
    cairo_line_to(cr, kFaceRight - kSideW, kCellH);
    cairo_line_to(cr, 0, kCellH);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.24);
    cairo_fill(cr);
    cairo_move_to(cr, 0, kEdgeH);
    cairo_line_to(cr, kFaceX, 0);
    cairo_line_to(cr, kFaceX, kFaceH);
    cairo_line_to(cr, 0, kCellH);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.08);
    cairo_fill(cr);
    // A sheen along the left side's outer edge.
    cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, 1.5, 8);
    cairo_line_to(cr, 1.5, 53);
    cairo_stroke(cr);

    // Face: a bevelled rim around a softly lit plate.
    setColour(cr, s.rim);
    cairo_rectangle(cr, kFaceX, 0, kFaceW, kFaceH);
    cairo_fill(cr);
    cairo_pattern_t *g = cairo_pattern_create_linear(kFaceX, 0, kFaceRight, kFaceH);
    cairo_pattern_add_color_stop_rgb(g, 0, s.faceLight.r, s.faceLight.g, s.faceLight.b);
    cairo_pattern_add_color_stop_rgb(g, 1, s.faceDark.r, s.faceDark.g, s.faceDark.b);
    art::roundedRect(cr, 7.0, 0.9, 31.1, 46.1, 2.6);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Highlight on the upper left inside of the rim.
    cairo_set_source_rgba(cr, 1, 1, 1, 0.22);
    cairo_set_line_width(cr, 0.8);
    cairo_move_to(cr, 7.8, 45.5);
    cairo_line_to(cr, 7.8, 3.4);
    cairo_arc(cr, 9.6, 3.4, 1.8, M_PI, 1.5 * M_PI);
    cairo_line_to(cr, 36.5, 1.6);
    cairo_stroke(cr);

    faceTexture(cr, s.texture, s.textureStrength, image);

    if (s.frame > 0) {
        setColour(cr, s.frameColour, 0.9);
        cairo_set_line_width(cr, 0.7);
        art::roundedRect(cr, 8.9, 2.8, 27.4, 42.4, 1.5);
        cairo_stroke(cr);
        if (s.frame == 2) {
            for (double x : {9.3, 35.7})
                for (double y : {3.2, 44.8}) {
                    cairo_arc(cr, x, y, 1.1, 0, 2 * M_PI);
                    cairo_fill(cr);
                }
        }
    }

    if (image >= 0) {
        cairo_save(cr);
        cairo_translate(cr, kFaceX, 0);
        drawFace(cr, image, s.inks);
        cairo_restore(cr);
    }

    // Outline: a line on the inside of the hexagon, and the edges of the face.
    setColour(cr, s.outline, 0.55);
    cairo_set_line_width(cr, 0.8);
    cairo_move_to(cr, kFaceX, 0.5);
    cairo_line_to(cr, kFaceX, kFaceH);
    cairo_line_to(cr, kFaceRight, kFaceH);
    cairo_stroke(cr);
    setColour(cr, s.outline);
    cairo_set_line_width(cr, 2.0);
    hexagonPath(cr);
    cairo_stroke(cr);
    cairo_restore(cr);
}

} // namespace

Picture tileSheet(int set)
{
    Canvas canvas(kColumns * kCellW, kRows * kCellH);
    const TileStyle s = style(set);
    for (int image = 0; image < kColumns * kRows; ++image) {
        if (!isTileImage(image))
            continue;
        cairo_save(canvas.cr());
        cairo_translate(canvas.cr(), (image % kColumns) * kCellW, (image / kColumns) * kCellH);
        drawTile(canvas.cr(), s, image);
        cairo_restore(canvas.cr());
    }
    Picture p = canvas.picture();
    art::makeBinaryAlpha(p);
    return p;
}

namespace {

// The 144 pictures of a deal, in the order of the game's tile-kind table.
std::vector<int> allImages()
{
    std::vector<int> images;
    for (const TMTileKind &row : g_tileKindTable)
        images.insert(images.end(), size_t(row.count), int(row.image));
    return images;
}

// Stands tile i of the board on positions[i] and sorts the board's draw list
// from index order into the game's painting order.
void placeTiles(TMBoard &board, const std::vector<TilePos> &positions)
{
    if (positions.size() > size_t(TM_TILE_COUNT))
        throw std::length_error("a board holds at most 144 tiles");
    for (size_t i = 0; i < positions.size(); ++i) {
        board.tiles[i] = tileOn(positions[i]);
        board.drawList[i] = &board.tiles[i];
    }
    board.sortDrawList();
}

// A neighbour's face [faceLo, faceHi] over the start of a shadow strip
// [lo, hi] moves the start past it (`skipped` counts the shadow passed
// over); one over a later part ends the strip there.
void trimStrip(int &lo, int &hi, int &skipped, int faceLo, int faceHi)
{
    if (faceLo <= lo && lo <= faceHi) {
        skipped += faceHi - lo;
        lo = faceHi;
    } else if (lo < faceLo && faceLo <= hi) {
        hi = faceLo;
    }
}

// The part of a shadow picture, placed at (px, py), that falls in the strip.
void paintStrip(cairo_t *cr, cairo_surface_t *shadow, const HRect &strip, int px, int py)
{
    cairo_save(cr);
    cairo_rectangle(cr, strip.x0, strip.y0, strip.x1 - strip.x0, strip.y1 - strip.y0);
    cairo_clip(cr);
    cairo_set_source_surface(cr, shadow, px, py);
    cairo_paint(cr);
    cairo_restore(cr);
}

} // namespace

void drawPreviewFrame(cairo_t *cr, int w, int h, double inner)
{
    setColour(cr, hex(0x9c7a2e));
    cairo_set_line_width(cr, 3);
    cairo_rectangle(cr, 1.5, 1.5, w - 3, h - 3);
    cairo_stroke(cr);
    setColour(cr, hex(0xd8b45a));
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, inner, inner, w - 2 * inner, h - 2 * inner);
    cairo_stroke(cr);
}

TMTile tileOn(const TilePos &position)
{
    TMTile t;
    t.present = 1;
    t.x = position.x;
    t.y = position.y;
    t.z = position.z;
    return t;
}

std::vector<int> paintingOrder(const std::vector<TilePos> &positions)
{
    TMBoard board;
    placeTiles(board, positions);
    std::vector<int> order;
    for (size_t i = 0; i < positions.size(); ++i)
        order.push_back(int(board.drawList[i] - board.tiles));
    return order;
}

Picture shadowTop()
{
    Picture p(kFaceW, kShadowTopH);
    for (int r = 0; r < kShadowTopH; ++r) {
        // The shadow is the face moved one layer step right and up: its left
        // end is a diagonal, darkest next to the tile.
        double edge = double(kShadowRightW) * (kShadowTopH - (r + 0.5)) / kShadowTopH;
        double strength = 36 + 134 * std::pow((r + 1) / double(kShadowTopH), 1.4);
        for (int c = 0; c < kFaceW; ++c) {
            double cover = std::clamp(c + 1.0 - edge, 0.0, 1.0);
            int a = static_cast<int>(std::lround(strength * cover));
            p.at(c, r) = uint32_t(a) << 24 | 0x0e0c0au;
        }
    }
    return p;
}

Picture shadowRight()
{
    Picture p(kShadowRightW, kFaceH);
    for (int r = 0; r < kFaceH; ++r) {
        double end = r >= kFaceH - 3 ? (kFaceH - r) / 4.0 : 1.0;
        for (int c = 0; c < kShadowRightW; ++c) {
            double strength = 36 + 134 * std::pow((kShadowRightW - c) / double(kShadowRightW), 1.4);
            int a = static_cast<int>(std::lround(strength * end));
            p.at(c, r) = uint32_t(a) << 24 | 0x0e0c0au;
        }
    }
    return p;
}

Picture outline(bool free)
{
    Canvas canvas(kFaceW, kFaceH);
    cairo_t *cr = canvas.cr();
    Rgb c = free ? hex(0x46e07a) : hex(0xf04a3c);
    // A crisp frame with a soft glow on its inside; the middle stays clear.
    for (int i = 3; i >= 1; --i) {
        setColour(cr, c, 0.16 * (4 - i));
        cairo_set_line_width(cr, 1.0);
        art::roundedRect(cr, 2.0 + i, 2.0 + i, kFaceW - 4.0 - 2 * i, kFaceH - 4.0 - 2 * i, 2.5);
        cairo_stroke(cr);
    }
    setColour(cr, c);
    cairo_set_line_width(cr, 2.2);
    art::roundedRect(cr, 1.3, 1.3, kFaceW - 2.6, kFaceH - 2.6, 3.0);
    cairo_stroke(cr);
    setColour(cr, art::mix(c, hex(0xffffff), 0.55), 0.9);
    cairo_set_line_width(cr, 0.7);
    art::roundedRect(cr, 1.3, 1.3, kFaceW - 2.6, kFaceH - 2.6, 3.0);
    cairo_stroke(cr);
    return canvas.picture();
}

Picture tilePreview(int set)
{
    return tilePreview(tileSheet(set));
}

Picture tileRow(const Picture &sheet, const std::vector<int> &images)
{
    const int n = int(images.size());
    Picture out(kFaceX + n * kFaceW, kCellH);
    // Right to left, so each tile's face covers the side of the one on its right.
    for (int i = n - 1; i >= 0; --i) {
        int sx = (images[i] % kColumns) * kCellW, sy = (images[i] / kColumns) * kCellH;
        for (int y = 0; y < kCellH; ++y)
            for (int x = 0; x < kCellW; ++x) {
                uint32_t px = sheet.at(sx + x, sy + y);
                if (px >> 24)
                    out.at(i * kFaceW + x, y) = px;
            }
    }
    return out;
}

Picture tilePreview(const Picture &sheet)
{
    // Four tiles side by side: a character, the bird, a circle and the red
    // dragon.
    const Picture row = tileRow(sheet, {4, 13, 28, 43});
    Picture out(kTilePreviewW, kTilePreviewH);
    const int x0 = (kTilePreviewW - row.width) / 2, y0 = (kTilePreviewH - row.height) / 2;
    for (int y = 0; y < row.height; ++y)
        for (int x = 0; x < row.width; ++x)
            out.at(x0 + x, y0 + y) = row.at(x, y);
    return out;
}

Picture layoutTitlePicture(int layout)
{
    Canvas canvas(kLayoutTitleW, kLayoutTitleH);
    cairo_t *cr = canvas.cr();
    cairo_pattern_t *g = cairo_pattern_create_linear(0, 0, 0, 16);
    cairo_pattern_add_color_stop_rgb(g, 0, 0x1d / 255.0, 0x5a / 255.0, 0x50 / 255.0);
    cairo_pattern_add_color_stop_rgb(g, 1, 0x0f / 255.0, 0x3b / 255.0, 0x36 / 255.0);
    art::roundedRect(cr, 0, 0, 160, 16, 4);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    setColour(cr, hex(0xd8b45a));
    cairo_set_line_width(cr, 1.0);
    art::roundedRect(cr, 0.5, 0.5, 159, 15, 3.5);
    cairo_stroke(cr);
    // Small gold diamonds at both ends frame the name.
    for (double x : {9.0, 151.0}) {
        cairo_move_to(cr, x, 4.5);
        cairo_line_to(cr, x + 3.5, 8);
        cairo_line_to(cr, x, 11.5);
        cairo_line_to(cr, x - 3.5, 8);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    char fallback[32];
    const char *title = layoutTitle(layout);
    if (!title) {
        std::snprintf(fallback, sizeof fallback, "Layout %d", layout + 1);
        title = fallback;
    }
    double w, h;
    double size = 12;
    art::textInkSize(cr, Font::SerifBold, size, title, &w, &h);
    if (w > 130)
        size *= 130 / w;
    setColour(cr, hex(0xf4ecd6));
    art::drawTextOnCapLine(cr, Font::SerifBold, size, title, 80, 8);
    Picture p = canvas.picture();
    art::makeBinaryAlpha(p);
    return p;
}

std::vector<TilePos> previewPositions(int layout)
{
    const std::vector<TilePos> &given = layoutPositions(layout);
    if (given.size() == size_t(TM_TILE_COUNT))
        return given;
    // Stand-in: a stepped pyramid of 72 + 40 + 16 + 12 + 4 tiles.
    std::vector<TilePos> out;
    const int sizes[5][2] = {{12, 6}, {10, 4}, {8, 2}, {6, 2}, {2, 2}};
    for (int z = 0; z < 5; ++z) {
        int cols = sizes[z][0], rows = sizes[z][1];
        int x0 = 12 - cols + 1, y0 = 6 - rows + 1;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                out.push_back({x0 + 2 * c - 1, y0 + 2 * r - 1, z});
    }
    return out;
}

Picture renderBoard(const std::vector<TilePos> &positions, const Picture &sheet, const Picture *backdrop,
                    double depthShade, uint32_t dealSeed)
{
    Canvas canvas(tmscreen::kScreenWidth, tmscreen::kScreenHeight);
    cairo_t *cr = canvas.cr();
    if (backdrop) {
        cairo_surface_t *bg = art::toSurface(*backdrop);
        cairo_set_source_surface(cr, bg, tmscreen::kBackgroundPicture.x, tmscreen::kBackgroundPicture.y);
        cairo_paint(cr);
        cairo_surface_destroy(bg);
    }

    TMBoard board;
    placeTiles(board, positions);
    // A deal: the kinds in table order, each placed at a free random slot;
    // the table has a picture for every tile a board can hold.
    std::vector<int> images = allImages();
    std::vector<bool> dealt(positions.size(), false);
    uint32_t state = dealSeed * 2654435761u + 12345u;
    for (size_t i = 0; i < images.size() && i < positions.size(); ++i) {
        size_t slot;
        do {
            state = state * 1664525u + 1013904223u;
            slot = (state >> 8) % positions.size();
        } while (dealt[slot]);
        dealt[slot] = true;
        board.tiles[slot].image = images[i];
    }
    int topLayer = 0;
    for (size_t i = 0; i < positions.size(); ++i)
        topLayer = std::max(topLayer, int(board.tiles[i].z));

    cairo_surface_t *sheetSurface = art::toSurface(sheet);
    Picture top = shadowTop(), right = shadowRight();
    cairo_surface_t *topSurface = art::toSurface(top);
    cairo_surface_t *rightSurface = art::toSurface(right);

    for (size_t i = 0; i < positions.size(); ++i) {
        const TMTile &t = *board.drawList[i];
        HRect r;
        board.getImageRect(&t, &r);
        int sx = (t.image % kColumns) * kCellW, sy = (t.image / kColumns) * kCellH;
        cairo_save(cr);
        cairo_rectangle(cr, r.x0, r.y0, kCellW, kCellH);
        cairo_clip(cr);
        cairo_set_source_surface(cr, sheetSurface, r.x0 - sx, r.y0 - sy);
        cairo_paint(cr);
        double shade = depthShade * (topLayer - t.z);
        if (shade > 0) {
            cairo_set_source_rgba(cr, 0, 0, 0, std::min(shade, 0.6));
            cairo_mask_surface(cr, sheetSurface, r.x0 - sx, r.y0 - sy);
        }
        cairo_restore(cr);

        const int x = t.x, y = t.y, z = t.z;
        auto present = [&](int dx, int dy) { return board.tileAt(x + dx, y + dy, z, true); };
        HRect face, nf;
        board.getFaceRect(&t, &face);
        if (!present(0, -2)) {
            HRect strip(face.x0, face.y0 - top.height, face.x0 + top.width, face.y0);
            int srcX = 0;
            const int around[5][2] = {{-1, -2}, {0, -2}, {1, -2}, {2, -2}, {2, -1}};
            for (const auto &d : around) {
                const TMTile *n = present(d[0], d[1]);
                if (!n)
                    continue;
                board.getFaceRect(n, &nf);
                trimStrip(strip.x0, strip.x1, srcX, nf.x0, nf.x1);
            }
            if (strip.x1 > strip.x0)
                paintStrip(cr, topSurface, strip, strip.x0 - srcX, strip.y0);
        }
        if (!present(2, 0)) {
            HRect strip(face.x1, face.y0 + 1 - top.height, face.x1 + right.width,
                        face.y0 + 1 - top.height + right.height);
            int srcY = 0;
            const int around[5][2] = {{1, -2}, {2, -2}, {2, -1}, {2, 0}, {2, 1}};
            for (const auto &d : around) {
                const TMTile *n = present(d[0], d[1]);
                if (!n)
                    continue;
                board.getFaceRect(n, &nf);
                trimStrip(strip.y0, strip.y1, srcY, nf.y0, nf.y1);
            }
            if (strip.y1 > strip.y0)
                paintStrip(cr, rightSurface, strip, strip.x0, strip.y0 - srcY);
        }
    }
    cairo_surface_destroy(topSurface);
    cairo_surface_destroy(rightSurface);
    cairo_surface_destroy(sheetSurface);
    return canvas.picture();
}

Picture layoutPreview(int layout)
{
    static const Picture sheet = tileSheet(0);
    Picture board = renderBoard(previewPositions(layout), sheet, nullptr, 0.08, 7u + layout);

    // The bounding box of what was drawn.
    int x0 = board.width, y0 = board.height, x1 = 0, y1 = 0;
    for (int y = 0; y < board.height; ++y)
        for (int x = 0; x < board.width; ++x)
            if ((board.at(x, y) >> 24) != 0) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x + 1);
                y1 = std::max(y1, y + 1);
            }

    const int W = kLayoutPreviewW, H = kLayoutPreviewH;
    Canvas canvas(W, H);
    cairo_t *cr = canvas.cr();
    // A jade lacquer panel in a gold frame.
    cairo_pattern_t *g = cairo_pattern_create_radial(W / 2.0, H / 2.0, 10, W / 2.0, H / 2.0, 170);
    cairo_pattern_add_color_stop_rgb(g, 0, 0x1f / 255.0, 0x5e / 255.0, 0x54 / 255.0);
    cairo_pattern_add_color_stop_rgb(g, 1, 0x0b / 255.0, 0x2e / 255.0, 0x2a / 255.0);
    cairo_set_source(cr, g);
    cairo_paint(cr);
    cairo_pattern_destroy(g);
    drawPreviewFrame(cr, W, H, 4.5);

    if (x1 > x0 && y1 > y0) {
        const double margin = 14;
        double k = std::min((W - 2 * margin) / (x1 - x0), (H - 2 * margin) / (y1 - y0));
        k = std::min(k, 0.6);
        cairo_surface_t *s = art::toSurface(board);
        cairo_save(cr);
        cairo_translate(cr, (W - (x1 - x0) * k) / 2, (H - (y1 - y0) * k) / 2);
        cairo_scale(cr, k, k);
        cairo_set_source_surface(cr, s, -x0, -y0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_surface_destroy(s);
    }
    return canvas.picture();
}

} // namespace tileart

void addTileArtEntries(Entries &out)
{
    using namespace tileart;
    char name[64];
    // Each sheet and background is drawn once and reused for its preview.
    std::vector<Picture> sheets;
    for (int set = 0; set < kTileSets; ++set) {
        sheets.push_back(tileSheet(set));
        std::snprintf(name, sizeof name, "art/tileset_%d.tga", set + 1);
        art::addTga(out, name, sheets.back());
    }
    for (int set = 0; set < kTileSets; ++set) {
        std::snprintf(name, sizeof name, "art/preview_tile_%d.tga", set + 1);
        art::addTga(out, name, tilePreview(sheets[set]));
    }
    for (int layout = 0; layout < kLayouts; ++layout) {
        std::snprintf(name, sizeof name, "art/preview_layout_%d.jpg", layout + 1);
        art::addJpeg(out, name, layoutPreview(layout));
    }
    for (int layout = 0; layout < kLayouts; ++layout) {
        std::snprintf(name, sizeof name, "art/title_layout_%d.tga", layout + 1);
        art::addTga(out, name, layoutTitlePicture(layout));
    }
    art::addTga(out, "art/shadow_top.tga", shadowTop());
    art::addTga(out, "art/shadow_right.tga", shadowRight());
    art::addTga(out, "art/outline_green.tga", outline(true));
    art::addTga(out, "art/outline_red.tga", outline(false));
    std::vector<Picture> previews;
    for (int b = 0; b < kBackgrounds; ++b) {
        Picture full = background(b);
        previews.push_back(backgroundPreview(full));
        std::snprintf(name, sizeof name, "art/arena%d_tl.jpg", b + 1);
        art::addJpeg(out, name, full);
    }
    for (int b = 0; b < kBackgrounds; ++b) {
        std::snprintf(name, sizeof name, "art/preview_background_%d.jpg", b + 1);
        art::addJpeg(out, name, previews[b]);
    }
}

} // namespace content

// The game's screen pictures: loading screen, left panel, title screen, pause
// and end pictures, the no-match plate, the controls and the HUD labels.
#include "content/ContentKit.h"
#include "content/art_screens_draw.h"
#include "content/art_screens_parts.h"
#include "content/art_tiles.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace content {

void addScreenArtEntries(Entries &out)
{
    screenart::addLoadingScreen(out);
    screenart::addScreens(out);
    screenart::addControls(out);
    screenart::addFontAndDigits(out);
    screenart::addDialogs(out);
    screenart::addRules(out);
}

namespace screenart {

namespace {

const Rgb kTileRed{0.70, 0.13, 0.10};
const Rgb kTileGreen{0.05, 0.45, 0.25};
const Rgb kTileBlue{0.10, 0.25, 0.50};

// The progress bar's size and where the game draws it.
constexpr int kBarW = 400, kBarH = 16;
constexpr int kBarX = tmscreen::kProgressBar.x, kBarY = tmscreen::kProgressBar.y;

// The title screen's arrows are square.
constexpr int kArrowSize = 32;

// A large two-line logo: "Tilmar" over "MahJong" between gold rules.
void drawLogo(cairo_t *cr, double cx, double top, double scale)
{
    drawGoldTitle(cr, "Tilmar", cx, top + 64 * scale, Align::Centre, 74 * scale);
    setFont(cr, Face::SerifBold, 32 * scale);
    double w = textWidth(cr, "MahJong");
    drawGoldTitle(cr, "MahJong", cx, top + 106 * scale, Align::Centre, 32 * scale);
    double y = top + 95 * scale;
    goldRule(cr, cx - w / 2 - 90 * scale, cx - w / 2 - 14 * scale, y);
    goldRule(cr, cx + w / 2 + 14 * scale, cx + w / 2 + 90 * scale, y);
}

void drawTileFan(cairo_t *cr, double cx, double y, double tw, double th)
{
    struct T
    {
        const char *glyph;
        Rgb color;
    };
    const T tiles[] = {{"東", kInk}, {"發", kTileGreen}, {"中", kTileRed}, {"白", kTileBlue}, {"北", kInk}};
    const int n = 5;
    double gap = tw * 0.25;
    double total = n * tw + (n - 1) * gap;
    for (int i = 0; i < n; ++i) {
        double x = cx - total / 2 + i * (tw + gap);
        double dy = std::fabs(i - 2) * th * 0.10;
        if (std::string(tiles[i].glyph) == "白") {
            // The white dragon is a blue frame, not a character.
            drawDecorTile(cr, x, y + dy, tw, th, "", kInk);
            cairo_save(cr);
            cairo_set_source_rgb(cr, kTileBlue.r, kTileBlue.g, kTileBlue.b);
            cairo_set_line_width(cr, std::max(1.5, tw * 0.06));
            cairo_rectangle(cr, x + tw * 0.22, y + dy + th * 0.18, tw * 0.56, th * 0.64);
            cairo_stroke(cr);
            cairo_restore(cr);
        } else {
            drawDecorTile(cr, x, y + dy, tw, th, tiles[i].glyph, tiles[i].color);
        }
    }
}

} // namespace

void addLoadingScreen(Entries &out)
{
    {
        Canvas c(640, 480);
        cairo_t *cr = c.cr();
        fillLacquer(cr, 0, 0, 640, 480, 11);
        goldFrame(cr, 0, 0, 640, 480, 8);
        drawTileFan(cr, 320, 52, 46, 62);
        drawLogo(cr, 320, 140, 1.15);
        setFont(cr, Face::Serif, 16);
        drawShadowedText(cr, "Mahjong solitaire in eighteen layouts", 320, 306, Align::Centre, kIvory);
        // The trough the bar fills, with a gold rim just outside the bar.
        insetField(cr, kBarX - 4, kBarY - 4, kBarW + 8, kBarH + 8, 6);
        setFont(cr, Face::Sans, 13);
        drawShadowedText(cr, "Loading, please wait...", 320, kBarY + kBarH + 28, Align::Centre,
                         mix(kIvory, kGold, 0.3));
        addJpeg(out, "art/loading_tl.jpg", c.picture());
    }
    {
        Canvas c(kBarW, kBarH);
        cairo_t *cr = c.cr();
        roundedRect(cr, 0, 0, kBarW, kBarH, 4);
        fillWith(cr, goldGradient(0, kBarH, 0.45));
        // Diagonal sheen bands so the growing bar shows movement.
        cairo_save(cr);
        roundedRect(cr, 0, 0, kBarW, kBarH, 4);
        cairo_clip(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.16);
        for (int x = -kBarH; x < kBarW; x += 20) {
            cairo_move_to(cr, x, kBarH);
            cairo_line_to(cr, x + kBarH, 0);
            cairo_line_to(cr, x + kBarH + 8, 0);
            cairo_line_to(cr, x + 8, kBarH);
            cairo_close_path(cr);
        }
        cairo_fill(cr);
        cairo_restore(cr);
        addTga(out, "art/progress_tl.tga", c.picture());
    }
}

namespace {

// The left panel: logo above y 100, calm lacquer below for the controls.
Picture leftPanel()
{
    Canvas c(125, 480);
    cairo_t *cr = c.cr();
    fillLacquer(cr, 0, 0, 125, 480, 21, 0.8);
    // A darker recess for the controls.
    cairo_pattern_t *g = cairo_pattern_create_linear(0, 0, 125, 0);
    cairo_pattern_add_color_stop_rgba(g, 0.0, 0, 0, 0, 0.18);
    cairo_pattern_add_color_stop_rgba(g, 0.5, 0, 0, 0, 0.0);
    cairo_pattern_add_color_stop_rgba(g, 1.0, 0, 0, 0, 0.25);
    cairo_set_source(cr, g);
    cairo_paint(cr);
    cairo_pattern_destroy(g);
    // Gold edge against the board.
    cairo_pattern_t *edge = cairo_pattern_create_linear(119, 0, 125, 0);
    cairo_pattern_add_color_stop_rgb(edge, 0.0, kGoldDark.r, kGoldDark.g, kGoldDark.b);
    cairo_pattern_add_color_stop_rgb(edge, 0.4, kGoldLight.r, kGoldLight.g, kGoldLight.b);
    cairo_pattern_add_color_stop_rgb(edge, 1.0, 0.25, 0.18, 0.05);
    cairo_set_source(cr, edge);
    cairo_rectangle(cr, 120, 0, 5, 480);
    cairo_fill(cr);
    cairo_pattern_destroy(edge);
    // Logo cartouche.
    roundedRect(cr, 5.5, 5.5, 109, 88, 8);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.30);
    cairo_fill_preserve(cr);
    setColour(cr, kGold);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    roundedRect(cr, 8.5, 8.5, 103, 82, 6);
    setColour(cr, kGoldDark);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    double size = fitFontSize(cr, Face::SerifBold, "Tilmar", 34, 96);
    drawGoldTitle(cr, "Tilmar", 60, 46, Align::Centre, size);
    drawGoldTitle(cr, "MahJong", 60, 74, Align::Centre, 19);
    goldRule(cr, 20, 100, 84);
    // A small seal at the foot of the panel, above the exit control.
    goldRule(cr, 14, 106, 436);
    return c.picture();
}

Picture titleScreen()
{
    using namespace tmscreen;
    using namespace tileart;
    // Drawn at kTitlePicture; sx() turns a screen x into a picture x.
    auto sx = [](double x) { return x - kTitlePicture.x; };
    // The game centres each preview in the board area's width.
    auto previewX = [](const Point &at, int width) { return at.x + (kPreviewSpan - width) / 2; };
    Canvas c(520, 480);
    cairo_t *cr = c.cr();
    fillLacquer(cr, 0, 0, 520, 480, 31);
    goldFrame(cr, 5, 0, 515, 480, 6);

    setFont(cr, Face::SerifBold, 17);
    drawGoldTitle(cr, "Choose your game", sx(kBackgroundPreview.x + kPreviewSpan / 2), 30, Align::Centre, 18);

    // Frames just outside the background and layout previews.
    auto previewFrame = [&](const Point &at, double w, double h) {
        const double x = previewX(at, int(w)), y = at.y;
        cairo_rectangle(cr, sx(x) - 1, y - 1, w + 2, h + 2);
        cairo_set_source_rgb(cr, 0.02, 0.06, 0.06);
        cairo_fill(cr);
        cairo_rectangle(cr, sx(x) - 1.5, y - 1.5, w + 3, h + 3);
        setColour(cr, kGold);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    };
    previewFrame(kBackgroundPreview, kBackgroundPreviewW, kBackgroundPreviewH);
    previewFrame(kLayoutPreview, kLayoutPreviewW, kLayoutPreviewH);

    // Captions of the arrows, in gold.
    auto captionFont = [&]() {
        // Slightly narrowed, so "Background" stays within its arrows' width.
        setFont(cr, Face::SerifBold, 14);
        cairo_matrix_t m;
        cairo_matrix_init_scale(&m, 10.5, 13.5);
        cairo_set_font_matrix(cr, &m);
    };
    auto caption = [&](const char *text, double x, double y, Align align) {
        captionFont();
        drawShadowedText(cr, text, x, y, align, kGold);
    };
    // The background and tile-set captions sit above their pairs of arrows,
    // as there is no room for "Background" between the frame and its arrows;
    // each is centred on its pair but kept clear of the preview's frame.
    auto captionAbove = [&](const char *text, const Point &left, const Point &right) {
        captionFont();
        const double w = textWidth(cr, text);
        double centre = sx((left.x + right.x + kArrowSize) / 2.0);
        const double previewLeft = sx(previewX(kBackgroundPreview, kBackgroundPreviewW)) - 2;
        const double previewRight = previewLeft + kBackgroundPreviewW + 4;
        if (centre < previewLeft)
            centre = std::min(centre, previewLeft - 6 - w / 2);
        else
            centre = std::max(centre, previewRight + 6 + w / 2);
        caption(text, centre, left.y - 6, Align::Centre);
    };
    captionAbove("Background", kBackgroundLeftArrow, kBackgroundRightArrow);
    captionAbove("Tiles", kTileSetLeftArrow, kTileSetRightArrow);
    // The layout's caption beside its left arrow, level with its middle.
    caption("Layout", sx(kLayoutLeftArrow.x - 4), kLayoutLeftArrow.y + 21, Align::Right);

    // Cartouche behind the layout name.
    insetField(cr, sx(previewX(kLayoutTitle, kLayoutTitleW) - 6), kLayoutTitle.y - 4, kLayoutTitleW + 12,
               kLayoutTitleH + 8, 5);

    // Decorative tile stacks in the side spaces.
    const char *leftGlyphs[] = {"東", "南", "西"};
    for (int i = 0; i < 3; ++i)
        drawDecorTile(cr, sx(170), 236 + i * 60, 40, 54, leftGlyphs[i], kInk);
    const char *rightGlyphs[] = {"中", "發", "北"};
    const Rgb rightColors[] = {kTileRed, kTileGreen, kInk};
    for (int i = 0; i < 3; ++i)
        drawDecorTile(cr, sx(556), 236 + i * 60, 40, 54, rightGlyphs[i], rightColors[i]);

    return c.picture();
}

// A full board-area picture with a framed medallion in the middle.
void medallion(cairo_t *cr, double x, double y, double w, double h)
{
    roundedRect(cr, x, y, w, h, 14);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_fill(cr);
    roundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, 14);
    setColour(cr, kGold);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    roundedRect(cr, x + 5.5, y + 5.5, w - 11, h - 11, 10);
    setColour(cr, kGoldDark);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// A round cinnabar seal with one character.
void seal(cairo_t *cr, double cx, double cy, double r, const char *glyph)
{
    cairo_new_path(cr);
    cairo_arc(cr, cx + 1.5, cy + 2, r, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.4);
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    setColour(cr, kCinnabar);
    cairo_fill_preserve(cr);
    setColour(cr, kGold);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, r - 5, 0, 2 * kPi);
    setColour(cr, kGoldLight, 0.7);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    setFont(cr, Face::Cjk, r * 1.1);
    cairo_text_extents_t e;
    cairo_text_extents(cr, glyph, &e);
    setColour(cr, kIvory);
    cairo_move_to(cr, cx - (e.x_bearing + e.width / 2), cy - (e.y_bearing + e.height / 2));
    cairo_show_text(cr, glyph);
}

Picture pausePicture()
{
    Canvas c(515, 480);
    cairo_t *cr = c.cr();
    fillLacquer(cr, 0, 0, 515, 480, 41, 0.9);
    goldFrame(cr, 0, 0, 515, 480, 6);
    medallion(cr, 72, 120, 371, 200);
    seal(cr, 257, 120, 30, "停");
    drawGoldTitle(cr, "Game Paused", 257, 210, Align::Centre, 40);
    goldRule(cr, 130, 385, 232);
    setFont(cr, Face::Sans, 15);
    drawShadowedText(cr, "The clock is stopped and the tiles are hidden.", 257, 262, Align::Centre, kIvory);
    drawShadowedText(cr, "Click here or press Resume to play on.", 257, 284, Align::Centre, kIvory);
    return c.picture();
}

Picture endPicture(bool won)
{
    // The picture ends above the HUD labels, which stay in view.
    const int h = tmscreen::kTimeLabel.y - tmscreen::kEndPicture.y;
    Canvas c(515, h);
    cairo_t *cr = c.cr();
    fillLacquer(cr, 0, 0, 515, h, won ? 51 : 61, won ? 1.0 : 0.75);
    goldFrame(cr, 0, 0, 515, h, 6);
    medallion(cr, 52, 70, 411, 240);
    if (won) {
        seal(cr, 257, 70, 32, "勝");
        drawTileFan(cr, 257, 118, 30, 40);
        drawGoldTitle(cr, "Board Complete!", 257, 212, Align::Centre, 38);
        goldRule(cr, 110, 405, 230);
        setFont(cr, Face::Sans, 15);
        drawShadowedText(cr, "Every tile is cleared. Well played!", 257, 256, Align::Centre, kIvory);
    } else {
        seal(cr, 257, 70, 32, "終");
        drawGoldTitle(cr, "Game Over", 257, 176, Align::Centre, 42);
        goldRule(cr, 110, 405, 199);
        setFont(cr, Face::Sans, 15);
        drawShadowedText(cr, "No more pairs can be matched.", 257, 225, Align::Centre, kIvory);
        drawShadowedText(cr, "Better luck with the next deal!", 257, 247, Align::Centre,
                         mix(kIvory, kGold, 0.4));
    }
    // Once a game is over the clock below shows the playing time alone,
    // while the score of the best times adds the penalties to it.
    setFont(cr, Face::Sans, 13);
    drawShadowedText(cr, "The time below is your playing time alone;", 257, 278, Align::Centre,
                     mix(kIvory, kJadeLight, 0.15));
    drawShadowedText(cr, "your score adds the penalties to it.", 257, 296, Align::Centre,
                     mix(kIvory, kJadeLight, 0.15));
    // The continue control's plain look, at the control's screen spot.
    Picture plain = continuePlain();
    Picture out = c.picture();
    paintOver(out, plain, tmscreen::kContinueControl.x - tmscreen::kEndPicture.x,
              tmscreen::kContinueControl.y - tmscreen::kEndPicture.y);
    return out;
}

Picture noMatchPlate()
{
    Canvas c(300, 80);
    cairo_t *cr = c.cr();
    PlateStyle style;
    style.cinnabar = true;
    style.radius = 14;
    drawPlate(cr, 2, 2, 296, 76, "", false, style);
    drawGoldTitle(cr, "No Match", 150, 42, Align::Centre, 28);
    setFont(cr, Face::Sans, 13);
    drawShadowedText(cr, "No other tile of this kind is in view.", 150, 63, Align::Centre, kIvory);
    return c.picture();
}

} // namespace

Picture continuePlain()
{
    PlateStyle style;
    style.fontSize = 17;
    return platePicture(kContinueW, kContinueH, "Click to continue", false, 3, style);
}

void addScreens(Entries &out)
{
    addJpeg(out, "art/pause_tl.jpg", pausePicture());
    addJpeg(out, "art/left_tl.jpg", leftPanel());
    addJpeg(out, "art/start_tl.jpg", titleScreen());
    addTga(out, "art/nomatch_alpha_tl.tga", noMatchPlate());
    addJpeg(out, "art/board_complete_tl.jpg", endPicture(true));
    addJpeg(out, "art/gameover_tl.jpg", endPicture(false));
}

namespace {

Picture arrowPicture(bool right, bool lit)
{
    Canvas c(kArrowSize, kArrowSize);
    cairo_t *cr = c.cr();
    double cx = kArrowSize / 2, cy = kArrowSize / 2, r = 12.5;
    if (lit) {
        for (int k = 1; k <= 3; ++k) {
            cairo_arc(cr, cx, cy, r + k - 0.5, 0, 2 * kPi);
            cairo_set_source_rgba(cr, 1.0, 0.86, 0.45, 0.55 * (4 - k) / 4);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
        }
    } else {
        cairo_arc(cr, cx + 0.5, cy + 1.5, r, 0, 2 * kPi);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.4);
        cairo_fill(cr);
    }
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    fillWith(cr, verticalGradient(cy - r, cy + r, {{0, kGoldLight}, {1, kGoldDark}}));
    cairo_arc(cr, cx, cy, r - 2, 0, 2 * kPi);
    Rgb top = lit ? Rgb{0.28, 0.66, 0.56} : Rgb{0.16, 0.45, 0.39};
    Rgb bottom = lit ? Rgb{0.09, 0.36, 0.31} : Rgb{0.04, 0.20, 0.18};
    cairo_pattern_t *body = cairo_pattern_create_radial(cx, cy - 5, 1, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(body, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(body, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    // The triangle, pointing left or right, nudged toward its tip's far side.
    double d = right ? 1 : -1;
    auto triangle = [&]() {
        cairo_move_to(cr, cx + d * 6.5, cy);
        cairo_line_to(cr, cx - d * 4.5, cy - 6.5);
        cairo_line_to(cr, cx - d * 4.5, cy + 6.5);
        cairo_close_path(cr);
    };
    triangle();
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_save(cr);
    cairo_translate(cr, 0.8, 1);
    cairo_fill_preserve(cr);
    cairo_restore(cr);
    cairo_new_path(cr);
    triangle();
    if (lit)
        cairo_set_source_rgb(cr, 1.0, 0.97, 0.86);
    else
        setColour(cr, kIvory);
    cairo_fill(cr);
    return c.picture();
}

// A HUD label: gold serif text with a dark outline, right-aligned so that it
// ends just before the number it names, its middle level with the digits.
Picture hudLabel(int w, const char *text, double rightEdge)
{
    Canvas c(w, 30);
    cairo_t *cr = c.cr();
    setFont(cr, Face::SerifBold, 15);
    double left = std::round(rightEdge - textWidth(cr, text));
    cairo_move_to(cr, left, 22);
    cairo_text_path(cr, text);
    cairo_set_source_rgba(cr, 0.02, 0.05, 0.05, 0.85);
    cairo_set_line_width(cr, 3);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    fillWith(cr, verticalGradient(10, 22, {{0, kGoldLight}, {1, kGold}}));
    return c.picture();
}

struct PanelControl
{
    const char *normal;
    const char *lit;
    int x;  // the control's left edge; its width keeps it centred on the panel
    const char *label;
};

// The maker icon is loaded but never drawn, so it has no spot of its own.
constexpr int kMakerIconX = 12;

} // namespace

void addControls(Entries &out)
{
    using namespace tmscreen;
    const PanelControl panel[] = {
        {"art/icon_exit_tl.tga", "art/icon_exit_lit_tl.tga", kExitControl.x, "Exit"},
        {"art/icon_showmoves_tl.tga", "art/icon_showmoves_lit_tl.tga", kShowMovesControl.x, "Show Moves"},
        {"art/icon_hint_tl.tga", "art/icon_hint_lit_tl.tga", kHintControl.x, "Hint"},
        {"art/icon_findmatch_tl.tga", "art/icon_findmatch_lit_tl.tga", kHintControl.x, "Find Match"},
        {"art/icon_options_tl.tga", "art/icon_options_lit_tl.tga", kOptionsControl.x, "Options"},
        {"art/icon_pause_tl.tga", "art/icon_pause_lit_tl.tga", kPauseControl.x, "Pause"},
        {"art/icon_resume_tl.tga", "art/icon_resume_lit_tl.tga", kPauseControl.x, "Resume"},
        {"art/icon_velmora_tl.tga", "art/icon_velmora_lit_tl.tga", kMakerIconX, "Velmora"},
        {"art/icon_newgame_tl.tga", "art/icon_newgame_lit_tl.tga", kRestartControl.x, "New Game"},
        {"art/icon_rules_tl.tga", "art/icon_rules_lit_tl.tga", kRulesControl.x, "Rules"},
        {"art/icon_shuffle_tl.tga", "art/icon_shuffle_lit_tl.tga", kShuffleControl.x, "Shuffle"},
        {"art/icon_undo_tl.tga", "art/icon_undo_lit_tl.tga", kUndoControl.x, "Undo"},
    };
    for (const PanelControl &pc : panel) {
        int w = 124 - 2 * pc.x;
        PlateStyle style;
        style.fontSize = 15;
        addPlatePair(out, pc.normal, pc.lit, w, 30, pc.label, 2, style);
    }

    PlateStyle start;
    start.fontSize = 17;
    addPlatePair(out, "art/icon_start_tl.tga", "art/icon_start_lit_tl.tga", 116, 36, "Start Game", 2, start);

    PlateStyle cont;
    cont.fontSize = 17;
    addTga(out, "art/icon_clicktocontinue_lit.tga",
           platePicture(kContinueW, kContinueH, "Click to continue", true, 3, cont));

    addTga(out, "art/arrow_left_tl.tga", arrowPicture(false, false));
    addTga(out, "art/arrow_right_tl.tga", arrowPicture(true, false));
    addTga(out, "art/arrow_left_lit_tl.tga", arrowPicture(false, true));
    addTga(out, "art/arrow_right_lit_tl.tga", arrowPicture(true, true));

    // Each label reaches from its spot to the area of the number it names,
    // which the game repaints on its own; the text ends a few pixels short.
    addTga(out, "art/icon_score_tl.tga", hudLabel(kTimeArea.x0 - kTimeLabel.x, "Time", 72));
    addTga(out, "art/icon_tiles_left_tl.tga", hudLabel(kTilesLeftArea.x0 - kTilesLeftLabel.x, "Tiles Left", 108));
    addTga(out, "art/icon_available_tl.tga", hudLabel(kMovesArea.x0 - kMovesLabel.x, "Moves", 108));
}

} // namespace screenart
} // namespace content

// Dialog pictures: the two confirmations, no more moves, options, best
// times and enter name, with their buttons.
#include "content/art_screens_draw.h"
#include "content/art_screens_parts.h"
#include "content/art_tiles.h"
#include "game/TMRecords.h"

#include <string>

namespace content {
namespace screenart {

namespace {

using namespace tmscreen;

// A small dialog body: lacquer in a rounded gold-rimmed frame. Dialog
// pictures are blitted plainly, so the corners are filled with a dark
// border colour rather than left transparent.
void dialogBody(cairo_t *cr, int w, int h, uint32_t seed)
{
    cairo_set_source_rgb(cr, 0.05, 0.09, 0.08);
    cairo_paint(cr);
    fillLacquer(cr, 0, 0, w, h, seed);
    goldFrame(cr, 0, 0, w, h, 3);
}

void confirmation(Entries &out, const char *name, const char *title, const char *text, uint32_t seed)
{
    Canvas c(300, 160);
    cairo_t *cr = c.cr();
    dialogBody(cr, 300, 160, seed);
    drawGoldTitle(cr, title, 150, 44, Align::Centre, 24);
    goldRule(cr, 60, 240, 56);
    setFont(cr, Face::Sans, 13);
    drawParagraph(cr, text, 30, 80, 240, 17, kIvory, Align::Centre);
    addJpeg(out, name, c.picture());
}

// The jade or red plates of the dialogs, both looks.
void buttonPair(Entries &out, const char *normal, const char *lit, int w, int h, const char *label,
                double fontSize, bool cinnabar = false, int margin = 2)
{
    PlateStyle style;
    style.fontSize = fontSize;
    style.cinnabar = cinnabar;
    addPlatePair(out, normal, lit, w, h, label, margin, style);
}

void noMoreMoves(Entries &out)
{
    Canvas c(300, 250);
    cairo_t *cr = c.cr();
    dialogBody(cr, 300, 250, 71);
    drawGoldTitle(cr, "No More Moves", 150, 46, Align::Centre, 26);
    goldRule(cr, 50, 250, 58);
    setFont(cr, Face::Sans, 13);
    drawShadowedText(cr, "No pair of free tiles is left.", 150, 84, Align::Centre, kIvory);
    setFont(cr, Face::Sans, 12);
    drawShadowedText(cr, ruleTexts().noMoreMovesUndo, 150, 104, Align::Centre, mix(kIvory, kGold, 0.4));
    drawShadowedText(cr, ruleTexts().noMoreMovesShuffle, 150, 119, Align::Centre, mix(kIvory, kGold, 0.4));
    addJpeg(out, "art/no_more_moves.jpg", c.picture());

    // The plates are stacked down the dialog with a gap between them; the
    // text above ends three pixels over the first one.
    constexpr int kPlateH = 30;
    static_assert(kNoMoreMovesShuffleY + kPlateH < kNoMoreMovesUndoY &&
                      kNoMoreMovesUndoY + kPlateH < kNoMoreMovesEndGameY,
                  "the no-more-moves plates must not touch");
    buttonPair(out, "art/no_more_moves_shuffle.tga", "art/no_more_moves_shuffle_lit.tga", 160, kPlateH, "Shuffle",
               15);
    buttonPair(out, "art/no_more_moves_undo.tga", "art/no_more_moves_undo_lit.tga", 160, kPlateH, "Undo", 15);
    buttonPair(out, "art/no_more_moves_endgame.tga", "art/no_more_moves_endgame_lit.tga", 160, kPlateH, "End Game",
               15, true);
}

void options(Entries &out)
{
    Canvas c(515, 480);
    cairo_t *cr = c.cr();
    fillLacquer(cr, 0, 0, 515, 480, 81);
    goldFrame(cr, 0, 0, 515, 480, 6);
    drawGoldTitle(cr, "Options", 257, 58, Align::Centre, 38);
    goldRule(cr, 120, 395, 76);

    // Settings group.
    roundedRect(cr, 20.5, 92.5, 474, 160, 10);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.25);
    cairo_fill_preserve(cr);
    setColour(cr, kGoldDark);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    // The slider tracks, named on their left, with marks below at every
    // quarter and the ends labelled.
    setFont(cr, Face::SerifBold, 17);
    const struct
    {
        const char *name;
        Point at;
    } sliders[] = {{"Sound", kOptionsSoundSlider}, {"Music", kOptionsMusicSlider}};
    for (const auto &slider : sliders) {
        const int x = slider.at.x, y = slider.at.y, track = kOptionsSliderTrack;
        drawShadowedText(cr, slider.name, x - 28, y + 6, Align::Right, kGold);
        insetField(cr, x - 7, y - 5, track + 14, 10, 5);
        for (int i = 0; i <= 4; ++i) {
            double mark = x + track / 4 * i + 0.5;
            cairo_move_to(cr, mark, y + 9);
            cairo_line_to(cr, mark, y + 13);
        }
        setColour(cr, kGoldDark);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        setFont(cr, Face::Sans, 11);
        drawShadowedText(cr, "min", x, y + 25, Align::Centre, mix(kIvory, kJadeLight, 0.4));
        drawShadowedText(cr, "max", x + track, y + 25, Align::Centre, mix(kIvory, kJadeLight, 0.4));
        setFont(cr, Face::SerifBold, 17);
    }

    // Toggle labels, left of the toggles and level with their text.
    setFont(cr, Face::SerifBold, 16);
    drawShadowedText(cr, "Full screen", kOptionsFullscreen.x - 9, kOptionsFullscreen.y + 20, Align::Right, kGold);
    drawShadowedText(cr, "Automatic hints", kOptionsAutoHints.x - 9, kOptionsAutoHints.y + 20, Align::Right,
                     kGold);

    setFont(cr, Face::Sans, 12);
    drawShadowedText(cr, ruleTexts().autoHintOption, 257, 461, Align::Centre, mix(kIvory, kJadeLight, 0.3));
    addJpeg(out, "art/options_tl.jpg", c.picture());

    buttonPair(out, "art/options_done_tl.tga", "art/options_done_lit_tl.tga", 389, 44, "Done", 19);
    buttonPair(out, "art/options_besttimes_tl.tga", "art/options_besttimes_lit_tl.tga", 389, 44, "Best Times", 19);
    buttonPair(out, "art/options_visit_tl.tga", "art/options_visit_lit_tl.tga", 389, 44, "Visit Our Partner",
               19);
    buttonPair(out, "art/options_on_tl.tga", "art/options_on_lit_tl.tga", 56, 30, "On", 15);
    buttonPair(out, "art/options_off_tl.tga", "art/options_off_lit_tl.tga", 56, 30, "Off", 15, true);

    // Slider knob, centred on the value's point of the track.
    Canvas knob(18, 26);
    cairo_t *k = knob.cr();
    roundedRect(k, 1.5, 2.5, 15, 23, 4);
    cairo_set_source_rgba(k, 0, 0, 0, 0.45);
    cairo_fill(k);
    roundedRect(k, 1, 1, 15, 23, 4);
    cairo_pattern_t *g = goldGradient(1, 24);
    cairo_set_source(k, g);
    cairo_fill_preserve(k);
    cairo_pattern_destroy(g);
    cairo_set_source_rgba(k, 0.25, 0.16, 0.03, 0.9);
    cairo_set_line_width(k, 1);
    cairo_stroke(k);
    for (double x : {6.5, 8.5, 10.5}) {
        cairo_move_to(k, x, 8);
        cairo_line_to(k, x, 17);
    }
    cairo_set_source_rgba(k, 0.35, 0.24, 0.06, 0.85);
    cairo_stroke(k);
    addTga(out, "art/options_slider_tab_tl.tga", knob.picture());
}

void bestTimes(Entries &out)
{
    Canvas c(515, 480);
    cairo_t *cr = c.cr();
    fillLacquer(cr, 0, 0, 515, 480, 91);
    goldFrame(cr, 0, 0, 515, 480, 6);
    drawGoldTitle(cr, "Best Times", 257, 46, Align::Centre, 32);
    // The layout title, centred on the dialog between its arrows.
    const int titleX = (515 - tileart::kLayoutTitleW) / 2;
    insetField(cr, titleX - 4, kBestTimesTitleY - 5, tileart::kLayoutTitleW + 9, tileart::kLayoutTitleH + 10, 6);

    // Column headers over the font's columns: the name from its left edge,
    // the numbers right-aligned.
    const int headerY = kBestTimesFirstRowY - 16;
    setFont(cr, Face::SerifBold, 14);
    drawShadowedText(cr, "Player", kBestTimesNameX, headerY, Align::Left, kGold);
    drawShadowedText(cr, "Tiles", kBestTimesTilesLeftX, headerY, Align::Right, kGold);
    drawShadowedText(cr, "Score", kBestTimesScoreX, headerY, Align::Right, kGold);
    drawShadowedText(cr, "Time", kBestTimesTimeX, headerY, Align::Right, kGold);
    hairline(cr, 28, 487, kBestTimesFirstRowY - 8.5, kGold);

    // A band behind each row of text (one font cell high).
    for (int k = 0; k < TM_BEST_TIME_RANKS; ++k) {
        int y = kBestTimesFirstRowY + kBestTimesRowStep * k;
        roundedRect(cr, 28.5, y - 7.5, 459, 27, 5);
        cairo_set_source_rgba(cr, 0, 0, 0, (k % 2) ? 0.20 : 0.32);
        cairo_fill_preserve(cr);
        setColour(cr, kGoldDark, 0.55);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        setFont(cr, Face::SerifBold, 13);
        drawShadowedText(cr, std::to_string(k + 1), 46, y + 11, Align::Right, mix(kGold, kIvory, 0.2));
    }

    Picture bg = c.picture();
    paintOver(bg, bestTimesButton(kBestOkW, kBestOkH, "OK", false), kBestTimesOk.x, kBestTimesOk.y);
    paintOver(bg, bestTimesButton(kBestClearW, kBestClearH, "Clear", false), kBestTimesClear.x, kBestTimesClear.y);
    addJpeg(out, "art/besttimes_tl.jpg", bg);
    addTga(out, "art/ok_lit_tl.tga", bestTimesButton(kBestOkW, kBestOkH, "OK", true));
    addTga(out, "art/besttimes_clear_lit_tl.tga", bestTimesButton(kBestClearW, kBestClearH, "Clear", true));
}

void enterName(Entries &out)
{
    Canvas c(300, 240);
    cairo_t *cr = c.cr();
    dialogBody(cr, 300, 240, 101);
    // Won and lost games rank in one table, by the tiles left first, so the
    // title claims a place in it rather than a best time.
    drawGoldTitle(cr, "Among the Best!", 150, 42, Align::Centre, 26);
    goldRule(cr, 50, 250, 54);
    // The score line, centred on the dialog, one font cell high: the score
    // is the playing time with the penalties, not the time the board showed.
    const int middle = 300 / 2;
    setFont(cr, Face::Sans, 12);
    drawShadowedText(cr, "Your score: time + penalties", middle, kEnterNameScoreY - 9, Align::Centre,
                     mix(kIvory, kGold, 0.4));
    insetField(cr, middle - 44, kEnterNameScoreY - 4, 88, 20, 5);
    // The edit line, with room for the caret after its last character.
    const Box &edit = kEnterNameEditBox;
    setFont(cr, Face::SerifBold, 14);
    drawShadowedText(cr, "Enter your name", edit.x0 - 2, edit.y0 - 14, Align::Left, kGold);
    insetField(cr, edit.x0 - 5, edit.y0 - 5, edit.x1 - edit.x0 + 14, edit.y1 - edit.y0 + 10, 4);
    // A pair of tiles beside the field.
    drawDecorTile(cr, 196, 130, 30, 40, "中", Rgb{0.70, 0.13, 0.10});
    drawDecorTile(cr, 234, 130, 30, 40, "中", Rgb{0.70, 0.13, 0.10});
    addJpeg(out, "art/entername_tl.jpg", c.picture());
    buttonPair(out, "art/register_ok_tl.tga", "art/register_ok_lit_tl.tga", 96, 32, "OK", 16);
}

} // namespace

// A plate of the best-times dialog, inset so that the OK and Clear plates
// line up although their pictures differ in height.
Picture bestTimesButton(int w, int h, const char *label, bool lit)
{
    Canvas c(w, h);
    PlateStyle style;
    style.fontSize = 17;
    style.glow = 3;
    int plateH = 32;
    drawPlate(c.cr(), 3, (h - plateH) / 2, w - 6, plateH, label, lit, style);
    return c.picture();
}

void addDialogs(Entries &out)
{
    confirmation(out, "art/restart_areyousure.jpg", "Leave this game?",
                 "The tiles on the table will be lost and the game will not count.", 111);
    confirmation(out, "art/besttimes_areyousure.jpg", "Clear best times?",
                 "Every entry in this layout's table will be erased.", 121);
    buttonPair(out, "art/besttimes_areyousure_yes.tga", "art/besttimes_areyousure_yes_lit.tga", 80, 32, "Yes", 16);
    buttonPair(out, "art/besttimes_areyousure_no.tga", "art/besttimes_areyousure_no_lit.tga", 80, 32, "No", 16);
    noMoreMoves(out);
    options(out);
    bestTimes(out);
    enterName(out);
}

} // namespace screenart
} // namespace content

// Dialog pictures: the two confirmations, no more moves, options, best
// times and enter name, with their buttons.
#include "content/art_screens_draw.h"
#include "content/art_screens_parts.h"

#include <string>

namespace content {
namespace screenart {

namespace {

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
    drawShadowedText(cr, "Shuffle (+2:00), undo (+1:00)", 150, 104, Align::Centre, mix(kIvory, kGold, 0.4));
    drawShadowedText(cr, "or end the game.", 150, 119, Align::Centre, mix(kIvory, kGold, 0.4));
    addJpeg(out, "art/no_more_moves.jpg", c.picture());

    // The dialog puts shuffle at y 125, undo at y 160 and end game at y 195,
    // so the 30-pixel plates have a 5-pixel gap; the text above ends at 122.
    buttonPair(out, "art/no_more_moves_shuffle.tga", "art/no_more_moves_shuffle_lit.tga", 160, 30, "Shuffle", 15);
    buttonPair(out, "art/no_more_moves_undo.tga", "art/no_more_moves_undo_lit.tga", 160, 30, "Undo", 15);
    buttonPair(out, "art/no_more_moves_endgame.tga", "art/no_more_moves_endgame_lit.tga", 160, 30, "End Game", 15,
               true);
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

    // Slider tracks from x 250 to 410 at y 119 and 166, with end marks.
    setFont(cr, Face::SerifBold, 17);
    drawShadowedText(cr, "Sound", 222, 125, Align::Right, kGold);
    drawShadowedText(cr, "Music", 222, 172, Align::Right, kGold);
    for (int y : {119, 166}) {
        insetField(cr, 243, y - 5, 174, 10, 5);
        for (int i = 0; i <= 4; ++i) {
            double x = 250 + 40 * i + 0.5;
            cairo_move_to(cr, x, y + 9);
            cairo_line_to(cr, x, y + 13);
        }
        setColour(cr, kGoldDark);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        setFont(cr, Face::Sans, 11);
        drawShadowedText(cr, "min", 250, y + 25, Align::Centre, mix(kIvory, kJadeLight, 0.4));
        drawShadowedText(cr, "max", 410, y + 25, Align::Centre, mix(kIvory, kJadeLight, 0.4));
        setFont(cr, Face::SerifBold, 17);
    }

    // Toggle labels; the toggles sit at (175, 218) and (434, 218), 56 x 30.
    setFont(cr, Face::SerifBold, 16);
    drawShadowedText(cr, "Full screen", 166, 238, Align::Right, kGold);
    drawShadowedText(cr, "Automatic hints", 425, 238, Align::Right, kGold);

    setFont(cr, Face::Sans, 12);
    drawShadowedText(cr, "Automatic hints show a pair after 45 seconds without a match.", 257, 461,
                     Align::Centre, mix(kIvory, kJadeLight, 0.3));
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
    // The layout title (160 x 16 at (177, 68)) between the arrows at 145 and 338.
    insetField(cr, 173, 63, 169, 26, 6);

    // Column headers over the 8 x 12 font's columns: name from x 60, tiles
    // right-aligned at 260, score at 345 and time at 440.
    setFont(cr, Face::SerifBold, 14);
    drawShadowedText(cr, "Player", 60, 132, Align::Left, kGold);
    drawShadowedText(cr, "Tiles", 260, 132, Align::Right, kGold);
    drawShadowedText(cr, "Score", 345, 132, Align::Right, kGold);
    drawShadowedText(cr, "Time", 440, 132, Align::Right, kGold);
    hairline(cr, 28, 487, 139.5, kGold);

    // Row bands at y = 148 + 35k, each row of text 12 pixels high.
    for (int k = 0; k < 8; ++k) {
        int y = 148 + 35 * k;
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
    paintOver(bg, bestTimesButton(kBestOkW, kBestOkH, "OK", false), kBestOkX, kBestOkY);
    paintOver(bg, bestTimesButton(kBestClearW, kBestClearH, "Clear", false), kBestClearX, kBestClearY);
    addJpeg(out, "art/besttimes_tl.jpg", bg);
    addTga(out, "art/ok_lit_tl.tga", bestTimesButton(kBestOkW, kBestOkH, "OK", true));
    addTga(out, "art/besttimes_clear_lit_tl.tga", bestTimesButton(kBestClearW, kBestClearH, "Clear", true));
}

void enterName(Entries &out)
{
    Canvas c(300, 240);
    cairo_t *cr = c.cr();
    dialogBody(cr, 300, 240, 101);
    drawGoldTitle(cr, "New Best Time!", 150, 42, Align::Centre, 26);
    goldRule(cr, 50, 250, 54);
    setFont(cr, Face::Sans, 12);
    drawShadowedText(cr, "Your score", 150, 76, Align::Centre, mix(kIvory, kGold, 0.4));
    // The score line is centred at (150, 85), 12 pixels high.
    insetField(cr, 106, 81, 88, 20, 5);
    setFont(cr, Face::SerifBold, 14);
    drawShadowedText(cr, "Enter your name", 28, 150, Align::Left, kGold);
    // The edit line shows up to 12 characters from (30, 164).
    insetField(cr, 25, 159, 114, 22, 4);
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

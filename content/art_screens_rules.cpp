// The two rules pages of the slide show and its close, previous and next buttons.
#include "content/art_screens_draw.h"
#include "content/art_screens_parts.h"
#include "content/art_tiles.h"

#include <string>
#include <vector>

namespace content {
namespace screenart {

namespace {

constexpr int kPageW = 515, kPageH = 480;
// The slide show places close at (W/4, H - 5h/4) and previous and next at
// (2W/3, H - 3h/2) and (2W/3 + 2pw, H - 3h/2): with these sizes all three
// plates are 30 pixels high and centred on y 450.
constexpr int kCloseW = 104, kCloseH = 40;
constexpr int kStepW = 40, kStepH = 30;

const Rgb kRed{0.70, 0.13, 0.10};

void pageFrame(cairo_t *cr, const char *title, int page, uint32_t seed)
{
    fillLacquer(cr, 0, 0, kPageW, kPageH, seed);
    goldFrame(cr, 0, 0, kPageW, kPageH, 6);
    drawGoldTitle(cr, title, kPageW / 2, 50, Align::Centre, 32);
    goldRule(cr, 110, 405, 66);
    // Page number between the previous (343-383) and next (423-463) buttons.
    setFont(cr, Face::SerifBold, 13);
    drawShadowedText(cr, std::to_string(page) + " / 2", 403, 455, Align::Centre, kGold);
}

void heading(cairo_t *cr, const char *text, double y)
{
    setFont(cr, Face::SerifBold, 16);
    drawShadowedText(cr, text, 36, y, Align::Left, kGold);
}

void body(cairo_t *cr, const std::string &text, double x, double &y, double width)
{
    setFont(cr, Face::Sans, 13);
    y = drawParagraph(cr, text, x, y, width, 17, kIvory);
}

void mark(cairo_t *cr, double cx, double cy, bool good)
{
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, 8, 0, 2 * kPi);
    setColour(cr, good ? Rgb{0.12, 0.55, 0.30} : kCinnabar);
    cairo_fill_preserve(cr);
    setColour(cr, kIvory);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    if (good) {
        cairo_move_to(cr, cx - 4, cy + 0.5);
        cairo_line_to(cr, cx - 1, cy + 3.5);
        cairo_line_to(cr, cx + 4.5, cy - 3.5);
    } else {
        cairo_move_to(cr, cx - 3.5, cy - 3.5);
        cairo_line_to(cr, cx + 3.5, cy + 3.5);
        cairo_move_to(cr, cx + 3.5, cy - 3.5);
        cairo_line_to(cr, cx - 3.5, cy + 3.5);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

// The four pictures of a kind that all match one another, from `first` on,
// as a tile set draws them, side by side like neighbours on the board with
// the shadows the game gives such a row; the row's cells start at (x, y).
void paintTileRow(Picture &page, const Picture &sheet, int first, int x, int y)
{
    using namespace tileart;
    const int n = 4;
    const Picture top = shadowTop(), right = shadowRight();
    for (int i = 0; i < n; ++i)
        paintOver(page, top, x + i * kFaceW + kFaceX, y - top.height);
    paintOver(page, right, x + kFaceX + n * kFaceW, y + 1 - top.height);
    paintOver(page, tileRow(sheet, {first, first + 1, first + 2, first + 3}), x, y);
}

Picture pageOne()
{
    Canvas c(kPageW, kPageH);
    cairo_t *cr = c.cr();
    pageFrame(cr, "How to Play", 1, 131);

    double y = 96;
    body(cr, "Clear the table of all 144 tiles by removing them in matching pairs. Click a free tile to select "
             "it, then click a free tile of the same kind: both are removed. Right-click to drop a selection.",
         36, y, 443);

    y += 8;
    heading(cr, "Free tiles", y);
    y += 20;
    body(cr, "A tile is free when no tile lies on top of it and its left or right side is open.", 36, y, 250);

    // A small picture: a row of three with a fourth on top of the middle
    // one. The ends are free, the middle one is not, the top one is.
    const double tw = 32, th = 43;
    double bx = 335, by = 178;
    drawDecorTile(cr, bx, by, tw, th, "一", kRed);
    drawDecorTile(cr, bx + tw + 2, by, tw, th, "二", kRed);
    drawDecorTile(cr, bx + 2 * tw + 4, by, tw, th, "三", kRed);
    drawDecorTile(cr, bx + tw + 12, by - 24, tw, th, "四", kRed);
    mark(cr, bx + tw / 2, by + th + 16, true);
    mark(cr, bx + tw * 1.5 + 2, by + th + 16, false);
    mark(cr, bx + tw * 2.5 + 4, by + th + 16, true);
    mark(cr, bx + tw * 2 + 30, by - 26, true);

    // The heading stays left of the picture's marks, which reach y 245.
    y = 244;
    heading(cr, "Matching", y);
    y += 20;
    body(cr, "Identical tiles match. Any flower matches any other flower, and any season any other season.", 36,
         y, 443);

    // The flowers and the seasons as the first tile set draws them, with
    // room above the rows for their shadows.
    const int rowY = int(y) + 6, flowersX = 100, seasonsX = 330;
    setFont(cr, Face::SerifBold, 13);
    drawShadowedText(cr, "Flowers", 36, rowY + 31, Align::Left, kGold);
    drawShadowedText(cr, "Seasons", 262, rowY + 31, Align::Left, kGold);

    y = rowY + tileart::kCellH + 24;
    heading(cr, "The end of a game", y);
    y += 20;
    body(cr, "You win when the table is clear. When no free pair is left you may undo or end the game, and shuffle "
             "while two or more tiles are free.",
         36, y, 443);

    Picture page = c.picture();
    const Picture sheet = tileart::tileSheet(0);
    paintTileRow(page, sheet, tileart::kFirstFlowerImage, flowersX, rowY);
    paintTileRow(page, sheet, tileart::kFirstSeasonImage, seasonsX, rowY);
    return page;
}

Picture pageTwo()
{
    Canvas c(kPageW, kPageH);
    cairo_t *cr = c.cr();
    pageFrame(cr, "Help and Score", 2, 141);

    struct Row
    {
        const char *what;
        const char *key;
        const char *text;
        const char *penalty;
    };
    const RuleTexts &texts = ruleTexts();
    const Row rows[] = {
        {"Hint", "F, H", "Shows a free pair; with a tile selected, the tiles that match it.",
         texts.hintPenalty.c_str()},
        {"Undo", "U", "Puts the last pair back on the table.", texts.undoPenalty.c_str()},
        {"Shuffle", "S", "Deals the tiles left into new places.", texts.shufflePenalty.c_str()},
        {"All moves", "Space", "Lights up every free tile for a few seconds, or while held.", ""},
    };
    setFont(cr, Face::SerifBold, 13);
    drawShadowedText(cr, "Help", 36, 96, Align::Left, kGold);
    drawShadowedText(cr, "Key", 118, 96, Align::Left, kGold);
    drawShadowedText(cr, "Penalty", 479, 96, Align::Right, kGold);
    hairline(cr, 32, 483, 103.5, kGoldDark);
    double y = 124;
    for (const Row &r : rows) {
        setFont(cr, Face::SerifBold, 14);
        drawShadowedText(cr, r.what, 36, y, Align::Left, kIvory);
        setFont(cr, Face::MonoBold, 13);
        drawShadowedText(cr, r.key, 118, y, Align::Left, kGold);
        setFont(cr, Face::Sans, 12);
        drawParagraph(cr, r.text, 178, y, 245, 15, mix(kIvory, kJadeLight, 0.15));
        setFont(cr, Face::SerifBold, 14);
        drawShadowedText(cr, r.penalty, 479, y, Align::Right, Rgb{0.93, 0.45, 0.38});
        y += 36;
    }

    y += 6;
    heading(cr, "Automatic hints and pause", y);
    y += 20;
    body(cr, texts.autoHintHelp, 36, y, 443);

    y += 10;
    heading(cr, "Score", y);
    y += 20;
    body(cr, "Your score is your playing time plus the penalties: lower is better. Each layout keeps a table of "
             "its eight best games, ranked by the tiles left, then by the score.",
         36, y, 443);
    return c.picture();
}

} // namespace

void addRules(Entries &out)
{
    addJpeg(out, "art/rules_0_tl.jpg", pageOne());
    addJpeg(out, "art/rules_1_tl.jpg", pageTwo());

    PlateStyle style;
    style.fontSize = 16;
    auto closeButton = [&](bool lit) {
        Canvas c(kCloseW, kCloseH);
        drawPlate(c.cr(), 2, (kCloseH - 30) / 2, kCloseW - 4, 30, "Close", lit, style);
        return c.picture();
    };
    addTga(out, "art/rules_close_tl.tga", closeButton(false));
    addTga(out, "art/rules_close_lit_tl.tga", closeButton(true));

    PlateStyle arrow;
    arrow.fontSize = 14;
    arrow.face = Face::Sans;
    addPlatePair(out, "art/rules_prev_tl.tga", "art/rules_prev_lit_tl.tga", kStepW, kStepH, "\u25C0", 2, arrow);
    addPlatePair(out, "art/rules_next_tl.tga", "art/rules_next_lit_tl.tga", kStepW, kStepH, "\u25B6", 2, arrow);
}

} // namespace screenart
} // namespace content

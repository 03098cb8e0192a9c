// The head-up display: numbers drawn right to left from their digit
// sprites with commas every three digits, the three areas painted
// separately, and when the display and the no-match overlay are left out.
#include <gtest/gtest.h>

#include "game/drawing_test_support.h"

namespace {

struct Glyph
{
    int32_t slot;
    int32_t x, y;
};

bool operator==(const Glyph &a, const Glyph &b)
{
    return a.slot == b.slot && a.x == b.x && a.y == b.y;
}

std::ostream &operator<<(std::ostream &out, const Glyph &g)
{
    return out << "{slot " << g.slot << " at " << g.x << "," << g.y << "}";
}

const int32_t kColon = TM_ART_COLON;
const int32_t kComma = TM_ART_COMMA;
constexpr int32_t digit(int32_t d)
{
    return TM_ART_DIGIT_0 + d;
}

class HudTest : public DrawingTest
{
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        // The expected positions below assume the kit's 12 x 18 glyphs.
        for (int32_t slot = TM_ART_DIGIT_0; slot <= TM_ART_COMMA; ++slot) {
            ASSERT_EQ(12, game.m_sprites[slot].getWidth()) << slot;
            ASSERT_EQ(18, game.m_sprites[slot].getHeight()) << slot;
        }
    }

    std::vector<Glyph> glyphs()
    {
        std::vector<Glyph> out;
        for (const RecordedDraw &d : recorded())
            if (d.slot >= TM_ART_DIGIT_0 && d.slot <= TM_ART_COMMA) {
                out.push_back({d.slot, d.dest.x0, d.dest.y0});
                EXPECT_TRUE(d.blended);
                EXPECT_EQ(kStandardBlend.dstAlphaSource, d.mode.dstAlphaSource);
            }
        return out;
    }
};

} // namespace

TEST_F(HudTest, NumbersRunRightToLeftWithCommasEveryThreeDigits)
{
    struct Case
    {
        const char *text;
        bool commas;
        int32_t x, y;
        std::vector<Glyph> expected;
    };
    const Case cases[] = {
        {"144", true, 610, 452, {{digit(4), 610, 452}, {digit(4), 598, 452}, {digit(1), 586, 452}}},
        // The comma sits 3 pixels lower; the step before it is 3w/4 + 1,
        // after it 3w/4.
        {"1000", true, 100, 200,
         {{digit(0), 100, 200}, {digit(0), 88, 200}, {digit(0), 76, 200}, {kComma, 66, 203}, {digit(1), 57, 200}}},
        {"1234567", true, 300, 10,
         {{digit(7), 300, 10}, {digit(6), 288, 10}, {digit(5), 276, 10}, {kComma, 266, 13}, {digit(4), 257, 10},
          {digit(3), 245, 10}, {digit(2), 233, 10}, {kComma, 223, 13}, {digit(1), 214, 10}}},
        // Without commas the narrower step after the third character stays.
        {"00:00", false, 270, 452,
         {{digit(0), 270, 452}, {digit(0), 258, 452}, {kColon, 246, 452}, {digit(0), 236, 452},
          {digit(0), 224, 452}}},
        {"1000", false, 100, 200, {{digit(0), 100, 200}, {digit(0), 88, 200}, {digit(0), 76, 200}, {digit(1), 66, 200}}},
        // A character without a glyph takes the last width as its step.
        {"1-2", true, 100, 0, {{digit(2), 100, 0}, {digit(1), 76, 0}}},
        {"", true, 100, 0, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        recorder->draws.clear();
        recorder->surfaces.clear();
        game.m_drawNumberString(c.text, c.x, c.y, c.commas, kWholeScreen);
        EXPECT_EQ(c.expected, glyphs());
    }
}

TEST_F(HudTest, NumbersAreClippedGlyphByGlyph)
{
    game.m_drawNumberString("1000", 100, 200, true, HRect(70, 0, 94, 210));
    const std::vector<RecordedDraw> draws = recorded();
    ASSERT_EQ(3u, draws.size());
    EXPECT_TRUE(sameRect(HRect(88, 200, 94, 210), draws[0].dest)) << draws[0].dest;
    EXPECT_TRUE(sameRect(HRect(0, 0, 6, 10), draws[0].src)) << draws[0].src;
    EXPECT_TRUE(sameRect(HRect(76, 200, 88, 210), draws[1].dest)) << draws[1].dest;
    EXPECT_TRUE(sameRect(HRect(70, 203, 78, 210), draws[2].dest)) << draws[2].dest;
    EXPECT_TRUE(sameRect(HRect(4, 0, 12, 7), draws[2].src)) << draws[2].src;
}

TEST_F(HudTest, ShowsTilesLeftMovesAndTimeWithPenalties)
{
    game.m_board.tilesLeft = 144;
    game.m_board.movesAvailable = 18;
    game.m_penaltySeconds = 30;
    game.at(kStart + 10999);
    paint(kWholeScreen);
    const std::vector<Glyph> expected = {
        {digit(4), 610, 452}, {digit(4), 598, 452}, {digit(1), 586, 452},                    // 144
        {digit(8), 440, 452}, {digit(1), 428, 452},                                          // 18
        {digit(0), 270, 452}, {digit(4), 258, 452}, {kColon, 246, 452}, {digit(0), 236, 452}, // 00:40
        {digit(0), 224, 452},
    };
    EXPECT_EQ(expected, glyphs());

    // Paused time is not played time: 71 s with 10 s paused, plus 30.
    game.at(kStart + 20000);
    game.m_beginPause();
    game.at(kStart + 30000);
    game.m_endPause();
    game.at(kStart + 71000);
    const tmscreen::Box &area = tmscreen::kTimeArea;
    paint(HRect(area.x0, area.y0, area.x1, area.y1));
    const std::vector<Glyph> clock = {{digit(1), 270, 452}, {digit(3), 258, 452}, {kColon, 246, 452},
                                      {digit(1), 236, 452}, {digit(0), 224, 452}}; // 01:31
    EXPECT_EQ(clock, glyphs());
}

TEST_F(HudTest, EachAreaIsPaintedOnlyWhenTheRectangleMeetsIt)
{
    game.m_board.tilesLeft = 7;
    game.m_board.movesAvailable = 3;
    game.at(kStart);
    struct Case
    {
        const char *name;
        HRect rect;
        std::vector<Glyph> expected;
    };
    const std::vector<Glyph> clock = {{digit(0), 270, 452}, {digit(0), 258, 452}, {kColon, 246, 452},
                                      {digit(0), 236, 452}, {digit(0), 224, 452}};
    const Case cases[] = {
        {"tiles left", HRect(574, 450, 640, 480), {{digit(7), 610, 452}}},
        {"moves", HRect(417, 450, 470, 480), {{digit(3), 440, 452}}},
        {"time", HRect(211, 450, 314, 480), clock},
        {"none of them", HRect(125, 0, 640, 440), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        paint(c.rect);
        EXPECT_EQ(c.expected, glyphs());
    }
}

TEST_F(HudTest, EndStatesShowTheFinalTimeAndTheTitleNoDisplay)
{
    game.m_board.tilesLeft = 0;
    game.m_board.movesAvailable = 0;
    game.m_statistics.finalTime = 3725; // 62:05
    game.m_penaltySeconds = 500;
    game.at(kStart + 999999);
    const std::vector<Glyph> expected = {
        {digit(0), 610, 452}, {digit(0), 440, 452},
        {digit(5), 270, 452}, {digit(0), 258, 452}, {kColon, 246, 452}, {digit(2), 236, 452}, {digit(6), 224, 452},
    };
    for (int32_t state : {TM_STATE_WON, TM_STATE_LOST}) {
        SCOPED_TRACE(state);
        game.m_gameState = state;
        paint(kWholeScreen);
        EXPECT_EQ(expected, glyphs());
    }
    game.m_gameState = TM_STATE_TITLE;
    paint(kWholeScreen);
    EXPECT_TRUE(glyphs().empty());
}

TEST_F(HudTest, DialogsAndPausesLeaveOutTheDisplayOrTheOverlay)
{
    game.m_noMatchTime = VyTime(kStart);
    game.at(kStart + 100);
    struct Case
    {
        const char *name;
        bool underDialog;
        bool playerPaused;
        int32_t pauseCount;
        bool hud;
        bool overlay;
    };
    const Case cases[] = {
        {"main loop", false, false, 0, true, true},
        {"inside a dialog", true, false, 0, false, false},
        {"player's pause", false, true, 1, false, false},
        {"framework pause only", false, false, 1, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        game.m_bPaused = c.playerPaused;
        game.m_pauseCount = c.pauseCount;
        paint(kWholeScreen, c.underDialog);
        EXPECT_EQ(c.hud, !glyphs().empty());
        EXPECT_EQ(c.overlay, !drawsOf(TM_ART_NO_MATCH).empty());
    }
    game.m_bPaused = false;
    game.m_pauseCount = 0;
}

// The 21 controls as start-up creates them: order, class, place, size,
// pictures, required state and enabled flag; and the no-match overlay's
// rectangle worked out alongside.
#include <gtest/gtest.h>

#include <typeinfo>

#include "game/controls_support.h"

using tilmar_test::TempDir;

namespace {

const int kNone = -1;
const int kAny = -1; // not a state-limited control

struct Row
{
    const std::type_info &type;
    tmscreen::Point at;
    int normal;
    int lit;
    int state;
    bool label; // the one picture in all four looks
};

const Row kRows[] = {
    {typeid(TMExitControl), tmscreen::kExitControl, 75, 76, kAny, false},
    {typeid(TMOptionsControl), tmscreen::kOptionsControl, 83, 84, kAny, false},
    {typeid(TMShowMovesControl), tmscreen::kShowMovesControl, 77, 78, kAny, false},
    {typeid(TMHintControl), tmscreen::kHintControl, 79, 80, 1, false},
    {typeid(TMPauseControl), tmscreen::kPauseControl, 85, 86, kAny, false},
    {typeid(TMRestartControl), tmscreen::kRestartControl, 91, 92, 1, false},
    {typeid(TMRulesControl), tmscreen::kRulesControl, 93, 94, kAny, false},
    {typeid(TMShuffleControl), tmscreen::kShuffleControl, 95, 96, kAny, false},
    {typeid(TMUndoControl), tmscreen::kUndoControl, 97, 98, kAny, false},
    {typeid(TMClickToStartControl), tmscreen::kStartControl, 70, 71, 0, false},
    {typeid(TMClickToContinueControl), tmscreen::kContinueControl, kNone, 72, 3, false},
    {typeid(TMClickToContinueControl), tmscreen::kContinueControl, kNone, 72, 2, false},
    {typeid(TMTableTopDecrementControl), tmscreen::kBackgroundLeftArrow, 4, 6, 0, false},
    {typeid(TMTableTopIncrementControl), tmscreen::kBackgroundRightArrow, 5, 7, 0, false},
    {typeid(TMTileSetDecrementControl), tmscreen::kTileSetLeftArrow, 4, 6, 0, false},
    {typeid(TMTileSetIncrementControl), tmscreen::kTileSetRightArrow, 5, 7, 0, false},
    {typeid(TMLayoutDecrementControl), tmscreen::kLayoutLeftArrow, 4, 6, 0, false},
    {typeid(TMLayoutIncrementControl), tmscreen::kLayoutRightArrow, 5, 7, 0, false},
    {typeid(TMLabelControl), tmscreen::kTimeLabel, 99, 99, kAny, true},
    {typeid(TMLabelControl), tmscreen::kMovesLabel, 101, 101, kAny, true},
    {typeid(TMLabelControl), tmscreen::kTilesLeftLabel, 100, 100, kAny, true},
};

} // namespace

TEST(ControlsCreation, TwentyOneControlsInTableOrderWithTheirPlacesAndPictures)
{
    TempDir home;
    TestTilmar game;
    ASSERT_TRUE(startGame(game, home));
    ASSERT_TRUE(controlArtLoaded(game));

    const std::vector<UIControl *> controls = controlsInCreationOrder(game);
    ASSERT_EQ(sizeof kRows / sizeof kRows[0], controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const Row &row = kRows[i];
        UIControl *control = controls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        ASSERT_EQ(row.type, typeid(*control));

        VGSprite *lit = &game.m_sprites[row.lit];
        VGSprite *normal = row.normal == kNone ? nullptr : &game.m_sprites[row.normal];
        ASSERT_TRUE(lit->isLoaded());
        const HRect rect = control->getRect();
        EXPECT_EQ(row.at.x, rect.x0);
        EXPECT_EQ(row.at.y, rect.y0);
        EXPECT_EQ(row.at.x + lit->getWidth(), rect.x1);
        EXPECT_EQ(row.at.y + lit->getHeight(), rect.y1);

        VGControlDelegate *delegate = delegateOf(control);
        EXPECT_EQ(normal, delegate->getNormal());
        EXPECT_EQ(lit, delegate->getHighlighted());
        EXPECT_EQ(lit, delegate->getPressed());
        EXPECT_EQ(row.label ? normal : nullptr, delegate->getDisabled());

        if (row.state != kAny) {
            EXPECT_EQ(row.state, static_cast<TMStateLimitedControl *>(control)->getRequiredState());
        }
        const bool disabled = row.type == typeid(TMShowMovesControl) || row.type == typeid(TMUndoControl);
        EXPECT_EQ(!disabled, control->isEnabled());
    }

    EXPECT_EQ(controls[2], game.getShowMovesControl());
    EXPECT_EQ(controls[5], game.getRestartControl());
    EXPECT_EQ(controls[7], game.getShuffleControl());
    EXPECT_EQ(controls[8], game.getUndoControl());
    stopGame(game);
}

TEST(ControlsCreation, TheNoMatchOverlayIsCentredInTheBoardAreaAndRaised)
{
    TempDir home;
    TestTilmar game;
    ASSERT_TRUE(startGame(game, home));
    ASSERT_TRUE(controlArtLoaded(game));

    const int32_t w = game.m_sprites[TM_ART_NO_MATCH].getWidth();
    const int32_t h = game.m_sprites[TM_ART_NO_MATCH].getHeight();
    const HRect &r = game.getNoMatchRect();
    EXPECT_EQ((515 - w) / 2 + 125, r.x0);
    EXPECT_EQ((480 - h) / 2 - 50, r.y0);
    EXPECT_EQ(r.x0 + w, r.x1);
    EXPECT_EQ(r.y0 + h, r.y1);
    stopGame(game);
}

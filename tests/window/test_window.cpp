// The real program in a real X window: what it draws, checked on
// screenshots against the archive's own pictures, and the mouse and the
// keyboard worked through the X server as a player works them.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "engine/core/HRect.h"
#include "engine/media/HEvent.h"
#include "program/demo_writer.h"
#include "support/skip_support.h"
#include "window/window_support.h"

namespace {

using namespace window_test;

const char *const kLeftPanel = "art/left_tl.jpg";
const char *const kTitlePicture = "art/start_tl.jpg";
// A fresh player's background, number 0, is the tenth picture.
const char *const kFreshBackground = "art/arena10_tl.jpg";
const char *const kConfirmBackground = "art/restart_areyousure.jpg";
const char *const kConfirmNo = "art/besttimes_areyousure_no.tga";
// The fresh player's layout puts its tiles on the same places whatever the seed.
constexpr uint32_t kAnySeed = 1000;

// The parts of the left panel that no control of the title screen covers:
// above the first control, and between the rules and exit buttons.
std::vector<Box> titlePanelRegions()
{
    const int32_t rulesBottom = tmscreen::kRulesControl.y + demo::imageSize("art/icon_rules_tl.tga").y;
    return {{0, 0, tmscreen::kPanelWidth, tmscreen::kRestartControl.y},
            {0, rulesBottom, tmscreen::kPanelWidth, tmscreen::kExitControl.y}};
}

// The parts of the title picture that no preview or control covers: the
// band above the previews and the two sides beyond the arrows.
std::vector<Box> titlePictureRegions()
{
    const int32_t arrowRight = tmscreen::kTileSetRightArrow.x + demo::imageSize("art/arrow_right_tl.tga").x;
    const int32_t top = tmscreen::kBackgroundPreview.y;
    return {{tmscreen::kPanelWidth, 0, tmscreen::kScreenWidth, top},
            {tmscreen::kPanelWidth, top, tmscreen::kBackgroundLeftArrow.x, tmscreen::kScreenHeight},
            {arrowRight, top, tmscreen::kScreenWidth, tmscreen::kScreenHeight}};
}

// The title screen at `origin` of the screenshot.
::testing::AssertionResult showsTitleScreen(const Picture &shot, Point origin = {0, 0})
{
    static const Picture panel = archivePicture(kLeftPanel);
    static const Picture title = archivePicture(kTitlePicture);
    if (panel.empty() || title.empty())
        return ::testing::AssertionFailure() << "the archive's pictures cannot be read";
    for (const Box &region : titlePanelRegions())
        if (::testing::AssertionResult shown = showsPicture(shot, panel, {0, 0}, region, origin); !shown)
            return shown << " (the left panel)";
    for (const Box &region : titlePictureRegions())
        if (::testing::AssertionResult shown = showsPicture(shot, title, tmscreen::kTitlePicture, region, origin);
            !shown)
            return shown << " (the title picture)";
    return ::testing::AssertionSuccess();
}

// The places of a dealt board's tiles: the pictures with their shadows, and
// the faces.
struct BoardPlaces
{
    std::vector<HRect> full;
    std::vector<HRect> faces;
};

const BoardPlaces &boardPlaces()
{
    static const BoardPlaces places = [] {
        BoardPlaces p;
        demo::BoardPlay play(kAnySeed, 0);
        for (const TMTile &tile : play.board().tiles) {
            if (!tile.present)
                continue;
            HRect r;
            play.board().getFullRect(&tile, &r);
            p.full.push_back(r);
            play.board().getFaceRect(&tile, &r);
            p.faces.push_back(r);
        }
        return p;
    }();
    return places;
}

bool s_inAny(const std::vector<HRect> &rects, int32_t x, int32_t y)
{
    return std::any_of(rects.begin(), rects.end(),
                       [&](const HRect &r) { return x >= r.x0 && x < r.x1 && y >= r.y0 && y < r.y1; });
}

// The light ivory of the tiles' faces, which the dark green art around them
// does not have.
bool s_tileColoured(const uint8_t *p)
{
    return p[0] >= 170 && p[1] >= 160 && p[2] >= 120;
}

// The board area above the head-up display.
constexpr Box kBoardAboveHud = {tmscreen::kPanelWidth, 0, tmscreen::kScreenWidth, tmscreen::kTimeLabel.y};

// A fresh player's board, dealt: the background between the tiles, the
// tiles' light faces where the layout puts them, the title picture gone.
::testing::AssertionResult showsDealtBoard(const Picture &shot)
{
    static const Picture background = archivePicture(kFreshBackground);
    static const Picture title = archivePicture(kTitlePicture);
    const BoardPlaces &places = boardPlaces();
    if (background.empty() || title.empty() || places.full.size() != TM_TILE_COUNT)
        return ::testing::AssertionFailure() << "the archive's pictures or layout cannot be read";

    const LeaveOut onTiles = [&](int32_t x, int32_t y) { return s_inAny(places.full, x, y); };
    if (::testing::AssertionResult shown =
            showsPicture(shot, background, tmscreen::kBackgroundPicture, kBoardAboveHud, {0, 0}, onTiles);
        !shown)
        return shown << " (the background between the tiles)";

    int64_t faces = 0, light = 0;
    for (int32_t y = kBoardAboveHud.y0; y < kBoardAboveHud.y1; ++y)
        for (int32_t x = kBoardAboveHud.x0; x < kBoardAboveHud.x1; ++x)
            if (s_inAny(places.faces, x, y)) {
                ++faces;
                light += s_tileColoured(shot.at(x, y)) ? 1 : 0;
            }
    // About three fifths of a dealt board's faces are light (the rest is
    // their symbols); the title picture has under a tenth there.
    const double lightShare = faces ? static_cast<double>(light) / faces : 0.0;
    if (lightShare < 0.4)
        return ::testing::AssertionFailure() << "only " << lightShare * 100 << " % of the tiles' faces are light";

    for (const Box &region : titlePictureRegions())
        if (shareShowing(shot, title, tmscreen::kTitlePicture, region, {0, 0}, onTiles) > 0.5)
            return ::testing::AssertionFailure() << "the title picture still shows";
    return ::testing::AssertionSuccess();
}

// The leave-the-game question, centred vertically at its left edge.
struct ConfirmDialog
{
    Picture background;
    Point at;
    Point no;
};

ConfirmDialog confirmDialog()
{
    ConfirmDialog d;
    d.background = archivePicture(kConfirmBackground);
    d.at = {tmscreen::kRestartConfirmX, (tmscreen::kScreenHeight - d.background.height) / 2};
    // The cancel button sits three quarters along the row of the buttons.
    const Point no = demo::imageSize(kConfirmNo);
    d.no = {d.at.x + ((d.background.width - no.x) * 3) / 4 + no.x / 2,
            d.at.y + d.background.height - (no.y * 3) / 2 + no.y / 2};
    return d;
}

// The dialog's picture above the row of its buttons.
Box dialogBox(const ConfirmDialog &d)
{
    const int32_t rowTop = d.background.height - (demo::imageSize(kConfirmNo).y * 3) / 2;
    return {d.at.x, d.at.y, d.at.x + d.background.width, d.at.y + rowTop};
}

::testing::AssertionResult showsConfirmDialog(const Picture &shot, const ConfirmDialog &d)
{
    return showsPicture(shot, d.background, d.at, dialogBox(d));
}

// A left-panel button and its two looks.
struct PanelButton
{
    const char *name;
    Point at;
    Picture normal;
    Picture lit;
};

PanelButton panelButton(const char *name, Point at, const char *normal, const char *lit)
{
    return {name, at, archivePicture(normal), archivePicture(lit)};
}

const PanelButton &optionsButton()
{
    static const PanelButton options =
        panelButton("options", tmscreen::kOptionsControl, "art/icon_options_tl.tga", "art/icon_options_lit_tl.tga");
    return options;
}

::testing::AssertionResult showsButton(const Picture &shot, const PanelButton &button, bool lit)
{
    if (::testing::AssertionResult shown = showsOpaquePart(shot, lit ? button.lit : button.normal, button.at); !shown)
        return shown << " (the " << button.name << " button " << (lit ? "lit" : "unlit") << ")";
    return ::testing::AssertionSuccess();
}

// A free tile of the fresh player's board, the point the pointer rests on
// to hover it, and the pixels of its face that tiles drawn over it cover.
struct HoverTile
{
    Point pointer;
    Point face;
    LeaveOut covered;
};

// Two free tiles far apart: the topmost one and the leftmost free one.
std::vector<HoverTile> hoverTiles()
{
    static const demo::BoardPlay play(kAnySeed, 0);
    const TMBoard &board = play.board();
    int32_t top = -1, left = -1;
    for (int32_t i = 0; i < TM_TILE_COUNT; ++i) {
        const TMTile &t = board.tiles[i];
        if (!t.present || !board.isFree(&t))
            continue;
        if (top < 0 || t.z > board.tiles[top].z)
            top = i;
        if (left < 0 || t.x < board.tiles[left].x)
            left = i;
    }
    std::vector<HoverTile> tiles;
    for (int32_t i : {top, left}) {
        HoverTile tile;
        HRect face;
        if (i < 0 || !play.clickPoint(i, tile.pointer))
            return {};
        board.getFaceRect(&board.tiles[i], &face);
        tile.face = {face.x0, face.y0};
        std::vector<HRect> over;
        for (const TMTile &t : board.tiles) {
            HRect full;
            board.getFullRect(&t, &full);
            if (&t != &board.tiles[i] && t.present && t.z >= board.tiles[i].z && full.intersects(face))
                over.push_back(full);
        }
        tile.covered = [over](int32_t x, int32_t y) { return s_inAny(over, x, y); };
        tiles.push_back(tile);
    }
    return tiles;
}

// The hover outline of a free tile shows on `hovered` and on no other.
::testing::AssertionResult outlinesOnly(const Picture &shot, const std::vector<HoverTile> &tiles, size_t hovered)
{
    static const Picture outline = archivePicture("art/outline_green.tga");
    for (size_t i = 0; i < tiles.size(); ++i) {
        if (i == hovered) {
            if (::testing::AssertionResult shown = showsOpaquePart(shot, outline, tiles[i].face, tiles[i].covered);
                !shown)
                return shown << " (the outline of tile " << i << ")";
        } else if (shareShowingOpaquePart(shot, outline, tiles[i].face, tiles[i].covered) > 0.5) {
            return ::testing::AssertionFailure() << "tile " << i << " still shows the outline";
        }
    }
    return ::testing::AssertionSuccess();
}

class RealWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string why;
        if (!m_server.start(m_scratch, why))
            return tilmar_test::skipUnlessCI("No virtual X server could start, so there is no real window to test: " +
                                             why);
        ASSERT_TRUE(m_window.launch(why, m_options)) << why;
        m_window.rest();
    }

    void waitForTitleScreen()
    {
        Picture shot;
        ASSERT_TRUE(m_window.waitForScreen(testName() + "_title", [](const Picture &s) { return showsTitleScreen(s); },
                                           shot));
    }

    void expectEndsWithStatusZero()
    {
        Child &program = m_window.program();
        ASSERT_TRUE(program.waitForEnd(kExitWaitMs)) << "the program did not end\n" << m_window.programOutput();
        EXPECT_TRUE(program.exited() && program.exitStatus() == 0)
            << program.describeEnd() << "\n" << m_window.programOutput();
    }

    // From a game: Exit, the question answered Yes, the end.
    void leaveTheGame(const ConfirmDialog &dialog, const std::string &label)
    {
        Picture shot;
        ASSERT_TRUE(m_window.click(demo::inside(tmscreen::kExitControl)));
        ASSERT_TRUE(m_window.waitForScreen(
            testName() + label, [&](const Picture &s) { return showsConfirmDialog(s, dialog); }, shot));
        ASSERT_TRUE(m_window.click(demo::areYouSureOk()));
        expectEndsWithStatusZero();
    }

    static std::string testName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

    // The program's command line, set before SetUp.
    std::vector<std::string> m_options;
    tilmar_test::TempDir m_scratch;
    XServer m_server;
    GameWindow m_window{m_server, m_scratch};
};

// The program records every input event it takes in its journal.
class RealWindowJournal : public RealWindow
{
protected:
    RealWindowJournal() { m_options = {"--journal"}; }

    std::vector<HEvent> journal() const
    {
        const std::string bytes = tilmar_test::readFile(m_window.homeFile("journal.bin"));
        std::vector<HEvent> events(bytes.size() / sizeof(HEvent));
        if (!events.empty())
            std::memcpy(events.data(), bytes.data(), events.size() * sizeof(HEvent));
        return events;
    }
};

TEST_F(RealWindow, TitleScreenShowsTheArchivePicturesAndItsExitButtonEndsWithStatusZero)
{
    waitForTitleScreen();
    // Nothing to lose on the title screen: the program ends without asking.
    ASSERT_TRUE(m_window.click(demo::inside(tmscreen::kExitControl)));
    expectEndsWithStatusZero();
}

TEST_F(RealWindow, StartButtonDealsABoardAndExitAsksBeforeEndingWithStatusZero)
{
    waitForTitleScreen();
    ASSERT_TRUE(m_window.click(demo::inside(tmscreen::kStartControl)));
    m_window.rest();
    Picture shot;
    ASSERT_TRUE(m_window.waitForScreen(testName() + "_board", showsDealtBoard, shot));

    // During a game the exit button asks first; No goes back to the board.
    const ConfirmDialog dialog = confirmDialog();
    ASSERT_FALSE(dialog.background.empty());
    ASSERT_TRUE(m_window.click(demo::inside(tmscreen::kExitControl)));
    ASSERT_TRUE(m_window.waitForScreen(
        testName() + "_asked", [&](const Picture &s) { return showsConfirmDialog(s, dialog); }, shot));
    ASSERT_TRUE(m_window.click(dialog.no));
    m_window.rest();
    ASSERT_TRUE(m_window.waitForScreen(
        testName() + "_kept",
        [&](const Picture &s) -> ::testing::AssertionResult {
            if (shareShowing(s, dialog.background, dialog.at, dialogBox(dialog)) > 0.5)
                return ::testing::AssertionFailure() << "the question still shows";
            return showsDealtBoard(s);
        },
        shot));
    EXPECT_TRUE(m_window.program().running());
    leaveTheGame(dialog, "_asked_again");
}

TEST_F(RealWindow, AltEnterSwitchesToFullScreenAndBackAndTheProgramGoesOn)
{
    waitForTitleScreen();
    const Point centred = {(kServerScreen.x - tmscreen::kScreenWidth) / 2,
                           (kServerScreen.y - tmscreen::kScreenHeight) / 2};
    static const Picture panel = archivePicture(kLeftPanel);
    const Box panelTop = titlePanelRegions().front();
    // Where the title screen shows on the whole X screen.
    const auto titleOnScreenAt = [&](Point expected) {
        return [&, expected](const Picture &s) -> ::testing::AssertionResult {
            Point origin = {0, 0};
            if (!findGameScreen(s, panel, {0, 0}, panelTop, origin))
                return ::testing::AssertionFailure() << "the left panel shows nowhere on the screen";
            if (origin.x != expected.x || origin.y != expected.y)
                return ::testing::AssertionFailure() << "the game screen shows at (" << origin.x << ", " << origin.y
                                                     << ")";
            return showsTitleScreen(s, origin);
        };
    };

    Picture shot;
    ASSERT_TRUE(m_window.key("alt+Return"));
    ASSERT_TRUE(m_window.waitForScreen(testName() + "_full_screen", titleOnScreenAt(centred), shot, true));
    ASSERT_TRUE(m_window.key("alt+Return"));
    ASSERT_TRUE(m_window.waitForScreen(testName() + "_windowed", titleOnScreenAt({0, 0}), shot, true));

    // The window still takes the mouse.
    ASSERT_TRUE(m_window.click(demo::inside(tmscreen::kExitControl)));
    expectEndsWithStatusZero();
}

// The rules are closed with Enter: the pointer then lights the button it
// is moved onto, and the rules button is not left lit behind its dialog.
TEST_F(RealWindow, AfterTheRulesCloseWithEnterTheButtonUnderThePointerLights)
{
    waitForTitleScreen();
    const PanelButton rules =
        panelButton("rules", tmscreen::kRulesControl, "art/icon_rules_tl.tga", "art/icon_rules_lit_tl.tga");
    const PanelButton &options = optionsButton();
    const Picture page = archivePicture("art/rules_0_tl.jpg");
    ASSERT_FALSE(page.empty() || rules.lit.empty() || options.lit.empty());
    // The page's top band, above its text and its buttons.
    const Box pageTop = {tmscreen::kRulesDialog.x, tmscreen::kRulesDialog.y, tmscreen::kRulesDialog.x + page.width,
                         tmscreen::kRulesDialog.y + 20};

    Picture shot;
    ASSERT_TRUE(m_window.click(demo::inside(tmscreen::kRulesControl)));
    ASSERT_TRUE(m_window.waitForScreen(
        testName() + "_rules",
        [&](const Picture &s) -> ::testing::AssertionResult {
            if (::testing::AssertionResult shown = showsPicture(s, page, tmscreen::kRulesDialog, pageTop); !shown)
                return shown << " (the rules)";
            return showsButton(s, rules, false);
        },
        shot));
    ASSERT_TRUE(m_window.key("Return"));
    ASSERT_TRUE(m_window.moveTo(demo::inside(tmscreen::kOptionsControl)));
    ASSERT_TRUE(m_window.waitForScreen(
        testName() + "_options_lit",
        [&](const Picture &s) -> ::testing::AssertionResult {
            if (::testing::AssertionResult shown = showsTitleScreen(s); !shown)
                return shown;
            if (::testing::AssertionResult shown = showsButton(s, options, true); !shown)
                return shown;
            return showsButton(s, rules, false);
        },
        shot));

    // The first click after the dialog works as any other.
    ASSERT_TRUE(m_window.click(demo::inside(tmscreen::kExitControl)));
    expectEndsWithStatusZero();
}

// Exit and New Game answered No with Enter, so that no button release
// follows the question: neither button stays lit behind its question, and
// afterwards the buttons and the board's hover outline follow the pointer.
TEST_F(RealWindow, AfterExitOrNewGameIsAnsweredNoTheButtonsAndTheBoardFollowThePointer)
{
    waitForTitleScreen();
    const std::vector<HoverTile> tiles = hoverTiles();
    ASSERT_EQ(2u, tiles.size());
    const PanelButton exit =
        panelButton("exit", tmscreen::kExitControl, "art/icon_exit_tl.tga", "art/icon_exit_lit_tl.tga");
    const PanelButton newGame = panelButton("new game", tmscreen::kRestartControl, "art/icon_newgame_tl.tga",
                                            "art/icon_newgame_lit_tl.tga");
    const PanelButton &options = optionsButton();
    const ConfirmDialog dialog = confirmDialog();
    ASSERT_FALSE(dialog.background.empty() || exit.lit.empty() || newGame.lit.empty() || options.lit.empty());

    Picture shot;
    ASSERT_TRUE(m_window.click(demo::inside(tmscreen::kStartControl)));
    m_window.rest();
    ASSERT_TRUE(m_window.waitForScreen(testName() + "_board", showsDealtBoard, shot));
    ASSERT_TRUE(m_window.moveTo(tiles[0].pointer));
    ASSERT_TRUE(m_window.waitForScreen(
        testName() + "_hover_first", [&](const Picture &s) { return outlinesOnly(s, tiles, 0); }, shot));

    // Each question is answered No; then the pointer goes onto Options and
    // onto the other tile.
    size_t hovered = 0;
    for (const PanelButton *button : {&exit, &newGame}) {
        SCOPED_TRACE(button->name);
        const std::string label = testName() + "_" + (button == &exit ? "exit" : "new_game");
        ASSERT_TRUE(m_window.click(demo::inside(button->at)));
        ASSERT_TRUE(m_window.waitForScreen(
            label + "_asked",
            [&](const Picture &s) -> ::testing::AssertionResult {
                if (::testing::AssertionResult shown = showsConfirmDialog(s, dialog); !shown)
                    return shown;
                return showsButton(s, *button, false);
            },
            shot));
        ASSERT_TRUE(m_window.key("Return"));
        ASSERT_TRUE(m_window.moveTo(demo::inside(tmscreen::kOptionsControl)));
        ASSERT_TRUE(m_window.waitForScreen(
            label + "_options_lit",
            [&](const Picture &s) -> ::testing::AssertionResult {
                if (shareShowing(s, dialog.background, dialog.at, dialogBox(dialog)) > 0.5)
                    return ::testing::AssertionFailure() << "the question still shows";
                if (::testing::AssertionResult shown = showsButton(s, options, true); !shown)
                    return shown;
                return showsButton(s, *button, false);
            },
            shot));
        hovered = 1 - hovered;
        ASSERT_TRUE(m_window.moveTo(tiles[hovered].pointer));
        ASSERT_TRUE(m_window.waitForScreen(
            label + "_hover", [&](const Picture &s) { return outlinesOnly(s, tiles, hovered); }, shot));
    }
    EXPECT_TRUE(m_window.program().running());
    leaveTheGame(dialog, "_asked_to_leave");
}

// With no window manager the keyboard follows the pointer: a key held while
// the pointer leaves is released where the program cannot see it. SDL goes
// on repeating a key until it sees its release, unless the focus loss stops
// the repeat.
TEST_F(RealWindowJournal, AKeyReleasedOutsideTheWindowRepeatsNoMore)
{
    waitForTitleScreen();
    const auto wait = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    // "x" is no command on the title screen. Held past the repeat's delay.
    ASSERT_TRUE(m_window.keyDown("x"));
    wait(900);
    ASSERT_TRUE(m_window.moveTo({tmscreen::kScreenWidth + 100, tmscreen::kScreenHeight + 100}));
    wait(300);
    ASSERT_TRUE(m_window.keyUp("x"));
    wait(900);
    ASSERT_TRUE(m_window.rest());
    wait(300);
    ASSERT_TRUE(m_window.click(demo::inside(tmscreen::kExitControl)));
    expectEndsWithStatusZero();

    const std::vector<HEvent> events = journal();
    const auto isX = [](const HEvent &e) { return e.type == ET_KEYDOWN && e.keyCode == KC_X; };
    const auto firstX = std::find_if(events.begin(), events.end(), isX);
    ASSERT_NE(firstX, events.end()) << "the key never reached the program";
    const auto loss = std::find_if(firstX, events.end(),
                                   [](const HEvent &e) { return e.type == ET_ACTIVATE && e.param == 0; });
    ASSERT_NE(loss, events.end()) << "the pointer leaving was not seen";
    // The repeat ran while the pointer was in the window, so its end means
    // something.
    EXPECT_GE(std::count_if(firstX, loss, isX), 4);
    EXPECT_EQ(0, std::count_if(loss, events.end(), isX));
}

} // namespace

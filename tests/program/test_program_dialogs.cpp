// The options dialog with its partner link, and the rules slide show,
// worked by the real program from demo files.
#include <gtest/gtest.h>

#include <unistd.h>

#include "engine/core/HUnixPlatform.h"
#include "program/program_support.h"

namespace {

using namespace program_test;
using demo::BoardPlay;
using demo::TilePair;

// The middle of a slider's knob at a value: the item's place is the knob's
// centre at 0, and the knob travels the track's length to 1.
Point knob(tmscreen::Point slider, float value)
{
    const Point at = demo::offset(tmscreen::kOptionsDialog, slider);
    return {at.x + static_cast<int32_t>(tmscreen::kOptionsSliderTrack * value), at.y};
}

void openOptions(DemoWriter &demo)
{
    demo.wait(700);
    demo.click(demo::inside(tmscreen::kOptionsControl));
    demo.wait(500);
}

// For a fresh player: sound 1 to 0.5, music 0.25 to 0.75, automatic hints
// off.
void changeTheOptions(DemoWriter &demo)
{
    demo.drag(knob(tmscreen::kOptionsSoundSlider, 1.0f), knob(tmscreen::kOptionsSoundSlider, 0.5f));
    demo.drag(knob(tmscreen::kOptionsMusicSlider, 0.25f), knob(tmscreen::kOptionsMusicSlider, 0.75f));
    demo.click(demo::inside(demo::offset(tmscreen::kOptionsDialog, tmscreen::kOptionsAutoHints)));
}

void closeOptions(DemoWriter &demo)
{
    demo.wait(300);
    demo.click(demo::inside(demo::offset(tmscreen::kOptionsDialog, tmscreen::kOptionsOk)));
    demo.wait(500);
}

void expectSettings(const tilmar_test::TempDir &home, float sound, float music, int32_t autoHint)
{
    std::map<std::string, std::string> registry = readRegistry(home);
    EXPECT_EQ(registry["Sound Volume"], valueBytes(sound));
    EXPECT_EQ(registry["Music Volume"], valueBytes(music));
    EXPECT_EQ(registry["Autohint"], valueBytes(autoHint));
}

TEST(ProgramDialogs, OptionsChangeTheVolumesAndAutomaticHintsAndSaveThem)
{
    tilmar_test::TempDir home;
    {
        DemoWriter demo(2000);
        openOptions(demo);
        changeTheOptions(demo);
        closeOptions(demo);
        leaveFromTitle(demo);
        const RunResult run = runDemo(home, demo);
        ASSERT_TRUE(run.endedWell()) << run.describe();
        expectSettings(home, 0.5f, 0.75f, 0);
    }
    {
        // The next start shows the saved values: the knob is found where
        // 0.5 puts it, and the toggle turns hints back on.
        DemoWriter demo(3000);
        openOptions(demo);
        demo.drag(knob(tmscreen::kOptionsSoundSlider, 0.5f), knob(tmscreen::kOptionsSoundSlider, 0.25f));
        demo.click(demo::inside(demo::offset(tmscreen::kOptionsDialog, tmscreen::kOptionsAutoHints)));
        closeOptions(demo);
        leaveFromTitle(demo);
        const RunResult run = runDemo(home, demo);
        ASSERT_TRUE(run.endedWell()) << run.describe();
        expectSettings(home, 0.25f, 0.75f, 1);
    }
}

TEST(ProgramDialogs, VisitPartnerSavesTheChangesOfTheSameVisitThenStartsTheBrowser)
{
    // Without a display the launcher runs "links" in the terminal; with one
    // (SDL still on its dummy driver) it starts Debian's chosen graphical
    // browser in the background. These only write down what they were given.
    struct Case
    {
        const char *browser;
        const char *display; // null: none
    };
    for (const Case &c : {Case{"links", nullptr}, Case{"x-www-browser", ":99"}}) {
        SCOPED_TRACE(c.browser);
        tilmar_test::TempDir home;
        tilmar_test::TempDir tools;
        const std::string given = home / "browser.txt";
        const std::string script = "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + given + "'\n";
        ASSERT_TRUE(tilmar_test::writeFile(tools / c.browser, script, 0755));

        DemoWriter demo(2000);
        openOptions(demo);
        changeTheOptions(demo);
        demo.wait(300);
        demo.click(demo::inside(demo::offset(tmscreen::kOptionsDialog, tmscreen::kOptionsVisit)));
        Launch launch;
        launch.path = tools.path();
        if (c.display)
            launch.environment.push_back(std::string("DISPLAY=") + c.display);
        const RunResult run = runDemo(home, demo, launch);

        // The launcher ends the program: had the click missed, it would have
        // waited for live input until it was killed.
        ASSERT_TRUE(run.endedWell()) << run.describe();
        const std::string expected = std::string(kVelmoraWebAddress) + "\n";
        // A browser started in the background may still be writing.
        for (int i = 0; i < 500 && tilmar_test::readFile(given) != expected; ++i)
            usleep(10000);
        EXPECT_EQ(expected, tilmar_test::readFile(given)) << run.describe();
        EXPECT_EQ(run.err.find("can't launch a browser"), std::string::npos) << run.describe();
        expectSettings(home, 0.5f, 0.75f, 0);
    }
}

TEST(ProgramDialogs, RulesSlideShowOpensPagesAndClosesWithTheClockStopped)
{
    const uint32_t seed = demo::findWinningSeed(kFirstSeed, kSeedTries);
    ASSERT_NE(seed, 0u);
    BoardPlay play(seed, 0);
    const std::vector<TilePair> pairs = play.greedy();
    ASSERT_FALSE(pairs.empty());

    DemoWriter demo(seed);
    demo.wait(700);
    const uint64_t start = demo.click(startButton());
    ASSERT_NE(playPairs(demo, play, {pairs.begin(), pairs.begin() + 4}, kClickGap), 0u);
    demo.wait(kClickGap);
    const uint64_t opened = demo.click(demo::inside(tmscreen::kRulesControl));
    demo.wait(4000);
    demo.click(demo::rulesNext());
    demo.wait(4000);
    demo.click(demo::rulesPrevious());
    demo.wait(4000);
    const uint64_t closed = demo.click(demo::rulesClose());
    const uint64_t last = playPairs(demo, play, {pairs.begin() + 4, pairs.end()}, kClickGap);
    ASSERT_NE(last, 0u);
    std::map<std::string, std::string> registry = finishAndRun(demo, "Rulebook");

    // Had the show not opened, or not closed on its button, the clicks
    // would have missed or the program would not have ended.
    const int32_t secs = static_cast<int32_t>((last - start - (closed - opened)) / 1000);
    EXPECT_TRUE(storedBestTime(registry["HS:0x0"], "Rulebook", secs, secs, 0));
}

} // namespace

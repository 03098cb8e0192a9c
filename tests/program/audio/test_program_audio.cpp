// Whole runs with SDL's disk audio driver, a won game and a pause on the
// title screen: the mixer runs on SDL's own audio thread the whole time, and
// what it mixes lands in a file. The settings silence the music, the effects
// or both, so what sounds after the splash (which plays at a fixed volume)
// is the part left on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "engine/media/HAudioSampleLoader.h"
#include "game/registry_support.h"
#include "program/program_support.h"

namespace {

using namespace program_test;

// Bytes of 16-bit stereo output the splash fills, from the archive's file.
size_t splashBytes()
{
    HOGGLoader loader;
    HAudioBufferTemplate splash{};
    if (!loader.loadAudioSample(demo::resources(), "sound/tm_splash.ogg", &splash, 16, 22050))
        return 0;
    std::free(splash.data);
    // A mono sample sounds on both sides.
    return static_cast<size_t>(splash.size) * (splash.channels == 1 ? 2 : 1);
}

// The 16-bit values that are not zero, from the byte `from` on (rounded up
// to a whole value).
size_t soundingFrom(const std::string &pcm, size_t from)
{
    size_t count = 0;
    for (size_t at = (from + 1) & ~size_t(1); at + 1 < pcm.size(); at += 2) {
        int16_t value;
        std::memcpy(&value, pcm.data() + at, 2);
        count += value != 0;
    }
    return count;
}

// Values that are not zero once the splash is over: from the first sound
// on, the splash's length is skipped.
size_t soundingAfterSplash(const std::string &pcm, size_t splash)
{
    size_t first = 0;
    while (first < pcm.size() && pcm[first] == 0)
        ++first;
    return soundingFrom(pcm, first + splash);
}

struct Case
{
    const char *name;
    float music;
    float sound;
    bool sounds; // something is heard after the splash
};

void PrintTo(const Case &c, std::ostream *os)
{
    *os << "music volume " << c.music << ", effects volume " << c.sound;
}

class ProgramAudio : public ::testing::TestWithParam<Case>
{
};

TEST_P(ProgramAudio, AWonGameIsMixedOnTheAudioThread)
{
    const Case &c = GetParam();
    const size_t splash = splashBytes();
    ASSERT_GT(splash, 0u);
    WonGame won;
    ASSERT_NO_FATAL_FAILURE(writeWonGame(won, "Audrey"));

    tilmar_test::TempDir home;
    ASSERT_TRUE(writeRegistry(home, registryRecord("Music Volume", floatBytes(c.music)) +
                                        registryRecord("Sound Volume", floatBytes(c.sound))));
    const std::string output = home / "mixed.raw";
    Launch launch;
    // A chunk every millisecond or so: the demo plays much faster than real
    // time, and the mixer must still run well past the splash.
    launch.environment = {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + output, "SDL_DISKAUDIODELAY=1"};
    const RunResult run = runDemo(home, won.demo, launch);
    ASSERT_TRUE(run.endedWell()) << run.describe();
    std::map<std::string, std::string> registry = readRegistry(home);
    EXPECT_TRUE(storedBestTime(registry["HS:0x0"], "Audrey", won.seconds, won.seconds, 0));

    const std::string pcm = tilmar_test::readFile(output);
    // Sixteen chunks past the splash at least, so that silence there means
    // something.
    ASSERT_GT(pcm.size(), splash + 16 * 4096) << "the audio thread mixed too little to tell";
    const size_t sounding = soundingAfterSplash(pcm, splash);
    if (c.sounds)
        EXPECT_GT(sounding, 1000u) << pcm.size() << " bytes mixed";
    else
        EXPECT_EQ(sounding, 0u) << pcm.size() << " bytes mixed";
}

// Music and effects stored at 0. On the title screen a focus loss pauses
// the game and a click on the board area resumes it, which starts the
// music: none of it may be heard, while the splash before it is.
TEST(ProgramAudioTitle, MusicTurnedOffStaysSilentAfterAResumeOnTheTitleScreen)
{
    const size_t splash = splashBytes();
    ASSERT_GT(splash, 0u);
    tilmar_test::TempDir home;
    ASSERT_TRUE(writeRegistry(home, registryRecord("Music Volume", floatBytes(0.0f)) +
                                        registryRecord("Sound Volume", floatBytes(0.0f))));
    DemoWriter demo(kFirstSeed);
    demo.wait(700);
    demo.activate(false);
    demo.wait(500);
    demo.activate(true);
    // Above the previews: no control of the title screen is there.
    const Point onBoardArea = {tmscreen::kBoardArea.x0 + 100, tmscreen::kBackgroundPreview.y / 2};
    demo.click(onBoardArea);
    // Hours on the idle title screen: the demo plays them without waiting,
    // and its many ticks keep the program up while the audio thread mixes
    // chunk after chunk of whatever the resume started.
    demo.wait(250u * 50000u);
    leaveFromTitle(demo);

    const std::string output = home / "mixed.raw";
    Launch launch;
    launch.environment = {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + output, "SDL_DISKAUDIODELAY=1"};
    const RunResult run = runDemo(home, demo, launch);
    ASSERT_TRUE(run.endedWell()) << run.describe();

    const std::string pcm = tilmar_test::readFile(output);
    ASSERT_GT(pcm.size(), splash + 16 * 4096) << "the audio thread mixed too little to tell";
    // The splash is heard, so the capture holds what was mixed.
    ASSERT_GT(soundingFrom(pcm, 0), 1000u) << "not even the splash was heard";
    EXPECT_EQ(soundingAfterSplash(pcm, splash), 0u) << pcm.size() << " bytes mixed";
}

INSTANTIATE_TEST_SUITE_P(Silenced, ProgramAudio,
                         ::testing::Values(Case{"EffectsOnly", 0.0f, 1.0f, true}, Case{"MusicOnly", 1.0f, 0.0f, true},
                                           Case{"Neither", 0.0f, 0.0f, false}),
                         [](const ::testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

} // namespace

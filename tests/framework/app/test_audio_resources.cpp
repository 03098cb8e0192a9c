// The theme music, sounds and music volume, and the resource archive opened
// in process (the archive the content kit builds, and damaged copies).
#include <gtest/gtest.h>

#include <string>

#include "engine/core/HFile.h"
#include "engine/core/HMessages.h"
#include "engine/core/HZIPFileSystem.h"
#include "engine/media/HOggVorbisAudioStream.h"
#include "support/test_support.h"
#include "framework/framework_test_support.h"

using namespace tilmar_test;

namespace {

const std::string kArchive = std::string(TILMAR_BINARY_DIR) + "/Resources/tilmar.vmz";

class AudioTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(game.setUpInProcess());
        // The silent device: the mixer is set up the same, nothing is opened.
        game.getCvarManager().setVariableString("c_soundDriver", "null");
        traceFiles.mount(dir.path().c_str());
        trace = traceFiles.openFileForWrite("trace.txt");
        setTraceFile(trace);
    }
    void TearDown() override
    {
        setTraceFile(nullptr);
        if (trace)
            trace->close();
        traceFiles.shutdown();
        game.tearDownInProcess();
    }
    std::string traced() { return readFile(dir / "trace.txt"); }

    TempDir dir;
    HStandardFileSystem traceFiles;
    HFile *trace = nullptr;
    TestGame game;
};

TEST_F(AudioTest, ThemeMusicLoadsPlaysRewindsAndUnloads)
{
    ASSERT_TRUE(game.m_openResourceFile(kArchive.c_str(), true));
    // Before the audio device exists there is no stream: nothing to do.
    EXPECT_TRUE(game.loadThemeMusic("music/theme_tl.ogg", game.getResourceFileSystem(), 0));
    EXPECT_EQ(game.m_pMusicBuffer, nullptr);

    ASSERT_TRUE(game.m_createAudioDevice(game.getResourceFileSystem(), 2, 16, 22050));
    // The mixer locks through the device that reads it, until that goes.
    EXPECT_EQ(game.getMixer().getAudioDevice(), game.m_pAudioDevice);
    ASSERT_NE(game.m_pMusicStream, nullptr);
    EXPECT_TRUE(game.loadThemeMusic("music/theme_tl.ogg", game.getResourceFileSystem(), 0));
    EXPECT_NE(game.m_pMusicBuffer, nullptr);
    EXPECT_GT(game.m_pMusicStream->getLength(), 0);

    game.playThemeMusic(true);
    EXPECT_EQ(game.getMixer().getMusicStream(), game.m_pMusicStream);
    EXPECT_EQ(game.getMixer().getStreamVolume(), static_cast<uint8_t>(0.25f * 255));
    game.updateThemeMusic();
    // A second load replaces the first without leaking it.
    EXPECT_TRUE(game.loadThemeMusic("music/theme_tl.ogg", game.getResourceFileSystem(), 0));

    game.m_destroyAudioDevice();
    EXPECT_EQ(game.getMixer().getAudioDevice(), nullptr);
    EXPECT_EQ(game.getMixer().getMusicStream(), nullptr);
    EXPECT_EQ(game.m_pMusicBuffer, nullptr);
    EXPECT_EQ(game.m_pMusicStream, nullptr);
}

TEST_F(AudioTest, ThemeMusicThatCannotBeReadLeavesNothingBehind)
{
    // A stored entry with one data byte changed: it opens, but its read
    // fails the checksum.
    const std::string path = dir / "damaged.vmz";
    const std::string command = "python3 -c \"import zipfile; z = zipfile.ZipFile('" + path +
                                "', 'w', zipfile.ZIP_STORED); z.writestr('music.ogg', 'M' * 5000); z.close()\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string bytes = readFile(path);
    const size_t at = bytes.find(std::string(100, 'M'));
    ASSERT_NE(at, std::string::npos);
    bytes[at + 50] = 'X';
    writeFile(path, bytes);

    ASSERT_TRUE(game.m_openResourceFile(path.c_str(), true));
    ASSERT_TRUE(game.m_createAudioDevice(game.getResourceFileSystem(), 2, 16, 22050));
    EXPECT_FALSE(game.loadThemeMusic("music.ogg", game.getResourceFileSystem(), 0));
    EXPECT_EQ(game.m_pMusicBuffer, nullptr);
    EXPECT_FALSE(game.loadThemeMusic("missing.ogg", game.getResourceFileSystem(), 0));
    EXPECT_EQ(game.m_pMusicBuffer, nullptr);
    const std::string t = traced();
    EXPECT_NE(t.find("...***could not read theme music***\n"), std::string::npos) << t;
    EXPECT_NE(t.find("...***could not open theme music***\n"), std::string::npos) << t;
}

TEST_F(AudioTest, MusicVolumeIsClampedAndReachesThePlayingMusic)
{
    ASSERT_TRUE(game.m_openResourceFile(kArchive.c_str(), true));
    ASSERT_TRUE(game.m_createAudioDevice(game.getResourceFileSystem(), 2, 16, 22050));
    // Before the music plays, only the setting changes.
    const uint8_t untouched = game.getMixer().getStreamVolume();
    game.setMusicVolume(0.5f);
    EXPECT_EQ(game.getMixer().getStreamVolume(), untouched);
    ASSERT_TRUE(game.loadThemeMusic("music/theme_tl.ogg", game.getResourceFileSystem(), 0));
    game.playThemeMusic(true);
    EXPECT_EQ(game.getMixer().getStreamVolume(), 127);
    struct Case
    {
        float in;
        uint8_t out;
    } cases[] = {{-1.0f, 0}, {2.0f, 255}, {0.25f, 63}, {1.0f, 255}, {0.0f, 0}};
    for (const Case &c : cases) {
        game.setMusicVolume(c.in);
        EXPECT_EQ(game.getMixer().getStreamVolume(), c.out) << c.in;
    }
}

TEST_F(AudioTest, SoundsPlayScaledByTheSoundSetting)
{
    ASSERT_TRUE(game.m_openResourceFile(kArchive.c_str(), true));
    ASSERT_TRUE(game.m_createAudioDevice(game.getResourceFileSystem(), 2, 16, 22050));
    game.soundVolume = 0.5f;
    EXPECT_TRUE(game.playSound("sound/tm_click.wav", 200, 0, true));
    bool found = false;
    for (int v = 0; v < HAudioMixerStreamingAudioSource::kVoiceCount; ++v)
        if (game.getMixer().getVoice(v).data) {
            EXPECT_EQ(game.getMixer().getVoice(v).volume, 100);
            found = true;
        }
    EXPECT_TRUE(found);
    // A volume beyond a byte is kept to the loudest.
    game.soundVolume = 4.0f;
    EXPECT_TRUE(game.playSound("sound/tm_click.wav", 255, 0, true));
    EXPECT_FALSE(game.playSound("sound/none.wav", 255, 0, true));
    game.setAudioPaused(true);
    EXPECT_TRUE(game.getMixer().isPaused());
}

TEST_F(AudioTest, ResourceFileFailuresShowOneMessage)
{
    makeDirs(dir / "folder.vmz");
    struct Case
    {
        std::string path;
        bool memory;
    } cases[] = {{dir / "folder.vmz", true}, {dir / "none.vmz", true}, {dir / "none.vmz", false}};
    for (const Case &c : cases) {
        bool result = true;
        const std::string out = captureStdout([&] { result = game.m_openResourceFile(c.path.c_str(), c.memory); });
        EXPECT_FALSE(result) << c.path;
        EXPECT_EQ(out.find("Missing Resource File"), out.rfind("Missing Resource File")) << out;
        EXPECT_NE(out.find("Could not load the resource file '" + c.path + "'"), std::string::npos) << out;
        game.m_closeResourceFile();
    }
    EXPECT_FALSE(game.m_openResourceFile(nullptr, true));
    // The archive opened from its path works as well as from memory.
    ASSERT_TRUE(game.m_openResourceFile(kArchive.c_str(), false));
    EXPECT_TRUE(game.getResourceFileSystem()->fileExists("config.txt"));
}

} // namespace

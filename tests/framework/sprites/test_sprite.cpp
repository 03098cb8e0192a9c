// Sprites on the SDL display (dummy video driver), loaded from TGA files
// written by the tests into a directory file system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/HFile.h"
#include "engine/media/H2DDisplayDevice.h"
#include "engine/media/HImage.h"
#include "engine/media/sdl/HSDL2DDisplayDevice.h"
#include "framework/VGSprite.h"
#include "support/test_support.h"

using namespace tilmar_test;

namespace {

class SpriteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_display = HSDL2DDisplayDevice::create(640, 480, "Sprites", 0, 0, nullptr);
        ASSERT_NE(m_display, nullptr);
        m_files.mount(m_dir.path().c_str());
        // A gradient, so every pixel of the picture differs.
        writeFile(m_dir / "pic.tga", tga32(32, 32, [](int x, int y) { return rgba(x * 8, y * 8, 100, 255); }));
    }
    void TearDown() override
    {
        m_files.shutdown();
        H2DDisplayDevice::destroy(m_display);
    }

    uint16_t screenAt(int x, int y) const
    {
        const H2DMemorySurface &s = m_display->getScreenSurface();
        return s.getPixels()[y * s.getPitch() / 2 + x];
    }
    static uint16_t surfaceAt(const H2DMemorySurface *s, int x, int y)
    {
        return s->getPixels()[y * s->getPitch() / 2 + x];
    }

    TempDir m_dir;
    HStandardFileSystem m_files;
    HSDL2DDisplayDevice *m_display = nullptr;
};

} // namespace

TEST_F(SpriteTest, LoadingAgainCountsAUserWithoutReadingTheFile)
{
    VGSprite sprite;
    EXPECT_STREQ(sprite.getName(), "(unnamed)");
    ASSERT_TRUE(sprite.load(m_display, &m_files, "pic.tga"));
    EXPECT_TRUE(sprite.isLoaded());
    EXPECT_EQ(sprite.getRefCount(), 1);
    EXPECT_STREQ(sprite.getName(), "pic.tga");
    EXPECT_EQ(sprite.getWidth(), 32);
    EXPECT_EQ(sprite.getHeight(), 32);

    remove((m_dir / "pic.tga").c_str());
    ASSERT_TRUE(sprite.load(m_display, &m_files, "other.tga"));
    EXPECT_EQ(sprite.getRefCount(), 2);
    EXPECT_STREQ(sprite.getName(), "pic.tga");

    sprite.unload();
    EXPECT_TRUE(sprite.isLoaded());
    sprite.unload();
    EXPECT_FALSE(sprite.isLoaded());
    EXPECT_EQ(sprite.getRefCount(), 0);
    // An unloaded sprite loads anew.
    writeFile(m_dir / "pic.tga", tga32(5, 7, [](int, int) { return rgba(9, 9, 9, 255); }));
    ASSERT_TRUE(sprite.load(m_display, &m_files, "pic.tga"));
    EXPECT_EQ(sprite.getWidth(), 5);
    EXPECT_EQ(sprite.getRefCount(), 1);
    sprite.unload();
}

TEST_F(SpriteTest, UnloadBeforeAnyLoadLeavesTheCountBelowZero)
{
    VGSprite sprite;
    sprite.unload();
    EXPECT_EQ(sprite.getRefCount(), -1);
    ASSERT_TRUE(sprite.load(m_display, &m_files, "pic.tga"));
    EXPECT_EQ(sprite.getRefCount(), 0);
    EXPECT_TRUE(sprite.isLoaded());
    sprite.unload();
    EXPECT_EQ(sprite.getRefCount(), -1);
    EXPECT_FALSE(sprite.isLoaded());
}

TEST_F(SpriteTest, LongNamesAreCutTo63Characters)
{
    const std::string name = std::string(66, 'n') + ".tga";
    ASSERT_EQ(name.size(), 70u);
    writeFile(m_dir / name, tga32(2, 2, [](int, int) { return rgba(1, 2, 3, 255); }));
    VGSprite sprite;
    ASSERT_TRUE(sprite.load(m_display, &m_files, name.c_str()));
    EXPECT_EQ(std::string(sprite.getName()), name.substr(0, 63));
    sprite.unload();
}

TEST_F(SpriteTest, FailedLoadsLeaveTheSpriteUnloaded)
{
    VGSprite sprite;
    bool ok = true;
    const std::string out = captureStdout([&] { ok = sprite.load(m_display, nullptr, "pic.tga"); });
    EXPECT_FALSE(ok);
    EXPECT_NE(out.find("Error"), std::string::npos) << out;
    EXPECT_NE(out.find("'s read file system was not initialized."), std::string::npos) << out;

    EXPECT_FALSE(sprite.load(m_display, &m_files, "missing.tga"));
    writeFile(m_dir / "pic.bmp", "BM");
    EXPECT_FALSE(sprite.load(m_display, &m_files, "pic.bmp"));
    writeFile(m_dir / "bad.tga", "short");
    EXPECT_FALSE(sprite.load(m_display, &m_files, "bad.tga"));

    EXPECT_FALSE(sprite.isLoaded());
    EXPECT_EQ(sprite.getRefCount(), 0);
    EXPECT_STREQ(sprite.getName(), "(unnamed)");

    // An unloaded sprite has no size and draws nothing.
    EXPECT_EQ(sprite.getWidth(), 0);
    const HRect r = sprite.getRect();
    EXPECT_EQ(r.x1, 0);
    EXPECT_EQ(r.y1, 0);
    sprite.drawAt(0, 0);
    sprite.blit(HRect(0, 0, 4, 4), HRect(0, 0, 4, 4));
    sprite.blendBlit(HRect(0, 0, 4, 4), HRect(0, 0, 4, 4), 2, 1, 0, 255, 3, 1, 0, 255, 0);
    EXPECT_EQ(m_display->getChangedRects().getCount(), 0);
}

TEST_F(SpriteTest, DrawAtClipsToTheScreen)
{
    VGSprite sprite;
    ASSERT_TRUE(sprite.load(m_display, &m_files, "pic.tga"));
    const float black[3] = {0, 0, 0};
    m_display->clear(black);
    sprite.drawAt(630, 470);
    const HDirtyRectList &changed = m_display->getChangedRects();
    ASSERT_EQ(changed.getCount(), 1);
    const HRect &r = changed.getRect(0);
    EXPECT_EQ(r.x0, 630);
    EXPECT_EQ(r.y0, 470);
    EXPECT_EQ(r.x1, 640);
    EXPECT_EQ(r.y1, 480);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(screenAt(630 + x, 470 + y), surfaceAt(sprite.getSurface(), x, y)) << x << "," << y;
    EXPECT_EQ(screenAt(629, 470), 0);
    EXPECT_EQ(screenAt(630, 469), 0);

    // Off the top-left corner the bottom-right part shows.
    m_display->clear(black);
    sprite.drawAt(-30, -31);
    EXPECT_EQ(screenAt(0, 0), surfaceAt(sprite.getSurface(), 30, 31));
    EXPECT_EQ(screenAt(1, 0), surfaceAt(sprite.getSurface(), 31, 31));
    EXPECT_EQ(screenAt(2, 0), 0);
    EXPECT_EQ(screenAt(0, 1), 0);
    sprite.unload();
}

TEST_F(SpriteTest, CloneOnlyForThisClassWithItsOwnSurface)
{
    VGSprite sprite;
    EXPECT_EQ(sprite.cloneSprite(&VGSprite::s_classInfo), nullptr); // nothing to copy yet
    ASSERT_TRUE(sprite.load(m_display, &m_files, "pic.tga"));
    EXPECT_EQ(sprite.cloneSprite(&HObject::s_classInfo), nullptr);

    VGSprite *copy = sprite.cloneSprite(&VGSprite::s_classInfo);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->getName(), "(unnamed)");
    EXPECT_EQ(copy->getRefCount(), 0);
    ASSERT_TRUE(copy->isLoaded());
    EXPECT_NE(copy->getSurface(), sprite.getSurface());
    EXPECT_EQ(copy->getWidth(), 32);
    EXPECT_EQ(memcmp(copy->getSurface()->getPixels(), sprite.getSurface()->getPixels(), 32 * 32 * 2), 0);

    // Each owns its surface: unloading one leaves the other drawable.
    sprite.unload();
    EXPECT_FALSE(sprite.isLoaded());
    copy->drawAt(0, 0);
    EXPECT_EQ(screenAt(5, 6), surfaceAt(copy->getSurface(), 5, 6));
    copy->unload();
    EXPECT_FALSE(copy->isLoaded());
    delete copy;
}

TEST_F(SpriteTest, CreateFromImageKeepsTheFirstSurface)
{
    HImage image(3, 2, FORMAT_32BPP);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            image.setPixel32(x, y, makeARGB(255, 255, 255, 255));
    HImage other(5, 5, FORMAT_32BPP);
    memset(other.getData(), 0, 5 * 5 * 4);

    VGSprite sprite;
    EXPECT_TRUE(sprite.createFromImage(m_display, &image));
    EXPECT_TRUE(sprite.createFromImage(m_display, &other));
    EXPECT_EQ(sprite.getRefCount(), 2);
    EXPECT_EQ(sprite.getWidth(), 3);
    EXPECT_STREQ(sprite.getName(), "(unnamed)");
    sprite.unload();
    sprite.unload();
    EXPECT_FALSE(sprite.isLoaded());
}

TEST_F(SpriteTest, TextIsDrawnFromTheFontCells)
{
    // 16 x 7 cells of 3 x 4 pixels, each cell its own colour, with a
    // transparent (magenta) last column in every cell.
    writeFile(m_dir / "font.tga", tga32(48, 28, [](int x, int y) {
                  if (x % 3 == 2)
                      return rgba(255, 0, 255, 255);
                  return rgba((x / 3) * 16, (y / 4) * 36, 200, 255);
              }));
    VGSprite font;
    ASSERT_TRUE(font.load(m_display, &m_files, "font.tga"));
    HBitmapFont *f = m_display->createFont(&font, 3, 4);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(m_display->getFontCellWidth(f), 3);
    EXPECT_EQ(m_display->getFontCellHeight(f), 4);

    const float black[3] = {0, 0, 0};
    m_display->clear(black);
    m_display->drawText("Az", 100, 50, HRect(0, 0, 640, 480), kAlignRight, f, nullptr);
    // Right-aligned: the text ends at x = 100. 'A' is cell (1, 3), 'z' (122)
    // cell (10, 6).
    const H2DMemorySurface *s = font.getSurface();
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(screenAt(94 + x, 50 + y), surfaceAt(s, 3 + x, 12 + y));
            EXPECT_EQ(screenAt(97 + x, 50 + y), surfaceAt(s, 30 + x, 24 + y));
        }
        EXPECT_EQ(screenAt(96, 50 + y), 0); // the keyed column stays clear
        EXPECT_EQ(screenAt(99, 50 + y), 0);
    }
    m_display->destroyFont(f);
    font.unload();
}

#include <gtest/gtest.h>

#include <string>

#include "engine/core/HFile.h"
#include "engine/core/HZIPFileSystem.h"
#include "engine/media/HImage.h"
#include "engine/media/HImageLoader.h"
#include "image_fixtures.h"
#include "support/test_support.h"

using namespace image_fixtures;
using tilmar_test::captureStdout;
using tilmar_test::fileExists;
using tilmar_test::readFile;
using tilmar_test::TempDir;
using tilmar_test::writeFile;

namespace {

class TgaFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_fs.mount(m_dir.path().c_str())); }

    // Writes the bytes as `name` in the directory and loads them.
    bool load(const Bytes &bytes, const std::string &name = "picture.tga")
    {
        EXPECT_TRUE(writeFile(m_dir / name, bytes));
        return m_loader.load(&m_fs, name.c_str());
    }

    void TearDown() override { m_loader.freeImage(); }

    TempDir m_dir;
    HStandardFileSystem m_fs;
    HTGALoader m_loader;
};

} // namespace

TEST_F(TgaFiles, TwentyFourBitRowsComeTopDownWithOpaqueAlpha)
{
    // File rows are bottom-up: (bottom) blue, green; (top) red, white.
    const Bytes pixels("\xFF\x00\x00" "\x00\xFF\x00" "\x00\x00\xFF" "\xFF\xFF\xFF", 12);
    ASSERT_TRUE(load(tga(2, 24, 2, 2, pixels)));
    HImage *image = m_loader.getImage();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getFormat(), FORMAT_32BPP);
    EXPECT_EQ(image->getWidth(), 2);
    EXPECT_EQ(image->getHeight(), 2);
    EXPECT_EQ(image->getPixel32(0, 0), 0xFFFF0000u); // red
    EXPECT_EQ(image->getPixel32(1, 0), 0xFFFFFFFFu); // white
    EXPECT_EQ(image->getPixel32(0, 1), 0xFF0000FFu); // blue
    EXPECT_EQ(image->getPixel32(1, 1), 0xFF00FF00u); // green
}

TEST_F(TgaFiles, ThirtyTwoBitKeepsAlpha)
{
    const Bytes pixels("\x01\x02\x03\x04" "\x05\x06\x07\x08" "\x09\x0A\x0B\x0C", 12);
    ASSERT_TRUE(load(tga(2, 32, 1, 3, pixels)));
    HImage *image = m_loader.getImage();
    EXPECT_EQ(image->getPixel32(0, 0), 0x0C0B0A09u);
    EXPECT_EQ(image->getPixel32(0, 1), 0x08070605u);
    EXPECT_EQ(image->getPixel32(0, 2), 0x04030201u);
}

TEST_F(TgaFiles, SixteenBitPixelsMoveTheirChannels)
{
    struct Case {
        uint16_t file;
        uint16_t image;
    } const cases[] = {
        {0x7FFF, 0xFFFE}, // white, alpha bit clear
        {0xFFFF, 0xFFFE}, // the alpha bit is dropped
        {0x8000, 0x0000},
        {0x7C00, 0x003E}, // red to bits 1-5
        {0x03E0, 0x07C0}, // green to bits 6-10
        {0x001F, 0xF800}, // blue to bits 11-15
        {0x0421, 0x0842}, // lowest bit of each
    };
    Bytes pixels;
    for (const Case &c : cases)
        putLE16(pixels, c.file);
    ASSERT_TRUE(load(tga(2, 16, sizeof cases / sizeof cases[0], 1, pixels)));
    HImage *image = m_loader.getImage();
    EXPECT_EQ(image->getFormat(), FORMAT_16BPP);
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        EXPECT_EQ(image->getPixel16(int32_t(i), 0), cases[i].image) << std::hex << cases[i].file;
}

TEST_F(TgaFiles, OtherTypesLoadOneBytePerPixel)
{
    // Grey (type 3); and a colour-mapped file (type 1) whose map is neither
    // skipped nor used: the bytes from offset 18 are the pixels.
    for (int colorMap : {0, 1}) {
        SCOPED_TRACE(colorMap);
        ASSERT_TRUE(load(tga(colorMap ? 1 : 3, 8, 3, 2, Bytes("\x10\x20\x30\x40\x50\x60", 6), colorMap)));
        HImage *image = m_loader.getImage();
        EXPECT_EQ(image->getFormat(), FORMAT_8BPP);
        EXPECT_EQ(image->getPixel8(0, 0), 0x40);
        EXPECT_EQ(image->getPixel8(2, 0), 0x60);
        EXPECT_EQ(image->getPixel8(0, 1), 0x10);
    }
}

TEST_F(TgaFiles, SidesAreUnsigned)
{
    // 32768 would be negative read as a signed 16-bit value.
    ASSERT_TRUE(load(tga(3, 8, 0x8000, 1, Bytes(0x8000, '\x07'))));
    EXPECT_EQ(m_loader.getImage()->getWidth(), 0x8000);
    EXPECT_EQ(m_loader.getImage()->getPixel8(0x7FFF, 0), 7);
}

TEST_F(TgaFiles, BrokenFilesFailWithoutAnImage)
{
    struct Case {
        const char *what;
        Bytes bytes;
    } const cases[] = {
        {"empty", Bytes()},
        {"shorter than the header", tga(2, 24, 1, 1, Bytes("\1\2\3", 3)).substr(0, 17)},
        {"one pixel byte short", tga(2, 24, 2, 2, Bytes(11, '\1'))},
        {"grey one byte short", tga(3, 8, 4, 4, Bytes(15, '\1'))},
        {"header promising 65535 x 65535", tga(2, 32, 0xFFFF, 0xFFFF, Bytes(64, '\1'))},
        {"width 0", tga(2, 24, 0, 5, Bytes(15, '\1'))},
        {"height 0", tga(3, 8, 5, 0, Bytes(5, '\1'))},
        {"true colour of 8 bits", tga(2, 8, 2, 2, Bytes(4, '\1'))},
        {"true colour of 15 bits", tga(2, 15, 2, 2, Bytes(8, '\1'))},
        {"true colour of 0 bits", tga(2, 0, 2, 2, Bytes(8, '\1'))},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(load(c.bytes));
        EXPECT_EQ(m_loader.getImage(), nullptr);
    }
}

TEST_F(TgaFiles, PixelCountIsCapped)
{
    // Complete files on both sides of 4096 x 4096 pixels.
    ASSERT_TRUE(load(tga(3, 8, 4096, 4096, Bytes(4096 * 4096, '\2'))));
    EXPECT_EQ(m_loader.getImage()->getHeight(), 4096);
    EXPECT_FALSE(load(tga(3, 8, 4096, 4097, Bytes(4096 * 4097, '\2'))));
    EXPECT_EQ(m_loader.getImage(), nullptr);
}

TEST_F(TgaFiles, MissingFileFails)
{
    EXPECT_FALSE(m_loader.load(&m_fs, "nowhere.tga"));
    EXPECT_FALSE(m_loader.load(nullptr, "nowhere.tga"));
    EXPECT_EQ(m_loader.getImage(), nullptr);
}

TEST_F(TgaFiles, NewLoadReplacesTheImage)
{
    ASSERT_TRUE(load(tga(3, 8, 1, 1, Bytes("\1", 1))));
    ASSERT_TRUE(load(tga(3, 8, 2, 1, Bytes("\1\2", 2))));
    EXPECT_EQ(m_loader.getImage()->getWidth(), 2);
    EXPECT_FALSE(load(Bytes("junk", 4)));
    EXPECT_EQ(m_loader.getImage(), nullptr);
}

TEST_F(TgaFiles, WrittenImageReadsBackTheSame)
{
    HImage image(3, 2, FORMAT_32BPP);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x)
            image.setPixel32(x, y, makeARGB(x * 80, y * 200, 7, 100 + x + 10 * y));
    ASSERT_TRUE(m_loader.write(&m_fs, "out.tga", &image));

    const Bytes file = readFile(m_dir / "out.tga");
    ASSERT_EQ(file.size(), 18u + 3 * 2 * 4);
    EXPECT_EQ(file.substr(0, 18), tga(2, 32, 3, 2, Bytes()));
    // Bottom row first, blue, green, red, alpha per pixel.
    EXPECT_EQ(file.substr(18, 4), Bytes("\x07\xC8\x00\x6E", 4)); // (0, 1)
    EXPECT_EQ(file.substr(18 + 12, 4), Bytes("\x07\x00\x00\x64", 4)); // (0, 0)

    ASSERT_TRUE(m_loader.load(&m_fs, "out.tga"));
    HImage *back = m_loader.getImage();
    ASSERT_EQ(back->getWidth(), 3);
    ASSERT_EQ(back->getHeight(), 2);
    EXPECT_EQ(memcmp(back->getData(), image.getData(), 24), 0);
}

TEST_F(TgaFiles, OnlyThirtyTwoBitImagesAreWritten)
{
    for (int32_t format : {FORMAT_16BPP, FORMAT_8BPP}) {
        SCOPED_TRACE(format);
        HImage image(2, 2, format);
        memset(image.getData(), 0x55, size_t(4 * HImage::bytesPerPixelOf(format)));
        bool written = true;
        const std::string out = captureStdout([&] { written = m_loader.write(&m_fs, "refused.tga", &image); });
        EXPECT_FALSE(written);
        EXPECT_FALSE(fileExists(m_dir / "refused.tga"));
        // One alert, not one per pixel.
        const std::string alert = "HTGALoader::write() - Unsupported image format";
        const size_t at = out.find(alert);
        EXPECT_NE(at, std::string::npos) << out;
        EXPECT_EQ(out.find(alert, at + 1), std::string::npos) << out;
    }
}

TEST_F(TgaFiles, WriteFailsWhereNothingCanBeWritten)
{
    HImage image(1, 1, FORMAT_32BPP);
    image.setPixel32(0, 0, 0);
    EXPECT_FALSE(m_loader.write(&m_fs, "no/such/folder/out.tga", &image));
    HZIPFileSystem archive;
    ASSERT_TRUE(mountZip(archive, storedZip({{"a.txt", "a"}})));
    EXPECT_FALSE(m_loader.write(&archive, "out.tga", &image));
    archive.shutdown();
}

TEST(TgaArchive, LoadsFromTheResourceArchive)
{
    const Bytes pixels("\x00\x00\xFF" "\x00\xFF\x00", 6);
    HZIPFileSystem archive;
    ASSERT_TRUE(mountZip(archive, storedZip({{"art/Tiles.tga", tga(2, 24, 1, 2, pixels)},
                                             {"art/short.tga", tga(2, 24, 2, 2, pixels)}})));
    HTGALoader loader;
    ASSERT_TRUE(loader.load(&archive, "art/Tiles.tga"));
    EXPECT_EQ(loader.getImage()->getPixel32(0, 0), 0xFF00FF00u);
    EXPECT_EQ(loader.getImage()->getPixel32(0, 1), 0xFFFF0000u);
    EXPECT_FALSE(loader.load(&archive, "art/short.tga"));
    EXPECT_FALSE(loader.load(&archive, "art/missing.tga"));
    loader.freeImage();
    archive.shutdown();
}

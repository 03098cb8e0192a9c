#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/core/HFile.h"
#include "engine/core/HZIPFileSystem.h"
#include "engine/media/HImage.h"
#include "engine/media/HImageLoader.h"
#include "image_fixtures.h"
#include "support/skip_support.h"
#include "support/test_support.h"

using namespace image_fixtures;
using tilmar_test::runInChild;
using tilmar_test::TempDir;
using tilmar_test::writeFile;

namespace {

// Red, green, blue, white on top; black, grey, yellow, cyan below.
const Bytes kPictureRGB("\xff\x00\x00" "\x00\xff\x00" "\x00\x00\xff" "\xff\xff\xff"
                        "\x00\x00\x00" "\x80\x80\x80" "\xff\xff\x00" "\x00\xff\xff",
                        24);

class JpegFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!haveConvert())
            return tilmar_test::skipUnlessCI(std::string(kConvert) + " is not installed");
        ASSERT_TRUE(m_fs.mount(m_dir.path().c_str()));
    }
    void TearDown() override { m_loader.freeImage(); }

    // The 4 x 2 picture (or another) converted with the options into name.
    Bytes make(const std::string &options, const std::string &name, const Bytes &rgb = kPictureRGB, int width = 4,
               int height = 2)
    {
        Bytes jpeg = convertPicture(m_dir, "source.ppm", ppm(width, height, rgb), options, name);
        EXPECT_FALSE(jpeg.empty()) << "convert " << options;
        return jpeg;
    }

    bool load(const Bytes &bytes, const std::string &name = "broken.jpg")
    {
        EXPECT_TRUE(writeFile(m_dir / name, bytes));
        return m_loader.load(&m_fs, name.c_str());
    }

    // Each channel of the pixel within `tolerance` of the RGB triple.
    static void expectNear(const HImage *image, int32_t x, int32_t y, const char *rgb, int tolerance)
    {
        uint8_t got[4];
        image->getPixelRGBA(x, y, got);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(got[c], uint8_t(rgb[c]), tolerance) << "pixel " << x << "," << y << " channel " << c;
        EXPECT_EQ(got[3], 255) << "pixel " << x << "," << y;
    }

    TempDir m_dir;
    HStandardFileSystem m_fs;
    HJPGLoader m_loader;
};

} // namespace

TEST_F(JpegFiles, ColourPicturesLoadInBlueGreenRedOrder)
{
    for (const char *options : {"-quality 100 -sampling-factor 1x1", "-quality 100 -sampling-factor 1x1 -interlace JPEG"}) {
        SCOPED_TRACE(options);
        make(options, "picture.jpg");
        ASSERT_TRUE(m_loader.load(&m_fs, "picture.jpg"));
        const HImage *image = m_loader.getImage();
        ASSERT_EQ(image->getFormat(), FORMAT_32BPP);
        ASSERT_EQ(image->getWidth(), 4);
        ASSERT_EQ(image->getHeight(), 2);
        for (int i = 0; i < 8; ++i)
            expectNear(image, i % 4, i / 4, kPictureRGB.data() + 3 * i, 12);
    }
}

TEST_F(JpegFiles, GreyPicturesAreReplicatedIntoEveryChannel)
{
    make("-colorspace Gray -quality 100", "grey.jpg");
    ASSERT_TRUE(m_loader.load(&m_fs, "grey.jpg"));
    const HImage *image = m_loader.getImage();
    for (int i = 0; i < 8; ++i) {
        uint8_t got[4];
        image->getPixelRGBA(i % 4, i / 4, got);
        EXPECT_EQ(got[0], got[1]) << i;
        EXPECT_EQ(got[1], got[2]) << i;
        EXPECT_EQ(got[3], 255) << i;
    }
    // White stays white, black black.
    expectNear(image, 3, 0, "\xff\xff\xff", 3);
    expectNear(image, 0, 1, "\x00\x00\x00", 3);
}

TEST_F(JpegFiles, WideRowsLoadWhole)
{
    // Wider than a fixed row buffer of 4096 bytes would hold.
    const int width = 2000;
    Bytes rgb;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < width; ++x)
            rgb += x < width / 2 ? Bytes("\x00\x00\xff", 3) : Bytes("\xff\x00\x00", 3);
    make("-quality 100 -sampling-factor 1x1", "wide.jpg", rgb, width, 2);
    ASSERT_TRUE(m_loader.load(&m_fs, "wide.jpg"));
    const HImage *image = m_loader.getImage();
    ASSERT_EQ(image->getWidth(), width);
    expectNear(image, 10, 1, "\x00\x00\xff", 12);
    expectNear(image, width - 10, 1, "\xff\x00\x00", 12);
}

TEST_F(JpegFiles, FourComponentPicturesAreRefused)
{
    make("-colorspace CMYK -quality 100", "cmyk.jpg");
    EXPECT_FALSE(m_loader.load(&m_fs, "cmyk.jpg"));
    EXPECT_EQ(m_loader.getImage(), nullptr);
}

TEST_F(JpegFiles, DataEndingEarlyStillGivesTheWholePicture)
{
    // Cut inside the scan: libjpeg is fed an end marker and fills the rest.
    Bytes noise;
    uint32_t seed = 12345;
    for (int i = 0; i < 64 * 64 * 3; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise += char(seed >> 24);
    }
    const Bytes jpeg = make("-quality 100", "full.jpg", noise, 64, 64);
    ASSERT_GT(jpeg.size(), 400u);
    ASSERT_TRUE(load(jpeg.substr(0, jpeg.size() - 200), "cut.jpg"));
    EXPECT_EQ(m_loader.getImage()->getWidth(), 64);
    EXPECT_EQ(m_loader.getImage()->getHeight(), 64);
}

TEST_F(JpegFiles, DecoderErrorsFailTheLoadAndTheProgramGoesOn)
{
    const Bytes jpeg = make("-quality 100", "good.jpg");
    // A marker segment claiming more bytes than the file has left, so the
    // decoder's skip reaches past the end.
    const Bytes overlongSkip = Bytes("\xFF\xD8\xFF\xE1\xFF\xF0", 6) + Bytes(40, '\x11');
    struct Case {
        const char *what;
        Bytes bytes;
    } const cases[] = {
        {"not a JPEG", Bytes("GIF89a not at all a jpeg file", 29)},
        {"empty", Bytes()},
        {"only the start marker", Bytes("\xFF\xD8", 2)},
        {"header cut short", jpeg.substr(0, 30)},
        {"overlong skip", overlongSkip},
        {"no image after the tables", jpeg.substr(0, 2) + Bytes("\xFF\xD9", 2)},
    };
    // In a child, so a decoder that ends the process shows as a failure
    // instead of ending the test program.
    TempDir logs;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(writeFile(m_dir / "bad.jpg", c.bytes));
        const auto outcome = runInChild(logs.path(), [&] {
            const bool loaded = m_loader.load(&m_fs, "bad.jpg");
            _exit(loaded ? 1 : (m_loader.getImage() == nullptr ? 0 : 2));
        });
        EXPECT_TRUE(outcome.exited);
        EXPECT_EQ(outcome.exitStatus, 0) << outcome.err;
    }
    // And in this process the loader is usable after each failure.
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(load(c.bytes));
    }
    ASSERT_TRUE(m_loader.load(&m_fs, "good.jpg"));
    EXPECT_EQ(m_loader.getImage()->getWidth(), 4);
}

TEST_F(JpegFiles, LoadsFromTheResourceArchive)
{
    const Bytes jpeg = make("-quality 100 -sampling-factor 1x1", "picture.jpg");
    HZIPFileSystem archive;
    ASSERT_TRUE(mountZip(archive, storedZip({{"art/Picture.jpg", jpeg}})));
    ASSERT_TRUE(m_loader.load(&archive, "art/picture.jpg"));
    expectNear(m_loader.getImage(), 0, 0, "\xff\x00\x00", 12);
    m_loader.freeImage();
    archive.shutdown();
}

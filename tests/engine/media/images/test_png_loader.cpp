#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/HFile.h"
#include "engine/core/HZIPFileSystem.h"
#include "engine/media/HImage.h"
#include "engine/media/HImageLoader.h"
#include "image_fixtures.h"
#include "support/skip_support.h"
#include "support/test_support.h"

using namespace image_fixtures;
using tilmar_test::captureStdout;
using tilmar_test::TempDir;
using tilmar_test::writeFile;

namespace {

const char *const kFatal = "lpng122 encountered fatal error '";
const char *const kWarning = "lpng122 encountered warning '";

// Six palette entries: black, red, green, blue, white, (10, 20, 30).
const Bytes kPalette("\x00\x00\x00" "\xff\x00\x00" "\x00\xff\x00" "\x00\x00\xff" "\xff\xff\xff" "\x0a\x14\x1e", 18);

class PngFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_fs.mount(m_dir.path().c_str())); }
    void TearDown() override { m_loader.freeImage(); }

    // Loads the bytes as a file; `out` receives what the load printed.
    bool load(const Bytes &bytes, std::string *out = nullptr)
    {
        EXPECT_TRUE(writeFile(m_dir / "picture.png", bytes));
        bool loaded = false;
        const std::string printed = captureStdout([&] { loaded = m_loader.load(&m_fs, "picture.png"); });
        if (out != nullptr)
            *out = printed;
        return loaded;
    }

    TempDir m_dir;
    HStandardFileSystem m_fs;
    HPNGLoader m_loader;
};

} // namespace

TEST_F(PngFiles, TrueColourAndAlphaSamplesGoToBlueGreenRedAlpha)
{
    ASSERT_TRUE(load(png(2, 1, 8, 2, {Bytes("\x11\x22\x33\x44\x55\x66", 6)})));
    EXPECT_EQ(m_loader.getImage()->getFormat(), FORMAT_32BPP);
    EXPECT_EQ(m_loader.getImage()->getPixel32(0, 0), makeARGB(0x11, 0x22, 0x33, 255));
    EXPECT_EQ(m_loader.getImage()->getPixel32(1, 0), makeARGB(0x44, 0x55, 0x66, 255));

    ASSERT_TRUE(load(png(1, 2, 8, 6, {Bytes("\x11\x22\x33\x44", 4), Bytes("\x55\x66\x77\x00", 4)})));
    EXPECT_EQ(m_loader.getImage()->getPixel32(0, 0), makeARGB(0x11, 0x22, 0x33, 0x44));
    EXPECT_EQ(m_loader.getImage()->getPixel32(0, 1), makeARGB(0x55, 0x66, 0x77, 0x00));
}

TEST_F(PngFiles, PaletteIndexesTakeTheirEntryOpaque)
{
    ASSERT_TRUE(load(png(3, 1, 8, 3, {Bytes("\x05\x00\x01", 3)}, kPalette)));
    EXPECT_EQ(m_loader.getImage()->getPixel32(0, 0), makeARGB(10, 20, 30, 255));
    EXPECT_EQ(m_loader.getImage()->getPixel32(1, 0), makeARGB(0, 0, 0, 255));
    EXPECT_EQ(m_loader.getImage()->getPixel32(2, 0), makeARGB(255, 0, 0, 255));
}

TEST_F(PngFiles, WideRowsLoadWhole)
{
    // RGBA rows of 600 pixels are longer than 2048 bytes.
    Bytes row;
    for (int x = 0; x < 600; ++x)
        row += Bytes(1, char(x)) + Bytes(1, char(x >> 8)) + Bytes("\x7f\x80", 2);
    ASSERT_TRUE(load(png(600, 2, 8, 6, {row, row})));
    EXPECT_EQ(m_loader.getImage()->getPixel32(599, 1), makeARGB(599 & 255, 599 >> 8, 0x7f, 0x80));
}

TEST_F(PngFiles, UnsupportedLayoutsFailBeforeAnyRowIsRead)
{
    // The image data is garbage: reading a row would raise a fatal error.
    const Bytes garbage(32, '\x5a');
    struct Case {
        int bitDepth, colorType;
    } const cases[] = {{8, 0}, {8, 4}, {16, 2}, {16, 6}, {16, 0}, {4, 3}, {1, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "depth " << c.bitDepth << " type " << c.colorType);
        Bytes file = png(2, 2, c.bitDepth, c.colorType, {}, c.colorType == 3 ? kPalette : Bytes());
        // Swap in the garbage for the compressed data.
        const size_t idat = file.find("IDAT") - 4;
        file = file.substr(0, idat) + pngChunk("IDAT", garbage) + pngChunk("IEND", Bytes());
        std::string out;
        EXPECT_FALSE(load(file, &out));
        EXPECT_EQ(out.find(kFatal), std::string::npos) << out;
        EXPECT_EQ(m_loader.getImage(), nullptr);
    }
}

TEST_F(PngFiles, BrokenFilesFailAndFreeEverything)
{
    const Bytes good = png(4, 4, 8, 2, std::vector<Bytes>(4, Bytes(12, '\x33')));
    struct Case {
        const char *what;
        Bytes bytes;
        bool fatalAlert; // libpng itself gave up
    } const cases[] = {
        {"empty", Bytes(), false},
        {"shorter than the signature", Bytes("\x89PNG", 4), false},
        {"bad signature", Bytes("\x89PNX\r\n\x1a\n", 8) + good.substr(8), false},
        {"signature only", good.substr(0, 8), true},
        {"cut inside the header chunk", good.substr(0, 20), true},
        {"cut inside the image data", good.substr(0, good.size() - 20), true},
        {"palette index beyond the palette", png(2, 1, 8, 3, {Bytes("\x01\x06", 2)}, kPalette), false},
        {"palette image without a palette", png(2, 1, 8, 3, {Bytes("\x01\x00", 2)}), true},
        {"zero width", png(0, 1, 8, 2, {Bytes()}), true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::string out;
        EXPECT_FALSE(load(c.bytes, &out));
        EXPECT_EQ(m_loader.getImage(), nullptr);
        EXPECT_EQ(out.find(kFatal) != std::string::npos, c.fatalAlert) << out;
    }
}

TEST_F(PngFiles, WarningsAreShownAndDecodingGoesOn)
{
    // A text chunk with a wrong checksum is only worth a warning.
    Bytes file = png(1, 1, 8, 2, {Bytes("\x01\x02\x03", 3)});
    Bytes text = pngChunk("tEXt", Bytes("Comment\0hello", 13));
    text[text.size() - 1] ^= 0x55;
    file.insert(8 + 25, text); // after the signature and IHDR
    std::string out;
    ASSERT_TRUE(load(file, &out));
    EXPECT_NE(out.find(kWarning), std::string::npos) << out;
    EXPECT_EQ(m_loader.getImage()->getPixel32(0, 0), makeARGB(1, 2, 3, 255));
}

TEST_F(PngFiles, LoadsFromTheResourceArchive)
{
    HZIPFileSystem archive;
    ASSERT_TRUE(mountZip(archive, storedZip({{"art/Logo.png", png(1, 1, 8, 3, {Bytes("\x03", 1)}, kPalette)},
                                             {"art/cut.png", png(1, 1, 8, 2, {Bytes("\x01\x02\x03", 3)}).substr(0, 40)}})));
    ASSERT_TRUE(m_loader.load(&archive, "art/logo.png"));
    EXPECT_EQ(m_loader.getImage()->getPixel32(0, 0), makeARGB(0, 0, 255, 255));
    std::string out = captureStdout([&] { EXPECT_FALSE(m_loader.load(&archive, "art/cut.png")); });
    EXPECT_NE(out.find(kFatal), std::string::npos) << out;
    m_loader.freeImage();
    archive.shutdown();
}

// Files written by ImageMagick, which knows nothing of this loader.
class ConvertedPngFiles : public PngFiles {
protected:
    void SetUp() override
    {
        if (!haveConvert())
            return tilmar_test::skipUnlessCI(std::string(kConvert) + " is not installed");
        PngFiles::SetUp();
        // 9 x 9 so that every interlace pass has pixels; few colours, so a
        // palette is possible; the alpha channel varies.
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 9; ++x) {
                const int k = (x * 3 + y * 5) % 7;
                m_rgba += Bytes(1, char(k * 40)) + Bytes(1, char(255 - k * 30)) + Bytes(1, char(k * 17))
                          + Bytes(1, char(255 - k * 20));
            }
        for (size_t i = 0; i < m_rgba.size(); i += 4)
            m_rgb += m_rgba.substr(i, 3);
    }

    Bytes fromRGB(const std::string &options, const std::string &prefix)
    {
        return convertPicture(m_dir, "source.ppm", ppm(9, 9, m_rgb), options, "converted.png", prefix);
    }

    // Every pixel equals the picture's, with alpha from `withAlpha` or 255.
    void expectPicture(bool withAlpha)
    {
        const HImage *image = m_loader.getImage();
        ASSERT_NE(image, nullptr);
        ASSERT_EQ(image->getWidth(), 9);
        ASSERT_EQ(image->getHeight(), 9);
        for (int i = 0; i < 81; ++i) {
            const uint8_t *p = reinterpret_cast<const uint8_t *>(m_rgba.data()) + 4 * i;
            EXPECT_EQ(image->getPixel32(i % 9, i / 9), makeARGB(p[0], p[1], p[2], withAlpha ? p[3] : 255))
                << "pixel " << i % 9 << "," << i / 9;
        }
    }

    Bytes m_rgb, m_rgba;
};

TEST_F(ConvertedPngFiles, SupportedLayoutsLoadExactly)
{
    struct Case {
        const char *options, *prefix;
        int colorType;
        bool interlaced;
    } const cases[] = {
        {"", "PNG24:", 2, false},
        {"-interlace PNG", "PNG24:", 2, true},
        {"-define png:bit-depth=8", "PNG8:", 3, false},
        {"-define png:bit-depth=8 -interlace PNG", "PNG8:", 3, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.prefix << " " << c.options);
        const Bytes file = fromRGB(c.options, c.prefix);
        ASSERT_GT(file.size(), 33u);
        ASSERT_EQ(file[25], char(c.colorType)); // what the tool wrote
        ASSERT_EQ(file[28], char(c.interlaced));
        ASSERT_TRUE(load(file));
        expectPicture(false);
    }

    for (const char *options : {"", "-interlace PNG"}) {
        SCOPED_TRACE(testing::Message() << "RGBA " << options);
        const Bytes file
            = convertPicture(m_dir, "source.pam", pamRGBA(9, 9, m_rgba), options, "converted.png", "PNG32:");
        ASSERT_GT(file.size(), 33u);
        ASSERT_EQ(file[25], char(6));
        ASSERT_TRUE(load(file));
        expectPicture(true);
    }
}

TEST_F(ConvertedPngFiles, GreySixteenBitAndGreyAlphaAreRefused)
{
    struct Case {
        const char *options, *prefix;
    } const cases[] = {
        {"-colorspace Gray -define png:color-type=0", ""},
        {"-colorspace Gray -alpha set -define png:color-type=4", ""},
        {"-depth 16", "PNG48:"},
        {"-depth 16 -alpha set", "PNG64:"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.options);
        const Bytes file = fromRGB(c.options, c.prefix);
        ASSERT_FALSE(file.empty());
        std::string out;
        EXPECT_FALSE(load(file, &out));
        EXPECT_EQ(out.find(kFatal), std::string::npos) << out;
    }
}

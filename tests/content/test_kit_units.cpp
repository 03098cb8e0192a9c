// The kit's own pieces: picture conversion, the TGA and JPEG encoders read
// back by the engine's loaders, the archive writer and the layout checker.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>

#include "content/ContentKit.h"
#include "content/Encoders.h"
#include "engine/core/HFile.h"
#include "engine/core/HZIPFileSystem.h"
#include "engine/media/HImage.h"
#include "engine/media/HImageLoader.h"
#include "game/TMBoard.h"
#include "support/test_support.h"

using content::Picture;

namespace {

// Writes bytes to a file in dir and loads it back with the engine's proxy.
bool s_loadBack(const tilmar_test::TempDir &dir, const std::string &name, const std::vector<uint8_t> &bytes,
                Picture &out)
{
    if (!tilmar_test::writeFile(dir / name, std::string(bytes.begin(), bytes.end())))
        return false;
    HStandardFileSystem fs;
    fs.mount(dir.path().c_str());
    HImageLoaderProxy proxy;
    if (!proxy.load(&fs, name.c_str()))
        return false;
    HImage *image = proxy.getImage();
    out = Picture(image->getWidth(), image->getHeight());
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.at(x, y) = image->getPixel32(x, y);
    proxy.freeImage();
    return true;
}

Picture s_sample()
{
    // Distinct pixels, so a flipped or shifted row shows.
    Picture p(3, 2);
    p.at(0, 0) = 0xffff0000;
    p.at(1, 0) = 0x8000ff00;
    p.at(2, 0) = 0x000000ff;
    p.at(0, 1) = 0xff102030;
    p.at(1, 1) = 0x40405060;
    p.at(2, 1) = 0xffffffff;
    return p;
}

} // namespace

TEST(KitEncoders, TgaComesBackThroughTheEngineLoaderUnchanged)
{
    tilmar_test::TempDir dir;
    const Picture sample = s_sample();
    struct Case
    {
        bool withAlpha;
        int depth;
    };
    for (const Case c : {Case{true, 32}, Case{false, 24}}) {
        SCOPED_TRACE(c.depth);
        const std::vector<uint8_t> bytes = content::encodeTGA(sample, c.withAlpha);
        ASSERT_EQ(bytes.size(), 18u + 6u * (c.depth / 8));
        EXPECT_EQ(bytes[0], 0);
        EXPECT_EQ(bytes[1], 0);
        EXPECT_EQ(bytes[2], 2);
        EXPECT_EQ(bytes[16], c.depth);
        EXPECT_EQ(bytes[17] & 0x20, 0) << "bottom-up rows";
        Picture back;
        ASSERT_TRUE(s_loadBack(dir, "p.tga", bytes, back));
        ASSERT_EQ(back.width, 3);
        ASSERT_EQ(back.height, 2);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                const uint32_t want = c.withAlpha ? sample.at(x, y) : (sample.at(x, y) | 0xff000000u);
                EXPECT_EQ(back.at(x, y), want) << x << "," << y;
            }
        }
    }
}

TEST(KitEncoders, TgaRefusesPicturesItCannotStore)
{
    Picture empty;
    EXPECT_THROW(content::encodeTGA(empty, true), std::runtime_error);
    Picture broken(4, 4);
    broken.argb.resize(3);  // fewer pixels than its size says
    EXPECT_THROW(content::encodeTGA(broken, true), std::runtime_error);
}

TEST(KitEncoders, JpegNeverDecodesToTheColourKey)
{
    tilmar_test::TempDir dir;
    // Exact magenta and its near neighbours, where compression error would
    // land on the key.
    Picture p(64, 32);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.at(x, y) = x < 32 ? 0xffff00ffu : (0xff000000u | uint32_t(250 + (x + y) % 6) << 16 | uint32_t(x % 3) << 8 |
                                                uint32_t(250 + (x * y) % 6));
    const std::vector<uint8_t> bytes = content::encodeJPEG(p, 95);
    Picture back;
    ASSERT_TRUE(s_loadBack(dir, "p.jpg", bytes, back));
    ASSERT_EQ(back.width, 64);
    ASSERT_EQ(back.height, 32);
    int keyed = 0;
    for (uint32_t px : back.argb)
        keyed += (px & 0xffffff) == 0xff00ff;
    EXPECT_EQ(keyed, 0);
    // Still close to what was drawn.
    const uint32_t c = back.at(10, 10);
    EXPECT_GE(int(c >> 16 & 0xff), 240);
    EXPECT_LE(int(c >> 8 & 0xff), 20);
}

TEST(KitEncoders, JpegKeepsColoursAndRefusesTooWidePictures)
{
    tilmar_test::TempDir dir;
    Picture p(16, 16, 0xff3080c0);
    Picture back;
    ASSERT_TRUE(s_loadBack(dir, "p.jpg", content::encodeJPEG(p), back));
    const uint32_t c = back.at(8, 8);
    EXPECT_NEAR(int(c >> 16 & 0xff), 0x30, 4);
    EXPECT_NEAR(int(c >> 8 & 0xff), 0x80, 4);
    EXPECT_NEAR(int(c & 0xff), 0xc0, 4);
    EXPECT_EQ(c >> 24, 0xffu);
    // The engine's JPEG reader holds rows of at most 1365 pixels.
    EXPECT_NO_THROW(content::encodeJPEG(Picture(1365, 1, 0xff000000)));
    EXPECT_THROW(content::encodeJPEG(Picture(1366, 1, 0xff000000)), std::runtime_error);
}

TEST(KitEncoders, FromCairoUndoesPremultipliedAlpha)
{
    cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 3, 1);
    cairo_t *cr = cairo_create(s);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, 1.0, 0.5, 0.0, 0.5);
    cairo_rectangle(cr, 0, 0, 1, 1);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 0.2, 0.4, 0.6, 1.0);
    cairo_rectangle(cr, 1, 0, 1, 1);
    cairo_fill(cr);
    cairo_destroy(cr);
    const Picture p = content::fromCairo(s);
    cairo_surface_destroy(s);
    ASSERT_EQ(p.width, 3);
    const uint32_t half = p.at(0, 0);
    EXPECT_NEAR(int(half >> 24), 128, 1);
    EXPECT_NEAR(int(half >> 16 & 0xff), 255, 2);
    EXPECT_NEAR(int(half >> 8 & 0xff), 128, 3);
    EXPECT_EQ(half & 0xff, 0u);
    EXPECT_NEAR(int(p.at(1, 0) >> 16 & 0xff), 51, 1);
    EXPECT_EQ(p.at(1, 0) >> 24, 255u);
    EXPECT_EQ(p.at(2, 0), 0u) << "untouched pixels are fully transparent";

    cairo_surface_t *rgb = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    EXPECT_EQ(content::fromCairo(rgb).at(0, 0) >> 24, 255u) << "RGB24 has no alpha to keep";
    cairo_surface_destroy(rgb);
}

TEST(KitArchiveWriter, WritesAnArchiveTheEngineReads)
{
    tilmar_test::TempDir dir;
    content::Entries entries = {{"a/one.txt", {'1', '\n'}}, {"b/two.bin", std::vector<uint8_t>(5000, 7)}};
    const std::string path = dir / "t.vmz";
    ASSERT_NO_THROW(content::writeArchive(entries, path));

    HZIPFileSystem fs;
    ASSERT_TRUE(fs.mount(path.c_str()));
    for (const content::Entry &e : entries) {
        HFile *f = fs.openFileForRead(e.name.c_str());
        ASSERT_NE(f, nullptr) << e.name;
        std::vector<uint8_t> back(size_t(f->getSize()));
        EXPECT_EQ(f->read(back.data(), int32_t(back.size())), int32_t(back.size()));
        f->close();
        EXPECT_EQ(back, e.bytes) << e.name;
    }
    fs.shutdown();

    // Same entries, same bytes: nothing depends on the clock.
    const std::string again = dir / "u.vmz";
    content::writeArchive(entries, again);
    EXPECT_EQ(tilmar_test::readFile(path), tilmar_test::readFile(again));
}

TEST(KitArchiveWriter, RefusesNamesTheGameCouldNotTellApart)
{
    tilmar_test::TempDir dir;
    struct Case
    {
        const char *what;
        content::Entries entries;
    };
    const Case cases[] = {
        {"duplicate", {{"art/a.tga", {1}}, {"art/a.tga", {2}}}},
        {"duplicate ignoring case", {{"art/a.tga", {1}}, {"ART/A.tga", {2}}}},
        {"upper case", {{"art/A.tga", {1}}}},
        {"empty name", {{"", {1}}}},
        {"empty entry", {{"art/a.tga", {}}}},
        {"absolute", {{"/art/a.tga", {1}}}},
    };
    for (const Case &c : cases)
        EXPECT_THROW(content::writeArchive(c.entries, dir / "bad.vmz"), std::runtime_error) << c.what;
    EXPECT_THROW(content::writeArchive({{"a.txt", {1}}}, dir / "no/such/dir/x.vmz"), std::runtime_error);
}

TEST(KitLayoutData, NamesAndTitlesMatchTheGame)
{
    ASSERT_EQ(content::layoutCount(), TM_LAYOUT_COUNT);
    std::set<std::string> titles;
    for (int i = 0; i < TM_LAYOUT_COUNT; ++i) {
        EXPECT_STREQ(content::layoutFileName(i), g_layoutFileNames[i]);
        ASSERT_NE(content::layoutTitle(i), nullptr);
        const std::string title = content::layoutTitle(i);
        EXPECT_FALSE(title.empty());
        EXPECT_LE(title.size(), 12u) << "titles are drawn 160 pixels wide";
        EXPECT_TRUE(titles.insert(title).second) << title;
        EXPECT_EQ(content::checkLayout(content::layoutPositions(i)), "") << g_layoutFileNames[i];
    }
    EXPECT_EQ(content::layoutFileName(-1), nullptr);
    EXPECT_EQ(content::layoutFileName(TM_LAYOUT_COUNT), nullptr);
    EXPECT_EQ(content::layoutTitle(TM_LAYOUT_COUNT), nullptr);
    EXPECT_TRUE(content::layoutPositions(TM_LAYOUT_COUNT).empty());
}

TEST(KitLayoutData, CheckerFindsEachKindOfFault)
{
    const std::vector<content::TilePos> good = content::layoutPositions(0);
    ASSERT_EQ(content::checkLayout(good), "");
    struct Case
    {
        const char *fault;
        size_t tile;
        content::TilePos moved;  // replaces that tile
        const char *expected;    // part of the message
    };
    // Tile 0 of the turtle lies on layer 0; the top tile is the last one.
    const size_t top = good.size() - 1;
    const Case cases[] = {
        {"negative", 0, {-2, 0, 0}, "off the grid"},
        {"overlap", 0, {good[1].x + 1, good[1].y, 0}, "overlap"},
        {"overhang", top, {good[top].x + 4, good[top].y, good[top].z}, "overhangs"},
        {"past the right edge", 0, {29, 4, 0}, "off the board"},
        {"into the number row", 0, {0, 15, 0}, "off the board"},
    };
    for (const Case &c : cases) {
        std::vector<content::TilePos> bad = good;
        bad[c.tile] = c.moved;
        const std::string message = content::checkLayout(bad);
        EXPECT_NE(message.find(c.expected), std::string::npos) << c.fault << ": '" << message << "'";
    }
    std::vector<content::TilePos> short_ = good;
    short_.pop_back();
    EXPECT_NE(content::checkLayout(short_).find("143 tiles"), std::string::npos);
}

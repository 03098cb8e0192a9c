#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "engine/core/HFile.h"
#include "engine/core/HZIPFileSystem.h"
#include "engine/media/HImage.h"
#include "engine/media/HImageLoader.h"
#include "image_fixtures.h"
#include "support/skip_support.h"
#include "support/test_support.h"

using namespace image_fixtures;
using tilmar_test::TempDir;
using tilmar_test::writeFile;

namespace {

enum Kind { TGA, JPG, PNG, NONE };

// Each kind's fixture has a width of its own, so the width of the loaded
// image tells which loader read it; no other loader accepts the bytes.
const int32_t kWidthOf[] = {3, 7, 5};

Bytes fixture(Kind kind, const TempDir &dir)
{
    switch (kind) {
    case TGA:
        return tga(3, 8, 3, 1, Bytes("\1\2\3", 3));
    case JPG:
        return convertPicture(dir, "source.ppm", ppm(7, 1, Bytes(21, '\x60')), "-quality 90", "made.jpg");
    case PNG:
        return png(5, 1, 8, 2, {Bytes(15, '\x20')});
    default:
        return Bytes();
    }
}

struct NameCase {
    const char *name;
    Kind chosen;  // the loader the name picks
    Kind content; // the kind of bytes stored under the name
};

// Case-sensitive substrings, tested .tga, .jpg/.jpeg, .png: the last match wins.
const NameCase kNames[] = {
    {"tiles.tga", TGA, TGA},
    {"back.jpg", JPG, JPG},
    {"back.jpeg", JPG, JPG},
    {"logo.png", PNG, PNG},
    {"art.tga.png", PNG, PNG},
    {"art.png.tga", PNG, PNG},
    {"art.tga.jpg", JPG, JPG},
    {"art.jpg.tga", JPG, JPG},
    {"art.jpeg.png", PNG, PNG},
    {"art.tga/inner", TGA, TGA},
    // The right loader for the bytes, but no substring selects it.
    {"back.JPG", NONE, JPG},
    {"tiles.TGA", NONE, TGA},
    {"logo.Png", NONE, PNG},
    {"logo", NONE, PNG},
    // A substring picks a loader that cannot read the bytes.
    {"logo.tga.bin", TGA, PNG},
    {"tiles.png", PNG, TGA},
};

class ProxyNames : public ::testing::TestWithParam<NameCase> {};

} // namespace

TEST_P(ProxyNames, LoaderIsChosenByTheName)
{
    const NameCase &c = GetParam();
    TempDir dir;
    if (c.content == JPG && !haveConvert())
        return tilmar_test::skipUnlessCI(std::string(kConvert) + " is not installed");
    const Bytes bytes = fixture(c.content, dir);
    ASSERT_FALSE(bytes.empty());
    const std::string name = c.name;
    if (name.find('/') != std::string::npos)
        tilmar_test::makeDirs(dir / name.substr(0, name.rfind('/')));
    ASSERT_TRUE(writeFile(dir / name, bytes));

    HStandardFileSystem fs;
    ASSERT_TRUE(fs.mount(dir.path().c_str()));
    HImageLoaderProxy proxy;
    const bool expected = c.chosen == c.content;
    ASSERT_EQ(proxy.load(&fs, c.name), expected);
    if (expected) {
        ASSERT_NE(proxy.getImage(), nullptr);
        EXPECT_EQ(proxy.getImage()->getWidth(), kWidthOf[c.content]);
    } else {
        EXPECT_EQ(proxy.getImage(), nullptr);
    }
    proxy.freeImage();
    EXPECT_EQ(proxy.getImage(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Names, ProxyNames, ::testing::ValuesIn(kNames),
                         [](const ::testing::TestParamInfo<NameCase> &info) {
                             std::string id;
                             for (const char *p = info.param.name; *p; ++p)
                                 id += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return id + "_" + std::to_string(info.index);
                         });

TEST(ImageLoaderProxy, KeepsTheImageUntilFreedOrReplaced)
{
    HZIPFileSystem archive;
    ASSERT_TRUE(mountZip(archive, storedZip({{"a.tga", tga(3, 8, 2, 1, Bytes("\1\2", 2))},
                                             {"b.png", png(4, 1, 8, 6, {Bytes(16, '\x40')})},
                                             {"broken.png", Bytes("\x89PNG\r\n\x1a\n", 8)}})));
    HImageLoaderProxy proxy;
    EXPECT_EQ(proxy.getImage(), nullptr);
    ASSERT_TRUE(proxy.load(&archive, "a.tga"));
    HImage *first = proxy.getImage();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->getFormat(), FORMAT_8BPP);

    // A second load frees the first image and keeps the new one.
    ASSERT_TRUE(proxy.load(&archive, "b.png"));
    EXPECT_EQ(proxy.getImage()->getWidth(), 4);
    EXPECT_EQ(proxy.getImage()->getPixel32(3, 0), 0x40404040u);

    // A failed load leaves nothing behind.
    bool loaded = true;
    tilmar_test::captureStdout([&] { loaded = proxy.load(&archive, "broken.png"); }); // libpng's alert
    EXPECT_FALSE(loaded);
    EXPECT_EQ(proxy.getImage(), nullptr);
    EXPECT_FALSE(proxy.load(&archive, "missing.tga"));
    EXPECT_FALSE(proxy.load(nullptr, "a.tga"));
    EXPECT_FALSE(proxy.load(&archive, nullptr));
    EXPECT_EQ(proxy.getImage(), nullptr);
    archive.shutdown();
}

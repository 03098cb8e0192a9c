#include "engine/media/HImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "support/test_support.h"

using tilmar_test::captureStdout;

namespace {

// A w x h image of the format whose bytes count up from `seed`.
std::unique_ptr<HImage> countingImage(int32_t w, int32_t h, int32_t format, uint8_t seed = 1)
{
    std::unique_ptr<HImage> image(new HImage(w, h, format));
    const size_t bytes = size_t(w) * h * HImage::bytesPerPixelOf(format);
    for (size_t i = 0; i < bytes; ++i)
        image->getData()[i] = uint8_t(seed + i);
    return image;
}

} // namespace

TEST(HImage, RegisteredAsAnObject)
{
    HImage image(1, 1, FORMAT_8BPP);
    EXPECT_STREQ(image.getClassName(), "HImage");
    EXPECT_STREQ(image.getBaseClassName(), "HObject");
    EXPECT_TRUE(image.isKindOf(HClassInfo::find("HObject")));
}

TEST(HImage, FormatsGiveSizesAndPitch)
{
    struct Case {
        int32_t format;
        int32_t bpp;
    } const cases[] = {{FORMAT_8BPP, 1}, {FORMAT_32BPP, 4}, {FORMAT_16BPP, 2}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.format);
        HImage image(5, 3, c.format);
        ASSERT_NE(image.getData(), nullptr);
        EXPECT_EQ(image.getWidth(), 5);
        EXPECT_EQ(image.getHeight(), 3);
        EXPECT_EQ(image.getFormat(), c.format);
        EXPECT_EQ(image.getBytesPerPixel(), c.bpp);
        EXPECT_EQ(image.getPitch(), 5 * c.bpp);
    }
}

TEST(HImage, UnknownFormatHasNoBytesAndAnAlert)
{
    EXPECT_EQ(HImage::bytesPerPixelOf(0), 0);
    EXPECT_EQ(HImage::bytesPerPixelOf(4), 0);
    HImage image(4, 4, FORMAT_32BPP);
    image.clear(); // format 0 now
    int32_t bpp = -1;
    const std::string out = captureStdout([&] { bpp = image.getBytesPerPixel(); });
    EXPECT_EQ(bpp, 0);
    EXPECT_NE(out.find("getBytesPerPixel - unsupported format '0'"), std::string::npos) << out;
}

TEST(HImage, ImpossibleSizesLeaveAnEmptyImage)
{
    struct Case {
        int32_t w, h, format;
    } const cases[] = {{-1, 4, FORMAT_8BPP}, {4, -1, FORMAT_32BPP}, {4, 4, 7}, {0x7FFFFFFF, 0x7FFFFFFF, FORMAT_32BPP}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " format " << c.format);
        HImage image(c.w, c.h, c.format);
        EXPECT_EQ(image.getData(), nullptr);
        EXPECT_EQ(image.getWidth(), 0);
        EXPECT_EQ(image.getHeight(), 0);
        EXPECT_EQ(image.getFormat(), 0);
    }
}

TEST(HImage, LoadableSizes)
{
    EXPECT_TRUE(HImage::isLoadableSize(1, 1));
    EXPECT_TRUE(HImage::isLoadableSize(4096, 4096));
    EXPECT_TRUE(HImage::isLoadableSize(65535, 256)); // long and thin, within the pixel cap
    EXPECT_FALSE(HImage::isLoadableSize(0, 10));
    EXPECT_FALSE(HImage::isLoadableSize(10, 0));
    EXPECT_FALSE(HImage::isLoadableSize(4096, 4097));
    EXPECT_FALSE(HImage::isLoadableSize(65535, 65535));
    // Would wrap to a small number in 32 bits.
    EXPECT_FALSE(HImage::isLoadableSize(0x10000, 0x10000));
    EXPECT_FALSE(HImage::isLoadableSize(0xFFFFFFFFLL, 2));
}

TEST(HImage, MakeARGB)
{
    EXPECT_EQ(makeARGB(0x12, 0x34, 0x56, 0x78), 0x78123456u);
    EXPECT_EQ(makeARGB(255, 0, 0, 255), 0xFFFF0000u);
    // Each part is cut to its low byte.
    EXPECT_EQ(makeARGB(0x1FF, -1, 0x100, 0x201), 0x01FFFF00u);
}

TEST(HImage, PixelsAreRowMajorInEveryFormat)
{
    HImage grey(3, 2, FORMAT_8BPP);
    grey.setPixel8(2, 1, 0xAB);
    EXPECT_EQ(grey.getData()[1 * 3 + 2], 0xAB);
    EXPECT_EQ(grey.getPixel8(2, 1), 0xAB);

    HImage words(3, 2, FORMAT_16BPP);
    words.setPixel16(1, 1, 0xBEEF);
    EXPECT_EQ(words.getData()[(1 * 3 + 1) * 2], 0xEF);
    EXPECT_EQ(words.getData()[(1 * 3 + 1) * 2 + 1], 0xBE);
    EXPECT_EQ(words.getPixel16(1, 1), 0xBEEF);

    HImage colour(3, 2, FORMAT_32BPP);
    colour.setPixel32(2, 0, makeARGB(0x11, 0x22, 0x33, 0x44));
    const uint8_t *p = colour.getData() + 2 * 4;
    EXPECT_EQ(p[0], 0x33); // blue first in memory
    EXPECT_EQ(p[1], 0x22);
    EXPECT_EQ(p[2], 0x11);
    EXPECT_EQ(p[3], 0x44);
    uint8_t rgba[4];
    colour.getPixelRGBA(2, 0, rgba);
    EXPECT_EQ(rgba[0], 0x11);
    EXPECT_EQ(rgba[1], 0x22);
    EXPECT_EQ(rgba[2], 0x33);
    EXPECT_EQ(rgba[3], 0x44);
}

TEST(HImage, ClearFreesEverything)
{
    HImage image(4, 4, FORMAT_16BPP);
    image.clear();
    EXPECT_EQ(image.getData(), nullptr);
    EXPECT_EQ(image.getWidth(), 0);
    EXPECT_EQ(image.getHeight(), 0);
    EXPECT_EQ(image.getFormat(), 0);
    image.flipVertical(); // harmless on an empty image
}

TEST(HImage, DuplicateIsAnIndependentCopy)
{
    auto image = countingImage(3, 2, FORMAT_16BPP);
    std::unique_ptr<HImage> copy(image->duplicate());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->getWidth(), 3);
    EXPECT_EQ(copy->getHeight(), 2);
    EXPECT_EQ(copy->getFormat(), FORMAT_16BPP);
    EXPECT_EQ(memcmp(copy->getData(), image->getData(), 12), 0);
    EXPECT_NE(copy->getData(), image->getData());
    copy->setPixel16(0, 0, 0);
    EXPECT_NE(image->getPixel16(0, 0), 0);
    EXPECT_NE(copy->getId(), image->getId());
}

TEST(HImage, SubImageCopiesTheRectangleInEveryFormat)
{
    for (int32_t format : {FORMAT_8BPP, FORMAT_16BPP, FORMAT_32BPP}) {
        SCOPED_TRACE(format);
        const int32_t bpp = HImage::bytesPerPixelOf(format);
        auto image = countingImage(5, 4, format);
        std::unique_ptr<HImage> sub(image->createSubImage(1, 2, 3, 2));
        ASSERT_NE(sub, nullptr);
        EXPECT_EQ(sub->getWidth(), 3);
        EXPECT_EQ(sub->getHeight(), 2);
        EXPECT_EQ(sub->getFormat(), format);
        for (int32_t y = 0; y < 2; ++y)
            EXPECT_EQ(memcmp(sub->getData() + y * 3 * bpp, image->getData() + ((y + 2) * 5 + 1) * bpp, 3 * bpp), 0)
                << "row " << y;
    }
}

TEST(HImage, SubImageOutsideTheImageIsRefused)
{
    auto image = countingImage(4, 4, FORMAT_32BPP);
    struct Rect {
        int32_t x, y, w, h;
    } const outside[] = {{-1, 0, 2, 2}, {0, -1, 2, 2}, {3, 0, 2, 1}, {0, 3, 1, 2}, {0, 0, -1, 1}, {1, 1, 0x7FFFFFFF, 1}};
    for (const Rect &r : outside) {
        SCOPED_TRACE(testing::Message() << r.x << "," << r.y << " " << r.w << "x" << r.h);
        EXPECT_EQ(image->createSubImage(r.x, r.y, r.w, r.h), nullptr);
    }
    std::unique_ptr<HImage> whole(image->createSubImage(0, 0, 4, 4));
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(memcmp(whole->getData(), image->getData(), 64), 0);
}

TEST(HImage, FlipVerticalSwapsRowsAroundTheMiddle)
{
    for (int32_t height : {1, 2, 3, 4}) {
        SCOPED_TRACE(height);
        HImage image(300, height, FORMAT_32BPP); // rows longer than one swap chunk
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < 300; ++x)
                image.setPixel32(x, y, uint32_t(y * 1000 + x));
        image.flipVertical();
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < 300; x += 37)
                EXPECT_EQ(image.getPixel32(x, y), uint32_t((height - 1 - y) * 1000 + x));
    }
}

TEST(HImage, DownsampleAveragesEachByteOfTwoByTwoBlocks)
{
    HImage image(4, 2, FORMAT_32BPP);
    // Left block: bytes 0, 4, 8, 13 per channel -> sums 25 -> 6 (shift drops the rest).
    const uint8_t left[4] = {0, 4, 8, 13};
    for (int i = 0; i < 4; ++i) {
        const uint32_t v = left[i];
        image.setPixel32(i % 2, i / 2, v | v << 8 | v << 16 | v << 24);
    }
    // Right block: four different colours, including the top of the range.
    image.setPixel32(2, 0, 0xFFFFFFFF);
    image.setPixel32(3, 0, 0xFF000000);
    image.setPixel32(2, 1, 0x00FF0000);
    image.setPixel32(3, 1, 0x0000FF04);
    HImage half(2, 1, FORMAT_32BPP);
    image.downsampleInto(&half);
    EXPECT_EQ(half.getPixel32(0, 0), 0x06060606u);
    // alpha (255+255)/4, red (255+255)/4, green (255+255)/4, blue (255+4)/4
    EXPECT_EQ(half.getPixel32(1, 0), makeARGB(127, 127, 64, 127));
}

TEST(HImage, DownsampleRepeatsTheEdgeOfOddSizes)
{
    HImage image(3, 3, FORMAT_32BPP);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 3; ++x)
            image.setPixel32(x, y, uint32_t(4 * (y * 3 + x)));
    HImage dst(2, 2, FORMAT_32BPP);
    memset(dst.getData(), 0xEE, 16);
    image.downsampleInto(&dst);
    EXPECT_EQ(dst.getPixel32(0, 0), uint32_t((0 + 4 + 12 + 16) / 4));
    EXPECT_EQ(dst.getPixel32(1, 0), uint32_t((8 + 8 + 20 + 20) / 4)); // last column doubled
    EXPECT_EQ(dst.getPixel32(0, 1), uint32_t((24 + 28 + 24 + 28) / 4)); // last row doubled
    EXPECT_EQ(dst.getPixel32(1, 1), 32u);                               // the corner four times

    // A destination rounded down takes what fits and nothing beyond.
    HImage small(1, 1, FORMAT_32BPP);
    image.downsampleInto(&small);
    EXPECT_EQ(small.getPixel32(0, 0), uint32_t((0 + 4 + 12 + 16) / 4));
}

TEST(HImage, NormalMapFromHeightDifferences)
{
    // Flat ground points straight up.
    HImage flat(2, 2, FORMAT_8BPP);
    memset(flat.getData(), 77, 4);
    HImage normals(2, 2, FORMAT_32BPP);
    flat.makeNormalMap(&normals);
    for (int32_t i = 0; i < 4; ++i)
        EXPECT_EQ(normals.getPixel32(i % 2, i / 2), 0xFFFF8080u) << i; // 128, 128, 255, 255

    // A step of the full range: d = +-4, m = 1 / sqrt(17); the right
    // neighbour of the last column is column 0.
    HImage row(2, 1, FORMAT_8BPP);
    row.setPixel8(0, 0, 255);
    row.setPixel8(1, 0, 0);
    HImage rowNormals(2, 1, FORMAT_32BPP);
    row.makeNormalMap(&rowNormals);
    EXPECT_EQ(rowNormals.getPixel32(0, 0), 0xFF9E8004u); // bytes 4, 128, 158, 255
    EXPECT_EQ(rowNormals.getPixel32(1, 0), 0xFF9E80FBu); // bytes 251, 128, 158, 255

    // The same downwards: the lower neighbour of the last row is row 0.
    HImage column(1, 2, FORMAT_8BPP);
    column.setPixel8(0, 0, 0);
    column.setPixel8(0, 1, 255);
    HImage columnNormals(1, 2, FORMAT_32BPP);
    column.makeNormalMap(&columnNormals);
    EXPECT_EQ(columnNormals.getPixel32(0, 0), 0xFF9E0480u); // dy = -4
    EXPECT_EQ(columnNormals.getPixel32(0, 1), 0xFF9EFB80u); // dy = +4
}

TEST(HImage, RampTableMapsEachChannelThroughItsThird)
{
    uint16_t table[768];
    for (int c = 0; c < 256; ++c) {
        table[c] = uint16_t((255 - c) << 8 | 0x7F);   // red: inverted, low byte ignored
        table[256 + c] = uint16_t((c / 2) << 8);      // green: halved
        table[512 + c] = uint16_t(((c + 1) & 255) << 8 | 0xFF); // blue: plus one
    }
    HImage image(2, 1, FORMAT_32BPP);
    image.setPixel32(0, 0, makeARGB(10, 200, 30, 99));
    image.setPixel32(1, 0, makeARGB(255, 1, 255, 0));
    image.applyRampTable(table);
    EXPECT_EQ(image.getPixel32(0, 0), makeARGB(245, 100, 31, 99));
    EXPECT_EQ(image.getPixel32(1, 0), makeARGB(0, 0, 0, 0));
}

TEST(HImage, ConvertFormatsOnlyReports)
{
    auto image = countingImage(2, 2, FORMAT_32BPP);
    const std::string out = captureStdout([&] { image->convertFormats(); });
    EXPECT_NE(out.find("HImage::convertFormats - Not implemented"), std::string::npos) << out;
    EXPECT_EQ(image->getFormat(), FORMAT_32BPP);
    EXPECT_EQ(image->getData()[0], 1);
}

#include "engine/core/HPortability.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

typedef std::vector<uint8_t> Bytes;

struct StoreCase
{
    const char *name;
    std::function<void *(void *)> store;
    Bytes expected;
};

// Every store writes exactly its bytes, in its order, and answers the
// position just past them; the byte after them stays untouched.
TEST(Portability, StoresWriteTheirByteOrderAndAnswerThePositionPastIt)
{
    const StoreCase cases[] = {
        {"LE16", [](void *p) { return zephStoreLE16(p, 0x1234); }, {0x34, 0x12}},
        {"BE16", [](void *p) { return zephStoreBE16(p, 0x1234); }, {0x12, 0x34}},
        {"LE32", [](void *p) { return zephStoreLE32(p, 0x12345678u); }, {0x78, 0x56, 0x34, 0x12}},
        {"BE32", [](void *p) { return zephStoreBE32(p, 0x12345678u); }, {0x12, 0x34, 0x56, 0x78}},
        {"LE64", [](void *p) { return zephStoreLE64(p, 0x0102030405060708ull); },
         {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01}},
        {"BE64", [](void *p) { return zephStoreBE64(p, 0x0102030405060708ull); },
         {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}},
        {"LES16", [](void *p) { return zephStoreLES16(p, -2); }, {0xFE, 0xFF}},
        {"BES16", [](void *p) { return zephStoreBES16(p, -32768); }, {0x80, 0x00}},
        {"LES32", [](void *p) { return zephStoreLES32(p, -2); }, {0xFE, 0xFF, 0xFF, 0xFF}},
        {"BES32", [](void *p) { return zephStoreBES32(p, -0x12345678); }, {0xED, 0xCB, 0xA9, 0x88}},
        {"LES64", [](void *p) { return zephStoreLES64(p, -2); },
         {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"BES64", [](void *p) { return zephStoreBES64(p, std::numeric_limits<int64_t>::min() + 1); },
         {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}},
        {"DoubleLE", [](void *p) { return zephStoreDoubleLE(p, 0.3333333333333333); },
         {0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0xD5, 0x3F}},
    };
    for (const StoreCase &c : cases)
    {
        SCOPED_TRACE(c.name);
        uint8_t buffer[12];
        std::memset(buffer, 0xEE, sizeof buffer);
        // An odd offset: the buffers these serve need not be aligned.
        uint8_t *start = buffer + 1;
        void *end = c.store(start);
        EXPECT_EQ(static_cast<uint8_t *>(end), start + c.expected.size());
        EXPECT_EQ(Bytes(start, start + c.expected.size()), c.expected);
        EXPECT_EQ(buffer[0], 0xEE);
        EXPECT_EQ(start[c.expected.size()], 0xEE);
    }
}

TEST(Portability, LoadsReadTheirByteOrderAndExtendBySignedness)
{
    const uint8_t ffff[] = {0xFF, 0xFF};
    EXPECT_EQ(zephLoadLES16(ffff), -1);
    EXPECT_EQ(zephLoadLE16(ffff), 65535);
    EXPECT_EQ(zephLoadBES16(ffff), -1);
    EXPECT_EQ(zephLoadBE16(ffff), 65535);

    const uint8_t b16[] = {0x00, 0x80};
    EXPECT_EQ(zephLoadLE16(b16), 0x8000);
    EXPECT_EQ(zephLoadLES16(b16), -32768);
    EXPECT_EQ(zephLoadBE16(b16), 0x0080);
    EXPECT_EQ(zephLoadBES16(b16), 0x0080);

    // Unaligned on purpose.
    const uint8_t b32[] = {0x00, 0x78, 0x56, 0x34, 0x92};
    EXPECT_EQ(zephLoadLE32(b32 + 1), 0x92345678u);
    EXPECT_EQ(zephLoadLES32(b32 + 1), static_cast<int32_t>(0x92345678u));
    EXPECT_LT(zephLoadLES32(b32 + 1), 0);
    EXPECT_EQ(zephLoadBE32(b32 + 1), 0x78563492u);
    EXPECT_EQ(zephLoadBES32(b32 + 1), 0x78563492);

    const uint8_t b64[] = {0x00, 0xF1, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x88};
    EXPECT_EQ(zephLoadLE64(b64 + 1), 0x88070605040302F1ull);
    EXPECT_EQ(zephLoadLES64(b64 + 1), static_cast<int64_t>(0x88070605040302F1ull));
    EXPECT_LT(zephLoadLES64(b64 + 1), 0);
    EXPECT_EQ(zephLoadBE64(b64 + 1), 0xF102030405060788ull);
    EXPECT_EQ(zephLoadBES64(b64 + 1), static_cast<int64_t>(0xF102030405060788ull));

    const uint8_t third[] = {0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0xD5, 0x3F};
    EXPECT_EQ(zephLoadDoubleLE(third), 0.3333333333333333);
}

// Each signed load gives back what its store was given, at the extremes too.
TEST(Portability, SignedStoreAndLoadRoundTripAtTheLimits)
{
    uint8_t buffer[8];
    for (int16_t v : {int16_t(0), int16_t(-1), std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()})
    {
        zephStoreLES16(buffer, v);
        EXPECT_EQ(zephLoadLES16(buffer), v);
        zephStoreBES16(buffer, v);
        EXPECT_EQ(zephLoadBES16(buffer), v);
    }
    for (int32_t v : {0, -1, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()})
    {
        zephStoreLES32(buffer, v);
        EXPECT_EQ(zephLoadLES32(buffer), v);
        zephStoreBES32(buffer, v);
        EXPECT_EQ(zephLoadBES32(buffer), v);
    }
    for (int64_t v : {int64_t(0), int64_t(-1), std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()})
    {
        zephStoreLES64(buffer, v);
        EXPECT_EQ(zephLoadLES64(buffer), v);
        zephStoreBES64(buffer, v);
        EXPECT_EQ(zephLoadBES64(buffer), v);
    }
}

TEST(Portability, SwapsReverseTheBytes)
{
    EXPECT_EQ(zephSwap16(0x1234), 0x3412);
    EXPECT_EQ(zephSwap16(0x0080), 0x8000);
    // The signed form widens sign-extended.
    EXPECT_EQ(static_cast<int32_t>(zephSwapS16(0x0080)), -32768);
    EXPECT_EQ(static_cast<int32_t>(zephSwapS16(-32768)), 0x0080);
    EXPECT_EQ(static_cast<int32_t>(zephSwapS16(-2)), static_cast<int16_t>(0xFEFF));

    EXPECT_EQ(zephSwap32(0x11223344u), 0x44332211u);
    EXPECT_EQ(zephSwapS32(0x000000FF), static_cast<int32_t>(0xFF000000u));
    EXPECT_EQ(zephSwapS32(-2), static_cast<int32_t>(0xFEFFFFFFu));

    // High half from the reversed low half, low half from the reversed high half.
    EXPECT_EQ(zephSwap64(0x0102030405060708ull), 0x0807060504030201ull);
    EXPECT_EQ(zephSwap64(0x00000000FFFFFFFFull), 0xFFFFFFFF00000000ull);
    EXPECT_EQ(zephSwapS64(0x80), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(zephSwapS64(zephSwapS64(-123456789012345LL)), -123456789012345LL);
}

uint32_t bitsOf(float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

Bytes nativeBytes(uint32_t word)
{
    Bytes bytes(4);
    std::memcpy(bytes.data(), &word, 4);
    return bytes;
}

// The words, written to memory in host order, hold the float's bytes in the
// named order; and the conversions move bit patterns, not values, so a NaN's
// payload survives.
TEST(Portability, FloatBitPatternsInEitherOrder)
{
    const float third = 0.33333334f;
    ASSERT_EQ(bitsOf(third), 0x3EAAAAABu);

    EXPECT_EQ(nativeBytes(zephFloatToLEBits(third)), (Bytes{0xAB, 0xAA, 0xAA, 0x3E}));
    EXPECT_EQ(nativeBytes(zephFloatToBEBits(third)), (Bytes{0x3E, 0xAA, 0xAA, 0xAB}));
    EXPECT_EQ(zephFloatFromLEBits(zephFloatToLEBits(third)), third);
    EXPECT_EQ(zephFloatFromBEBits(zephFloatToBEBits(third)), third);

    EXPECT_EQ(zephFloatFromBEBits(0xABAAAA3Eu), third);
    EXPECT_EQ(zephFloatFromLEBits(0x3EAAAAABu), third);

    const uint32_t signallingNaN = 0x7F800001u;
    EXPECT_EQ(bitsOf(zephFloatFromLEBits(signallingNaN)), signallingNaN);
    EXPECT_EQ(bitsOf(zephFloatFromBEBits(zephSwap32(signallingNaN))), signallingNaN);

    uint8_t buffer[8];
    zephStoreDoubleLE(buffer, -0.0);
    EXPECT_EQ(Bytes(buffer, buffer + 8), (Bytes{0, 0, 0, 0, 0, 0, 0, 0x80}));
    EXPECT_TRUE(std::signbit(zephLoadDoubleLE(buffer)));
}

TEST(Portability, SelfTestAnswersThePlatformSummary)
{
    EXPECT_EQ(std::string(zephSelfTest()),
              "OS:..............Linux\n"
              "CPU:.............Intel 386+\n"
              "endian:..........little\n"
              "ptr size:........32-bits\n"
              "64-bit ints......yes\n"
              "floating point...enabled\n");
}

} // namespace

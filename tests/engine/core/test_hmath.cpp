#include "engine/core/HMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

uint32_t bitsOf(float f)
{
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

float floatOf(uint32_t b)
{
    float f;
    std::memcpy(&f, &b, sizeof f);
    return f;
}

TEST(HMath, SquareRootsKeepTheirPrecision)
{
    // glibc has a narrowing fsqrt of its own; ours must answer the full
    // double root, not a float one.
    EXPECT_EQ(fsqrt(2.0), std::sqrt(2.0));
    EXPECT_EQ(fsqrt(1e300), 1e150);
    EXPECT_EQ(fsqrt(0.0), 0.0);
    EXPECT_EQ(fsqrtf(2.0f), std::sqrt(2.0f));
    EXPECT_EQ(fsqrtf(16.0f), 4.0f);
}

TEST(HMath, AngleConversionsUseTheirFixedConstants)
{
    EXPECT_EQ(bitsOf(degToRad(1.0f)), 0x3C8EFA36u);
    EXPECT_EQ(bitsOf(radToDeg(1.0f)), 0x42652EE0u);

    struct { float degrees, sine, cosine; } cases[] = {
        {0.0f, 0.0f, 1.0f},   {90.0f, 1.0f, 0.0f},  {30.0f, 0.5f, 0.8660254f},
        {180.0f, 0.0f, -1.0f}, {-90.0f, -1.0f, 0.0f}, {360.0f, 0.0f, 1.0f},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.degrees);
        EXPECT_NEAR(sinDeg(c.degrees), c.sine, 1e-6f);
        EXPECT_NEAR(cosDeg(c.degrees), c.cosine, 1e-6f);
    }
    EXPECT_EQ(sinDeg(0.0f), 0.0f);
}

TEST(HMath, TwoVectorDotAndLength)
{
    const float a[2] = {3.0f, 4.0f};
    const float b[2] = {-2.0f, 0.5f};
    EXPECT_EQ(dot2(a, b), -4.0f);
    EXPECT_EQ(length2(a), 5.0f);
    const float zero[2] = {0.0f, 0.0f};
    EXPECT_EQ(length2(zero), 0.0f);
}

TEST(HMath, FastInvSqrtUsesItsOwnMagicConstant)
{
    // Results of the 0x5F33462E seed with two Newton steps; the better
    // known 0x5F3759DF gives 0x3F7FFFB7, 0x3F3504F1, ... instead.
    struct { float x; uint32_t bits; } exact[] = {
        {1.0f, 0x3F7FFEB1u}, {2.0f, 0x3F3504F3u}, {0.25f, 0x3FFFFEB1u},
        {1000.0f, 0x3D01863Eu}, {3.0e-5f, 0x433692FFu},
    };
    for (const auto &c : exact) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(bitsOf(fastInvSqrt(c.x)), c.bits);
    }
    for (float x = 1e-6f; x < 1e6f; x *= 3.7f) {
        float expected = 1.0f / std::sqrt(x);
        EXPECT_NEAR(fastInvSqrt(x), expected, expected * 5e-5f) << x;
    }
}

TEST(HMath, Vec3LengthNormaliseAndCompare)
{
    Vec3 v(3.0f, 4.0f, 12.0f);
    EXPECT_EQ(v.length(), 13.0f);

    Vec3 out(9.0f, 9.0f, 9.0f);
    v.normalizeInto(out);
    EXPECT_TRUE(out.equals(Vec3(3.0f / 13, 4.0f / 13, 12.0f / 13), 1e-6f));
    EXPECT_EQ(v.x, 3.0f);  // the source stays as it was

    v.normalize();
    EXPECT_NEAR(v.length(), 1.0f, 1e-6f);

    Vec3 untouched(7.0f, -1.0f, 2.0f);
    Vec3().normalizeInto(untouched);
    EXPECT_TRUE(untouched == Vec3(7.0f, -1.0f, 2.0f));
    Vec3 zero;
    zero.normalize();
    EXPECT_TRUE(zero == Vec3(0.0f, 0.0f, 0.0f));

    Vec3 base(1.0f, 2.0f, 3.0f);
    EXPECT_TRUE(base.equals(Vec3(1.5f, 2.5f, 2.5f), 0.5f));  // at the tolerance
    EXPECT_FALSE(base.equals(Vec3(1.0f, 2.0f, 3.75f), 0.5f));
    EXPECT_FALSE(base.equals(Vec3(0.25f, 2.0f, 3.0f), 0.5f));
    EXPECT_TRUE(base == Vec3(1.0f, 2.0f, 3.0f));
    EXPECT_FALSE(base == Vec3(1.0f, 2.0f, std::nextafter(3.0f, 4.0f)));
}

TEST(HMath, Vec3IndexingAlertsOutOfBounds)
{
    Vec3 v(1.0f, 2.0f, 3.0f);
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[1], 2.0f);
    EXPECT_EQ(v[2], 3.0f);
    *v.componentAddress(1) = 20.0f;
    EXPECT_EQ(v.y, 20.0f);
    EXPECT_EQ(v.componentAddress(2), &v.z);

    for (int bad : {3, -1}) {
        SCOPED_TRACE(bad);
        testing::internal::CaptureStdout();
        float value = v[bad];
        std::string shown = testing::internal::GetCapturedStdout();
        EXPECT_EQ(value, 0.0f);
        EXPECT_NE(shown.find("| Alert |"), std::string::npos) << shown;
        EXPECT_NE(shown.find("Out of bound vector operator, Vec3"), std::string::npos) << shown;

        testing::internal::CaptureStdout();
        float *address = v.componentAddress(bad);
        shown = testing::internal::GetCapturedStdout();
        EXPECT_EQ(address, &v.x);
        EXPECT_NE(shown.find("Out of bound vector operator, Vec3"), std::string::npos) << shown;
    }
}

TEST(HMath, Vec4NormaliseAndSubtract)
{
    Vec4 v(1.0f, 2.0f, 2.0f, 4.0f);
    EXPECT_EQ(v.normalize(), 5.0f);
    EXPECT_NEAR(v.x, 0.2f, 1e-7f);
    EXPECT_NEAR(v.w, 0.8f, 1e-7f);

    Vec4 zero;
    EXPECT_EQ(zero.normalize(), 0.0f);
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_FALSE(std::isnan(zero.w));

    Vec4 a(5.0f, 6.0f, 7.0f, 8.0f);
    const Vec4 b(1.0f, 2.0f, 3.0f, 10.0f);
    Vec4 out;
    a.subtract(b, out);
    EXPECT_EQ(out.x, 4.0f);
    EXPECT_EQ(out.w, -2.0f);
    EXPECT_EQ(a.x, 5.0f);
    a -= b;
    EXPECT_EQ(a.x, 4.0f);
    EXPECT_EQ(a.y, 4.0f);
    EXPECT_EQ(a.z, 4.0f);
    EXPECT_EQ(a.w, -2.0f);
}

TEST(HMath, BoxCornersFollowTheIndexBits)
{
    const Vec3 lo(-1.0f, -2.0f, -3.0f), hi(1.0f, 2.0f, 3.0f);
    Vec3 corners[8];
    getBoxCorners(lo, hi, corners);
    EXPECT_TRUE(corners[0] == lo);
    EXPECT_TRUE(corners[7] == hi);
    EXPECT_TRUE(corners[1] == Vec3(1.0f, -2.0f, -3.0f));
    EXPECT_TRUE(corners[2] == Vec3(-1.0f, 2.0f, -3.0f));
    EXPECT_TRUE(corners[4] == Vec3(-1.0f, -2.0f, 3.0f));
    EXPECT_TRUE(corners[5] == Vec3(1.0f, -2.0f, 3.0f));
    EXPECT_TRUE(corners[6] == Vec3(-1.0f, 2.0f, 3.0f));
}

TEST(HMath, SqrtTablesHoldTheMantissasOfTheRoots)
{
    const HFastSqrtTable &t = getFastSqrtTable();
    EXPECT_EQ(&t, &getFastSqrtTable());
    EXPECT_EQ(t.oneToTwo[0], 0u);              // sqrt(1) = 1.0
    EXPECT_EQ(t.twoToFour[0], 0x003504F3u);    // sqrt(2)
    EXPECT_EQ(t.oneToTwo[16384], 0x001CC471u); // sqrt(1.5)

    // Every entry, read back as a float in [1, 2), squares to its argument.
    for (uint32_t i = 0; i < HFastSqrtTable::kEntries; ++i) {
        const double low = floatOf((i << 8) | 0x3F800000u);
        const double high = floatOf((i << 8) | 0x40000000u);
        const double rootLow = floatOf(0x3F800000u | t.oneToTwo[i]);
        const double rootHigh = floatOf(0x3F800000u | t.twoToFour[i]);
        ASSERT_LT(t.oneToTwo[i], 0x00800000u);
        ASSERT_LT(t.twoToFour[i], 0x00800000u);
        ASSERT_NEAR(rootLow * rootLow, low, low * 1.3e-7) << i;
        ASSERT_NEAR(rootHigh * rootHigh, high, high * 1.3e-7) << i;
    }
}

} // namespace

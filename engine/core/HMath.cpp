#include "engine/core/HMath.h"

#include "engine/core/HMessages.h"

#include <cmath>
#include <cstring>

namespace {

float s_floatFromBits(uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

uint32_t s_bitsFromFloat(float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

// Mantissa of sqrt(value) for every value with the given exponent bits and
// the top 15 mantissa bits taken from the index.
void s_fillSqrtMantissas(uint32_t exponentBits, uint32_t *table)
{
    for (uint32_t i = 0; i < HFastSqrtTable::kEntries; ++i) {
        float value = s_floatFromBits((i << 8) | exponentBits);
        float root = static_cast<float>(fsqrt(value));
        table[i] = s_bitsFromFloat(root) & 0x007FFFFFu;
    }
}

// Zero-initialised before any dynamic initialisation runs, so the builder
// may fill it whichever static initialiser asks first.
HFastSqrtTable s_fastSqrtTable;

bool s_buildFastSqrtTable()
{
    s_fillSqrtMantissas(0x3F800000u, s_fastSqrtTable.oneToTwo);
    s_fillSqrtMantissas(0x40000000u, s_fastSqrtTable.twoToFour);
    return true;
}

// Builds the tables during static construction.
[[maybe_unused]] const HFastSqrtTable &s_fastSqrtTableAtStart = getFastSqrtTable();

} // namespace

const HFastSqrtTable &getFastSqrtTable()
{
    static const bool built = s_buildFastSqrtTable();
    (void)built;
    return s_fastSqrtTable;
}

double fsqrt(double x)
{
    return static_cast<double>(sqrtl(static_cast<long double>(x)));
}

float fsqrtf(float x)
{
    return static_cast<float>(fsqrt(x));
}

float degToRad(float degrees)
{
    return degrees * 0.017453294f;  // bits 0x3C8EFA36
}

float radToDeg(float radians)
{
    return radians * 57.295776f;  // bits 0x42652EE0
}

float sinDeg(float degrees)
{
    return static_cast<float>(std::sin(static_cast<double>(degToRad(degrees))));
}

float cosDeg(float degrees)
{
    return static_cast<float>(std::cos(static_cast<double>(degToRad(degrees))));
}

float dot2(const float a[2], const float b[2])
{
    return a[0] * b[0] + a[1] * b[1];
}

float length2(const float v[2])
{
    return fsqrtf(dot2(v, v));
}

float fastInvSqrt(float x)
{
    int32_t i = static_cast<int32_t>(s_bitsFromFloat(x));
    // Unsigned subtraction: a negative x must not overflow a signed int.
    float y = s_floatFromBits(0x5F33462Eu - static_cast<uint32_t>(i >> 1));
    float h = 0.5f * x;
    y = y * (1.5f - y * (h * y));
    y = y * (1.5f - y * (h * y));
    return y;
}

float Vec3::length() const
{
    return fsqrtf(x * x + y * y + z * z);
}

void Vec3::normalizeInto(Vec3 &out) const
{
    float len = length();
    if (len != 0.0f) {
        float inv = 1.0f / len;
        out.x = x * inv;
        out.y = y * inv;
        out.z = z * inv;
    }
}

void Vec3::normalize()
{
    normalizeInto(*this);
}

bool Vec3::equals(const Vec3 &other, float tolerance) const
{
    return std::fabs(x - other.x) <= tolerance && std::fabs(y - other.y) <= tolerance &&
           std::fabs(z - other.z) <= tolerance;
}

bool Vec3::operator==(const Vec3 &other) const
{
    return x == other.x && y == other.y && z == other.z;
}

float Vec3::operator[](int index) const
{
    switch (index) {
    case 0: return x;
    case 1: return y;
    case 2: return z;
    default:
        alertBox("Out of bound vector operator, Vec3");
        return 0.0f;
    }
}

float *Vec3::componentAddress(int index)
{
    switch (index) {
    case 0: return &x;
    case 1: return &y;
    case 2: return &z;
    default:
        alertBox("Out of bound vector operator, Vec3");
        return &x;
    }
}

float Vec4::normalize()
{
    float len = static_cast<float>(fsqrt(x * x + y * y + z * z + w * w));
    if (len != 0.0f) {
        float inv = 1.0f / len;
        x *= inv;
        y *= inv;
        z *= inv;
        w *= inv;
    }
    return len;
}

Vec4 &Vec4::operator-=(const Vec4 &other)
{
    x -= other.x;
    y -= other.y;
    z -= other.z;
    w -= other.w;
    return *this;
}

void Vec4::subtract(const Vec4 &other, Vec4 &out) const
{
    out.x = x - other.x;
    out.y = y - other.y;
    out.z = z - other.z;
    out.w = w - other.w;
}

void getBoxCorners(const Vec3 &min, const Vec3 &max, Vec3 out[8])
{
    for (int i = 0; i < 8; ++i) {
        out[i].x = (i & 1) ? max.x : min.x;
        out[i].y = (i & 2) ? max.y : min.y;
        out[i].z = (i & 4) ? max.z : min.z;
    }
}

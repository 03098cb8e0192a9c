#ifndef ENGINE_CORE_HMATH_H
#define ENGINE_CORE_HMATH_H

#include <cmath>
#include <cstdint>

// glibc declares a narrowing `float fsqrt(double)` of its own, which would
// clash with (or silently stand in for) the engine's full-precision root.
// Its declaration is read above; from here on fsqrt names the engine's.
#define fsqrt engineFsqrt

// value kept within low..high.
inline int32_t clampInt(int32_t value, int32_t low, int32_t high)
{
    return value < low ? low : (value > high ? high : value);
}
// The same for floats; NaN becomes low, so a bad setting cannot reach a
// conversion to an integer type.
inline float clampFloat(float value, float low, float high)
{
    return !(value >= low) ? low : (value > high ? high : value);
}

// Square roots are taken in extended precision.
double fsqrt(double x);
float fsqrtf(float x);

float degToRad(float degrees);
float radToDeg(float radians);
float sinDeg(float degrees);
float cosDeg(float degrees);

// 2-D vectors are plain arrays of two floats.
float dot2(const float a[2], const float b[2]);
float length2(const float v[2]);

// Approximate 1/sqrt(x): bit-trick seed and two Newton steps.
float fastInvSqrt(float x);

struct Vec3
{
    float x, y, z;

    Vec3() : x(0.0f), y(0.0f), z(0.0f) {}
    Vec3(float vx, float vy, float vz) : x(vx), y(vy), z(vz) {}

    float length() const;
    // out = this / length; out is left untouched for the zero vector.
    void normalizeInto(Vec3 &out) const;
    void normalize();
    // Each component differs by at most tolerance.
    bool equals(const Vec3 &other, float tolerance) const;
    bool operator==(const Vec3 &other) const;
    // x, y, z for 0, 1, 2; any other index alerts and answers 0.
    float operator[](int index) const;
    // Address of x, y or z; any other index alerts and answers &x.
    float *componentAddress(int index);
};

struct Vec4
{
    float x, y, z, w;

    Vec4() : x(0.0f), y(0.0f), z(0.0f), w(0.0f) {}
    Vec4(float vx, float vy, float vz, float vw) : x(vx), y(vy), z(vz), w(vw) {}

    // Scales to unit length unless the length is 0; answers the length.
    float normalize();
    Vec4 &operator-=(const Vec4 &other);
    // out = this - other.
    void subtract(const Vec4 &other, Vec4 &out) const;
};

// Corner i takes x from max when bit 0 of i is set, y when bit 1 is, z when
// bit 2 is; otherwise from min.
void getBoxCorners(const Vec3 &min, const Vec3 &max, Vec3 out[8]);

// Mantissa tables of the square roots over [1, 2) and [2, 4), indexed by the
// top 15 mantissa bits of the argument. Built once during static construction.
struct HFastSqrtTable
{
    enum { kEntries = 32768 };
    uint32_t oneToTwo[kEntries];
    uint32_t twoToFour[kEntries];
};

const HFastSqrtTable &getFastSqrtTable();

#endif

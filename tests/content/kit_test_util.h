// Small helpers the content tests share: name matching and numbering, and
// the brightness of a pixel.
#ifndef TESTS_CONTENT_KIT_TEST_UTIL_H
#define TESTS_CONTENT_KIT_TEST_UTIL_H

#include <cstdint>
#include <cstdio>
#include <string>

namespace kit_test {

inline bool endsWith(const std::string &s, const char *tail)
{
    const std::string t = tail;
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

// A printf pattern with one int, such as "art/tileset_%d.tga".
inline std::string numbered(const char *pattern, int n)
{
    char name[128];
    std::snprintf(name, sizeof name, pattern, n);
    return name;
}

// Luma of an 0xAARRGGBB pixel in 0..1 (alpha ignored).
inline double luminance(uint32_t p)
{
    return (0.299 * ((p >> 16) & 255) + 0.587 * ((p >> 8) & 255) + 0.114 * (p & 255)) / 255.0;
}

} // namespace kit_test

#endif

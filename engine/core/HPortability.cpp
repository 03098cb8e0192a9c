#include "engine/core/HPortability.h"

#include <cstring>

// The stores and loads are written byte by byte with shifts, which gives the
// right order on either kind of host; compilers turn the little-endian forms
// into plain moves on a little-endian one.

namespace {

inline uint8_t *bytesOf(void *p) { return static_cast<uint8_t *>(p); }
inline const uint8_t *bytesOf(const void *p) { return static_cast<const uint8_t *>(p); }

} // namespace

void *zephStoreLE16(void *dst, uint16_t value)
{
    uint8_t *b = bytesOf(dst);
    b[0] = static_cast<uint8_t>(value);
    b[1] = static_cast<uint8_t>(value >> 8);
    return b + 2;
}

void *zephStoreLE32(void *dst, uint32_t value)
{
    uint8_t *b = bytesOf(dst);
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<uint8_t>(value >> (8 * i));
    return b + 4;
}

void *zephStoreLE64(void *dst, uint64_t value)
{
    uint8_t *b = bytesOf(dst);
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<uint8_t>(value >> (8 * i));
    return b + 8;
}

void *zephStoreBE16(void *dst, uint16_t value)
{
    uint8_t *b = bytesOf(dst);
    b[0] = static_cast<uint8_t>(value >> 8);
    b[1] = static_cast<uint8_t>(value);
    return b + 2;
}

void *zephStoreBE32(void *dst, uint32_t value)
{
    uint8_t *b = bytesOf(dst);
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<uint8_t>(value >> (8 * (3 - i)));
    return b + 4;
}

void *zephStoreBE64(void *dst, uint64_t value)
{
    uint8_t *b = bytesOf(dst);
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<uint8_t>(value >> (8 * (7 - i)));
    return b + 8;
}

void *zephStoreLES16(void *dst, int16_t value) { return zephStoreLE16(dst, static_cast<uint16_t>(value)); }
void *zephStoreLES32(void *dst, int32_t value) { return zephStoreLE32(dst, static_cast<uint32_t>(value)); }
void *zephStoreLES64(void *dst, int64_t value) { return zephStoreLE64(dst, static_cast<uint64_t>(value)); }
void *zephStoreBES16(void *dst, int16_t value) { return zephStoreBE16(dst, static_cast<uint16_t>(value)); }
void *zephStoreBES32(void *dst, int32_t value) { return zephStoreBE32(dst, static_cast<uint32_t>(value)); }
void *zephStoreBES64(void *dst, int64_t value) { return zephStoreBE64(dst, static_cast<uint64_t>(value)); }

uint16_t zephLoadLE16(const void *src)
{
    const uint8_t *b = bytesOf(src);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t zephLoadLE32(const void *src)
{
    const uint8_t *b = bytesOf(src);
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | b[i];
    return value;
}

uint64_t zephLoadLE64(const void *src)
{
    const uint8_t *b = bytesOf(src);
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | b[i];
    return value;
}

uint16_t zephLoadBE16(const void *src)
{
    const uint8_t *b = bytesOf(src);
    return static_cast<uint16_t>((b[0] << 8) | b[1]);
}

uint32_t zephLoadBE32(const void *src)
{
    const uint8_t *b = bytesOf(src);
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | b[i];
    return value;
}

uint64_t zephLoadBE64(const void *src)
{
    const uint8_t *b = bytesOf(src);
    uint64_t value = 0;
    for (int i = 0; i < 8; ++i)
        value = (value << 8) | b[i];
    return value;
}

// Unsigned-to-signed conversion is modular (two's complement) in every
// compiler this builds with, and defined so from C++20 on.
int16_t zephLoadLES16(const void *src) { return static_cast<int16_t>(zephLoadLE16(src)); }
int32_t zephLoadLES32(const void *src) { return static_cast<int32_t>(zephLoadLE32(src)); }
int64_t zephLoadLES64(const void *src) { return static_cast<int64_t>(zephLoadLE64(src)); }
int16_t zephLoadBES16(const void *src) { return static_cast<int16_t>(zephLoadBE16(src)); }
int32_t zephLoadBES32(const void *src) { return static_cast<int32_t>(zephLoadBE32(src)); }
int64_t zephLoadBES64(const void *src) { return static_cast<int64_t>(zephLoadBE64(src)); }

uint16_t zephSwap16(uint16_t value)
{
    return static_cast<uint16_t>((value >> 8) | (value << 8));
}

int16_t zephSwapS16(int16_t value)
{
    return static_cast<int16_t>(zephSwap16(static_cast<uint16_t>(value)));
}

uint32_t zephSwap32(uint32_t value)
{
    return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) | (value << 24);
}

int32_t zephSwapS32(int32_t value)
{
    return static_cast<int32_t>(zephSwap32(static_cast<uint32_t>(value)));
}

uint64_t zephSwap64(uint64_t value)
{
    const uint32_t low = static_cast<uint32_t>(value);
    const uint32_t high = static_cast<uint32_t>(value >> 32);
    return (static_cast<uint64_t>(zephSwap32(low)) << 32) | zephSwap32(high);
}

int64_t zephSwapS64(int64_t value)
{
    return static_cast<int64_t>(zephSwap64(static_cast<uint64_t>(value)));
}

namespace {

inline uint32_t floatBits(float value)
{
    static_assert(sizeof(float) == sizeof(uint32_t), "float must be 32 bits");
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline float floatFromBits(uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Whether the host keeps the least significant byte first.
inline bool hostIsLittleEndian()
{
    const uint16_t probe = 1;
    uint8_t first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

} // namespace

// A word that, stored in host order, puts the float's bytes in the wanted order.
uint32_t zephFloatToLEBits(float value)
{
    const uint32_t bits = floatBits(value);
    return hostIsLittleEndian() ? bits : zephSwap32(bits);
}

float zephFloatFromLEBits(uint32_t bits)
{
    return floatFromBits(hostIsLittleEndian() ? bits : zephSwap32(bits));
}

uint32_t zephFloatToBEBits(float value)
{
    const uint32_t bits = floatBits(value);
    return hostIsLittleEndian() ? zephSwap32(bits) : bits;
}

float zephFloatFromBEBits(uint32_t bits)
{
    return floatFromBits(hostIsLittleEndian() ? zephSwap32(bits) : bits);
}

void *zephStoreDoubleLE(void *dst, double value)
{
    static_assert(sizeof(double) == sizeof(uint64_t), "double must be 64 bits");
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return zephStoreLE64(dst, bits);
}

double zephLoadDoubleLE(const void *src)
{
    const uint64_t bits = zephLoadLE64(src);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

const char *zephSelfTest()
{
    if (zephSwap32(0x11223344u) != 0x44332211u || zephSwap16(0x1234) != 0x3412)
        return "*ERROR: failed endianness function selection test";

    uint8_t buffer[8];

    zephStoreLE16(buffer, 0xABCD);
    if (zephLoadLE16(buffer) != 0xABCD)
        return "*ERROR: failed little-endian 16-bit serialization test";
    zephStoreBE16(buffer, 0xABCD);
    if (zephLoadBE16(buffer) != 0xABCD)
        return "*ERROR: failed big-endian 16-bit serialization test";

    zephStoreLE32(buffer, 0xABCD1234u);
    if (zephLoadLE32(buffer) != 0xABCD1234u)
        return "*ERROR: failed little-endian 32-bit serialization test";
    zephStoreBE32(buffer, 0xABCD1234u);
    if (zephLoadBE32(buffer) != 0xABCD1234u)
        return "*ERROR: failed big-endian 32-bit serialization test";

    const uint64_t wide = 0xFEDCBA9876543210ull;
    zephStoreLE64(buffer, wide);
    if (zephLoadLE64(buffer) != wide)
        return "*ERROR: failed little-endian 64-bit serialization test";
    zephStoreBE64(buffer, wide);
    if (zephLoadBE64(buffer) != wide)
        return "*ERROR: failed big-endian 64-bit serialization test";

    // 0x3EAAAAAB is the float nearest one third, 0.33333334f.
    const uint32_t thirdBits = 0x3EAAAAABu;
    const float third = 0.33333334f;
    if (zephFloatFromLEBits(zephFloatToLEBits(floatFromBits(thirdBits))) != third)
        return "*ERROR: failed little-endian float conversion test";
    if (zephFloatFromBEBits(zephFloatToBEBits(floatFromBits(thirdBits))) != third)
        return "*ERROR: failed big-endian float conversion test";

    zephStoreLE64(buffer, 0x3FD5555555555555ull);
    if (zephLoadDoubleLE(buffer) != 0.3333333333333333)
        return "*ERROR: failed little-endian double conversion test";

    return "OS:..............Linux\n"
           "CPU:.............Intel 386+\n"
           "endian:..........little\n"
           "ptr size:........32-bits\n"
           "64-bit ints......yes\n"
           "floating point...enabled\n";
}

#ifndef ENGINE_CORE_VYTIME_H
#define ENGINE_CORE_VYTIME_H

#include <cstddef>
#include <cstdint>

// A millisecond time value: 64 bits kept as two 32-bit halves, low first.
// It is embedded in the 44-byte event record that journals store on disk,
// so its layout must not change.
struct VyTime
{
    uint32_t low;
    uint32_t high;

    VyTime(uint32_t lowHalf = 0, uint32_t highHalf = 0) : low(lowHalf), high(highHalf) {}
    // The time value of a 64-bit millisecond count, split into its halves.
    static VyTime fromTime64(uint64_t time)
    {
        return VyTime(static_cast<uint32_t>(time), static_cast<uint32_t>(time >> 32));
    }

    // The low half; warns (silently) when the high half is in use.
    uint32_t getTime32() const;
    uint32_t getLow() const { return low; }
    uint64_t getTime64() const;

    // a - b over the two halves with a borrow; a b later than a gives a
    // large count (high half 0xFFFFFFFF). Compare as int64_t for a sign.
    static uint64_t diff64(const VyTime &a, const VyTime &b);
    // The difference when it fits in 32 bits; 0 when it is negative or
    // 2^32 ms or more.
    static uint32_t diff32(const VyTime &a, const VyTime &b);

    // diff64 of *this and b as a time value.
    VyTime operator-(const VyTime &b) const;
};

static_assert(sizeof(VyTime) == 8, "VyTime is part of an on-disk record");
static_assert(offsetof(VyTime, low) == 0 && offsetof(VyTime, high) == 4,
              "VyTime stores its low half first");

// Fills t with the SDL tick count (high half 0) and answers it.
VyTime &getTicks(VyTime &t);
// Sleeps through SDL_Delay, at least the time asked and on Linux up to 9 ms
// more.
void sleepMilliseconds(uint32_t milliseconds);

#endif

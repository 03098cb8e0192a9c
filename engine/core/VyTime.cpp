#include "engine/core/VyTime.h"

#include "engine/core/HMessages.h"

#include <SDL.h>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

uint32_t VyTime::getTime32() const
{
    if (high != 0)
        warningPrint("VyTime::getTime32() - overflow");
    return low;
}

uint64_t VyTime::getTime64() const
{
    return (static_cast<uint64_t>(high) << 32) | low;
}

uint64_t VyTime::diff64(const VyTime &a, const VyTime &b)
{
    // Half by half, so the borrow from the low half shows in the high half.
    uint32_t lowDiff = a.low - b.low;
    uint32_t borrow = a.low < b.low ? 1u : 0u;
    uint32_t highDiff = a.high - b.high - borrow;
    return (static_cast<uint64_t>(highDiff) << 32) | lowDiff;
}

uint32_t VyTime::diff32(const VyTime &a, const VyTime &b)
{
    uint64_t d = diff64(a, b);
    if ((d >> 32) != 0)
        return 0;
    return static_cast<uint32_t>(d);
}

VyTime VyTime::operator-(const VyTime &b) const
{
    uint64_t d = diff64(*this, b);
    return VyTime::fromTime64(d);
}

VyTime &getTicks(VyTime &t)
{
    t.low = SDL_GetTicks();
    t.high = 0;
    return t;
}

namespace {

// An idle main loop sleeps 1 ms per pass, and waking the thread costs more
// than the pass itself. Letting the kernel wake it up to 9 ms late (SDL's own
// event wait polls every 10 ms) gathers an idle game's thousand wake-ups a
// second into about a hundred.
const unsigned long kSleepSlackNs = 9000000;

} // namespace

void sleepMilliseconds(uint32_t milliseconds)
{
#if defined(__linux__)
    // Only this sleep takes the slack: the thread's other timers, and the
    // threads it starts, keep the default (what a slack of 0 sets again).
    prctl(PR_SET_TIMERSLACK, kSleepSlackNs, 0, 0, 0);
    SDL_Delay(milliseconds);
    prctl(PR_SET_TIMERSLACK, 0UL, 0, 0, 0);
#else
    SDL_Delay(milliseconds);
#endif
}

#include "engine/core/HRNG.h"

#include <cstring>

HRNG::~HRNG() {}

void HRNG::seed(uint32_t value)
{
    m_seed = value;
}

uint32_t HRNG::getSeed() const
{
    return m_seed;
}

// The game's generator lives in a static object and so starts as zero
// bytes; zeroing here gives a generator anywhere the same unseeded state.
HMersenneTwisterRNG::HMersenneTwisterRNG() : m_index(0)
{
    std::memset(m_state, 0, sizeof m_state);
}

HMersenneTwisterRNG::~HMersenneTwisterRNG() {}

void HMersenneTwisterRNG::seed(uint32_t value)
{
    m_state[0] = value;
    for (int i = 1; i < kStateSize; ++i)
        m_state[i] = m_state[i - 1] * 69069u;
    m_index = kStateSize;
    m_seed = value;
}

namespace {

const int kShift = 397;
const uint32_t kMatrixA = 0x9908B0DFu;
const uint32_t kUpperMask = 0x80000000u;
const uint32_t kLowerMask = 0x7FFFFFFFu;

inline uint32_t s_twist(uint32_t upper, uint32_t lower, uint32_t far)
{
    uint32_t y = (upper & kUpperMask) | (lower & kLowerMask);
    return far ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
}

} // namespace

void HMersenneTwisterRNG::m_regenerate()
{
    int k = 0;
    for (; k < kStateSize - kShift; ++k)
        m_state[k] = s_twist(m_state[k], m_state[k + 1], m_state[k + kShift]);
    for (; k < kStateSize - 1; ++k)
        m_state[k] = s_twist(m_state[k], m_state[k + 1], m_state[k + kShift - kStateSize]);
    m_state[kStateSize - 1] = s_twist(m_state[kStateSize - 1], m_state[0], m_state[kShift - 1]);
    m_index = 0;
}

uint32_t HMersenneTwisterRNG::nextInt(uint32_t max)
{
    if (m_index > kStateSize - 1)
        m_regenerate();
    uint32_t y = m_state[m_index++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    // max + 1 wraps to 0 for the largest bound; the whole word is then the
    // answer instead of a division by zero.
    if (max == 0xFFFFFFFFu)
        return y;
    return y % (max + 1u);
}

float HMersenneTwisterRNG::nextFloat()
{
    // 2^-32
    float f = static_cast<float>(nextInt(0xFFFFFFFEu)) * 2.3283064365386963e-10f;
    // Draws close to 2^32 round up to exactly 1; keep the result below 1.
    if (f >= 1.0f) {
        const uint32_t belowOne = 0x3F7FFFFFu;
        std::memcpy(&f, &belowOne, sizeof f);
    }
    return f;
}

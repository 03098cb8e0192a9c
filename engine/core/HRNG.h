#ifndef ENGINE_CORE_HRNG_H
#define ENGINE_CORE_HRNG_H

#include <cstdint>

// Random-number generator interface.
class HRNG
{
public:
    HRNG() : m_seed(0) {}
    virtual ~HRNG();

    // Stores the value as the seed.
    virtual void seed(uint32_t value);
    virtual uint32_t getSeed() const;
    // A value in [0, 1).
    virtual float nextFloat() = 0;
    // A value in [0, max]; 0xFFFFFFFF answers the whole 32-bit range.
    virtual uint32_t nextInt(uint32_t max) = 0;

protected:
    uint32_t m_seed;
};

// MT19937 in its first published form, seeded by the 69069 recurrence
// (not the later initialisation), so a seed gives that original sequence.
class HMersenneTwisterRNG : public HRNG
{
public:
    enum { kStateSize = 624 };

    // Unseeded: zero state and index 0, so every draw answers 0.
    HMersenneTwisterRNG();
    ~HMersenneTwisterRNG() override;

    void seed(uint32_t value) override;
    float nextFloat() override;
    uint32_t nextInt(uint32_t max) override;

private:
    void m_regenerate();

    uint32_t m_state[kStateSize];
    int32_t m_index;  // next word to hand out; kStateSize when used up
};

#endif

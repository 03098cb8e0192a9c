// Sound synthesis for the content kit: a few small instruments, filters, a
// reverb, and the encoders that turn the results into WAV and Ogg Vorbis.
// Everything runs at the game's mixer rate; nothing is resampled later.
#ifndef CONTENT_AUDIO_SYNTH_H
#define CONTENT_AUDIO_SYNTH_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace content {
namespace audio {

constexpr int kRate = 22050;

using Mono = std::vector<float>;

struct Stereo
{
    Mono left, right;
    Stereo() = default;
    explicit Stereo(size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}
    size_t frames() const { return left.size(); }
};

inline size_t toFrames(double seconds) { return seconds <= 0 ? 0 : size_t(seconds * kRate + 0.5); }
double midiToHz(double note);

// Deterministic noise (xorshift32), so every run writes the same bytes.
class Noise
{
public:
    explicit Noise(uint32_t seed) : m_state(seed ? seed : 0x9E3779B9u) {}
    float next();      // white, in [-1, 1)
    float uniform();   // in [0, 1)

private:
    uint32_t m_state;
};

// Second-order filter from the usual cookbook formulas.
class Biquad
{
public:
    static Biquad lowPass(double freq, double q);
    static Biquad highPass(double freq, double q);
    static Biquad bandPass(double freq, double q);   // 0 dB at the centre
    float process(float x);

private:
    // The filter from its numerator and the angle terms cos(w) and alpha.
    static Biquad normalised(double b0, double b1, double b2, double c, double alpha);

    double m_b0 = 1, m_b1 = 0, m_b2 = 0, m_a1 = 0, m_a2 = 0;
    double m_z1 = 0, m_z2 = 0;
};

// One-pole low pass; cutoff in Hz.
class OnePole
{
public:
    explicit OnePole(double cutoff);
    float process(float x) { m_y += m_k * (x - m_y); return m_y; }

private:
    float m_k;
    float m_y = 0.0f;
};

// A plucked string (Karplus-Strong with a fractional, movable delay), for the
// zither-like lead and its bass.
struct PluckTone
{
    double brightness = 0.7;     // 0 dark .. 1 bright excitation
    double sustain = 3.0;        // seconds for the fundamental to fall 60 dB
    double damping = 0.2;        // high-frequency loss in the loop, 0 .. 0.5
    double pluckPosition = 0.16; // fraction of the string
    double vibratoDepth = 0.0;   // semitones, reached after vibratoDelay + 0.4 s
    double vibratoRate = 5.5;
    double vibratoDelay = 0.25;
    double bendFrom = 0.0;       // semitones at the attack, gliding to 0
    double bendTime = 0.12;
    double detuneCents = 0.0;    // a second string this far off; 0 = one string
};
// `seconds` is the whole sounding length; the last 60 ms fade to silence.
Mono pluck(double freq, double seconds, const PluckTone &tone, uint32_t seed);

// Decaying sine partials (bells, chimes, wood). decay: seconds to -60 dB.
struct Partial
{
    double ratio, gain, decay;
};
Mono modal(double freq, double seconds, const std::vector<Partial> &partials, double attack);

// A breathy bamboo flute: held for `held` seconds, then released.
struct FluteTone
{
    double breath = 0.06;
    double vibratoDepth = 0.12;  // semitones
    double vibratoRate = 5.0;
    double scoop = 0.3;          // semitones flat at the attack
    double attack = 0.07;
};
Mono flute(double freq, double held, double release, const FluteTone &tone, uint32_t seed);

// A soft sustained string pad voice (three detuned oscillators, filtered).
Mono pad(double freq, double held, double attack, double release, double cutoff);

// A small hand drum with a falling pitch.
Mono drum(double freq, double seconds, double decay, uint32_t seed);

// Filtered noise with a fast attack and exponential decay (shakers, breath).
Mono noiseHit(double seconds, double lowCut, double highCut, double attack, double decay, uint32_t seed);

// Mixing. Pan runs from -1 (left) to 1 (right) with equal power.
void mixInto(Mono &dst, const Mono &src, long long at, float gain);
void mixInto(Stereo &dst, const Mono &src, long long at, float gain, float pan);
// As mixInto, but what runs past either end wraps round: for loops.
void mixWrapped(Stereo &dst, const Mono &src, long long at, float gain, float pan);

// A stereo room reverb (parallel damped combs into series all-passes).
// circular: the input is one period of a loop; the tail wraps round so the
// output repeats seamlessly as well.
void addReverb(Stereo &buf, double roomSize, double damping, double wet, bool circular);

// Removes DC with a 15 Hz high pass; circular as for addReverb.
void removeDC(Stereo &buf, bool circular);
void removeDC(Mono &buf);

float peakOf(const Mono &buf);
float peakOf(const Stereo &buf);
void scaleToPeak(Mono &buf, float peak);
void scaleToPeak(Stereo &buf, float peak);
// Raised-cosine fades at the two ends.
void fadeEdges(Mono &buf, double fadeIn, double fadeOut);
void fadeEdges(Stereo &buf, double fadeIn, double fadeOut);

// File formats. The WAV is the canonical 44-byte RIFF header with 16-bit PCM;
// the Ogg stream uses a fixed serial number so the bytes never vary.
std::vector<uint8_t> encodeWav(const Mono &samples);
std::vector<uint8_t> encodeOgg(const Mono &samples, float quality, int serial);
std::vector<uint8_t> encodeOgg(const Stereo &samples, float quality, int serial);

// The game's sounds and its theme.
Mono makeGuiClick();
Mono makeTileClick();
Mono makeTileUnclick();
Mono makeMatch();
Mono makeBlocked();
Stereo makeYouWin();
Mono makeHint();
Stereo makeGameOver();
Stereo makeSplash();
Stereo makeTheme();

} // namespace audio
} // namespace content

#endif

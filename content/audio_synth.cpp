// Instruments, filters and the reverb of the content kit's sounds.
#include "content/audio_synth.h"

#include <algorithm>
#include <cmath>

namespace content {
namespace audio {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Cubic (four-point Lagrange) read between history[k] and history[k + 1].
inline float lagrange(const float *h, size_t mask, long long k, float d)
{
    const float ym1 = h[size_t(k - 1) & mask];
    const float y0 = h[size_t(k) & mask];
    const float y1 = h[size_t(k + 1) & mask];
    const float y2 = h[size_t(k + 2) & mask];
    const float cm1 = -d * (d - 1.0f) * (d - 2.0f) / 6.0f;
    const float c0 = (d + 1.0f) * (d - 1.0f) * (d - 2.0f) / 2.0f;
    const float c1 = -(d + 1.0f) * d * (d - 2.0f) / 2.0f;
    const float c2 = (d + 1.0f) * d * (d - 1.0f) / 6.0f;
    return cm1 * ym1 + c0 * y0 + c1 * y1 + c2 * y2;
}

size_t powerOfTwoAtLeast(size_t n)
{
    size_t p = 1;
    while (p < n)
        p <<= 1;
    return p;
}

// Per-sample factor that makes an amplitude fall 60 dB in `seconds`.
inline double decayFactor(double seconds)
{
    return std::pow(10.0, -3.0 / (std::max(seconds, 1e-4) * kRate));
}

} // namespace

double midiToHz(double note)
{
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

float Noise::next()
{
    return uniform() * 2.0f - 1.0f;
}

float Noise::uniform()
{
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return float(m_state >> 8) * (1.0f / 16777216.0f);
}

namespace {

// cos(w) and alpha of the cookbook formulas for a corner or centre at freq.
struct Angle
{
    double c, alpha;
};

Angle angleOf(double freq, double q)
{
    const double w = 2.0 * kPi * freq / kRate;
    return Angle{std::cos(w), std::sin(w) / (2.0 * q)};
}

} // namespace

Biquad Biquad::normalised(double b0, double b1, double b2, double c, double alpha)
{
    Biquad f;
    const double a0 = 1.0 + alpha;
    f.m_b0 = b0 / a0;
    f.m_b1 = b1 / a0;
    f.m_b2 = b2 / a0;
    f.m_a1 = -2.0 * c / a0;
    f.m_a2 = (1.0 - alpha) / a0;
    return f;
}

Biquad Biquad::lowPass(double freq, double q)
{
    const Angle a = angleOf(freq, q);
    return normalised((1.0 - a.c) / 2.0, 1.0 - a.c, (1.0 - a.c) / 2.0, a.c, a.alpha);
}

Biquad Biquad::highPass(double freq, double q)
{
    const Angle a = angleOf(freq, q);
    return normalised((1.0 + a.c) / 2.0, -(1.0 + a.c), (1.0 + a.c) / 2.0, a.c, a.alpha);
}

Biquad Biquad::bandPass(double freq, double q)
{
    const Angle a = angleOf(freq, q);
    return normalised(a.alpha, 0.0, -a.alpha, a.c, a.alpha);
}

float Biquad::process(float x)
{
    // Transposed direct form II.
    const double y = m_b0 * x + m_z1;
    m_z1 = m_b1 * x - m_a1 * y + m_z2;
    m_z2 = m_b2 * x - m_a2 * y;
    return float(y);
}

OnePole::OnePole(double cutoff)
    : m_k(float(1.0 - std::exp(-2.0 * kPi * std::min(cutoff, kRate * 0.49) / kRate)))
{
}

Mono pluck(double freq, double seconds, const PluckTone &tone, uint32_t seed)
{
    const size_t n = toFrames(seconds);
    Mono out(n, 0.0f);
    const int strings = tone.detuneCents != 0.0 ? 2 : 1;
    const bool moving = tone.vibratoDepth != 0.0 || tone.bendFrom != 0.0;

    for (int s = 0; s < strings; ++s) {
        const double f = freq * (s == 1 ? std::pow(2.0, tone.detuneCents / 1200.0) : 1.0);
        const double period = kRate / f;
        // The loop filter S darkens the tone as it rings. High strings pass it
        // many more times a second, so it is made gentler for them and is kept
        // within what the fundamental may lose per pass; rho then sets the
        // fundamental's decay to `sustain`, and the filter's own delay at the
        // fundamental is taken off the line so the note stays in tune. rho stays
        // below 1: at DC the filter loses nothing, and a gain above 1 there
        // would grow without bound.
        const double w = 2.0 * kPi * f / kRate;
        const double rhoMax = 0.9995;
        const double perPass = std::pow(10.0, -3.0 / (tone.sustain * f));
        const double spare = std::max(0.0, 1.0 - perPass / rhoMax);   // the filter takes about S (1 - cos w)
        const float S = float(std::clamp(std::min(tone.damping * std::sqrt(std::min(1.0, 260.0 / f)),
                                                  spare / (1.0 - std::cos(w))),
                                         0.0, 0.5));
        const double re = 1.0 - S + S * std::cos(w), im = S * std::sin(w);
        const double loopGain = std::sqrt(re * re + im * im);
        const double filterDelay = std::atan2(im, re) / w;
        const float rho = float(std::min(rhoMax, perPass / loopGain));
        const double maxSemis = std::max(0.0, -tone.bendFrom) + std::abs(tone.vibratoDepth);
        const size_t size = powerOfTwoAtLeast(size_t(period * std::pow(2.0, maxSemis / 12.0)) + 8);
        const size_t mask = size - 1;
        std::vector<float> line(size, 0.0f);

        // Excitation: one period of the string's shape when let go, a triangle
        // peaking at the plucking point, roughened by a little noise for the
        // nail and smoothed by the brightness; its mean is removed so the
        // string carries no DC. Pure noise here would start every note with a
        // harsh burst that outweighs the tone itself.
        const int excLen = std::max(2, int(period));
        std::vector<float> exc(size_t(excLen), 0.0f);
        Noise noise(seed * 2654435761u + uint32_t(s) * 40503u + 1u);
        const double apex = std::clamp(tone.pluckPosition, 0.05, 0.5) * excLen;
        for (int i = 0; i < excLen; ++i) {
            const double x = i + 0.5;
            const double shape = x < apex ? x / apex : (excLen - x) / (excLen - apex);
            exc[size_t(i)] = float(shape + 0.3 * tone.brightness * noise.next());
        }
        OnePole colour(1200.0 + 7000.0 * tone.brightness * tone.brightness);
        // Two passes round the period, keeping the second, so the smoothing wraps.
        for (int pass = 0; pass < 2; ++pass)
            for (float &e : exc) {
                const float y = colour.process(e);
                if (pass == 1)
                    e = y;
            }
        double mean = 0.0;
        for (float e : exc)
            mean += e;
        mean /= excLen;
        for (float &e : exc)
            e -= float(mean);

        double delay = period - filterDelay;
        float prev = 0.0f;
        const float gain = strings == 2 ? 0.55f : 0.8f;
        for (size_t i = 0; i < n; ++i) {
            if (moving && (i & 7) == 0) {
                const double t = double(i) / kRate;
                double semis = 0.0;
                if (tone.bendFrom != 0.0 && t < tone.bendTime) {
                    const double x = t / tone.bendTime;
                    semis += tone.bendFrom * (1.0 - x) * (1.0 - x);
                }
                if (tone.vibratoDepth != 0.0 && t > tone.vibratoDelay) {
                    const double ramp = std::min(1.0, (t - tone.vibratoDelay) / 0.4);
                    semis += tone.vibratoDepth * ramp * std::sin(2.0 * kPi * tone.vibratoRate * (t - tone.vibratoDelay));
                }
                delay = period * std::pow(2.0, -semis / 12.0) - filterDelay;
            }
            // The line is zero before the pluck, so early reads just see silence;
            // skipping them instead would leave a DC offset in the loop.
            const double pos = double(i) - std::max(delay, 3.0);
            const long long k = (long long)std::floor(pos);
            const float a = lagrange(line.data(), mask, k, float(pos - double(k)));
            float y = rho * ((1.0f - S) * a + S * prev);
            prev = a;
            if (i < exc.size())
                y += exc[i];
            line[i & mask] = y;
            out[i] += y * gain;
        }
    }
    // A string stopped by the hand: a short fade rather than a cut.
    const size_t fade = std::min(n, toFrames(0.06));
    for (size_t i = 0; i < fade; ++i)
        out[n - 1 - i] *= float(0.5 - 0.5 * std::cos(kPi * double(i) / double(fade)));
    return out;
}

Mono modal(double freq, double seconds, const std::vector<Partial> &partials, double attack)
{
    const size_t n = toFrames(seconds);
    Mono out(n, 0.0f);
    if (n == 0)
        return out;
    for (const Partial &p : partials) {
        const double f = freq * p.ratio;
        if (f >= kRate * 0.45)
            continue;
        // Damped resonator: y[k] = r^k sin(w (k + 1)), by recurrence.
        const double w = 2.0 * kPi * f / kRate;
        const double r = decayFactor(p.decay);
        const double c1 = 2.0 * r * std::cos(w), c2 = -r * r;
        double y1 = std::sin(w);  // k = 0
        double y2 = 0.0;          // k = -1
        out[0] += float(p.gain * y1);
        for (size_t i = 1; i < n; ++i) {
            const double y = c1 * y1 + c2 * y2;
            y2 = y1;
            y1 = y;
            out[i] += float(p.gain * y);
        }
    }
    const size_t a = std::min(n, toFrames(attack));
    for (size_t i = 0; i < a; ++i)
        out[i] *= float(double(i) / double(a));
    return out;
}

Mono flute(double freq, double held, double release, const FluteTone &tone, uint32_t seed)
{
    const double total = held + release;
    const size_t n = toFrames(total);
    Mono out(n, 0.0f);
    static const double harm[] = {1.0, 0.30, 0.11, 0.045, 0.02};
    Noise noise(seed * 747796405u + 2891336453u);
    Biquad breathBand = Biquad::bandPass(std::min(freq * 2.0, 5000.0), 1.5);
    Biquad airy = Biquad::highPass(2500.0, 0.7);
    double phase = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kRate;
        // Envelope: rounded attack, slight swell, cosine release.
        double env;
        if (t < tone.attack)
            env = std::sin(0.5 * kPi * t / tone.attack);
        else if (t < held)
            env = 1.0 + 0.06 * std::sin(kPi * std::min(1.0, (t - tone.attack) / std::max(0.2, held - tone.attack)));
        else
            env = 0.5 + 0.5 * std::cos(kPi * std::min(1.0, (t - held) / release));
        double semis = 0.0;
        if (t < 0.08)
            semis -= tone.scoop * (1.0 - t / 0.08);
        if (t > 0.3) {
            const double ramp = std::min(1.0, (t - 0.3) / 0.5);
            semis += tone.vibratoDepth * ramp * std::sin(2.0 * kPi * tone.vibratoRate * (t - 0.3));
        }
        const double f = freq * (1.0 + semis * 0.0577623);  // exp2(s/12) near 0
        phase += f / kRate;
        phase -= std::floor(phase);
        double v = 0.0;
        for (int h = 0; h < 5; ++h) {
            if (f * (h + 1) > kRate * 0.45)
                break;
            v += harm[h] * std::sin(2.0 * kPi * (h + 1) * phase);
        }
        // Breath: noise near the second harmonic, stronger during the attack.
        const float wn = noise.next();
        const double chiff = t < 0.06 ? 3.0 * (1.0 - t / 0.06) : 0.0;
        const double breath = tone.breath * (breathBand.process(wn) * 2.5 + airy.process(wn) * 0.35) * (1.0 + chiff);
        out[i] = float(env * (v * 0.8 + breath));
    }
    return out;
}

Mono pad(double freq, double held, double attack, double release, double cutoff)
{
    const size_t n = toFrames(held + release);
    Mono out(n, 0.0f);
    // One period of a soft, band-limited wave; linear reads are cheap.
    constexpr int kTable = 2048;
    static const std::vector<float> table = [] {
        std::vector<float> t(kTable + 1);
        for (int i = 0; i <= kTable; ++i) {
            double v = 0.0;
            for (int h = 1; h <= 8; ++h)
                v += std::sin(2.0 * kPi * h * i / kTable) / std::pow(double(h), 1.6);
            t[size_t(i)] = float(v * 0.6);
        }
        return t;
    }();
    const float *wave = table.data();
    static const double detune[] = {-0.0045, 0.0, 0.0052};
    double phase[3] = {0.0, 0.31, 0.67};
    Biquad lp = Biquad::lowPass(cutoff, 0.6);
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kRate;
        double env;
        if (t < attack)
            env = 0.5 - 0.5 * std::cos(kPi * t / attack);
        else if (t < held)
            env = 1.0;
        else
            env = 0.5 + 0.5 * std::cos(kPi * std::min(1.0, (t - held) / release));
        double v = 0.0;
        for (int k = 0; k < 3; ++k) {
            phase[k] += freq * (1.0 + detune[k]) / kRate;
            phase[k] -= std::floor(phase[k]);
            const double x = phase[k] * kTable;
            const int j = int(x);
            const double frac = x - j;
            v += wave[j] + (wave[j + 1] - wave[j]) * frac;
        }
        out[i] = float(env * lp.process(float(v / 3.0)));
    }
    return out;
}

Mono drum(double freq, double seconds, double decay, uint32_t seed)
{
    const size_t n = toFrames(seconds);
    Mono out(n, 0.0f);
    Noise noise(seed * 1103515245u + 12345u);
    Biquad skin = Biquad::lowPass(1800.0, 0.7);
    const double r = decayFactor(decay);
    const double rc = decayFactor(0.02);
    double amp = 1.0, click = 1.0, phase = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kRate;
        const double f = freq * (1.0 + 0.7 * std::exp(-t / 0.025));
        phase += f / kRate;
        const double tone = std::sin(2.0 * kPi * phase) * amp;
        const double hit = skin.process(noise.next()) * click * 0.5;
        out[i] = float(tone + hit);
        amp *= r;
        click *= rc;
    }
    const size_t a = std::min(n, toFrames(0.0015));
    for (size_t i = 0; i < a; ++i)
        out[i] *= float(double(i) / double(a));
    return out;
}

Mono noiseHit(double seconds, double lowCut, double highCut, double attack, double decay, uint32_t seed)
{
    const size_t n = toFrames(seconds);
    Mono out(n, 0.0f);
    Noise noise(seed * 69069u + 1u);
    Biquad hp = Biquad::highPass(lowCut, 0.7);
    Biquad lp = Biquad::lowPass(std::min(highCut, kRate * 0.45), 0.7);
    const double r = decayFactor(decay);
    double amp = 1.0;
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kRate;
        const double env = t < attack ? t / attack : (amp *= r);
        out[i] = float(env * lp.process(hp.process(noise.next())));
    }
    return out;
}

void mixInto(Mono &dst, const Mono &src, long long at, float gain)
{
    for (size_t i = 0; i < src.size(); ++i) {
        const long long j = at + (long long)i;
        if (j >= 0 && j < (long long)dst.size())
            dst[size_t(j)] += src[i] * gain;
    }
}

namespace {

void panGains(float pan, float gain, float &gl, float &gr)
{
    const double a = (std::clamp(double(pan), -1.0, 1.0) + 1.0) * 0.25 * kPi;
    gl = float(std::cos(a) * std::sqrt(2.0) * gain);
    gr = float(std::sin(a) * std::sqrt(2.0) * gain);
}

} // namespace

void mixInto(Stereo &dst, const Mono &src, long long at, float gain, float pan)
{
    float gl, gr;
    panGains(pan, gain, gl, gr);
    const long long frames = (long long)dst.frames();
    for (size_t i = 0; i < src.size(); ++i) {
        const long long j = at + (long long)i;
        if (j >= 0 && j < frames) {
            dst.left[size_t(j)] += src[i] * gl;
            dst.right[size_t(j)] += src[i] * gr;
        }
    }
}

void mixWrapped(Stereo &dst, const Mono &src, long long at, float gain, float pan)
{
    float gl, gr;
    panGains(pan, gain, gl, gr);
    const long long frames = (long long)dst.frames();
    if (frames == 0)
        return;
    long long j = ((at % frames) + frames) % frames;
    for (size_t i = 0; i < src.size(); ++i) {
        dst.left[size_t(j)] += src[i] * gl;
        dst.right[size_t(j)] += src[i] * gr;
        if (++j == frames)
            j = 0;
    }
}

namespace {

// Parallel damped feedback combs into series all-passes, all in one block of
// memory and walked with plain indices: this runs for every frame of the
// music twice, in debug builds too.
class Room
{
public:
    Room(double roomSize, double damping, int spread)
        : m_feedback(float(0.7 + 0.28 * std::clamp(roomSize, 0.0, 1.0))), m_damp(float(damping))
    {
        // Unequal lengths (about 25 to 37 ms) keep the echoes from piling up.
        static const int combs[kCombs] = {558, 594, 638, 678, 711, 745, 778, 808};
        static const int passes[kPasses] = {278, 220, 170, 112};
        size_t at = 0;
        for (int i = 0; i < kCombs; ++i) {
            m_combs[i] = {at, size_t(combs[i] + spread), 0, 0.0f};
            at += m_combs[i].length;
        }
        for (int i = 0; i < kPasses; ++i) {
            m_passes[i] = {at, size_t(passes[i] + spread / 2), 0, 0.0f};
            at += m_passes[i].length;
        }
        m_data.assign(at, 0.0f);
    }

    float process(float x)
    {
        float *data = m_data.data();
        float acc = 0.0f;
        for (Line &c : m_combs) {
            float *buf = data + c.start;
            const float out = buf[c.pos];
            c.store = out * (1.0f - m_damp) + c.store * m_damp;
            buf[c.pos] = x + c.store * m_feedback;
            if (++c.pos == c.length)
                c.pos = 0;
            acc += out;
        }
        for (Line &a : m_passes) {
            float *buf = data + a.start;
            const float b = buf[a.pos];
            buf[a.pos] = acc + b * 0.5f;
            acc = b - acc;
            if (++a.pos == a.length)
                a.pos = 0;
        }
        return acc;
    }

private:
    static constexpr int kCombs = 8;
    static constexpr int kPasses = 4;
    struct Line
    {
        size_t start, length, pos;
        float store;   // the comb's damping filter
    };
    Line m_combs[kCombs];
    Line m_passes[kPasses];
    std::vector<float> m_data;
    float m_feedback, m_damp;
};

} // namespace

void addReverb(Stereo &buf, double roomSize, double damping, double wet, bool circular)
{
    const size_t n = buf.frames();
    if (n == 0)
        return;
    Room left(roomSize, damping, 0), right(roomSize, damping, 12);
    const float input = 0.006f;
    const float g = float(wet);
    // A loop is run through twice: the first pass only fills the rooms, so the
    // kept pass hears the end of the loop before its start, as a player does.
    if (circular) {
        for (size_t i = 0; i < n; ++i) {
            const float mid = (buf.left[i] + buf.right[i]) * input;
            left.process(mid + buf.left[i] * input);
            right.process(mid + buf.right[i] * input);
        }
    }
    for (size_t i = 0; i < n; ++i) {
        const float mid = (buf.left[i] + buf.right[i]) * input;
        const float l = left.process(mid + buf.left[i] * input);
        const float r = right.process(mid + buf.right[i] * input);
        buf.left[i] += g * l;
        buf.right[i] += g * r;
    }
}

namespace {

void dcBlock(Mono &x, bool circular)
{
    // y[n] = x[n] - x[n-1] + R y[n-1], about 15 Hz at this rate.
    const float R = 0.9957f;
    float px = 0.0f, py = 0.0f;
    if (circular) {
        for (float v : x) {
            py = v - px + R * py;
            px = v;
        }
    }
    for (float &v : x) {
        const float y = v - px + R * py;
        px = v;
        py = y;
        v = y;
    }
}

} // namespace

void removeDC(Stereo &buf, bool circular)
{
    dcBlock(buf.left, circular);
    dcBlock(buf.right, circular);
}

void removeDC(Mono &buf)
{
    dcBlock(buf, false);
}

float peakOf(const Mono &buf)
{
    float p = 0.0f;
    for (float v : buf)
        p = std::max(p, std::abs(v));
    return p;
}

float peakOf(const Stereo &buf)
{
    return std::max(peakOf(buf.left), peakOf(buf.right));
}

void scaleToPeak(Mono &buf, float peak)
{
    const float p = peakOf(buf);
    if (p > 0.0f)
        for (float &v : buf)
            v *= peak / p;
}

void scaleToPeak(Stereo &buf, float peak)
{
    const float p = peakOf(buf);
    if (p > 0.0f) {
        for (float &v : buf.left)
            v *= peak / p;
        for (float &v : buf.right)
            v *= peak / p;
    }
}

void fadeEdges(Mono &buf, double fadeIn, double fadeOut)
{
    const size_t n = buf.size();
    const size_t a = std::min(n, toFrames(fadeIn)), b = std::min(n, toFrames(fadeOut));
    for (size_t i = 0; i < a; ++i)
        buf[i] *= float(0.5 - 0.5 * std::cos(kPi * double(i) / double(a)));
    for (size_t i = 0; i < b; ++i)
        buf[n - 1 - i] *= float(0.5 - 0.5 * std::cos(kPi * double(i) / double(b)));
}

void fadeEdges(Stereo &buf, double fadeIn, double fadeOut)
{
    fadeEdges(buf.left, fadeIn, fadeOut);
    fadeEdges(buf.right, fadeIn, fadeOut);
}

} // namespace audio
} // namespace content

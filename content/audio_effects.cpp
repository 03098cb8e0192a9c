// The game's sound effects. The effects play at half volume, so each is
// normalised close to full scale; the musical ones share the theme's key
// (D, the five-note scale D E F# A B) so they sit well over the music.
#include "content/audio_synth.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace content {
namespace audio {

namespace {

// Peak levels: Vorbis may overshoot its input a little, so Ogg sounds keep
// about 1 dB of room; the WAV clicks go nearly to the top.
constexpr float kWavPeak = 0.94f;
constexpr float kOggPeak = 0.89f;

long long at(double seconds)
{
    return (long long)toFrames(seconds);
}

double hz(int midi)
{
    return midiToHz(midi);
}

// A hard, small object struck: a few quickly decaying partials and a tick of
// noise for the contact.
Mono strike(double freq, const std::vector<Partial> &partials, double seconds, double tickLevel,
            double tickCut, uint32_t seed)
{
    Mono out = modal(freq, seconds, partials, 0.0004);
    const Mono tick = noiseHit(seconds, tickCut, 9500.0, 0.0003, 0.006, seed);
    mixInto(out, tick, 0, float(tickLevel));
    return out;
}

// A small chime: near-harmonic partials with a faint inharmonic glint.
Mono chime(double freq, double seconds, double length)
{
    return modal(freq, seconds,
                 {{1.0, 1.0, length},
                  {2.0, 0.22, length * 0.5},
                  {3.0, 0.09, length * 0.3},
                  {2.76, 0.07, length * 0.25},
                  {5.4, 0.04, length * 0.12},
                  {1.003, 0.35, length * 0.9}},
                 0.002);
}

// A small bell played with a soft mallet, rich and a little inharmonic.
Mono smallBell(double freq, double seconds)
{
    return modal(freq, seconds,
                 {{1.0, 1.0, 1.4}, {1.004, 0.6, 1.3}, {2.74, 0.35, 0.8}, {5.18, 0.15, 0.4}, {8.2, 0.06, 0.2}},
                 0.003);
}

Mono toMono(const Stereo &s)
{
    Mono out(s.frames());
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = 0.5f * (s.left[i] + s.right[i]);
    return out;
}

PluckTone zither()
{
    PluckTone t;
    t.brightness = 0.75;
    t.sustain = 2.2;
    t.damping = 0.18;
    t.pluckPosition = 0.14;
    t.detuneCents = 3.0;
    return t;
}

// The last steps of every effect: no DC, the ends faded, the level set.
Mono finished(Mono out, double fadeIn, double fadeOut, float peak)
{
    removeDC(out);
    fadeEdges(out, fadeIn, fadeOut);
    scaleToPeak(out, peak);
    return out;
}

Stereo finished(Stereo mix, double fadeIn, double fadeOut)
{
    removeDC(mix, false);
    fadeEdges(mix, fadeIn, fadeOut);
    scaleToPeak(mix, kOggPeak);
    return mix;
}

} // namespace

Mono makeGuiClick()
{
    // A light, crisp tick, like a small lacquered button.
    Mono out = strike(1850.0,
                      {{1.0, 1.0, 0.022}, {1.61, 0.55, 0.014}, {2.71, 0.25, 0.009}, {0.36, 0.35, 0.03}},
                      0.06, 0.45, 2500.0, 11);
    return finished(std::move(out), 0.0, 0.01, kWavPeak);
}

Mono makeTileClick()
{
    // Two tiles meeting: a bright clack and a quieter settle just after.
    const std::vector<Partial> body = {
        {1.0, 1.0, 0.040}, {1.47, 0.7, 0.028}, {2.09, 0.45, 0.020}, {2.93, 0.28, 0.013}, {0.43, 0.4, 0.05}};
    Mono out = strike(2250.0, body, 0.09, 0.6, 2800.0, 21);
    const Mono settle = strike(2150.0, body, 0.08, 0.5, 2800.0, 22);
    mixInto(out, settle, at(0.011), 0.3f);
    return finished(std::move(out), 0.0, 0.02, kWavPeak);
}

Mono makeTileUnclick()
{
    // The same tile set down: lower and softer, a single dull tock.
    Mono out = strike(1450.0,
                      {{1.0, 1.0, 0.030}, {1.52, 0.5, 0.020}, {2.3, 0.22, 0.012}, {0.47, 0.5, 0.04}},
                      0.085, 0.3, 1800.0, 31);
    Biquad soften = Biquad::lowPass(4200.0, 0.7);
    for (float &v : out)
        v = soften.process(v);
    return finished(std::move(out), 0.0, 0.02, kWavPeak);
}

Mono makeMatch()
{
    // Two rising chime notes, A then D, over the faint clack of the pair.
    Stereo mix(toFrames(1.05));
    mixInto(mix, chime(hz(81), 1.0, 0.9), 0, 0.8f, -0.15f);
    mixInto(mix, chime(hz(86), 0.95, 1.0), at(0.11), 0.9f, 0.15f);
    const Mono clack = strike(2300.0, {{1.0, 1.0, 0.03}, {1.5, 0.6, 0.02}, {2.1, 0.3, 0.012}}, 0.08, 0.5, 3000.0, 41);
    mixInto(mix, clack, 0, 0.25f, 0.0f);
    addReverb(mix, 0.45, 0.35, 0.5, false);
    return finished(toMono(mix), 0.002, 0.25, kOggPeak);
}

Mono makeBlocked()
{
    // A dull double knock on wood: "no".
    auto knock = [](double freq, uint32_t seed) {
        Mono k = drum(freq, 0.22, 0.09, seed);
        const Mono wood = modal(freq * 2.3, 0.22, {{1.0, 1.0, 0.05}, {1.9, 0.4, 0.03}, {3.1, 0.15, 0.02}}, 0.0005);
        mixInto(k, wood, 0, 0.35f);
        Biquad dull = Biquad::lowPass(1500.0, 0.7);
        for (float &v : k)
            v = dull.process(v);
        return k;
    };
    Mono out(toFrames(0.36), 0.0f);
    mixInto(out, knock(155.0, 51), 0, 1.0f);
    mixInto(out, knock(138.0, 52), at(0.12), 0.75f);
    return finished(std::move(out), 0.002, 0.04, kOggPeak);
}

Stereo makeYouWin()
{
    // A quick climbing run on the zither and bells, then a full, ringing chord.
    const double length = 3.3;
    Stereo mix(toFrames(length));
    static const int run[] = {62, 66, 69, 71, 74, 76, 78, 81, 83, 86};
    const PluckTone tone = zither();
    for (int i = 0; i < 10; ++i) {
        const double t = 0.075 * i;
        const float pan = -0.6f + 1.2f * float(i) / 9.0f;
        mixInto(mix, pluck(hz(run[i]), length - t, tone, 100 + uint32_t(i)), at(t), 0.55f + 0.03f * i, pan);
        if (i >= 5)
            mixInto(mix, chime(hz(run[i] + 12), 1.2, 0.7), at(t), 0.18f, pan);
    }
    // The chord lands on the next beat.
    const double land = 0.85;
    static const int chord[] = {62, 69, 74, 78, 81, 86, 88};
    for (int i = 0; i < 7; ++i) {
        PluckTone ring = tone;
        ring.sustain = 3.0;
        ring.vibratoDepth = i == 5 ? 0.12 : 0.0;
        mixInto(mix, pluck(hz(chord[i]), length - land - 0.012 * i, ring, 120 + uint32_t(i)),
                at(land + 0.012 * i), 0.5f, -0.5f + float(i) / 6.0f);
    }
    mixInto(mix, smallBell(hz(98), 2.2), at(land), 0.22f, 0.4f);
    mixInto(mix, smallBell(hz(93), 2.2), at(land + 0.02), 0.25f, -0.4f);
    mixInto(mix, drum(110.0, 0.8, 0.35, 130), at(land), 0.7f, 0.0f);
    for (int n : {50, 57, 66})
        mixInto(mix, pad(hz(n), 1.1, 0.35, 1.2, 1800.0), at(land - 0.2), 0.22f, n == 57 ? 0.3f : -0.3f);
    mixInto(mix, noiseHit(1.5, 6000.0, 10000.0, 0.15, 0.9, 131), at(land), 0.05f, 0.2f);
    addReverb(mix, 0.7, 0.3, 0.9, false);
    return finished(std::move(mix), 0.002, 0.5);
}

Mono makeHint()
{
    // A soft rising sparkle of little bells with a breath of air.
    Stereo mix(toFrames(1.1));
    static const int notes[] = {90, 93, 95, 98, 100};
    for (int i = 0; i < 5; ++i) {
        const double t = 0.05 * i;
        mixInto(mix, chime(hz(notes[i]), 1.1 - t, 0.45), at(t), 0.45f + 0.05f * (i == 4), -0.4f + 0.2f * i);
    }
    mixInto(mix, noiseHit(0.6, 5000.0, 10000.0, 0.12, 0.35, 141), 0, 0.06f, 0.0f);
    addReverb(mix, 0.5, 0.4, 0.6, false);
    return finished(toMono(mix), 0.002, 0.3, kOggPeak);
}

Stereo makeGameOver()
{
    // A slow falling phrase in the minor mood of the scale, ending low on B
    // with a gliding bend and a soft flute.
    const double length = 2.7;
    Stereo mix(toFrames(length));
    static const int phrase[] = {81, 78, 76, 74, 71};
    static const double when[] = {0.0, 0.26, 0.52, 0.78, 1.1};
    PluckTone tone = zither();
    tone.brightness = 0.6;
    tone.sustain = 2.0;
    for (int i = 0; i < 5; ++i) {
        PluckTone t = tone;
        if (i == 4) {
            t.bendFrom = 1.0;   // pressed string let go: the pitch sinks into place
            t.bendTime = 0.35;
            t.vibratoDepth = 0.15;
            t.vibratoDelay = 0.4;
        }
        mixInto(mix, pluck(hz(phrase[i]), length - when[i], t, 150 + uint32_t(i)), at(when[i]), 0.7f,
                0.3f - 0.15f * i);
    }
    mixInto(mix, pluck(hz(47), length - 1.1, tone, 160), at(1.1), 0.6f, 0.0f);
    FluteTone ft;
    ft.vibratoDepth = 0.1;
    mixInto(mix, flute(hz(71), 0.9, 0.6, ft, 161), at(1.15), 0.2f, 0.2f);
    mixInto(mix, pad(hz(59), 0.9, 0.5, 0.8, 1200.0), at(1.0), 0.18f, -0.2f);
    mixInto(mix, pad(hz(66), 0.9, 0.5, 0.8, 1200.0), at(1.0), 0.14f, 0.2f);
    addReverb(mix, 0.65, 0.35, 0.8, false);
    return finished(std::move(mix), 0.002, 0.6);
}

Stereo makeSplash()
{
    // The logo: a zither sweep up the scale into a bell-lit chord over a soft gong.
    const double length = 2.4;
    Stereo mix(toFrames(length));
    static const int sweep[] = {62, 64, 66, 69, 71, 74, 76, 78, 81, 83, 86};
    const PluckTone tone = zither();
    for (int i = 0; i < 11; ++i) {
        const double t = 0.042 * i;
        mixInto(mix, pluck(hz(sweep[i]), length - t, tone, 170 + uint32_t(i)), at(t), 0.32f + 0.02f * i,
                -0.7f + 0.14f * i);
    }
    const double land = 0.5;
    mixInto(mix, smallBell(hz(86), 1.9), at(land), 0.35f, -0.3f);
    mixInto(mix, smallBell(hz(93), 1.9), at(land + 0.03), 0.3f, 0.3f);
    mixInto(mix, pluck(hz(50), length - land, tone, 190), at(land), 0.6f, 0.0f);
    mixInto(mix, pluck(hz(57), length - land, tone, 191), at(land), 0.4f, 0.2f);
    const Mono gong = modal(73.4, length - land + 0.1,
                            {{1.0, 1.0, 1.8}, {1.52, 0.5, 1.4}, {2.31, 0.35, 1.1}, {3.1, 0.2, 0.8}, {4.45, 0.1, 0.5}},
                            0.03);
    mixInto(mix, gong, at(land - 0.02), 0.45f, 0.0f);
    addReverb(mix, 0.7, 0.3, 0.9, false);
    return finished(std::move(mix), 0.002, 0.45);
}

} // namespace audio
} // namespace content

// The title and game theme: 32 bars at 80 beats a minute (96 s) in D on the
// five-note scale D E F# A B, for zither, bamboo flute, a string pad, a
// plucked bass and light hand percussion. Every note that rings past the end
// of the loop is wrapped round to its start, and the reverb hears the loop's
// end before its start, so the music repeats without a seam from position 0.
#include "content/audio_synth.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>

namespace content {
namespace audio {

namespace {

constexpr double kBeat = 0.75;   // seconds (80 beats a minute)
constexpr int kBars = 32;
constexpr int kBeatsPerBar = 4;
constexpr double kLoopSeconds = kBars * kBeatsPerBar * kBeat;
// Every note sounds this much after its written time, so no attack falls on
// the join itself and the loop's first samples continue its last ones.
constexpr double kLead = 0.05;

struct Note
{
    double beat;    // start, in beats from the top of the loop
    double beats;   // written length
    int midi;
    bool ornament;  // '~': a held note with vibrato
};

// Reads a phrase such as "A4/2 F#5/3~ r/2 | E5/4": pitch and octave (or r for a
// rest), a length in eighths after the slash, and bar lines for the reader.
// Every phrase here spans eight bars; one that does not is a typing slip that
// would shift everything after it, so it is refused.
std::vector<Note> phrase(const char *text, double startBeat)
{
    constexpr double kPhraseBeats = 8 * kBeatsPerBar;
    std::vector<Note> notes;
    double beat = startBeat;
    const std::string s(text);
    size_t i = 0;
    while (i < s.size()) {
        if (std::isspace((unsigned char)s[i]) || s[i] == '|') {
            ++i;
            continue;
        }
        int midi = -1;
        if (s[i] == 'r') {
            ++i;
        } else {
            static const int pitchClass[] = {9, 11, 0, 2, 4, 5, 7};   // A B C D E F G
            if (s[i] < 'A' || s[i] > 'G')
                throw std::runtime_error("bad note in phrase: " + s.substr(i));
            int pc = pitchClass[s[i] - 'A'];
            ++i;
            if (i < s.size() && s[i] == '#') {
                ++pc;
                ++i;
            } else if (i < s.size() && s[i] == 'b') {
                --pc;
                ++i;
            }
            if (i >= s.size() || !std::isdigit((unsigned char)s[i]))
                throw std::runtime_error("missing octave in phrase: " + s);
            midi = 12 * (s[i] - '0' + 1) + pc;
            ++i;
        }
        if (i >= s.size() || s[i] != '/')
            throw std::runtime_error("missing length in phrase: " + s);
        ++i;
        int eighths = 0;
        while (i < s.size() && std::isdigit((unsigned char)s[i]))
            eighths = eighths * 10 + (s[i++] - '0');
        bool ornament = false;
        if (i < s.size() && s[i] == '~') {
            ornament = true;
            ++i;
        }
        if (midi >= 0)
            notes.push_back({beat, eighths * 0.5, midi, ornament});
        beat += eighths * 0.5;
    }
    if (beat - startBeat != kPhraseBeats)
        throw std::runtime_error("phrase is not eight bars long: " + s);
    return notes;
}

// The four chords of each eight-bar section, two bars each.
enum Chord { D, Bm, G, A, Em };

struct ChordVoicing
{
    int bass;
    int pad[4];
    int arp[5];
};

const ChordVoicing &voicing(Chord c)
{
    static const ChordVoicing table[] = {
        {50, {57, 62, 64, 66}, {50, 57, 62, 64, 69}},   // D with an added E
        {47, {57, 59, 62, 66}, {47, 54, 59, 62, 66}},   // B minor seventh
        {43, {55, 59, 62, 64}, {43, 50, 55, 59, 64}},   // G sixth
        {45, {57, 62, 64, 71}, {45, 52, 57, 62, 64}},   // A suspended, leaning home to D
        {52, {55, 59, 62, 66}, {52, 59, 62, 64, 71}},   // E minor
    };
    return table[c];
}

const Chord kChords[16] = {D, Bm, G, A,  D, Bm, Em, A,  Bm, G, D, A,  D, Bm, G, A};

const char *const kMelodyA =
    "A4/2 D5/1 E5/1 F#5/3~ A5/1 | E5/4~ D5/2 E5/2 | F#5/2 A5/2 B5/3 A5/1 | F#5/6~ r/2 |"
    "E5/2 F#5/1 E5/1 D5/2 B4/2 | D5/3 E5/1 B4/4~ | A4/2 B4/2 D5/2 E5/2 | E5/6~ r/2";
const char *const kMelodyA2 =
    "F#5/3 E5/1 D5/2 E5/2 | A5/6~ F#5/2 | B5/2 A5/2 F#5/2 E5/1 F#5/1 | D5/6~ r/2 |"
    "E5/3 F#5/1 B5/2 A5/2 | F#5/4~ E5/2 D5/2 | E5/3 D5/1 B4/2 D5/2 | E5/8~";
const char *const kMelodyB =
    "D6/2 B5/2 A5/2 F#5/2 | A5/3 B5/1 F#5/4~ | E5/2 D5/2 E5/2 A5/2 | B5/6~ r/2 |"
    "A5/2 F#5/2 E5/2 D5/2 | E5/3 F#5/1 A5/4~ | B5/2 A5/2 E5/2 D5/1 E5/1 | E5/6~ r/2";
const char *const kCounterB =
    "D5/8 | F#5/4 E5/4 | D5/8 | B4/4 D5/4 | A4/8 | D5/4 F#5/4 | E5/8 | E5/6 r/2";
// The last section ends by stepping down into the A that opens the loop.
const char *const kMelodyA3 =
    "A4/2 D5/1 E5/1 F#5/3~ A5/1 | E5/4~ D5/2 E5/2 | F#5/2 A5/2 B5/3 A5/1 | F#5/6~ r/2 |"
    "E5/2 F#5/1 E5/1 D5/2 B4/2 | D5/3 E5/1 B4/4~ | A4/2 B4/2 D5/2 E5/2 | E5/4~ D5/2 B4/2";

class Score
{
public:
    explicit Score(Stereo &out) : m_out(out), m_jitter(0x51ED2701u) {}

    long long frameOf(double beat) { return (long long)std::llround((beat * kBeat + kLead) * kRate); }

    // A little looseness in time and touch, the same on every run.
    double humanise(double beat) { return beat + m_jitter.next() * 0.008 / kBeat; }
    float touch(float gain) { return gain * (1.0f + 0.1f * m_jitter.next()); }

    void add(const Mono &sound, double beat, float gain, float pan)
    {
        mixWrapped(m_out, sound, frameOf(beat), gain, pan);
    }

private:
    Stereo &m_out;
    Noise m_jitter;
};

PluckTone leadZither(const Note &n)
{
    PluckTone t;
    t.brightness = 0.72;
    t.sustain = 2.6;
    t.damping = 0.2;
    t.pluckPosition = 0.13;
    t.detuneCents = 2.5;
    if (n.ornament) {
        // The left hand presses and rocks the string behind the bridge.
        t.vibratoDepth = 0.16;
        t.vibratoRate = 5.2;
        t.vibratoDelay = std::min(0.35, n.beats * kBeat * 0.3);
    }
    return t;
}

void playZitherLine(Score &score, const std::vector<Note> &notes, float gain, float pan, uint32_t seed)
{
    for (size_t i = 0; i < notes.size(); ++i) {
        const Note &n = notes[i];
        const double ring = std::min(3.0, n.beats * kBeat + 1.0);
        // Leaps up of more than a fourth get a short slide into the note.
        PluckTone t = leadZither(n);
        if (i > 0 && n.midi - notes[i - 1].midi > 5 && n.beats >= 1.0) {
            t.bendFrom = -1.0;
            t.bendTime = 0.09;
        }
        const float accent = std::fmod(n.beat, 2.0) == 0.0 ? 1.0f : 0.88f;
        score.add(pluck(midiToHz(n.midi), ring, t, seed + uint32_t(i) * 7u), score.humanise(n.beat),
                  score.touch(gain * accent), pan);
    }
}

void playFluteLine(Score &score, const std::vector<Note> &notes, float gain, float pan, uint32_t seed)
{
    for (size_t i = 0; i < notes.size(); ++i) {
        const Note &n = notes[i];
        FluteTone t;
        t.vibratoDepth = n.ornament || n.beats >= 2.0 ? 0.14 : 0.05;
        // Only a note that starts a breath scoops up into its pitch.
        const bool afterRest = i == 0 || notes[i - 1].beat + notes[i - 1].beats < n.beat - 0.01;
        t.scoop = afterRest ? 0.4 : 0.12;
        t.attack = afterRest ? 0.09 : 0.04;
        const double held = n.beats * kBeat - 0.03;
        score.add(flute(midiToHz(n.midi), held, 0.22, t, seed + uint32_t(i) * 13u), n.beat, gain, pan);
    }
}

// Broken chords in eighths; sparse is one note on each of beats 2 to 4.
void playArpeggio(Score &score, int section, bool sparse, float gain, float pan)
{
    static const int flowing[2][8] = {{0, 1, 2, 3, 4, 3, 2, 1}, {0, 2, 1, 3, 2, 4, 3, 2}};
    PluckTone t;
    t.brightness = 0.55;
    t.sustain = 1.8;
    t.damping = 0.25;
    t.pluckPosition = 0.2;
    for (int c = 0; c < 4; ++c) {
        const ChordVoicing &v = voicing(kChords[section * 4 + c]);
        const double start = (section * 8 + c * 2) * kBeatsPerBar;
        for (int bar = 0; bar < 2; ++bar) {
            for (int e = 1; e < 8; ++e) {   // the bass has the downbeat
                if (sparse && e % 2 != 0)
                    continue;
                const int idx = sparse ? 1 + e / 2 : flowing[bar][e];
                const double beat = start + bar * 4 + e * 0.5;
                const float accent = e % 2 == 0 ? 1.0f : 0.8f;
                score.add(pluck(midiToHz(v.arp[idx]), 1.4, t, uint32_t(beat * 16) + 900u),
                          score.humanise(beat), score.touch(gain * accent), pan);
            }
        }
    }
}

void playHarmony(Score &score, float padGain, float bassGain)
{
    PluckTone bass;
    bass.brightness = 0.3;
    bass.sustain = 2.8;
    bass.damping = 0.35;
    bass.pluckPosition = 0.25;
    static const float padPan[4] = {-0.6f, 0.25f, -0.2f, 0.6f};
    const double chordSeconds = 2.0 * kBeatsPerBar * kBeat;
    // Chords come back, and a pad note is the same every time: render each once.
    std::map<int, Mono> pads;
    for (int slot = 0; slot < 16; ++slot) {
        const ChordVoicing &v = voicing(kChords[slot]);
        const double start = slot * 2.0 * kBeatsPerBar;
        for (int k = 0; k < 4; ++k) {
            auto it = pads.find(v.pad[k]);
            if (it == pads.end())
                it = pads.emplace(v.pad[k], pad(midiToHz(v.pad[k]), chordSeconds - 0.4, 1.2, 1.6, 1500.0)).first;
            score.add(it->second, start - 0.25, padGain, padPan[k]);
        }
        // Root, fifth, root, and a lift to the octave before the next chord.
        const int fifth = v.bass + 7;
        score.add(pluck(midiToHz(v.bass), 3.2, bass, 500u + uint32_t(slot)), start, bassGain, 0.0f);
        score.add(pluck(midiToHz(fifth), 1.2, bass, 600u + uint32_t(slot)), start + 3.0, bassGain * 0.6f, 0.05f);
        score.add(pluck(midiToHz(v.bass), 2.6, bass, 700u + uint32_t(slot)), start + 4.0, bassGain * 0.85f, 0.0f);
        score.add(pluck(midiToHz(v.bass + 12), 1.0, bass, 800u + uint32_t(slot)), start + 6.5, bassGain * 0.5f,
                  -0.05f);
    }
}

void playPercussion(Score &score)
{
    const Mono lowDrum = drum(92.0, 0.7, 0.24, 31);
    const Mono softDrum = drum(140.0, 0.4, 0.12, 32);
    const Mono block = modal(980.0, 0.15, {{1.0, 1.0, 0.05}, {2.16, 0.35, 0.03}, {3.7, 0.1, 0.015}}, 0.0005);
    const Mono shaker = noiseHit(0.14, 4500.0, 10000.0, 0.01, 0.06, 33);
    const Mono bell = modal(midiToHz(93), 2.4, {{1.0, 1.0, 1.8}, {1.005, 0.6, 1.6}, {2.74, 0.3, 0.9}, {5.2, 0.1, 0.4}},
                            0.002);
    // A soft gong opens the high third section.
    const Mono gong = modal(73.4, 3.0, {{1.0, 1.0, 2.2}, {1.52, 0.5, 1.7}, {2.31, 0.35, 1.3}, {3.1, 0.2, 0.9}, {4.45, 0.1, 0.6}},
                            0.04);
    score.add(gong, 64.0, 0.16f, 0.0f);
    for (int bar = 0; bar < kBars; ++bar) {
        const int section = bar / 8;
        const double b = bar * kBeatsPerBar;
        if (bar % 4 == 0)
            score.add(bell, b, section == 0 ? 0.07f : 0.09f, bar % 8 == 0 ? 0.5f : -0.5f);
        if (section == 0) {
            if (bar % 2 == 0)
                score.add(lowDrum, b, 0.3f, 0.0f);
            continue;
        }
        score.add(lowDrum, b, score.touch(0.4f), 0.0f);
        score.add(softDrum, b + 2.0, score.touch(0.22f), 0.1f);
        score.add(block, score.humanise(b + 3.0), score.touch(0.06f), 0.45f);
        if (section == 2) {
            score.add(softDrum, b + 1.5, score.touch(0.14f), -0.1f);
            for (int e = 1; e < 8; e += 2)
                score.add(shaker, score.humanise(b + e * 0.5), score.touch(0.035f), -0.35f);
        } else if (bar % 2 == 1) {
            score.add(block, score.humanise(b + 3.5), score.touch(0.04f), 0.45f);
        }
    }
}

// A quick run of plucked strings across the scale, from one note to another.
void playGlissando(Score &score, double beat, int from, int to, double beats, float gain)
{
    static const int scale[] = {0, 2, 4, 7, 9};   // D E F# A B above D
    std::vector<int> notes;
    const int lo = std::min(from, to), hi = std::max(from, to);
    for (int m = lo; m <= hi; ++m)
        for (int s : scale)
            if ((m - 2 - s) % 12 == 0)
                notes.push_back(m);
    if (from > to)
        std::reverse(notes.begin(), notes.end());
    PluckTone t;
    t.brightness = 0.7;
    t.sustain = 1.6;
    t.damping = 0.2;
    t.detuneCents = 2.0;
    const double step = beats / double(notes.size());
    for (size_t i = 0; i < notes.size(); ++i) {
        const float swell = 0.6f + 0.4f * float(i) / float(notes.size());
        score.add(pluck(midiToHz(notes[i]), 1.5, t, 1000u + uint32_t(i) + uint32_t(beat)), beat + step * double(i),
                  gain * swell, -0.5f + float(i) / float(notes.size()));
    }
}

} // namespace

Stereo makeTheme()
{
    Stereo music(toFrames(kLoopSeconds));
    Score score(music);

    playHarmony(score, 0.075f, 0.5f);
    playPercussion(score);

    // Section one: the zither alone over the harmony, with a sparse accompaniment.
    playZitherLine(score, phrase(kMelodyA, 0.0), 0.62f, -0.15f, 2000u);
    playArpeggio(score, 0, true, 0.32f, 0.35f);
    // Section two: the flute takes the tune; the zither flows underneath.
    playFluteLine(score, phrase(kMelodyA2, 32.0), 0.16f, 0.2f, 3000u);
    playArpeggio(score, 1, false, 0.22f, -0.3f);
    playGlissando(score, 62.0, 86, 62, 1.5, 0.22f);
    // Section three: the zither high, the flute holding a counter line.
    playZitherLine(score, phrase(kMelodyB, 64.0), 0.6f, -0.15f, 4000u);
    playFluteLine(score, phrase(kCounterB, 64.0), 0.1f, 0.3f, 5000u);
    playArpeggio(score, 2, false, 0.2f, 0.35f);
    playGlissando(score, 94.5, 62, 81, 1.5, 0.24f);
    // Section four: both together, stepping back down into the top of the loop.
    playZitherLine(score, phrase(kMelodyA3, 96.0), 0.6f, -0.2f, 6000u);
    playFluteLine(score, phrase(kMelodyA3, 96.0), 0.09f, 0.25f, 7000u);
    playArpeggio(score, 3, false, 0.2f, 0.3f);

    addReverb(music, 0.78, 0.35, 0.6, true);
    removeDC(music, true);
    scaleToPeak(music, 0.85f);
    return music;
}

} // namespace audio
} // namespace content

// readNextChunk for one 4096-frame chunk (16384 bytes, about 186 ms of sound
// at 22050 Hz) with eight active voices over a decoding Ogg Vorbis music
// stream. "realtime" is seconds of sound mixed per second of work.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/media/HAudioMixer.h"
#include "engine/media/HOggVorbisAudioStream.h"
#include "engine/media/audio/ogg_fixture.h"

namespace {

constexpr int kRate = 22050;
constexpr int kChunkFrames = 4096;

// Ten seconds of chords with a little noise, closer to music than a pure
// tone for the decoder.
const std::string &musicData()
{
    static const std::string data = [] {
        std::mt19937 random(7);
        std::uniform_real_distribution<float> noise(-0.05f, 0.05f);
        std::vector<float> samples(static_cast<size_t>(kRate) * 10 * 2);
        for (size_t i = 0; i < samples.size() / 2; ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double chord = 0.2 * std::sin(2 * M_PI * 220 * t) + 0.15 * std::sin(2 * M_PI * 277 * t) +
                                 0.1 * std::sin(2 * M_PI * 330 * (t + 0.1 * std::sin(t)));
            samples[2 * i] = static_cast<float>(chord) + noise(random);
            samples[2 * i + 1] = static_cast<float>(chord * 0.8) + noise(random);
        }
        return tilmar_test::encodeOgg(2, kRate, samples, 0.4f);
    }();
    return data;
}

void mixChunks(benchmark::State &state, bool withMusic)
{
    HAudioMixerStreamingAudioSource mixer;
    mixer.setFormat(2, 16, kRate);

    // Eight looping voices, mono and stereo, of different lengths.
    std::vector<std::vector<int16_t>> blocks;
    std::vector<HAudioBufferTemplate> samples;
    for (int v = 0; v < 8; ++v) {
        const int channels = v % 2 + 1;
        const int frames = 5000 + 1711 * v;
        blocks.emplace_back(static_cast<size_t>(frames) * channels);
        for (size_t i = 0; i < blocks.back().size(); ++i)
            blocks.back()[i] = static_cast<int16_t>(8000 * std::sin(0.01 * (v + 1) * static_cast<double>(i)));
        samples.push_back({reinterpret_cast<uint8_t *>(blocks.back().data()), channels, 16, kRate,
                           static_cast<int32_t>(blocks.back().size() * 2)});
    }
    for (const HAudioBufferTemplate &s : samples)
        mixer.playSample(nullptr, &s, 180, 0, -1);

    HOggVorbisAudioStream music;
    music.open();
    if (withMusic) {
        music.setStream(musicData().data(), static_cast<int32_t>(musicData().size()), 16, kRate, 0);
        mixer.playStream(nullptr, &music, 200);
    }

    std::vector<uint8_t> buffer(kChunkFrames * 4);
    for (auto _ : state) {
        mixer.readNextChunk(buffer.data(), static_cast<int32_t>(buffer.size()));
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.counters["realtime"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kChunkFrames / kRate, benchmark::Counter::kIsRate);
    mixer.stopStream();
    music.close();
}

void BM_MixEightVoicesAndMusic(benchmark::State &state)
{
    mixChunks(state, true);
}

void BM_MixEightVoices(benchmark::State &state)
{
    mixChunks(state, false);
}

// The decoder alone, for the share of the first figure that is libvorbis.
void BM_DecodeMusic(benchmark::State &state)
{
    HOggVorbisAudioStream music;
    music.open();
    music.setStream(musicData().data(), static_cast<int32_t>(musicData().size()), 16, kRate, 0);
    std::vector<uint8_t> buffer(kChunkFrames * 4);
    for (auto _ : state) {
        music.readNextChunk(buffer.data(), static_cast<int32_t>(buffer.size()));
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.counters["realtime"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kChunkFrames / kRate, benchmark::Counter::kIsRate);
    music.close();
}

} // namespace

BENCHMARK(BM_MixEightVoicesAndMusic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MixEightVoices)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeMusic)->Unit(benchmark::kMicrosecond);

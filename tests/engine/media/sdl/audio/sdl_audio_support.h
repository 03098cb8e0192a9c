// A streaming source that records what the audio device asked of it, and
// helpers to point SDL at a driver.
#ifndef TESTS_ENGINE_MEDIA_SDL_AUDIO_SDL_AUDIO_SUPPORT_H
#define TESTS_ENGINE_MEDIA_SDL_AUDIO_SDL_AUDIO_SUPPORT_H

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/media/HAudioSource.h"

namespace tilmar_test {

// Passes each request on to the inner source (or leaves SDL's silence) and
// keeps a copy of every chunk it produced.
class RecordingSource : public HStreamingAudioSource
{
public:
    explicit RecordingSource(HStreamingAudioSource *inner = nullptr) : m_inner(inner) {}
    bool open() override { return true; }
    void close() override {}
    int32_t readNextChunk(void *buffer, int32_t length) override
    {
        const int32_t n = m_inner ? m_inner->readNextChunk(buffer, length) : length;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lengths.push_back(length);
        m_bytes.append(static_cast<const char *>(buffer), length);
        ++m_calls;
        return n;
    }

    int calls() const { return m_calls; }
    // Waits until at least `count` chunks were asked for; false on time-out.
    bool waitForCalls(int count, int timeoutMs = 5000) const
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (m_calls < count) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    std::vector<int32_t> lengths()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lengths;
    }
    std::string bytes()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_bytes;
    }

private:
    HStreamingAudioSource *m_inner;
    std::mutex m_mutex;
    std::vector<int32_t> m_lengths;
    std::string m_bytes;
    std::atomic<int> m_calls{0};
};

// SDL reads these when its audio subsystem starts.
inline void useDiskAudio(const std::string &file, int delayMs)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", std::to_string(delayMs).c_str(), 1);
}

} // namespace tilmar_test

#endif

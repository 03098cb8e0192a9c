// The SDL 1.2 input device: a process-wide singleton that drains SDL's event
// queue into the engine's event queue whenever the queue polls its source.
#ifndef ENGINE_MEDIA_SDL_HSDLINPUTDEVICE_H
#define ENGINE_MEDIA_SDL_HSDLINPUTDEVICE_H

#include <cstdint>

#include "engine/media/HInputDevice.h"

// Key symbols SDL 1.2 numbers (SDLK_LAST); higher symbols are ignored.
constexpr int32_t kSDLKeyTableSize = 323;

class HSDLInputDevice : public HInputDevice
{
public:
    // The first call builds the one device (never on the heap) and arranges
    // for it to be destroyed once at process exit. Answers the current
    // instance, making the device current again after releaseInstance; null
    // once the device has been destroyed at exit.
    static HSDLInputDevice *getInstance(HCvarManager *cvarManager);
    // Forgets the current instance; the device itself lives on.
    static void releaseInstance();

    ~HSDLInputDevice() override;

    // Traces, acquires, answers 1.
    int32_t create() override;
    // Drains SDL's queue: keys, buttons, activation, quit and expose become
    // events at once; a burst of motion becomes one move at its last point,
    // posted at the end, unless a key or button event followed it. Ctrl+G
    // toggles the input grab, Meta+Q quits, Alt/Meta+Enter toggles full
    // screen and Meta+V pastes; the key-ups of those presses are swallowed.
    // Answers 1.
    int32_t pollEvents(HEventQueue *queue) override;
    void destroy() override;
    // SDL needs no acquisition.
    void unacquire() override {}
    void acquire() override {}
    // Warps the pointer to the middle of the video surface.
    void centerMouse() override;

private:
    explicit HSDLInputDevice(HCvarManager *cvarManager);
};

#endif

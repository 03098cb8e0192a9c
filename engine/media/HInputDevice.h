// The input device: turns the platform's keyboard, mouse and window events
// into HEvent records. The event queue does not know the device; it polls the
// device's event source, which forwards the poll here.
#ifndef ENGINE_MEDIA_HINPUTDEVICE_H
#define ENGINE_MEDIA_HINPUTDEVICE_H

#include <cstdint>

#include "engine/media/HEventSource.h"
#include "engine/media/HSystemDevice.h"

class HCvarManager;
class HEventQueue;
class HInputDevice;

// The source an input device hands to the event queue.
class HInputDeviceEventSource : public HEventSource
{
public:
    explicit HInputDeviceEventSource(HInputDevice *device) : m_pDevice(device) {}
    ~HInputDeviceEventSource() override {}

    // Passes the queue on to the device's pollEvents; nothing without a device.
    void poll(HEventQueue *queue) override;

private:
    HInputDevice *m_pDevice; // the owner, not owned
};

class HInputDevice : public HSystemDevice
{
public:
    // Keeps both values (nothing reads them), zeroes the state pairs and
    // makes the event source.
    HInputDevice(HCvarManager *cvarManager, int32_t kind);
    // Deletes the event source.
    ~HInputDevice() override;

    HInputDevice(const HInputDevice &) = delete;
    HInputDevice &operator=(const HInputDevice &) = delete;

    virtual int32_t create() = 0;
    // Posts every pending platform event to the queue; answers 1.
    virtual int32_t pollEvents(HEventQueue *queue) = 0;
    virtual void destroy() = 0;
    virtual void unacquire() = 0;
    virtual void acquire() = 0;
    virtual void update() {}
    virtual int32_t *getStateA() { return m_stateA; }
    virtual int32_t *getStateB() { return m_stateB; }
    virtual void centerMouse() = 0;

    // The source to add to the event queue; owned by the device.
    HEventSource *getEventSource() const { return m_pEventSource; }

private:
    HCvarManager *m_pCvarManager;
    HInputDeviceEventSource *m_pEventSource;
    int32_t m_kind;
    int32_t m_stateA[2];
    int32_t m_stateB[2];
};

#endif

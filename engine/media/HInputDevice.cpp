#include "engine/media/HInputDevice.h"

void HInputDeviceEventSource::poll(HEventQueue *queue)
{
    if (m_pDevice)
        m_pDevice->pollEvents(queue);
}

HInputDevice::HInputDevice(HCvarManager *cvarManager, int32_t kind)
    : m_pCvarManager(cvarManager),
      m_pEventSource(nullptr),
      m_kind(kind),
      m_stateA{0, 0},
      m_stateB{0, 0}
{
    m_pEventSource = new HInputDeviceEventSource(this);
}

HInputDevice::~HInputDevice()
{
    delete m_pEventSource;
    m_pEventSource = nullptr;
}

#include "engine/core/HMutex.h"

#include <mutex>

namespace {

// The layer is brought up by the first mutex the process creates and is
// never shut down.
std::once_flag s_layerInitialised;

} // namespace

HMutex::HMutex()
    : m_mutex(nullptr)
{
}

HMutex::~HMutex()
{
    if (m_mutex)
        destroy();
}

bool HMutex::create()
{
    if (m_mutex)
        return false;
    // An answer of "already initialised" is fine: someone set the layer up first.
    std::call_once(s_layerInitialised, [] { thrInit(nullptr); });
    return thrCreateMutex(&m_mutex) == THR_OK;
}

thrResult HMutex::destroy()
{
    if (!m_mutex)
        return THR_OK;
    const thrResult result = thrDestroyMutex(m_mutex);
    m_mutex = nullptr;
    return result;
}

bool HMutex::lock()
{
    return thrLockMutex(m_mutex) == THR_OK;
}

bool HMutex::tryLock()
{
    return thrTryLockMutex(m_mutex) == THR_OK;
}

bool HMutex::unlock()
{
    return thrUnlockMutex(m_mutex) == THR_OK;
}

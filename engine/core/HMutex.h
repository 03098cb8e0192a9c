// The engine's mutex handle over the threads layer, embedded by value in its
// owner.
#ifndef ENGINE_CORE_HMUTEX_H
#define ENGINE_CORE_HMUTEX_H

#include "engine/core/HThreads.h"

class HMutex
{
public:
    HMutex();
    ~HMutex();

    // Two handles to one system mutex would destroy it twice.
    HMutex(const HMutex &) = delete;
    HMutex &operator=(const HMutex &) = delete;

    // False when this object already holds a mutex. The first call in the
    // process initialises the threads layer with the default allocation.
    bool create();
    // THR_OK when there is no mutex; otherwise the layer's answer to destroying it.
    thrResult destroy();

    // Each answers true when the layer answered THR_OK; false without
    // blocking when no mutex has been created.
    bool lock();
    bool tryLock();
    bool unlock();

private:
    thrMutex *m_mutex;
};

#endif

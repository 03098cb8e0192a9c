#include "engine/core/HThreads.h"

#include <semaphore.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

struct thrThread
{
    void *argument;
    pthread_t handle;
    uint32_t userValue;
    thrStartRoutine routine;
};

struct thrMutex
{
    pthread_mutex_t mutex;
};

struct thrSemaphore
{
    sem_t semaphore;
};

namespace {

// Written only by thrInit and thrShutdown, which run before and after any
// other thread uses the layer.
thrAllocFunc s_alloc = nullptr;
thrFreeFunc s_release = nullptr;

bool s_thrPlatformSupported()
{
    return true;
}

void *s_thrDefaultAlloc(size_t size)
{
    return std::malloc(size);
}

void s_thrDefaultFree(void *memory)
{
    std::free(memory);
}

// Raw memory from the allocation callback with the object's lifetime begun.
template <typename T>
T *s_allocObject()
{
    void *memory = s_alloc(sizeof(T));
    return memory ? new (memory) T : nullptr;
}

template <typename T>
void s_releaseObject(T *object)
{
    object->~T();
    s_release(object);
}

} // namespace

thrResult thrInit(const thrCallbacks *callbacks)
{
    if (s_alloc || s_release)
        return THR_ALREADY_INITIALISED;
    if (!s_thrPlatformSupported())
        return THR_UNSUPPORTED_PLATFORM;

    if (callbacks)
    {
        // Both callbacks or neither: memory from one allocator must go back to it.
        if (callbacks->release)
        {
            if (!callbacks->alloc)
                return THR_BAD_ARGUMENT;
            s_alloc = callbacks->alloc;
            s_release = callbacks->release;
        }
        else if (callbacks->alloc)
        {
            return THR_BAD_ARGUMENT;
        }
    }

    if (!s_alloc)
    {
        s_alloc = s_thrDefaultAlloc;
        s_release = s_thrDefaultFree;
    }
    return THR_OK;
}

thrResult thrShutdown()
{
    s_alloc = nullptr;
    s_release = nullptr;
    return THR_OK;
}

bool thrIsInitialised()
{
    return s_alloc && s_release;
}

// ---- mutexes ----

thrResult thrCreateMutex(thrMutex **outMutex)
{
    if (!outMutex)
        return THR_BAD_ARGUMENT;
    *outMutex = nullptr;
    if (!thrIsInitialised())
        return THR_NOT_INITIALISED;

    thrMutex *mutex = s_allocObject<thrMutex>();
    if (!mutex)
        return THR_OUT_OF_MEMORY;
    if (pthread_mutex_init(&mutex->mutex, nullptr) != 0)
    {
        s_releaseObject(mutex);
        return THR_SYSTEM_ERROR;
    }
    *outMutex = mutex;
    return THR_OK;
}

thrResult thrDestroyMutex(thrMutex *mutex)
{
    if (!mutex)
        return THR_BAD_ARGUMENT;
    if (!thrIsInitialised())
        return THR_NOT_INITIALISED;
    pthread_mutex_destroy(&mutex->mutex);
    s_releaseObject(mutex);
    return THR_OK;
}

thrResult thrLockMutex(thrMutex *mutex)
{
    if (!mutex)
        return THR_BAD_ARGUMENT;
    if (!thrIsInitialised())
        return THR_NOT_INITIALISED;
    return pthread_mutex_lock(&mutex->mutex) == 0 ? THR_OK : THR_SYSTEM_ERROR;
}

thrResult thrTryLockMutex(thrMutex *mutex)
{
    if (!mutex)
        return THR_BAD_ARGUMENT;
    if (!thrIsInitialised())
        return THR_NOT_INITIALISED;
    const int rc = pthread_mutex_trylock(&mutex->mutex);
    if (rc == 0)
        return THR_OK;
    return rc == EBUSY ? THR_BUSY : THR_SYSTEM_ERROR;
}

thrResult thrUnlockMutex(thrMutex *mutex)
{
    if (!mutex)
        return THR_BAD_ARGUMENT;
    if (!thrIsInitialised())
        return THR_NOT_INITIALISED;
    return pthread_mutex_unlock(&mutex->mutex) == 0 ? THR_OK : THR_SYSTEM_ERROR;
}

thrResult thrCopyMutex(const thrMutex *source, thrMutex *destination)
{
    if (!source || !destination)
        return THR_BAD_ARGUMENT;
    if (!thrIsInitialised())
        return THR_NOT_INITIALISED;
    std::memcpy(static_cast<void *>(destination), static_cast<const void *>(source), sizeof(thrMutex));
    return THR_OK;
}

// ---- threads ----

thrResult thrCreateThread(thrThread **outThread, thrStartRoutine routine, void *argument,
                          uint32_t userValue)
{
    if (outThread)
        *outThread = nullptr;
    if (!thrIsInitialised())
        return THR_NOT_INITIALISED;
    if (!outThread || !routine || !argument)
        return THR_BAD_ARGUMENT;

    thrThread *thread = s_allocObject<thrThread>();
    if (!thread)
        return THR_OUT_OF_MEMORY;
    thread->argument = argument;
    thread->routine = routine;
    thread->userValue = userValue;

    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0)
    {
        s_releaseObject(thread);
        return THR_SYSTEM_ERROR;
    }
    const int rc = pthread_create(&thread->handle, &attributes, routine, argument);
    pthread_attr_destroy(&attributes);
    if (rc != 0)
    {
        s_releaseObject(thread);
        return THR_SYSTEM_ERROR;
    }
    *outThread = thread;
    return THR_OK;
}

thrResult thrDestroyThread(thrThread *thread)
{
    if (!thread)
        return THR_BAD_ARGUMENT;
    if (!thrIsInitialised())
        return THR_NOT_INITIALISED;
    s_releaseObject(thread);
    return THR_OK;
}

thrResult thrGetThreadHandle(const thrThread *thread, pthread_t *outHandle)
{
    if (!thread || !outHandle)
        return THR_BAD_ARGUMENT;
    if (!thrIsInitialised())
        return THR_NOT_INITIALISED;
    *outHandle = thread->handle;
    return THR_OK;
}

// ---- semaphores ----

thrResult thrCreateSemaphore(thrSemaphore **outSemaphore, int32_t initialCount)
{
    if (!outSemaphore)
        return THR_BAD_ARGUMENT;
    *outSemaphore = nullptr;
    if (initialCount <= 0)
        return THR_BAD_ARGUMENT;
    if (!thrIsInitialised())
        return THR_NOT_INITIALISED;

    thrSemaphore *semaphore = s_allocObject<thrSemaphore>();
    if (!semaphore)
        return THR_OUT_OF_MEMORY;
    if (sem_init(&semaphore->semaphore, 0, static_cast<unsigned>(initialCount)) != 0)
    {
        s_releaseObject(semaphore);
        return THR_SYSTEM_ERROR;
    }
    *outSemaphore = semaphore;
    return THR_OK;
}

thrResult thrDestroySemaphore(thrSemaphore *semaphore)
{
    if (!semaphore)
        return THR_BAD_ARGUMENT;
    if (!thrIsInitialised())
        return THR_NOT_INITIALISED;
    sem_destroy(&semaphore->semaphore);
    s_releaseObject(semaphore);
    return THR_OK;
}

thrResult thrWaitSemaphore(thrSemaphore *semaphore)
{
    if (!semaphore)
        return THR_BAD_ARGUMENT;
    if (!thrIsInitialised())
        return THR_NOT_INITIALISED;
    // A signal handler interrupting the wait is not a failure of the semaphore.
    int rc;
    do
        rc = sem_wait(&semaphore->semaphore);
    while (rc != 0 && errno == EINTR);
    return rc == 0 ? THR_OK : THR_SYSTEM_ERROR;
}

thrResult thrTryWaitSemaphore(thrSemaphore *semaphore)
{
    if (!semaphore)
        return THR_BAD_ARGUMENT;
    if (!thrIsInitialised())
        return THR_NOT_INITIALISED;
    int rc;
    do
        rc = sem_trywait(&semaphore->semaphore);
    while (rc != 0 && errno == EINTR);
    if (rc == 0)
        return THR_OK;
    return errno == EAGAIN ? THR_BUSY : THR_SYSTEM_ERROR;
}

thrResult thrCheckSemaphoreBusy(thrSemaphore *semaphore)
{
    if (!semaphore)
        return THR_BAD_ARGUMENT;
    if (!thrIsInitialised())
        return THR_NOT_INITIALISED;
    if (sem_destroy(&semaphore->semaphore) != 0 && errno == EBUSY)
        return THR_BUSY;
    return THR_OK;
}

thrResult thrCopySemaphore(const thrSemaphore *source, thrSemaphore *destination)
{
    if (!source || !destination)
        return THR_BAD_ARGUMENT;
    if (!thrIsInitialised())
        return THR_NOT_INITIALISED;
    std::memcpy(static_cast<void *>(destination), static_cast<const void *>(source), sizeof(thrSemaphore));
    return THR_OK;
}

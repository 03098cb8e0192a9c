// A small C-style threads layer over POSIX threads: threads, mutexes and
// counting semaphores behind one set of result codes, with memory from a pair
// of allocation callbacks fixed at initialisation.
#ifndef ENGINE_CORE_HTHREADS_H
#define ENGINE_CORE_HTHREADS_H

#include <pthread.h>
#include <cstddef>
#include <cstdint>

typedef int32_t thrResult;

enum
{
    THR_OK = 0,
    THR_BUSY = 1,                  // a try-lock or try-wait would block, or a semaphore is in use
    THR_UNSUPPORTED_PLATFORM = 3,  // initialisation only
    THR_NOT_INITIALISED = 4,       // no allocation callbacks
    THR_ALREADY_INITIALISED = 5,
    THR_OUT_OF_MEMORY = 6,         // the allocation callback gave null
    THR_BAD_ARGUMENT = 7,          // null pointer, count of 0 or less, inconsistent callback pair
    THR_SYSTEM_ERROR = 8           // a system call failed
};

typedef void *(*thrAllocFunc)(size_t size);
typedef void (*thrFreeFunc)(void *memory);

// The allocation callbacks. Memory they hand out must be aligned for any
// system object (as malloc's is).
struct thrCallbacks
{
    thrAllocFunc alloc;
    thrFreeFunc release;
};

// Opaque objects handed out by the layer.
struct thrThread;
struct thrMutex;
struct thrSemaphore;

typedef void *(*thrStartRoutine)(void *argument);

// Initialisation. A null pair, or a pair with both callbacks null, installs
// malloc and free. Every object must be destroyed while the layer is
// initialised, since its memory goes back through the release callback.
thrResult thrInit(const thrCallbacks *callbacks);
thrResult thrShutdown();
bool thrIsInitialised();

// Mutexes: the system's default, non-recursive mutex.
thrResult thrCreateMutex(thrMutex **outMutex);
thrResult thrDestroyMutex(thrMutex *mutex);
thrResult thrLockMutex(thrMutex *mutex);
thrResult thrTryLockMutex(thrMutex *mutex);
thrResult thrUnlockMutex(thrMutex *mutex);
// Copies the mutex object's bytes into another mutex object.
thrResult thrCopyMutex(const thrMutex *source, thrMutex *destination);

// Threads. The argument must not be null. Destroying the record neither joins
// nor detaches the thread; join it through its handle first when needed.
thrResult thrCreateThread(thrThread **outThread, thrStartRoutine routine, void *argument,
                          uint32_t userValue);
thrResult thrDestroyThread(thrThread *thread);
thrResult thrGetThreadHandle(const thrThread *thread, pthread_t *outHandle);

// Counting semaphores, unnamed and private to the process; the initial count
// must be above 0.
thrResult thrCreateSemaphore(thrSemaphore **outSemaphore, int32_t initialCount);
thrResult thrDestroySemaphore(thrSemaphore *semaphore);
thrResult thrWaitSemaphore(thrSemaphore *semaphore);
thrResult thrTryWaitSemaphore(thrSemaphore *semaphore);
// Destroys the system semaphore in place and answers THR_BUSY when the system
// refuses because it is in use (the semaphore then stays intact). On THR_OK
// only its memory is left, to be released with thrDestroySemaphore.
thrResult thrCheckSemaphoreBusy(thrSemaphore *semaphore);
// Copies the semaphore object's bytes into another semaphore object.
thrResult thrCopySemaphore(const thrSemaphore *source, thrSemaphore *destination);

#endif

#include "engine/core/HMutex.h"
#include "engine/core/HThreads.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <future>
#include <set>
#include <thread>
#include <vector>

namespace {

// Allocation callbacks that record what they hand out and take back.
struct CountingAllocator
{
    static bool failing;
    static int allocations;
    static int strayReleases;
    static std::set<void *> live;

    static void reset()
    {
        failing = false;
        allocations = 0;
        strayReleases = 0;
        live.clear();
    }
    static void *alloc(size_t size)
    {
        if (failing)
            return nullptr;
        void *p = std::malloc(size);
        ++allocations;
        live.insert(p);
        return p;
    }
    static void release(void *p)
    {
        if (live.erase(p) == 0)
            ++strayReleases;
        std::free(p);
    }
};
bool CountingAllocator::failing = false;
int CountingAllocator::allocations = 0;
int CountingAllocator::strayReleases = 0;
std::set<void *> CountingAllocator::live;

const thrCallbacks kCounting = {&CountingAllocator::alloc, &CountingAllocator::release};

void *doNothing(void *) { return nullptr; }

// Every case starts with the layer down and puts it back as it found it.
class ThreadsLayer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Let the process's first HMutex bring the layer up now, so that
        // restoring it afterwards leaves HMutex users a working layer.
        {
            HMutex first;
            first.create();
        }
        m_wasInitialised = thrIsInitialised();
        thrShutdown();
        CountingAllocator::reset();
    }
    void TearDown() override
    {
        thrShutdown();
        if (m_wasInitialised)
            thrInit(nullptr);
    }
    void initCounting() { ASSERT_EQ(thrInit(&kCounting), THR_OK); }

    bool m_wasInitialised = false;
};

// Runs a thread that holds a lock until told to let go.
class Holder
{
public:
    explicit Holder(std::function<void()> lock, std::function<void()> unlock)
        : m_thread([this, lock, unlock] {
              lock();
              m_held.set_value();
              m_letGo.get_future().wait();
              unlock();
          })
    {
        m_held.get_future().wait();
    }
    void release()
    {
        if (m_thread.joinable())
        {
            m_letGo.set_value();
            m_thread.join();
        }
    }
    ~Holder() { release(); }

private:
    std::promise<void> m_held;
    std::promise<void> m_letGo;
    std::thread m_thread;
};

TEST_F(ThreadsLayer, InitTakesOnlyAConsistentCallbackPair)
{
    const thrCallbacks bothNull = {nullptr, nullptr};
    const thrCallbacks allocOnly = {&CountingAllocator::alloc, nullptr};
    const thrCallbacks releaseOnly = {nullptr, &CountingAllocator::release};
    struct Case
    {
        const char *name;
        const thrCallbacks *callbacks;
        thrResult expected;
        int allocationsPerMutex;  // 0: the default allocator was installed
    };
    const Case cases[] = {
        {"no pair", nullptr, THR_OK, 0},
        {"both null", &bothNull, THR_OK, 0},
        {"both set", &kCounting, THR_OK, 1},
        {"allocation only", &allocOnly, THR_BAD_ARGUMENT, 0},
        {"release only", &releaseOnly, THR_BAD_ARGUMENT, 0},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        thrShutdown();
        CountingAllocator::reset();
        ASSERT_EQ(thrInit(c.callbacks), c.expected);
        EXPECT_EQ(thrIsInitialised(), c.expected == THR_OK);
        if (c.expected != THR_OK)
            continue;

        thrMutex *mutex = nullptr;
        ASSERT_EQ(thrCreateMutex(&mutex), THR_OK);
        EXPECT_EQ(CountingAllocator::allocations, c.allocationsPerMutex);
        // Already initialised, whatever the second pair.
        EXPECT_EQ(thrInit(nullptr), THR_ALREADY_INITIALISED);
        EXPECT_EQ(thrInit(&kCounting), THR_ALREADY_INITIALISED);
        EXPECT_EQ(thrDestroyMutex(mutex), THR_OK);
        EXPECT_TRUE(CountingAllocator::live.empty());
    }
}

// After a shutdown the objects made earlier are out of reach (nothing is
// touched or released) until the layer is initialised again.
TEST_F(ThreadsLayer, ShutdownRefusesEveryOperationUntilInitAgain)
{
    initCounting();
    thrMutex *mutex = nullptr;
    thrSemaphore *semaphore = nullptr;
    thrThread *thread = nullptr;
    int argument = 0;
    ASSERT_EQ(thrCreateMutex(&mutex), THR_OK);
    ASSERT_EQ(thrCreateSemaphore(&semaphore, 1), THR_OK);
    ASSERT_EQ(thrCreateThread(&thread, &doNothing, &argument, 7), THR_OK);
    pthread_t handle;
    ASSERT_EQ(thrGetThreadHandle(thread, &handle), THR_OK);
    ASSERT_EQ(pthread_join(handle, nullptr), 0);

    ASSERT_EQ(thrShutdown(), THR_OK);
    EXPECT_FALSE(thrIsInitialised());

    thrMutex *newMutex = reinterpret_cast<thrMutex *>(&argument);
    thrSemaphore *newSemaphore = reinterpret_cast<thrSemaphore *>(&argument);
    thrThread *newThread = reinterpret_cast<thrThread *>(&argument);
    const std::pair<const char *, std::function<thrResult()>> calls[] = {
        {"thrCreateMutex", [&] { return thrCreateMutex(&newMutex); }},
        {"thrLockMutex", [&] { return thrLockMutex(mutex); }},
        {"thrTryLockMutex", [&] { return thrTryLockMutex(mutex); }},
        {"thrUnlockMutex", [&] { return thrUnlockMutex(mutex); }},
        {"thrCopyMutex", [&] { return thrCopyMutex(mutex, mutex); }},
        {"thrDestroyMutex", [&] { return thrDestroyMutex(mutex); }},
        {"thrCreateSemaphore", [&] { return thrCreateSemaphore(&newSemaphore, 1); }},
        {"thrWaitSemaphore", [&] { return thrWaitSemaphore(semaphore); }},
        {"thrTryWaitSemaphore", [&] { return thrTryWaitSemaphore(semaphore); }},
        {"thrCheckSemaphoreBusy", [&] { return thrCheckSemaphoreBusy(semaphore); }},
        {"thrCopySemaphore", [&] { return thrCopySemaphore(semaphore, semaphore); }},
        {"thrDestroySemaphore", [&] { return thrDestroySemaphore(semaphore); }},
        {"thrCreateThread", [&] { return thrCreateThread(&newThread, &doNothing, &argument, 0); }},
        {"thrGetThreadHandle", [&] { return thrGetThreadHandle(thread, &handle); }},
        {"thrDestroyThread", [&] { return thrDestroyThread(thread); }},
    };
    for (const auto &call : calls)
    {
        SCOPED_TRACE(call.first);
        EXPECT_EQ(call.second(), THR_NOT_INITIALISED);
    }
    EXPECT_EQ(newMutex, nullptr);
    EXPECT_EQ(newSemaphore, nullptr);
    EXPECT_EQ(newThread, nullptr);
    EXPECT_EQ(CountingAllocator::allocations, 3);
    EXPECT_EQ(CountingAllocator::live.size(), 3u);

    ASSERT_EQ(thrInit(&kCounting), THR_OK);
    // The semaphore was neither waited on nor destroyed while the layer was down.
    EXPECT_EQ(thrTryWaitSemaphore(semaphore), THR_OK);
    EXPECT_EQ(thrLockMutex(mutex), THR_OK);
    EXPECT_EQ(thrUnlockMutex(mutex), THR_OK);
    EXPECT_EQ(thrDestroyMutex(mutex), THR_OK);
    EXPECT_EQ(thrDestroySemaphore(semaphore), THR_OK);
    EXPECT_EQ(thrDestroyThread(thread), THR_OK);
    EXPECT_TRUE(CountingAllocator::live.empty());
    EXPECT_EQ(CountingAllocator::strayReleases, 0);
}

// A null object or out-pointer is a bad argument whether or not the layer is
// up, except that creating a thread first asks whether the layer is up.
TEST_F(ThreadsLayer, NullArgumentsAreRefusedBeforeTheInitialisationTest)
{
    int argument = 0;
    pthread_t handle;
    const std::pair<const char *, std::function<thrResult()>> calls[] = {
        {"thrCreateMutex", [] { return thrCreateMutex(nullptr); }},
        {"thrDestroyMutex", [] { return thrDestroyMutex(nullptr); }},
        {"thrLockMutex", [] { return thrLockMutex(nullptr); }},
        {"thrTryLockMutex", [] { return thrTryLockMutex(nullptr); }},
        {"thrUnlockMutex", [] { return thrUnlockMutex(nullptr); }},
        {"thrCopyMutex", [] { return thrCopyMutex(nullptr, nullptr); }},
        {"thrDestroyThread", [] { return thrDestroyThread(nullptr); }},
        {"thrGetThreadHandle", [&] { return thrGetThreadHandle(nullptr, &handle); }},
        {"thrCreateSemaphore", [] { return thrCreateSemaphore(nullptr, 1); }},
        {"thrCreateSemaphore count 0", [] { thrSemaphore *s; return thrCreateSemaphore(&s, 0); }},
        {"thrCreateSemaphore count -1", [] { thrSemaphore *s; return thrCreateSemaphore(&s, -1); }},
        {"thrDestroySemaphore", [] { return thrDestroySemaphore(nullptr); }},
        {"thrWaitSemaphore", [] { return thrWaitSemaphore(nullptr); }},
        {"thrTryWaitSemaphore", [] { return thrTryWaitSemaphore(nullptr); }},
        {"thrCheckSemaphoreBusy", [] { return thrCheckSemaphoreBusy(nullptr); }},
        {"thrCopySemaphore", [] { return thrCopySemaphore(nullptr, nullptr); }},
    };
    const std::pair<const char *, std::function<thrResult()>> threadCalls[] = {
        {"no out-pointer", [&] { return thrCreateThread(nullptr, &doNothing, &argument, 0); }},
        {"no routine", [&] { thrThread *t; return thrCreateThread(&t, nullptr, &argument, 0); }},
        {"no argument", [] { thrThread *t; return thrCreateThread(&t, &doNothing, nullptr, 0); }},
    };
    for (bool initialised : {false, true})
    {
        SCOPED_TRACE(initialised ? "initialised" : "not initialised");
        thrShutdown();
        if (initialised)
            initCounting();
        for (const auto &call : calls)
        {
            SCOPED_TRACE(call.first);
            EXPECT_EQ(call.second(), THR_BAD_ARGUMENT);
        }
        for (const auto &call : threadCalls)
        {
            SCOPED_TRACE(call.first);
            EXPECT_EQ(call.second(), initialised ? THR_BAD_ARGUMENT : THR_NOT_INITIALISED);
        }
        EXPECT_EQ(CountingAllocator::allocations, 0);
    }

    // A failed create leaves its out-pointer null, not as it was.
    int dummy = 0;
    thrSemaphore *semaphore = reinterpret_cast<thrSemaphore *>(&dummy);
    EXPECT_EQ(thrCreateSemaphore(&semaphore, 0), THR_BAD_ARGUMENT);
    EXPECT_EQ(semaphore, nullptr);
    thrThread *thread = reinterpret_cast<thrThread *>(&dummy);
    EXPECT_EQ(thrCreateThread(&thread, &doNothing, nullptr, 0), THR_BAD_ARGUMENT);
    EXPECT_EQ(thread, nullptr);
}

TEST_F(ThreadsLayer, FailedAllocationAnswersOutOfMemoryAndCreatesNothing)
{
    initCounting();
    CountingAllocator::failing = true;
    int dummy = 0;
    thrMutex *mutex = reinterpret_cast<thrMutex *>(&dummy);
    thrSemaphore *semaphore = reinterpret_cast<thrSemaphore *>(&dummy);
    thrThread *thread = reinterpret_cast<thrThread *>(&dummy);

    EXPECT_EQ(thrCreateMutex(&mutex), THR_OUT_OF_MEMORY);
    EXPECT_EQ(thrCreateSemaphore(&semaphore, 1), THR_OUT_OF_MEMORY);
    EXPECT_EQ(thrCreateThread(&thread, &doNothing, &dummy, 0), THR_OUT_OF_MEMORY);
    EXPECT_EQ(mutex, nullptr);
    EXPECT_EQ(semaphore, nullptr);
    EXPECT_EQ(thread, nullptr);
}

// Every object's memory comes from the allocation callback and goes back to
// the release callback; checking a semaphore for use destroys it in place but
// keeps its memory for thrDestroySemaphore.
TEST_F(ThreadsLayer, ObjectsLiveInCallbackMemory)
{
    initCounting();
    thrMutex *mutex = nullptr;
    thrSemaphore *semaphore = nullptr;
    thrThread *thread = nullptr;
    int argument = 0;
    ASSERT_EQ(thrCreateMutex(&mutex), THR_OK);
    ASSERT_EQ(thrCreateSemaphore(&semaphore, 1), THR_OK);
    ASSERT_EQ(thrCreateThread(&thread, &doNothing, &argument, 0), THR_OK);
    EXPECT_EQ(CountingAllocator::live,
              (std::set<void *>{mutex, semaphore, thread}));

    pthread_t handle;
    ASSERT_EQ(thrGetThreadHandle(thread, &handle), THR_OK);
    ASSERT_EQ(pthread_join(handle, nullptr), 0);

    EXPECT_EQ(thrCheckSemaphoreBusy(semaphore), THR_OK);
    EXPECT_EQ(CountingAllocator::live.count(semaphore), 1u);

    EXPECT_EQ(thrDestroyThread(thread), THR_OK);
    EXPECT_EQ(thrDestroySemaphore(semaphore), THR_OK);
    EXPECT_EQ(thrDestroyMutex(mutex), THR_OK);
    EXPECT_TRUE(CountingAllocator::live.empty());
    EXPECT_EQ(CountingAllocator::strayReleases, 0);
}

struct Worker
{
    thrMutex *mutex;
    long *counter;
    int iterations;
    bool failed;
};

void *addUnderLock(void *argument)
{
    Worker *w = static_cast<Worker *>(argument);
    for (int i = 0; i < w->iterations; ++i)
    {
        if (thrLockMutex(w->mutex) != THR_OK)
        {
            w->failed = true;
            break;
        }
        // A split read and write: without the lock, updates would be lost.
        volatile long *counter = w->counter;
        const long seen = *counter;
        *counter = seen + 1;
        if (thrUnlockMutex(w->mutex) != THR_OK)
            w->failed = true;
    }
    return argument;
}

// Threads started by the layer run their routine on their argument, are
// joined through their handles, and the layer's mutex keeps them apart.
TEST_F(ThreadsLayer, LayerThreadsShareACounterUnderTheMutex)
{
    ASSERT_EQ(thrInit(nullptr), THR_OK);
    thrMutex *mutex = nullptr;
    ASSERT_EQ(thrCreateMutex(&mutex), THR_OK);

    const int kThreads = 4;
    const int kIterations = 20000;
    long counter = 0;
    Worker workers[kThreads];
    thrThread *threads[kThreads];
    for (int i = 0; i < kThreads; ++i)
    {
        workers[i] = {mutex, &counter, kIterations, false};
        ASSERT_EQ(thrCreateThread(&threads[i], &addUnderLock, &workers[i], uint32_t(i)), THR_OK);
    }
    for (int i = 0; i < kThreads; ++i)
    {
        pthread_t handle;
        ASSERT_EQ(thrGetThreadHandle(threads[i], &handle), THR_OK);
        void *result = nullptr;
        ASSERT_EQ(pthread_join(handle, &result), 0);
        EXPECT_EQ(result, &workers[i]);
        EXPECT_FALSE(workers[i].failed);
        EXPECT_EQ(thrDestroyThread(threads[i]), THR_OK);
    }
    EXPECT_EQ(counter, long(kThreads) * kIterations);
    EXPECT_EQ(thrDestroyMutex(mutex), THR_OK);
}

TEST_F(ThreadsLayer, TryLockAnswersBusyWhileTheMutexIsHeld)
{
    ASSERT_EQ(thrInit(nullptr), THR_OK);
    thrMutex *mutex = nullptr;
    ASSERT_EQ(thrCreateMutex(&mutex), THR_OK);
    {
        Holder holder([mutex] { thrLockMutex(mutex); }, [mutex] { thrUnlockMutex(mutex); });
        EXPECT_EQ(thrTryLockMutex(mutex), THR_BUSY);
        EXPECT_EQ(thrTryLockMutex(mutex), THR_BUSY);
        holder.release();
    }
    ASSERT_EQ(thrTryLockMutex(mutex), THR_OK);
    // Non-recursive: the holder itself is refused a second time.
    EXPECT_EQ(thrTryLockMutex(mutex), THR_BUSY);
    EXPECT_EQ(thrUnlockMutex(mutex), THR_OK);
    EXPECT_EQ(thrDestroyMutex(mutex), THR_OK);
}

TEST_F(ThreadsLayer, SemaphoreHandsOutItsInitialCountThenIsBusy)
{
    ASSERT_EQ(thrInit(nullptr), THR_OK);
    thrSemaphore *semaphore = nullptr;
    ASSERT_EQ(thrCreateSemaphore(&semaphore, 3), THR_OK);
    EXPECT_EQ(thrWaitSemaphore(semaphore), THR_OK);
    EXPECT_EQ(thrTryWaitSemaphore(semaphore), THR_OK);
    EXPECT_EQ(thrWaitSemaphore(semaphore), THR_OK);
    EXPECT_EQ(thrTryWaitSemaphore(semaphore), THR_BUSY);
    EXPECT_EQ(thrTryWaitSemaphore(semaphore), THR_BUSY);
    EXPECT_EQ(thrDestroySemaphore(semaphore), THR_OK);
}

// Copying moves the source object's state over the destination's.
TEST_F(ThreadsLayer, CopiesCarryTheSourceState)
{
    ASSERT_EQ(thrInit(nullptr), THR_OK);
    thrMutex *source = nullptr;
    thrMutex *destination = nullptr;
    ASSERT_EQ(thrCreateMutex(&source), THR_OK);
    ASSERT_EQ(thrCreateMutex(&destination), THR_OK);
    ASSERT_EQ(thrLockMutex(destination), THR_OK);
    EXPECT_EQ(thrCopyMutex(source, destination), THR_OK);
    EXPECT_EQ(thrTryLockMutex(destination), THR_OK);
    EXPECT_EQ(thrUnlockMutex(destination), THR_OK);
    EXPECT_EQ(thrDestroyMutex(source), THR_OK);
    EXPECT_EQ(thrDestroyMutex(destination), THR_OK);

    thrSemaphore *three = nullptr;
    thrSemaphore *one = nullptr;
    ASSERT_EQ(thrCreateSemaphore(&three, 3), THR_OK);
    ASSERT_EQ(thrCreateSemaphore(&one, 1), THR_OK);
    EXPECT_EQ(thrCopySemaphore(three, one), THR_OK);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(thrTryWaitSemaphore(one), THR_OK) << "take " << i;
    EXPECT_EQ(thrTryWaitSemaphore(one), THR_BUSY);
    EXPECT_EQ(thrDestroySemaphore(three), THR_OK);
    EXPECT_EQ(thrDestroySemaphore(one), THR_OK);
}

TEST(HMutex, WithoutAMutexEveryOperationAnswersFalseAtOnce)
{
    HMutex mutex;
    EXPECT_FALSE(mutex.lock());
    EXPECT_FALSE(mutex.tryLock());
    EXPECT_FALSE(mutex.unlock());
    EXPECT_EQ(mutex.destroy(), THR_OK);
}

TEST(HMutex, TryLockIsFalseWhileAnotherThreadHoldsIt)
{
    HMutex mutex;
    ASSERT_TRUE(mutex.create());
    {
        Holder holder([&] { mutex.lock(); }, [&] { mutex.unlock(); });
        EXPECT_FALSE(mutex.tryLock());
        holder.release();
    }
    EXPECT_TRUE(mutex.tryLock());
    EXPECT_TRUE(mutex.unlock());
}

// A second create is refused and the first mutex stays in place: while this
// thread holds it, another thread still finds it taken.
TEST(HMutex, SecondCreateKeepsTheFirstMutex)
{
    HMutex mutex;
    ASSERT_TRUE(mutex.create());
    ASSERT_TRUE(mutex.lock());
    EXPECT_FALSE(mutex.create());

    bool takenElsewhere = true;
    std::thread([&] {
        takenElsewhere = mutex.tryLock();
        if (takenElsewhere)
            mutex.unlock();
    }).join();
    EXPECT_FALSE(takenElsewhere);
    EXPECT_TRUE(mutex.unlock());
}

TEST_F(ThreadsLayer, HMutexDestroyAndDestructorReleaseTheMutex)
{
    initCounting();
    {
        HMutex mutex;
        ASSERT_TRUE(mutex.create());
        EXPECT_EQ(CountingAllocator::live.size(), 1u);
        EXPECT_EQ(mutex.destroy(), THR_OK);
        EXPECT_TRUE(CountingAllocator::live.empty());
        EXPECT_FALSE(mutex.lock());

        // Empty again, so it may be created anew; the destructor cleans up.
        ASSERT_TRUE(mutex.create());
        EXPECT_EQ(CountingAllocator::live.size(), 1u);
    }
    EXPECT_TRUE(CountingAllocator::live.empty());
    EXPECT_EQ(CountingAllocator::allocations, 2);
    EXPECT_EQ(CountingAllocator::strayReleases, 0);
}

} // namespace

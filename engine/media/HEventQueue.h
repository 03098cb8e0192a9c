// The one queue every input event passes through: a ring of 128 records that
// producers post to and the main and dialog loops take from. It polls its
// event sources when it runs empty, can append every accepted event to a
// journal file, and can deliver the records of a demo file instead of live
// events.
#ifndef ENGINE_MEDIA_HEVENTQUEUE_H
#define ENGINE_MEDIA_HEVENTQUEUE_H

#include <cstdint>

#include "engine/core/HObjectList.h"
#include "engine/core/VyTime.h"
#include "engine/media/HEvent.h"

class HEventSource;
class HFile;

// Slots of the ring; one stays free, so it holds at most 127 events.
constexpr int32_t kEventQueueSize = 128;

class HEventQueue
{
public:
    HEventQueue();
    // Forgets the sources (never deletes them).
    ~HEventQueue();

    HEventQueue(const HEventQueue &) = delete;
    HEventQueue &operator=(const HEventQueue &) = delete;

    // Stamps a copy with the current time and queues it; journals it when a
    // journal is set. A pointer move to the position of the last move posted,
    // or a second timestamp in the same millisecond, is dropped (answers
    // true). Answers false, and loses the event, when the ring is full.
    bool postEvent(const HEvent &event);

    // Delivers the next event into out and answers true. When nothing is
    // queued it polls the sources; when still nothing is there it posts a
    // timestamp (sleeping 1 ms first if wait is set or no time has passed
    // since the last delivered event) and answers false with out's type
    // ET_NONE. With a demo file set, delivers its records instead; once the
    // demo runs out it is closed and forgotten and live input resumes. No
    // event comes out with a time earlier than the one delivered before it.
    bool getEvent(HEvent &out, bool wait);

    // Appends a source to the list polled by getEvent; not owned.
    void addEventSource(HEventSource *source);
    // True when the source is in the polled list already.
    bool hasEventSource(const HEventSource *source) const;
    int32_t getEventSourceCount() const;

    // The caller opens and owns the journal file. The demo file is the
    // caller's too until it runs out: then the queue closes it and clears it,
    // so getDemoFile tells whether the caller still has one to close.
    void setJournalFile(HFile *file) { m_pJournalFile = file; }
    void clearJournalFile() { m_pJournalFile = nullptr; }
    void setDemoFile(HFile *file) { m_pDemoFile = file; }
    void clearDemoFile() { m_pDemoFile = nullptr; }
    HFile *getJournalFile() const { return m_pJournalFile; }
    HFile *getDemoFile() const { return m_pDemoFile; }

    // Delivered events other than moves, timestamps and network events are
    // formatted for the debug print.
    void setTrace(bool trace) { m_bTrace = trace; }

    // Where the pointer was at the last delivered move or left-button event.
    int32_t getLastPointerX() const { return m_lastPointerX; }
    int32_t getLastPointerY() const { return m_lastPointerY; }

    // The clock events are stamped with and the sleep of an empty queue;
    // getTicks and sleepMilliseconds unless replaced (tests control time
    // this way). A null function restores the default.
    typedef VyTime &(*ClockFunction)(VyTime &);
    typedef void (*SleepFunction)(uint32_t milliseconds);
    static void setTimeFunctions(ClockFunction clock, SleepFunction sleep);

protected:
    // Copies the record at the read index into out (without advancing it);
    // false with out's type ET_NONE when the ring is empty.
    bool m_popEvent(HEvent &out);

private:
    // The clock, moved on by the time a finished demo ran ahead of it and by
    // any step back it took; it never reads earlier than before.
    VyTime m_now();
    // Lets the exhausted demo go; live time then goes on from its last event.
    void m_finishDemo();
    // Raises an event about to be delivered to the time of the one delivered
    // before it, if it is earlier, and remembers its time.
    void m_keepInOrder(HEvent &event);

    HEvent m_events[kEventQueueSize];
    int32_t m_writeIndex;
    int32_t m_readIndex;
    HObjectList m_sources;
    HFile *m_pJournalFile;
    HFile *m_pDemoFile;
    VyTime m_lastTimestamp;      // posted, to drop repeats within a millisecond
    VyTime m_lastDeliveredTime;  // no event is delivered earlier than this
    uint64_t m_lastTicks;        // the clock's last reading, unshifted
    uint64_t m_clockShift;       // added to the clock's readings
    bool m_bTrace;
    int32_t m_lastPointerX;
    int32_t m_lastPointerY;
};

#endif

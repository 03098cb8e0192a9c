#include "engine/media/HEventQueue.h"

#include "engine/core/HFile.h"
#include "engine/core/HMessages.h"
#include "engine/media/HEventSource.h"

namespace {

// Shared by every queue (the program has one): the last move posted, to
// drop repeats.
int32_t s_lastMoveX = 0;
int32_t s_lastMoveY = 0;

HEventQueue::ClockFunction s_clock = &getTicks;
HEventQueue::SleepFunction s_sleep = &sleepMilliseconds;

constexpr int32_t kRecordSize = static_cast<int32_t>(sizeof(HEvent));

uint64_t s_addSaturating(uint64_t a, uint64_t b)
{
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

} // namespace

void HEventQueue::setTimeFunctions(ClockFunction clock, SleepFunction sleep)
{
    s_clock = clock ? clock : &getTicks;
    s_sleep = sleep ? sleep : &sleepMilliseconds;
}

HEventQueue::HEventQueue()
    : m_writeIndex(0),
      m_readIndex(0),
      m_pJournalFile(nullptr),
      m_pDemoFile(nullptr),
      m_lastTimestamp(),
      m_lastDeliveredTime(),
      m_lastTicks(0),
      m_clockShift(0),
      m_bTrace(false),
      m_lastPointerX(0),
      m_lastPointerY(0)
{
}

HEventQueue::~HEventQueue()
{
    m_sources.removeAll();
}

void HEventQueue::addEventSource(HEventSource *source)
{
    m_sources.addTail(source);
}

bool HEventQueue::hasEventSource(const HEventSource *source) const
{
    for (HObjectListNode *node = m_sources.getHead(); node; node = m_sources.getNext(node))
        if (node->getObject() == source)
            return true;
    return false;
}

int32_t HEventQueue::getEventSourceCount() const
{
    int32_t count = 0;
    for (HObjectListNode *node = m_sources.getHead(); node; node = m_sources.getNext(node))
        ++count;
    return count;
}

bool HEventQueue::postEvent(const HEvent &event)
{
    if (event.type == ET_MOUSEMOVE) {
        if (event.x == s_lastMoveX && event.y == s_lastMoveY)
            return true;
        s_lastMoveX = event.x;
        s_lastMoveY = event.y;
    }

    const VyTime now = m_now();
    if (event.type == ET_TIMESTAMP) {
        if (now.low == m_lastTimestamp.low && now.high == m_lastTimestamp.high)
            return true;
        m_lastTimestamp = now;
    }

    const int32_t next = (m_writeIndex + 1) % kEventQueueSize;
    if (next == m_readIndex)
        return false;

    HEvent &slot = m_events[m_writeIndex];
    slot = event;
    slot.time = now;
    if (m_pJournalFile)
        m_pJournalFile->write(&slot, kRecordSize);
    m_writeIndex = next;
    return true;
}

bool HEventQueue::m_popEvent(HEvent &out)
{
    if (m_readIndex == m_writeIndex) {
        out.type = ET_NONE;
        return false;
    }
    out = m_events[m_readIndex];

    if (out.type == ET_MOUSEMOVE ||
        ((out.type == ET_KEYDOWN || out.type == ET_KEYUP) && out.keyCode == KC_LBUTTON)) {
        m_lastPointerX = out.x;
        m_lastPointerY = out.y;
    }

    if (m_bTrace && out.type != ET_MOUSEMOVE && out.type != ET_TIMESTAMP && out.type != ET_NETWORK) {
        char text[1024];
        debugPrint("%s\n", out.format(text, sizeof text));
    }
    return true;
}

bool HEventQueue::getEvent(HEvent &out, bool wait)
{
    if (m_pDemoFile) {
        HEvent record;
        if (m_pDemoFile->read(&record, kRecordSize) == kRecordSize) {
            out = record;
            m_keepInOrder(out);
            return true;
        }
        // An exhausted demo would leave the program deaf to the player, so
        // the queue lets it go and carries on with live input.
        m_finishDemo();
    }

    bool delivered = m_popEvent(out);
    if (!delivered) {
        for (HObjectListNode *node = m_sources.getHead(); node; node = m_sources.getNext(node)) {
            HEventSource *source = static_cast<HEventSource *>(node->getObject());
            if (source)
                source->poll(this);
        }
        delivered = m_popEvent(out);
    }

    if (!delivered) {
        if (m_now().getTime64() <= m_lastDeliveredTime.getTime64() || wait)
            s_sleep(1);
        HEvent timestamp;
        timestamp.type = ET_TIMESTAMP;
        postEvent(timestamp);
        return false;
    }

    m_readIndex = (m_readIndex + 1) % kEventQueueSize;
    m_keepInOrder(out);
    return true;
}

void HEventQueue::m_keepInOrder(HEvent &event)
{
    // Every game clock is measured from delivered times, so none may run
    // backwards: a demo record stamped before the record ahead of it, or a
    // live event posted while a demo ran ahead of the clock, takes the time
    // of the event delivered before it.
    if (event.time.getTime64() < m_lastDeliveredTime.getTime64())
        event.time = m_lastDeliveredTime;
    m_lastDeliveredTime = event.time;
}

VyTime HEventQueue::m_now()
{
    VyTime now;
    s_clock(now);
    // SDL's millisecond count wraps after 49.7 days: a reading behind the
    // last one moves the shift on by the step back, so time goes on from
    // there instead of stopping at the old reading.
    const uint64_t ticks = now.getTime64();
    if (ticks < m_lastTicks)
        m_clockShift = s_addSaturating(m_clockShift, m_lastTicks - ticks);
    m_lastTicks = ticks;
    // A demo may end at any time a record can hold: the shifted clock stops
    // at the end of the range rather than wrap round to the start.
    return VyTime::fromTime64(s_addSaturating(ticks, m_clockShift));
}

void HEventQueue::m_finishDemo()
{
    HFile *finished = m_pDemoFile;
    m_pDemoFile = nullptr;
    finished->close();
    tracePrint("...demo finished\n");

    // A demo plays without waiting, so its times usually run ahead of the
    // clock: live time goes on from its last event instead of behind it.
    const uint64_t last = m_lastDeliveredTime.getTime64();
    const uint64_t now = m_now().getTime64();
    if (last > now)
        m_clockShift += last - now;
}

// Something the event queue polls for new events when it runs empty.
#ifndef ENGINE_MEDIA_HEVENTSOURCE_H
#define ENGINE_MEDIA_HEVENTSOURCE_H

#include "engine/core/HObject.h"

class HEventQueue;

// Registers no class record of its own: it answers HObject's.
class HEventSource : public HObject
{
public:
    HEventSource() {}
    ~HEventSource() override {}

    // Posts whatever the source has gathered to the queue.
    virtual void poll(HEventQueue *queue) = 0;
};

#endif

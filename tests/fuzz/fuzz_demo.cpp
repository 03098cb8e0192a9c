// A demo file as the program plays it: the bytes are the file in a scratch
// folder, opened through a directory file system like the program's "." and
// handed to the event queue, which delivers its records until they run out,
// then lets the file go and carries on with live input. Every event taken
// out is named and formatted as the trace does, into buffers of odd sizes.
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/core/HFile.h"
#include "engine/media/HEvent.h"
#include "engine/media/HEventQueue.h"
#include "fuzz/fuzz_support.h"

namespace {

// The queue's clock moves only when it sleeps, so a run neither waits nor
// depends on the machine's timing.
uint64_t s_now = 1;

VyTime &readClock(VyTime &t)
{
    t = VyTime(static_cast<uint32_t>(s_now), static_cast<uint32_t>(s_now >> 32));
    return t;
}

void sleepOnClock(uint32_t milliseconds)
{
    s_now += milliseconds;
}

void describe(const HEvent &event)
{
    // The text must end inside every buffer, however odd the record.
    char text[1024];
    for (size_t size : {sizeof text, size_t{24}, size_t{1}}) {
        std::memset(text, 0x55, sizeof text);
        event.format(text, size);
        if (std::memchr(text, 0, size) == nullptr)
            __builtin_trap();
    }
    if (event.getKeyName() == nullptr)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string folder = [] {
        HEventQueue::setTimeFunctions(&readClock, &sleepOnClock);
        return fuzz::scratchDir().path();
    }();
    static const std::string path = folder + "/demo.bin";
    if (!tilmar_test::writeFile(path, std::string(reinterpret_cast<const char *>(data), size)))
        return 0;
    // Later than anything the last input left in the queue's shared memory.
    s_now += 1000000;

    HStandardFileSystem files;
    files.mount(folder.c_str());
    HFile *demo = files.openFileForRead("demo.bin");
    if (!demo)
        return 0;

    HEventQueue queue;
    queue.setDemoFile(demo);
    const size_t records = size / sizeof(HEvent);
    HEvent out;
    // Each whole record comes out as it stands; then the queue has nothing
    // (it posts a timestamp) and delivers that timestamp next.
    for (size_t i = 0; i < records; ++i) {
        if (!queue.getEvent(out, false) || std::memcmp(&out, data + i * sizeof(HEvent), sizeof out) != 0)
            __builtin_trap();
        describe(out);
    }
    if (queue.getEvent(out, false) || queue.getDemoFile() != nullptr)
        __builtin_trap();  // a finished demo must be let go
    // Live time goes on from the demo's last record: after an earlier input
    // that ended at the same time, this timestamp repeats the last one
    // posted and is dropped, and the queue posts the next a call later.
    if (!queue.getEvent(out, false) && !queue.getEvent(out, false))
        __builtin_trap();
    if (out.type != ET_TIMESTAMP)
        __builtin_trap();
    describe(out);
    files.shutdown();
    return 0;
}

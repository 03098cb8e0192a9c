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
// depends on the machine's timing; every input starts it at the same time.
uint64_t s_now = 1;

VyTime &readClock(VyTime &t)
{
    t = VyTime::fromTime64(s_now);
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
    s_now = 1;

    HStandardFileSystem files;
    files.mount(folder.c_str());
    HFile *demo = files.openFileForRead("demo.bin");
    if (!demo)
        return 0;

    HEventQueue queue;
    queue.setDemoFile(demo);
    // Posted while the demo plays (as a dialog does), stamped by the clock;
    // it comes out once the demo has run out.
    HEvent command;
    command.type = ET_COMMAND;
    if (!queue.postEvent(command))
        __builtin_trap();
    // No time the queue delivers, from the demo or live after it, comes
    // before the one delivered ahead of it.
    uint64_t lastTime = 0;
    auto inOrder = [&lastTime](const HEvent &event) {
        if (event.time.getTime64() < lastTime)
            __builtin_trap();
        lastTime = event.time.getTime64();
    };
    const size_t records = size / sizeof(HEvent);
    HEvent out;
    // Each whole record comes out as it stands, but for a time earlier than
    // the one before it, which is raised to that one.
    for (size_t i = 0; i < records; ++i) {
        HEvent record;
        std::memcpy(&record, data + i * sizeof(HEvent), sizeof record);
        if (record.time.getTime64() < lastTime)
            record.time = VyTime::fromTime64(lastTime);
        if (!queue.getEvent(out, false) || std::memcmp(&out, &record, sizeof out) != 0)
            __builtin_trap();
        inOrder(out);
        describe(out);
    }
    // Then the queue lets the finished demo go and delivers the event held
    // back; then it has nothing, posts a timestamp and delivers it next.
    if (!queue.getEvent(out, false) || out.type != ET_COMMAND || queue.getDemoFile() != nullptr)
        __builtin_trap();
    inOrder(out);
    if (queue.getEvent(out, false))
        __builtin_trap();
    if (!queue.getEvent(out, false) || out.type != ET_TIMESTAMP)
        __builtin_trap();
    inOrder(out);
    describe(out);
    // Live time goes on from there (or stays at the end of its range).
    for (int call = 0; call < 6; ++call) {
        if (queue.getEvent(out, false)) {
            if (out.type != ET_TIMESTAMP)
                __builtin_trap();
            inOrder(out);
        }
    }
    files.shutdown();
    return 0;
}

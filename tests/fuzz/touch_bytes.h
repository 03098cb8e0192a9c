#ifndef TESTS_FUZZ_TOUCH_BYTES_H
#define TESTS_FUZZ_TOUCH_BYTES_H

// Reads every byte of a buffer a reader handed out, so a buffer shorter than
// the size it claims shows up as an overflow. Under AddressSanitizer the
// range is checked in one call (a byte loop over a 64 MB image would slow
// the fuzzing to a crawl); elsewhere the bytes are simply summed.

#include <cstddef>
#include <cstdint>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TILMAR_TOUCH_WITH_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TILMAR_TOUCH_WITH_ASAN 1
#endif

#ifdef TILMAR_TOUCH_WITH_ASAN
#include <sanitizer/asan_interface.h>
#endif

inline void touchBytes(const void *data, size_t size)
{
    if (size == 0)
        return;
    if (data == nullptr)
        __builtin_trap();
#ifdef TILMAR_TOUCH_WITH_ASAN
    if (void *bad = __asan_region_is_poisoned(const_cast<void *>(data), size)) {
        // Let the sanitizer name the culprit: a plain read of the bad byte.
        volatile uint8_t sink = *static_cast<const volatile uint8_t *>(bad);
        (void)sink;
        __builtin_trap();
    }
#else
    const uint8_t *bytes = static_cast<const uint8_t *>(data);
    uint8_t sum = 0;
    for (size_t i = 0; i < size; ++i)
        sum = uint8_t(sum + bytes[i]);
    volatile uint8_t sink = sum;
    (void)sink;
#endif
}

#endif

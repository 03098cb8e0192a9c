// The input event record. It is also the record of the journal and demo
// files, which are nothing but a run of these 44-byte records in the host's
// (little-endian) byte order, so its layout is fixed to the byte.
#ifndef ENGINE_MEDIA_HEVENT_H
#define ENGINE_MEDIA_HEVENT_H

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "engine/core/VyTime.h"
#include "engine/media/HKeyCodes.h"

// A record read from a demo file may carry any value here, so the type has
// a fixed 32-bit underlying type and every reader copes with unknown values.
enum HEventType : int32_t
{
    ET_NONE = 0,
    ET_QUIT = 1,
    ET_PASTE = 2,
    ET_TOGGLE_FULLSCREEN = 3,
    ET_PAINT = 4,
    ET_ACTIVATE = 5,
    ET_WINDOW_MINIMIZED = 6,
    ET_KEYUP = 7,
    ET_KEYDOWN = 8,
    ET_DPAD = 9,
    ET_COMMAND = 10,
    ET_NETWORK = 11,
    ET_MOUSEMOVE = 12,
    ET_MOUSEWHEEL = 13,
    ET_TIMESTAMP = 14,
};

// Number of event types that have a name.
constexpr int32_t kEventTypeCount = 15;

// Modifier mask bits of HEvent::modifiers.
enum HModifierMask : int32_t
{
    MOD_SHIFT = 1,
    MOD_ALT = 2,
    MOD_CTRL = 4,
};

// Every field starts at 0, which is where every producer starts from.
struct HEvent
{
    HEventType type = ET_NONE;
    VyTime time;               // milliseconds since start, stamped when posted
    int32_t param = 0;         // ET_ACTIVATE: gained; ET_WINDOW_MINIMIZED: minimised
    int32_t modifiers = 0;     // HModifierMask bits
    int32_t reserved1 = 0;
    int32_t reserved2 = 0;
    int32_t keyCode = KC_INVALID;  // HKeyCode; mouse buttons are key codes
    uint8_t character = 0;     // the typed character, 0 when none
    uint8_t padding[3] = {0, 0, 0};
    int32_t x = 0;             // pointer position
    int32_t y = 0;

    // The key's name for ET_KEYUP/ET_KEYDOWN ("KC_A", the character itself
    // for key code 0, "Unknown(0x..)" for codes without a name), "Not A Key"
    // for other types. The text may live in a process-wide buffer that the
    // next call overwrites.
    const char *getKeyName() const;

    // A one-line description ("ET_KEYDOWN(1234) - key=KC_A pt=10,20") written
    // into buffer, bounded by size; answers buffer.
    char *format(char *buffer, size_t size) const;
};

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "journal and demo files hold the records as they are in memory");
static_assert(std::is_trivially_copyable<HEvent>::value && std::is_standard_layout<HEvent>::value,
              "HEvent is read and written as raw bytes");
static_assert(sizeof(HEventType) == 4, "the event type is a 32-bit field");
static_assert(sizeof(HEvent) == 44, "HEvent is the 44-byte journal record");
static_assert(offsetof(HEvent, type) == 0, "HEvent layout");
static_assert(offsetof(HEvent, time) == 4, "HEvent layout");
static_assert(offsetof(HEvent, time) + offsetof(VyTime, low) == 4 &&
                  offsetof(HEvent, time) + offsetof(VyTime, high) == 8,
              "HEvent time: low half at 4, high half at 8");
static_assert(offsetof(HEvent, param) == 12, "HEvent layout");
static_assert(offsetof(HEvent, modifiers) == 16, "HEvent layout");
static_assert(offsetof(HEvent, reserved1) == 20, "HEvent layout");
static_assert(offsetof(HEvent, reserved2) == 24, "HEvent layout");
static_assert(offsetof(HEvent, keyCode) == 28, "HEvent layout");
static_assert(offsetof(HEvent, character) == 32, "HEvent layout");
static_assert(offsetof(HEvent, padding) == 33, "HEvent layout");
static_assert(offsetof(HEvent, x) == 36, "HEvent layout");
static_assert(offsetof(HEvent, y) == 40, "HEvent layout");

#endif

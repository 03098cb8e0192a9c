// The event record's on-disk bytes, its key names and its one-line format.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <new>
#include <string>

#include "engine/media/HEvent.h"

namespace {

uint32_t le32(const unsigned char *bytes, size_t offset)
{
    return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<uint32_t>(bytes[offset + 2]) << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

HEvent keyEvent(HEventType type, int32_t code, uint8_t character = 0)
{
    HEvent e;
    e.type = type;
    e.keyCode = code;
    e.character = character;
    return e;
}

TEST(EventRecord, NewRecordIsFortyFourZeroBytes)
{
    // Producers fill in a default record; any stray byte would end up in
    // journal files.
    unsigned char bytes[sizeof(HEvent)];
    memset(bytes, 0xAB, sizeof bytes);
    new (bytes) HEvent;  // default-initialised, as producers declare it
    for (size_t i = 0; i < sizeof bytes; ++i)
        EXPECT_EQ(bytes[i], 0) << "byte " << i;
}

TEST(EventRecord, FieldsSitAtTheirJournalOffsetsInLittleEndian)
{
    HEvent e;
    e.type = ET_KEYDOWN;
    e.time = VyTime(0x11223344u, 0x55667788u);
    e.param = -2;
    e.modifiers = MOD_CTRL | MOD_SHIFT;
    e.keyCode = KC_F1;
    e.character = 'q';
    e.x = 640;
    e.y = -7;

    unsigned char bytes[sizeof(HEvent)];
    memcpy(bytes, &e, sizeof bytes);
    EXPECT_EQ(le32(bytes, 0), 8u);
    EXPECT_EQ(le32(bytes, 4), 0x11223344u);  // low half first
    EXPECT_EQ(le32(bytes, 8), 0x55667788u);
    EXPECT_EQ(le32(bytes, 12), 0xFFFFFFFEu);
    EXPECT_EQ(le32(bytes, 16), 5u);
    EXPECT_EQ(le32(bytes, 20), 0u);
    EXPECT_EQ(le32(bytes, 24), 0u);
    EXPECT_EQ(le32(bytes, 28), 112u);
    EXPECT_EQ(bytes[32], 'q');
    EXPECT_EQ(bytes[33] | bytes[34] | bytes[35], 0);
    EXPECT_EQ(le32(bytes, 36), 640u);
    EXPECT_EQ(le32(bytes, 40), 0xFFFFFFF9u);
}

TEST(EventKeyName, NamesByCodeCharacterAndType)
{
    struct Case
    {
        HEvent event;
        const char *expected;
    };
    const Case cases[] = {
        {keyEvent(ET_KEYDOWN, KC_LBUTTON), "KC_LBUTTON"},
        {keyEvent(ET_KEYUP, KC_MBUTTON), "KC_MBUTTON"},
        {keyEvent(ET_KEYDOWN, 3), "Unknown(0x3)"},
        {keyEvent(ET_KEYDOWN, KC_RETURN), "KC_RETURN"},
        {keyEvent(ET_KEYDOWN, KC_MENU), "KC_MENU"},
        {keyEvent(ET_KEYDOWN, 33), "Unknown(0x21)"},  // page up has no name
        {keyEvent(ET_KEYDOWN, KC_DELETE), "KC_DELETE"},
        {keyEvent(ET_KEYDOWN, KC_A), "KC_A"},
        {keyEvent(ET_KEYDOWN, 66), "KC_B"},
        {keyEvent(ET_KEYDOWN, 67), "KC_C"},
        {keyEvent(ET_KEYDOWN, 68), "KC_D"},
        {keyEvent(ET_KEYDOWN, 69), "KC_E"},
        {keyEvent(ET_KEYDOWN, 70), "KC_F"},
        {keyEvent(ET_KEYDOWN, KC_SEPARATOR), "KC_SEPARATOR"},
        {keyEvent(ET_KEYDOWN, 124), "Unknown(0x7c)"},  // F13
        {keyEvent(ET_KEYDOWN, KC_JOY0), "KC_JOY0"},
        {keyEvent(ET_KEYDOWN, KC_JOY1), "KC_JOY1"},
        {keyEvent(ET_KEYDOWN, 290), "Unknown(0x122)"},
        {keyEvent(ET_KEYDOWN, KC_INVALID, 'q'), "q"},
        {keyEvent(ET_KEYUP, KC_INVALID, 0), "KC_INVALID"},
        // A code comes with a name even when a character was typed.
        {keyEvent(ET_KEYDOWN, KC_Q, 'q'), "KC_Q"},
        // Records from a demo file can hold anything.
        {keyEvent(ET_KEYDOWN, -1), "Unknown(0xffffffff)"},
        {keyEvent(ET_KEYDOWN, INT_MIN), "Unknown(0x80000000)"},
        {keyEvent(ET_KEYDOWN, INT_MAX), "Unknown(0x7fffffff)"},
        {keyEvent(ET_MOUSEMOVE, KC_A), "Not A Key"},
        {keyEvent(ET_NONE, KC_INVALID, 'q'), "Not A Key"},
        {keyEvent(static_cast<HEventType>(-8), KC_A), "Not A Key"},
    };
    for (const Case &c : cases)
        EXPECT_STREQ(c.event.getKeyName(), c.expected)
            << "type " << c.event.type << " code " << c.event.keyCode;
}

TEST(EventKeyName, EveryLetterDigitNumpadAndFunctionKeyHasItsName)
{
    for (int32_t code = KC_A; code <= KC_Z; ++code)
        EXPECT_EQ(keyEvent(ET_KEYDOWN, code).getKeyName(), "KC_" + std::string(1, static_cast<char>(code)));
    for (int32_t code = KC_0; code <= KC_9; ++code)
        EXPECT_EQ(keyEvent(ET_KEYDOWN, code).getKeyName(), "KC_" + std::string(1, static_cast<char>(code)));
    for (int32_t i = 0; i <= 9; ++i)
        EXPECT_EQ(keyEvent(ET_KEYDOWN, KC_NUMPAD0 + i).getKeyName(), "KC_NUMPAD" + std::to_string(i));
    for (int32_t i = 1; i <= 12; ++i)
        EXPECT_EQ(keyEvent(ET_KEYDOWN, KC_F1 + i - 1).getKeyName(), "KC_F" + std::to_string(i));
}

TEST(EventFormat, DescribesEachKindOfEvent)
{
    HEvent minimized;
    minimized.type = ET_WINDOW_MINIMIZED;
    minimized.time = VyTime(1234);
    minimized.param = 1;

    HEvent key = keyEvent(ET_KEYUP, KC_SPACE);
    key.time = VyTime(99);
    key.x = 10;
    key.y = -3;

    HEvent move;
    move.type = ET_MOUSEMOVE;
    move.time = VyTime(7);
    move.x = 639;
    move.y = 479;

    HEvent paint;
    paint.type = ET_PAINT;
    paint.time = VyTime(0xFFFFFFFFu, 2);  // only the low half is shown
    paint.x = 5;

    struct Case
    {
        HEvent event;
        const char *expected;
    };
    const Case cases[] = {
        {minimized, "ET_WINDOW_MINIMIZED(1234): minimized=1"},
        {key, "ET_KEYUP(99) - key=KC_SPACE pt=10,-3"},
        {move, "ET_MOUSEMOVE(7) - pt=639,479"},
        {paint, "ET_PAINT(4294967295)"},
    };
    for (const Case &c : cases) {
        char buffer[128];
        EXPECT_EQ(c.event.format(buffer, sizeof buffer), buffer);
        EXPECT_STREQ(buffer, c.expected);
    }
}

TEST(EventFormat, NamesEveryTypeAndCopesWithTypesBeyondTheTable)
{
    const char *const names[] = {"ET_NONE", "ET_QUIT", "ET_PASTE", "ET_TOGGLE_FULLSCREEN", "ET_PAINT",
                                 "ET_ACTIVATE", "ET_WINDOW_MINIMIZED", "ET_KEYUP", "ET_KEYDOWN", "ET_DPAD",
                                 "ET_COMMAND", "ET_NETWORK", "ET_MOUSEMOVE", "ET_MOUSEWHEEL", "ET_TIMESTAMP"};
    char buffer[128];
    for (int32_t type = 0; type < kEventTypeCount; ++type) {
        HEvent e;
        e.type = static_cast<HEventType>(type);
        e.format(buffer, sizeof buffer);
        EXPECT_EQ(std::string(buffer).substr(0, strlen(names[type]) + 1), std::string(names[type]) + "(");
    }

    const int32_t strangeTypes[] = {-1, 15, 200, INT_MIN, INT_MAX};
    for (int32_t type : strangeTypes) {
        HEvent e;
        e.type = static_cast<HEventType>(type);
        e.time = VyTime(5);
        e.format(buffer, sizeof buffer);
        char expected[64];
        snprintf(expected, sizeof expected, "Unknown(0x%x)(5)", static_cast<unsigned>(type));
        EXPECT_STREQ(buffer, expected);
    }
}

TEST(EventFormat, StaysWithinTheBuffer)
{
    HEvent key = keyEvent(ET_KEYDOWN, KC_NUMPAD7);
    char buffer[16];
    memset(buffer, 'x', sizeof buffer);
    key.format(buffer, 12);
    EXPECT_STREQ(buffer, "ET_KEYDOWN(");
    EXPECT_EQ(buffer[12], 'x');
}

} // namespace

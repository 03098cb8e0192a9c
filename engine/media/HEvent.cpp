#include "engine/media/HEvent.h"

#include "engine/core/HString.h"

namespace {

const char *const s_eventTypeNames[kEventTypeCount] = {
    "ET_NONE",   "ET_QUIT",       "ET_PASTE",   "ET_TOGGLE_FULLSCREEN", "ET_PAINT",
    "ET_ACTIVATE", "ET_WINDOW_MINIMIZED", "ET_KEYUP", "ET_KEYDOWN",   "ET_DPAD",
    "ET_COMMAND", "ET_NETWORK",   "ET_MOUSEMOVE", "ET_MOUSEWHEEL",   "ET_TIMESTAMP",
};

struct KeyName
{
    int32_t code;
    const char *name;
};

const KeyName s_keyNames[] = {
    {KC_LBUTTON, "KC_LBUTTON"}, {KC_RBUTTON, "KC_RBUTTON"}, {KC_MBUTTON, "KC_MBUTTON"},
    {KC_BACK, "KC_BACK"}, {KC_TAB, "KC_TAB"}, {KC_CLEAR, "KC_CLEAR"}, {KC_RETURN, "KC_RETURN"},
    {KC_SHIFT, "KC_SHIFT"}, {KC_CONTROL, "KC_CONTROL"}, {KC_MENU, "KC_MENU"},
    {KC_ESCAPE, "KC_ESCAPE"}, {KC_SPACE, "KC_SPACE"}, {KC_END, "KC_END"}, {KC_HOME, "KC_HOME"},
    {KC_LEFT, "KC_LEFT"}, {KC_UP, "KC_UP"}, {KC_RIGHT, "KC_RIGHT"}, {KC_DOWN, "KC_DOWN"},
    {KC_INSERT, "KC_INSERT"}, {KC_DELETE, "KC_DELETE"},
    {KC_0, "KC_0"}, {KC_1, "KC_1"}, {KC_2, "KC_2"}, {KC_3, "KC_3"}, {KC_4, "KC_4"},
    {KC_5, "KC_5"}, {KC_6, "KC_6"}, {KC_7, "KC_7"}, {KC_8, "KC_8"}, {KC_9, "KC_9"},
    {KC_A, "KC_A"}, {KC_B, "KC_B"}, {KC_C, "KC_C"}, {KC_D, "KC_D"}, {KC_E, "KC_E"},
    {KC_F, "KC_F"}, {KC_G, "KC_G"}, {KC_H, "KC_H"}, {KC_I, "KC_I"}, {KC_J, "KC_J"},
    {KC_K, "KC_K"}, {KC_L, "KC_L"}, {KC_M, "KC_M"}, {KC_N, "KC_N"}, {KC_O, "KC_O"},
    {KC_P, "KC_P"}, {KC_Q, "KC_Q"}, {KC_R, "KC_R"}, {KC_S, "KC_S"}, {KC_T, "KC_T"},
    {KC_U, "KC_U"}, {KC_V, "KC_V"}, {KC_W, "KC_W"}, {KC_X, "KC_X"}, {KC_Y, "KC_Y"},
    {KC_Z, "KC_Z"},
    {KC_NUMPAD0, "KC_NUMPAD0"}, {KC_NUMPAD1, "KC_NUMPAD1"}, {KC_NUMPAD2, "KC_NUMPAD2"},
    {KC_NUMPAD3, "KC_NUMPAD3"}, {KC_NUMPAD4, "KC_NUMPAD4"}, {KC_NUMPAD5, "KC_NUMPAD5"},
    {KC_NUMPAD6, "KC_NUMPAD6"}, {KC_NUMPAD7, "KC_NUMPAD7"}, {KC_NUMPAD8, "KC_NUMPAD8"},
    {KC_NUMPAD9, "KC_NUMPAD9"},
    {KC_MULTIPLY, "KC_MULTIPLY"}, {KC_ADD, "KC_ADD"}, {KC_SEPARATOR, "KC_SEPARATOR"},
    {KC_SUBTRACT, "KC_SUBTRACT"}, {KC_DECIMAL, "KC_DECIMAL"}, {KC_DIVIDE, "KC_DIVIDE"},
    {KC_F1, "KC_F1"}, {KC_F2, "KC_F2"}, {KC_F3, "KC_F3"}, {KC_F4, "KC_F4"},
    {KC_F5, "KC_F5"}, {KC_F6, "KC_F6"}, {KC_F7, "KC_F7"}, {KC_F8, "KC_F8"},
    {KC_F9, "KC_F9"}, {KC_F10, "KC_F10"}, {KC_F11, "KC_F11"}, {KC_F12, "KC_F12"},
    {KC_JOY0, "KC_JOY0"}, {KC_JOY1, "KC_JOY1"},
};

// Process-wide buffers the key name of a code without a table entry is
// returned in.
char s_characterName[2];
char s_unknownKeyName[256];

// Records from a demo file may hold any type, so the name table is indexed
// only after a range test.
const char *s_typeName(int32_t type, char *scratch, size_t size)
{
    if (type >= 0 && type < kEventTypeCount)
        return s_eventTypeNames[type];
    return formatString(scratch, size, "Unknown(0x%x)", static_cast<unsigned>(type));
}

} // namespace

const char *HEvent::getKeyName() const
{
    if (type != ET_KEYUP && type != ET_KEYDOWN)
        return "Not A Key";
    if (keyCode == KC_INVALID) {
        if (character == 0)
            return "KC_INVALID";
        s_characterName[0] = static_cast<char>(character);
        s_characterName[1] = '\0';
        return s_characterName;
    }
    for (const KeyName &entry : s_keyNames) {
        if (entry.code == keyCode)
            return entry.name;
    }
    return formatString(s_unknownKeyName, sizeof s_unknownKeyName, "Unknown(0x%x)",
                        static_cast<unsigned>(keyCode));
}

char *HEvent::format(char *buffer, size_t size) const
{
    char scratch[32];
    const char *name = s_typeName(type, scratch, sizeof scratch);
    const long when = static_cast<long>(time.getTime32());
    switch (type) {
    case ET_WINDOW_MINIMIZED:
        return formatString(buffer, size, "%s(%ld): minimized=%d", name, when, param);
    case ET_KEYUP:
    case ET_KEYDOWN:
        return formatString(buffer, size, "%s(%ld) - key=%s pt=%ld,%ld", name, when, getKeyName(),
                            static_cast<long>(x), static_cast<long>(y));
    case ET_MOUSEMOVE:
        return formatString(buffer, size, "%s(%ld) - pt=%ld,%ld", name, when, static_cast<long>(x),
                            static_cast<long>(y));
    default:
        return formatString(buffer, size, "%s(%ld)", name, when);
    }
}

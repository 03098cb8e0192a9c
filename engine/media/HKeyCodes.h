// Engine key codes: the numbering of the Windows virtual keys, so letters are
// 65..90 and digits 48..57. Mouse buttons arrive as keys too. Codes without a
// name here (19 pause, 33/34 page up/down, 42 print, 91 menu, 124..126
// F13..F15, 144/145 num/scroll lock) are still delivered, by number.
#ifndef ENGINE_MEDIA_HKEYCODES_H
#define ENGINE_MEDIA_HKEYCODES_H

#include <cstdint>

enum HKeyCode : int32_t
{
    KC_INVALID = 0,
    KC_LBUTTON = 1,
    KC_RBUTTON = 2,
    KC_MBUTTON = 4,
    KC_BACK = 8,
    KC_TAB = 9,
    KC_CLEAR = 12,
    KC_RETURN = 13,
    KC_SHIFT = 16,
    KC_CONTROL = 17,
    KC_MENU = 18,
    KC_ESCAPE = 27,
    KC_SPACE = 32,
    KC_END = 35,
    KC_HOME = 36,
    KC_LEFT = 37,
    KC_UP = 38,
    KC_RIGHT = 39,
    KC_DOWN = 40,
    KC_INSERT = 45,
    KC_DELETE = 46,
    KC_0 = 48, KC_1, KC_2, KC_3, KC_4, KC_5, KC_6, KC_7, KC_8, KC_9,
    KC_A = 65, KC_B, KC_C, KC_D, KC_E, KC_F, KC_G, KC_H, KC_I, KC_J, KC_K, KC_L, KC_M,
    KC_N, KC_O, KC_P, KC_Q, KC_R, KC_S, KC_T, KC_U, KC_V, KC_W, KC_X, KC_Y, KC_Z,
    KC_NUMPAD0 = 96, KC_NUMPAD1, KC_NUMPAD2, KC_NUMPAD3, KC_NUMPAD4,
    KC_NUMPAD5, KC_NUMPAD6, KC_NUMPAD7, KC_NUMPAD8, KC_NUMPAD9,
    KC_MULTIPLY = 106,
    KC_ADD = 107,
    KC_SEPARATOR = 108,
    KC_SUBTRACT = 109,
    KC_DECIMAL = 110,
    KC_DIVIDE = 111,
    KC_F1 = 112, KC_F2, KC_F3, KC_F4, KC_F5, KC_F6, KC_F7, KC_F8, KC_F9, KC_F10, KC_F11, KC_F12,
    KC_JOY0 = 288,
    KC_JOY1 = 289,
};

static_assert(KC_9 == 57 && KC_Z == 90 && KC_NUMPAD9 == 105 && KC_F12 == 123,
              "key code runs must keep their Windows numbering");

#endif

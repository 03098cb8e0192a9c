// The SDL input device: SDL events pushed with SDL_PushEvent under the dummy
// video driver, collected through the event queue that polls the device.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/HFile.h"
#include "engine/core/HMessages.h"
#include "engine/media/HEventQueue.h"
#include "engine/media/sdl/HSDLInputDevice.h"
#include "support/test_support.h"

// SDL's dummy video driver cannot grab input, so this program stands in for
// SDL_WM_GrabInput, keeping the mode and recording the calls.
static SDL_GrabMode s_grabMode = SDL_GRAB_OFF;
static std::vector<SDL_GrabMode> s_grabCalls;

extern "C" SDL_GrabMode SDL_WM_GrabInput(SDL_GrabMode mode)
{
    s_grabCalls.push_back(mode);
    if (mode != SDL_GRAB_QUERY)
        s_grabMode = mode;
    return s_grabMode;
}

namespace {

// The engine code each SDL key symbol should give, written out from the
// key table's rules.
int32_t expectedKeyCode(int32_t symbol)
{
    const int32_t same[] = {0, 8, 9, 12, 13, 19, 27, 32};
    for (int32_t s : same) {
        if (symbol == s)
            return s;
    }
    if (symbol >= '0' && symbol <= '9')
        return symbol;
    if (symbol >= 'a' && symbol <= 'z')
        return symbol - 'a' + 'A';
    if (symbol >= 256 && symbol <= 265)
        return 96 + (symbol - 256);
    if (symbol >= 282 && symbol <= 296)
        return 112 + (symbol - 282);
    switch (symbol) {
    case 127: return 46;
    case 266: return 110;
    case 267: return 111;
    case 268: return 106;
    case 269: return 109;
    case 270: return 107;
    case 271: return 13;
    case 273: return 38;
    case 274: return 40;
    case 275: return 39;
    case 276: return 37;
    case 277: return 45;
    case 278: return 36;
    case 279: return 35;
    case 280: return 33;
    case 281: return 34;
    case 300: return 144;
    case 302: return 145;
    case 303: return 16;
    case 304: return 16;
    case 316: return 42;
    case 319: return 91;
    default: return 0;
    }
}

void push(SDL_Event &event)
{
    ASSERT_EQ(SDL_PushEvent(&event), 0) << SDL_GetError();
}

void pushKey(Uint8 type, int32_t symbol, int32_t mod = KMOD_NONE, Uint16 unicode = 0)
{
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = type;
    e.key.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    // Raw stores: tests also send numbers outside the enums' ranges.
    memcpy(&e.key.keysym.sym, &symbol, sizeof symbol);
    memcpy(&e.key.keysym.mod, &mod, sizeof mod);
    e.key.keysym.unicode = unicode;
    push(e);
}

void pushMotion(Uint16 x, Uint16 y)
{
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = SDL_MOUSEMOTION;
    e.motion.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    push(e);
}

void pushButton(Uint8 type, Uint8 button, Uint16 x, Uint16 y)
{
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = type;
    e.button.type = type;
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
    push(e);
}

void pushActive(Uint8 gain, Uint8 state)
{
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = SDL_ACTIVEEVENT;
    e.active.type = SDL_ACTIVEEVENT;
    e.active.gain = gain;
    e.active.state = state;
    push(e);
}

void pushPlain(Uint8 type)
{
    SDL_Event e;
    memset(&e, 0, sizeof e);
    e.type = type;
    push(e);
}

class SDLInputTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_NE(SDL_SetVideoMode(640, 480, 16, SDL_SWSURFACE), nullptr) << SDL_GetError();
        s_device = HSDLInputDevice::getInstance(nullptr);
    }
    static void TearDownTestSuite() { SDL_Quit(); }

    void SetUp() override
    {
        ASSERT_NE(s_device, nullptr);
        SDL_Event stale;
        while (SDL_PollEvent(&stale)) {
        }
        // The queue drops a move to the last position any queue posted;
        // start each test from a position no test uses.
        HEventQueue scratch;
        HEvent away;
        away.type = ET_MOUSEMOVE;
        away.x = -1;
        away.y = -1 - ++s_serial;
        scratch.postEvent(away);

        queue.addEventSource(s_device->getEventSource());
    }

    // What the queue delivers, timestamps left out, until it has nothing.
    std::vector<HEvent> drain()
    {
        std::vector<HEvent> events;
        HEvent e;
        while (queue.getEvent(e, false)) {
            if (e.type != ET_TIMESTAMP)
                events.push_back(e);
        }
        return events;
    }

    // Presses and releases a plain key so the modifier mask is 0 again.
    void clearModifiers()
    {
        pushKey(SDL_KEYDOWN, SDLK_F15);
        pushKey(SDL_KEYUP, SDLK_F15);
        drain();
    }

    static HSDLInputDevice *s_device;
    static int s_serial;
    HEventQueue queue;
};

HSDLInputDevice *SDLInputTest::s_device = nullptr;
int SDLInputTest::s_serial = 0;

TEST_F(SDLInputTest, KeyTableMapsEverySymbol)
{
    // In batches that fit both SDL's queue and the ring.
    for (int32_t first = 0; first < kSDLKeyTableSize; first += 50) {
        const int32_t last = std::min(first + 50, kSDLKeyTableSize);
        for (int32_t symbol = first; symbol < last; ++symbol) {
            pushKey(SDL_KEYDOWN, symbol);
            pushKey(SDL_KEYUP, symbol);
        }
        const std::vector<HEvent> events = drain();
        ASSERT_EQ(events.size(), static_cast<size_t>(2 * (last - first)));
        for (int32_t symbol = first; symbol < last; ++symbol) {
            const HEvent &down = events[2 * (symbol - first)];
            const HEvent &up = events[2 * (symbol - first) + 1];
            EXPECT_EQ(down.type, ET_KEYDOWN) << symbol;
            EXPECT_EQ(down.keyCode, expectedKeyCode(symbol)) << "symbol " << symbol;
            EXPECT_EQ(up.type, ET_KEYUP) << symbol;
            EXPECT_EQ(up.keyCode, expectedKeyCode(symbol)) << "symbol " << symbol;
            EXPECT_EQ(up.character, 0) << symbol;
        }
    }
}

TEST_F(SDLInputTest, SymbolsBeyondTheTablePostNothing)
{
    const int32_t symbols[] = {kSDLKeyTableSize, 400, 0xFFFF, -1};
    for (int32_t symbol : symbols) {
        pushKey(SDL_KEYDOWN, symbol, KMOD_NONE, 'z');
        pushKey(SDL_KEYUP, symbol);
    }
    EXPECT_TRUE(drain().empty());
}

TEST_F(SDLInputTest, CharacterComesFromUnicodeBelow256AndBackspaceIsAlways8)
{
    struct Case
    {
        int32_t symbol;
        Uint16 unicode;
        int32_t keyCode;
        uint8_t character;
    };
    const Case cases[] = {
        {SDLK_q, 'q', KC_Q, 'q'},
        {SDLK_q, 'Q', KC_Q, 'Q'},
        {SDLK_BACKSPACE, 0, KC_BACK, 8},
        {SDLK_BACKSPACE, 'x', KC_BACK, 8},
        {SDLK_e, 0xE9, KC_E, 0xE9},
        {SDLK_a, 0x03A9, KC_A, 0},   // beyond 8 bits: no character
        {SDLK_a, 256, KC_A, 0},
        {SDLK_COMMA, ',', KC_INVALID, ','},  // unmapped keys still carry the character
        {SDLK_RETURN, '\r', KC_RETURN, 13},
        {SDLK_TAB, '\t', KC_TAB, 9},
    };
    for (const Case &c : cases) {
        pushKey(SDL_KEYDOWN, c.symbol, KMOD_NONE, c.unicode);
        pushKey(SDL_KEYUP, c.symbol, KMOD_NONE, c.unicode);
        const std::vector<HEvent> events = drain();
        ASSERT_EQ(events.size(), 2u) << c.symbol;
        EXPECT_EQ(events[0].keyCode, c.keyCode) << c.symbol;
        EXPECT_EQ(events[0].character, c.character) << c.symbol << " unicode " << c.unicode;
        EXPECT_EQ(events[1].character, 0) << "key-ups carry no character";
    }
}

TEST_F(SDLInputTest, ModifierMaskFromSDLModifierBits)
{
    struct Case
    {
        int32_t symbol;
        int32_t mod;
        int32_t mask;
        int32_t keyCode;
    };
    const Case cases[] = {
        {SDLK_a, KMOD_NONE, 0, KC_A},
        {SDLK_a, KMOD_LSHIFT, MOD_SHIFT, KC_A},
        {SDLK_a, KMOD_RSHIFT, MOD_SHIFT, KC_A},
        {SDLK_a, KMOD_LALT, MOD_ALT, KC_A},
        {SDLK_a, KMOD_RALT, MOD_ALT, KC_A},
        {SDLK_a, KMOD_LCTRL, MOD_CTRL, KC_A},
        {SDLK_a, KMOD_RCTRL, MOD_CTRL, KC_A},
        {SDLK_a, KMOD_LCTRL | KMOD_RALT | KMOD_LSHIFT, MOD_CTRL | MOD_ALT | MOD_SHIFT, KC_A},
        {SDLK_a, KMOD_LMETA | KMOD_RMETA, 0, KC_A},  // meta has no bit in the mask
        {SDLK_a, KMOD_NUM | KMOD_CAPS | KMOD_MODE, 0, KC_A},
        {SDLK_LCTRL, KMOD_LCTRL, MOD_CTRL, KC_INVALID},  // Ctrl alone is a key of its own
        {SDLK_RSHIFT, KMOD_RSHIFT, MOD_SHIFT, KC_SHIFT},
    };
    for (const Case &c : cases) {
        pushKey(SDL_KEYDOWN, c.symbol, c.mod);
        pushKey(SDL_KEYUP, c.symbol, KMOD_NONE);
        const std::vector<HEvent> events = drain();
        ASSERT_EQ(events.size(), 2u);
        EXPECT_EQ(events[0].type, ET_KEYDOWN);
        EXPECT_EQ(events[0].modifiers, c.mask) << "mod " << c.mod;
        EXPECT_EQ(events[0].keyCode, c.keyCode) << "mod " << c.mod;
        EXPECT_EQ(events[1].modifiers, 0) << "the release recomputes the mask";
    }
}

TEST_F(SDLInputTest, OtherEventsCarryTheMaskOfTheLastKeyEvent)
{
    pushKey(SDL_KEYDOWN, SDLK_LSHIFT, KMOD_LSHIFT | KMOD_LCTRL);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20);
    pushActive(1, SDL_APPINPUTFOCUS);
    pushPlain(SDL_VIDEOEXPOSE);
    pushPlain(SDL_QUIT);
    pushMotion(11, 21);
    std::vector<HEvent> events = drain();
    ASSERT_EQ(events.size(), 6u);
    const HEventType types[] = {ET_KEYDOWN, ET_KEYDOWN, ET_ACTIVATE, ET_PAINT, ET_QUIT, ET_MOUSEMOVE};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(events[i].type, types[i]) << i;
        EXPECT_EQ(events[i].modifiers, MOD_SHIFT | MOD_CTRL) << i;
    }
    EXPECT_EQ(events[5].type, ET_MOUSEMOVE);
    EXPECT_EQ(events[5].modifiers, 0) << "the coalesced move carries no mask";

    // Letting go of the keys is a key event too: clicks afterwards carry 0.
    pushKey(SDL_KEYUP, SDLK_LSHIFT, KMOD_NONE);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 10, 20);
    events = drain();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].keyCode, KC_LBUTTON);
    EXPECT_EQ(events[1].modifiers, 0);
}

TEST_F(SDLInputTest, CtrlGTogglesTheGrabAndPostsNothing)
{
    s_grabMode = SDL_GRAB_OFF;
    s_grabCalls.clear();
    pushKey(SDL_KEYDOWN, SDLK_g, KMOD_LCTRL, 7);
    pushKey(SDL_KEYUP, SDLK_g, KMOD_NONE);  // Ctrl was let go first
    EXPECT_TRUE(drain().empty());
    EXPECT_EQ(s_grabCalls, (std::vector<SDL_GrabMode>{SDL_GRAB_QUERY, SDL_GRAB_ON}));

    s_grabCalls.clear();
    pushKey(SDL_KEYDOWN, SDLK_g, KMOD_RCTRL);
    pushKey(SDL_KEYUP, SDLK_g, KMOD_RCTRL);
    EXPECT_TRUE(drain().empty());
    EXPECT_EQ(s_grabCalls, (std::vector<SDL_GrabMode>{SDL_GRAB_QUERY, SDL_GRAB_OFF}));

    // The swallowed release used up the flag: G is an ordinary key again.
    s_grabCalls.clear();
    pushKey(SDL_KEYDOWN, SDLK_g, KMOD_NONE, 'g');
    pushKey(SDL_KEYUP, SDLK_g);
    const std::vector<HEvent> events = drain();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, ET_KEYDOWN);
    EXPECT_EQ(events[0].keyCode, KC_G);
    EXPECT_EQ(events[0].character, 'g');
    EXPECT_EQ(events[1].type, ET_KEYUP);
    EXPECT_TRUE(s_grabCalls.empty());
}

TEST_F(SDLInputTest, ShortcutsPostOneSpecialEventAndSwallowTheirRelease)
{
    struct Case
    {
        int32_t mod;
        int32_t symbol;
        HEventType type;
        int32_t mask;
    };
    const Case cases[] = {
        {KMOD_LMETA, SDLK_q, ET_QUIT, 0},
        {KMOD_RMETA | KMOD_LSHIFT, SDLK_q, ET_QUIT, MOD_SHIFT},
        {KMOD_LALT, SDLK_RETURN, ET_TOGGLE_FULLSCREEN, MOD_ALT},
        {KMOD_RALT, SDLK_KP_ENTER, ET_TOGGLE_FULLSCREEN, MOD_ALT},
        {KMOD_LMETA, SDLK_KP_ENTER, ET_TOGGLE_FULLSCREEN, 0},
        {KMOD_RMETA, SDLK_RETURN, ET_TOGGLE_FULLSCREEN, 0},
        {KMOD_LMETA, SDLK_v, ET_PASTE, 0},
    };
    for (const Case &c : cases) {
        pushKey(SDL_KEYDOWN, c.symbol, c.mod, 'x');
        pushKey(SDL_KEYUP, c.symbol, KMOD_NONE);
        std::vector<HEvent> events = drain();
        ASSERT_EQ(events.size(), 1u) << c.type;
        HEvent expected;
        expected.type = c.type;
        expected.modifiers = c.mask;
        expected.time = events[0].time;
        EXPECT_EQ(memcmp(&events[0], &expected, sizeof(HEvent)), 0)
            << "type " << events[0].type << " code " << events[0].keyCode << " char "
            << int(events[0].character) << " at " << events[0].x << "," << events[0].y;

        // Only one release is swallowed.
        pushKey(SDL_KEYUP, c.symbol, KMOD_NONE);
        events = drain();
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].type, ET_KEYUP);
        EXPECT_EQ(events[0].keyCode, expectedKeyCode(c.symbol));
    }
}

TEST_F(SDLInputTest, ShortcutKeysWithOtherModifiersAreOrdinaryKeys)
{
    struct Case
    {
        int32_t mod;
        int32_t symbol;
        int32_t keyCode;
    };
    const Case cases[] = {
        {KMOD_LALT, SDLK_q, KC_Q},       // quit needs meta
        {KMOD_LCTRL, SDLK_q, KC_Q},
        {KMOD_LCTRL, SDLK_RETURN, KC_RETURN},
        {KMOD_LSHIFT, SDLK_KP_ENTER, KC_RETURN},
        {KMOD_LALT, SDLK_v, KC_V},       // paste needs meta
        {KMOD_LALT | KMOD_LMETA, SDLK_g, KC_G},  // the grab needs ctrl
    };
    for (const Case &c : cases) {
        pushKey(SDL_KEYDOWN, c.symbol, c.mod);
        pushKey(SDL_KEYUP, c.symbol, KMOD_NONE);
        const std::vector<HEvent> events = drain();
        ASSERT_EQ(events.size(), 2u) << c.symbol;
        EXPECT_EQ(events[0].type, ET_KEYDOWN);
        EXPECT_EQ(events[0].keyCode, c.keyCode);
        EXPECT_EQ(events[1].type, ET_KEYUP);
    }
}

TEST_F(SDLInputTest, PressesThatPostNoKeyEventKeepThePendingMoveButStillSetTheMask)
{
    // Only a posted key or button event cancels a pending move; the
    // shortcuts and ignored symbols do not, but they do set the mask that
    // later clicks carry, on the press and again on the swallowed release.
    struct Case
    {
        const char *label;
        int32_t symbol;
        int32_t mod;
        HEventType special;  // ET_NONE: the press posts nothing
        int32_t mask;
    };
    const Case cases[] = {
        {"ctrl+G", SDLK_g, KMOD_LCTRL, ET_NONE, MOD_CTRL},
        {"meta+Q", SDLK_q, KMOD_LMETA | KMOD_LSHIFT, ET_QUIT, MOD_SHIFT},
        {"alt+Enter", SDLK_RETURN, KMOD_LALT, ET_TOGGLE_FULLSCREEN, MOD_ALT},
        {"meta+V", SDLK_v, KMOD_RMETA | KMOD_RCTRL, ET_PASTE, MOD_CTRL},
        {"beyond the table", 400, KMOD_RALT, ET_NONE, MOD_ALT},
    };
    s_grabMode = SDL_GRAB_OFF;
    Uint16 x = 20;
    for (const Case &c : cases) {
        ++x;
        pushMotion(x, 100);
        pushKey(SDL_KEYDOWN, c.symbol, c.mod, 'k');
        std::vector<HEvent> events = drain();
        std::vector<HEventType> types;
        for (const HEvent &e : events)
            types.push_back(e.type);
        std::vector<HEventType> expected;
        if (c.special != ET_NONE)
            expected.push_back(c.special);
        expected.push_back(ET_MOUSEMOVE);
        ASSERT_EQ(types, expected) << c.label;
        EXPECT_EQ(events.back().x, x) << c.label;
        EXPECT_EQ(events.back().y, 100) << c.label;

        pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, 2);
        events = drain();
        ASSERT_EQ(events.size(), 1u) << c.label;
        EXPECT_EQ(events[0].keyCode, KC_RBUTTON) << c.label;
        EXPECT_EQ(events[0].modifiers, c.mask) << c.label;

        // The release, swallowed or ignored, behaves the same way.
        pushMotion(x, 101);
        pushKey(SDL_KEYUP, c.symbol, KMOD_NONE);
        events = drain();
        ASSERT_EQ(events.size(), 1u) << c.label;
        EXPECT_EQ(events[0].type, ET_MOUSEMOVE) << c.label;
        EXPECT_EQ(events[0].y, 101) << c.label;

        pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 1, 2);
        events = drain();
        ASSERT_EQ(events.size(), 1u) << c.label;
        EXPECT_EQ(events[0].modifiers, 0) << c.label;

        // Only one release was swallowed: the next is an ordinary key-up
        // (nothing at all for a symbol beyond the table).
        pushKey(SDL_KEYUP, c.symbol, KMOD_NONE);
        events = drain();
        EXPECT_EQ(events.size(), c.symbol < kSDLKeyTableSize ? 1u : 0u) << c.label;
    }
}

TEST_F(SDLInputTest, MotionBurstBecomesOneMoveAtItsLastPointAfterTheOtherEvents)
{
    for (Uint16 i = 0; i < 5; ++i)
        pushMotion(100 + i, 200 + i);
    pushActive(0, SDL_APPMOUSEFOCUS);  // not a key or button: the move stays pending
    for (Uint16 i = 5; i < 10; ++i)
        pushMotion(100 + i, 200 + i);
    std::vector<HEvent> events = drain();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, ET_ACTIVATE);
    EXPECT_EQ(events[0].param, 0);
    EXPECT_EQ(events[1].type, ET_MOUSEMOVE);
    EXPECT_EQ(events[1].x, 109);
    EXPECT_EQ(events[1].y, 209);

    // A key after the motion cancels the pending move; motion after the key
    // starts a new one.
    pushMotion(150, 250);
    pushKey(SDL_KEYDOWN, SDLK_x, KMOD_NONE, 'x');
    pushMotion(151, 251);
    pushMotion(152, 252);
    events = drain();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, ET_KEYDOWN);
    EXPECT_EQ(events[1].type, ET_MOUSEMOVE);
    EXPECT_EQ(events[1].x, 152);
    EXPECT_EQ(events[1].y, 252);

    pushMotion(160, 260);
    pushKey(SDL_KEYUP, SDLK_x);
    events = drain();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, ET_KEYUP);
}

TEST_F(SDLInputTest, ButtonAfterMotionPostsOnlyTheButtonAndTheWheelNothing)
{
    pushMotion(300, 301);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 302, 303);
    std::vector<HEvent> events = drain();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, ET_KEYDOWN);
    EXPECT_EQ(events[0].keyCode, KC_LBUTTON);
    EXPECT_EQ(events[0].x, 302);
    EXPECT_EQ(events[0].y, 303);

    // Wheel clicks post nothing but still discard the pending move.
    pushMotion(310, 311);
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_WHEELUP, 310, 311);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_WHEELDOWN, 310, 311);
    EXPECT_TRUE(drain().empty());
}

TEST_F(SDLInputTest, MouseButtonsArriveAsKeys)
{
    struct Case
    {
        Uint8 button;
        int32_t keyCode;
    };
    const Case cases[] = {{SDL_BUTTON_LEFT, KC_LBUTTON}, {SDL_BUTTON_RIGHT, KC_RBUTTON},
                          {SDL_BUTTON_MIDDLE, KC_MBUTTON}};
    clearModifiers();
    for (const Case &c : cases) {
        pushButton(SDL_MOUSEBUTTONDOWN, c.button, 17, 18);
        pushButton(SDL_MOUSEBUTTONUP, c.button, 639, 479);
        const std::vector<HEvent> events = drain();
        ASSERT_EQ(events.size(), 2u);
        EXPECT_EQ(events[0].type, ET_KEYDOWN);
        EXPECT_EQ(events[0].keyCode, c.keyCode);
        EXPECT_EQ(events[0].x, 17);
        EXPECT_EQ(events[0].y, 18);
        EXPECT_EQ(events[0].character, 0);
        EXPECT_EQ(events[1].type, ET_KEYUP);
        EXPECT_EQ(events[1].keyCode, c.keyCode);
        EXPECT_EQ(events[1].x, 639);
        EXPECT_EQ(events[1].y, 479);
    }
}

TEST_F(SDLInputTest, WindowEventsAndUnknownKinds)
{
    clearModifiers();
    pushActive(1, SDL_APPMOUSEFOCUS);
    pushActive(0, SDL_APPACTIVE);
    pushActive(5, SDL_APPINPUTFOCUS);
    pushPlain(SDL_VIDEORESIZE);
    pushPlain(SDL_USEREVENT);
    pushPlain(SDL_JOYBUTTONDOWN);
    pushPlain(SDL_VIDEOEXPOSE);
    pushPlain(SDL_QUIT);
    const std::vector<HEvent> events = drain();
    ASSERT_EQ(events.size(), 5u);
    const HEventType types[] = {ET_ACTIVATE, ET_ACTIVATE, ET_ACTIVATE, ET_PAINT, ET_QUIT};
    const int32_t params[] = {1, 0, 1, 0, 0};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(events[i].type, types[i]) << i;
        EXPECT_EQ(events[i].param, params[i]) << i;
        EXPECT_EQ(events[i].x | events[i].y | events[i].keyCode | events[i].character, 0) << i;
    }
}

// SDL queues a due key repeat after the other events of a pump, so one may
// stand behind the focus loss that stopped the repeat; only that one goes.
// Pushed events start no repeat of SDL's own: that the loss stops one is
// seen in a real window.
TEST_F(SDLInputTest, AFocusLossStopsTheKeyRepeatAndDropsARepeatQueuedBehindIt)
{
    // The steps: 'h' or 'j' pressed (capital) or released (small), '-' a
    // focus loss, '+' a gain. The events: D key-down, U key-up, A
    // activation with its parameter, each key event with its key code.
    const struct
    {
        const char *what;
        const char *steps;
        const char *events;
    } cases[] = {
        {"a repeat of the held key behind the loss", "H-H", "D72 A0"},
        {"the held key again after the focus came back", "H-+H", "D72 A0 A1 D72"},
        {"the held key released and pressed again", "H-hH", "D72 A0 U72 D72"},
        {"another key after the loss", "H-J", "D72 A0 D74"},
        {"another key's repeats after the loss", "H-JJ", "D72 A0 D74 D74"},
        {"another key's release, then a repeat of the held one", "H-jH", "D72 A0 U74"},
        {"repeats while the window has the focus", "H+HH", "D72 A1 D72 D72"},
        {"a loss with no key held", "-H", "A0 D72"},
    };
    ASSERT_EQ(SDL_EnableKeyRepeat(500, 30), 0);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        clearModifiers();
        for (const char *step = c.steps; *step; ++step) {
            switch (*step) {
            case '-': pushActive(0, SDL_APPMOUSEFOCUS); break;
            case '+': pushActive(1, SDL_APPMOUSEFOCUS); break;
            case 'H': pushKey(SDL_KEYDOWN, SDLK_h); break;
            case 'J': pushKey(SDL_KEYDOWN, SDLK_j); break;
            case 'h': pushKey(SDL_KEYUP, SDLK_h); break;
            case 'j': pushKey(SDL_KEYUP, SDLK_j); break;
            }
        }
        std::string seen;
        for (const HEvent &e : drain()) {
            seen += seen.empty() ? "" : " ";
            if (e.type == ET_ACTIVATE)
                seen += "A" + std::to_string(e.param);
            else
                seen += (e.type == ET_KEYDOWN ? "D" : e.type == ET_KEYUP ? "U" : "?") + std::to_string(e.keyCode);
        }
        EXPECT_EQ(c.events, seen);
        // The repeat keeps its delay and interval.
        int delay = 0, interval = 0;
        SDL_GetKeyRepeat(&delay, &interval);
        EXPECT_EQ(500, delay);
        EXPECT_EQ(30, interval);
        // Nothing held for the next case.
        pushKey(SDL_KEYUP, SDLK_h);
        pushKey(SDL_KEYUP, SDLK_j);
        drain();
    }
}

TEST_F(SDLInputTest, CenterMouseWarpsToTheMiddleAndKeysReadThePointer)
{
    s_device->centerMouse();
    int x = -1;
    int y = -1;
    SDL_GetMouseState(&x, &y);
    EXPECT_EQ(x, 320);
    EXPECT_EQ(y, 240);

    // The warp comes back as motion; key events read SDL's pointer state.
    pushKey(SDL_KEYDOWN, SDLK_SPACE, KMOD_NONE, ' ');
    pushKey(SDL_KEYUP, SDLK_SPACE);
    const std::vector<HEvent> events = drain();
    ASSERT_EQ(events.size(), 2u);
    for (const HEvent &e : events) {
        EXPECT_EQ(e.keyCode, KC_SPACE);
        EXPECT_EQ(e.x, 320);
        EXPECT_EQ(e.y, 240);
    }
}

TEST_F(SDLInputTest, SingletonSurvivesReleaseAndCreateTraces)
{
    EXPECT_EQ(HSDLInputDevice::getInstance(nullptr), s_device);
    HSDLInputDevice::releaseInstance();
    EXPECT_EQ(HSDLInputDevice::getInstance(nullptr), s_device);
    EXPECT_STREQ(s_device->getEventSource()->getClassName(), "HObject");

    tilmar_test::TempDir dir;
    HStandardFileSystem fs;
    fs.mount(dir.path().c_str());
    HFile *trace = fs.openFileForWrite("trace.txt");
    ASSERT_NE(trace, nullptr);
    setTraceFile(trace);
    EXPECT_EQ(s_device->create(), 1);
    s_device->acquire();
    s_device->unacquire();
    s_device->destroy();
    setTraceFile(nullptr);
    trace->close();
    EXPECT_EQ(tilmar_test::readFile(dir / "trace.txt"), ">>>HSDLInputDevice::create()\nok\n");

    // Nothing of that touched SDL's queue or the device's use.
    pushKey(SDL_KEYDOWN, SDLK_z, KMOD_NONE, 'z');
    pushKey(SDL_KEYUP, SDLK_z);
    EXPECT_EQ(drain().size(), 2u);
}

} // namespace

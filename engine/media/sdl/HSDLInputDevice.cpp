#include "engine/media/sdl/HSDLInputDevice.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/core/HMessages.h"
#include "engine/media/HEventQueue.h"

static_assert(kSDLKeyTableSize == SDLK_LAST, "the key table covers every SDL 1.2 key symbol");

namespace {

// SDL key symbol -> engine key code, filled by the device's constructor.
int32_t s_keyTable[kSDLKeyTableSize];

// Input state kept between polls for the life of the process: the modifier
// mask of the last key event, and the flags of the presses turned into
// special events whose key-ups are swallowed.
int32_t s_modifierMask = 0;
bool s_enterFlag = false;
bool s_grabFlag = false;
bool s_quitFlag = false;
bool s_pasteFlag = false;

// The last key pressed and not yet released: the one SDL repeats.
uint32_t s_heldSymbol = SDLK_UNKNOWN;

// The device lives in static storage and is destroyed by one atexit handler
// only; a function-local static would also get a destructor of its own from
// the compiler, and the device would be destroyed twice.
alignas(HSDLInputDevice) unsigned char s_deviceStorage[sizeof(HSDLInputDevice)];
HSDLInputDevice *s_pDevice = nullptr;   // the constructed device
HSDLInputDevice *s_pCurrent = nullptr;  // the current instance
bool s_bDestroyed = false;

void s_destroyInputDevice()
{
    HSDLInputDevice *device = s_pDevice;
    s_pDevice = nullptr;
    s_pCurrent = nullptr;
    s_bDestroyed = true;
    if (device)
        device->~HSDLInputDevice();
}

void s_fillKeyTable()
{
    for (int32_t &code : s_keyTable)
        code = KC_INVALID;

    const int32_t sameNumber[] = {0, SDLK_BACKSPACE, SDLK_TAB, SDLK_CLEAR, SDLK_RETURN,
                                  SDLK_PAUSE, SDLK_ESCAPE, SDLK_SPACE};
    for (int32_t symbol : sameNumber)
        s_keyTable[symbol] = symbol;
    for (int32_t symbol = SDLK_0; symbol <= SDLK_9; ++symbol)
        s_keyTable[symbol] = symbol;
    for (int32_t symbol = SDLK_a; symbol <= SDLK_z; ++symbol)
        s_keyTable[symbol] = symbol - 32;
    s_keyTable[SDLK_DELETE] = KC_DELETE;
    for (int32_t i = 0; i <= 9; ++i)
        s_keyTable[SDLK_KP0 + i] = KC_NUMPAD0 + i;
    s_keyTable[SDLK_KP_PERIOD] = KC_DECIMAL;
    s_keyTable[SDLK_KP_DIVIDE] = KC_DIVIDE;
    s_keyTable[SDLK_KP_MULTIPLY] = KC_MULTIPLY;
    s_keyTable[SDLK_KP_MINUS] = KC_SUBTRACT;
    s_keyTable[SDLK_KP_PLUS] = KC_ADD;
    s_keyTable[SDLK_KP_ENTER] = KC_RETURN;
    s_keyTable[SDLK_UP] = KC_UP;
    s_keyTable[SDLK_DOWN] = KC_DOWN;
    s_keyTable[SDLK_RIGHT] = KC_RIGHT;
    s_keyTable[SDLK_LEFT] = KC_LEFT;
    s_keyTable[SDLK_INSERT] = KC_INSERT;
    s_keyTable[SDLK_HOME] = KC_HOME;
    s_keyTable[SDLK_END] = KC_END;
    s_keyTable[SDLK_PAGEUP] = 33;
    s_keyTable[SDLK_PAGEDOWN] = 34;
    for (int32_t i = 0; i < 15; ++i)
        s_keyTable[SDLK_F1 + i] = KC_F1 + i;
    s_keyTable[SDLK_NUMLOCK] = 144;
    s_keyTable[SDLK_SCROLLOCK] = 145;
    s_keyTable[SDLK_RSHIFT] = KC_SHIFT;
    s_keyTable[SDLK_LSHIFT] = KC_SHIFT;
    s_keyTable[SDLK_PRINT] = 42;
    s_keyTable[SDLK_MENU] = 91;
}

bool s_isCtrl(int32_t mod) { return (mod & KMOD_CTRL) != 0; }
bool s_isAlt(int32_t mod) { return (mod & KMOD_ALT) != 0; }
bool s_isShift(int32_t mod) { return (mod & KMOD_SHIFT) != 0; }
bool s_isMeta(int32_t mod) { return (mod & KMOD_META) != 0; }
bool s_isAltOrMeta(int32_t mod) { return (mod & (KMOD_ALT | KMOD_META)) != 0; }

int32_t s_modifierMaskOf(int32_t mod)
{
    return (s_isCtrl(mod) ? MOD_CTRL : 0) + (s_isAlt(mod) ? MOD_ALT : 0) +
           (s_isShift(mod) ? MOD_SHIFT : 0);
}

// The symbol's raw value: a pushed event can carry numbers outside SDLKey's
// range, which must not be loaded through the enum type.
uint32_t s_symbolOf(const SDL_KeyboardEvent &key)
{
    static_assert(sizeof key.keysym.sym == sizeof(uint32_t), "SDLKey is 32 bits wide");
    uint32_t symbol;
    memcpy(&symbol, &key.keysym.sym, sizeof symbol);
    return symbol;
}

int32_t s_modOf(const SDL_KeyboardEvent &key)
{
    static_assert(sizeof key.keysym.mod == sizeof(int32_t), "SDLMod is 32 bits wide");
    int32_t mod;
    memcpy(&mod, &key.keysym.mod, sizeof mod);
    return mod;
}

bool s_isEnter(uint32_t symbol)
{
    return symbol == SDLK_RETURN || symbol == SDLK_KP_ENTER;
}

// SDL repeats the last key pressed until it sees that key's release. Where
// the keyboard follows the pointer (no window manager), a release after the
// pointer left goes to another window and never reaches SDL. Setting the
// repeat again, with the same values, ends a repeat in flight.
void s_stopKeyRepeat()
{
    int delay = 0;
    int interval = 0;
    SDL_GetKeyRepeat(&delay, &interval);
    SDL_EnableKeyRepeat(delay, interval);
}

// SDL 1.2 queues a due repeat after the other events of the pump it makes,
// so one can stand behind the focus loss that stopped the repeat, and it is
// read in the same poll. There, a press of the held key with no other press
// and no focus gain since the loss is taken for that repeat.
bool s_isStaleRepeat(const SDL_KeyboardEvent &key, bool repeatStopped)
{
    return repeatStopped && s_heldSymbol != SDLK_UNKNOWN && s_symbolOf(key) == s_heldSymbol;
}

void s_pointerPosition(HEvent &event)
{
    int x = 0;
    int y = 0;
    SDL_GetMouseState(&x, &y);
    event.x = x;
    event.y = y;
}

// Turns a key press into an event; false when the press posts nothing.
bool s_translateKeyDown(const SDL_KeyboardEvent &key, HEvent &event, int32_t &pendingX, int32_t &pendingY)
{
    const int32_t mod = s_modOf(key);
    const uint32_t symbol = s_symbolOf(key);
    s_modifierMask = s_modifierMaskOf(mod);

    if (s_isCtrl(mod) && symbol == SDLK_g) {
        SDL_WM_GrabInput(SDL_WM_GrabInput(SDL_GRAB_QUERY) == SDL_GRAB_ON ? SDL_GRAB_OFF : SDL_GRAB_ON);
        s_grabFlag = true;
        return false;
    }
    if (s_isMeta(mod) && symbol == SDLK_q) {
        event.type = ET_QUIT;
        s_quitFlag = true;
        return true;
    }
    if (s_isAltOrMeta(mod) && s_isEnter(symbol)) {
        event.type = ET_TOGGLE_FULLSCREEN;
        s_enterFlag = true;
        return true;
    }
    if (s_isMeta(mod) && symbol == SDLK_v) {
        event.type = ET_PASTE;
        s_pasteFlag = true;
        return true;
    }
    if (symbol >= static_cast<uint32_t>(kSDLKeyTableSize))
        return false;

    event.type = ET_KEYDOWN;
    event.keyCode = s_keyTable[symbol];
    s_pointerPosition(event);
    event.character = key.keysym.unicode < 256 ? static_cast<uint8_t>(key.keysym.unicode) : 0;
    if (event.keyCode == KC_BACK)
        event.character = 8;
    pendingX = pendingY = -1;
    return true;
}

// Turns a key release into an event; false when the release posts nothing.
bool s_translateKeyUp(const SDL_KeyboardEvent &key, HEvent &event, int32_t &pendingX, int32_t &pendingY)
{
    const uint32_t symbol = s_symbolOf(key);
    s_modifierMask = s_modifierMaskOf(s_modOf(key));

    if (s_grabFlag && symbol == SDLK_g) {
        s_grabFlag = false;
        return false;
    }
    if (s_quitFlag && symbol == SDLK_q) {
        s_quitFlag = false;
        return false;
    }
    if (s_pasteFlag && symbol == SDLK_v) {
        s_pasteFlag = false;
        return false;
    }
    if (s_enterFlag && s_isEnter(symbol)) {
        s_enterFlag = false;
        return false;
    }
    if (symbol >= static_cast<uint32_t>(kSDLKeyTableSize))
        return false;

    event.type = ET_KEYUP;
    event.keyCode = s_keyTable[symbol];
    s_pointerPosition(event);
    pendingX = pendingY = -1;
    return true;
}

} // namespace

HSDLInputDevice *HSDLInputDevice::getInstance(HCvarManager *cvarManager)
{
    if (s_bDestroyed)
        return nullptr;
    if (!s_pDevice) {
        s_pDevice = new (s_deviceStorage) HSDLInputDevice(cvarManager);
        atexit(&s_destroyInputDevice);
    }
    if (!s_pCurrent)
        s_pCurrent = s_pDevice;
    return s_pCurrent;
}

void HSDLInputDevice::releaseInstance()
{
    s_pCurrent = nullptr;
}

HSDLInputDevice::HSDLInputDevice(HCvarManager *cvarManager) : HInputDevice(cvarManager, 2)
{
    s_fillKeyTable();
}

HSDLInputDevice::~HSDLInputDevice()
{
}

int32_t HSDLInputDevice::create()
{
    tracePrint(">>>HSDLInputDevice::create()\n");
    tracePrint("ok\n");
    acquire();
    return 1;
}

void HSDLInputDevice::destroy()
{
    unacquire();
}

void HSDLInputDevice::centerMouse()
{
    const SDL_Surface *screen = SDL_GetVideoSurface();
    if (!screen)
        return;
    SDL_WarpMouse(static_cast<Uint16>(screen->w / 2), static_cast<Uint16>(screen->h / 2));
}

int32_t HSDLInputDevice::pollEvents(HEventQueue *queue)
{
    if (!queue)
        return 1;

    int32_t pendingX = -1;
    int32_t pendingY = -1;
    // A focus loss in this poll stopped the key repeat.
    bool repeatStopped = false;
    SDL_Event sdlEvent;
    while (SDL_PollEvent(&sdlEvent)) {
        HEvent event;
        bool post = false;
        switch (sdlEvent.type) {
        case SDL_ACTIVEEVENT:
            event.type = ET_ACTIVATE;
            event.param = sdlEvent.active.gain ? 1 : 0;
            post = true;
            repeatStopped = !sdlEvent.active.gain;
            if (repeatStopped)
                s_stopKeyRepeat();
            break;
        case SDL_KEYDOWN:
            if (s_isStaleRepeat(sdlEvent.key, repeatStopped))
                break;
            s_heldSymbol = s_symbolOf(sdlEvent.key);
            repeatStopped = false;
            post = s_translateKeyDown(sdlEvent.key, event, pendingX, pendingY);
            break;
        case SDL_KEYUP:
            if (s_symbolOf(sdlEvent.key) == s_heldSymbol)
                s_heldSymbol = SDLK_UNKNOWN;
            post = s_translateKeyUp(sdlEvent.key, event, pendingX, pendingY);
            break;
        case SDL_MOUSEMOTION:
            pendingX = sdlEvent.motion.x;
            pendingY = sdlEvent.motion.y;
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            pendingX = pendingY = -1;
            event.type = sdlEvent.type == SDL_MOUSEBUTTONDOWN ? ET_KEYDOWN : ET_KEYUP;
            event.x = sdlEvent.button.x;
            event.y = sdlEvent.button.y;
            post = true;
            switch (sdlEvent.button.button) {
            case SDL_BUTTON_LEFT:
                event.keyCode = KC_LBUTTON;
                break;
            case SDL_BUTTON_RIGHT:
                event.keyCode = KC_RBUTTON;
                break;
            case SDL_BUTTON_MIDDLE:
                event.keyCode = KC_MBUTTON;
                break;
            default:
                post = false;  // the wheel and extra buttons
                break;
            }
            break;
        case SDL_QUIT:
            event.type = ET_QUIT;
            post = true;
            break;
        case SDL_VIDEOEXPOSE:
            event.type = ET_PAINT;
            post = true;
            break;
        default:
            break;
        }
        if (post) {
            event.modifiers = s_modifierMask;
            queue->postEvent(event);
        }
    }

    if (pendingX != -1 && pendingY != -1) {
        HEvent move;
        move.type = ET_MOUSEMOVE;
        move.x = pendingX;
        move.y = pendingY;
        queue->postEvent(move);
    }
    return 1;
}

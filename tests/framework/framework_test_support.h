// What the framework's tests share: a small application of their own over
// the real SDL devices (it records what the framework hands it and answers
// events by a script), a clock the test owns, event builders, solid sprites
// and a look at the screen's pixels.
#ifndef TESTS_FRAMEWORK_FRAMEWORK_TEST_SUPPORT_H
#define TESTS_FRAMEWORK_FRAMEWORK_TEST_SUPPORT_H

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/HString.h"
#include "engine/media/H2DDisplayDevice.h"
#include "engine/media/HEvent.h"
#include "engine/media/HEventQueue.h"
#include "engine/media/HImage.h"
#include "framework/HPuzzleGame.h"
#include "framework/VGSprite.h"

// The test's clock for the event queue (and any other clock seam): every
// empty queue sleeps one "millisecond" that lasts sleepStep milliseconds of
// this clock.
struct FakeClock
{
    static inline uint64_t now = 0;
    static inline uint64_t sleepStep = 1;

    static VyTime &read(VyTime &t)
    {
        t = VyTime::fromTime64(now);
        return t;
    }
    static void sleep(uint32_t milliseconds) { now += milliseconds * sleepStep; }
};

// Events as the input device makes them.
inline HEvent keyDown(int32_t keyCode, uint8_t character, int32_t x = 0, int32_t y = 0)
{
    HEvent e;
    e.type = ET_KEYDOWN;
    e.keyCode = keyCode;
    e.character = character;
    e.x = x;
    e.y = y;
    return e;
}
inline HEvent keyUp(int32_t keyCode, uint8_t character, int32_t x = 0, int32_t y = 0)
{
    HEvent e = keyDown(keyCode, character, x, y);
    e.type = ET_KEYUP;
    return e;
}
inline HEvent clickAt(int32_t x, int32_t y)
{
    return keyDown(KC_LBUTTON, 0, x, y);
}
inline HEvent releaseAt(int32_t x, int32_t y)
{
    return keyUp(KC_LBUTTON, 0, x, y);
}
inline HEvent moveTo(int32_t x, int32_t y)
{
    HEvent e;
    e.type = ET_MOUSEMOVE;
    e.x = x;
    e.y = y;
    return e;
}
inline HEvent enterKey()
{
    return keyDown(KC_RETURN, 13);
}
inline HEvent tabKey()
{
    return keyDown(KC_TAB, 9);
}
inline HEvent typed(char c)
{
    return keyDown(0, static_cast<uint8_t>(c));
}
inline HEvent ofType(HEventType type, uint64_t time = 0)
{
    HEvent e;
    e.type = type;
    e.time = VyTime::fromTime64(time);
    return e;
}

// A loaded sprite of one colour (alpha << 24 | red << 16 | green << 8 | blue),
// owned by the caller (unload, then delete).
inline VGSprite *solidSprite(H2DDisplayDevice *display, int w, int h, uint32_t argb)
{
    HImage image(w, h, FORMAT_32BPP);
    for (int i = 0; i < w * h; ++i)
        std::memcpy(image.getData() + 4 * i, &argb, 4);
    VGSprite *sprite = new VGSprite();
    sprite->createFromImage(display, &image);
    return sprite;
}

// The screen's 16-bit pixel at (x, y).
inline uint16_t screenPixel(const H2DDisplayDevice *display, int x, int y)
{
    const H2DMemorySurface &s = display->getScreenSurface();
    return s.getPixels()[y * s.getPitch() / 2 + x];
}

class TestGame : public HPuzzleGame
{
public:
    float getMusicVolumeSetting() override { return 1.0f; }
    float getSoundVolumeSetting() override { return soundVolume; }
    const char *getTitle() override { return "Test Game"; }
    int32_t handleEvent(const HEvent &event) override
    {
        events.push_back(event);
        // A test whose end condition never comes fails instead of hanging.
        if (events.size() > 100000)
            return 1;
        return script ? script(event) : 0;
    }
    void drawRect(const HRect &rect, bool modal) override
    {
        drawn.push_back(rect);
        lastModal = modal;
    }
    VGSprite *getCursorSprite() override { return cursor; }

    // The start-up a game makes: names, base start-up, then the archive and
    // the devices when asked for.
    bool initialize(const char *commandLine, const char *resourceDirectory) override
    {
        m_cvarManager.registerVariable("companyName", "Velmora", 0);
        m_cvarManager.registerVariable("productName", "TestGame", 0);
        HPuzzleGame::initialize(commandLine, resourceDirectory);
        if (!archivePath.empty() && !m_openResourceFile(archivePath.c_str(), true))
            return false;
        if (createDevices && !m_createDevices(getTitle(), true, false, 1, 640, 480, 2, 16, 22050))
            return false;
        if (afterInitialize)
            afterInitialize(*this);
        return true;
    }

    // A ready game for in-process tests: console variables, defaults and
    // the display (no input or audio device unless a test makes them).
    bool setUpInProcess()
    {
        m_cvarManager.initCvarManager();
        registerDefaultCvars();
        setEventQueue(&m_eventQueue);
        return m_createDisplayDevice(getTitle(), false, 1, 640, 480);
    }
    void tearDownInProcess()
    {
        m_destroyDevices();
        shutdown();
    }

    void post(HEventType type, int32_t param = 0, int32_t keyCode = 0, int32_t x = 0, int32_t y = 0,
              uint8_t character = 0)
    {
        HEvent e;
        e.type = type;
        e.param = param;
        e.keyCode = keyCode;
        e.x = x;
        e.y = y;
        e.character = character;
        m_eventQueue.postEvent(e);
    }

    using HPuzzleGame::m_bMinimized;
    using HPuzzleGame::m_bPaused;
    using HPuzzleGame::m_bRngSeeded;
    using HPuzzleGame::m_bActive;
    using HPuzzleGame::m_bCursorVisible;
    using HPuzzleGame::m_bLinksDisabled;
    using HPuzzleGame::m_bVendorLinkDisabled;
    using HPuzzleGame::m_cvarManager;
    using HPuzzleGame::m_pDisplayDevice;
    using HPuzzleGame::m_pInputDevice;
    using HPuzzleGame::m_pAudioDevice;
    using HPuzzleGame::m_pDemoFile;
    using HPuzzleGame::m_pJournalFile;
    using HPuzzleGame::m_pTraceFile;
    using HPuzzleGame::m_pTraceFileSystem;
    using HPuzzleGame::m_pDemoFileSystem;
    using HPuzzleGame::m_pResourceFileSystem;
    using HPuzzleGame::m_pMusicBuffer;
    using HPuzzleGame::m_pMusicStream;
    using HPuzzleGame::m_cursorDrawX;
    using HPuzzleGame::m_cursorDrawY;
    using HPuzzleGame::m_loadingBackgroundSprite;
    using HPuzzleGame::m_progressBarSprite;

    std::function<int32_t(const HEvent &)> script;
    std::function<void(TestGame &)> afterInitialize;
    std::vector<HEvent> events;
    std::vector<HRect> drawn;
    bool lastModal = false;
    VGSprite *cursor = nullptr;
    float soundVolume = 1.0f;
    std::string archivePath;
    bool createDevices = true;
};

#endif

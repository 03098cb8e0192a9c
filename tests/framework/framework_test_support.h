// A small application of the tests' own over the real SDL devices: it
// records what the framework hands it and answers events by a script.
#ifndef TESTS_FRAMEWORK_APP_TEST_GAME_H
#define TESTS_FRAMEWORK_APP_TEST_GAME_H

#include <functional>
#include <string>
#include <vector>

#include "engine/core/HString.h"
#include "engine/media/HEvent.h"
#include "engine/media/HEventQueue.h"
#include "framework/HPuzzleGame.h"

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

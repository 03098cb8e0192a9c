// The application class: one static game object (a subclass) runs the whole
// program through it. It embeds its managers (console variables, event queue,
// sound manager, mixer, random numbers, controls, dirty rectangles), creates
// and destroys the display, input and audio devices, mounts the resource
// archive, runs the main loop with dirty-rectangle drawing and the cursor,
// keeps the pause clock and the state stack, and runs the framework's
// message and slide-show dialogs.
#ifndef FRAMEWORK_HPUZZLEGAME_H
#define FRAMEWORK_HPUZZLEGAME_H

#include <cstddef>
#include <cstdint>

#include "engine/core/HCvarManager.h"
#include "engine/core/HRNG.h"
#include "engine/core/HRect.h"
#include "engine/media/HAudioMixer.h"
#include "engine/media/HEvent.h"
#include "engine/media/HEventQueue.h"
#include "engine/media/HSoundManager.h"
#include "framework/UIManager.h"
#include "framework/VGSprite.h"

class H2DDisplayDevice;
class HAudioDevice;
class HFile;
class HFileSystem;
class HInputDevice;
class HOggVorbisAudioStream;
struct HBitmapFont;
class UIControl;

constexpr int32_t kStateStackSize = 32;

// The 36-byte snapshot of the state stack, as saveStateStack writes it and
// loadStateStack takes it: the top index (-1 for an empty stack) stored
// little-endian whatever the host's order, then the 32 entries in stack
// order, 0xFF for empty ones.
struct HStateStackSnapshot
{
    int32_t top; // little-endian bytes, through zephStoreLES32 and zephLoadLES32
    uint8_t states[kStateStackSize];
};
static_assert(sizeof(HStateStackSnapshot) == 36, "the snapshot is 36 bytes");
static_assert(offsetof(HStateStackSnapshot, top) == 0, "the top index comes first");
static_assert(offsetof(HStateStackSnapshot, states) == 4, "the entries follow the top index");
constexpr int32_t kStateStackSnapshotSize = static_cast<int32_t>(sizeof(HStateStackSnapshot));

// One entry of a sprite loading list; a null name is skipped.
struct HSpriteLoadItem
{
    VGSprite *sprite;
    const char *name;
};

// One entry of a collision-map loading list: the object loads the named
// file from the resource file system.
class HCollisionMap
{
public:
    virtual ~HCollisionMap() {}
    virtual bool load(HFileSystem *fileSystem, const char *name) = 0;
};
struct HCollisionMapLoadItem
{
    HCollisionMap *map;
    const char *name;
};

class HPuzzleGame
{
public:
    HPuzzleGame();
    virtual ~HPuzzleGame();

    HPuzzleGame(const HPuzzleGame &) = delete;
    HPuzzleGame &operator=(const HPuzzleGame &) = delete;

    // Virtual operations, in the order of the class's table.
    virtual void setCursorVisible(bool visible);
    virtual float getMusicVolumeSetting() = 0;
    virtual float getSoundVolumeSetting() = 0;
    virtual void drawCursor();
    virtual void openPartnerURL(const char *defaultURL, const char *companyName, const char *productName);
    virtual const char *getTitle() = 0;
    virtual bool isPaused();
    virtual bool areLinksDisabled();
    virtual bool isVendorLinkDisabled();
    virtual bool isStateOnStack(int32_t state);
    virtual void pushState(int32_t state);
    virtual void popState();
    virtual void setState(int32_t state);
    virtual int32_t getState(int32_t offset);
    virtual int32_t saveStateStack(void *buffer, int32_t size);
    virtual bool loadStateStack(const void *buffer, int32_t size);
    virtual bool isAnimating();
    virtual void invalidateCursor();
    virtual void registerDefaultCvars();
    virtual bool initialize(const char *commandLine, const char *resourceDirectory);
    virtual void m_destroyDevices();
    virtual void shutdown();
    virtual int32_t showMessageDialog(int32_t x, int32_t y, int32_t timeout, const char *backgroundName,
                                      const char *okName, const char *okAltName, const char *cancelName,
                                      const char *cancelAltName);
    // The six images: close, close highlighted, next, next highlighted,
    // previous, previous highlighted.
    virtual int32_t showSlideShowDialog(int32_t x, int32_t y, const char *closeName, const char *closeAltName,
                                        const char *nextName, const char *nextAltName,
                                        const char *previousName, const char *previousAltName,
                                        const char *const *slideNames, int32_t slideCount);
    virtual bool usesSpriteCursor();
    virtual void addControl(UIControl *control);
    virtual void removeControl(UIControl *control);
    // Answers 1 to end the main loop at once; any other non-zero value ends
    // it when the queue next runs empty.
    virtual int32_t handleEvent(const HEvent &event) = 0;
    virtual void drawRect(const HRect &rect, bool modal) = 0;
    virtual void postDrawRect(const HRect &rect, bool modal);
    virtual VGSprite *getCursorSprite();
    virtual void drawCursorInRect(const HRect &rect);
    virtual bool canDraw();
    virtual void onFrameDrawn();
    virtual void setActive(bool active);
    virtual bool m_createAudioDevice(HFileSystem *fileSystem, int32_t channels, int32_t bits, int32_t frequency);
    virtual bool m_createDisplayDevice(const char *title, bool fullscreen, uint8_t flag, int32_t width,
                                       int32_t height);
    virtual bool m_createInputDevice();
    virtual bool m_createDevices(const char *title, bool sound, bool fullscreen, uint8_t flag, int32_t width,
                                 int32_t height, int32_t channels, int32_t bits, int32_t frequency);
    virtual bool loadThemeMusic(const char *name, HFileSystem *fileSystem, int32_t loopPosition);
    virtual void unloadThemeMusic();
    virtual void updateThemeMusic();
    virtual void playThemeMusic(bool play);
    virtual void m_destroyAudioDevice();
    virtual void m_destroyDisplayDevice();
    virtual void m_destroyInputDevice();
    virtual bool toggleDisplayFullscreen();
    virtual void showSystemCursor(bool show);
    virtual void openURL(const char *url);
    virtual bool m_openResourceFile(const char *path, bool loadIntoMemory);
    virtual void m_closeResourceFile();
    virtual void m_beginPause();
    virtual void m_endPause();
    virtual int32_t getPauseCount();
    virtual uint64_t getPausedTime();
    virtual void resetPausedTime();
    // After each modal dialog's loop: it took every event while it ran, key
    // releases included, so nothing it consumed reached the game.
    virtual void onModalDialogEnded();

    // Runs the whole life of the game object: console variables,
    // initialize, the main loop, then devices destroyed and shut down.
    void main(const char *commandLine, const char *resourceDirectory);
    // The main loop; answers 1 when it ends.
    int32_t run();
    bool m_handleSystemEvent(const HEvent &event);

    // Drawing entry points shared with the dialogs, controls and sprites.
    void m_draw(bool modal);
    void m_flip();
    void m_invalidateScreen();
    void m_addDirtyRect(const HRect &rect);
    void m_resendCursorPosition();

    // Loading screen and resources.
    bool loadResources(const HSpriteLoadItem *sprites, int32_t count, const char *musicName, int32_t musicLoop,
                       const char *const *samples, const char *backgroundName, const char *leftLogoName,
                       const char *rightLogoName, const char *barName, int32_t barX, int32_t barY,
                       float endFraction, const char *text, const HBitmapFont *font);
    bool loadLoadingScreen(const char *backgroundName, const char *leftLogoName, const char *rightLogoName,
                           const char *barName, int32_t barX, int32_t barY);
    void unloadLoadingScreen();
    void drawLoadingProgress(float fraction, const char *text, const HBitmapFont *font);
    bool loadSprites(const HSpriteLoadItem *sprites, int32_t count, float fractionSpan, const char *text,
                     const HBitmapFont *font);
    bool loadSounds(const char *musicName, int32_t musicLoop, const char *const *samples, float startFraction,
                    float endFraction);
    bool loadCollisionMaps(const HCollisionMapLoadItem *items, int32_t count);

    // The address openPartnerURL shows: the default, replaced by the partner
    // named in the resources' "config.txt", replaced by the registry's
    // "partnerURL"; written into url, cut to size.
    void findPartnerURL(const char *defaultURL, const char *companyName, const char *productName, char *url,
                        size_t size);

    // Sound and music.
    bool playSound(const char *name, int32_t volume, uint8_t flag, bool allowRestart);
    void setAudioPaused(bool paused);
    void setMusicVolume(float volume);

    // Access for the game class, its controls and dialogs, and tests.
    H2DDisplayDevice *getDisplayDevice() const { return m_pDisplayDevice; }
    HAudioDevice *getAudioDevice() const { return m_pAudioDevice; }
    HInputDevice *getInputDevice() const { return m_pInputDevice; }
    HFileSystem *getResourceFileSystem() const { return m_pResourceFileSystem; }
    HCvarManager &getCvarManager() { return m_cvarManager; }
    HEventQueue &getEventQueue() { return m_eventQueue; }
    HSoundManager &getSoundManager() { return m_soundManager; }
    HAudioMixerStreamingAudioSource &getMixer() { return m_mixer; }
    HMersenneTwisterRNG &getRNG() { return m_rng; }
    UIManager &getUIManager() { return m_uiManager; }
    HDirtyRectList &getDirtyRects() { return m_dirtyRects; }
    uint64_t getLastEventTime() const { return m_lastEventTime; }
    void setLastEventTime(uint64_t time) { m_lastEventTime = time; }
    HBitmapFont *getFont() const { return m_pFont; }

protected:
    // Members in declaration order.
    HBitmapFont *m_pFont; // made and destroyed by the game class
    VGSprite m_progressBarSprite;
    VGSprite m_loadingBackgroundSprite;
    VGSprite m_leftLogoSprite;
    VGSprite m_rightLogoSprite;
    int32_t m_progressBarX;
    int32_t m_progressBarY;
    int8_t m_stateStack[kStateStackSize];
    int32_t m_stateTop;
    bool m_bLinksDisabled;
    bool m_bVendorLinkDisabled;
    H2DDisplayDevice *m_pDisplayDevice;
    HAudioDevice *m_pAudioDevice;
    HInputDevice *m_pInputDevice;
    HFileSystem *m_pResourceFileSystem;
    HDirtyRectList m_dirtyRects;
    bool m_bMinimized;
    bool m_bPaused;
    bool m_bActive;
    float m_musicVolume;
    int32_t m_musicHandle; // -1 until the mixer plays the music
    int32_t m_pauseCount;
    uint64_t m_pausedTime;
    uint64_t m_pauseBegin;
    uint64_t m_pauseEnd;
    HCvarManager m_cvarManager;
    HEventQueue m_eventQueue;
    HSoundManager m_soundManager;
    HMersenneTwisterRNG m_rng;
    bool m_bRngSeeded;
    UIManager m_uiManager;
    HFileSystem *m_pTraceFileSystem;
    HFile *m_pTraceFile;
    HFileSystem *m_pDemoFileSystem;
    HFile *m_pJournalFile;
    HFile *m_pDemoFile;
    uint64_t m_lastEventTime;
    HOggVorbisAudioStream *m_pMusicStream;
    HAudioMixerStreamingAudioSource m_mixer;
    uint8_t *m_pMusicBuffer; // from malloc
    bool m_bMusicPlaying;
    bool m_bCursorVisible;
    int32_t m_cursorDrawX;
    int32_t m_cursorDrawY;
};

// The one application object, set by its constructor.
extern HPuzzleGame *g_pCurrentGame;

// The running game's title ("" without a game), for messages and the usage
// text.
const char *getApplicationTitle();

#endif

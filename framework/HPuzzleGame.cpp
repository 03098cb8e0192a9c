// HPuzzleGame: construction, start-up and shutdown, the devices, the resource
// archive, the theme music and sounds, and the controls it hands on.
#include "framework/HPuzzleGame.h"

#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

#include "engine/core/HMath.h"
#include "engine/core/HFile.h"
#include "engine/core/HMessages.h"
#include "engine/core/HString.h"
#include "engine/core/HSystemRegistry.h"
#include "engine/core/HWebBrowser.h"
#include "engine/core/HZIPFileSystem.h"
#include "engine/media/HAudioDevice.h"
#include "engine/media/HInputDevice.h"
#include "engine/media/HOggVorbisAudioStream.h"
#include "engine/media/sdl/HSDL2DDisplayDevice.h"
#include "engine/media/sdl/HSDLInputDevice.h"
#include "framework/UIControl.h"

HPuzzleGame *g_pCurrentGame = nullptr;

const char *getApplicationTitle()
{
    const char *title = g_pCurrentGame ? g_pCurrentGame->getTitle() : nullptr;
    return title ? title : "";
}

HPuzzleGame::HPuzzleGame()
    : m_pFont(nullptr), m_progressBarX(0), m_progressBarY(0), m_stateTop(-1), m_bLinksDisabled(false),
      m_bVendorLinkDisabled(false), m_pDisplayDevice(nullptr), m_pAudioDevice(nullptr), m_pInputDevice(nullptr),
      m_pResourceFileSystem(nullptr), m_bMinimized(false), m_bPaused(false), m_bActive(false),
      m_musicVolume(0.25f), m_musicHandle(-1), m_pauseCount(0), m_pausedTime(0), m_pauseBegin(0), m_pauseEnd(0),
      m_bRngSeeded(false), m_pTraceFileSystem(nullptr), m_pTraceFile(nullptr), m_pDemoFileSystem(nullptr),
      m_pJournalFile(nullptr), m_pDemoFile(nullptr), m_lastEventTime(0), m_pMusicStream(nullptr),
      m_pMusicBuffer(nullptr), m_bMusicPlaying(false), m_bCursorVisible(true), m_cursorDrawX(0), m_cursorDrawY(0)
{
    std::memset(m_stateStack, 0xFF, sizeof m_stateStack);
    g_pCurrentGame = this;
}

HPuzzleGame::~HPuzzleGame()
{
    if (g_pCurrentGame == this)
        g_pCurrentGame = nullptr;
}

void HPuzzleGame::main(const char *commandLine, const char *resourceDirectory)
{
    setCommandLine(commandLine);
    if (!m_cvarManager.initCvarManager()) {
        // Without console variables neither the registry names nor the
        // device choices exist: stop before anything is opened.
        alertBox("HPuzzleGame::main - could not start the console variables");
        shutdown();
        return;
    }
    if (initialize(commandLine, resourceDirectory))
        run();
    m_destroyDevices();
    shutdown();
}

void HPuzzleGame::registerDefaultCvars()
{
    static const char *const kDefaults[][2] = {
        {"c_soundDriver", "default"}, {"c_dxversion", "0"},     {"vg_trace", "0"}, {"vg_journal", "0"},
        {"vg_demoFile", ""},          {"vg_spriteCursor", "1"}, {"c_hklm", "0"},
    };
    for (const auto &entry : kDefaults)
        m_cvarManager.registerVariable(entry[0], entry[1], 0);
}

// True when both paths name one existing file.
static bool s_isSameFile(const char *a, const char *b)
{
    struct stat first, second;
    return stat(a, &first) == 0 && stat(b, &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

static HStandardFileSystem *s_newDirectoryFileSystem(const char *root)
{
    HStandardFileSystem *fileSystem = new HStandardFileSystem();
    fileSystem->mount(root);
    return fileSystem;
}

bool HPuzzleGame::initialize(const char *commandLine, const char *resourceDirectory)
{
    registerDefaultCvars();
    m_cvarManager.parseCommandLine(commandLine);
    setResourceDirectory(resourceDirectory);

    if (m_cvarManager.getVariableInt("vg_trace") != 0) {
        m_pTraceFileSystem = s_newDirectoryFileSystem(".");
        m_pTraceFile = m_pTraceFileSystem->openFileForWrite("trace.txt");
        if (m_pTraceFile)
            setTraceFile(m_pTraceFile);
    }

    const char *demo = m_cvarManager.getVariableString("vg_demoFile");
    const bool playsDemo = demo && demo[0];
    if (m_cvarManager.getVariableInt("vg_journal") != 0) {
        // Opening the journal empties it: a recording played back from it
        // would be lost before its first event is read.
        if (playsDemo && s_isSameFile(demo, "journal.bin")) {
            tracePrint("...journal not recorded: the demo plays from it\n");
        } else {
            if (!m_pTraceFileSystem)
                m_pTraceFileSystem = s_newDirectoryFileSystem(".");
            m_pJournalFile = m_pTraceFileSystem->openFileForWrite("journal.bin");
            if (m_pJournalFile)
                m_eventQueue.setJournalFile(m_pJournalFile);
        }
    }

    if (playsDemo) {
        // The directory file system joins root and name: an absolute name
        // goes under "/" so that it still names the file it says.
        m_pDemoFileSystem = s_newDirectoryFileSystem(demo[0] == '/' ? "/" : ".");
        m_pDemoFile = m_pDemoFileSystem->openFileForRead(demo);
        if (m_pDemoFile)
            m_eventQueue.setDemoFile(m_pDemoFile);
    }

    HSystemRegistry *registry = getSystemRegistry();
    if (registry && registry->open(&m_cvarManager, m_cvarManager.getVariableString("companyName"),
                                   m_cvarManager.getVariableString("productName"))) {
        char value[8];
        if (registry->readString("disableLinks", value, sizeof value))
            m_bLinksDisabled = true;
        if (registry->readString("disableVelmoraLink", value, sizeof value))
            m_bVendorLinkDisabled = true;
        registry->close();
    }
    return true;
}

// Reads the whole file at the path into a block from malloc, through a
// directory file system on the file's folder; null, with nothing left
// allocated or open, when it cannot be opened or read whole.
static uint8_t *s_readWholeFile(const char *path, int32_t &size)
{
    const char *slash = std::strrchr(path, '/');
    char folder[kFilePathSize];
    if (!slash)
        strCopy(folder, ".", sizeof folder);
    else if (slash == path)
        strCopy(folder, "/", sizeof folder);
    else if (slash - path < kFilePathSize)
        strCopy(folder, path, static_cast<size_t>(slash - path) + 1);
    else
        return nullptr;

    HStandardFileSystem files;
    files.mount(folder);
    HFile *file = files.openFileForRead(slash ? slash + 1 : path);
    uint8_t *buffer = nullptr;
    if (file) {
        size = file->getSize();
        buffer = readAndCloseFile(file, size);
    }
    files.shutdown();
    return buffer;
}

bool HPuzzleGame::m_openResourceFile(const char *path, bool loadIntoMemory)
{
    if (!path)
        return false;
    bool mounted = false;
    if (std::strstr(path, ".vmz")) {
        HZIPFileSystem *archive = new HZIPFileSystem();
        m_pResourceFileSystem = archive;
        if (loadIntoMemory) {
            int32_t size = 0;
            uint8_t *buffer = s_readWholeFile(path, size);
            // From this call on the archive owns the block, whatever it answers.
            if (buffer)
                mounted = archive->mountFromMemory(buffer, size);
        } else {
            mounted = archive->mount(path);
        }
    } else {
        m_pResourceFileSystem = new HStandardFileSystem();
        mounted = m_pResourceFileSystem->mount(path);
    }
    if (!mounted)
        messageBox(49, "Missing Resource File", "Could not load the resource file '%s'", path);
    return mounted;
}

void HPuzzleGame::m_closeResourceFile()
{
    if (!m_pResourceFileSystem)
        return;
    m_pResourceFileSystem->shutdown();
    delete m_pResourceFileSystem;
    m_pResourceFileSystem = nullptr;
}

bool HPuzzleGame::m_createDevices(const char *title, bool, bool fullscreen, uint8_t flag, int32_t width,
                                  int32_t height, int32_t channels, int32_t bits, int32_t frequency)
{
    setEventQueue(&m_eventQueue);
    tracePrint("...Creating display device\n");
    if (!m_createDisplayDevice(title, fullscreen, flag, width, height))
        return false;
    tracePrint("...Creating input device\n");
    if (!m_createInputDevice())
        return false;
    tracePrint("...Creating audio device\n");
    if (!m_createAudioDevice(m_pResourceFileSystem, channels, bits, frequency))
        tracePrint("...***failed to create audio device***\n");
    return true;
}

bool HPuzzleGame::m_createDisplayDevice(const char *title, bool fullscreen, uint8_t flag, int32_t width,
                                        int32_t height)
{
    m_pDisplayDevice = HSDL2DDisplayDevice::create(width, height, title, fullscreen ? 1 : 0, flag, &m_cvarManager);
    if (!m_pDisplayDevice) {
        warningPrint("m_createDisplayDevice failed, probably because another instance is running");
        return false;
    }
    setDisplayDevice(m_pDisplayDevice);
    return true;
}

bool HPuzzleGame::m_createInputDevice()
{
    m_pInputDevice = HSDLInputDevice::getInstance(&m_cvarManager);
    if (!m_pInputDevice)
        return false;
    // The source stays in the list when the device goes, so a restarted
    // device must not be added (and polled) twice.
    HEventSource *source = m_pInputDevice->getEventSource();
    if (!m_eventQueue.hasEventSource(source))
        m_eventQueue.addEventSource(source);
    return true;
}

bool HPuzzleGame::m_createAudioDevice(HFileSystem *fileSystem, int32_t channels, int32_t bits, int32_t frequency)
{
    m_mixer.setFormat(channels, bits, frequency);
    m_soundManager.init(fileSystem, &m_mixer, channels, bits, frequency);
    m_pMusicStream = new HOggVorbisAudioStream();
    m_pMusicStream->open();
    m_pAudioDevice = HAudioDevice::create(&m_cvarManager, &m_mixer, channels, bits, frequency);
    // From here the device's thread reads the mixer: its changes take the device's lock.
    m_mixer.setAudioDevice(m_pAudioDevice);
    return m_pAudioDevice != nullptr;
}

void HPuzzleGame::m_destroyDevices()
{
    m_destroyAudioDevice();
    m_destroyInputDevice();
    if (m_pJournalFile) {
        m_eventQueue.clearJournalFile();
        m_pJournalFile->close();
        m_pJournalFile = nullptr;
    }
    if (m_pDemoFile) {
        // A demo that ran out was closed and cleared by the queue already.
        if (m_eventQueue.getDemoFile() == m_pDemoFile) {
            m_eventQueue.clearDemoFile();
            m_pDemoFile->close();
        }
        m_pDemoFile = nullptr;
    }
    if (m_pDemoFileSystem) {
        m_pDemoFileSystem->shutdown();
        delete m_pDemoFileSystem;
        m_pDemoFileSystem = nullptr;
    }
    debugPrint("...destroying graphics device\n");
    if (m_pDisplayDevice)
        m_destroyDisplayDevice();
}

void HPuzzleGame::m_destroyAudioDevice()
{
    playThemeMusic(false);
    m_mixer.setAudioDevice(nullptr);
    if (m_pAudioDevice)
        HAudioDevice::destroy(m_pAudioDevice);
    unloadThemeMusic();
    m_soundManager.unloadAll();
    m_mixer.close();
    m_pAudioDevice = nullptr;
}

void HPuzzleGame::m_destroyInputDevice()
{
    if (!m_pInputDevice)
        return;
    m_pInputDevice->destroy();
    HSDLInputDevice::releaseInstance();
    m_pInputDevice = nullptr;
}

void HPuzzleGame::m_destroyDisplayDevice()
{
    // The process-wide pointer must not outlive the device it names.
    if (::getDisplayDevice() == m_pDisplayDevice)
        setDisplayDevice(nullptr);
    H2DDisplayDevice::destroy(m_pDisplayDevice);
    m_pDisplayDevice = nullptr;
}

void HPuzzleGame::shutdown()
{
    m_uiManager.deleteAllControls();
    m_closeResourceFile();
    if (m_pTraceFile) {
        m_pTraceFile->close();
        m_pTraceFile = nullptr;
        setTraceFile(nullptr);
    }
    if (m_pTraceFileSystem) {
        m_pTraceFileSystem->shutdown();
        delete m_pTraceFileSystem;
        m_pTraceFileSystem = nullptr;
    }
    debugPrint("...shutting down cvm\n");
    m_cvarManager.shutdownCvarManager();
}

void HPuzzleGame::addControl(UIControl *control)
{
    if (control)
        m_uiManager.addControl(control);
}

void HPuzzleGame::removeControl(UIControl *control)
{
    if (control)
        m_uiManager.removeControl(control);
}

void HPuzzleGame::openURL(const char *url)
{
    if (url)
        launchWebBrowser(url);
}

bool HPuzzleGame::areLinksDisabled()
{
    return m_bLinksDisabled;
}

bool HPuzzleGame::isVendorLinkDisabled()
{
    return m_bVendorLinkDisabled;
}

// ---- theme music and sounds ----

bool HPuzzleGame::loadThemeMusic(const char *name, HFileSystem *fileSystem, int32_t loopPosition)
{
    if (!m_pMusicStream)
        return true;
    HFile *file = fileSystem && name ? fileSystem->openFileForRead(name) : nullptr;
    if (!file) {
        tracePrint("...***could not open theme music***\n");
        return false;
    }
    const int32_t size = file->getSize();
    uint8_t *buffer = readAndCloseFile(file, size);
    if (!buffer) {
        tracePrint("...***could not read theme music***\n");
        return false;
    }
    // A second load replaces the first: the music stops before the stream
    // lets go of the old data.
    if (m_pMusicBuffer) {
        playThemeMusic(false);
        std::free(m_pMusicBuffer);
        m_pMusicBuffer = nullptr;
    }
    m_pMusicBuffer = buffer;
    m_pMusicStream->setStream(m_pMusicBuffer, size, 16, 22050, loopPosition);
    return true;
}

void HPuzzleGame::unloadThemeMusic()
{
    playThemeMusic(false);
    std::free(m_pMusicBuffer);
    m_pMusicBuffer = nullptr;
    if (m_pMusicStream) {
        m_pMusicStream->close();
        delete m_pMusicStream;
        m_pMusicStream = nullptr;
    }
}

void HPuzzleGame::updateThemeMusic()
{
    if (m_pMusicStream && m_pMusicBuffer)
        m_pMusicStream->rewind();
}

void HPuzzleGame::playThemeMusic(bool play)
{
    if (!m_pAudioDevice || play == m_bMusicPlaying)
        return;
    if (play)
        m_mixer.playStream(&m_musicHandle, m_pMusicStream, static_cast<uint8_t>(m_musicVolume * 255.0f));
    else
        m_mixer.stopStream();
    m_bMusicPlaying = play;
}

void HPuzzleGame::setMusicVolume(float volume)
{
    volume = clampFloat(volume, 0.0f, 1.0f);
    m_musicVolume = volume;
    if (m_musicHandle != -1)
        m_mixer.setStreamVolume(static_cast<uint8_t>(volume * 255.0f));
}

void HPuzzleGame::setAudioPaused(bool paused)
{
    m_mixer.setPaused(paused);
}

bool HPuzzleGame::playSound(const char *name, int32_t volume, uint8_t flag, bool allowRestart)
{
    // The mixer's volume is a byte; keep the product in its range.
    const float scaled = clampFloat(static_cast<float>(volume) * getSoundVolumeSetting(), 0.0f, 255.0f);
    return m_soundManager.playSound(nullptr, name, 0, static_cast<uint8_t>(scaled), flag, allowRestart);
}

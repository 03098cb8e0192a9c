// HPuzzleGame: the loading screen with its progress bar, loading of sprites,
// sounds and collision maps behind it, the state stack and the partner link.
#include "framework/HPuzzleGame.h"

#include <cstring>

#include "engine/core/HMath.h"
#include "engine/core/HFile.h"
#include "engine/core/HMessages.h"
#include "engine/core/HPortability.h"
#include "engine/core/HString.h"
#include "engine/core/HSystemRegistry.h"
#include "engine/core/HWebBrowser.h"
#include "engine/media/H2DDisplayDevice.h"

// How much of the progress bar is on screen; shared by every loading pass.
static HRect s_progressExtent;

bool HPuzzleGame::loadResources(const HSpriteLoadItem *sprites, int32_t count, const char *musicName,
                                int32_t musicLoop, const char *const *samples, const char *backgroundName,
                                const char *leftLogoName, const char *rightLogoName, const char *barName,
                                int32_t barX, int32_t barY, float endFraction, const char *text,
                                const HBitmapFont *font)
{
    // A loading screen that cannot be shown does not stop the loading.
    loadLoadingScreen(backgroundName, leftLogoName, rightLogoName, barName, barX, barY);
    const float spriteShare = endFraction * 0.75f;
    if (!loadSprites(sprites, count, spriteShare, text, font)) {
        messageBox(49, "Error", "Failed to load bitmaps");
        // Nothing else would let the loading screen's pictures go.
        unloadLoadingScreen();
        return false;
    }
    loadSounds(musicName, musicLoop, samples, spriteShare, endFraction);
    unloadLoadingScreen();
    return true;
}

bool HPuzzleGame::loadLoadingScreen(const char *backgroundName, const char *leftLogoName,
                                    const char *rightLogoName, const char *barName, int32_t barX, int32_t barY)
{
    H2DDisplayDevice *display = m_pDisplayDevice;
    HFileSystem *files = m_pResourceFileSystem;
    if (leftLogoName && !m_leftLogoSprite.load(display, files, leftLogoName))
        return false;
    if (rightLogoName)
        m_rightLogoSprite.load(display, files, rightLogoName);
    if (!m_loadingBackgroundSprite.load(display, files, backgroundName))
        return false;
    if (!m_progressBarSprite.load(display, files, barName))
        return false;
    m_progressBarX = barX;
    m_progressBarY = barY;
    return true;
}

void HPuzzleGame::unloadLoadingScreen()
{
    m_leftLogoSprite.unload();
    m_loadingBackgroundSprite.unload();
    m_progressBarSprite.unload();
    m_rightLogoSprite.unload();
}

void HPuzzleGame::drawLoadingProgress(float fraction, const char *text, const HBitmapFont *font)
{
    if (!m_pDisplayDevice)
        return;
    fraction = clampFloat(fraction, 0.0f, 1.0f);
    const int32_t screenWidth = m_pDisplayDevice->getScreenWidth();
    const int32_t screenHeight = m_pDisplayDevice->getScreenHeight();
    const int32_t barHeight = m_progressBarSprite.isLoaded() ? m_progressBarSprite.getHeight() : 0;
    const int32_t barWidth = m_progressBarSprite.isLoaded() ? m_progressBarSprite.getWidth() : 0;

    if (fraction == 0.0f) {
        if (m_loadingBackgroundSprite.isLoaded())
            m_loadingBackgroundSprite.drawAt(0, 0);
        if (m_leftLogoSprite.isLoaded())
            m_leftLogoSprite.drawAt(0, screenHeight - m_leftLogoSprite.getHeight() - 1);
        if (m_rightLogoSprite.isLoaded())
            m_rightLogoSprite.drawAt(screenWidth - m_rightLogoSprite.getWidth() - 1,
                                     screenHeight - m_rightLogoSprite.getHeight() - 1);
        if (text && font)
            m_pDisplayDevice->drawText(text, 10, 100, HRect(0, 0, screenWidth, screenHeight), kAlignLeft, font,
                                       nullptr);
        s_progressExtent = HRect(m_progressBarX, m_progressBarY, m_progressBarX, m_progressBarY + barHeight);
    }

    const int32_t newRight = m_progressBarX + static_cast<int32_t>(static_cast<float>(barWidth) * fraction);
    if (newRight > s_progressExtent.x1) {
        const HRect source(s_progressExtent.x1 - m_progressBarX, 0, newRight - m_progressBarX, barHeight);
        const HRect dest(s_progressExtent.x1, s_progressExtent.y0, newRight, s_progressExtent.y1);
        m_progressBarSprite.blendBlitStandard(dest, source);
        s_progressExtent.x0 = s_progressExtent.x1;
        s_progressExtent.x1 = newRight;
    }
    m_pDisplayDevice->flip();
}

bool HPuzzleGame::loadSprites(const HSpriteLoadItem *sprites, int32_t count, float fractionSpan, const char *text,
                              const HBitmapFont *font)
{
    float fraction = 0.0f;
    for (int32_t i = 0; i < count; ++i) {
        if (sprites[i].name) {
            drawLoadingProgress(fraction, text, font);
            if (!sprites[i].sprite ||
                !sprites[i].sprite->load(m_pDisplayDevice, m_pResourceFileSystem, sprites[i].name)) {
                warningPrint("Could not load sprite '%s'", sprites[i].name);
                return false;
            }
        }
        fraction += fractionSpan / static_cast<float>(count);
    }
    return true;
}

bool HPuzzleGame::loadSounds(const char *musicName, int32_t musicLoop, const char *const *samples,
                             float startFraction, float endFraction)
{
    tracePrint("...loading sounds\n");
    drawLoadingProgress(startFraction, nullptr, nullptr);
    if (musicName)
        loadThemeMusic(musicName, m_pResourceFileSystem, musicLoop);
    if (!samples || !samples[0])
        return false;
    int32_t n = 0;
    while (samples[n])
        ++n;
    float fraction = startFraction;
    for (int32_t i = 0; i < n; ++i) {
        fraction += (endFraction - startFraction) / static_cast<float>(n);
        drawLoadingProgress(fraction, nullptr, nullptr);
        m_soundManager.preloadAudioSample(samples[i]);
    }
    return true;
}

bool HPuzzleGame::loadCollisionMaps(const HCollisionMapLoadItem *items, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        if (!items[i].name)
            continue;
        if (!items[i].map || !items[i].map->load(m_pResourceFileSystem, items[i].name)) {
            warningPrint("Could not load collision map '%s'", items[i].name);
            return false;
        }
    }
    return true;
}

// ---- state stack ----

bool HPuzzleGame::isStateOnStack(int32_t state)
{
    for (int32_t i = 0; i <= m_stateTop && i < kStateStackSize; ++i)
        if (m_stateStack[i] == static_cast<int8_t>(state))
            return true;
    return false;
}

void HPuzzleGame::pushState(int32_t state)
{
    // A full stack keeps what it has rather than writing past its entries.
    if (m_stateTop >= kStateStackSize - 1)
        return;
    ++m_stateTop;
    m_stateStack[m_stateTop] = static_cast<int8_t>(state);
}

void HPuzzleGame::popState()
{
    if (m_stateTop >= 0)
        --m_stateTop;
}

void HPuzzleGame::setState(int32_t state)
{
    std::memset(m_stateStack, 0xFF, sizeof m_stateStack);
    m_stateTop = 0;
    m_stateStack[0] = static_cast<int8_t>(state);
}

int32_t HPuzzleGame::getState(int32_t offset)
{
    const int64_t index = static_cast<int64_t>(m_stateTop) + offset;
    if (index < 0 || index >= kStateStackSize)
        return -1;
    return m_stateStack[index];
}

int32_t HPuzzleGame::saveStateStack(void *buffer, int32_t size)
{
    if (!buffer || size < kStateStackSnapshotSize)
        return 0;
    HStateStackSnapshot snapshot;
    zephStoreLES32(&snapshot.top, m_stateTop);
    std::memcpy(snapshot.states, m_stateStack, kStateStackSize);
    std::memcpy(buffer, &snapshot, sizeof snapshot);
    return kStateStackSnapshotSize;
}

bool HPuzzleGame::loadStateStack(const void *buffer, int32_t size)
{
    if (!buffer || size != kStateStackSnapshotSize)
        return false;
    HStateStackSnapshot snapshot;
    std::memcpy(&snapshot, buffer, sizeof snapshot);
    const int32_t top = zephLoadLES32(&snapshot.top);
    // Any other top would index outside the 32 entries later.
    if (top < -1 || top >= kStateStackSize)
        return false;
    m_stateTop = top;
    std::memcpy(m_stateStack, snapshot.states, kStateStackSize);
    return true;
}

// ---- partner link ----

// The partner address of "config.txt": two lines, the second
// "partnerURL=<address>". Answers false (url untouched) when the text has
// no second line; a second line of another form empties url.
static bool s_parsePartnerConfig(const char *text, char *url, size_t size)
{
    const char *lineEnd = std::strchr(text, '\n');
    if (!lineEnd || lineEnd[1] == '\0')
        return false;
    const char *line = lineEnd + 1;
    static const char kKey[] = "partnerURL=";
    if (std::strncmp(line, kKey, sizeof kKey - 1) != 0) {
        url[0] = '\0';
        return true;
    }
    const char *token = line + sizeof kKey - 1;
    size_t length = 0;
    while (token[length] && !s_isSpace(static_cast<unsigned char>(token[length])))
        ++length;
    if (length >= size)
        length = size - 1;
    std::memcpy(url, token, length);
    url[length] = '\0';
    return true;
}

void HPuzzleGame::findPartnerURL(const char *defaultURL, const char *companyName, const char *productName,
                                 char *url, size_t size)
{
    if (!url || size == 0)
        return;
    strCopy(url, defaultURL ? defaultURL : "", size);

    HFile *config = m_pResourceFileSystem ? m_pResourceFileSystem->openFileForRead("config.txt") : nullptr;
    if (config) {
        // Only the first 1023 bytes are looked at, however long the file:
        // the two lines are expected at its start.
        char text[1024];
        const int32_t read = config->read(text, sizeof text - 1);
        if (read > 0) {
            text[read] = '\0';
            s_parsePartnerConfig(text, url, size);
        }
        config->close();
    }

    HSystemRegistry *registry = getSystemRegistry();
    if (registry && registry->open(&m_cvarManager, companyName, productName)) {
        char value[1024];
        if (registry->readString("partnerURL", value, sizeof value))
            strCopy(url, value, size);
        registry->close();
    }
}

void HPuzzleGame::openPartnerURL(const char *defaultURL, const char *companyName, const char *productName)
{
    char url[1024];
    findPartnerURL(defaultURL, companyName, productName, url, sizeof url);
    launchWebBrowser(url);
}

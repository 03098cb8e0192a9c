// HPuzzleGame: the main loop, window events, dirty-rectangle drawing, the
// pause clock (in event time) and the cursor.
#include "framework/HPuzzleGame.h"

#include "engine/core/HMath.h"
#include "engine/core/HMessages.h"
#include "engine/media/H2DDisplayDevice.h"
#include "engine/media/HInputDevice.h"

int32_t HPuzzleGame::run()
{
    m_invalidateScreen();
    int32_t result = 0;
    for (;;) {
        HEvent event;
        const bool wait = m_bPaused || !isAnimating();
        while (m_eventQueue.getEvent(event, wait)) {
            m_lastEventTime = event.time.getTime64();
            if (!m_bRngSeeded && m_lastEventTime != 0) {
                m_rng.seed(static_cast<uint32_t>(m_lastEventTime));
                m_bRngSeeded = true;
            }
            if (m_handleSystemEvent(event))
                continue;
            result = handleEvent(event);
            if (result == 1)
                break;
        }
        if (result != 0)
            return 1;
        m_draw(false);
        drawCursor();
        m_flip();
    }
}

bool HPuzzleGame::m_handleSystemEvent(const HEvent &event)
{
    switch (event.type) {
    case ET_ACTIVATE:
        // Either device may be missing after a failed restart.
        if (event.param != 0) {
            if (m_pDisplayDevice)
                m_pDisplayDevice->onActivate();
            if (m_pInputDevice)
                m_pInputDevice->acquire();
            setActive(true);
        } else {
            if (m_pDisplayDevice)
                m_pDisplayDevice->onDeactivate();
            if (m_pInputDevice)
                m_pInputDevice->unacquire();
            setActive(false);
            m_invalidateScreen();
        }
        break;
    case ET_PAINT:
        m_invalidateScreen();
        break;
    case ET_WINDOW_MINIMIZED:
        if ((event.param != 0) != m_bMinimized)
            m_bMinimized = event.param != 0;
        break;
    case ET_MOUSEMOVE:
        if (usesSpriteCursor()) {
            if (VGSprite *cursor = getCursorSprite()) {
                HRect r(m_cursorDrawX, m_cursorDrawY, m_cursorDrawX + cursor->getWidth(),
                        m_cursorDrawY + cursor->getHeight());
                if (event.x < r.x0)
                    r.x0 = event.x;
                if (event.x > r.x1)
                    r.x1 = event.x;
                if (event.y < r.y0)
                    r.y0 = event.y;
                if (event.y > r.y1)
                    r.y1 = event.y;
                m_addDirtyRect(r);
            }
        }
        break;
    default:
        break;
    }
    return m_uiManager.handleEvent(event);
}

void HPuzzleGame::m_draw(bool modal)
{
    if (!canDraw())
        return;
    // Drawing may add rectangles (a control that changes its sprites asks
    // for a redraw) and a merge may reorder the list, so every pass re-reads
    // the count and copies the rectangle before the call.
    for (int32_t i = 0; i < m_dirtyRects.getCount(); ++i) {
        const HRect r = m_dirtyRects.getRect(i);
        drawRect(r, modal);
    }
    for (int32_t i = 0; i < m_dirtyRects.getCount(); ++i) {
        const HRect r = m_dirtyRects.getRect(i);
        m_uiManager.draw(r);
    }
    for (int32_t i = 0; i < m_dirtyRects.getCount(); ++i) {
        const HRect r = m_dirtyRects.getRect(i);
        postDrawRect(r, modal);
    }
    onFrameDrawn();
}

void HPuzzleGame::m_flip()
{
    if (m_pDisplayDevice)
        m_pDisplayDevice->flip();
    m_dirtyRects.clear();
}

void HPuzzleGame::m_invalidateScreen()
{
    if (!m_pDisplayDevice)
        return;
    m_dirtyRects.addRect(HRect(0, 0, m_pDisplayDevice->getScreenWidth(), m_pDisplayDevice->getScreenHeight()));
}

void HPuzzleGame::m_addDirtyRect(const HRect &rect)
{
    if (!m_pDisplayDevice)
        return;
    const int32_t width = m_pDisplayDevice->getScreenWidth();
    const int32_t height = m_pDisplayDevice->getScreenHeight();
    m_dirtyRects.addRect(HRect(clampInt(rect.x0, 0, width), clampInt(rect.y0, 0, height), clampInt(rect.x1, 0, width),
                               clampInt(rect.y1, 0, height)));
}

void HPuzzleGame::m_resendCursorPosition()
{
    m_uiManager.updatePointer(m_eventQueue.getLastPointerX(), m_eventQueue.getLastPointerY());
}

void HPuzzleGame::postDrawRect(const HRect &, bool)
{
}

bool HPuzzleGame::canDraw()
{
    return !m_bMinimized && m_pDisplayDevice != nullptr;
}

void HPuzzleGame::onFrameDrawn()
{
}

void HPuzzleGame::onModalDialogEnded()
{
}

bool HPuzzleGame::isAnimating()
{
    return false;
}

void HPuzzleGame::setActive(bool active)
{
    m_bActive = active;
}

bool HPuzzleGame::toggleDisplayFullscreen()
{
    return m_pDisplayDevice ? m_pDisplayDevice->toggleFullscreen() : false;
}

// ---- pause clock ----

void HPuzzleGame::m_beginPause()
{
    if (m_pauseCount == 0)
        m_pauseBegin = m_lastEventTime;
    ++m_pauseCount;
    debugPrint("m_beginPause - pause = %d, beginPause = %d, pauseTime = %d\n", m_pauseCount,
               static_cast<int32_t>(m_pauseBegin), static_cast<int32_t>(m_pausedTime));
}

void HPuzzleGame::m_endPause()
{
    if (m_pauseCount - 1 > 0) {
        --m_pauseCount;
    } else {
        m_pauseCount = 0;
        m_pauseEnd = m_lastEventTime;
        if (m_pauseBegin != 0) {
            m_pausedTime += m_pauseEnd - m_pauseBegin;
            m_pauseBegin = 0;
        }
    }
    debugPrint("m_endPause - pauseCount = %d, endPause = %d, pauseTime = %d\n", m_pauseCount,
               static_cast<int32_t>(m_pauseEnd), static_cast<int32_t>(m_pausedTime));
}

bool HPuzzleGame::isPaused()
{
    return m_pauseCount > 0;
}

int32_t HPuzzleGame::getPauseCount()
{
    return m_pauseCount;
}

uint64_t HPuzzleGame::getPausedTime()
{
    if (m_pauseCount != 0)
        return m_pausedTime + (m_lastEventTime - m_pauseBegin);
    return m_pausedTime;
}

void HPuzzleGame::resetPausedTime()
{
    m_pausedTime = 0;
}

// ---- cursor ----

bool HPuzzleGame::usesSpriteCursor()
{
    return m_cvarManager.getVariableInt("vg_spriteCursor") != 0;
}

VGSprite *HPuzzleGame::getCursorSprite()
{
    return nullptr;
}

// The framework draws the cursor only with the option on and a sprite to
// draw; otherwise the system cursor stays.
static VGSprite *s_spriteCursor(HPuzzleGame &game)
{
    return game.usesSpriteCursor() ? game.getCursorSprite() : nullptr;
}

void HPuzzleGame::drawCursor()
{
    for (int32_t i = 0; i < m_dirtyRects.getCount(); ++i) {
        const HRect r = m_dirtyRects.getRect(i);
        drawCursorInRect(r);
    }
}

void HPuzzleGame::drawCursorInRect(const HRect &rect)
{
    if (!m_pDisplayDevice)
        return;
    const int32_t x = m_eventQueue.getLastPointerX();
    const int32_t y = m_eventQueue.getLastPointerY();
    if (x < 0 || y < 0 || x > m_pDisplayDevice->getScreenWidth() || y > m_pDisplayDevice->getScreenHeight()) {
        showSystemCursor(true);
        return;
    }
    VGSprite *cursor = s_spriteCursor(*this);
    if (!cursor || !m_bCursorVisible)
        return;
    showSystemCursor(false);
    m_cursorDrawX = x;
    m_cursorDrawY = y;
    HRect source = cursor->getRect();
    HRect dest;
    if (!HRect(x, y, x + cursor->getWidth(), y + cursor->getHeight()).clip(rect, dest, source))
        return;
    cursor->blendBlitStandard(dest, source);
}

void HPuzzleGame::invalidateCursor()
{
    VGSprite *cursor = s_spriteCursor(*this);
    if (!cursor)
        return;
    const int32_t x = m_eventQueue.getLastPointerX();
    const int32_t y = m_eventQueue.getLastPointerY();
    m_addDirtyRect(HRect(x, y, x + cursor->getWidth(), y + cursor->getHeight()));
}

void HPuzzleGame::setCursorVisible(bool visible)
{
    if (m_bCursorVisible == visible)
        return;
    m_bCursorVisible = visible;
    if (s_spriteCursor(*this))
        invalidateCursor();
    else
        showSystemCursor(visible);
}

void HPuzzleGame::showSystemCursor(bool show)
{
    if (s_spriteCursor(*this) && m_pDisplayDevice)
        m_pDisplayDevice->showCursor(show ? 1 : 0);
}

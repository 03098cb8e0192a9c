#include "framework/VGDialog.h"

#include "engine/core/HObjectList.h"
#include "engine/core/VyTime.h"
#include "engine/media/HEvent.h"
#include "engine/media/HEventQueue.h"
#include "framework/HPuzzleGame.h"
#include "framework/VGDialogItem.h"
#include "framework/VGSprite.h"

H_DEFINE_CLASSINFO(VGDialog, "HObject");

namespace {

// Every dialog whose doModal is running, the innermost on top.
HObjectStack s_openDialogs;
// Screen rectangles the open dialogs redraw in the next drawing pass.
HDirtyRectList s_dialogDirtyRects;

constexpr uint8_t kCharTab = 9;
constexpr uint8_t kCharReturn = 13;

bool s_activates(const HEvent &event)
{
    return event.type == ET_KEYDOWN && (event.keyCode == KC_LBUTTON || event.character == kCharReturn);
}

} // namespace

VGDialog::VGDialog()
    : m_pGame(nullptr),
      m_pUserData(nullptr),
      m_x(0),
      m_y(0),
      m_pointerX(0),
      m_pointerY(0),
      m_pFirstItem(nullptr),
      m_pFocusedItem(nullptr),
      m_pDefaultItem(nullptr),
      m_pBackground(nullptr)
{
    s_dialogDirtyRects.clear();
}

VGDialog::~VGDialog()
{
}

void VGDialog::setBackground(VGSprite *background)
{
    m_pBackground = background;
    updateBounds();
}

void VGDialog::setPosition(int32_t x, int32_t y)
{
    m_x = x;
    m_y = y;
    updateBounds();
}

void VGDialog::updateBounds()
{
    if (m_pBackground)
        m_bounds = HRect(m_x, m_y, m_x + m_pBackground->getWidth(), m_y + m_pBackground->getHeight());
    else
        m_bounds = HRect(m_x, m_y, 0, 0);
}

VGDialogItem *VGDialog::doModal(HPuzzleGame *game, H2DDisplayDevice *display, HEventQueue *queue,
                                int32_t timeout, void *userData)
{
    if (!game || !queue)
        return nullptr;

    s_openDialogs.push(this);
    m_pUserData = userData;
    m_pGame = game;

    const VyTime start = VyTime::fromTime64(game->getLastEventTime());
    game->m_invalidateScreen();
    invalidateScreenRect(m_bounds);
    m_pointerX = queue->getLastPointerX();
    m_pointerY = queue->getLastPointerY();

    VGDialogItem *result = nullptr;
    bool closing = false;
    for (;;) {
        // Handle events until the queue runs empty or the dialog closes;
        // only then draw.
        HEvent event;
        while (queue->getEvent(event, true)) {
            game->setLastEventTime(event.time.getTime64());
            if (!handleEvent(event)) {
                result = kDialogQuit;
                closing = true;
                break;
            }
            VGDialogItem *target = findEventTarget(event);
            if (!target || !s_activates(event))
                continue;
            result = target;
            closing = onItemActivated(target);
            if (closing)
                break;
        }

        game->m_draw(true);
        drawOpenDialogs(display);
        game->drawCursor();
        game->m_flip();
        s_dialogDirtyRects.clear();

        if (closing)
            break;
        if (timeout > 0) {
            const int64_t elapsed =
                static_cast<int64_t>(VyTime::diff64(VyTime::fromTime64(game->getLastEventTime()), start));
            if (elapsed > timeout && onTimer()) {
                result = kDialogTimedOut;
                break;
            }
        }
    }

    invalidateScreenRect(m_bounds);
    game->m_invalidateScreen();
    s_openDialogs.pop();
    game->onModalDialogEnded();

    // A real motion at the pointer's place, whatever was posted last, so the
    // main loop refreshes hover states and the cursor.
    const int32_t x = queue->getLastPointerX();
    const int32_t y = queue->getLastPointerY();
    HEvent motion;
    motion.type = ET_MOUSEMOVE;
    motion.x = x + 1;
    motion.y = y + 1;
    queue->postEvent(motion);
    motion.x = x;
    motion.y = y;
    queue->postEvent(motion);
    return result;
}

bool VGDialog::onItemActivated(VGDialogItem *)
{
    return false;
}

bool VGDialog::onTimer()
{
    return false;
}

void VGDialog::addItem(VGDialogItem *item)
{
    if (!item)
        return;
    // Linking an item twice would close the chain into a loop.
    for (VGDialogItem *p = m_pFirstItem; p; p = p->getNext()) {
        if (p == item)
            return;
    }
    item->setNext(nullptr);
    item->setDialog(this);
    if (!m_pDefaultItem)
        setDefaultItem(item);
    setFocus(item);
    if (!m_pFirstItem) {
        m_pFirstItem = item;
        return;
    }
    VGDialogItem *last = m_pFirstItem;
    while (last->getNext())
        last = last->getNext();
    last->setNext(item);
}

void VGDialog::removeAllItems()
{
    m_pFirstItem = nullptr;
    m_pBackground = nullptr;
    setDefaultItem(nullptr);
    setFocus(nullptr);
}

void VGDialog::setDefaultItem(VGDialogItem *item)
{
    m_pDefaultItem = item;
}

void VGDialog::invalidate(const HRect &rect)
{
    invalidateScreenRect(rect);
}

bool VGDialog::handleEvent(const HEvent &event)
{
    switch (event.type) {
    case ET_QUIT:
        return false;
    case ET_PAINT:
        if (m_pGame)
            m_pGame->m_invalidateScreen();
        invalidateScreenRect(m_bounds);
        return true;
    case ET_KEYDOWN:
        if (event.character == kCharTab && m_pFocusedItem) {
            // Moves the focus without a redraw; a walk that finds no taker
            // ends where it began.
            const VGDialogItem *start = m_pFocusedItem;
            VGDialogItem *item = m_pFocusedItem;
            for (int32_t steps = m_countItems(); steps >= 0; --steps) {
                VGDialogItem *next = m_nextInChain(item);
                if (!next)
                    break;
                item = next;
                if (item == start || item->acceptsFocus())
                    break;
            }
            m_pFocusedItem = item;
        }
        return true;
    case ET_MOUSEMOVE:
        if (m_pGame && m_pGame->usesSpriteCursor()) {
            if (const VGSprite *cursor = m_pGame->getCursorSprite()) {
                const int32_t w = cursor->getWidth();
                const int32_t h = cursor->getHeight();
                invalidateScreenRect(HRect(m_pointerX, m_pointerY, m_pointerX + w, m_pointerY + h));
                invalidateScreenRect(HRect(event.x, event.y, event.x + w, event.y + h));
                m_pointerX = event.x;
                m_pointerY = event.y;
            }
        }
        return true;
    default:
        return true;
    }
}

void VGDialog::draw(H2DDisplayDevice *display)
{
    for (int32_t i = 0; i < s_dialogDirtyRects.getCount(); ++i)
        m_drawInRect(display, s_dialogDirtyRects.getRect(i));
    if (m_pGame) {
        const HDirtyRectList &gameRects = m_pGame->getDirtyRects();
        for (int32_t i = 0; i < gameRects.getCount(); ++i)
            m_drawInRect(display, gameRects.getRect(i));
    }
}

void VGDialog::m_drawInRect(H2DDisplayDevice *display, const HRect &clip)
{
    if (m_pBackground) {
        HRect source = m_pBackground->getRect();
        HRect dest;
        if (m_bounds.clip(clip, dest, source))
            m_pBackground->blit(dest, source);
    }
    for (VGDialogItem *item = m_pFirstItem; item; item = item->getNext())
        item->draw(display, clip);
}

void VGDialog::setFocus(VGDialogItem *item)
{
    if (item != m_pFocusedItem && m_pFocusedItem) {
        HRect old = m_pFocusedItem->getRect();
        old.x0 += m_bounds.x0;
        old.x1 += m_bounds.x0;
        old.y0 += m_bounds.y0;
        old.y1 += m_bounds.y0;
        invalidate(old);
    }
    m_pFocusedItem = item ? item : m_pFirstItem;
}

VGDialogItem *VGDialog::findEventTarget(const HEvent &event)
{
    if (event.type == ET_KEYDOWN && event.character == kCharReturn && m_pDefaultItem &&
        m_pDefaultItem->handleEvent(event))
        return m_pDefaultItem;
    if (!m_pFocusedItem)
        return nullptr;

    // From the focused item round the chain back to it; the bound keeps a
    // focus outside the chain from walking it for ever.
    VGDialogItem *item = m_pFocusedItem;
    for (int32_t steps = m_countItems(); steps >= 0; --steps) {
        if (item->handleEvent(event))
            return item;
        item = m_nextInChain(item);
        if (item == m_pFocusedItem)
            break;
    }
    return nullptr;
}

bool VGDialog::m_loadImage(VGSprite &sprite, H2DDisplayDevice *display, HFileSystem *fileSystem,
                           const char *path)
{
    return path && sprite.load(display, fileSystem, path);
}

const VGSprite &VGDialog::m_measuredImage(const VGSprite &normal, const VGSprite &highlighted)
{
    return normal.isLoaded() || !highlighted.isLoaded() ? normal : highlighted;
}

VGDialogItem *VGDialog::m_nextInChain(const VGDialogItem *item) const
{
    VGDialogItem *next = item->getNext();
    return next ? next : m_pFirstItem;
}

int32_t VGDialog::m_countItems() const
{
    int32_t count = 0;
    for (const VGDialogItem *item = m_pFirstItem; item; item = item->getNext())
        ++count;
    return count;
}

void VGDialog::drawOpenDialogs(H2DDisplayDevice *display)
{
    for (int32_t depth = s_openDialogs.getCount() - 1; depth >= 0; --depth) {
        if (VGDialog *dialog = static_cast<VGDialog *>(s_openDialogs.peek(depth)))
            dialog->draw(display);
    }
}

void VGDialog::invalidateScreenRect(const HRect &rect)
{
    s_dialogDirtyRects.addRect(rect);
    if (g_pCurrentGame)
        g_pCurrentGame->m_addDirtyRect(rect);
}

int32_t VGDialog::getOpenDialogCount()
{
    return s_openDialogs.getCount();
}

VGDialog *VGDialog::getOpenDialog(int32_t depth)
{
    return static_cast<VGDialog *>(s_openDialogs.peek(depth));
}

const HDirtyRectList &VGDialog::getDirtyRects()
{
    return s_dialogDirtyRects;
}

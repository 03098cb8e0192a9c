#include "framework/VGDialogItem.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "engine/core/HMath.h"
#include "engine/core/HMessages.h"
#include "engine/core/HString.h"
#include "engine/media/H2DDisplayDevice.h"
#include "engine/media/HEvent.h"
#include "framework/VGDialog.h"
#include "framework/VGSprite.h"

// The records in the order the classes are registered.
H_DEFINE_CLASSINFO(VGDialogItem, "HObject");
H_DEFINE_CLASSINFO(VGDialogItemButton, "VGDialogItem");
H_DEFINE_CLASSINFO(VGDialogItemProgressBar, "VGDialogItem");
H_DEFINE_CLASSINFO(VGDialogItemTextLine, "VGDialogItem");
H_DEFINE_CLASSINFO(VGDialogItemSlider, "VGDialogItem");

namespace {

constexpr uint8_t kCharBackspace = 8;
constexpr uint8_t kCharReturn = 13;
constexpr uint8_t kCharSpace = 32;
constexpr char kCaret = '|';

// The shown part of a text line: a 256-byte buffer copied with the bound
// 254, which leaves room for the caret.
constexpr int32_t kShownSize = 256;
constexpr int32_t kShownBound = 254;

// The text lines' shared last-redraw time and the caret clock.
uint64_t s_lastRedrawTime = 0;
VGDialogItemTextLine::ClockFunction s_caretClock = &getTicks;

// Truncated toward zero; not a number gives 0. A slider stores any value it
// is given, so the result stops at +-2^30, far beyond any screen, where
// adding a screen coordinate to it cannot overflow.
int32_t s_truncToInt(double value)
{
    constexpr double kLimit = 1073741824.0;
    if (std::isnan(value))
        return 0;
    if (value >= kLimit)
        return static_cast<int32_t>(kLimit);
    if (value <= -kLimit)
        return -static_cast<int32_t>(kLimit);
    return static_cast<int32_t>(value);
}

HRect s_offset(const HRect &rect, int32_t dx, int32_t dy)
{
    return HRect(rect.x0 + dx, rect.y0 + dy, rect.x1 + dx, rect.y1 + dy);
}

// The dialog's top-left corner, or (0, 0) outside a dialog.
void s_dialogCorner(const VGDialog *dialog, int32_t &x, int32_t &y)
{
    x = dialog ? dialog->getBounds().x0 : 0;
    y = dialog ? dialog->getBounds().y0 : 0;
}

// Buttons and sliders draw their image over their rectangle, each edge held
// to the clip rectangle's range on its axis.
void s_drawImageItem(VGSprite *image, const HRect &rect, const HRect &clip)
{
    if (!image || !rect.intersects(clip))
        return;
    const HRect dest(clampInt(rect.x0, clip.x0, clip.x1), clampInt(rect.y0, clip.y0, clip.y1),
                     clampInt(rect.x1, clip.x0, clip.x1), clampInt(rect.y1, clip.y0, clip.y1));
    image->blendBlitStandard(dest, s_offset(dest, -rect.x0, -rect.y0));
}

} // namespace

// ---------------------------------------------------------------------------
// VGDialogItem

VGDialogItem::VGDialogItem()
    : m_pDialog(nullptr), m_pNext(nullptr), m_bEnabled(true), m_pUserData(nullptr), m_x(0), m_y(0)
{
    m_name[0] = '\0';
}

VGDialogItem::~VGDialogItem()
{
}

bool VGDialogItem::isEnabled() const
{
    return m_bEnabled;
}

void VGDialogItem::setEnabled(bool enabled)
{
    m_bEnabled = enabled;
}

bool VGDialogItem::acceptsFocus() const
{
    return false;
}

HRect VGDialogItem::getRect() const
{
    return m_rect;
}

void VGDialogItem::setPosition(int32_t x, int32_t y)
{
    m_x = x;
    m_y = y;
    updateRect();
}

void *VGDialogItem::getUserData() const
{
    return m_pUserData;
}

void VGDialogItem::setUserData(void *userData)
{
    m_pUserData = userData;
}

void VGDialogItem::setName(const char *name)
{
    strCopy(m_name, name, sizeof m_name);
}

const char *VGDialogItem::getName() const
{
    return m_name;
}

void VGDialogItem::draw(H2DDisplayDevice *, const HRect &)
{
}

bool VGDialogItem::handleEvent(const HEvent &)
{
    return false;
}

void VGDialogItem::updateRect()
{
}

void VGDialogItem::invalidate(const HRect &rect)
{
    if (m_pDialog)
        m_pDialog->invalidate(rect);
}

void VGDialogItem::setDialog(VGDialog *dialog)
{
    m_pDialog = dialog;
    updateRect();
    invalidate(m_rect);
}

void VGDialogItem::setNext(VGDialogItem *next)
{
    m_pNext = next;
}

VGDialogItem *VGDialogItem::getNext() const
{
    return m_pNext;
}

// ---------------------------------------------------------------------------
// VGDialogItemButton

VGDialogItemButton::VGDialogItemButton()
    : m_bHovered(false), m_pNormalImage(nullptr), m_pHighlightedImage(nullptr), m_pDisabledImage(nullptr)
{
}

VGDialogItemButton::~VGDialogItemButton()
{
}

void VGDialogItemButton::setImages(VGSprite *normal, VGSprite *highlighted, VGSprite *disabled)
{
    m_pNormalImage = normal;
    m_pHighlightedImage = highlighted;
    m_pDisabledImage = disabled;
    updateRect();
    invalidate(m_rect);
}

void VGDialogItemButton::updateRect()
{
    int32_t cornerX, cornerY;
    s_dialogCorner(m_pDialog, cornerX, cornerY);
    const int32_t left = m_x + cornerX;
    const int32_t top = m_y + cornerY;

    // An image whose picture did not load has no size to give: a button
    // missing only its highlighted picture keeps the normal one's place.
    const VGSprite *sizer = nullptr;
    for (const VGSprite *image : {m_pDisabledImage, m_pHighlightedImage, m_pNormalImage}) {
        if (image && image->isLoaded()) {
            sizer = image;
            break;
        }
    }
    if (sizer)
        m_rect = HRect(left, top, left + sizer->getWidth(), top + sizer->getHeight());
    else
        m_rect = HRect(left, top, left, top);
}

void VGDialogItemButton::draw(H2DDisplayDevice *, const HRect &clip)
{
    VGSprite *image = m_pNormalImage;
    if (!m_bEnabled)
        image = m_pDisabledImage;
    else if (m_bHovered)
        // A highlighted picture that failed to load leaves the normal one
        // under the pointer rather than a hole.
        image = m_pHighlightedImage && !m_pHighlightedImage->isLoaded() ? m_pNormalImage : m_pHighlightedImage;
    s_drawImageItem(image, m_rect, clip);
}

bool VGDialogItemButton::handleEvent(const HEvent &event)
{
    if (!m_bEnabled)
        return false;
    switch (event.type) {
    case ET_MOUSEMOVE: {
        const bool inside = m_rect.contains(event.x, event.y);
        if (inside != m_bHovered) {
            invalidate(m_rect);
            m_bHovered = inside;
        }
        return false;
    }
    case ET_KEYDOWN:
        if (event.keyCode == KC_LBUTTON && m_rect.contains(event.x, event.y))
            return true;
        return event.character == kCharReturn;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// VGDialogItemTextLine

VGDialogItemTextLine::VGDialogItemTextLine()
    : m_textStyle(0),
      m_colour{1.0f, 1.0f, 1.0f, 1.0f},
      m_bEditable(false),
      m_maxLength(kMaxTextLength),
      m_visibleLength(64),
      m_length(0),
      m_pFont(nullptr),
      m_flags(0)
{
    m_rect = HRect(-1, -1, -1, -1);
    m_text[0] = '\0';
}

VGDialogItemTextLine::~VGDialogItemTextLine()
{
}

bool VGDialogItemTextLine::acceptsFocus() const
{
    return m_bEditable;
}

void VGDialogItemTextLine::setEditable(bool editable)
{
    m_bEditable = editable;
}

void VGDialogItemTextLine::setFont(const HBitmapFont *font)
{
    m_pFont = font;
}

void VGDialogItemTextLine::setColor(const float *colour)
{
    if (!colour)
        return;
    for (int32_t i = 0; i < 4; ++i)
        m_colour[i] = colour[i];
}

void VGDialogItemTextLine::setTextStyle(int32_t style)
{
    m_textStyle = style;
}

void VGDialogItemTextLine::setMaxLength(int32_t length)
{
    // The text buffer holds 1023 characters and the terminating zero.
    length = clampInt(length, 0, kMaxTextLength);
    m_maxLength = length;
    m_visibleLength = length;
}

void VGDialogItemTextLine::setVisibleLength(int32_t length)
{
    m_visibleLength = length;
}

void VGDialogItemTextLine::setFlags(int32_t flags)
{
    m_flags = flags;
}

int32_t VGDialogItemTextLine::getFlags() const
{
    return m_flags;
}

void VGDialogItemTextLine::setText(const char *text)
{
    strCopy(m_text, text, static_cast<size_t>(m_maxLength) + 1);
    m_length = static_cast<int32_t>(strlen(m_text));
    if (!m_pDialog)
        return;
    const bool unset = m_rect.x0 == -1 && m_rect.y0 == -1 && m_rect.x1 == -1 && m_rect.y1 == -1;
    m_pDialog->invalidate(unset ? m_pDialog->getBounds() : m_rect);
}

bool VGDialogItemTextLine::handleEvent(const HEvent &event)
{
    const bool focused = m_pDialog && m_pDialog->getFocusedItem() == this;
    switch (event.type) {
    case ET_KEYDOWN: {
        if (!m_bEditable || !m_pDialog)
            return false;
        if (event.keyCode == KC_LBUTTON) {
            const HRect &bounds = m_pDialog->getBounds();
            if (!s_offset(m_rect, bounds.x0, bounds.y0).contains(event.x, event.y))
                return false;
            m_pDialog->setFocus(this);
            return true;
        }
        if (!focused)
            return false;
        invalidate(m_pDialog->getBounds());
        const uint8_t c = event.character;
        if (c == kCharBackspace) {
            if (m_length > 0)
                m_text[--m_length] = '\0';
            return false;
        }
        if (c == kCharReturn)
            return true;
        if (c < kCharSpace || m_length >= m_maxLength)
            return false;
        m_text[m_length++] = static_cast<char>(c);
        m_text[m_length] = '\0';
        return false;
    }
    case ET_PASTE: {
        if (!m_bEditable || !focused)
            return false;
        char pasted[kTextSize];
        if (getClipboardText(pasted, kTextSize) > 0) {
            pasted[kTextSize - 1] = '\0';
            const char *start = pasted;
            while (*start == ' ')
                ++start;
            setText(start);
        }
        return true;
    }
    case ET_TIMESTAMP: {
        if (!(m_flags & kFlagBlink) && !m_bEditable)
            return false;
        const uint64_t now = event.time.getTime64();
        if (s_lastRedrawTime == 0) {
            s_lastRedrawTime = now;
            return false;
        }
        if (static_cast<int64_t>(now - s_lastRedrawTime) > kRedrawInterval && m_pDialog) {
            invalidate(m_pDialog->getBounds());
            s_lastRedrawTime = now;
        }
        return false;
    }
    default:
        return false;
    }
}

void VGDialogItemTextLine::draw(H2DDisplayDevice *display, const HRect &clip)
{
    if (!m_bEnabled)
        return;
    int32_t x, y;
    s_dialogCorner(m_pDialog, x, y);
    x += m_x;
    y += m_y;

    // The last visible-length characters; a negative visible length shows
    // nothing rather than starting past the end of the text.
    int32_t first = m_length - m_visibleLength;
    first = clampInt(first, 0, m_length);
    char shown[kShownSize];
    strCopy(shown, m_text + first, kShownBound);

    const bool odd = m_isOddHalfSecond();
    if (odd && m_bEditable && m_pDialog && m_pDialog->getFocusedItem() == this) {
        const size_t n = strlen(shown);
        shown[n] = kCaret;
        shown[n + 1] = '\0';
    }
    if (odd && (m_flags & kFlagBlink))
        return;
    if (display)
        display->drawText(shown, x, y, clip, m_textStyle, m_pFont, m_colour);
}

bool VGDialogItemTextLine::m_isOddHalfSecond()
{
    VyTime now;
    s_caretClock(now);
    const int32_t halfSeconds = static_cast<int32_t>(now.getLow()) / 500;
    return halfSeconds % 2 != 0;
}

uint64_t VGDialogItemTextLine::getLastRedrawTime()
{
    return s_lastRedrawTime;
}

void VGDialogItemTextLine::setLastRedrawTime(uint64_t time)
{
    s_lastRedrawTime = time;
}

void VGDialogItemTextLine::setClockFunction(ClockFunction clock)
{
    s_caretClock = clock ? clock : &getTicks;
}

// ---------------------------------------------------------------------------
// VGDialogItemProgressBar

VGDialogItemProgressBar::VGDialogItemProgressBar() : m_value(0.0f), m_pBarImage(nullptr)
{
}

VGDialogItemProgressBar::~VGDialogItemProgressBar()
{
}

void VGDialogItemProgressBar::setBarImage(VGSprite *image)
{
    m_pBarImage = image;
    if (image)
        m_rect = HRect(m_x, m_y, m_x + image->getWidth(), m_y + image->getHeight());
    else
        m_rect = HRect(m_x, m_y, m_x, m_y);
}

void VGDialogItemProgressBar::setPosition(int32_t x, int32_t y)
{
    VGDialogItem::setPosition(x, y);
    if (m_pBarImage)
        m_rect = HRect(m_x, m_y, m_x + m_pBarImage->getWidth(), m_y + m_pBarImage->getHeight());
}

void VGDialogItemProgressBar::setValue(float value)
{
    // The comparison fails for not-a-number, which so becomes 0.
    if (value >= 0.0f)
        m_value = value > 1.0f ? 1.0f : value;
    else
        m_value = 0.0f;
    invalidate(m_rect);
}

float VGDialogItemProgressBar::getValue() const
{
    return m_value;
}

void VGDialogItemProgressBar::draw(H2DDisplayDevice *, const HRect &clip)
{
    if (!m_pBarImage)
        return;
    const int32_t filled = s_truncToInt(static_cast<double>(m_pBarImage->getWidth()) * m_value);
    const int32_t height = m_pBarImage->getHeight();
    HRect source(0, 0, filled, height);
    HRect dest;
    if (!HRect(m_x, m_y, m_x + filled, m_y + height).clip(clip, dest, source))
        return;
    if (dest.x1 > dest.x0 && dest.y1 > dest.y0)
        m_pBarImage->blendBlitStandard(dest, source);
}

// ---------------------------------------------------------------------------
// VGDialogItemSlider

VGDialogItemSlider::VGDialogItemSlider()
    : m_bDragging(false), m_trackLength(250), m_bVertical(false), m_value(0.0f), m_pKnobImage(nullptr)
{
}

VGDialogItemSlider::~VGDialogItemSlider()
{
}

void VGDialogItemSlider::setTrack(bool vertical, int32_t length)
{
    m_bVertical = vertical;
    m_trackLength = length;
}

void VGDialogItemSlider::setValue(float value)
{
    m_value = value;
    updateRect();
}

float VGDialogItemSlider::getValue() const
{
    return m_value;
}

void VGDialogItemSlider::setKnobImage(VGSprite *image)
{
    m_pKnobImage = image;
    updateRect();
}

void VGDialogItemSlider::updateRect()
{
    if (!m_pKnobImage)
        return;
    const int32_t kw = m_pKnobImage->getWidth();
    const int32_t kh = m_pKnobImage->getHeight();
    int32_t left, top;
    s_dialogCorner(m_pDialog, left, top);
    left += m_x - kw / 2;
    top += m_y - kh / 2;
    const int32_t offset = s_truncToInt(static_cast<double>(m_trackLength) * m_value);
    if (m_bVertical)
        m_rect = HRect(left, top + offset, left + kw, top + offset + kh);
    else
        m_rect = HRect(left + offset, top, left + offset + kw, top + kh);
}

void VGDialogItemSlider::draw(H2DDisplayDevice *, const HRect &clip)
{
    s_drawImageItem(m_pKnobImage, m_rect, clip);
}

bool VGDialogItemSlider::handleEvent(const HEvent &event)
{
    if (!m_pDialog)
        return false;
    switch (event.type) {
    case ET_KEYDOWN:
        if (event.keyCode != KC_LBUTTON || !m_rect.contains(event.x, event.y))
            return false;
        m_bDragging = true;
        m_pDialog->setFocus(this);
        return true;
    case ET_KEYUP:
        if (event.keyCode != KC_LBUTTON || !m_bDragging)
            return false;
        m_bDragging = false;
        m_pDialog->setFocus(nullptr);
        return true;
    case ET_MOUSEMOVE: {
        if (!m_bDragging)
            return false;
        const HRect &bounds = m_pDialog->getBounds();
        const int32_t along = m_bVertical ? event.y - m_y - bounds.y0 : event.x - m_x - bounds.x0;
        // A track of no length has nowhere to go but its start.
        double value = m_trackLength != 0 ? static_cast<double>(along) / m_trackLength : 0.0;
        if (std::isnan(value) || value < 0.0)
            value = 0.0;
        else if (value > 1.0)
            value = 1.0;
        m_pDialog->invalidate(m_rect);
        setValue(static_cast<float>(value));
        m_pDialog->invalidate(m_rect);
        return true;
    }
    default:
        return false;
    }
}

#include "framework/UIControl.h"

#include "engine/media/HEvent.h"
#include "framework/UIManager.h"

H_DEFINE_CLASSINFO(UIControl, "HObject");

UIControl::UIControl(UIControlDelegate *delegate)
    : m_rect(-1000, -1000, -1000, -1000), m_pManager(nullptr), m_pDelegate(delegate), m_bHovered(false),
      m_bEnabled(true), m_bPressed(false)
{
    if (m_pDelegate)
        m_pDelegate->setControl(this);
}

UIControl::~UIControl()
{
    delete m_pDelegate;
    m_pDelegate = nullptr;
}

bool UIControl::handleEvent(const HEvent &event)
{
    if (isPressEvent(event)) {
        onPress();
        if (capturesMouse()) {
            setPressed(true);
            if (m_pManager)
                m_pManager->setCaptured(this);
        }
        if (m_pManager)
            m_pManager->setFocus(acceptsFocus() ? this : nullptr);
        return true;
    }

    if (event.type == ET_KEYUP && event.keyCode == KC_LBUTTON) {
        const bool wasPressed = isPressed();
        if (m_pManager)
            m_pManager->setCaptured(nullptr);
        setPressed(false);
        if (m_rect.contains(event.x, event.y) && wasPressed) {
            onClick();
            return true;
        }
        return false;
    }

    if (event.type == ET_MOUSEMOVE) {
        const bool inside = m_rect.contains(event.x, event.y);
        if (m_pManager && m_pManager->getCaptured() == this) {
            // A captured control shows pressed exactly while the pointer is over it.
            if (isPressed() != inside) {
                setPressed(!isPressed());
                setHovered(inside);
            }
            onDrag(event);
            return true;
        }
        if (inside)
            setHovered(true);
        else if (isHovered())
            setHovered(false);
        return false;
    }

    if (event.type == ET_KEYDOWN && event.character != 0) {
        if (m_pManager && m_pManager->getFocus() == this) {
            onKey(event);
            return true;
        }
        return false;
    }
    return false;
}

void UIControl::draw(const HRect &clip)
{
    if (m_pDelegate)
        m_pDelegate->draw(this, clip);
}

void UIControl::setEnabled(bool enabled)
{
    m_bEnabled = enabled;
    if (!enabled)
        setHovered(false);
    invalidate();
}

bool UIControl::isEnabled() const
{
    return m_bEnabled;
}

bool UIControl::onKey(const HEvent &event)
{
    if (event.type == ET_KEYDOWN && event.character == 9 && m_pManager && m_pManager->getFocus() == this) {
        m_pManager->focusNext();
        return true;
    }
    return false;
}

void UIControl::onDrag(const HEvent &)
{
}

void UIControl::onPress()
{
}

void UIControl::onClick()
{
}

bool UIControl::isVisible() const
{
    return true;
}

void UIControl::setPosition(int32_t x, int32_t y)
{
    m_rect.x0 = x;
    m_rect.y0 = y;
    m_updateRect();
}

HRect UIControl::getRect() const
{
    return m_rect;
}

bool UIControl::isHovered() const
{
    return m_bHovered;
}

void UIControl::setHovered(bool hovered)
{
    if (hovered == isHovered())
        return;
    m_bHovered = hovered;
    invalidate();
}

bool UIControl::isPressed() const
{
    return m_bPressed;
}

UIControlDelegate *UIControl::getDelegate() const
{
    return m_pDelegate;
}

bool UIControl::acceptsFocus() const
{
    return false;
}

bool UIControl::capturesMouse() const
{
    return true;
}

void UIControl::setPressed(bool pressed)
{
    if (pressed == isPressed())
        return;
    m_bPressed = pressed;
    invalidate();
}

bool UIControl::isPressEvent(const HEvent &event) const
{
    return event.type == ET_KEYDOWN && event.keyCode == KC_LBUTTON && m_rect.contains(event.x, event.y);
}

bool UIControl::isReleaseEvent(const HEvent &event) const
{
    return event.type == ET_KEYUP && event.keyCode == KC_LBUTTON && m_rect.contains(event.x, event.y);
}

void UIControl::setRect(const HRect &rect)
{
    m_rect = rect;
}

void UIControl::invalidate()
{
    if (m_pDelegate)
        m_pDelegate->invalidate(this);
}

void UIControl::m_updateRect()
{
    int32_t width = 0;
    int32_t height = 0;
    if (m_pDelegate)
        m_pDelegate->getSize(width, height);
    setRect(HRect(m_rect.x0, m_rect.y0, m_rect.x0 + width, m_rect.y0 + height));
    invalidate();
}

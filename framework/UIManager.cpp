#include "framework/UIManager.h"

#include "engine/media/HEvent.h"
#include "framework/UIControl.h"

H_DEFINE_CLASSINFO(UIManager, "HObject");

UIManager::UIManager()
    : m_pControls(new HObjectList(&UIControl::s_classInfo)), m_pCaptured(nullptr), m_pFocused(nullptr)
{
}

UIManager::~UIManager()
{
    // A game object that never ran its shutdown still frees its controls.
    deleteAllControls();
}

int32_t UIManager::addControl(UIControl *control)
{
    if (!m_pControls)
        return 1;
    const int32_t result = m_pControls->addHead(control);
    if (result == 0)
        control->setManager(this);
    return result;
}

void UIManager::removeControl(UIControl *control)
{
    if (!m_pControls)
        return;
    m_pControls->remove(control);
    // Nothing may route to or focus a control the manager no longer holds.
    if (m_pCaptured == control)
        m_pCaptured = nullptr;
    if (m_pFocused == control)
        m_pFocused = nullptr;
}

void UIManager::deleteAllControls()
{
    if (!m_pControls)
        return;
    // Unlink before deleting, so the list is never searched with a pointer
    // to a deleted control.
    while (HObjectListNode *node = m_pControls->getHead()) {
        HObject *control = node->getObject();
        m_pControls->remove(control);
        delete control;
    }
    delete m_pControls;
    m_pControls = nullptr;
    m_pCaptured = nullptr;
    m_pFocused = nullptr;
}

static UIControl *s_controlOf(const HObjectListNode *node)
{
    return static_cast<UIControl *>(node->getObject());
}

bool UIManager::handleEvent(const HEvent &event)
{
    if (!m_pControls)
        return false;
    if (m_pCaptured) {
        if (m_pCaptured->isEnabled() && m_pCaptured->isVisible()) {
            if (m_pCaptured->handleEvent(event))
                return true;
        } else if (m_pCaptured != m_pFocused && event.type == ET_KEYUP && event.keyCode == KC_LBUTTON) {
            // A control hidden or disabled while it held the mouse never sees
            // this release: end its capture here, or it would stay pressed.
            m_pCaptured->setPressed(false);
            m_pCaptured = nullptr;
        }
    }
    if (m_pFocused && m_pFocused->handleEvent(event))
        return true;
    // A control's handler may add or remove controls; take the next node
    // before calling it.
    for (HObjectListNode *node = m_pControls->getHead(); node;) {
        UIControl *control = s_controlOf(node);
        node = m_pControls->getNext(node);
        if (control->isEnabled() && control->isVisible() && control->handleEvent(event))
            return true;
    }
    return false;
}

void UIManager::draw(const HRect &clip)
{
    if (!m_pControls)
        return;
    for (HObjectListNode *node = m_pControls->getHead(); node; node = m_pControls->getNext(node)) {
        UIControl *control = s_controlOf(node);
        if (control->isVisible())
            control->draw(clip);
    }
}

void UIManager::updatePointer(int32_t x, int32_t y)
{
    if (!m_pControls)
        return;
    HEvent motion;
    motion.type = ET_MOUSEMOVE;
    motion.keyCode = 0;
    motion.x = x;
    motion.y = y;
    for (HObjectListNode *node = m_pControls->getHead(); node; node = m_pControls->getNext(node)) {
        UIControl *control = s_controlOf(node);
        control->setHovered(false);
        if (control->isVisible())
            control->handleEvent(motion);
    }
}

void UIManager::setFocus(UIControl *control)
{
    UIControl *old = m_pFocused;
    m_pFocused = control;
    if (old)
        old->invalidate();
}

void UIManager::focusNext()
{
    UIControl *candidate = nullptr;
    if (m_pControls) {
        bool passedFocused = false;
        for (HObjectListNode *node = m_pControls->getHead(); node; node = m_pControls->getNext(node)) {
            UIControl *control = s_controlOf(node);
            if (control == m_pFocused) {
                passedFocused = true;
                continue;
            }
            if (control->acceptsFocus() && control->isEnabled() && control->isVisible()) {
                candidate = control;
                if (passedFocused)
                    break;
            }
        }
    }
    if (m_pFocused)
        m_pFocused->invalidate();
    if (candidate)
        candidate->invalidate();
    setFocus(candidate);
}

// The control manager: owns the screen controls, remembers which one holds
// the mouse and which one has the keyboard focus, routes events to them and
// draws them. The control added last is offered events first.
#ifndef FRAMEWORK_UIMANAGER_H
#define FRAMEWORK_UIMANAGER_H

#include "engine/core/HObject.h"
#include "engine/core/HObjectList.h"
#include "engine/core/HRect.h"

struct HEvent;
class UIControl;

class UIManager : public HObject
{
    H_DECLARE_CLASSINFO();

    UIManager();
    // Leaves the list alone: deleteAllControls frees it at shutdown.
    ~UIManager() override;

    UIManager(const UIManager &) = delete;
    UIManager &operator=(const UIManager &) = delete;

    // 0 when added at the head (the control then belongs to this manager),
    // 1 when the object is not a UIControl (or the list is gone).
    int32_t addControl(UIControl *control);
    // Unlinks the control without deleting it; a captured or focused
    // control stops being so.
    void removeControl(UIControl *control);
    // Deletes every control (and so its delegate) and the list itself.
    void deleteAllControls();

    bool handleEvent(const HEvent &event);
    void draw(const HRect &clip);
    // Recomputes every control's hover state for a pointer at (x, y).
    void updatePointer(int32_t x, int32_t y);
    void setFocus(UIControl *control);
    UIControl *getFocus() const { return m_pFocused; }
    void focusNext();

    UIControl *getCaptured() const { return m_pCaptured; }
    void setCaptured(UIControl *control) { m_pCaptured = control; }
    HObjectList *getControls() const { return m_pControls; }

private:
    HObjectList *m_pControls; // owned; null after deleteAllControls
    UIControl *m_pCaptured;
    UIControl *m_pFocused;
};

#endif

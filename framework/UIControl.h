// Screen controls: clickable pictures on the game screen outside any dialog.
// A UIControl keeps its rectangle and its hover, press and enabled state and
// runs the press / capture / release protocol; its UIControlDelegate draws
// it, asks for its redraw and tells its size.
#ifndef FRAMEWORK_UICONTROL_H
#define FRAMEWORK_UICONTROL_H

#include "engine/core/HObject.h"
#include "engine/core/HRect.h"

struct HEvent;
class UIControl;
class UIManager;

// The drawing half of a control; owned by the control. Registers no record
// of its own: it answers HObject's.
class UIControlDelegate : public HObject
{
public:
    UIControlDelegate() : m_pControl(nullptr) {}
    ~UIControlDelegate() override {}

    virtual void draw(UIControl *control, const HRect &clip) = 0;
    virtual void invalidate(UIControl *control) = 0;
    virtual void getSize(int32_t &width, int32_t &height) = 0;

    UIControl *getControl() const { return m_pControl; }
    void setControl(UIControl *control) { m_pControl = control; }

protected:
    UIControl *m_pControl; // the owner, set by the control's constructor
};

class UIControl : public HObject
{
    H_DECLARE_CLASSINFO();

    // An unplaced control lies far off the screen (every corner -1000), so
    // no screen point is inside it. The delegate, when given, becomes owned.
    explicit UIControl(UIControlDelegate *delegate);
    // Deletes the delegate.
    ~UIControl() override;

    UIControl(const UIControl &) = delete;
    UIControl &operator=(const UIControl &) = delete;

    virtual bool handleEvent(const HEvent &event);
    virtual void draw(const HRect &clip);
    virtual void setEnabled(bool enabled);
    virtual bool isEnabled() const;
    // Tab on the focused control moves the focus on.
    virtual bool onKey(const HEvent &event);
    virtual void onDrag(const HEvent &event);
    // The left button went down inside.
    virtual void onPress();
    // The left button came up inside after a press still showing.
    virtual void onClick();
    virtual bool isVisible() const;
    // Moves the top-left corner and takes the delegate's size; the old
    // rectangle is not redrawn.
    virtual void setPosition(int32_t x, int32_t y);
    virtual HRect getRect() const;
    virtual bool isHovered() const;
    virtual void setHovered(bool hovered);
    virtual bool isPressed() const;
    virtual UIControlDelegate *getDelegate() const;
    virtual bool acceptsFocus() const;
    virtual bool capturesMouse() const;
    virtual void setPressed(bool pressed);
    // A left-button press / release whose point lies inside (edges count).
    virtual bool isPressEvent(const HEvent &event) const;
    virtual bool isReleaseEvent(const HEvent &event) const;
    // No redraw request.
    virtual void setRect(const HRect &rect);

    void invalidate();
    // Takes the delegate's size from the current top-left corner, redraws.
    void m_updateRect();

    UIManager *getManager() const { return m_pManager; }
    void setManager(UIManager *manager) { m_pManager = manager; }

protected:
    HRect m_rect;
    UIManager *m_pManager;          // not owned
    UIControlDelegate *m_pDelegate; // owned
    bool m_bHovered;
    bool m_bEnabled;
    bool m_bPressed;
};

#endif

// The one control delegate of the system: draws one of four sprites chosen by
// the control's state (disabled, pressed, highlighted, normal).
#ifndef FRAMEWORK_VGCONTROLDELEGATE_H
#define FRAMEWORK_VGCONTROLDELEGATE_H

#include "framework/UIControl.h"

class VGSprite;

class VGControlDelegate : public UIControlDelegate
{
    H_DECLARE_CLASSINFO();

    VGControlDelegate();
    // The sprites belong to whoever made them: nothing is released.
    ~VGControlDelegate() override;

    void draw(UIControl *control, const HRect &clip) override;
    // Asks the running game to redraw the control's rectangle.
    void invalidate(UIControl *control) override;
    // The size of the last sprite set in the order normal, highlighted,
    // disabled, pressed; 0 x 0 without sprites.
    void getSize(int32_t &width, int32_t &height) override;

    // Stores the sprites (the delegate must belong to a control already) and
    // lets the control take their size; the same four again change nothing.
    void setSprites(VGSprite *normal, VGSprite *highlighted, VGSprite *disabled, VGSprite *pressed);
    VGSprite *m_getSpriteForState(const UIControl *control) const;

    VGSprite *getHighlighted() const { return m_pHighlighted; }
    VGSprite *getDisabled() const { return m_pDisabled; }
    VGSprite *getNormal() const { return m_pNormal; }
    VGSprite *getPressed() const { return m_pPressed; }

private:
    VGSprite *m_pHighlighted;
    VGSprite *m_pDisabled;
    VGSprite *m_pNormal;
    VGSprite *m_pPressed;
};

#endif

#include "framework/VGControlDelegate.h"

#include <initializer_list>

#include "framework/HPuzzleGame.h"
#include "framework/VGSprite.h"

// No class of the base's name is registered; the record keeps the name the
// delegates have always carried.
H_DEFINE_CLASSINFO(VGControlDelegate, "UIRenderDelegate");

VGControlDelegate::VGControlDelegate()
    : m_pHighlighted(nullptr), m_pDisabled(nullptr), m_pNormal(nullptr), m_pPressed(nullptr)
{
}

VGControlDelegate::~VGControlDelegate()
{
}

VGSprite *VGControlDelegate::m_getSpriteForState(const UIControl *control) const
{
    if (!control->isEnabled())
        return m_pDisabled;
    if (control->isPressed() && m_pPressed)
        return m_pPressed;
    if (control->isHovered())
        return m_pHighlighted;
    return m_pNormal;
}

void VGControlDelegate::draw(UIControl *control, const HRect &clip)
{
    if (!control || !control->isVisible())
        return;
    VGSprite *sprite = m_getSpriteForState(control);
    if (!sprite)
        return;
    HRect source = sprite->getRect();
    HRect dest;
    if (!control->getRect().clip(clip, dest, source))
        return;
    sprite->blendBlitStandard(dest, source);
}

void VGControlDelegate::invalidate(UIControl *control)
{
    if (g_pCurrentGame && control)
        g_pCurrentGame->m_addDirtyRect(control->getRect());
}

void VGControlDelegate::getSize(int32_t &width, int32_t &height)
{
    width = 0;
    height = 0;
    for (VGSprite *sprite : {m_pNormal, m_pHighlighted, m_pDisabled, m_pPressed}) {
        if (sprite) {
            width = sprite->getWidth();
            height = sprite->getHeight();
        }
    }
}

void VGControlDelegate::setSprites(VGSprite *normal, VGSprite *highlighted, VGSprite *disabled, VGSprite *pressed)
{
    if (normal == m_pNormal && highlighted == m_pHighlighted && disabled == m_pDisabled && pressed == m_pPressed)
        return;
    m_pNormal = normal;
    m_pHighlighted = highlighted;
    m_pDisabled = disabled;
    m_pPressed = pressed;
    if (m_pControl)
        m_pControl->m_updateRect();
}

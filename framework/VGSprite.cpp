#include "framework/VGSprite.h"

#include <new>

#include "engine/core/HMessages.h"
#include "engine/core/HString.h"
#include "engine/media/H2DDisplayDevice.h"
#include "engine/media/HImage.h"
#include "engine/media/HImageLoader.h"

H_DEFINE_CLASSINFO(VGSprite, "HObject");

VGSprite::VGSprite() : m_pDisplay(nullptr), m_pSpriteSurface(nullptr)
{
    strCopy(m_name, "(unnamed)", sizeof m_name);
}

VGSprite::~VGSprite()
{
}

VGSprite *VGSprite::cloneSprite(const HClassInfo *classInfo) const
{
    if (!isExactly(classInfo) || !m_pSpriteSurface || !m_pDisplay)
        return nullptr;
    VGSprite *copy = new (std::nothrow) VGSprite;
    if (!copy)
        return nullptr;
    copy->m_pDisplay = m_pDisplay;
    copy->m_pSpriteSurface = m_pDisplay->cloneSurface(m_pSpriteSurface);
    return copy;
}

bool VGSprite::isLoaded() const
{
    return m_pSpriteSurface != nullptr;
}

void VGSprite::drawAt(int32_t x, int32_t y)
{
    if (!m_pSpriteSurface)
        return;
    const int32_t width = getWidth();
    const int32_t height = getHeight();
    m_pDisplay->blitClipped(HRect(x, y, x + width, y + height), HRect(0, 0, width, height), m_pSpriteSurface);
}

void VGSprite::blendBlit(const HRect &dest, const HRect &src, int32_t srcAlphaSource, int32_t srcParamSource,
                         int32_t srcInvert, int32_t srcConstAlpha, int32_t dstAlphaSource, int32_t dstParamSource,
                         int32_t dstInvert, int32_t dstConstAlpha, int32_t op)
{
    if (!m_pSpriteSurface)
        return;
    m_pDisplay->blendBlitClipped(dest, src, m_pSpriteSurface, srcAlphaSource, srcParamSource, srcInvert,
                                 srcConstAlpha, dstAlphaSource, dstParamSource, dstInvert, dstConstAlpha, op);
}

void VGSprite::blit(const HRect &dest, const HRect &src)
{
    if (!m_pSpriteSurface)
        return;
    m_pDisplay->blitClipped(dest, src, m_pSpriteSurface);
}

bool VGSprite::createFromImage(H2DDisplayDevice *display, const HImage *image)
{
    if (!m_pSpriteSurface) {
        m_pDisplay = display;
        if (display && image)
            m_pSpriteSurface = display->createSurface(image);
    }
    addRef();
    return true;
}

bool VGSprite::load(H2DDisplayDevice *display, HFileSystem *fileSystem, const char *name)
{
    if (m_pSpriteSurface) {
        addRef();
        return true;
    }
    m_pDisplay = display;
    if (!fileSystem) {
        const char *title = getApplicationTitle ? getApplicationTitle() : "";
        messageBox(49, "Error", "%s's read file system was not initialized.", title ? title : "");
        return false;
    }

    HImageLoaderProxy proxy;
    if (!name || !proxy.load(fileSystem, name)) {
        warningPrint("Could not open '%s'", name ? name : "");
        return false;
    }
    if (proxy.getImage() && display)
        m_pSpriteSurface = display->createSurface(proxy.getImage());
    proxy.freeImage();
    // A picture that could not become a surface (no memory) is a failed
    // load, not a loaded sprite without pixels.
    if (!m_pSpriteSurface) {
        warningPrint("Could not open '%s'", name);
        return false;
    }
    strCopy(m_name, name, sizeof m_name);
    addRef();
    return true;
}

void VGSprite::unload()
{
    if (release() > 0)
        return;
    if (m_pSpriteSurface) {
        m_pDisplay->destroySurface(m_pSpriteSurface);
        m_pSpriteSurface = nullptr;
    }
}

int32_t VGSprite::getWidth() const
{
    if (!m_pSpriteSurface) {
        warningPrint("getWidth: m_pSpriteSurface == 0 for sprite '%s'", m_name);
        return 0;
    }
    return m_pSpriteSurface->getWidth();
}

int32_t VGSprite::getHeight() const
{
    if (!m_pSpriteSurface) {
        warningPrint("getHeight: m_pSpriteSurface == 0 for sprite '%s'", m_name);
        return 0;
    }
    return m_pSpriteSurface->getHeight();
}

HRect VGSprite::getRect() const
{
    return HRect(0, 0, getWidth(), getHeight());
}

void VGSprite::blendBlitStandard(const HRect &dest, const HRect &src)
{
    const HBlendMode &b = kStandardBlend;
    blendBlit(dest, src, b.srcAlphaSource, b.srcParamSource, b.srcInvert, b.srcConstAlpha, b.dstAlphaSource,
              b.dstParamSource, b.dstInvert, b.dstConstAlpha, b.op);
}

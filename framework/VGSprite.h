// VGSprite: a named, reference-counted picture on a display surface, drawn
// clipped to the screen. Every load adds a reference and every unload drops
// one; the surface goes when the count reaches zero or below. The count
// never deletes the sprite object itself.
#ifndef FRAMEWORK_VGSPRITE_H
#define FRAMEWORK_VGSPRITE_H

#include <cstdint>

#include "engine/core/HObject.h"
#include "engine/core/HRect.h"

class H2DDisplayDevice;
class H2DMemorySurface;
class HFileSystem;
class HImage;

// The application's title for messages; defined by the application class.
// While no application is linked in, messages name no program.
const char *getApplicationTitle() __attribute__((weak));

class VGSprite : public HObject
{
    H_DECLARE_CLASSINFO();

    enum { kNameSize = 64 };

    VGSprite();
    // Does not destroy the surface: owners unload their sprites first.
    ~VGSprite() override;

    VGSprite(const VGSprite &) = delete;
    VGSprite &operator=(const VGSprite &) = delete;

    // A copy with its own surface, only when asked for exactly this class;
    // null otherwise (and for a sprite without a surface).
    virtual VGSprite *cloneSprite(const HClassInfo *classInfo) const;
    virtual bool isLoaded() const;
    // The whole sprite with its top-left corner at (x, y), opaque or masked.
    virtual void drawAt(int32_t x, int32_t y);
    // The src rectangle of the sprite to dest through the blender, clipped.
    virtual void blendBlit(const HRect &dest, const HRect &src, int32_t srcAlphaSource, int32_t srcParamSource,
                           int32_t srcInvert, int32_t srcConstAlpha, int32_t dstAlphaSource,
                           int32_t dstParamSource, int32_t dstInvert, int32_t dstConstAlpha, int32_t op);
    // The src rectangle of the sprite to dest, clipped, opaque or masked.
    virtual void blit(const HRect &dest, const HRect &src);
    // blendBlit with the standard blend: the sprite over the screen weighted
    // by its alpha mask, as most callers draw.
    void blendBlitStandard(const HRect &dest, const HRect &src);
    // Makes the surface from an image unless there is one; adds a reference.
    virtual bool createFromImage(H2DDisplayDevice *display, const HImage *image);
    // Makes the surface from an image file unless there is one; adds a
    // reference on success.
    virtual bool load(H2DDisplayDevice *display, HFileSystem *fileSystem, const char *name);
    // Drops a reference; destroys the surface when none is left.
    virtual void unload();
    virtual int32_t getWidth() const;
    virtual int32_t getHeight() const;
    // (0, 0, width, height).
    virtual HRect getRect() const;

    const char *getName() const { return m_name; }
    H2DDisplayDevice *getDisplay() const { return m_pDisplay; }
    const H2DMemorySurface *getSurface() const { return m_pSpriteSurface; }

protected:
    H2DDisplayDevice *m_pDisplay;        // not owned
    H2DMemorySurface *m_pSpriteSurface;  // owned
    char m_name[kNameSize];
};

#endif

// A ready-made dialog of full pictures (pages) paged with previous and next
// buttons and closed with a close button; a quit request does not end it.
#ifndef FRAMEWORK_VGSLIDESHOWDIALOG_H
#define FRAMEWORK_VGSLIDESHOWDIALOG_H

#include <cstdint>

#include "framework/VGDialog.h"
#include "framework/VGDialogItem.h"
#include "framework/VGSprite.h"

class H2DDisplayDevice;
class HFileSystem;

// Registers no record of its own: it answers VGDialog's.
class VGSlideShowDialog : public VGDialog
{
public:
    VGSlideShowDialog();
    // Leaves the pages alone: destroyPages releases them.
    ~VGSlideShowDialog() override;

    // Makes and loads pageCount pages (each a sprite of its own in an array
    // made here), shows page 0 at (x, y) and places the buttons over it.
    // Answers 1, or 0 when a display, a file system, a path or every page is
    // missing (pageCount below 1) or the first page or the close image does
    // not load; another image that does not load is simply not drawn. The
    // pages made are kept for destroyPages in every case.
    int32_t layout(int32_t x, int32_t y, H2DDisplayDevice *display, HFileSystem *fileSystem,
                   const char *closePath, const char *closeHighlightedPath, const char *nextPath,
                   const char *nextHighlightedPath, const char *previousPath,
                   const char *previousHighlightedPath, const char *const *pagePaths, int32_t pageCount);
    // One unload for each of the six button images.
    void unloadImages();
    // Unloads and deletes every page and frees their array.
    void destroyPages();

    // Close closes; next and previous turn the page.
    bool onItemActivated(VGDialogItem *item) override;
    // Swallows a quit request; everything else goes to the base.
    bool handleEvent(const HEvent &event) override;

    VGDialogItemButton &getCloseButton() { return m_closeButton; }
    VGDialogItemButton &getPreviousButton() { return m_previousButton; }
    VGDialogItemButton &getNextButton() { return m_nextButton; }
    VGSprite *getPage(int32_t index) const;
    int32_t getPageCount() const { return m_pageCount; }
    int32_t getCurrentPage() const { return m_currentPage; }

protected:
    VGDialogItemButton m_closeButton;
    VGDialogItemButton m_previousButton;
    VGDialogItemButton m_nextButton;
    VGSprite m_closeImage;
    VGSprite m_closeHighlightedImage;
    VGSprite m_nextImage;
    VGSprite m_nextHighlightedImage;
    VGSprite m_previousImage;
    VGSprite m_previousHighlightedImage;
    VGSprite **m_pPages;  // made by layout, released by destroyPages
    int32_t m_pageCount;
    int32_t m_currentPage;
};

#endif

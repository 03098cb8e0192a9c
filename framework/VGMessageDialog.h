// A ready-made confirmation dialog built from pictures only: a background
// holding the text, an OK button and an optional cancel button.
#ifndef FRAMEWORK_VGMESSAGEDIALOG_H
#define FRAMEWORK_VGMESSAGEDIALOG_H

#include <cstdint>

#include "framework/VGDialog.h"
#include "framework/VGDialogItem.h"
#include "framework/VGSprite.h"

class H2DDisplayDevice;
class HFileSystem;

// Registers no record of its own: it answers VGDialog's.
class VGMessageDialog : public VGDialog
{
public:
    VGMessageDialog();
    ~VGMessageDialog() override;

    // Loads the images and places the dialog and its buttons; an x or y of
    // -1 centres the dialog on that axis of the screen. A non-zero okWaits
    // starts the OK button disabled until the time-out has run out. Without
    // a cancel path there is no cancel button; without highlighted paths the
    // normal images stand in. A named cancel or highlighted image that does
    // not load is simply not drawn. Answers 1, or 0 when a display, a file
    // system, the background or the OK image is missing or does not load
    // (whatever did load is still laid out and must be unloaded).
    int32_t layout(H2DDisplayDevice *display, HFileSystem *fileSystem, int32_t x, int32_t y, int32_t okWaits,
                   const char *backgroundPath, const char *okPath, const char *okHighlightedPath,
                   const char *cancelPath, const char *cancelHighlightedPath);
    // One unload for each of the five images.
    void unloadImages();

    // Any activated button closes the dialog with itself.
    bool onItemActivated(VGDialogItem *item) override;
    // Makes OK usable; the dialog stays open.
    bool onTimer() override;

    VGDialogItemButton &getOkButton() { return m_okButton; }
    VGDialogItemButton &getCancelButton() { return m_cancelButton; }
    bool hasCancelButton() const { return m_bHasCancel; }

protected:
    VGDialogItemButton m_okButton;
    VGDialogItemButton m_cancelButton;
    VGSprite m_backgroundImage;
    VGSprite m_okImage;
    VGSprite m_cancelImage;
    VGSprite m_okHighlightedImage;
    VGSprite m_cancelHighlightedImage;
    bool m_bHasCancel;
};

#endif

// The framework's dialog runners: build a ready-made dialog, run it, tidy up.
#include "framework/HPuzzleGame.h"
#include "framework/VGMessageDialog.h"
#include "framework/VGSlideShowDialog.h"

int32_t HPuzzleGame::showMessageDialog(int32_t x, int32_t y, int32_t timeout, const char *backgroundName,
                                       const char *okName, const char *okAltName, const char *cancelName,
                                       const char *cancelAltName)
{
    VGMessageDialog dialog;
    // A negative time-out never runs out, so it must not keep OK waiting:
    // with no cancel button the dialog could then never be confirmed.
    const int32_t okWaits = timeout > 0 ? timeout : 0;
    int32_t result = 0;
    // Without its background or OK picture the dialog would show nothing
    // to read or click, so it is not run and answers as if cancelled.
    if (dialog.layout(m_pDisplayDevice, m_pResourceFileSystem, x, y, okWaits, backgroundName, okName, okAltName,
                      cancelName, cancelAltName)) {
        VGDialogItem *answer = dialog.doModal(this, m_pDisplayDevice, &m_eventQueue, timeout, this);
        if (answer == &dialog.getOkButton())
            result = 1;
        else if (answer == kDialogQuit)
            result = 2;
    }
    dialog.unloadImages();
    dialog.removeAllItems();
    m_invalidateScreen();
    return result;
}

int32_t HPuzzleGame::showSlideShowDialog(int32_t x, int32_t y, const char *closeName, const char *closeAltName,
                                         const char *nextName, const char *nextAltName,
                                         const char *previousName, const char *previousAltName,
                                         const char *const *slideNames, int32_t slideCount)
{
    VGSlideShowDialog dialog;
    if (dialog.layout(x, y, m_pDisplayDevice, m_pResourceFileSystem, closeName, closeAltName, nextName,
                      nextAltName, previousName, previousAltName, slideNames, slideCount))
        dialog.doModal(this, m_pDisplayDevice, &m_eventQueue, 0, this);
    dialog.destroyPages();
    dialog.unloadImages();
    dialog.removeAllItems();
    return 1;
}

#include "framework/VGMessageDialog.h"

#include "engine/media/H2DDisplayDevice.h"

VGMessageDialog::VGMessageDialog() : m_bHasCancel(false)
{
}

VGMessageDialog::~VGMessageDialog()
{
}

int32_t VGMessageDialog::layout(H2DDisplayDevice *display, HFileSystem *fileSystem, int32_t x, int32_t y,
                                int32_t okWaits, const char *backgroundPath, const char *okPath,
                                const char *okHighlightedPath, const char *cancelPath,
                                const char *cancelHighlightedPath)
{
    if (!display || !fileSystem || !backgroundPath || !okPath)
        return 0;

    // Without its background or its OK picture the dialog would show
    // nothing to read or to click. The other pictures are extras: one that
    // does not load leaves its button without that picture.
    bool usable = m_loadImage(m_backgroundImage, display, fileSystem, backgroundPath);
    usable = m_loadImage(m_okImage, display, fileSystem, okPath) && usable;
    m_bHasCancel = cancelPath != nullptr;
    if (cancelPath)
        m_loadImage(m_cancelImage, display, fileSystem, cancelPath);
    if (okHighlightedPath)
        m_loadImage(m_okHighlightedImage, display, fileSystem, okHighlightedPath);
    if (cancelHighlightedPath)
        m_loadImage(m_cancelHighlightedImage, display, fileSystem, cancelHighlightedPath);

    setBackground(&m_backgroundImage);
    const int32_t width = m_backgroundImage.getWidth();
    const int32_t height = m_backgroundImage.getHeight();
    if (x == -1)
        x = (display->getScreenWidth() - width) / 2;
    if (y == -1)
        y = (display->getScreenHeight() - height) / 2;
    setPosition(x, y);

    m_okButton.setName("Are you sure, ok");
    m_okButton.setImages(&m_okImage, okHighlightedPath ? &m_okHighlightedImage : &m_okImage, nullptr);
    if (okWaits != 0)
        m_okButton.setEnabled(false);
    if (m_bHasCancel) {
        m_cancelButton.setName("Are you sure, cancel");
        m_cancelButton.setImages(&m_cancelImage,
                                 cancelHighlightedPath ? &m_cancelHighlightedImage : &m_cancelImage, nullptr);
    }

    const VGSprite &okShape = m_measuredImage(m_okImage, m_okHighlightedImage);
    const int32_t okWidth = okShape.getWidth();
    const int32_t rowY = height - (okShape.getHeight() * 3) / 2;
    const int32_t okX = m_bHasCancel ? (width - okWidth) / 4 : (width - okWidth) / 2;
    m_okButton.setPosition(okX, rowY);
    addItem(&m_okButton);
    if (m_bHasCancel) {
        const int32_t cancelWidth = m_measuredImage(m_cancelImage, m_cancelHighlightedImage).getWidth();
        m_cancelButton.setPosition(((width - cancelWidth) * 3) / 4, rowY);
        addItem(&m_cancelButton);
        // Enter cancels.
        setDefaultItem(&m_cancelButton);
    }
    return usable ? 1 : 0;
}

void VGMessageDialog::unloadImages()
{
    m_backgroundImage.unload();
    m_okImage.unload();
    m_cancelImage.unload();
    m_okHighlightedImage.unload();
    m_cancelHighlightedImage.unload();
}

bool VGMessageDialog::onItemActivated(VGDialogItem *)
{
    return true;
}

bool VGMessageDialog::onTimer()
{
    m_okButton.setEnabled(true);
    invalidate(m_okButton.getRect());
    return false;
}

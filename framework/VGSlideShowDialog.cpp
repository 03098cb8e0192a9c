#include "framework/VGSlideShowDialog.h"

#include <new>

#include "engine/media/HEvent.h"

VGSlideShowDialog::VGSlideShowDialog() : m_pPages(nullptr), m_pageCount(0), m_currentPage(0)
{
}

VGSlideShowDialog::~VGSlideShowDialog()
{
}

int32_t VGSlideShowDialog::layout(int32_t x, int32_t y, H2DDisplayDevice *display, HFileSystem *fileSystem,
                                  const char *closePath, const char *closeHighlightedPath, const char *nextPath,
                                  const char *nextHighlightedPath, const char *previousPath,
                                  const char *previousHighlightedPath, const char *const *pagePaths,
                                  int32_t pageCount)
{
    if (!display || !fileSystem || !pagePaths || pageCount < 1 || m_pPages)
        return 0;
    const char *const buttonPaths[] = {closePath,    closeHighlightedPath,    nextPath,
                                       nextHighlightedPath, previousPath, previousHighlightedPath};
    for (const char *path : buttonPaths) {
        if (!path)
            return 0;
    }

    m_pPages = new (std::nothrow) VGSprite *[pageCount];
    if (!m_pPages)
        return 0;
    m_pageCount = pageCount;
    m_currentPage = 0;
    for (int32_t i = 0; i < pageCount; ++i) {
        m_pPages[i] = new (std::nothrow) VGSprite;
        if (m_pPages[i])
            m_loadImage(*m_pPages[i], display, fileSystem, pagePaths[i]);
    }
    if (!m_pPages[0])
        return 0;

    setPosition(x, y);
    setBackground(m_pPages[0]);

    VGSprite *const images[] = {&m_closeImage,    &m_closeHighlightedImage,    &m_nextImage,
                                &m_nextHighlightedImage, &m_previousImage, &m_previousHighlightedImage};
    for (int32_t i = 0; i < 6; ++i)
        m_loadImage(*images[i], display, fileSystem, buttonPaths[i]);

    const int32_t width = m_pPages[0]->getWidth();
    const int32_t height = m_pPages[0]->getHeight();
    const VGSprite &close = m_measuredImage(m_closeImage, m_closeHighlightedImage);
    const VGSprite &previous = m_measuredImage(m_previousImage, m_previousHighlightedImage);
    const VGSprite &next = m_measuredImage(m_nextImage, m_nextHighlightedImage);
    m_closeButton.setImages(&m_closeImage, &m_closeHighlightedImage, nullptr);
    m_closeButton.setPosition(width / 4, height - (close.getHeight() * 5) / 4);
    m_previousButton.setImages(&m_previousImage, &m_previousHighlightedImage, nullptr);
    m_previousButton.setPosition((2 * width) / 3, height - (previous.getHeight() * 3) / 2);
    m_nextButton.setImages(&m_nextImage, &m_nextHighlightedImage, nullptr);
    m_nextButton.setPosition((2 * width) / 3 + 2 * previous.getWidth(), height - (next.getHeight() * 3) / 2);

    m_previousButton.setEnabled(false);
    if (pageCount == 1)
        m_nextButton.setEnabled(false);

    // Close is the default item (Enter closes); next ends with the focus.
    addItem(&m_closeButton);
    addItem(&m_previousButton);
    addItem(&m_nextButton);
    // The show needs its first page to show and its close picture to end
    // it; a later page or another button picture that did not load is
    // simply not drawn.
    return m_pPages[0]->isLoaded() && m_closeImage.isLoaded() ? 1 : 0;
}

void VGSlideShowDialog::unloadImages()
{
    m_closeImage.unload();
    m_closeHighlightedImage.unload();
    m_nextImage.unload();
    m_nextHighlightedImage.unload();
    m_previousImage.unload();
    m_previousHighlightedImage.unload();
}

void VGSlideShowDialog::destroyPages()
{
    if (!m_pPages)
        return;
    for (int32_t i = 0; i < m_pageCount; ++i) {
        // The dialog must not keep showing a page that is gone.
        if (m_pBackground == m_pPages[i])
            m_pBackground = nullptr;
        if (m_pPages[i]) {
            m_pPages[i]->unload();
            delete m_pPages[i];
        }
    }
    delete[] m_pPages;
    m_pPages = nullptr;
    m_pageCount = 0;
    m_currentPage = 0;
}

VGSprite *VGSlideShowDialog::getPage(int32_t index) const
{
    if (!m_pPages || index < 0 || index >= m_pageCount)
        return nullptr;
    return m_pPages[index];
}

bool VGSlideShowDialog::onItemActivated(VGDialogItem *item)
{
    if (item == &m_closeButton)
        return true;
    if (item == &m_nextButton)
        ++m_currentPage;
    else if (item == &m_previousButton)
        --m_currentPage;

    if (m_currentPage >= m_pageCount)
        m_currentPage = m_pageCount - 1;
    if (m_currentPage < 0)
        m_currentPage = 0;
    m_nextButton.setEnabled(m_currentPage != m_pageCount - 1);
    m_previousButton.setEnabled(m_currentPage != 0);

    setBackground(getPage(m_currentPage));
    invalidate(m_bounds);
    return false;
}

bool VGSlideShowDialog::handleEvent(const HEvent &event)
{
    if (event.type == ET_QUIT)
        return true;
    return VGDialog::handleEvent(event);
}

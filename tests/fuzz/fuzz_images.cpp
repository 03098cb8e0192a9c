// An image file as the sprites load it: through the loader proxy, which picks
// the TGA, JPEG or PNG decoder by the name. The first byte chooses the name
// (one matching no decoder as well), the rest is the file. A loaded image is
// read whole, so pixels the decoder claims but never allocated are caught.
#include <cstdint>
#include <string>

#include "engine/media/HImage.h"
#include "engine/media/HImageLoader.h"
#include "support/memory_file_system.h"
#include "touch_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const char *const kNames[] = {"art/picture.tga", "art/picture.jpg", "art/picture.png",
                                         "art/picture.bmp"};
    const char *name = kNames[data[0] & 3];
    MemoryFileSystem files;
    files.add(name, std::string(reinterpret_cast<const char *>(data) + 1, size - 1));

    HImageLoaderProxy loader;
    if (loader.load(&files, name)) {
        const HImage *image = loader.getImage();
        // A load that answers true must hand over a whole, valid image.
        if (image == nullptr || image->getData() == nullptr
            || !HImage::isLoadableSize(image->getWidth(), image->getHeight())
            || HImage::bytesPerPixelOf(image->getFormat()) == 0)
            __builtin_trap();
        touchBytes(image->getData(), size_t(image->getWidth()) * size_t(image->getHeight())
                                         * size_t(HImage::bytesPerPixelOf(image->getFormat())));
    } else if (loader.getImage() != nullptr) {
        __builtin_trap();  // a failed load left an image behind
    }
    loader.freeImage();
    if (files.openCount() != 0)
        __builtin_trap();  // the loader left its file open
    return 0;
}

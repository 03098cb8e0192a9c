#include <cstdlib>
#include <cstring>
#include <new>

#include <png.h>

#include "engine/core/HMessages.h"
#include "engine/media/HImageLoader.h"

namespace {

constexpr int kPngSignatureSize = 8;

// libpng must not get control back from its error function: show the alert,
// then jump to the setjmp in decodePng.
void pngError(png_structp png, png_const_charp message)
{
    alertBox("lpng122 encountered fatal error '%s'", message);
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp message)
{
    alertBox("lpng122 encountered warning '%s'", message);
}

struct PngSource {
    const uint8_t *next;
    size_t left;
};

void pngRead(png_structp png, png_bytep out, png_size_t length)
{
    PngSource *source = static_cast<PngSource *>(png_get_io_ptr(png));
    if (length > source->left)
        png_error(png, "read past the end of the data");
    memcpy(out, source->next, length);
    source->next += length;
    source->left -= length;
}

// Converts one decoded row of 8-bit samples into blue, green, red, alpha.
// False when a palette index lies beyond the palette.
bool convertRow(const uint8_t *in, uint8_t *out, int32_t width, int colorType, const png_color *palette,
                int paletteSize)
{
    switch (colorType) {
    case PNG_COLOR_TYPE_PALETTE:
        for (int32_t x = 0; x < width; ++x, ++in, out += 4) {
            if (*in >= paletteSize)
                return false;
            out[0] = palette[*in].blue;
            out[1] = palette[*in].green;
            out[2] = palette[*in].red;
            out[3] = 255;
        }
        return true;
    case PNG_COLOR_TYPE_RGB:
        for (int32_t x = 0; x < width; ++x, in += 3, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = 255;
        }
        return true;
    default: // PNG_COLOR_TYPE_RGB_ALPHA
        for (int32_t x = 0; x < width; ++x, in += 4, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = in[3];
        }
        return true;
    }
}

// Everything that must be freed when libpng jumps out of a load.
struct PngState {
    png_structp png;
    png_infop info;
    uint8_t *rows;
    HImage *image;
};

void releaseState(PngState *state, bool keepImage)
{
    png_destroy_read_struct(&state->png, state->info != nullptr ? &state->info : nullptr, nullptr);
    free(state->rows);
    state->rows = nullptr;
    if (!keepImage) {
        delete state->image;
        state->image = nullptr;
    }
}

// Kept free of C++ objects with destructors because libpng errors longjmp
// out of the calls below.
bool decodePng(const uint8_t *data, int32_t size, const char *name, HImage **result)
{
    *result = nullptr;
    if (size < kPngSignatureSize || png_sig_cmp(data, 0, kPngSignatureSize) != 0) {
        warningPrint("HPNGLoader::load - invalid PNG file '%s'", name);
        return false;
    }

    PngState state = {nullptr, nullptr, nullptr, nullptr};
    state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (state.png == nullptr)
        return false;
    state.info = png_create_info_struct(state.png);
    if (state.info == nullptr) {
        releaseState(&state, false);
        return false;
    }
    PngSource source = {data, size_t(size)};
    png_set_read_fn(state.png, &source, pngRead);

    // `state` lives in memory across the jump: only its fields change after
    // the setjmp, never a register copy of them.
    PngState *volatile live = &state;
    if (setjmp(png_jmpbuf(state.png))) {
        releaseState(live, false);
        return false;
    }

    png_read_info(state.png, state.info);
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0, interlace = 0, compression = 0, filter = 0;
    png_get_IHDR(state.png, state.info, &width, &height, &bitDepth, &colorType, &interlace, &compression, &filter);

    // Settle what can be decoded before any row is read.
    if (bitDepth != 8
        || (colorType != PNG_COLOR_TYPE_PALETTE && colorType != PNG_COLOR_TYPE_RGB
            && colorType != PNG_COLOR_TYPE_RGB_ALPHA)) {
        warningPrint("File '%s' has unknown colorType %d with iBPP = %d", name, colorType, bitDepth);
        releaseState(&state, false);
        return false;
    }
    if (!HImage::isLoadableSize(width, height)) {
        warningPrint("HPNGLoader::load - unsupported size %ux%u in '%s'", width, height, name);
        releaseState(&state, false);
        return false;
    }
    png_colorp palette = nullptr;
    int paletteSize = 0;
    if (colorType == PNG_COLOR_TYPE_PALETTE
        && (png_get_PLTE(state.png, state.info, &palette, &paletteSize) == 0 || palette == nullptr
            || paletteSize <= 0)) {
        warningPrint("HPNGLoader::load - no palette in '%s'", name);
        releaseState(&state, false);
        return false;
    }

    const int passes = png_set_interlace_handling(state.png);
    png_read_update_info(state.png, state.info);
    const size_t rowBytes = png_get_rowbytes(state.png, state.info);
    const int channels = colorType == PNG_COLOR_TYPE_PALETTE ? 1 : colorType == PNG_COLOR_TYPE_RGB ? 3 : 4;
    if (rowBytes < size_t(width) * size_t(channels)) {
        releaseState(&state, false);
        return false;
    }

    state.image = new (std::nothrow) HImage(int32_t(width), int32_t(height), FORMAT_32BPP);
    if (state.image == nullptr || state.image->getData() == nullptr) {
        releaseState(&state, false);
        return false;
    }
    // An interlaced file fills each row over several passes, so all rows are
    // kept until the last pass; otherwise one row is enough.
    const size_t keptRows = passes > 1 ? size_t(height) : 1;
    state.rows = static_cast<uint8_t *>(malloc(rowBytes * keptRows));
    if (state.rows == nullptr) {
        releaseState(&state, false);
        return false;
    }
    if (passes > 1)
        memset(state.rows, 0, rowBytes * keptRows);

    const size_t pitch = size_t(width) * 4;
    bool paletteOk = true;
    if (passes > 1) {
        for (int pass = 0; pass < passes; ++pass)
            for (png_uint_32 y = 0; y < height; ++y)
                png_read_row(state.png, state.rows + rowBytes * y, nullptr);
        for (png_uint_32 y = 0; y < height && paletteOk; ++y)
            paletteOk = convertRow(state.rows + rowBytes * y, state.image->getData() + pitch * y, int32_t(width),
                                   colorType, palette, paletteSize);
    } else {
        for (png_uint_32 y = 0; y < height && paletteOk; ++y) {
            png_read_row(state.png, state.rows, nullptr);
            paletteOk = convertRow(state.rows, state.image->getData() + pitch * y, int32_t(width), colorType,
                                   palette, paletteSize);
        }
    }
    if (!paletteOk) {
        warningPrint("HPNGLoader::load - palette index beyond the palette in '%s'", name);
        releaseState(&state, false);
        return false;
    }

    *result = state.image;
    releaseState(&state, true);
    return true;
}

} // namespace

HPNGLoader::HPNGLoader() : m_image(nullptr) {}

HPNGLoader::~HPNGLoader() {}

void HPNGLoader::freeImage()
{
    delete m_image;
    m_image = nullptr;
}

HImage *HPNGLoader::getImage()
{
    return m_image;
}

bool HPNGLoader::load(HFileSystem *fileSystem, const char *name)
{
    freeImage();
    return loadWith(fileSystem, name, decodePng, &m_image);
}

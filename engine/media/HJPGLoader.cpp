#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <new>

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

#include "engine/core/HMessages.h"
#include "engine/media/HImageLoader.h"

namespace {

// libjpeg's default error_exit ends the process; this one jumps back into
// the load, which then cleans up and fails.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

void jpegErrorExit(j_common_ptr cinfo)
{
    JpegErrorManager *err = reinterpret_cast<JpegErrorManager *>(cinfo->err);
    (*cinfo->err->output_message)(cinfo);
    longjmp(err->jump, 1);
}

void jpegOutputMessage(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    warningPrint("HJPGLoader: %s", text);
}

// The whole file is handed over at once; when libjpeg asks for more, the data
// has ended early and it gets an end-of-image marker, as its own file source
// does, so it never reads past the buffer.
const JOCTET kFakeEndOfImage[2] = {0xFF, JPEG_EOI};

void sourceInit(j_decompress_ptr) {}

boolean sourceFill(j_decompress_ptr cinfo)
{
    WARNMS(cinfo, JWRN_JPEG_EOF);
    cinfo->src->next_input_byte = kFakeEndOfImage;
    cinfo->src->bytes_in_buffer = sizeof kFakeEndOfImage;
    return TRUE;
}

void sourceSkip(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr *src = cinfo->src;
    const size_t step = size_t(count) < src->bytes_in_buffer ? size_t(count) : src->bytes_in_buffer;
    src->next_input_byte += step;
    src->bytes_in_buffer -= step;
}

void sourceTerm(j_decompress_ptr) {}

// Decodes into `image`; answers false on any refused or broken file. Kept
// free of C++ objects with destructors because libjpeg errors longjmp out.
bool decodeJpeg(const uint8_t *data, int32_t size, const char *name, HImage **image)
{
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    jpeg_source_mgr source;

    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jpegErrorExit;
    err.pub.output_message = jpegOutputMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        delete *image;
        *image = nullptr;
        return false;
    }
    jpeg_create_decompress(&cinfo);

    source.next_input_byte = data;
    source.bytes_in_buffer = size_t(size);
    source.init_source = sourceInit;
    source.fill_input_buffer = sourceFill;
    source.skip_input_data = sourceSkip;
    source.resync_to_restart = jpeg_resync_to_restart;
    source.term_source = sourceTerm;
    cinfo.src = &source;

    jpeg_read_header(&cinfo, TRUE);
    if (!HImage::isLoadableSize(cinfo.image_width, cinfo.image_height)) {
        warningPrint("HJPGLoader::load - unsupported size %ux%u in '%s'", cinfo.image_width, cinfo.image_height,
                     name);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }

    jpeg_start_decompress(&cinfo);
    const int32_t components = cinfo.output_components;
    if ((components != 1 && components != 3) || !HImage::isLoadableSize(cinfo.output_width, cinfo.output_height)) {
        warningPrint("HJPGLoader::load - unsupported colour layout (%d components) in '%s'", components, name);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const int32_t width = int32_t(cinfo.output_width);
    const int32_t height = int32_t(cinfo.output_height);
    *image = new (std::nothrow) HImage(width, height, FORMAT_32BPP);
    if (*image == nullptr || (*image)->getData() == nullptr) {
        jpeg_destroy_decompress(&cinfo);
        delete *image;
        *image = nullptr;
        return false;
    }

    // From libjpeg's pool: checked by libjpeg and freed with the decompressor.
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                 JDIMENSION(width) * JDIMENSION(components), 1);
    uint8_t *out = (*image)->getData();
    while (cinfo.output_scanline < cinfo.output_height) {
        // The in-memory source never suspends; a row that does not come is a
        // broken decoder state, not something to wait for.
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1) {
            jpeg_destroy_decompress(&cinfo);
            delete *image;
            *image = nullptr;
            return false;
        }
        const JSAMPLE *in = row[0];
        if (components == 3) {
            for (int32_t x = 0; x < width; ++x, in += 3, out += 4) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
                out[3] = 255;
            }
        } else {
            for (int32_t x = 0; x < width; ++x, ++in, out += 4) {
                out[0] = out[1] = out[2] = *in;
                out[3] = 255;
            }
        }
    }

    jpeg_finish_decompress(&cinfo);
    debugPrint("...loaded '%s' %dx%dx%d\n", name, width, height, 32);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace

HJPGLoader::HJPGLoader() : m_image(nullptr) {}

HJPGLoader::~HJPGLoader() {}

void HJPGLoader::freeImage()
{
    delete m_image;
    m_image = nullptr;
}

HImage *HJPGLoader::getImage()
{
    return m_image;
}

bool HJPGLoader::load(HFileSystem *fileSystem, const char *name)
{
    freeImage();
    return loadWith(fileSystem, name, decodeJpeg, &m_image);
}

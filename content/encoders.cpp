#include "content/Encoders.h"

#include <cairo.h>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <string>

#include <jpeglib.h>
#include <unistd.h>

#include "engine/core/HFile.h"
#include "engine/media/HImage.h"
#include "engine/media/HImageLoader.h"

namespace content {

Picture fromCairo(cairo_surface_t *surface)
{
    if (!surface || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE)
        throw std::runtime_error("fromCairo: not an image surface");
    cairo_surface_flush(surface);
    const cairo_format_t format = cairo_image_surface_get_format(surface);
    if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24)
        throw std::runtime_error("fromCairo: surface is neither ARGB32 nor RGB24");
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char *data = cairo_image_surface_get_data(surface);
    Picture picture(width, height);
    for (int y = 0; y < height; ++y) {
        const uint32_t *row = reinterpret_cast<const uint32_t *>(data + size_t(y) * stride);
        for (int x = 0; x < width; ++x) {
            const uint32_t p = row[x];
            if (format == CAIRO_FORMAT_RGB24) {
                picture.at(x, y) = 0xff000000u | (p & 0xffffffu);
                continue;
            }
            const uint32_t a = p >> 24;
            if (a == 0) {
                picture.at(x, y) = 0;
                continue;
            }
            // Cairo stores colour multiplied by alpha; undo it with rounding.
            auto channel = [a](uint32_t c) {
                const uint32_t v = (c * 255 + a / 2) / a;
                return v > 255 ? 255u : v;
            };
            const uint32_t r = channel((p >> 16) & 0xff);
            const uint32_t g = channel((p >> 8) & 0xff);
            const uint32_t b = channel(p & 0xff);
            picture.at(x, y) = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    return picture;
}

namespace {

// A scratch directory for the engine's TGA writer, which writes through a
// file system; removed again when the kit ends.
class ScratchDirectory
{
public:
    ScratchDirectory()
    {
        char pattern[] = "/tmp/tilmar_content_XXXXXX";
        if (mkdtemp(pattern))
            m_path = pattern;
        if (m_path.empty() || !m_fileSystem.mount(m_path.c_str()))
            throw std::runtime_error("encodeTGA: cannot make a scratch directory");
    }
    ~ScratchDirectory()
    {
        std::remove(filePath().c_str());
        rmdir(m_path.c_str());
    }
    HFileSystem &fileSystem() { return m_fileSystem; }
    static const char *fileName() { return "picture.tga"; }
    std::string filePath() const { return m_path + "/" + fileName(); }

private:
    std::string m_path;
    HStandardFileSystem m_fileSystem;
};

std::vector<uint8_t> s_readAll(const std::string &path)
{
    std::vector<uint8_t> bytes;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);
    return bytes;
}

const size_t kTgaHeaderSize = 18;

} // namespace

std::vector<uint8_t> encodeTGA(const Picture &picture, bool withAlpha)
{
    if (picture.width <= 0 || picture.height <= 0 || picture.width > 0x7fff || picture.height > 0x7fff ||
        picture.argb.size() != size_t(picture.width) * picture.height)
        throw std::runtime_error("encodeTGA: bad picture size");
    // The engine's own writer makes the file (32 bits, rows bottom-up) in
    // one scratch file, so one picture at a time.
    static std::mutex busy;
    const std::lock_guard<std::mutex> lock(busy);
    static ScratchDirectory scratch;
    HImage image(picture.width, picture.height, FORMAT_32BPP);
    if (!image.getData())
        throw std::runtime_error("encodeTGA: out of memory");
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t p = picture.at(x, y);
            image.setPixel32(x, y, makeARGB(int32_t((p >> 16) & 0xff), int32_t((p >> 8) & 0xff),
                                            int32_t(p & 0xff), withAlpha ? int32_t(p >> 24) : 255));
        }
    }
    HTGALoader writer;
    if (!writer.write(&scratch.fileSystem(), ScratchDirectory::fileName(), &image))
        throw std::runtime_error("encodeTGA: the TGA writer failed");
    std::vector<uint8_t> bytes = s_readAll(scratch.filePath());
    const size_t pixels = size_t(picture.width) * picture.height;
    if (bytes.size() != kTgaHeaderSize + pixels * 4 || bytes[2] != 2 || bytes[16] != 32)
        throw std::runtime_error("encodeTGA: unexpected output from the TGA writer");
    if (withAlpha)
        return bytes;
    // Opaque pictures are stored as 24 bits: the same rows without alpha.
    std::vector<uint8_t> packed(bytes.begin(), bytes.begin() + kTgaHeaderSize);
    packed[16] = 24;
    packed.reserve(kTgaHeaderSize + pixels * 3);
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t *p = &bytes[kTgaHeaderSize + i * 4];
        packed.insert(packed.end(), p, p + 3);
    }
    return packed;
}

namespace {

struct JpegError
{
    jpeg_error_mgr manager;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// libjpeg's default error exit ends the process; the kit reports instead.
void s_jpegErrorExit(j_common_ptr info)
{
    JpegError *error = reinterpret_cast<JpegError *>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

void s_jpegSilent(j_common_ptr, int) {}

// The engine reads JPEG rows into a 4096-byte buffer of three samples each.
const int kMaxJpegWidth = 1365;

bool s_encodeOnce(const Picture &picture, int quality, std::vector<uint8_t> &out, std::string &message)
{
    jpeg_compress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = s_jpegErrorExit;
    error.manager.emit_message = s_jpegSilent;
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    std::vector<JSAMPLE> row(size_t(picture.width) * 3);
    if (setjmp(error.jump)) {
        message = error.message;
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(picture.width);
    info.image_height = JDIMENSION(picture.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = TRUE;
    // Full-resolution colour keeps coloured lettering and thin lines crisp.
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const int y = int(info.next_scanline);
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t p = picture.at(x, y);
            row[size_t(x) * 3 + 0] = JSAMPLE((p >> 16) & 0xff);
            row[size_t(x) * 3 + 1] = JSAMPLE((p >> 8) & 0xff);
            row[size_t(x) * 3 + 2] = JSAMPLE(p & 0xff);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    out.assign(buffer, buffer + size);
    std::free(buffer);
    return true;
}

} // namespace

bool decodeJPEG(const std::vector<uint8_t> &bytes, Picture &out)
{
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = s_jpegErrorExit;
    error.manager.emit_message = s_jpegSilent;
    if (bytes.empty())
        return false;
    std::vector<JSAMPLE> row;
    Picture picture;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, const_cast<unsigned char *>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    picture = Picture(int(info.output_width), int(info.output_height));
    row.resize(size_t(info.output_width) * 3);
    while (info.output_scanline < info.output_height) {
        const int y = int(info.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        for (int x = 0; x < picture.width; ++x) {
            const JSAMPLE *s = &row[size_t(x) * 3];
            picture.at(x, y) = 0xff000000u | (uint32_t(s[0]) << 16) | (uint32_t(s[1]) << 8) | s[2];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    out = std::move(picture);
    return true;
}

std::vector<uint8_t> encodeJPEG(const Picture &picture, int quality)
{
    if (picture.width <= 0 || picture.height <= 0)
        throw std::runtime_error("encodeJPEG: empty picture");
    if (picture.width > kMaxJpegWidth)
        throw std::runtime_error("encodeJPEG: wider than the engine's JPEG reader allows");
    // The colour key (255, 0, 255) turns a decoded pixel transparent. Where
    // compression lands exactly on it, lift green a little in that 8 x 8
    // block of the source and encode again.
    Picture source = picture;
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::vector<uint8_t> bytes;
        std::string message;
        if (!s_encodeOnce(source, quality, bytes, message))
            throw std::runtime_error("encodeJPEG: " + message);
        Picture decoded;
        if (!decodeJPEG(bytes, decoded))
            throw std::runtime_error("encodeJPEG: the encoded picture does not decode");
        bool keyed = false;
        for (int y = 0; y < decoded.height; ++y) {
            for (int x = 0; x < decoded.width; ++x) {
                if ((decoded.at(x, y) & 0xffffff) != 0xff00ff)
                    continue;
                keyed = true;
                const int bx = x & ~7, by = y & ~7;
                for (int yy = by; yy < by + 8 && yy < source.height; ++yy) {
                    for (int xx = bx; xx < bx + 8 && xx < source.width; ++xx) {
                        uint32_t &p = source.at(xx, yy);
                        const uint32_t g = (p >> 8) & 0xff;
                        const uint32_t lifted = g + 3 > 255 ? 255 : g + 3;
                        p = (p & 0xffff00ffu) | (lifted << 8);
                    }
                }
            }
        }
        if (!keyed)
            return bytes;
    }
    throw std::runtime_error("encodeJPEG: cannot avoid the colour key in the decoded picture");
}

bool savePNG(const Picture &picture, const char *path)
{
    if (!path || picture.width <= 0 || picture.height <= 0)
        return false;
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.width, picture.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_surface_flush(surface);
    unsigned char *data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < picture.height; ++y) {
        uint32_t *row = reinterpret_cast<uint32_t *>(data + size_t(y) * stride);
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t p = picture.at(x, y);
            const uint32_t a = p >> 24;
            auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
            row[x] = (a << 24) | (mul((p >> 16) & 0xff) << 16) | (mul((p >> 8) & 0xff) << 8) | mul(p & 0xff);
        }
    }
    cairo_surface_mark_dirty(surface);
    const bool ok = cairo_surface_write_to_png(surface, path) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

} // namespace content

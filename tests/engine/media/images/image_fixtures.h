// Small image files made by the tests themselves: TGA and PNG written byte by
// byte, JPEG and PNG variants made by ImageMagick from a PPM/PAM picture, and
// a stored ZIP archive for loading through the resource file system.
#ifndef TESTS_ENGINE_MEDIA_IMAGES_IMAGE_FIXTURES_H
#define TESTS_ENGINE_MEDIA_IMAGES_IMAGE_FIXTURES_H

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <zlib.h>

#include "engine/core/HFile.h"
#include "engine/core/HZIPFileSystem.h"
#include "support/test_support.h"

namespace image_fixtures {

typedef std::string Bytes;

inline void putLE16(Bytes &b, uint32_t v)
{
    b += char(v & 0xFF);
    b += char((v >> 8) & 0xFF);
}

inline void putLE32(Bytes &b, uint32_t v)
{
    putLE16(b, v & 0xFFFF);
    putLE16(b, v >> 16);
}

inline void putBE32(Bytes &b, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        b += char((v >> shift) & 0xFF);
}

// An 18-byte TGA header followed by `pixels` as given.
inline Bytes tga(int type, int depth, uint32_t width, uint32_t height, const Bytes &pixels, int colorMapType = 0)
{
    Bytes b;
    b += char(0);            // ID length
    b += char(colorMapType); // colour-map type
    b += char(type);
    b += Bytes(5, '\0');     // colour-map fields (none)
    putLE16(b, 0);           // x origin
    putLE16(b, 0);           // y origin
    putLE16(b, width);
    putLE16(b, height);
    b += char(depth);
    b += char(0);
    return b + pixels;
}

inline Bytes pngChunk(const char *type, const Bytes &data)
{
    Bytes b;
    putBE32(b, uint32_t(data.size()));
    Bytes body = std::string(type, 4) + data;
    b += body;
    putBE32(b, uint32_t(crc32(0, reinterpret_cast<const Bytef *>(body.data()), uInt(body.size()))));
    return b;
}

// A non-interlaced PNG whose filtered rows (filter byte 0 prepended here)
// are `rows`; `palette` (RGB triples) becomes a PLTE chunk when not empty.
inline Bytes png(uint32_t width, uint32_t height, int bitDepth, int colorType, const std::vector<Bytes> &rows,
                 const Bytes &palette = Bytes())
{
    Bytes ihdr;
    putBE32(ihdr, width);
    putBE32(ihdr, height);
    ihdr += char(bitDepth);
    ihdr += char(colorType);
    ihdr += Bytes(3, '\0'); // compression, filter, interlace
    Bytes raw;
    for (const Bytes &row : rows)
        raw += char(0) + row;
    uLongf packedSize = compressBound(uLong(raw.size()));
    Bytes packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef *>(&packed[0]), &packedSize, reinterpret_cast<const Bytef *>(raw.data()),
             uLong(raw.size()));
    packed.resize(packedSize);

    Bytes b("\x89PNG\r\n\x1a\n", 8);
    b += pngChunk("IHDR", ihdr);
    if (!palette.empty())
        b += pngChunk("PLTE", palette);
    b += pngChunk("IDAT", packed);
    b += pngChunk("IEND", Bytes());
    return b;
}

// A ZIP archive of stored (uncompressed) entries.
inline Bytes storedZip(const std::vector<std::pair<std::string, Bytes>> &entries)
{
    Bytes out, central;
    for (const auto &entry : entries) {
        const uint32_t crc = uint32_t(
            crc32(0, reinterpret_cast<const Bytef *>(entry.second.data()), uInt(entry.second.size())));
        const uint32_t offset = uint32_t(out.size());
        Bytes common;
        putLE16(common, 20); // version needed
        putLE16(common, 0);  // flags
        putLE16(common, 0);  // stored
        putLE16(common, 0);  // time
        putLE16(common, 0x21); // date
        putLE32(common, crc);
        putLE32(common, uint32_t(entry.second.size()));
        putLE32(common, uint32_t(entry.second.size()));
        putLE16(common, uint32_t(entry.first.size()));
        putLE16(common, 0); // extra length

        putLE32(out, 0x04034b50);
        out += common + entry.first + entry.second;

        putLE32(central, 0x02014b50);
        putLE16(central, 20); // version made by
        central += common;
        putLE16(central, 0); // comment length
        putLE16(central, 0); // disk
        putLE16(central, 0); // internal attributes
        putLE32(central, 0); // external attributes
        putLE32(central, offset);
        central += entry.first;
    }
    const uint32_t centralOffset = uint32_t(out.size());
    out += central;
    putLE32(out, 0x06054b50);
    putLE16(out, 0);
    putLE16(out, 0);
    putLE16(out, uint32_t(entries.size()));
    putLE16(out, uint32_t(entries.size()));
    putLE32(out, uint32_t(central.size()));
    putLE32(out, centralOffset);
    putLE16(out, 0);
    return out;
}

// Mounts the archive from a malloc'd copy, which the file system then owns.
inline bool mountZip(HZIPFileSystem &fs, const Bytes &archive)
{
    void *block = malloc(archive.size());
    memcpy(block, archive.data(), archive.size());
    return fs.mountFromMemory(block, int32_t(archive.size()));
}

// ImageMagick's own program, by full path: the `convert` first on PATH may be
// something else.
constexpr const char *kConvert = "/usr/bin/convert";

inline bool haveConvert()
{
    return access(kConvert, X_OK) == 0;
}

// Runs convert with the arguments (already quoted where needed).
inline bool runConvert(const std::string &arguments)
{
    const std::string command = std::string(kConvert) + " " + arguments + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// A binary PPM of width x height RGB pixels.
inline Bytes ppm(int width, int height, const Bytes &rgb)
{
    return "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n" + rgb;
}

// A PAM with alpha (RGBA per pixel).
inline Bytes pamRGBA(int width, int height, const Bytes &rgba)
{
    return "P7\nWIDTH " + std::to_string(width) + "\nHEIGHT " + std::to_string(height)
           + "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" + rgba;
}

// Writes `source` into dir as `sourceName` and converts it with the options
// into `target` (written as prefix + path, e.g. "PNG8:"); answers the target's
// bytes, empty on failure.
inline Bytes convertPicture(const tilmar_test::TempDir &dir, const std::string &sourceName, const Bytes &source,
                            const std::string &options, const std::string &target,
                            const std::string &prefix = std::string())
{
    if (!tilmar_test::writeFile(dir / sourceName, source))
        return Bytes();
    if (!runConvert("'" + (dir / sourceName) + "' " + options + " '" + prefix + (dir / target) + "'"))
        return Bytes();
    return tilmar_test::readFile(dir / target);
}

} // namespace image_fixtures

#endif

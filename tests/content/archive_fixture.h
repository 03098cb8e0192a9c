// Access to the built resource archive for the content tests: mounted once
// from memory with the engine's own archive file system, as the game does.
#ifndef TESTS_CONTENT_ARCHIVE_FIXTURE_H
#define TESTS_CONTENT_ARCHIVE_FIXTURE_H

#include <cstdint>
#include <string>
#include <vector>

class HZIPFileSystem;

namespace kit_test {

std::string archivePath();

// The mounted archive, or null when it is missing or does not mount.
HZIPFileSystem *archive();

// Every entry name as stored, in archive order.
std::vector<std::string> storedNames();

// An entry's bytes read through the file system; false when it is missing.
bool readEntry(const std::string &name, std::vector<uint8_t> &bytes);

// An image as the engine's loaders decode it: 0xAARRGGBB, rows from the top.
struct Image
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
    uint32_t at(int x, int y) const { return argb[size_t(y) * width + x]; }
};

// Loads through HImageLoaderProxy; false when the loader fails.
bool loadImage(const std::string &name, Image &out);

// Every entry the game reads, by kind.
std::vector<std::string> expectedImageNames();
std::vector<std::string> expectedSoundNames();  // sound/ and music/
std::vector<std::string> expectedLayoutNames();

} // namespace kit_test

#endif

// The settings registry file as the records tests see it: where it lies
// under a home directory, and its records built byte by byte (key, zero
// byte, little-endian length, data).
#ifndef TESTS_GAME_REGISTRY_SUPPORT_H
#define TESTS_GAME_REGISTRY_SUPPORT_H

#include <cstdint>
#include <cstring>
#include <string>

#include "support/test_support.h"

inline std::string registryDirectory(const tilmar_test::TempDir &home)
{
    return home / ".velmora";
}

inline std::string registryPath(const tilmar_test::TempDir &home)
{
    return registryDirectory(home) + "/registry_Velmora_Tilmar";
}

inline std::string le32(uint32_t value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>(value >> (8 * i)));
    return bytes;
}

inline std::string floatBytes(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return le32(bits);
}

// A text padded with zero bytes to the field's size.
inline std::string field(const std::string &text, size_t size)
{
    std::string bytes = text;
    bytes.resize(size, '\0');
    return bytes;
}

inline std::string registryRecord(const std::string &key, const std::string &data)
{
    return key + std::string(1, '\0') + le32(static_cast<uint32_t>(data.size())) + data;
}

// A stored best time: magic, 32-byte name, score, time, tiles left.
inline std::string bestTimeBytes(uint32_t magic, const std::string &name, int32_t score, int32_t time,
                                 int32_t tilesLeft)
{
    return le32(magic) + field(name, 32) + le32(static_cast<uint32_t>(score)) + le32(static_cast<uint32_t>(time)) +
           le32(static_cast<uint32_t>(tilesLeft));
}

inline std::string bestTimeKey(int layout, int rank)
{
    return "HS:" + std::to_string(layout) + "x" + std::to_string(rank);
}

// The data stored under a key in the bytes of a registry file, or
// "<missing>".
inline std::string registryValue(const std::string &file, const std::string &key)
{
    size_t at = 0;
    while (at < file.size()) {
        const size_t end = file.find('\0', at);
        if (end == std::string::npos || end + 5 > file.size())
            break;
        uint32_t length = 0;
        std::memcpy(&length, file.data() + end + 1, 4);
        if (file.compare(at, end - at, key) == 0)
            return file.substr(end + 5, length);
        at = end + 5 + length;
    }
    return "<missing>";
}

// Points HOME at the directory and writes the registry file there.
inline bool writeRegistry(const tilmar_test::TempDir &home, const std::string &bytes)
{
    setenv("HOME", home.path().c_str(), 1);
    tilmar_test::makeDirs(registryDirectory(home));
    return tilmar_test::writeFile(registryPath(home), bytes);
}

#endif

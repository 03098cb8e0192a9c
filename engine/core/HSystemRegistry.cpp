#include "engine/core/HSystemRegistry.h"

#include "engine/core/HMessages.h"
#include "engine/core/HString.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

constexpr int32_t kRegistryPathSize = 1024;
// A key is read into this many bytes, its zero byte included.
constexpr int32_t kRegistryKeySize = 1024;

char* s_copyString(const char* text)
{
    size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(size));
    if (copy)
        std::memcpy(copy, text, size);
    return copy;
}

// A data block of length + 1 bytes whose last byte is 0, so string values
// read back terminated.
uint8_t* s_newDataBlock(const void* data, size_t length)
{
    uint8_t* block = static_cast<uint8_t*>(std::calloc(length + 1, 1));
    if (block && data && length > 0)
        std::memcpy(block, data, length);
    return block;
}

void s_freeEntry(HRegistryEntry* entry)
{
    std::free(entry->key);
    std::free(entry->data);
    std::free(entry);
}

HRegistryEntry* s_newEntry(const char* key)
{
    HRegistryEntry* entry = static_cast<HRegistryEntry*>(std::calloc(1, sizeof(HRegistryEntry)));
    if (!entry)
        return nullptr;
    entry->key = s_copyString(key);
    if (!entry->key) {
        std::free(entry);
        return nullptr;
    }
    return entry;
}

bool s_writeBytes(std::FILE* stream, const void* data, size_t length)
{
    return length == 0 || std::fwrite(data, 1, length, stream) == length;
}

void s_reportFailure(int error)
{
    alertBox("failed to open registry: %s", std::strerror(error));
}

} // namespace

HSystemRegistry::~HSystemRegistry() = default;

HUnixSystemRegistry::HUnixSystemRegistry() : m_path(nullptr), m_entries(nullptr) {}

HUnixSystemRegistry::~HUnixSystemRegistry()
{
    close();
    // A close whose save failed keeps both; nothing is left to retry now.
    m_freeEntries();
    std::free(m_path);
    m_path = nullptr;
}

bool HUnixSystemRegistry::m_getHomeDirectory(char* buffer, int32_t size)
{
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = getpwuid(getuid());
        home = user ? user->pw_dir : nullptr;
    }
    if (!home || !*home || size <= 0)
        return false;
    size_t length = std::strlen(home);
    if (length >= static_cast<size_t>(size))
        return false;
    std::memcpy(buffer, home, length + 1);
    return true;
}

bool HUnixSystemRegistry::open(HCvarManager* /*cvarManager*/, const char* company, const char* product)
{
    close();
    // Entries a failed close kept, or written while not open, do not carry
    // over into the file opened now.
    m_freeEntries();
    std::free(m_path);
    m_path = nullptr;

    if (!company || !product)
        return false;

    char home[kRegistryPathSize];
    if (!m_getHomeDirectory(home, kRegistryPathSize)) {
        warningPrint("HUnixSystemRegistry::open - no home directory");
        return false;
    }
    size_t homeLength = std::strlen(home);
    const char* separator = home[homeLength - 1] == '/' ? "" : "/";

    // Both paths are checked before anything is created: a cut-off path
    // would put the settings somewhere else.
    char directory[kRegistryPathSize];
    char path[kRegistryPathSize];
    int directoryLength = std::snprintf(directory, sizeof directory, "%s%s.velmora", home, separator);
    int pathLength = std::snprintf(path, sizeof path, "%s%s.velmora/registry_%s_%s", home, separator,
                                   company, product);
    if (directoryLength < 0 || directoryLength >= kRegistryPathSize || pathLength < 0 ||
        pathLength >= kRegistryPathSize) {
        warningPrint("HUnixSystemRegistry::open - path too long");
        return false;
    }

    // A directory that cannot be made shows up as a failed save at close.
    if (access(directory, F_OK) != 0)
        mkdir(directory, 0700);

    m_path = s_copyString(path);
    if (!m_path) {
        s_reportFailure(ENOMEM);
        return false;
    }
    if (access(m_path, F_OK) != 0)
        return true;

    std::FILE* stream = std::fopen(m_path, "rb");
    if (!stream) {
        s_reportFailure(errno);
        return false;
    }
    errno = 0;
    bool loaded = m_load(stream);
    int error = errno ? errno : EIO;
    std::fclose(stream);
    if (!loaded) {
        // A partial load must not be saved over the file at the next close.
        m_freeEntries();
        s_reportFailure(error);
        return false;
    }
    return true;
}

bool HUnixSystemRegistry::close()
{
    if (!m_path) {
        m_freeEntries();
        return true;
    }
    if (m_entries) {
        if (!m_writeFile())
            return false;
        m_freeEntries();
    }
    std::free(m_path);
    m_path = nullptr;
    return true;
}

bool HUnixSystemRegistry::readString(const char* key, char* buffer, int32_t size)
{
    if (!buffer || size <= 0)
        return false;
    const HRegistryEntry* entry = m_findEntry(key);
    if (!entry)
        return false;
    std::strncpy(buffer, reinterpret_cast<const char*>(entry->data), static_cast<size_t>(size));
    buffer[size - 1] = 0;
    return true;
}

bool HUnixSystemRegistry::readData(const char* key, void* buffer, int32_t size, int32_t* outLength)
{
    const HRegistryEntry* entry = m_findEntry(key);
    if (!entry)
        return false;
    int32_t count = entry->length < size ? entry->length : size;
    if (count < 0 || !buffer)
        count = 0;
    if (count > 0)
        std::memcpy(buffer, entry->data, static_cast<size_t>(count));
    if (outLength)
        *outLength = count;
    return true;
}

bool HUnixSystemRegistry::writeData(const char* key, const void* data, int32_t length)
{
    if (!key || length < 0 || (!data && length > 0))
        return false;
    uint8_t* block = s_newDataBlock(data, static_cast<size_t>(length));
    if (!block)
        return false;
    HRegistryEntry* entry = m_findEntry(key);
    if (entry) {
        std::free(entry->data);
    } else {
        entry = s_newEntry(key);
        if (!entry) {
            std::free(block);
            return false;
        }
        entry->next = m_entries;
        m_entries = entry;
    }
    entry->data = block;
    entry->length = length;
    return true;
}

bool HUnixSystemRegistry::writeValue(const char* key, const void* data, int32_t length)
{
    return writeData(key, data, length);
}

HRegistryEntry* HUnixSystemRegistry::m_findEntry(const char* key) const
{
    if (!key)
        return nullptr;
    for (HRegistryEntry* entry = m_entries; entry; entry = entry->next) {
        if (std::strcmp(entry->key, key) == 0)
            return entry;
    }
    return nullptr;
}

void HUnixSystemRegistry::m_freeEntries()
{
    while (m_entries) {
        HRegistryEntry* next = m_entries->next;
        s_freeEntry(m_entries);
        m_entries = next;
    }
}

bool HUnixSystemRegistry::m_load(std::FILE* stream)
{
    m_freeEntries();

    // Lengths in the file are not trusted: no record takes more than what is
    // left of the file.
    if (std::fseek(stream, 0, SEEK_END) != 0)
        return false;
    long fileSize = std::ftell(stream);
    if (fileSize < 0 || std::fseek(stream, 0, SEEK_SET) != 0)
        return false;

    HRegistryEntry* tail = nullptr;
    char key[kRegistryKeySize];
    for (;;) {
        int32_t keyLength = 0;
        bool terminated = false;
        while (keyLength < kRegistryKeySize) {
            int c = std::fgetc(stream);
            if (c == EOF)
                break;
            key[keyLength++] = static_cast<char>(c);
            if (c == 0) {
                terminated = true;
                break;
            }
        }
        if (!terminated)
            break;

        int32_t littleLength = 0;
        if (std::fread(&littleLength, 1, sizeof littleLength, stream) != sizeof littleLength)
            break;
        uint64_t length = static_cast<uint32_t>(swapLittle32(littleLength));

        long position = std::ftell(stream);
        if (position < 0)
            return false;
        uint64_t remaining = position < fileSize ? static_cast<uint64_t>(fileSize - position) : 0;
        bool last = false;
        if (length > remaining) {
            length = remaining;
            last = true;
        }
        if (length > static_cast<uint64_t>(INT32_MAX)) {
            length = INT32_MAX;
            last = true;
        }

        HRegistryEntry* entry = s_newEntry(key);
        uint8_t* block = entry ? s_newDataBlock(nullptr, static_cast<size_t>(length)) : nullptr;
        if (!block) {
            if (entry)
                s_freeEntry(entry);
            errno = ENOMEM;
            return false;
        }
        size_t got = std::fread(block, 1, static_cast<size_t>(length), stream);
        entry->data = block;
        entry->length = static_cast<int32_t>(got);
        if (tail)
            tail->next = entry;
        else
            m_entries = entry;
        tail = entry;

        if (last || got < length)
            break;
    }
    return !std::ferror(stream);
}

bool HUnixSystemRegistry::m_save(std::FILE* stream) const
{
    for (const HRegistryEntry* entry = m_entries; entry; entry = entry->next) {
        int32_t littleLength = swapLittle32(entry->length);
        if (!s_writeBytes(stream, entry->key, std::strlen(entry->key) + 1) ||
            !s_writeBytes(stream, &littleLength, sizeof littleLength) ||
            !s_writeBytes(stream, entry->data, static_cast<size_t>(entry->length)))
            return false;
    }
    return true;
}

bool HUnixSystemRegistry::m_writeFile()
{
    // The file is the only copy of every setting and best time, so the new
    // content goes to a file beside it that replaces it only once complete.
    static const char kSuffix[] = ".XXXXXX";
    size_t pathLength = std::strlen(m_path);
    char* temporary = static_cast<char*>(std::malloc(pathLength + sizeof kSuffix));
    if (!temporary) {
        s_reportFailure(ENOMEM);
        return false;
    }
    std::memcpy(temporary, m_path, pathLength);
    std::memcpy(temporary + pathLength, kSuffix, sizeof kSuffix);

    // mkstemp creates the file with mode 0600.
    int descriptor = mkstemp(temporary);
    if (descriptor < 0) {
        int error = errno;
        std::free(temporary);
        s_reportFailure(error);
        return false;
    }

    int error = 0;
    std::FILE* stream = fdopen(descriptor, "wb");
    if (!stream) {
        error = errno;
        ::close(descriptor);
    } else {
        errno = 0;
        if (!m_save(stream) || std::fflush(stream) != 0 || fsync(fileno(stream)) != 0)
            error = errno ? errno : EIO;
        if (std::fclose(stream) != 0 && !error)
            error = errno ? errno : EIO;
    }
    if (!error && std::rename(temporary, m_path) != 0)
        error = errno;

    if (error) {
        unlink(temporary);
        std::free(temporary);
        s_reportFailure(error);
        return false;
    }
    std::free(temporary);
    return true;
}

HSystemRegistry* getSystemRegistry()
{
    static HUnixSystemRegistry registry;
    // Registered after the object is built, so it runs before its destructor.
    static const bool closesAtExit = std::atexit([] { registry.close(); }) == 0;
    (void)closesAtExit;
    return &registry;
}

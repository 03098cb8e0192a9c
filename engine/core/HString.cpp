#include "engine/core/HString.h"

#include "engine/core/HMessages.h"
#include "engine/core/HPortability.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kProcessTextSize = 1024;
constexpr size_t kPatternTokenSize = 1024;

char s_commandLine[kProcessTextSize];
char s_resourceDirectory[kProcessTextSize];
H2DDisplayDevice *s_pDisplayDevice = nullptr;
HEventQueue *s_pEventQueue = nullptr;

// The table of the reflected CRC-32 (polynomial 0xEDB88320), built at
// compile time.
struct CrcTable
{
    uint32_t entries[256];
    constexpr CrcTable() : entries()
    {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
    }
};
constexpr CrcTable s_crcTable;
static_assert(s_crcTable.entries[1] == 0x77073096u, "CRC-32 table");

bool s_isSeparator(char c, const char *separators)
{
    return c != '\0' && std::strchr(separators, c) != nullptr;
}

bool s_isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

}  // namespace

char *strCopy(char *dest, const char *src, size_t size)
{
    if (!dest || size == 0)
        return dest;
    size_t n = 0;
    if (src) {
        while (src[n] != '\0' && n < size - 1) {
            dest[n] = src[n];
            ++n;
        }
    }
    dest[n] = '\0';
    return dest;
}

char *s_appendBounded(char *dest, const char *src, size_t size)
{
    if (!dest || size == 0)
        return dest;
    // Never look (or write) past the buffer, even when it holds no zero.
    size_t n = 0;
    while (n < size - 1 && dest[n] != '\0')
        ++n;
    if (src) {
        while (*src != '\0' && n < size - 1)
            dest[n++] = *src++;
    }
    dest[n] = '\0';
    return dest;
}

char *strDuplicate(const char *src)
{
    if (!src)
        return nullptr;
    const size_t length = std::strlen(src);
    char *copy = new char[length + 1];
    std::memcpy(copy, src, length + 1);
    return copy;
}

int strCaseCompare(const char *a, const char *b)
{
    if (!a || !b)
        return a == b ? 0 : (a ? 1 : -1);
    for (;; ++a, ++b) {
        const int ca = std::tolower(static_cast<unsigned char>(*a));
        const int cb = std::tolower(static_cast<unsigned char>(*b));
        if (*a == '\0' || *b == '\0') {
            if (*a == *b)
                return 0;
            return *a == '\0' ? -1 : 1;
        }
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
}

char *strToUpper(char *s)
{
    if (s) {
        for (char *p = s; *p; ++p)
            *p = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    }
    return s;
}

char *strToLower(char *s)
{
    if (s) {
        for (char *p = s; *p; ++p)
            *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    }
    return s;
}

uint32_t strCaseHash(const char *s)
{
    uint32_t h = 0;
    if (!s)
        return h;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(s); *p; ++p) {
        unsigned char c = *p;
        if (c >= 'A' && c <= 'Z')
            c = static_cast<unsigned char>(c + ('a' - 'A'));
        // Bytes count as signed: 128..255 add c - 256.
        const int32_t value = static_cast<signed char>(c);
        h = h * 31u + static_cast<uint32_t>(value);
    }
    return h;
}

uint32_t s_hashBytes(const void *data, size_t length)
{
    uint32_t h = 0;
    const unsigned char *bytes = static_cast<const unsigned char *>(data);
    if (bytes) {
        for (size_t i = 0; i < length; ++i)
            h = (h << 8) ^ s_crcTable.entries[(bytes[i] ^ (h >> 24)) & 0xFFu];
    }
    return h ^ static_cast<uint32_t>(length);
}

char *formatStringV(char *buffer, size_t size, const char *format, va_list args)
{
    if (!buffer || size == 0)
        return buffer;
    if (!format) {
        buffer[0] = '\0';
        return buffer;
    }
    std::vsnprintf(buffer, size, format, args);
    return buffer;
}

char *formatString(char *buffer, size_t size, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    formatStringV(buffer, size, format, args);
    va_end(args);
    return buffer;
}

bool s_isSpace(int c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

bool isPowerOfTwo(uint32_t n)
{
    return (n & (n - 1u)) == 0;
}

const char *getToken(char *dest, size_t size, const char *src, const char *separators)
{
    if (dest && size > 0)
        dest[0] = '\0';
    if (!src)
        return nullptr;
    if (!separators)
        separators = "";

    while (s_isSeparator(*src, separators))
        ++src;

    size_t copied = 0;
    size_t tokenLength = 0;
    for (; *src != '\0' && !s_isSeparator(*src, separators); ++src, ++tokenLength) {
        // Characters beyond the buffer are skipped so the token stays whole.
        if (dest && copied + 1 < size)
            dest[copied++] = *src;
    }
    if (dest && size > 0)
        dest[copied] = '\0';
    if (tokenLength == 0)
        return nullptr;

    while (s_isSeparator(*src, separators))
        ++src;
    return src;
}

bool matchesPatternList(const char *name, const char *list)
{
    if (!name || !list)
        return false;
    char token[kPatternTokenSize];
    const char *p = list;
    while ((p = getToken(token, sizeof token, p, ";")) != nullptr) {
        const char *star = std::strchr(token, '*');
        if (star) {
            const size_t prefix = static_cast<size_t>(star - token);
            if (std::strncmp(name, token, prefix) == 0)
                return true;
        } else if (std::strcmp(name, token) == 0) {
            return true;
        }
    }
    return false;
}

const char *s_readLineFromBuffer(const char *text, char *line, size_t size)
{
    if (line && size > 0)
        line[0] = '\0';
    // A line buffer without room for one character could never move on.
    if (!text || !line || size < 2)
        return nullptr;

    while (s_isLineEnd(*text))
        ++text;
    if (*text == '\0')
        return nullptr;

    size_t n = 0;
    while (*text != '\0' && !s_isLineEnd(*text)) {
        if (n == size - 1) {
            warningPrint("s_readLineFromBuffer - buffer override");
            break;
        }
        line[n++] = *text++;
    }
    line[n] = '\0';

    while (s_isLineEnd(*text))
        ++text;
    return text;
}

int s_tokenize(char *buffer, char **words, int maximum)
{
    if (!words || maximum <= 0)
        return 0;
    for (int i = 0; i < maximum; ++i)
        words[i] = nullptr;
    if (!buffer)
        return 0;

    int count = 0;
    char *p = buffer;
    while (count < maximum) {
        while (s_isSpace(static_cast<unsigned char>(*p)))
            ++p;
        if (*p == '\0')
            break;
        words[count++] = p;
        while (*p != '\0' && !s_isSpace(static_cast<unsigned char>(*p)))
            ++p;
        if (*p == '\0')
            break;
        *p++ = '\0';
    }
    return count;
}

int32_t swapLittle16(int32_t value)
{
    return static_cast<int16_t>(static_cast<uint16_t>(value));
}

int32_t swapLittle32(int32_t value)
{
    return value;
}

int32_t swapBig16(int32_t value)
{
    return static_cast<int16_t>(zephSwap16(static_cast<uint16_t>(value)));
}

int32_t swapBig32(int32_t value)
{
    return static_cast<int32_t>(zephSwap32(static_cast<uint32_t>(value)));
}

void setCommandLine(const char *commandLine)
{
    if (commandLine)
        strCopy(s_commandLine, commandLine, sizeof s_commandLine);
}

const char *getCommandLine()
{
    return s_commandLine;
}

void setResourceDirectory(const char *directory)
{
    if (directory)
        strCopy(s_resourceDirectory, directory, sizeof s_resourceDirectory);
}

const char *getResourceDirectory()
{
    return s_resourceDirectory;
}

void setDisplayDevice(H2DDisplayDevice *device)
{
    s_pDisplayDevice = device;
}

H2DDisplayDevice *getDisplayDevice()
{
    return s_pDisplayDevice;
}

void setEventQueue(HEventQueue *queue)
{
    s_pEventQueue = queue;
}

HEventQueue *getEventQueue()
{
    return s_pEventQueue;
}

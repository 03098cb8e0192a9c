// String and byte-order utilities, and the four process-wide values the
// application sets at start-up.
//
// All string functions work on zero-terminated byte strings. "size" is
// always the size of the destination buffer in bytes, terminating zero
// included; a size of 0 leaves the destination untouched. Case folding uses
// the C library's toupper/tolower of the current locale.
#ifndef ENGINE_CORE_HSTRING_H
#define ENGINE_CORE_HSTRING_H

#include <cstdarg>
#include <cstddef>
#include <cstdint>

class H2DDisplayDevice;
class HEventQueue;

#if defined(__GNUC__)
#define H_STRING_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define H_STRING_PRINTF_FORMAT(fmt, args)
#endif

// Bounded copy: at most size - 1 characters and a terminating zero.
// Answers dest.
char *strCopy(char *dest, const char *src, size_t size);

// Appends src to the string in dest while its length stays below size - 1,
// then terminates it. Answers dest.
char *s_appendBounded(char *dest, const char *src, size_t size);

// A new[] copy of src (length + 1 bytes) that the caller delete[]s; null for
// a null source.
char *strDuplicate(const char *src);

// Case-insensitive comparison: -1, 0 or 1. A string that ends first is the
// smaller.
int strCaseCompare(const char *a, const char *b);

// In-place case conversion; answer the string.
char *strToUpper(char *s);
char *strToLower(char *s);

// h = h * 31 + c over the bytes with A-Z folded to lower case and each byte
// taken as signed, wrapping in 32 bits. "" -> 0, "abc" -> 96354.
uint32_t strCaseHash(const char *s);

// CRC-32 table hash, most significant byte first, XORed with the length.
uint32_t s_hashBytes(const void *data, size_t length);

// vsnprintf into the buffer (always terminated when size > 0); answers it.
char *formatString(char *buffer, size_t size, const char *format, ...)
    H_STRING_PRINTF_FORMAT(3, 4);
char *formatStringV(char *buffer, size_t size, const char *format, va_list args)
    H_STRING_PRINTF_FORMAT(3, 0);

// True for tab, line feed, carriage return and space only.
bool s_isSpace(int c);

// True when n & (n - 1) is 0 (so also for 0).
bool isPowerOfTwo(uint32_t n);

// Skips leading separators, copies the token up to the next separator into
// dest (at most size - 1 characters; the rest of an over-long token is
// skipped, so it stays one token), skips the separators after it and
// answers the position past them. Answers null when the token is empty
// (dest then holds "").
const char *getToken(char *dest, size_t size, const char *src, const char *separators);

// True when `name` matches one of the ";"-separated tokens of `list`: a token
// with a "*" matches every name beginning with its part before the first
// "*"; any other token must equal the name. Case matters.
bool matchesPatternList(const char *name, const char *list);

// Reads the next line of a text buffer into `line` (at most size - 1
// characters; the rest of a longer line comes back from the next call).
// Skips line ends before and after it and answers the position after them;
// null with an empty line at the end of the text.
const char *s_readLineFromBuffer(const char *text, char *line, size_t size);

// Splits the buffer in place at white space into at most `maximum` words,
// storing their starts in `words` (first set to null throughout). Answers
// the number of words; trailing white space stores no empty word.
int s_tokenize(char *buffer, char **words, int maximum);

// Byte order (the host is little-endian). The 16-bit forms answer the low
// 16 bits of their result sign-extended.
int32_t swapLittle16(int32_t value);
int32_t swapLittle32(int32_t value);
int32_t swapBig16(int32_t value);
int32_t swapBig32(int32_t value);

// Process-wide values for code that has no application object at hand.
// The two texts hold up to 1023 characters; setting null is ignored.
void setCommandLine(const char *commandLine);
const char *getCommandLine();
void setResourceDirectory(const char *directory);
const char *getResourceDirectory();
void setDisplayDevice(H2DDisplayDevice *device);
H2DDisplayDevice *getDisplayDevice();
void setEventQueue(HEventQueue *queue);
HEventQueue *getEventQueue();

#endif

#include "engine/core/HString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A destination with guard bytes after `size`, to catch writes past it.
struct GuardedBuffer
{
    char bytes[64];
    explicit GuardedBuffer(const char *initial = "")
    {
        std::memset(bytes, '#', sizeof bytes);
        std::memcpy(bytes, initial, std::strlen(initial) + 1);
    }
    bool untouchedFrom(size_t offset) const
    {
        for (size_t i = offset; i < sizeof bytes; ++i) {
            if (bytes[i] != '#')
                return false;
        }
        return true;
    }
};

// All tokens getToken yields from `source`, and where the last call stopped.
std::vector<std::string> tokens(const char *source, const char *separators, size_t size)
{
    std::vector<std::string> out;
    char buffer[64];
    const char *p = source;
    while ((p = getToken(buffer, size, p, separators)) != nullptr && out.size() < 100)
        out.push_back(buffer);
    return out;
}

std::string formatted(size_t size, const char *format, ...) H_STRING_PRINTF_FORMAT(2, 3);
std::string formatted(size_t size, const char *format, ...)
{
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    va_list args;
    va_start(args, format);
    char *answer = formatStringV(buffer, size, format, args);
    va_end(args);
    EXPECT_EQ(buffer, answer);
    return buffer;
}

}  // namespace

TEST(HStringCopy, StrCopyCutsToSizeMinusOne)
{
    struct Case
    {
        const char *source;
        size_t size;
        const char *expected;
    } cases[] = {
        {"abcdef", 1, ""},   {"abcdef", 4, "abc"},      {"abc", 4, "abc"},
        {"abc", 3, "ab"},    {"abcdef", 40, "abcdef"},  {"", 8, ""},
    };
    for (const Case &c : cases) {
        GuardedBuffer dest;
        EXPECT_EQ(dest.bytes, strCopy(dest.bytes, c.source, c.size));
        EXPECT_STREQ(c.expected, dest.bytes) << c.source << " size " << c.size;
        EXPECT_TRUE(dest.untouchedFrom(c.size)) << "wrote past size " << c.size;
    }
    // Size 0 has no room even for the zero: nothing is written.
    GuardedBuffer dest;
    dest.bytes[0] = '#';
    strCopy(dest.bytes, "abc", 0);
    EXPECT_TRUE(dest.untouchedFrom(0));
}

TEST(HStringCopy, AppendBoundedStopsAtSizeMinusOne)
{
    struct Case
    {
        const char *initial;
        const char *source;
        size_t size;
        const char *expected;
    } cases[] = {
        {"ab", "cdef", 5, "abcd"}, {"ab", "cd", 10, "abcd"}, {"abcd", "ef", 5, "abcd"},
        {"", "xyz", 3, "xy"},      {"ab", "", 5, "ab"},
    };
    for (const Case &c : cases) {
        GuardedBuffer dest(c.initial);
        EXPECT_EQ(dest.bytes, s_appendBounded(dest.bytes, c.source, c.size));
        EXPECT_STREQ(c.expected, dest.bytes);
        EXPECT_TRUE(dest.untouchedFrom(c.size)) << c.initial << "+" << c.source;
    }
    // A destination already longer than the size is cut, never overrun.
    GuardedBuffer full("abcdefgh");
    s_appendBounded(full.bytes, "xyz", 4);
    EXPECT_STREQ("abc", full.bytes);
}

TEST(HStringCopy, StrDuplicateMakesAnIndependentCopy)
{
    char source[] = "tiles";
    char *copy = strDuplicate(source);
    ASSERT_NE(nullptr, copy);
    EXPECT_NE(source, copy);
    source[0] = 'm';
    EXPECT_STREQ("tiles", copy);
    delete[] copy;

    char *empty = strDuplicate("");
    ASSERT_NE(nullptr, empty);
    EXPECT_STREQ("", empty);
    delete[] empty;
    EXPECT_EQ(nullptr, strDuplicate(nullptr));
}

TEST(HStringCase, CompareIgnoresCaseAndOrdersShorterFirst)
{
    struct Case
    {
        const char *a;
        const char *b;
        int expected;
    } cases[] = {
        {"Abc", "aBC", 0}, {"ab", "abc", -1}, {"abc", "ab", 1},  {"abd", "ABC", 1},
        {"ABC", "abd", -1}, {"", "", 0},      {"", "a", -1},     {"a", "", 1},
        {"Z", "a", 1},      {"_", "a", -1},   // compared after folding: 'z' > 'a', '_' < 'a'
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.expected, strCaseCompare(c.a, c.b)) << '"' << c.a << "\" vs \"" << c.b << '"';
}

TEST(HStringCase, UpperAndLowerConvertInPlace)
{
    char text[] = "Tile 42-Set";
    EXPECT_EQ(text, strToUpper(text));
    EXPECT_STREQ("TILE 42-SET", text);
    EXPECT_EQ(text, strToLower(text));
    EXPECT_STREQ("tile 42-set", text);
}

TEST(HStringHash, CaseHashFoldsOnlyAsciiLettersAndTakesBytesSigned)
{
    struct Case
    {
        const char *text;
        uint32_t expected;
    } cases[] = {
        {"", 0u},
        {"abc", 96354u},
        {"ABC", 96354u},
        {"aBc", 96354u},
        {"HObject", 1082701223u},
        {"@", 64u},   // just below 'A': not folded
        {"[", 91u},   // just above 'Z': not folded
        {"\xff", 0xFFFFFFFFu},         // -1
        {"a\x80", 97u * 31u - 128u},  // 2879
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.expected, strCaseHash(c.text)) << '"' << c.text << '"';
}

TEST(HStringHash, HashBytesUsesTheCrcTableMostSignificantByteFirst)
{
    // Reflected CRC-32 table entry, computed bit by bit.
    auto entry = [](uint32_t n) {
        for (int k = 0; k < 8; ++k)
            n = (n & 1) ? 0xEDB88320u ^ (n >> 1) : n >> 1;
        return n;
    };
    EXPECT_EQ(0u, s_hashBytes("", 0));
    const unsigned char one[] = {0x01};
    EXPECT_EQ(0x77073096u ^ 1u, s_hashBytes(one, 1));

    const unsigned char two[] = {0x01, 0x00};
    const uint32_t h1 = 0x77073096u;
    const uint32_t h2 = (h1 << 8) ^ entry((0x00 ^ (h1 >> 24)) & 0xFF);
    EXPECT_EQ(h2 ^ 2u, s_hashBytes(two, 2));

    // High bytes index the table unsigned.
    const unsigned char high[] = {0xFF};
    EXPECT_EQ(entry(0xFF) ^ 1u, s_hashBytes(high, 1));
}

TEST(HStringFormat, FormatsIntoTheBoundedBuffer)
{
    char buffer[16];
    EXPECT_EQ(buffer, formatString(buffer, sizeof buffer, "HS:%dx%d", 3, 7));
    EXPECT_STREQ("HS:3x7", buffer);
    formatString(buffer, 5, "%s", "registry");
    EXPECT_STREQ("regi", buffer);

    EXPECT_EQ("value 12 'ab'", formatted(64, "value %d '%s'", 12, "ab"));
    EXPECT_EQ("valu", formatted(5, "value %d", 12));
    EXPECT_EQ("", formatted(1, "anything"));
}

TEST(HStringClassify, IsSpaceAcceptsOnlyTabNewlineReturnAndSpace)
{
    for (int c = 0; c < 256; ++c) {
        const bool expected = c == 9 || c == 10 || c == 13 || c == 32;
        EXPECT_EQ(expected, s_isSpace(c)) << "character " << c;
    }
}

TEST(HStringClassify, PowerOfTwo)
{
    struct Case
    {
        uint32_t n;
        bool expected;
    } cases[] = {{0, true},   {1, true},  {2, true},           {64, true},
                 {6, false},  {3, false}, {0x80000000u, true}, {0xFFFFFFFFu, false}};
    for (const Case &c : cases)
        EXPECT_EQ(c.expected, isPowerOfTwo(c.n)) << c.n;
}

TEST(HStringTokens, GetTokenSkipsSeparatorsOnBothSides)
{
    char buffer[32];
    const char *source = " ;a;b";
    const char *next = getToken(buffer, sizeof buffer, source, " ;");
    EXPECT_STREQ("a", buffer);
    EXPECT_EQ(source + 4, next);

    // The last token answers the end of the text; the call after it null.
    next = getToken(buffer, sizeof buffer, next, " ;");
    EXPECT_STREQ("b", buffer);
    ASSERT_NE(nullptr, next);
    EXPECT_EQ('\0', *next);
    std::strcpy(buffer, "old");
    EXPECT_EQ(nullptr, getToken(buffer, sizeof buffer, next, " ;"));
    EXPECT_STREQ("", buffer);

    std::strcpy(buffer, "old");
    EXPECT_EQ(nullptr, getToken(buffer, sizeof buffer, ";;;", " ;"));
    EXPECT_STREQ("", buffer);
    EXPECT_EQ(nullptr, getToken(buffer, sizeof buffer, nullptr, " ;"));

    EXPECT_EQ((std::vector<std::string>{"+set", "vg_trace", "1", "+set", "x"}),
              tokens("+set vg_trace 1; +set x ;", " ;", 32));
}

TEST(HStringTokens, OverLongTokenIsCutButStaysOneToken)
{
    EXPECT_EQ((std::vector<std::string>{"abc", "x", "lon"}), tokens("abcdefgh;x;long", ";", 4));

    GuardedBuffer dest;
    const char *source = "abcdefgh rest";
    const char *next = getToken(dest.bytes, 4, source, " ");
    EXPECT_STREQ("abc", dest.bytes);
    EXPECT_TRUE(dest.untouchedFrom(4));
    EXPECT_EQ(source + 9, next);
}

TEST(HStringTokens, MatchesPatternList)
{
    struct Case
    {
        const char *name;
        const char *list;
        bool expected;
    } cases[] = {
        {"c_sound", "x_*;c_*", true},
        {"c_sound", "C_*", false},          // case matters
        {"c_sound", "c_sound", true},
        {"c_sound", "x;c_sound;y", true},
        {"c_sound", "c_soun", false},       // without "*" the whole name must match
        {"c_soun", "c_sound", false},
        {"c_sound", "c_*zzz", true},        // what follows the "*" is ignored
        {"anything", "*", true},
        {"c_sound", "", false},
        {"c_sound", ";;", false},
        {"", "*", true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.expected, matchesPatternList(c.name, c.list)) << c.name << " in " << c.list;
}

TEST(HStringTokens, ReadLineFromBufferSplitsAtLineEnds)
{
    char line[32];
    const char *text = "\r\nfirst\r\nsecond";
    const char *p = s_readLineFromBuffer(text, line, sizeof line);
    EXPECT_STREQ("first", line);
    EXPECT_EQ(text + 9, p);
    p = s_readLineFromBuffer(p, line, sizeof line);
    EXPECT_STREQ("second", line);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ('\0', *p);
    EXPECT_EQ(nullptr, s_readLineFromBuffer(p, line, sizeof line));
    EXPECT_STREQ("", line);

    // Blank lines are skipped, a lone "\n" or "\r" ends a line too.
    std::vector<std::string> lines;
    for (p = "a\n\n\nb\rc\r\n\r\n"; (p = s_readLineFromBuffer(p, line, sizeof line)) != nullptr;)
        lines.push_back(line);
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), lines);
}

TEST(HStringTokens, ReadLineFromBufferReturnsTheRestOfALongLineNext)
{
    std::vector<std::string> lines;
    char line[4];
    for (const char *p = "abcdefg\nhi"; (p = s_readLineFromBuffer(p, line, sizeof line)) != nullptr;)
        lines.push_back(line);
    EXPECT_EQ((std::vector<std::string>{"abc", "def", "g", "hi"}), lines);

    // A line that exactly fills the buffer is whole, not split.
    lines.clear();
    for (const char *p = "abc\nd"; (p = s_readLineFromBuffer(p, line, sizeof line)) != nullptr;)
        lines.push_back(line);
    EXPECT_EQ((std::vector<std::string>{"abc", "d"}), lines);

    // A buffer with no room for a character cannot advance: it ends at once
    // instead of answering the same position for ever.
    char tiny[1] = {'x'};
    EXPECT_EQ(nullptr, s_readLineFromBuffer("abc", tiny, sizeof tiny));
    EXPECT_EQ('\0', tiny[0]);
}

TEST(HStringTokens, TokenizeSplitsInPlace)
{
    char buffer[] = "  one two\tthree\r\n";
    char *words[5];
    std::memset(words, 0x55, sizeof words);
    EXPECT_EQ(3, s_tokenize(buffer, words, 5));
    EXPECT_STREQ("one", words[0]);
    EXPECT_STREQ("two", words[1]);
    EXPECT_STREQ("three", words[2]);
    EXPECT_EQ(buffer + 2, words[0]);
    // No empty word for the trailing white space; unused entries are null.
    EXPECT_EQ(nullptr, words[3]);
    EXPECT_EQ(nullptr, words[4]);

    char limited[] = "a b c d";
    char *two[2];
    EXPECT_EQ(2, s_tokenize(limited, two, 2));
    EXPECT_STREQ("a", two[0]);
    EXPECT_STREQ("b", two[1]);
    EXPECT_STREQ("c d", limited + 4);  // the rest is left as it was

    char blank[] = " \t ";
    char *none[2];
    EXPECT_EQ(0, s_tokenize(blank, none, 2));
    EXPECT_EQ(nullptr, none[0]);

    // Vertical tab and form feed are not white space here.
    char odd[] = "a\vb\fc d";
    char *parts[3];
    EXPECT_EQ(2, s_tokenize(odd, parts, 3));
    EXPECT_STREQ("a\vb\fc", parts[0]);
    EXPECT_STREQ("d", parts[1]);
}

TEST(HStringByteOrder, SwapsConvertToHostOrder)
{
    struct Case
    {
        int32_t (*swap)(int32_t);
        const char *name;
        int32_t value;
        int32_t expected;
    } cases[] = {
        {swapLittle16, "swapLittle16", 0x1234, 0x1234},
        {swapLittle16, "swapLittle16", 0xFFFF, -1},
        {swapLittle16, "swapLittle16", 0x12348000, -32768},  // only the low 16 bits count
        {swapLittle32, "swapLittle32", 0x12345678, 0x12345678},
        {swapLittle32, "swapLittle32", -2, -2},
        {swapBig16, "swapBig16", 0x1234, 0x3412},
        {swapBig16, "swapBig16", 0x0080, -32768},
        {swapBig16, "swapBig16", 0x7FFF0100, 0x0001},
        {swapBig32, "swapBig32", 0x12345678, 0x78563412},
        {swapBig32, "swapBig32", 0x000000FF, static_cast<int32_t>(0xFF000000u)},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.expected, c.swap(c.value)) << c.name << "(" << std::hex << c.value << ")";
}

TEST(HStringProcessValues, TextsAreCopiedBoundedAndNullIsIgnored)
{
    const std::string savedCommandLine = getCommandLine();
    const std::string savedDirectory = getResourceDirectory();

    char source[] = "+set vg_trace 1";
    setCommandLine(source);
    source[0] = '-';
    EXPECT_STREQ("+set vg_trace 1", getCommandLine());
    setCommandLine(nullptr);
    EXPECT_STREQ("+set vg_trace 1", getCommandLine());

    setResourceDirectory("/opt/game/Resources/");
    setResourceDirectory(nullptr);
    EXPECT_STREQ("/opt/game/Resources/", getResourceDirectory());

    const std::string longText(2000, 'p');
    setResourceDirectory(longText.c_str());
    EXPECT_EQ(longText.substr(0, 1023), getResourceDirectory());
    setCommandLine(longText.c_str());
    EXPECT_EQ(1023u, std::strlen(getCommandLine()));

    setCommandLine(savedCommandLine.c_str());
    setResourceDirectory(savedDirectory.c_str());
}

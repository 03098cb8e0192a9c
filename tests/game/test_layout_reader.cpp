// Layout files: the line parser and the file reader.
#include <gtest/gtest.h>

#include <cstring>

#include "board_support.h"
#include "engine/core/HFile.h"

static std::ostream &operator<<(std::ostream &os, const TMLayoutPosition &p)
{
    return os << "(" << p.x << ", " << p.y << ", " << p.z << ")";
}

namespace {

struct Pos
{
    int32_t x, y, z;
};

bool operator==(const TMLayoutPosition &a, const Pos &b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

std::ostream &operator<<(std::ostream &os, const Pos &p)
{
    return os << "(" << p.x << ", " << p.y << ", " << p.z << ")";
}

const TMLayoutPosition kUntouched = {-77, -77, -77};

// Reads a layout file of the given text into 144 positions (plus one guard
// record that must stay untouched).
struct ReadResult
{
    bool ok;
    std::vector<TMLayoutPosition> positions;
};

ReadResult readText(const std::string &text, int32_t sizeInBytes = 1728)
{
    TempDir dir;
    dir.write("layout.tml", text);
    HStandardFileSystem fs;
    fs.mount(dir.path().c_str());
    ReadResult result;
    result.positions.assign(TM_TILE_COUNT + 1, kUntouched);
    result.ok = TMBoard::readLayout(&fs, "layout.tml", result.positions.data(), sizeInBytes);
    EXPECT_EQ(result.positions[TM_TILE_COUNT], Pos({-77, -77, -77})) << "written past the end";
    return result;
}

// A file whose size and read are scripted, to reach short and failed reads.
class ScriptedFile : public HFile
{
public:
    ScriptedFile(int32_t size, std::string bytes, int32_t answer)
        : m_bytes(std::move(bytes)), m_answer(answer)
    {
        m_size = size;
    }
    int32_t read(void *buffer, int32_t length) override
    {
        requested = length;
        std::memcpy(buffer, m_bytes.data(), std::min<size_t>(m_bytes.size(), static_cast<size_t>(length)));
        return m_answer;
    }
    int32_t write(const void *, int32_t) override { return 0; }
    int32_t rewind() override { return 0; }

    int32_t requested = -1;

private:
    std::string m_bytes;
    int32_t m_answer;
};

class ScriptedFileSystem : public HFileSystem
{
public:
    explicit ScriptedFileSystem(ScriptedFile &file) : m_file(file) {}
    bool fileExists(const char *) override { return true; }
    HFile *openFileForRead(const char *) override
    {
        m_file.setFileSystem(this);
        ++opened;
        return &m_file;
    }
    HFile *openFileForWrite(const char *) override { return nullptr; }
    time_t getFileTime(const char *) override { return 0; }

    int32_t opened = 0;
    int32_t closed = 0;

protected:
    void m_closeFile(HFile *) override { ++closed; }

private:
    ScriptedFile &m_file;
};

} // namespace

TEST(LayoutLine, ParserTable)
{
    struct Case
    {
        const char *what;
        const char *text;
        Pos expected;
        int32_t advance;  // characters stepped over; 0 means it stayed put
    };
    const Case cases[] = {
        {"plain line", "5,6,1\n7,8,9\n", {5, 6, 1}, 6},
        {"two blanks before the numbers", "  2,4,1\n", {2, 4, 1}, 8},
        {"negative values", "-3,-12,0\n", {-3, -12, 0}, 9},
        {"carriage return before the line feed", "3,4,0\r\n5,6,1\n", {3, 4, 0}, 7},
        {"last line without a line feed", "9,8,7", {9, 8, 7}, 5},
        {"empty line stays put", "\n1,2,3\n", {10, 20, 30}, 0},
        {"line of blanks stays put", "   \n1,2,3\n", {10, 20, 30}, 0},
        {"end of text stays put", "", {10, 20, 30}, 0},
        {"missing third field keeps the old z", "7,8\n", {7, 8, 30}, 4},
        {"text keeps all three", "x,1,2\n4,5,6\n", {10, 20, 30}, 6},
        {"trailing junk is skipped", "1,2,3 tile\n4,5,6\n", {1, 2, 3}, 11},
        {"empty CR LF line stays put", "\r\n1,2,3\r\n", {10, 20, 30}, 0},
        {"CR LF line of blanks stays put", "  \r\n1,2,3\r\n", {10, 20, 30}, 0},
        {"lone CR at the end of the text stays put", "\r", {10, 20, 30}, 0},
        // A missing field is never taken from the line after.
        {"missing last field before LF", "7,8,\n9,10,11\n", {7, 8, 30}, 5},
        {"missing last field before CR LF", "7,8,\r\n9,10,11\r\n", {7, 8, 30}, 6},
        {"missing fields after a comma", "7,\n9,10,11\n", {7, 20, 30}, 3},
    };
    for (const Case &c : cases) {
        TMLayoutPosition p = {10, 20, 30};
        const char *next = s_parseLayoutLine(c.text, &p);
        EXPECT_EQ(p, c.expected) << c.what;
        EXPECT_EQ(next - c.text, c.advance) << c.what;
    }
}

TEST(LayoutFile, ReadsAll144Lines)
{
    const std::vector<TMLayoutPosition> layout = threeLayerLayout();
    for (const char *lineEnd : {"\n", "\r\n"}) {
        ReadResult r = readText(layoutText(layout, lineEnd));
        ASSERT_TRUE(r.ok);
        for (int32_t i = 0; i < TM_TILE_COUNT; ++i)
            EXPECT_EQ(r.positions[i], Pos({layout[i].x, layout[i].y, layout[i].z}))
                << "line " << i << (lineEnd[1] ? " (CR LF)" : "");
    }
}

TEST(LayoutFile, BlankLineRepeatsTheLastValuesToTheEnd)
{
    for (const std::string lineEnd : {"\n", "\r\n"}) {
        const std::string text =
            "1,2,0" + lineEnd + "  3,4,1" + lineEnd + lineEnd + "5,6,2" + lineEnd;
        ReadResult r = readText(text);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.positions[0], Pos({1, 2, 0}));
        EXPECT_EQ(r.positions[1], Pos({3, 4, 1}));
        for (int32_t i = 2; i < TM_TILE_COUNT; ++i)
            EXPECT_EQ(r.positions[i], Pos({3, 4, 1})) << "line " << i << (lineEnd.size() > 1 ? " (CR LF)" : "");
    }
}

TEST(LayoutFile, ShortFileRepeatsItsLastLine)
{
    ReadResult r = readText("1,2,0\n3,4,0\n5,6,1");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.positions[1], Pos({3, 4, 0}));
    for (int32_t i = 2; i < TM_TILE_COUNT; ++i)
        EXPECT_EQ(r.positions[i], Pos({5, 6, 1})) << "line " << i;
}

TEST(LayoutFile, UnparsedFirstLineStartsFromZero)
{
    ReadResult r = readText("tiles\n3,4,0\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.positions[0], Pos({0, 0, 0}));
    EXPECT_EQ(r.positions[1], Pos({3, 4, 0}));

    r = readText("");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.positions[0], Pos({0, 0, 0}));
    EXPECT_EQ(r.positions[143], Pos({0, 0, 0}));
}

TEST(LayoutFile, SizeLimitIs8192Bytes)
{
    // 143 ordinary lines and a last line padded with blanks to fill the
    // file exactly, with no line feed: the text ends at the file's end.
    std::vector<TMLayoutPosition> layout = threeLayerLayout();
    layout.pop_back();
    std::string text = layoutText(layout);
    const std::string last = "7,8,9";
    text += std::string(8192 - text.size() - last.size(), ' ') + last;
    ASSERT_EQ(text.size(), 8192u);

    ReadResult r = readText(text);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.positions[142], Pos({layout[142].x, layout[142].y, layout[142].z}));
    EXPECT_EQ(r.positions[143], Pos({7, 8, 9}));

    r = readText(text + "\n");
    EXPECT_FALSE(r.ok) << "8193 bytes are refused";
    EXPECT_EQ(r.positions[0], Pos({-77, -77, -77})) << "nothing is read from a refused file";
}

TEST(LayoutFile, MissingFileOrFileSystem)
{
    TempDir dir;
    HStandardFileSystem fs;
    fs.mount(dir.path().c_str());
    TMLayoutPosition out[TM_TILE_COUNT];
    EXPECT_FALSE(TMBoard::readLayout(&fs, "layouts/none.tml", out, sizeof out));
    EXPECT_FALSE(TMBoard::readLayout(nullptr, "layouts/none.tml", out, sizeof out));
}

TEST(LayoutFile, ReadsAsManyLinesAsTheBufferHolds)
{
    // 24 bytes hold two positions; less than 12 bytes still gets one.
    ReadResult r = readText("1,1,0\n2,2,0\n3,3,0\n", 24);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.positions[1], Pos({2, 2, 0}));
    EXPECT_EQ(r.positions[2], Pos({-77, -77, -77}));

    r = readText("1,1,0\n2,2,0\n", 5);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.positions[0], Pos({1, 1, 0}));
    EXPECT_EQ(r.positions[1], Pos({-77, -77, -77}));
}

TEST(LayoutFile, ShortOrFailedReadEndsTheText)
{
    struct Case
    {
        const char *what;
        int32_t size;
        std::string bytes;
        int32_t answer;
        Pos expected0, expected1;
    };
    // The bytes beyond what the read answers must not be parsed.
    const Case cases[] = {
        {"short read", 8192, "1,2,3\n4,5,6\n", 6, {1, 2, 3}, {1, 2, 3}},
        {"failed read", 100, "1,2,3\n4,5,6\n", -1, {0, 0, 0}, {0, 0, 0}},
        {"read answers more than the size", 6, "1,2,3\n4,5,6\n", 4000, {1, 2, 3}, {1, 2, 3}},
    };
    for (const Case &c : cases) {
        ScriptedFile file(c.size, c.bytes, c.answer);
        ScriptedFileSystem fs(file);
        TMLayoutPosition out[TM_TILE_COUNT];
        ASSERT_TRUE(TMBoard::readLayout(&fs, "layout.tml", out, sizeof out)) << c.what;
        EXPECT_EQ(file.requested, c.size) << c.what;
        EXPECT_EQ(out[0], c.expected0) << c.what;
        EXPECT_EQ(out[1], c.expected1) << c.what;
        EXPECT_EQ(out[143], c.expected1) << c.what;
        EXPECT_EQ(fs.closed, 1) << c.what;
    }
}

TEST(LayoutFile, RefusedFileIsClosed)
{
    ScriptedFile file(8193, "1,2,3\n", 6);
    ScriptedFileSystem fs(file);
    TMLayoutPosition out[TM_TILE_COUNT];
    EXPECT_FALSE(TMBoard::readLayout(&fs, "layout.tml", out, sizeof out));
    EXPECT_EQ(file.requested, -1) << "not read";
    EXPECT_EQ(fs.opened, 1);
    EXPECT_EQ(fs.closed, 1);
}

#include "engine/core/HZIPFileSystem.h"

#include <gtest/gtest.h>

#include "support/skip_support.h"
#include "support/test_support.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

typedef std::vector<uint8_t> Bytes;

struct Entry {
    const char *storedName; // as written into the archive
    const char *askedName;  // the same name in another case
    bool deflated;
};

// Mixed-case names in subfolders, one entry stored and two deflated.
const Entry kEntries[] = {
    {"Art/Title.TGA", "art/title.tga", true},
    {"Config.txt", "CONFIG.TXT", false},
    {"layouts/Classic.TML", "Layouts/classic.tml", true},
};

Bytes contentOf(const char *storedName)
{
    Bytes bytes;
    if (std::strcmp(storedName, "Art/Title.TGA") == 0) {
        for (int i = 0; i < 3000; ++i)
            bytes.push_back(static_cast<uint8_t>((i * 7) % 251));
    } else if (std::strcmp(storedName, "Config.txt") == 0) {
        const char text[] = "loading 1\nmusic theme.ogg\n";
        bytes.assign(text, text + sizeof text - 1);
    } else {
        std::string text;
        for (int i = 0; i < 144; ++i)
            text += std::to_string(i % 30) + "," + std::to_string(i / 30) + "," + std::to_string(i % 4) + "\n";
        bytes.assign(text.begin(), text.end());
    }
    return bytes;
}

using tilmar_test::readBytes;
using tilmar_test::writeBytes;

// A malloc'd copy, since the file system takes ownership of the block.
void *mallocCopy(const Bytes &bytes)
{
    void *block = std::malloc(bytes.empty() ? 1 : bytes.size());
    if (!bytes.empty())
        std::memcpy(block, bytes.data(), bytes.size());
    return block;
}

uint32_t getLE32(const Bytes &b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

void putLE32(Bytes &b, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

size_t findSignature(const Bytes &b, uint32_t signature)
{
    for (size_t i = 0; i + 4 <= b.size(); ++i)
        if (getLE32(b, i) == signature)
            return i;
    return std::string::npos;
}

const uint32_t kLocalHeader = 0x04034b50;
const uint32_t kCentralHeader = 0x02014b50;

// Builds the test archives with tools that know nothing of this code: the
// zip program and Python's zipfile module.
class ZipArchives : public ::testing::Test {
protected:
    static std::string s_dir;
    static bool s_haveZip;
    static bool s_havePython;

    static void SetUpTestSuite()
    {
        char pattern[] = "/tmp/zipfs-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        s_dir = pattern;
        ASSERT_EQ(mkdir((s_dir + "/src").c_str(), 0700), 0);
        ASSERT_EQ(mkdir((s_dir + "/src/Art").c_str(), 0700), 0);
        ASSERT_EQ(mkdir((s_dir + "/src/layouts").c_str(), 0700), 0);
        for (const Entry &e : kEntries)
            ASSERT_TRUE(writeBytes(s_dir + "/src/" + e.storedName, contentOf(e.storedName)));

        std::string cd = "cd '" + s_dir + "/src' && ";
        s_haveZip = std::system("command -v zip >/dev/null 2>&1") == 0 &&
                    std::system((cd + "zip -q -X -D -0 ../tool.zip Config.txt && "
                                      "zip -q -X -D -9 ../tool.zip Art/Title.TGA layouts/Classic.TML")
                                    .c_str()) == 0;

        std::string script =
            "import sys, zipfile\n"
            "src = sys.argv[1]\n"
            "with zipfile.ZipFile(sys.argv[2], 'w') as z:\n"
            "    for name, method in ((\"Art/Title.TGA\", zipfile.ZIP_DEFLATED),\n"
            "                         (\"Config.txt\", zipfile.ZIP_STORED),\n"
            "                         (\"layouts/Classic.TML\", zipfile.ZIP_DEFLATED)):\n"
            "        z.write(src + '/' + name, name, compress_type=method)\n"
            "with zipfile.ZipFile(sys.argv[3], 'w') as z:\n"
            "    z.writestr('Stored.bin', bytes(range(100)), compress_type=zipfile.ZIP_STORED)\n";
        ASSERT_TRUE(writeBytes(s_dir + "/make.py", Bytes(script.begin(), script.end())));
        s_havePython = std::system(("python3 '" + s_dir + "/make.py' '" + s_dir + "/src' '" + s_dir +
                                    "/python.zip' '" + s_dir + "/stored.zip' >/dev/null 2>&1")
                                       .c_str()) == 0;
    }

    static void TearDownTestSuite()
    {
        std::system(("rm -rf '" + s_dir + "'").c_str());
    }

    static std::string path(const char *name) { return s_dir + "/" + name; }

    // True when a tool the test needs is missing: the test has then been
    // skipped (failed under CI) and returns at once.
    bool missingTools(bool zipTool, bool python)
    {
        const char *missing = nullptr;
        if (zipTool && !s_haveZip)
            missing = "the zip program is not available";
        else if (python && !s_havePython)
            missing = "python3 with zipfile is not available";
        if (missing)
            tilmar_test::skipUnlessCI(missing);
        return missing != nullptr;
    }

    // Mounts from a malloc'd copy of the bytes; the file system frees it.
    static bool mountBytes(HZIPFileSystem &fs, const Bytes &bytes)
    {
        return fs.mountFromMemory(mallocCopy(bytes), static_cast<int32_t>(bytes.size()));
    }
};

std::string ZipArchives::s_dir;
bool ZipArchives::s_haveZip = false;
bool ZipArchives::s_havePython = false;

struct MountCase {
    const char *archive;
    bool fromMemory;
};

void PrintTo(const MountCase &c, std::ostream *os)
{
    *os << c.archive << (c.fromMemory ? " from memory" : " from its path");
}

class ZipArchiveContents : public ZipArchives, public ::testing::WithParamInterface<MountCase> {};

// Every entry is found under a name that differs only in case, reports its
// own size before any read, reads back exactly, and reads the same bytes again.
TEST_P(ZipArchiveContents, ServesEveryEntryUnderAnyCaseOfItsName)
{
    const MountCase &mc = GetParam();
    bool zipTool = std::strcmp(mc.archive, "tool.zip") == 0;
    if (missingTools(zipTool, !zipTool))
        return;

    HZIPFileSystem fs;
    if (mc.fromMemory)
        ASSERT_TRUE(mountBytes(fs, readBytes(path(mc.archive))));
    else
        ASSERT_TRUE(fs.mount(path(mc.archive).c_str()));
    ASSERT_NE(fs.getArchive(), nullptr);

    for (const Entry &e : kEntries) {
        SCOPED_TRACE(e.askedName);
        const Bytes expected = contentOf(e.storedName);

        // The fixture really holds both kinds of entry.
        ASSERT_EQ(unzLocateFile(fs.getArchive(), e.storedName, 1), UNZ_OK);
        unz_file_info info;
        ASSERT_EQ(unzGetCurrentFileInfo(fs.getArchive(), &info, nullptr, 0, nullptr, 0, nullptr, 0), UNZ_OK);
        EXPECT_EQ(info.compression_method, e.deflated ? uLong(Z_DEFLATED) : uLong(0));

        EXPECT_TRUE(fs.fileExists(e.askedName));
        EXPECT_EQ(fs.getFileTime(e.askedName), 0);
        HFile *file = fs.openFileForRead(e.askedName);
        ASSERT_NE(file, nullptr);
        EXPECT_STREQ(file->getClassName(), "HZIPFile");
        EXPECT_STREQ(file->getName(), e.askedName);
        EXPECT_EQ(file->getSize(), static_cast<int32_t>(expected.size()));

        Bytes first(expected.size() + 16, 0xEE);
        EXPECT_EQ(file->read(first.data(), file->getSize()), file->getSize());
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), first.begin()));
        EXPECT_EQ(first[expected.size()], 0xEE) << "read past the requested length";

        Bytes second(expected.size(), 0);
        EXPECT_EQ(file->read(second.data(), file->getSize()), file->getSize());
        EXPECT_EQ(second, expected);
        file->close();
    }

    EXPECT_FALSE(fs.fileExists("Missing.txt"));
    EXPECT_EQ(fs.openFileForRead("Missing.txt"), nullptr);
    EXPECT_EQ(fs.openFileForRead("Art"), nullptr) << "a folder prefix is not an entry";
    fs.shutdown();
}

INSTANTIATE_TEST_SUITE_P(ToolsAndMounts, ZipArchiveContents,
                         ::testing::Values(MountCase{"tool.zip", true}, MountCase{"tool.zip", false},
                                           MountCase{"python.zip", true}, MountCase{"python.zip", false}),
                         [](const ::testing::TestParamInfo<MountCase> &info) {
                             return std::string(std::strcmp(info.param.archive, "tool.zip") == 0 ? "ZipTool"
                                                                                                 : "Python") +
                                    (info.param.fromMemory ? "FromMemory" : "FromPath");
                         });

// The file keeps no position: a short read always delivers the entry's start.
TEST_F(ZipArchives, EveryReadStartsAtTheBeginningOfTheEntry)
{
    if (missingTools(false, true))
        return;
    HZIPFileSystem fs;
    ASSERT_TRUE(mountBytes(fs, readBytes(path("python.zip"))));
    HFile *file = fs.openFileForRead("art/TITLE.tga");
    ASSERT_NE(file, nullptr);
    const Bytes expected = contentOf("Art/Title.TGA");
    for (int pass = 0; pass < 2; ++pass) {
        Bytes part(100, 0);
        EXPECT_EQ(file->read(part.data(), 100), 100);
        EXPECT_TRUE(std::equal(part.begin(), part.end(), expected.begin())) << "pass " << pass;
    }
    // Asking for more than the entry holds delivers the entry.
    Bytes more(expected.size() * 2, 0);
    EXPECT_EQ(file->read(more.data(), static_cast<int32_t>(more.size())), static_cast<int32_t>(expected.size()));
    file->close();
    fs.shutdown();
}

// Sixteen files at once, each reading its own entry; the 17th is refused and
// a closed slot is handed out again.
TEST_F(ZipArchives, PoolOfSixteenFiles)
{
    if (missingTools(false, true))
        return;
    HZIPFileSystem fs;
    ASSERT_TRUE(mountBytes(fs, readBytes(path("python.zip"))));

    HFile *files[16];
    for (int i = 0; i < 16; ++i) {
        files[i] = fs.openFileForRead(kEntries[i % 3].askedName);
        ASSERT_NE(files[i], nullptr) << i;
        for (int j = 0; j < i; ++j)
            ASSERT_NE(files[i], files[j]);
    }
    EXPECT_EQ(fs.openFileForRead("Config.txt"), nullptr);

    // Interleaved reads: each file delivers its own entry.
    for (int i = 15; i >= 0; --i) {
        const Bytes expected = contentOf(kEntries[i % 3].storedName);
        Bytes got(expected.size(), 0);
        EXPECT_EQ(files[i]->read(got.data(), files[i]->getSize()), static_cast<int32_t>(expected.size()));
        EXPECT_EQ(got, expected) << i;
    }

    files[5]->close();
    files[9]->close();
    HFile *again = fs.openFileForRead("config.txt");
    EXPECT_EQ(again, files[5]) << "the first free slot in order";
    EXPECT_STREQ(again->getName(), "config.txt");
    EXPECT_EQ(again->getSize(), static_cast<int32_t>(contentOf("Config.txt").size()));
    for (HFile *f : files)
        f->close();
    fs.shutdown();
}

TEST_F(ZipArchives, WritingAndRewindingAreRefused)
{
    if (missingTools(false, true))
        return;
    HZIPFileSystem fs;
    ASSERT_TRUE(fs.mount(path("python.zip").c_str()));
    EXPECT_EQ(fs.openFileForWrite("Config.txt"), nullptr);
    EXPECT_EQ(fs.openFileForWrite("New.txt"), nullptr);
    HFile *file = fs.openFileForRead("Config.txt");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->write("x", 1), 0);
    EXPECT_EQ(file->rewind(), 0);
    file->close();
    fs.shutdown();
}

// Nothing is served before a mount, after a failed one, or after shutdown;
// a file still open at shutdown reads nothing.
TEST_F(ZipArchives, NothingIsServedWithoutAnOpenArchive)
{
    if (missingTools(false, true))
        return;
    HZIPFileSystem fs;
    EXPECT_EQ(fs.getArchive(), nullptr);
    EXPECT_FALSE(fs.fileExists("Config.txt"));
    EXPECT_EQ(fs.openFileForRead("Config.txt"), nullptr);

    EXPECT_FALSE(fs.mount(path("no-such.zip").c_str()));
    EXPECT_EQ(fs.openFileForRead("Config.txt"), nullptr);

    ASSERT_TRUE(fs.mount(path("python.zip").c_str()));
    HFile *file = fs.openFileForRead("Config.txt");
    ASSERT_NE(file, nullptr);
    fs.shutdown();
    EXPECT_EQ(fs.getArchive(), nullptr);
    char buffer[64];
    EXPECT_EQ(file->read(buffer, sizeof buffer), 0);
    EXPECT_EQ(fs.openFileForRead("Config.txt"), nullptr);
    EXPECT_FALSE(fs.mount(path("python.zip").c_str()));
}

// The memory block belongs to the file system from the call on: a failed
// mount frees it at once (the leak checker of the sanitizer build sees any
// block left behind), and a file system deleted without shutdown frees it too.
TEST_F(ZipArchives, BadBlocksFailToMountAndAreFreed)
{
    if (missingTools(true, false))
        return;
    const Bytes good = readBytes(path("tool.zip"));
    ASSERT_GT(good.size(), 100u);

    Bytes garbage(4096);
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);

    struct BadCase {
        const char *what;
        Bytes bytes;
    };
    const BadCase cases[] = {
        {"garbage", garbage},
        {"zeros", Bytes(2048, 0)},
        {"one byte", Bytes(1, 'P')},
        {"local header only", Bytes(good.begin(), good.begin() + 30)},
        {"first half", Bytes(good.begin(), good.begin() + good.size() / 2)},
        {"end record cut off", Bytes(good.begin(), good.end() - 22)},
    };
    for (const BadCase &c : cases) {
        HZIPFileSystem fs;
        EXPECT_FALSE(mountBytes(fs, c.bytes)) << c.what;
        EXPECT_EQ(fs.getArchive(), nullptr) << c.what;
        EXPECT_EQ(fs.openFileForRead("Config.txt"), nullptr) << c.what;
        fs.shutdown();
    }

    {
        HZIPFileSystem fs;
        EXPECT_FALSE(fs.mountFromMemory(std::malloc(16), 0));
        EXPECT_FALSE(fs.mountFromMemory(std::malloc(16), -5));
        EXPECT_FALSE(fs.mountFromMemory(nullptr, 100));
        fs.shutdown();
    }
    {
        HZIPFileSystem fs;
        ASSERT_TRUE(mountBytes(fs, good));
        // A second mount replaces the first archive without leaking it.
        ASSERT_TRUE(mountBytes(fs, good));
        EXPECT_TRUE(fs.fileExists("config.TXT"));
    } // deleted without shutdown
}

// Offsets and sizes inside the archive are not trusted: a damaged archive
// makes reads fail instead of reading outside the block or handing out bytes
// nobody wrote.
TEST_F(ZipArchives, DamagedEntriesReadAsFailures)
{
    if (missingTools(false, true))
        return;
    const Bytes good = readBytes(path("stored.zip"));
    const size_t local = findSignature(good, kLocalHeader);
    const size_t central = findSignature(good, kCentralHeader);
    ASSERT_EQ(local, 0u);
    ASSERT_NE(central, std::string::npos);
    ASSERT_EQ(getLE32(good, central + 20), 100u); // stored: compressed size 100

    Bytes expected(100);
    for (int i = 0; i < 100; ++i)
        expected[i] = static_cast<uint8_t>(i);

    {
        SCOPED_TRACE("intact");
        HZIPFileSystem fs;
        ASSERT_TRUE(mountBytes(fs, good));
        HFile *file = fs.openFileForRead("stored.BIN");
        ASSERT_NE(file, nullptr);
        Bytes got(100);
        EXPECT_EQ(file->read(got.data(), 100), 100);
        EXPECT_EQ(got, expected);
        fs.shutdown();
    }
    {
        SCOPED_TRACE("local header far beyond the block");
        Bytes bad = good;
        putLE32(bad, central + 42, 0xFFFFFF00u);
        HZIPFileSystem fs;
        ASSERT_TRUE(mountBytes(fs, bad));
        HFile *file = fs.openFileForRead("Stored.bin");
        ASSERT_NE(file, nullptr);
        Bytes got(100);
        EXPECT_EQ(file->read(got.data(), 100), 0);
        fs.shutdown();
    }
    {
        SCOPED_TRACE("sizes claim more than the block holds");
        Bytes bad = good;
        for (size_t at : {local + 18, local + 22, central + 20, central + 24})
            putLE32(bad, at, 100000);
        HZIPFileSystem fs;
        ASSERT_TRUE(mountBytes(fs, bad));
        HFile *file = fs.openFileForRead("Stored.bin");
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->getSize(), 100000);
        // Short of the entry's end, so no checksum is compared: only the
        // short read of the block tells minizip that the data is not there.
        Bytes got(1000);
        EXPECT_LT(file->read(got.data(), 1000), 0);
        fs.shutdown();
    }
    {
        SCOPED_TRACE("a data byte changed");
        Bytes bad = good;
        bad[local + 30 + std::strlen("Stored.bin") + 50] ^= 0x01;
        HZIPFileSystem fs;
        ASSERT_TRUE(mountBytes(fs, bad));
        HFile *file = fs.openFileForRead("Stored.bin");
        ASSERT_NE(file, nullptr);
        Bytes got(100);
        EXPECT_LT(file->read(got.data(), 100), 0) << "the checksum does not match";
        fs.shutdown();
    }
}

TEST(ZipFileClass, IsRegisteredAsAKindOfFile)
{
    const HClassInfo *info = HClassInfo::find("hzipfile");
    ASSERT_EQ(info, &HZIPFile::s_classInfo);
    EXPECT_STREQ(info->m_baseClassName, "HFile");
    EXPECT_TRUE(info->isKindOf(&HFile::s_classInfo));
    EXPECT_TRUE(info->isKindOf(&HObject::s_classInfo));
    EXPECT_FALSE(HFile::s_classInfo.isKindOf(info));
}

} // namespace

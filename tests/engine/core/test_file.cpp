// The directory file system and its files: opening, reading and writing,
// the pool of 16, paths that do not fit, and the names that are not joined
// with the root path.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>
#include <vector>

#include "engine/core/HFile.h"
#include "file_test_support.h"

using file_test::readWholeFile;
using file_test::TempDir;
using file_test::writeWholeFile;

namespace {

class StandardFileSystem : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_dir.path().empty());
        ASSERT_TRUE(m_fs.mount(m_dir.path().c_str()));
    }

    TempDir m_dir;
    HStandardFileSystem m_fs;
};

TEST_F(StandardFileSystem, WrittenBytesReadBackWithSizeKnownUpFront)
{
    const std::string bytes("layout\0data\r\n\xff", 14);

    HFile *out = m_fs.openFileForWrite("a.bin");
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->getSize(), 0);
    EXPECT_EQ(out->write(bytes.data(), static_cast<int32_t>(bytes.size())), 14);
    out->close();

    HFile *in = m_fs.openFileForRead("a.bin");
    ASSERT_NE(in, nullptr);
    EXPECT_STREQ(in->getName(), (m_dir / "a.bin").c_str());
    EXPECT_EQ(in->getSize(), 14);

    char buffer[32] = {};
    EXPECT_EQ(in->read(buffer, sizeof buffer), 14);
    EXPECT_EQ(std::string(buffer, 14), bytes);
    EXPECT_EQ(in->read(buffer, sizeof buffer), 0) << "at the end of the file";

    ASSERT_EQ(in->rewind(), 1);
    char again[4] = {};
    EXPECT_EQ(in->read(again, 4), 4);
    EXPECT_EQ(std::string(again, 4), "layo");
    in->close();

    // Opening for writing starts the file afresh.
    HFile *truncate = m_fs.openFileForWrite("a.bin");
    ASSERT_NE(truncate, nullptr);
    truncate->close();
    EXPECT_EQ(readWholeFile(m_dir / "a.bin"), "");
}

TEST_F(StandardFileSystem, FilesAreRegisteredStandardFiles)
{
    HFile *file = m_fs.openFileForWrite("kind.txt");
    ASSERT_NE(file, nullptr);
    EXPECT_STREQ(file->getClassName(), "HStandardFile");
    EXPECT_STREQ(file->getBaseClassName(), "HFile");
    EXPECT_TRUE(file->isExactly(&HStandardFile::s_classInfo));
    EXPECT_TRUE(file->isKindOf(&HFile::s_classInfo));
    EXPECT_TRUE(file->isKindOf(&HObject::s_classInfo));
    EXPECT_EQ(HClassInfo::find("hstandardfile"), &HStandardFile::s_classInfo);
    EXPECT_EQ(HClassInfo::find("HFile"), &HFile::s_classInfo);
    file->close();
}

TEST_F(StandardFileSystem, OperationsOutsideTheFileModeAnswerZero)
{
    ASSERT_TRUE(writeWholeFile(m_dir / "in.txt", "source"));
    char buffer[16] = {};

    HFile *in = m_fs.openFileForRead("in.txt");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->write("xx", 2), 0) << "write on a file opened for reading";
    EXPECT_EQ(in->read(buffer, -1), 0) << "negative length";

    HFile *out = m_fs.openFileForWrite("out.txt");
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->read(buffer, sizeof buffer), 0) << "read on a file opened for writing";

    in->close();
    out->close();
    EXPECT_EQ(in->read(buffer, sizeof buffer), 0) << "read after close";
    EXPECT_EQ(out->write("xx", 2), 0) << "write after close";
    EXPECT_EQ(in->rewind(), 0) << "rewind after close";
    in->flush(); // harmless when closed

    // A second close only warns; the stream of the slot is not touched.
    in->close();
    EXPECT_EQ(readWholeFile(m_dir / "in.txt"), "source");
    EXPECT_EQ(readWholeFile(m_dir / "out.txt"), "");
}

TEST_F(StandardFileSystem, FailedOpensAnswerNullAndKeepTheirSlotFree)
{
    ASSERT_EQ(mkdir((m_dir / "sub").c_str(), 0700), 0);
    EXPECT_EQ(m_fs.openFileForRead("missing.txt"), nullptr);
    EXPECT_EQ(m_fs.openFileForWrite("no/such/dir/x.txt"), nullptr);
    EXPECT_EQ(m_fs.openFileForRead("sub"), nullptr) << "a directory is no readable file";
    EXPECT_EQ(m_fs.openFileForRead(nullptr), nullptr);

    // None of the failures used up a slot.
    std::vector<HFile *> open;
    for (int i = 0; i < kFilePoolSize; ++i) {
        HFile *file = m_fs.openFileForWrite(("f" + std::to_string(i)).c_str());
        ASSERT_NE(file, nullptr) << "slot " << i;
        open.push_back(file);
    }
    for (HFile *file : open)
        file->close();
}

TEST_F(StandardFileSystem, SeventeenthOpenFailsAndAClosedSlotIsReusedFirst)
{
    ASSERT_TRUE(writeWholeFile(m_dir / "exists.txt", "x"));
    std::vector<HFile *> open;
    for (int i = 0; i < kFilePoolSize; ++i) {
        HFile *file = m_fs.openFileForWrite(("f" + std::to_string(i)).c_str());
        ASSERT_NE(file, nullptr) << "slot " << i;
        open.push_back(file);
    }
    EXPECT_EQ(m_fs.openFileForRead("exists.txt"), nullptr);
    EXPECT_EQ(m_fs.openFileForWrite("g.txt"), nullptr);
    EXPECT_FALSE(m_fs.fileExists((m_dir / "exists.txt").c_str())) << "no slot left to probe with";

    // Free two slots; the next opens take the lower one first.
    open[9]->close();
    open[4]->close();
    HFile *reused = m_fs.openFileForRead("exists.txt");
    EXPECT_EQ(reused, open[4]);
    ASSERT_NE(reused, nullptr);
    EXPECT_EQ(reused->getSize(), 1);
    EXPECT_STREQ(reused->getName(), (m_dir / "exists.txt").c_str());
    EXPECT_EQ(m_fs.openFileForWrite("h.txt"), open[9]);
    EXPECT_EQ(m_fs.openFileForWrite("i.txt"), nullptr);

    for (HFile *file : open)
        file->close();
}

TEST_F(StandardFileSystem, ExistenceAndTimeUseTheNameAsGivenNotTheRoot)
{
    ASSERT_TRUE(writeWholeFile(m_dir / "only_in_root.txt", "x"));
    struct utimbuf times = {1000000000, 1234567890};
    ASSERT_EQ(utime((m_dir / "only_in_root.txt").c_str(), &times), 0);

    // The relative name would exist under the root, but it is resolved
    // against the working directory, where it does not.
    EXPECT_FALSE(m_fs.fileExists("only_in_root.txt"));
    EXPECT_EQ(m_fs.getFileTime("only_in_root.txt"), 0);

    EXPECT_TRUE(m_fs.fileExists((m_dir / "only_in_root.txt").c_str()));
    EXPECT_EQ(m_fs.getFileTime((m_dir / "only_in_root.txt").c_str()), 1234567890);
    EXPECT_FALSE(m_fs.fileExists((m_dir / "missing.txt").c_str()));
    EXPECT_FALSE(m_fs.fileExists(nullptr));
    EXPECT_EQ(m_fs.getFileTime(nullptr), 0);

    // The probes closed their files again: the whole pool is still free.
    for (int i = 0; i < kFilePoolSize; ++i)
        ASSERT_NE(m_fs.openFileForWrite(("f" + std::to_string(i)).c_str()), nullptr) << "slot " << i;
    m_fs.mount(m_dir.path().c_str());
}

// Runs in another working directory for its lifetime, and always returns.
class WorkingDirectory
{
public:
    explicit WorkingDirectory(const std::string &dir)
    {
        m_saved = getcwd(m_buffer, sizeof m_buffer) != nullptr;
        m_entered = m_saved && chdir(dir.c_str()) == 0;
    }
    ~WorkingDirectory()
    {
        if (m_entered && chdir(m_buffer) != 0)
            ADD_FAILURE() << "could not return to " << m_buffer;
    }
    bool entered() const { return m_entered; }

private:
    char m_buffer[4096];
    bool m_saved = false;
    bool m_entered = false;
};

TEST_F(StandardFileSystem, RelativeNamesResolveAgainstTheWorkingDirectory)
{
    // A file system on "." opens "./name"; run in the scratch directory
    // so nothing lands in the real working directory.
    ASSERT_TRUE(writeWholeFile(m_dir / "here.txt", "x"));
    HStandardFileSystem dot;
    {
        WorkingDirectory inScratch(m_dir.path());
        ASSERT_TRUE(inScratch.entered());
        dot.mount(".");
        HFile *trace = dot.openFileForWrite("trace.txt");
        ASSERT_NE(trace, nullptr);
        EXPECT_STREQ(trace->getName(), "./trace.txt");
        EXPECT_TRUE(dot.fileExists("here.txt"));
        trace->close();
    }
    EXPECT_EQ(readWholeFile(m_dir / "trace.txt"), "");
}

// A root of exactly 1016 characters below the scratch directory, made of
// "/." steps so that it names the scratch directory itself.
std::string rootOfLength(const std::string &dir, size_t length)
{
    std::string root = dir;
    if ((length - root.size()) % 2 != 0)
        root += "/";
    while (root.size() < length)
        root += "/.";
    return root;
}

TEST_F(StandardFileSystem, APathThatDoesNotFitFailsInsteadOfOpeningAnotherFile)
{
    ASSERT_TRUE(writeWholeFile(m_dir / "victim", "precious"));
    const std::string root = rootOfLength(m_dir.path(), 1016);
    ASSERT_EQ(root.size(), 1016u);
    HStandardFileSystem fs;
    fs.mount(root.c_str());

    // root + "/" + "victim" is 1023 characters: it fits exactly.
    HFile *fits = fs.openFileForRead("victim");
    ASSERT_NE(fits, nullptr);
    EXPECT_EQ(strlen(fits->getName()), 1023u);
    EXPECT_EQ(fits->getSize(), 8);
    fits->close();

    // One character more would be cut back to ".../victim".
    EXPECT_EQ(fs.openFileForRead("victimX"), nullptr);
    EXPECT_EQ(fs.openFileForWrite("victimX"), nullptr);
    EXPECT_EQ(fs.openFileForWrite("victim-log.txt"), nullptr);
    EXPECT_EQ(readWholeFile(m_dir / "victim"), "precious") << "the cut path must not be opened for writing";

    // A root cut by setRootPath can never be joined to anything.
    HStandardFileSystem cut;
    cut.mount(rootOfLength(m_dir.path(), 1100).c_str());
    EXPECT_EQ(cut.openFileForRead("victim"), nullptr);
}

TEST_F(StandardFileSystem, AFileTooLargeForItsSizeFieldIsNotOpened)
{
    const std::string big = m_dir / "big.bin";
    ASSERT_TRUE(writeWholeFile(big, ""));
    if (truncate(big.c_str(), 3LL * 1024 * 1024 * 1024) != 0)
        GTEST_SKIP() << "no sparse 3 GiB file here";
    EXPECT_EQ(m_fs.openFileForRead("big.bin"), nullptr);
}

TEST_F(StandardFileSystem, OpenStreamsAreClosedWhenTheFileSystemGoes)
{
    // Data still in a stream buffer reaches the disk when a remount or the
    // file system's end closes the stream it would otherwise leak.
    HFile *remounted = m_fs.openFileForWrite("remount.txt");
    ASSERT_NE(remounted, nullptr);
    ASSERT_EQ(remounted->write("kept", 4), 4);
    m_fs.shutdown(); // only reports; the file stays open and writable
    ASSERT_EQ(remounted->write("!", 1), 1);
    m_fs.mount(m_dir.path().c_str());
    EXPECT_EQ(readWholeFile(m_dir / "remount.txt"), "kept!");

    auto *fs = new HStandardFileSystem;
    fs->mount(m_dir.path().c_str());
    HFile *left = fs->openFileForWrite("left.txt");
    ASSERT_NE(left, nullptr);
    ASSERT_EQ(left->write("also kept", 9), 9);
    fs->shutdown();
    delete fs;
    EXPECT_EQ(readWholeFile(m_dir / "left.txt"), "also kept");
}

TEST(StandardFile, CloseOfAFileWithoutFileSystemDoesNothing)
{
    HStandardFile loose;
    loose.close();
    char buffer[4];
    EXPECT_EQ(loose.read(buffer, 4), 0);
    EXPECT_EQ(loose.getSize(), 0);
    EXPECT_STREQ(loose.getName(), "");
}

} // namespace

TEST_F(StandardFileSystem, ReadAndCloseFileGivesTheWholeFileOrNothingAndAlwaysCloses)
{
    ASSERT_TRUE(writeWholeFile(m_dir / "data.bin", "abcdef"));
    ASSERT_TRUE(writeWholeFile(m_dir / "empty.bin", ""));
    struct Case
    {
        const char *name;
        int32_t size;
        const char *expected; // null: no buffer
    } const cases[] = {
        {"data.bin", 6, "abcdef"},
        {"data.bin", 7, nullptr}, // fewer bytes arrive than asked for
        {"data.bin", -1, nullptr},
        {"empty.bin", 0, ""},
    };
    for (const Case &c : cases) {
        // More rounds than the pool has slots: a file left open would make
        // the later opens fail.
        for (int round = 0; round <= kFilePoolSize; ++round) {
            HFile *file = m_fs.openFileForRead(c.name);
            ASSERT_NE(file, nullptr) << c.name << " size " << c.size << " round " << round;
            uint8_t *bytes = readAndCloseFile(file, c.size);
            if (!c.expected) {
                EXPECT_EQ(bytes, nullptr) << c.name << " size " << c.size;
            } else {
                ASSERT_NE(bytes, nullptr) << c.name;
                EXPECT_EQ(std::string(reinterpret_cast<char *>(bytes), size_t(c.size)), c.expected);
            }
            free(bytes);
        }
    }
}

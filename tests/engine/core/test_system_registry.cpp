#include "engine/core/HSystemRegistry.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <pwd.h>
#include <signal.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

typedef std::vector<uint8_t> Bytes;

Bytes bytesOf(const std::string &text)
{
    return Bytes(text.begin(), text.end());
}

// One file record: the key with its zero byte, a little-endian length, the data.
Bytes record(const std::string &key, const Bytes &data)
{
    Bytes out(key.begin(), key.end());
    out.push_back(0);
    uint32_t length = static_cast<uint32_t>(data.size());
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(length >> (8 * i)));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes operator+(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

using tilmar_test::fileExists;
using tilmar_test::listDirectory;
using tilmar_test::readBytes;
using tilmar_test::writeBytes;

// Opens the protected parts to the tests.
class TestRegistry : public HUnixSystemRegistry {
public:
    const char *path() const { return m_path; }
    static bool homeDirectory(char *buffer, int32_t size) { return m_getHomeDirectory(buffer, size); }
};

// Each test gets its own home directory; HOME is restored afterwards.
class Registry : public ::testing::Test {
protected:
    std::string m_home;
    std::string m_savedHome;
    bool m_hadHome = false;

    void SetUp() override
    {
        if (const char *home = std::getenv("HOME")) {
            m_hadHome = true;
            m_savedHome = home;
        }
        char pattern[] = "/tmp/registry-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_home = pattern;
        setHome(m_home);
    }

    void TearDown() override
    {
        if (m_hadHome)
            setenv("HOME", m_savedHome.c_str(), 1);
        else
            unsetenv("HOME");
        std::system(("chmod -R u+rwx '" + m_home + "' 2>/dev/null; rm -rf '" + m_home + "'").c_str());
    }

    static void setHome(const std::string &home) { setenv("HOME", home.c_str(), 1); }

    std::string directory() const { return m_home + "/.velmora"; }
    std::string file() const { return directory() + "/registry_Velmora_Tilmar"; }

    void givenFile(const Bytes &bytes)
    {
        ASSERT_TRUE(fileExists(directory()) || mkdir(directory().c_str(), 0700) == 0);
        ASSERT_TRUE(writeBytes(file(), bytes));
    }

    static Bytes value32(int32_t v)
    {
        Bytes b(4);
        std::memcpy(b.data(), &v, 4);
        return b;
    }
};

TEST_F(Registry, PathIsFormedFromHomeWithOneSeparator)
{
    for (const std::string &home : {m_home, m_home + "/"}) {
        SCOPED_TRACE(home);
        setHome(home);
        TestRegistry registry;
        ASSERT_TRUE(registry.open(nullptr, "Velmora", "Tilmar"));
        ASSERT_NE(registry.path(), nullptr);
        EXPECT_EQ(std::string(registry.path()), file());
        struct stat st;
        ASSERT_EQ(stat(directory().c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 077, 0u) << "the settings folder is private";
        EXPECT_TRUE(registry.close());
        EXPECT_EQ(registry.path(), nullptr);
    }
}

// One value in an empty registry gives exactly one record: 6 key bytes, the
// zero, the length 4 little-endian and the 4 data bytes.
TEST_F(Registry, OneValueWritesTheFifteenByteRecord)
{
    HUnixSystemRegistry registry;
    ASSERT_TRUE(registry.open(nullptr, "Velmora", "Tilmar"));
    const int32_t layout = 0x0A0B0C0D;
    ASSERT_TRUE(registry.writeValue("Layout", &layout, 4));
    ASSERT_TRUE(registry.close());

    const Bytes expected = {'L', 'a', 'y', 'o', 'u', 't', 0, 4, 0, 0, 0, 0x0D, 0x0C, 0x0B, 0x0A};
    EXPECT_EQ(readBytes(file()), expected);
    struct stat st;
    ASSERT_EQ(stat(file().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(listDirectory(directory()), std::vector<std::string>{"registry_Velmora_Tilmar"});
}

// New keys go to the head, rewritten keys keep their place, and the loaded
// keys follow in the file's order.
TEST_F(Registry, RecordOrderAfterLoading)
{
    const Bytes a = record("A", bytesOf("first")), b = record("B", bytesOf("second"));
    struct OrderCase {
        const char *key;
        const char *value;
        Bytes expected;
    };
    const OrderCase cases[] = {
        {"C", "new", record("C", bytesOf("new")) + a + b},
        {"A", "again", record("A", bytesOf("again")) + b},
        {"B", "", a + record("B", Bytes())},
    };
    for (const OrderCase &c : cases) {
        SCOPED_TRACE(c.key);
        givenFile(a + b);
        HUnixSystemRegistry registry;
        ASSERT_TRUE(registry.open(nullptr, "Velmora", "Tilmar"));
        ASSERT_TRUE(registry.writeData(c.key, c.value, static_cast<int32_t>(std::strlen(c.value))));
        ASSERT_TRUE(registry.close());
        EXPECT_EQ(readBytes(file()), c.expected);
    }
}

TEST_F(Registry, OpenAndCloseWithoutWritesKeepsTheFileAsItIs)
{
    HUnixSystemRegistry registry;
    // No file and no writes: no file either.
    ASSERT_TRUE(registry.open(nullptr, "Velmora", "Tilmar"));
    ASSERT_TRUE(registry.close());
    EXPECT_FALSE(fileExists(file()));

    const Bytes content = record("Fullscreen", value32(1)) + record("HS:0x0", Bytes(48, 7)) +
                          record("LastHighScoreName", bytesOf(std::string("Ann") + '\0'));
    givenFile(content);
    ASSERT_TRUE(registry.open(nullptr, "Velmora", "Tilmar"));
    ASSERT_TRUE(registry.close());
    EXPECT_EQ(readBytes(file()), content);

    // An empty file stays empty.
    givenFile(Bytes());
    ASSERT_TRUE(registry.open(nullptr, "Velmora", "Tilmar"));
    ASSERT_TRUE(registry.close());
    EXPECT_TRUE(fileExists(file()));
    EXPECT_TRUE(readBytes(file()).empty());
}

TEST_F(Registry, ReadStringIsBoundedTerminatedAndCaseSensitive)
{
    HUnixSystemRegistry registry;
    ASSERT_TRUE(registry.writeData("Name", "Alexandra", 9)); // stored without its zero
    ASSERT_TRUE(registry.writeData("Short", "Al\0xy", 5));

    char buffer[8];
    std::memset(buffer, 'X', sizeof buffer);
    ASSERT_TRUE(registry.readString("Name", buffer, 5));
    EXPECT_STREQ(buffer, "Alex");
    EXPECT_EQ(buffer[5], 'X') << "nothing beyond the given size";

    std::memset(buffer, 'X', sizeof buffer);
    ASSERT_TRUE(registry.readString("Name", buffer, sizeof buffer));
    EXPECT_EQ(std::string(buffer), "Alexand");

    std::memset(buffer, 'X', sizeof buffer);
    ASSERT_TRUE(registry.readString("Short", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "Al");
    for (size_t i = 2; i < sizeof buffer; ++i)
        EXPECT_EQ(buffer[i], 0) << "the rest is filled with zeros, at " << i;

    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_FALSE(registry.readString("name", buffer, sizeof buffer));
    EXPECT_FALSE(registry.readString("Nam", buffer, sizeof buffer));
    EXPECT_EQ(buffer[0], 'X');
}

TEST_F(Registry, ReadDataCopiesAtMostTheBufferAndReportsTheCount)
{
    HUnixSystemRegistry registry;
    const uint8_t value[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(registry.writeValue("Key", value, 6));

    struct ReadCase {
        int32_t size;
        int32_t expectedCount;
    };
    for (const ReadCase &c : {ReadCase{4, 4}, ReadCase{6, 6}, ReadCase{48, 6}, ReadCase{0, 0}}) {
        SCOPED_TRACE(c.size);
        uint8_t buffer[48];
        std::memset(buffer, 0xEE, sizeof buffer);
        int32_t count = -1;
        ASSERT_TRUE(registry.readData("Key", buffer, c.size, &count));
        EXPECT_EQ(count, c.expectedCount);
        EXPECT_EQ(std::memcmp(buffer, value, static_cast<size_t>(count)), 0);
        EXPECT_EQ(buffer[count], 0xEE);
    }

    uint8_t buffer[4] = {9, 9, 9, 9};
    int32_t count = 77;
    EXPECT_FALSE(registry.readData("key", buffer, 4, &count));
    EXPECT_EQ(count, 77);
    EXPECT_EQ(buffer[0], 9);

    // Rewriting replaces the value and its length.
    ASSERT_TRUE(registry.writeValue("Key", value + 4, 2));
    ASSERT_TRUE(registry.readData("Key", buffer, 4, &count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(buffer[0], 5);
}

// Whatever a damaged or hand-edited file holds, loading keeps the records it
// can read, never reads past the file or trusts its length fields, and a later
// save writes back exactly what was loaded.
TEST_F(Registry, DamagedFilesLoadTheRecordsThatArePresent)
{
    const Bytes a = record("A", bytesOf("alpha"));
    const Bytes b = record("B", bytesOf("beta"));
    const Bytes zeroLength = record("Z", Bytes());
    Bytes hugeLength = bytesOf(std::string("Big") + '\0');
    hugeLength.insert(hugeLength.end(), {0xFF, 0xFF, 0xFF, 0xFF, 'x', 'y', 'z'});
    Bytes longLength = bytesOf(std::string("Long") + '\0');
    longLength.insert(longLength.end(), {0x00, 0x01, 0x00, 0x00, 'p', 'q'});
    Bytes cutLength = bytesOf(std::string("Cut") + '\0');
    cutLength.insert(cutLength.end(), {5, 0});

    struct LoadCase {
        const char *what;
        Bytes file;
        Bytes saved; // what the next save writes
    };
    const LoadCase cases[] = {
        {"intact", a + b, a + b},
        {"ends inside a key", a + b + bytesOf("Half"), a + b},
        {"key at the end of the file", a + bytesOf(std::string("Last") + '\0'), a},
        {"length field cut short", a + cutLength, a},
        {"zero-length value at the end", a + zeroLength, a + zeroLength},
        {"length beyond the end keeps the bytes present", a + longLength, a + record("Long", bytesOf("pq"))},
        {"length 0xFFFFFFFF", a + hugeLength + b, a + record("Big", bytesOf("xyz") + b)},
        {"key of 1024 bytes without its zero", a + Bytes(1024, 'k') + b, a},
        {"key of 1023 bytes", record(std::string(1023, 'k'), bytesOf("v")), record(std::string(1023, 'k'), bytesOf("v"))},
    };
    for (const LoadCase &c : cases) {
        SCOPED_TRACE(c.what);
        givenFile(c.file);
        HUnixSystemRegistry registry;
        ASSERT_TRUE(registry.open(nullptr, "Velmora", "Tilmar"));
        uint8_t buffer[16];
        int32_t count = 0;
        EXPECT_EQ(registry.readData("A", buffer, sizeof buffer, &count), c.file[0] == 'A');
        // Mark the registry as written so the close saves what was loaded.
        if (c.file[0] == 'A') {
            EXPECT_EQ(count, 5);
            ASSERT_TRUE(registry.writeData("A", buffer, count));
        } else {
            ASSERT_TRUE(registry.readData(std::string(1023, 'k').c_str(), buffer, sizeof buffer, &count));
            ASSERT_TRUE(registry.writeData(std::string(1023, 'k').c_str(), buffer, count));
        }
        ASSERT_TRUE(registry.close());
        EXPECT_EQ(readBytes(file()), c.saved);
    }
}

TEST_F(Registry, HugeLengthFieldReportsOnlyTheBytesRead)
{
    Bytes content = bytesOf(std::string("HS:0x0") + '\0');
    content.insert(content.end(), {0xFF, 0xFF, 0xFF, 0xFF});
    content.insert(content.end(), 10, 'n');
    givenFile(content);
    HUnixSystemRegistry registry;
    ASSERT_TRUE(registry.open(nullptr, "Velmora", "Tilmar"));
    uint8_t buffer[48];
    int32_t count = 0;
    ASSERT_TRUE(registry.readData("HS:0x0", buffer, sizeof buffer, &count));
    EXPECT_EQ(count, 10);
    char text[48];
    ASSERT_TRUE(registry.readString("HS:0x0", text, sizeof text));
    EXPECT_STREQ(text, "nnnnnnnnnn");
    ASSERT_TRUE(registry.close());
}

// A home path too long for the 1024-byte paths fails the open and creates
// nothing, rather than using a cut-off path. The padding slashes and the
// final "." keep every home here equal to the temporary directory.
TEST_F(Registry, HomeTooLongForThePathsFailsTheOpen)
{
    // "/.velmora/registry_Velmora_Tilmar" adds 33 characters to the home.
    struct HomeCase {
        size_t length;
        bool opens;
    };
    for (const HomeCase &c : {HomeCase{990, true}, HomeCase{991, false}, HomeCase{1014, false},
                              HomeCase{1015, false}, HomeCase{1023, false}, HomeCase{1500, false}}) {
        SCOPED_TRACE(c.length);
        ASSERT_LT(m_home.size() + 1, c.length);
        std::string home = m_home + std::string(c.length - m_home.size() - 1, '/') + ".";
        ASSERT_EQ(home.size(), c.length);
        setHome(home);
        TestRegistry registry;
        EXPECT_EQ(registry.open(nullptr, "Velmora", "Tilmar"), c.opens);
        EXPECT_EQ(fileExists(directory()), c.opens);
        if (c.opens) {
            const int32_t one = 1;
            ASSERT_TRUE(registry.writeValue("Fullscreen", &one, 4));
            ASSERT_TRUE(registry.close());
            EXPECT_EQ(readBytes(file()), record("Fullscreen", value32(1)));
            std::system(("rm -rf '" + directory() + "'").c_str());
        } else {
            EXPECT_EQ(registry.path(), nullptr);
            EXPECT_TRUE(registry.close());
        }
        EXPECT_TRUE(listDirectory(m_home).empty());
    }
}

// An unset or empty HOME falls back to the password entry of the user.
TEST_F(Registry, EmptyHomeFallsBackToThePasswordEntry)
{
    const passwd *user = getpwuid(getuid());
    if (!user || !user->pw_dir || !*user->pw_dir)
        GTEST_SKIP() << "no password entry for this user";
    const std::string expected = user->pw_dir;

    char buffer[1024];
    setHome("");
    ASSERT_TRUE(TestRegistry::homeDirectory(buffer, sizeof buffer));
    EXPECT_EQ(std::string(buffer), expected);
    unsetenv("HOME");
    ASSERT_TRUE(TestRegistry::homeDirectory(buffer, sizeof buffer));
    EXPECT_EQ(std::string(buffer), expected);
    setHome(m_home);
    ASSERT_TRUE(TestRegistry::homeDirectory(buffer, sizeof buffer));
    EXPECT_EQ(std::string(buffer), m_home);
    EXPECT_FALSE(TestRegistry::homeDirectory(buffer, static_cast<int32_t>(m_home.size())));
}

// A file that cannot be read fails the open, and the close after it leaves
// the file alone.
TEST_F(Registry, UnreadableFileFailsTheOpen)
{
    ASSERT_EQ(mkdir(directory().c_str(), 0700), 0);
    ASSERT_EQ(mkdir(file().c_str(), 0700), 0); // a folder where the file belongs
    TestRegistry registry;
    bool opened = true;
    const std::string shown =
        tilmar_test::captureStdout([&] { opened = registry.open(nullptr, "Velmora", "Tilmar"); });
    EXPECT_FALSE(opened);
    // The reason depends on the file system (reading or seeking a folder).
    EXPECT_NE(shown.find("| Alert |"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\nfailed to open registry: "), std::string::npos) << shown;
    EXPECT_NE(registry.path(), nullptr) << "the path stays set";
    EXPECT_TRUE(registry.close());
    struct stat st;
    ASSERT_EQ(stat(file().c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

// A save that cannot be made reports false and keeps the path and entries,
// so a later close can still write them.
TEST_F(Registry, FailedSaveKeepsEntriesForTheNextClose)
{
    TestRegistry registry;
    ASSERT_TRUE(registry.open(nullptr, "Velmora", "Tilmar"));
    ASSERT_TRUE(registry.writeValue("Tileset", "\x03\0\0\0", 4));
    ASSERT_EQ(rmdir(directory().c_str()), 0);

    bool closed = true;
    const std::string shown = tilmar_test::captureStdout([&] { closed = registry.close(); });
    EXPECT_FALSE(closed);
    EXPECT_NE(shown.find(std::string("\nfailed to open registry: ") + std::strerror(ENOENT) + "\n"),
              std::string::npos)
        << shown;
    EXPECT_NE(registry.path(), nullptr);
    char value[4];
    int32_t count = 0;
    EXPECT_TRUE(registry.readData("Tileset", value, 4, &count));
    EXPECT_EQ(count, 4);

    ASSERT_EQ(mkdir(directory().c_str(), 0700), 0);
    EXPECT_TRUE(registry.close());
    EXPECT_EQ(readBytes(file()), record("Tileset", value32(3)));
}

// A save cut short by the file-size limit leaves the previous file exactly as
// it was and no temporary file behind. Runs in a child, which owns the limit.
TEST_F(Registry, SaveThatCannotCompleteLeavesThePreviousFileIntact)
{
    const Bytes previous = record("Layout", value32(2));
    givenFile(previous);
    const std::string dir = directory(), path = file();

    auto child = [&]() -> int {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit;
        if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 10;
        rlimit small = limit;
        small.rlim_cur = 4096;
        if (setrlimit(RLIMIT_FSIZE, &small) != 0)
            return 11;

        TestRegistry registry;
        if (!registry.open(nullptr, "Velmora", "Tilmar"))
            return 12;
        Bytes big(64 * 1024, 'b');
        registry.writeData("Background", big.data(), static_cast<int32_t>(big.size()));
        if (registry.close())
            return 13;
        if (readBytes(path) != previous)
            return 14;
        if (listDirectory(dir) != std::vector<std::string>{"registry_Velmora_Tilmar"})
            return 15;
        if (!registry.path())
            return 16;

        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 17;
        if (!registry.close())
            return 18;
        if (readBytes(path) != record("Background", big) + previous)
            return 19;
        return 0;
    };
    EXPECT_EXIT(_exit(child()), ::testing::ExitedWithCode(0), "");
}

// What a save whose file cannot be replaced must leave: false, the alert
// with the reason, the previous file byte for byte and nothing beside it,
// and the entries kept for a later close. Empty when all holds.
std::string failedSaveProblems(TestRegistry &registry, const std::string &dir, const std::string &path,
                               const Bytes &previous, const std::string &reason)
{
    bool closed = true;
    const std::string shown = tilmar_test::captureStdout([&] { closed = registry.close(); });
    std::string problems;
    if (closed)
        problems += "the save was reported as done; ";
    if (shown.find(tilmar_test::registrySaveAlert(reason)) == std::string::npos)
        problems += "shown: [" + shown + "]; ";
    if (readBytes(path) != previous)
        problems += "the previous file changed; ";
    if (listDirectory(dir) != std::vector<std::string>{"registry_Velmora_Tilmar"})
        problems += "left beside it: " + std::to_string(listDirectory(dir).size() - 1) + " files; ";
    char value[8];
    int32_t count = 0;
    if (!registry.path() || !registry.readData("Background", value, sizeof value, &count) || count != 8)
        problems += "the entries were not kept; ";
    return problems;
}

// Whatever stops a save, from creating the new file to putting it in the
// old one's place, the old file is left as it was. Each case runs in a
// child, which may give up root or mount a small disk of its own.
TEST_F(Registry, FailedSaveLeavesThePreviousFileWhateverStopsIt)
{
    const Bytes previous = record("Layout", value32(2)) + record("Tileset", value32(5));
    constexpr int kNotHere = 77;  // the case cannot be set up here
    enum Fault { kReadOnlyFolder, kFileOfAnotherUser, kFullDisk };
    const struct
    {
        const char *what;
        Fault fault;
        int error;
    } cases[] = {
        {"a read-only folder: no new file", kReadOnlyFolder, EACCES},
        // A sticky folder lets only a file's owner replace it.
        {"a sticky folder, the file another user's: no replacing", kFileOfAnotherUser, EPERM},
        {"a full disk: the new file cut short", kFullDisk, ENOSPC},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        givenFile(previous);
        ASSERT_EQ(chmod(m_home.c_str(), 0755), 0);
        const mode_t folderMode = c.fault == kReadOnlyFolder ? 0555 : c.fault == kFileOfAnotherUser ? 01777 : 0700;
        ASSERT_EQ(chmod(directory().c_str(), folderMode), 0);
        const std::string dir = directory(), path = file();

        const tilmar_test::ChildOutcome child = tilmar_test::runInChild(m_home, [&] {
            if (c.fault == kFileOfAnotherUser && geteuid() != 0)
                _exit(kNotHere);
            if (c.fault == kFullDisk) {
                // A disk of 16 KB in a mount namespace of the child's own.
                if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                    mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=16k,mode=0700") != 0)
                    _exit(kNotHere);
                if (!writeBytes(path, previous))
                    _exit(1);
            }
            if (c.fault != kFullDisk && !tilmar_test::becomeUnprivileged())
                _exit(1);

            TestRegistry registry;
            if (!registry.open(nullptr, "Velmora", "Tilmar"))
                _exit(2);
            const Bytes big(64 * 1024, 'b');
            registry.writeData("Background", big.data(), static_cast<int32_t>(big.size()));
            std::string problems = failedSaveProblems(registry, dir, path, previous, std::strerror(c.error));
            if (c.fault == kFullDisk) {
                // Room made: the kept entries are saved by the next close.
                if (mount("tmpfs", dir.c_str(), nullptr, MS_REMOUNT, "size=1m") != 0)
                    problems += "no remount; ";
                else if (!registry.close() || readBytes(path) != record("Background", big) + previous)
                    problems += "not saved once there was room; ";
            }
            std::fputs(problems.c_str(), stderr);
            _exit(problems.empty() ? 0 : 3);
        });
        ASSERT_TRUE(child.exited) << "signal " << child.termSignal;
        if (child.exitStatus == kNotHere) {
            std::printf("[  NOTE    ] not set up here (needs root): %s\n", c.what);
            continue;
        }
        EXPECT_EQ(child.exitStatus, 0) << child.err;
        ASSERT_EQ(chmod(directory().c_str(), 0700), 0);
    }
}

// A save stopped after any number of bytes, here by the file-size limit,
// leaves the previous file as it was and nothing beside it; a limit that
// the new file just fits lets it through. The new file spans more than one
// stdio buffer, so the stop comes in every one of its writes.
TEST_F(Registry, SaveStoppedAtAnyByteLeavesThePreviousFile)
{
    const Bytes previous = record("Layout", value32(2)) + record("Tileset", value32(5));
    givenFile(previous);
    const Bytes value(4200, 'v');
    const Bytes saved = record("Background", value) + previous;
    const std::string dir = directory(), path = file();

    const tilmar_test::ChildOutcome child = tilmar_test::runInChild(m_home, [&] {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit;
        if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(1);
        const rlim_t unlimited = limit.rlim_cur;
        std::string problems;
        for (rlim_t bytes = 0; bytes <= saved.size() && problems.empty(); ++bytes) {
            bool closed = false;
            {
                TestRegistry registry;
                if (!registry.open(nullptr, "Velmora", "Tilmar"))
                    _exit(2);
                registry.writeData("Background", value.data(), static_cast<int32_t>(value.size()));
                limit.rlim_cur = bytes;
                setrlimit(RLIMIT_FSIZE, &limit);
                closed = registry.close();
                // A failed save is tried once more as the registry goes,
                // under the same limit.
            }
            limit.rlim_cur = unlimited;
            setrlimit(RLIMIT_FSIZE, &limit);
            const bool fits = bytes == saved.size();
            const std::string at = "at " + std::to_string(bytes) + " bytes: ";
            if (closed != fits)
                problems += at + (closed ? "saved" : "not saved") + "; ";
            if (readBytes(path) != (fits ? saved : previous))
                problems += at + "the file holds " + std::to_string(readBytes(path).size()) + " bytes; ";
            if (listDirectory(dir) != std::vector<std::string>{"registry_Velmora_Tilmar"})
                problems += at + "a file was left beside it; ";
        }
        std::fputs(problems.c_str(), stderr);
        _exit(problems.empty() ? 0 : 3);
    });
    ASSERT_TRUE(child.exited) << "signal " << child.termSignal;
    EXPECT_EQ(child.exitStatus, 0) << child.err;
}

// The process registry is one object, and entries left open at exit are saved.
TEST_F(Registry, ProcessRegistryIsSavedAtExit)
{
    EXPECT_EQ(getSystemRegistry(), getSystemRegistry());
    auto child = []() {
        HSystemRegistry *registry = getSystemRegistry();
        if (!registry->open(nullptr, "Velmora", "Tilmar"))
            _exit(3);
        const int32_t volume = 7;
        registry->writeValue("Sound Volume", &volume, 4);
        std::exit(0);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(readBytes(file()), record("Sound Volume", value32(7)));
}

// Writes made while the registry is not open are dropped by the next open.
TEST_F(Registry, WritesBeforeOpenAreDiscarded)
{
    givenFile(record("A", bytesOf("alpha")));
    HUnixSystemRegistry registry;
    ASSERT_TRUE(registry.writeData("Stray", "x", 1));
    ASSERT_TRUE(registry.open(nullptr, "Velmora", "Tilmar"));
    char buffer[8];
    EXPECT_FALSE(registry.readString("Stray", buffer, sizeof buffer));
    ASSERT_TRUE(registry.readString("A", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "alpha");
    ASSERT_TRUE(registry.close());
}

} // namespace

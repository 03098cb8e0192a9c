// The built archive as a whole: its entries, its ZIP form, that the kit
// writes the same bytes every time, and "config.txt".
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "content/archive_fixture.h"
#include "engine/core/HUnixPlatform.h"
#include "engine/core/HZIPFileSystem.h"
#include "support/test_support.h"

using namespace kit_test;

namespace {

std::string s_join(const std::vector<std::string> &names)
{
    std::string text;
    for (const std::string &n : names)
        text += "  " + n + "\n";
    return text;
}

} // namespace

TEST(KitArchive, HoldsExactlyTheEntriesTheGameReads)
{
    ASSERT_NE(archive(), nullptr) << "cannot mount " << archivePath();
    std::vector<std::string> expected = expectedImageNames();
    const std::vector<std::string> sounds = expectedSoundNames();
    const std::vector<std::string> layouts = expectedLayoutNames();
    EXPECT_EQ(expected.size(), 170u);
    expected.insert(expected.end(), sounds.begin(), sounds.end());
    expected.insert(expected.end(), layouts.begin(), layouts.end());
    expected.push_back("config.txt");

    const std::vector<std::string> stored = storedNames();
    const std::set<std::string> storedSet(stored.begin(), stored.end());
    const std::set<std::string> expectedSet(expected.begin(), expected.end());
    ASSERT_EQ(expectedSet.size(), 199u) << "the expected list repeats a name";
    EXPECT_EQ(storedSet.size(), stored.size()) << "the archive repeats a name";

    std::vector<std::string> missing, extra;
    std::set_difference(expectedSet.begin(), expectedSet.end(), storedSet.begin(), storedSet.end(),
                        std::back_inserter(missing));
    std::set_difference(storedSet.begin(), storedSet.end(), expectedSet.begin(), expectedSet.end(),
                        std::back_inserter(extra));
    EXPECT_TRUE(missing.empty()) << "missing entries:\n" << s_join(missing);
    EXPECT_TRUE(extra.empty()) << "entries the game never reads:\n" << s_join(extra);
    EXPECT_EQ(stored.size(), 199u);
}

TEST(KitArchive, IsAPlainZipOfStoredOrDeflatedEntries)
{
    ASSERT_NE(archive(), nullptr);
    const std::string bytes = tilmar_test::readFile(archivePath());
    ASSERT_FALSE(bytes.empty());
    // The ZIP64 end-of-directory record and its locator.
    EXPECT_EQ(bytes.find(std::string("PK\x06\x06", 4)), std::string::npos);
    EXPECT_EQ(bytes.find(std::string("PK\x06\x07", 4)), std::string::npos);

    unzFile zip = archive()->getArchive();
    int entries = 0;
    for (int r = unzGoToFirstFile(zip); r == UNZ_OK; r = unzGoToNextFile(zip), ++entries) {
        char name[1024];
        unz_file_info info;
        ASSERT_EQ(unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0), UNZ_OK);
        SCOPED_TRACE(name);
        EXPECT_TRUE(info.compression_method == 0 || info.compression_method == Z_DEFLATED);
        EXPECT_EQ(info.size_file_extra, 0u);
        EXPECT_GT(info.uncompressed_size, 0u);
        // Loaders choose their decoder by a case-sensitive extension.
        const std::string n = name;
        EXPECT_TRUE(std::none_of(n.begin(), n.end(), [](char c) { return std::isupper((unsigned char)c); }));
    }
    EXPECT_GT(entries, 0);
}

TEST(KitArchive, KitWritesTheSameBytesEveryRun)
{
    const std::string kit = std::string(TILMAR_BINARY_DIR) + "/content/tilmar_content";
    ASSERT_TRUE(tilmar_test::fileExists(kit)) << kit;
    tilmar_test::TempDir dir;
    const std::string out = dir / "again.vmz";
    const std::string command = "'" + kit + "' '" + out + "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string again = tilmar_test::readFile(out);
    const std::string built = tilmar_test::readFile(archivePath());
    ASSERT_FALSE(again.empty());
    EXPECT_TRUE(again == built) << "a second run of the kit wrote different bytes";
    // Nothing is left behind under the temporary name.
    EXPECT_FALSE(tilmar_test::fileExists(out + ".part"));
}

TEST(KitArchive, KitFailsWithoutAWritableOutput)
{
    const std::string kit = std::string(TILMAR_BINARY_DIR) + "/content/tilmar_content";
    ASSERT_TRUE(tilmar_test::fileExists(kit));
    tilmar_test::TempDir dir;
    const std::string noFolder = "'" + kit + "' '" + (dir / "missing/folder/x.vmz") + "' > /dev/null 2>&1";
    EXPECT_NE(std::system(noFolder.c_str()), 0);
    const std::string noArgument = "'" + kit + "' > /dev/null 2>&1";
    EXPECT_NE(std::system(noArgument.c_str()), 0);
}

TEST(KitArchive, ConfigHoldsTwoLinesWithThePartnerAddress)
{
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readEntry("config.txt", bytes));
    const std::string text(bytes.begin(), bytes.end());
    ASSERT_LE(text.size(), 1024u) << "the game reads only the first 1024 bytes";
    const size_t first = text.find("\r\n");
    ASSERT_NE(first, std::string::npos);
    const std::string line1 = text.substr(0, first);
    const std::string line2 = text.substr(first + 2);
    EXPECT_EQ(line1.find('\n'), std::string::npos);
    EXPECT_EQ(line2, std::string("partnerURL=") + kVelmoraWebAddress + "\r\n");
    const std::string token = line2.substr(11, line2.size() - 13);
    EXPECT_TRUE(std::all_of(token.begin(), token.end(), [](char c) {
        return std::isalnum((unsigned char)c) || std::string(":/.-_~?=&%#").find(c) != std::string::npos;
    })) << token;
}

// The resource archive as the game mounts it: the bytes are the archive
// file, copied into a block from malloc and mounted from memory (the archive
// owns the block from then on). Every entry the archive lists is looked up,
// opened, read whole the way the loaders read it, read again through a short
// buffer and closed; every file must go back to the pool.
#include <minizip/unzip.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/core/HZIPFileSystem.h"

namespace {

// Bounds on the work one input can ask for: an entry may claim any size
// and an archive any number of entries.
constexpr int32_t kMaxWholeRead = 1 << 20;
constexpr int kMaxEntries = 64;

// The current entry's name; minizip leaves a name that fills the buffer
// unterminated (and wants the information record even when only the name
// is asked for).
bool entryName(unzFile zip, char *name, size_t size)
{
    unz_file_info info;
    if (unzGetCurrentFileInfo(zip, &info, name, size - 1, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    name[size - 1] = '\0';
    return true;
}

void readEntry(HZIPFileSystem &archive, const char *name)
{
    archive.fileExists(name);
    HFile *file = archive.openFileForRead(name);
    if (!file)
        return;
    const int32_t size = file->getSize();
    if (size < 0)
        __builtin_trap();  // a size no loader could allocate

    // Whole, as every loader reads an entry (the read checks the CRC).
    if (size <= kMaxWholeRead) {
        uint8_t *bytes = static_cast<uint8_t *>(std::malloc(static_cast<size_t>(size) + 1));
        const int32_t got = file->read(bytes, size);
        if (got > size)
            __builtin_trap();
        std::free(bytes);
    }
    // A buffer shorter than the entry: the read stops at its end.
    uint8_t shortBuffer[7];
    if (file->read(shortBuffer, sizeof shortBuffer) > static_cast<int32_t>(sizeof shortBuffer))
        __builtin_trap();
    file->close();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > INT32_MAX)
        return 0;
    void *block = std::malloc(size == 0 ? 1 : size);
    if (size > 0)
        std::memcpy(block, data, size);

    HZIPFileSystem archive;
    if (archive.mountFromMemory(block, static_cast<int32_t>(size))) {
        unzFile zip = archive.getArchive();
        int entries = 0;
        for (int status = unzGoToFirstFile(zip); status == UNZ_OK && entries < kMaxEntries;
             status = unzGoToNextFile(zip), ++entries) {
            char name[1024];
            if (!entryName(zip, name, sizeof name))
                break;
            // Opening and reading move the archive's current entry; the walk
            // goes on from where it was.
            unz_file_pos position;
            if (unzGetFilePos(zip, &position) != UNZ_OK)
                break;
            readEntry(archive, name);
            if (unzGoToFilePos(zip, &position) != UNZ_OK)
                break;
        }
        // Every file went back to the pool: an entry that opens at all
        // opens 16 times at once, and a 17th time not.
        char first[1024] = "";
        if (unzGoToFirstFile(zip) == UNZ_OK && entryName(zip, first, sizeof first)) {
            int opened = 0;
            for (int i = 0; i <= kFilePoolSize; ++i)
                if (archive.openFileForRead(first))
                    ++opened;
            if (opened != 0 && opened != kFilePoolSize)
                __builtin_trap();
        }
    }
    archive.shutdown();
    return 0;
}

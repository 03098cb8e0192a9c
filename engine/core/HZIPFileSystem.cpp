#include "engine/core/HZIPFileSystem.h"

#include "engine/core/HMessages.h"
#include "engine/core/HString.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <minizip/ioapi.h>

namespace {

// minizip's case-sensitivity argument for a comparison without case.
constexpr int kIgnoreCase = 2;
// Buffer for the stored entry name asked for with the entry's information.
constexpr int kStoredNameSize = 1024;

struct HZIPFileState {
    int32_t inUse;
};

// An archive in memory as minizip reads it.
struct HMemoryStream {
    uint8_t *start;   // the archive's block, owned
    uint8_t *current;
    int32_t size;
};

// What mountFromMemory hands to the stream's open function.
struct HMemoryStreamSource {
    void *buffer;
    int32_t size;
};

voidpf ZCALLBACK s_memStreamOpen(voidpf opaque, const char * /*name*/, int /*mode*/)
{
    HMemoryStreamSource *source = static_cast<HMemoryStreamSource *>(opaque);
    HMemoryStream *stream = static_cast<HMemoryStream *>(std::malloc(sizeof(HMemoryStream)));
    if (!stream) {
        // minizip does not close a stream it never got, and the block is ours.
        std::free(source->buffer);
        return nullptr;
    }
    stream->start = static_cast<uint8_t *>(source->buffer);
    stream->current = stream->start;
    stream->size = source->size;
    return stream;
}

// Answers the bytes actually copied: minizip checks the count, and a short
// count is how it learns that a truncated archive has ended.
uLong ZCALLBACK s_memStreamRead(voidpf /*opaque*/, voidpf streamHandle, void *destination, uLong count)
{
    HMemoryStream *stream = static_cast<HMemoryStream *>(streamHandle);
    const uint8_t *end = stream->start + stream->size;
    uLong remaining = stream->current < end ? static_cast<uLong>(end - stream->current) : 0;
    uLong copied = count < remaining ? count : remaining;
    if (copied > 0) {
        std::memcpy(destination, stream->current, copied);
        stream->current += copied;
    }
    return copied;
}

uLong ZCALLBACK s_memStreamWrite(voidpf /*opaque*/, voidpf /*stream*/, const void * /*data*/, uLong /*count*/)
{
    return 0;
}

long ZCALLBACK s_memStreamTell(voidpf /*opaque*/, voidpf streamHandle)
{
    HMemoryStream *stream = static_cast<HMemoryStream *>(streamHandle);
    return static_cast<long>(stream->current - stream->start);
}

// Offsets come from the archive itself, so the target is worked out in 64
// bits and a target outside the block is refused with the position kept.
// Origin 2 counts the offset back from the end of the block.
long ZCALLBACK s_memStreamSeek(voidpf /*opaque*/, voidpf streamHandle, uLong offset, int origin)
{
    HMemoryStream *stream = static_cast<HMemoryStream *>(streamHandle);
    const int64_t size = stream->size;
    const int64_t position = stream->current - stream->start;
    int64_t target;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        if (offset > static_cast<uint64_t>(size))
            return -1;
        target = static_cast<int64_t>(offset);
        break;
    case ZLIB_FILEFUNC_SEEK_CUR: {
        const int64_t delta = static_cast<int64_t>(offset);
        if (delta > size - position || delta < -position)
            return -1;
        target = position + delta;
        break;
    }
    case ZLIB_FILEFUNC_SEEK_END:
        if (offset > static_cast<uint64_t>(size))
            return -1;
        target = size - static_cast<int64_t>(offset);
        break;
    default:
        return -1;
    }
    stream->current = stream->start + target;
    return 0;
}

int ZCALLBACK s_memStreamClose(voidpf /*opaque*/, voidpf streamHandle)
{
    HMemoryStream *stream = static_cast<HMemoryStream *>(streamHandle);
    if (stream->start)
        std::free(stream->start);
    std::free(stream);
    return 0;
}

int ZCALLBACK s_memStreamError(voidpf /*opaque*/, voidpf /*stream*/)
{
    return 0;
}

} // namespace

H_DEFINE_CLASSINFO(HZIPFile, "HFile");

HZIPFile::HZIPFile()
{
    m_mode = MODE_READ;
    m_handle = std::calloc(1, sizeof(HZIPFileState));
}

HZIPFile::~HZIPFile()
{
    std::free(m_handle);
    m_handle = nullptr;
}

bool HZIPFile::m_isInUse() const
{
    return m_handle && static_cast<const HZIPFileState *>(m_handle)->inUse != 0;
}

void HZIPFile::m_setInUse()
{
    if (m_handle)
        static_cast<HZIPFileState *>(m_handle)->inUse = 1;
}

void HZIPFile::m_clearState()
{
    if (m_handle)
        std::memset(m_handle, 0, sizeof(HZIPFileState));
}

int32_t HZIPFile::read(void *buffer, int32_t length)
{
    if (!m_fileSystem)
        return 0;
    // Only an HZIPFileSystem sets itself as the owner of an HZIPFile.
    unzFile archive = static_cast<HZIPFileSystem *>(m_fileSystem)->getArchive();
    if (!archive || unzLocateFile(archive, m_name, kIgnoreCase) != UNZ_OK) {
        warningPrint("HZIPFile::read - could not read buffer from file '%s'", m_name);
        return 0;
    }
    if (!buffer || length < 0)
        return 0;
    if (unzOpenCurrentFile(archive) != UNZ_OK) {
        warningPrint("HZIPFile::read - could not open current file '%s'", m_name);
        return 0;
    }
    int result = unzReadCurrentFile(archive, buffer, static_cast<unsigned>(length));
    if (result == 0)
        warningPrint("HZIPFile::read - did not read enough bytes from file '%s'", m_name);
    // After a read to the end of the entry the close checks its CRC; damaged
    // data is not handed out as good.
    if (unzCloseCurrentFile(archive) == UNZ_CRCERROR && result >= 0) {
        warningPrint("HZIPFile::read - bad checksum in file '%s'", m_name);
        return UNZ_CRCERROR;
    }
    return result;
}

int32_t HZIPFile::write(const void * /*data*/, int32_t /*length*/)
{
    warningPrint("HZIPFile::write - unsupported operation");
    return 0;
}

int32_t HZIPFile::rewind()
{
    warningPrint("HZIPFile::rewind - unsupported operation");
    return 0;
}

void HZIPFile::flush() {}

HZIPFileSystem::HZIPFileSystem()
{
    m_archive = static_cast<unzFile *>(std::calloc(1, sizeof(unzFile)));
}

HZIPFileSystem::~HZIPFileSystem()
{
    // Normally shut down already; this keeps a forgotten shutdown from
    // leaking the archive and its memory block.
    HZIPFileSystem::shutdown();
}

bool HZIPFileSystem::mount(const char *path)
{
    if (!m_archive || !path)
        return false;
    if (*m_archive) {
        unzClose(*m_archive);
        *m_archive = nullptr;
    }
    *m_archive = unzOpen(path);
    return *m_archive != nullptr;
}

bool HZIPFileSystem::mountFromMemory(void *buffer, int32_t size)
{
    if (!m_archive || !buffer || size <= 0) {
        std::free(buffer);
        return false;
    }
    if (*m_archive) {
        unzClose(*m_archive);
        *m_archive = nullptr;
    }
    HMemoryStreamSource source = {buffer, size};
    zlib_filefunc_def functions;
    functions.zopen_file = s_memStreamOpen;
    functions.zread_file = s_memStreamRead;
    functions.zwrite_file = s_memStreamWrite;
    functions.ztell_file = s_memStreamTell;
    functions.zseek_file = s_memStreamSeek;
    functions.zclose_file = s_memStreamClose;
    functions.zerror_file = s_memStreamError;
    // Only the open function looks at the opaque pointer, during this call.
    functions.opaque = &source;
    // On failure minizip has closed the stream, which freed the block.
    *m_archive = unzOpen2("memory", &functions);
    return *m_archive != nullptr;
}

void HZIPFileSystem::shutdown()
{
    if (!m_archive)
        return;
    if (*m_archive) {
        unzClose(*m_archive);
        *m_archive = nullptr;
    }
    std::free(m_archive);
    m_archive = nullptr;
}

unzFile HZIPFileSystem::getArchive() const
{
    return m_archive ? *m_archive : nullptr;
}

bool HZIPFileSystem::fileExists(const char *name)
{
    unzFile archive = getArchive();
    return archive && name && unzLocateFile(archive, name, kIgnoreCase) == UNZ_OK;
}

HFile *HZIPFileSystem::openFileForRead(const char *name)
{
    unzFile archive = getArchive();
    if (!archive || !name || unzLocateFile(archive, name, kIgnoreCase) != UNZ_OK)
        return nullptr;
    HZIPFile *file = m_findFreeFile();
    if (!file)
        return nullptr;

    file->setFileSystem(this);
    strCopy(file->m_name, name, kFilePathSize);
    unz_file_info info;
    char storedName[kStoredNameSize];
    // A size that does not fit the file's signed 32-bit size is refused
    // rather than handed to a loader as a negative length.
    if (unzGetCurrentFileInfo(archive, &info, storedName, sizeof storedName, nullptr, 0, nullptr, 0) !=
            UNZ_OK ||
        info.uncompressed_size > static_cast<uLong>(INT32_MAX)) {
        warningPrint("HZIPFileSystem::openFileForRead - could not read file '%s'", name);
        file->close();
        return nullptr;
    }
    file->m_size = static_cast<int32_t>(info.uncompressed_size);
    file->m_mode = HFile::MODE_READ;
    file->m_setInUse();
    return file;
}

HFile *HZIPFileSystem::openFileForWrite(const char *name)
{
    warningPrint("HZIPFileSystem::openFileForWrite - function not supported (name = '%s')", name);
    return nullptr;
}

time_t HZIPFileSystem::getFileTime(const char * /*name*/)
{
    return 0;
}

HZIPFile *HZIPFileSystem::m_findFreeFile()
{
    for (HZIPFile &file : m_files) {
        // A file whose state could not be allocated is never handed out.
        if (file.m_handle && !file.m_isInUse())
            return &file;
    }
    return nullptr;
}

void HZIPFileSystem::m_closeFile(HFile *file)
{
    for (HZIPFile &own : m_files) {
        if (&own == file) {
            own.m_clearState();
            return;
        }
    }
}

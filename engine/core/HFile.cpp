#include "engine/core/HFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "engine/core/HMessages.h"
#include "engine/core/HString.h"

H_DEFINE_CLASSINFO(HFile, "HObject");
H_DEFINE_CLASSINFO(HStandardFile, "HFile");

// ---------------------------------------------------------------- HFile

HFile::HFile()
    : m_mode(MODE_READ), m_size(0), m_fileSystem(nullptr), m_handle(nullptr)
{
    m_name[0] = '\0';
}

HFile::~HFile() = default;

void HFile::flush()
{
}

void HFile::close()
{
    // A file that was never handed out by a file system has nobody to go
    // back to.
    if (m_fileSystem)
        m_fileSystem->m_closeFile(this);
}

int32_t HFile::getSize()
{
    return m_size;
}

const char *HFile::getName()
{
    return m_name;
}

void HFile::setFileSystem(HFileSystem *fileSystem)
{
    m_fileSystem = fileSystem;
}

// ---------------------------------------------------------------- HFileSystem

HFileSystem::HFileSystem()
{
    m_rootPath[0] = '\0';
}

HFileSystem::~HFileSystem() = default;

bool HFileSystem::mount(const char * /*path*/)
{
    return true;
}

void HFileSystem::shutdown()
{
}

void HFileSystem::setRootPath(const char *path)
{
    strCopy(m_rootPath, path ? path : "", sizeof m_rootPath);
}

// ---------------------------------------------------------------- HStandardFile

namespace {

FILE *s_stream(void *handle)
{
    return static_cast<FILE *>(handle);
}

// True when the path fits a file name with its terminating zero; a longer
// one would be cut and name (or open) a different file.
bool s_fitsName(const char *path)
{
    return path && strlen(path) < static_cast<size_t>(kFilePathSize);
}

} // namespace

HStandardFile::HStandardFile() = default;

HStandardFile::~HStandardFile()
{
    if (m_handle) {
        fclose(s_stream(m_handle));
        m_handle = nullptr;
    }
}

int32_t HStandardFile::read(void *buffer, int32_t length)
{
    if (!m_handle || m_mode != MODE_READ || !buffer || length <= 0)
        return 0;
    return static_cast<int32_t>(fread(buffer, 1, static_cast<size_t>(length), s_stream(m_handle)));
}

int32_t HStandardFile::write(const void *data, int32_t length)
{
    if (!m_handle || m_mode != MODE_WRITE || !data || length <= 0)
        return 0;
    return static_cast<int32_t>(fwrite(data, 1, static_cast<size_t>(length), s_stream(m_handle)));
}

int32_t HStandardFile::rewind()
{
    if (!m_handle)
        return 0;
    return fseek(s_stream(m_handle), 0, SEEK_SET) == 0 ? 1 : 0;
}

void HStandardFile::flush()
{
    if (m_handle)
        fflush(s_stream(m_handle));
}

bool HStandardFile::m_openForRead(const char *path)
{
    if (!s_fitsName(path))
        return false;
    FILE *stream = fopen(path, "rb");
    if (!stream)
        return false;

    // The size must be known and fit the 32-bit size field; a stream whose
    // end cannot be found (a directory, say) is no readable file.
    long end = -1;
    if (fseek(stream, 0, SEEK_END) == 0)
        end = ftell(stream);
    if (end < 0 || end > INT32_MAX || fseek(stream, 0, SEEK_SET) != 0) {
        fclose(stream);
        return false;
    }

    strCopy(m_name, path, sizeof m_name);
    m_size = static_cast<int32_t>(end);
    m_mode = MODE_READ;
    m_handle = stream;
    return true;
}

bool HStandardFile::m_openForWrite(const char *path)
{
    if (!s_fitsName(path))
        return false;
    FILE *stream = fopen(path, "wb");
    if (!stream)
        return false;

    strCopy(m_name, path, sizeof m_name);
    m_size = 0;
    m_mode = MODE_WRITE;
    m_handle = stream;
    return true;
}

// ---------------------------------------------------------------- HStandardFileSystem

HStandardFileSystem::HStandardFileSystem() = default;

HStandardFileSystem::~HStandardFileSystem() = default;

bool HStandardFileSystem::mount(const char *directory)
{
    setRootPath(directory);
    for (HStandardFile &file : m_files) {
        // A remount must not leak a stream that is still open.
        if (file.m_handle)
            fclose(s_stream(file.m_handle));
        file.m_handle = nullptr;
        file.m_name[0] = '\0';
    }
    return true;
}

void HStandardFileSystem::shutdown()
{
    for (HStandardFile &file : m_files) {
        if (file.m_handle)
            warningPrint("HStandardFileSystem::shutdown - file '%s' still open", file.m_name);
    }
}

HStandardFile *HStandardFileSystem::m_findFreeFile()
{
    for (HStandardFile &file : m_files) {
        if (!file.m_handle)
            return &file;
    }
    return nullptr;
}

bool HStandardFileSystem::fileExists(const char *name)
{
    HStandardFile *file = m_findFreeFile();
    if (!file) {
        warningPrint("HSFS::fileExists - too many open files");
        return false;
    }
    if (!name || !file->m_openForRead(name))
        return false;
    // Closed directly: the probe slot need not have an owner yet.
    m_closeFile(file);
    return true;
}

HFile *HStandardFileSystem::openFileForRead(const char *name)
{
    HStandardFile *file = m_findFreeFile();
    if (!file) {
        warningPrint("HSFS::m_openFileForRead - too many open files");
        return nullptr;
    }
    if (!name)
        return nullptr;
    file->setFileSystem(this);

    // The joined path must fit whole; a cut path would open another file.
    if (strlen(m_rootPath) + 1 + strlen(name) >= static_cast<size_t>(kFilePathSize)) {
        warningPrint("HSFS::m_openFileForRead - path too long for '%s'", name);
        return nullptr;
    }
    char path[kFilePathSize];
    formatString(path, sizeof path, "%s/%s", m_rootPath, name);
    return file->m_openForRead(path) ? file : nullptr;
}

HFile *HStandardFileSystem::openFileForWrite(const char *name)
{
    HStandardFile *file = m_findFreeFile();
    if (!file) {
        warningPrint("HSFS::m_openFileForWrite - too many open files");
        return nullptr;
    }
    if (!name)
        return nullptr;
    file->setFileSystem(this);

    if (strlen(m_rootPath) + 1 + strlen(name) >= static_cast<size_t>(kFilePathSize)) {
        warningPrint("HSFS::m_openFileForWrite - path too long for '%s'", name);
        return nullptr;
    }
    char path[kFilePathSize];
    formatString(path, sizeof path, "%s/%s", m_rootPath, name);
    return file->m_openForWrite(path) ? file : nullptr;
}

time_t HStandardFileSystem::getFileTime(const char *name)
{
    struct stat info;
    if (!name || stat(name, &info) != 0)
        return 0;
    return info.st_mtime;
}

void HStandardFileSystem::m_closeFile(HFile *file)
{
    // Only our own slots can be closed here; anything else is ignored.
    HStandardFile *slot = nullptr;
    for (HStandardFile &candidate : m_files) {
        if (&candidate == file)
            slot = &candidate;
    }
    if (!slot || !slot->m_handle) {
        warningPrint("HSFS::m_closeFile - attempted to close unopened file");
        return;
    }
    fclose(s_stream(slot->m_handle));
    slot->m_handle = nullptr;
}

uint8_t *readAndCloseFile(HFile *file, int32_t size)
{
    uint8_t *buffer = size >= 0 ? static_cast<uint8_t *>(std::malloc(size > 0 ? size_t(size) : 1)) : nullptr;
    if (buffer && size > 0 && file->read(buffer, size) != size) {
        std::free(buffer);
        buffer = nullptr;
    }
    file->close();
    return buffer;
}

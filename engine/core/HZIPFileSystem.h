#ifndef ENGINE_CORE_HZIPFILESYSTEM_H
#define ENGINE_CORE_HZIPFILESYSTEM_H

// The read-only file system of the resource archive: a ZIP file read through
// minizip, mounted from a path or from a copy of the file in memory.

#include <cstdint>
#include <ctime>

#include <minizip/unzip.h>

#include "engine/core/HFile.h"

class HZIPFileSystem;

// An entry of the archive. It keeps no position: every read decompresses
// from the start of the entry, so a loader reads the whole entry at once.
class HZIPFile : public HFile {
    H_DECLARE_CLASSINFO();

    HZIPFile();
    ~HZIPFile() override;

    int32_t read(void *buffer, int32_t length) override;
    // The archive is read-only; both report failure.
    int32_t write(const void *data, int32_t length) override;
    int32_t rewind() override;
    void flush() override;

protected:
    friend class HZIPFileSystem;

    bool m_isInUse() const;
    void m_setInUse();
    void m_clearState();
};

class HZIPFileSystem : public HFileSystem {
public:
    HZIPFileSystem();
    ~HZIPFileSystem() override;

    // Opens the archive file at the path.
    bool mount(const char *path) override;
    // Opens the archive over a block from malloc. The file system owns the
    // block from this call on, whatever the result: a failed mount has freed
    // it already, a successful one frees it at shutdown.
    bool mountFromMemory(void *buffer, int32_t size);
    // Closes the archive (freeing a memory block). The last call before the
    // file system is deleted.
    void shutdown() override;
    // Entry names are compared without case.
    bool fileExists(const char *name) override;
    // Null without a message when nothing is mounted, the entry is missing
    // or all 16 files are open.
    HFile *openFileForRead(const char *name) override;
    HFile *openFileForWrite(const char *name) override;
    // Archive entries report no time: always 0.
    time_t getFileTime(const char *name) override;

    // The open archive's minizip handle, or null.
    unzFile getArchive() const;

protected:
    HZIPFile *m_findFreeFile();
    void m_closeFile(HFile *file) override;

    unzFile *m_archive;   // heap cell holding the handle; null after shutdown
    HZIPFile m_files[kFilePoolSize];
};

#endif

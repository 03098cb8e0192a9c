#ifndef ENGINE_CORE_HFILE_H
#define ENGINE_CORE_HFILE_H

// Files and file systems. Every file comes from a file system, which hands
// out files from a fixed pool of 16 and takes them back on close; a file is
// never deleted on its own.

#include <cstdint>
#include <ctime>

#include "engine/core/HObject.h"

class HFileSystem;

// Size of file names and root paths, terminating zero included.
constexpr int kFilePathSize = 1024;
// Number of files each file system can have open at once.
constexpr int kFilePoolSize = 16;

class HFile : public HObject {
    H_DECLARE_CLASSINFO();

    enum { MODE_READ = 0, MODE_WRITE = 1 };

    HFile();
    ~HFile() override;

    // Answers the number of bytes read (0 on failure).
    virtual int32_t read(void *buffer, int32_t length) = 0;
    // Answers the number of bytes written (0 on failure).
    virtual int32_t write(const void *data, int32_t length) = 0;
    // Answers 1 on success, 0 on failure.
    virtual int32_t rewind() = 0;
    // Does nothing unless the file type buffers its output.
    virtual void flush();
    // Hands the file back to its owning file system.
    virtual void close();
    // Length in bytes of a file opened for reading; 0 for writing.
    virtual int32_t getSize();
    // For a directory file the full path opened, for an archive file the
    // entry name.
    virtual const char *getName();

    void setFileSystem(HFileSystem *fileSystem);

protected:
    int32_t m_mode;
    char m_name[kFilePathSize];
    int32_t m_size;
    HFileSystem *m_fileSystem; // not owned
    void *m_handle;            // stdio stream, or an archive file's state
};

class HFileSystem {
public:
    HFileSystem();
    virtual ~HFileSystem();

    // Answers true (1) when the file system is ready.
    virtual bool mount(const char *path);
    virtual void shutdown();
    virtual bool fileExists(const char *name) = 0;
    // Each answers a file of the pool, open, or null.
    virtual HFile *openFileForRead(const char *name) = 0;
    virtual HFile *openFileForWrite(const char *name) = 0;
    // Modification time in seconds since 1970, or 0.
    virtual time_t getFileTime(const char *name) = 0;

    // Copies the path (cut to 1023 characters) into the root path.
    void setRootPath(const char *path);

protected:
    friend class HFile; // HFile::close hands the file back here

    // Returns the file to the pool.
    virtual void m_closeFile(HFile *file) = 0;

    char m_rootPath[kFilePathSize];
};

// Reads `size` bytes of an open file into a buffer from malloc (at least one
// byte, so an empty file still gives a buffer) and closes the file. Null, with
// the file closed, when the size is negative, the allocation fails or fewer
// bytes arrive, so callers never work on a half-read file.
uint8_t *readAndCloseFile(HFile *file, int32_t size);

// A file of the host's file system, read and written through stdio.
class HStandardFile : public HFile {
    H_DECLARE_CLASSINFO();

    HStandardFile();
    // Closes the stream if the file is still open, so no stream outlives it.
    ~HStandardFile() override;

    int32_t read(void *buffer, int32_t length) override;
    int32_t write(const void *data, int32_t length) override;
    int32_t rewind() override;
    void flush() override;

protected:
    friend class HStandardFileSystem;

    // Open the path ("rb" / "wb"); on success the file holds the path as its
    // name. A path that does not fit the name fails the open.
    bool m_openForRead(const char *path);
    bool m_openForWrite(const char *path);
};

// Serves a directory of the host's file system. mount marks the 16 slots
// free; a slot is in use exactly while its stream is open.
class HStandardFileSystem : public HFileSystem {
public:
    HStandardFileSystem();
    ~HStandardFileSystem() override;

    // Stores the directory as root path without testing that it exists.
    bool mount(const char *directory) override;
    // Reports every file still open; closes nothing.
    void shutdown() override;
    // Opens the name as given (not joined with the root path) to test it.
    bool fileExists(const char *name) override;
    // Open "<root>/<name>"; null when the pool is exhausted, the joined path
    // does not fit 1024 bytes, or the open fails.
    HFile *openFileForRead(const char *name) override;
    HFile *openFileForWrite(const char *name) override;
    // stat of the name as given (not joined with the root path); 0 on failure.
    time_t getFileTime(const char *name) override;

protected:
    // The first slot, in order, whose stream is not open; null when none.
    HStandardFile *m_findFreeFile();
    void m_closeFile(HFile *file) override;

    HStandardFile m_files[kFilePoolSize];
};

#endif

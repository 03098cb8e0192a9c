#ifndef TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H
#define TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H

// A read-only file system of named byte strings held in memory. Its files
// read like the resource archive's entries: every read starts at the file's
// beginning, so a reader sees exactly what it would see in the game.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>

#include "engine/core/HFile.h"
#include "engine/core/HString.h"

class MemoryFile : public HFile
{
public:
    void open(HFileSystem *owner, const char *name, const std::string *bytes)
    {
        setFileSystem(owner);
        strCopy(m_name, name, sizeof(m_name));
        m_bytes = bytes;
        m_size = static_cast<int32_t>(std::min<size_t>(bytes->size(), INT32_MAX));
        m_mode = MODE_READ;
    }
    bool isOpen() const { return m_bytes != nullptr; }
    void detach() { m_bytes = nullptr; }

    int32_t read(void *buffer, int32_t length) override
    {
        if (!m_bytes || !buffer || length <= 0)
            return 0;
        const int32_t n = std::min(length, m_size);
        std::memcpy(buffer, m_bytes->data(), static_cast<size_t>(n));
        return n;
    }
    int32_t write(const void *, int32_t) override { return 0; }
    int32_t rewind() override { return 0; }

private:
    const std::string *m_bytes = nullptr;
};

class MemoryFileSystem : public HFileSystem
{
public:
    static constexpr int kOpenFiles = 16;

    void add(const std::string &name, std::string bytes) { m_entries[name] = std::move(bytes); }

    bool fileExists(const char *name) override { return name && m_entries.count(name) != 0; }
    HFile *openFileForRead(const char *name) override
    {
        if (!fileExists(name))
            return nullptr;
        for (MemoryFile &file : m_files) {
            if (!file.isOpen()) {
                file.open(this, name, &m_entries[name]);
                return &file;
            }
        }
        return nullptr;
    }
    HFile *openFileForWrite(const char *) override { return nullptr; }
    time_t getFileTime(const char *) override { return 0; }

    // Files still open: a reader that forgets to close one leaks it.
    int openCount() const
    {
        return static_cast<int>(std::count_if(std::begin(m_files), std::end(m_files),
                                              [](const MemoryFile &f) { return f.isOpen(); }));
    }

protected:
    void m_closeFile(HFile *file) override { static_cast<MemoryFile *>(file)->detach(); }

private:
    std::map<std::string, std::string> m_entries;
    MemoryFile m_files[kOpenFiles];
};

#endif

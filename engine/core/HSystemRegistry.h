#ifndef ENGINE_CORE_HSYSTEMREGISTRY_H
#define ENGINE_CORE_HSYSTEMREGISTRY_H

#include <cstdint>
#include <cstdio>

class HCvarManager;

// Key/value store for the player's settings and best times, one file per
// company and product in the user's home directory. Users open it, read or
// write entries and close it again; a close that holds entries writes the file.
class HSystemRegistry
{
public:
    // The first argument is accepted for the callers' convenience and ignored.
    virtual bool open(HCvarManager* cvarManager, const char* company, const char* product) = 0;
    virtual bool close() = 0;
    // Copies the value as a string (strncpy semantics), always terminated.
    virtual bool readString(const char* key, char* buffer, int32_t size) = 0;
    virtual bool writeData(const char* key, const void* data, int32_t length) = 0;
    // Copies at most size bytes and reports the number copied in *outLength.
    virtual bool readData(const char* key, void* buffer, int32_t size, int32_t* outLength) = 0;
    virtual bool writeValue(const char* key, const void* data, int32_t length) = 0;
    virtual ~HSystemRegistry();
};

struct HRegistryEntry
{
    char* key;            // zero-terminated
    int32_t length;       // bytes of data, not counting the extra zero
    uint8_t* data;        // length + 1 bytes, the last one 0
    HRegistryEntry* next;
};

// The registry file is a plain sequence of records: the key with its zero
// byte, a little-endian uint32 length, then that many data bytes.
class HUnixSystemRegistry : public HSystemRegistry
{
public:
    HUnixSystemRegistry();

    bool open(HCvarManager* cvarManager, const char* company, const char* product) override;
    bool close() override;
    bool readString(const char* key, char* buffer, int32_t size) override;
    bool writeData(const char* key, const void* data, int32_t length) override;
    bool readData(const char* key, void* buffer, int32_t size, int32_t* outLength) override;
    bool writeValue(const char* key, const void* data, int32_t length) override;
    ~HUnixSystemRegistry() override;

protected:
    // Fills buffer with HOME, or the password entry's home directory when HOME
    // is unset or empty; false when neither gives one or it does not fit.
    static bool m_getHomeDirectory(char* buffer, int32_t size);

    bool m_load(std::FILE* stream);
    bool m_save(std::FILE* stream) const;
    bool m_writeFile();
    void m_freeEntries();
    HRegistryEntry* m_findEntry(const char* key) const;

    char* m_path;               // null while not open
    HRegistryEntry* m_entries;
};

// The process's single registry, built on the first call and closed at exit.
HSystemRegistry* getSystemRegistry();

#endif

// The settings registry file as the game meets it: the bytes are the file in
// a scratch home, opened, read with every key the game asks for (and every
// key the file holds, a missing key, buffers of odd sizes), written as the
// game saves its settings and closed. What close saved must load and save
// again to the very same bytes, or loading and saving disagree.
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/core/HString.h"
#include "engine/core/HSystemRegistry.h"
#include "fuzz/fuzz_support.h"
#include "game/TMBoard.h"
#include "game/TMRecords.h"
#include "game/registry_support.h"

namespace {

// The registry the game uses, with its entries in view.
class Registry : public HUnixSystemRegistry
{
public:
    const HRegistryEntry *entries() const { return m_entries; }
};

// The numbers the game keeps under their own keys, 4 bytes each.
const char *const kValueKeys[] = {"Layout",       "Background",   "Tileset",    "Autohint",
                                  "Sound Volume", "Music Volume", "Fullscreen", "Missing Key"};
// The strings: the last name, the framework's link switches, the partner.
struct StringKey
{
    const char *key;
    int32_t size;
};
const StringKey kStringKeys[] = {{"LastHighScoreName", TM_LAST_NAME_SIZE},
                                 {"disableLinks", 8},
                                 {"disableVelmoraLink", 8},
                                 {"partnerURL", 1024},
                                 {"", 16}};

bool open(Registry &registry)
{
    return registry.open(nullptr, kRegistryCompany, kRegistryProduct);
}

// A read must stay inside the buffer and a string must end inside it.
void readString(Registry &registry, const char *key, int32_t size)
{
    std::string buffer(static_cast<size_t>(size) + 1, '\x55');
    if (registry.readString(key, &buffer[0], size) &&
        (buffer[static_cast<size_t>(size) - 1] != '\0' || buffer[static_cast<size_t>(size)] != '\x55'))
        __builtin_trap();
}

void readData(Registry &registry, const char *key, int32_t size)
{
    std::string buffer(static_cast<size_t>(size) + 1, '\x55');
    int32_t length = -1;
    if (registry.readData(key, &buffer[0], size, &length) &&
        (length < 0 || length > size || buffer[static_cast<size_t>(size)] != '\x55'))
        __builtin_trap();
}

void readAll(Registry &registry)
{
    for (const char *key : kValueKeys) {
        int32_t value = 0;
        int32_t length = 0;
        registry.readData(key, &value, sizeof value, &length);
    }
    for (const StringKey &s : kStringKeys)
        readString(registry, s.key, s.size);
    char key[16];
    for (int32_t layout = 0; layout < TM_LAYOUT_COUNT; ++layout)
        for (int32_t rank = 0; rank < TM_BEST_TIME_RANKS; ++rank)
            readData(registry, formatString(key, sizeof key, "HS:%dx%d", layout, rank),
                     static_cast<int32_t>(sizeof(TMBestTime)));

    // The keys the file holds, whole and through buffers too small for them;
    // the first few are enough, as every lookup walks the whole list.
    int checked = 0;
    for (const HRegistryEntry *entry = registry.entries(); entry && checked < 32; entry = entry->next, ++checked) {
        if (entry->length < 0 || entry->data[entry->length] != 0)
            __builtin_trap();  // values must read back terminated
        for (int32_t size : {1, 3, entry->length + 1}) {
            readString(registry, entry->key, size);
            readData(registry, entry->key, size);
        }
        readData(registry, entry->key, 0);
    }
}

// The game's saves: every setting and the name written whole, as the
// settings are saved, and one best time, as a finished game saves them.
void writeSettings(Registry &registry)
{
    const int32_t one = 1;
    for (const char *key : kValueKeys)
        registry.writeValue(key, &one, sizeof one);
    char name[TM_LAST_NAME_SIZE] = "Player";
    registry.writeData("LastHighScoreName", name, sizeof name);
    TMBestTime best;
    std::memset(&best, 0, sizeof best);
    best.magic = TM_BEST_TIME_MAGIC;
    registry.writeValue("HS:0x0", &best, sizeof best);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string path = [] {
        const tilmar_test::TempDir &home = fuzz::scratchHome();
        tilmar_test::makeDirs(registryDirectory(home));
        return registryPath(home);
    }();
    if (!tilmar_test::writeFile(path, std::string(reinterpret_cast<const char *>(data), size)))
        return 0;

    Registry registry;
    if (!open(registry)) {
        registry.close();
        return 0;  // nothing loaded, nothing to compare
    }
    readAll(registry);
    writeSettings(registry);
    if (!registry.close())
        return 0;

    // Loading what was saved, and saving it again, changes nothing.
    const std::string saved = tilmar_test::readFile(path);
    if (!open(registry))
        __builtin_trap();
    registry.close();
    if (tilmar_test::readFile(path) != saved)
        __builtin_trap();
    return 0;
}

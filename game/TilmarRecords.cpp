// The player's settings and the best-time tables: their defaults, their
// stored form in the settings registry, the ranking of a finished game and
// its entry into the table of its layout.
#include <cstring>

#include "engine/core/HMath.h"
#include "engine/core/HMessages.h"
#include "engine/core/HString.h"
#include "engine/core/HSystemRegistry.h"
#include "game/Tilmar.h"

namespace {

const float kDefaultSoundVolume = 1.0f;
const float kDefaultMusicVolume = 0.25f;
const char *const kPlaceholderName = "nobody";
const char *const kDefaultNames[TM_BEST_TIME_RANKS] = {"Dov", "Maris", "Tova", "Rudd",
                                                       "Ilsen", "Brant", "Oda", "Gobbler"};
// The enter-name dialog fills a buffer of this size.
const int32_t kTypedNameSize = 256;
const int kWarningKind = 49;

// A name in a cleared field, so that no bytes of an earlier holder are
// stored after its terminator.
void s_setName(char (&field)[TM_BEST_TIME_NAME_SIZE], const char *name)
{
    std::memset(field, 0, sizeof field);
    strCopy(field, name, sizeof field);
}

// Reads a 4-byte value into place; a missing key leaves it unchanged. The
// stored length is not looked at: at most the 4 bytes are copied.
template <typename T>
void s_readValue(HSystemRegistry *registry, const char *key, T &field)
{
    static_assert(sizeof(T) == 4, "the registry's numbers are 4 bytes");
    int32_t length = 0;
    registry->readData(key, &field, sizeof field, &length);
}

template <typename T>
void s_writeValue(HSystemRegistry *registry, const char *key, const T &field)
{
    static_assert(sizeof(T) == 4, "the registry's numbers are 4 bytes");
    registry->writeValue(key, &field, sizeof field);
}

// Opens the registry for the best-time records, or tells the player what
// could not be done and whom to contact.
HSystemRegistry *s_openForBestTimes(HCvarManager *cvars, const char *failure)
{
    HSystemRegistry *registry = getSystemRegistry();
    if (registry->open(cvars, kRegistryCompany, kRegistryProduct))
        return registry;
    messageBox(kWarningKind, "Warning", "Tilmar MahJong %s.  Please contact %s", failure, kSupportAddress);
    return nullptr;
}

// Runs visit(layout, rank, key) for each of the 144 records in key order.
template <typename Visit>
void s_forEachBestTimeKey(Visit visit)
{
    for (int32_t layout = 0; layout < TM_LAYOUT_COUNT; ++layout) {
        for (int32_t rank = 0; rank < TM_BEST_TIME_RANKS; ++rank) {
            char key[16];
            formatString(key, sizeof key, "HS:%dx%d", layout, rank);
            visit(layout, rank, key);
        }
    }
}

} // namespace

TMSettings::TMSettings()
    : soundVolume(1.0f), musicVolume(1.0f), autoHint(1), tileSet(0), background(0), layout(0), fullscreen(0)
{
    std::memset(lastName, 0, sizeof lastName);
}

TMBestTime makePlaceholderBestTime()
{
    TMBestTime entry;
    std::memset(&entry, 0, sizeof entry);
    entry.magic = TM_BEST_TIME_MAGIC;
    s_setName(entry.name, kPlaceholderName);
    entry.score = TM_PLACEHOLDER_SECONDS;
    entry.time = TM_PLACEHOLDER_SECONDS;
    entry.tilesLeft = TM_PLACEHOLDER_TILES;
    return entry;
}

const char *getDefaultBestTimeName(int32_t rank)
{
    return rank >= 0 && rank < TM_BEST_TIME_RANKS ? kDefaultNames[rank] : kPlaceholderName;
}

bool goesBefore(int32_t tilesLeft, int32_t score, int32_t time, const TMBestTime &entry)
{
    if (tilesLeft != entry.tilesLeft)
        return tilesLeft < entry.tilesLeft;
    if (score != entry.score)
        return score < entry.score;
    return time < entry.time;
}

bool Tilmar::loadSettings()
{
    HSystemRegistry *registry = getSystemRegistry();
    if (registry->open(&m_cvarManager, kRegistryCompany, kRegistryProduct)) {
        registry->readString("LastHighScoreName", m_settings.lastName, sizeof m_settings.lastName);
        s_readValue(registry, "Layout", m_settings.layout);
        s_readValue(registry, "Background", m_settings.background);
        s_readValue(registry, "Tileset", m_settings.tileSet);
        s_readValue(registry, "Autohint", m_settings.autoHint);
        m_settings.soundVolume = kDefaultSoundVolume;
        s_readValue(registry, "Sound Volume", m_settings.soundVolume);
        m_settings.musicVolume = kDefaultMusicVolume;
        s_readValue(registry, "Music Volume", m_settings.musicVolume);
        m_settings.fullscreen = 0;
        s_readValue(registry, "Fullscreen", m_settings.fullscreen);

        // Negative and not-a-number volumes become 0.
        m_settings.soundVolume = clampFloat(m_settings.soundVolume, 0.0f, 1.0f);
        m_settings.musicVolume = clampFloat(m_settings.musicVolume, 0.0f, 1.0f);
        registry->close();
    }
    // Brings stored indices into range, the values of construction too.
    cycleBackground(0);
    cycleTileSet(0);
    cycleLayout(0);
    return true;
}

void Tilmar::saveSettings()
{
    HSystemRegistry *registry = getSystemRegistry();
    if (!registry->open(&m_cvarManager, kRegistryCompany, kRegistryProduct))
        return;
    s_writeValue(registry, "Autohint", m_settings.autoHint);
    s_writeValue(registry, "Sound Volume", m_settings.soundVolume);
    s_writeValue(registry, "Music Volume", m_settings.musicVolume);
    s_writeValue(registry, "Tileset", m_settings.tileSet);
    s_writeValue(registry, "Background", m_settings.background);
    s_writeValue(registry, "Layout", m_settings.layout);
    s_writeValue(registry, "Fullscreen", m_settings.fullscreen);
    registry->writeData("LastHighScoreName", m_settings.lastName, sizeof m_settings.lastName);
    registry->close();
}

void Tilmar::resetBestTimes(int32_t layout)
{
    for (TMBestTime &entry : m_bestTimes[layout])
        entry = makePlaceholderBestTime();
}

void Tilmar::loadBestTimes()
{
    for (int32_t layout = 0; layout < TM_LAYOUT_COUNT; ++layout)
        resetBestTimes(layout);

    HSystemRegistry *registry = s_openForBestTimes(&m_cvarManager, "could not load high scores");
    if (!registry)
        return;
    s_forEachBestTimeKey([&](int32_t layout, int32_t rank, const char *key) {
        TMBestTime stored;
        std::memset(&stored, 0, sizeof stored);
        int32_t length = 0;
        TMBestTime &entry = m_bestTimes[layout][rank];
        if (!registry->readData(key, &stored, sizeof stored, &length)) {
            s_setName(entry.name, getDefaultBestTimeName(rank));
        } else if (length >= static_cast<int32_t>(sizeof stored) && stored.magic == TM_BEST_TIME_MAGIC) {
            // The name is read as a string later: a stored name without its
            // terminator must end inside its field.
            stored.name[TM_BEST_TIME_NAME_SIZE - 1] = 0;
            entry = stored;
        }
        // Short or foreign records stay the placeholder.
    });
    registry->close();
}

void Tilmar::saveBestTimes()
{
    HSystemRegistry *registry = s_openForBestTimes(&m_cvarManager, "could not open registry");
    if (!registry)
        return;
    s_forEachBestTimeKey([&](int32_t layout, int32_t rank, const char *key) {
        registry->writeValue(key, &m_bestTimes[layout][rank], sizeof(TMBestTime));
    });
    registry->close();
}

void Tilmar::enterBestTime()
{
    const int32_t layout = m_settings.layout;
    const int32_t tilesLeft = m_board.tilesLeft;
    const int32_t score = m_statistics.finalScore;
    const int32_t time = m_statistics.finalTime;
    TMBestTime(&table)[TM_BEST_TIME_RANKS] = m_bestTimes[layout];

    int32_t rank = 0;
    while (rank < TM_BEST_TIME_RANKS && !goesBefore(tilesLeft, score, time, table[rank]))
        ++rank;
    if (rank == TM_BEST_TIME_RANKS) {
        m_lastEntryLayout = -1;
        m_lastEntryRank = -1;
        return;
    }
    m_lastEntryRank = rank;
    m_lastEntryLayout = layout;

    // The entries from this rank on move down one; the last one drops out.
    for (int32_t i = TM_BEST_TIME_RANKS - 1; i > rank; --i)
        table[i] = table[i - 1];

    char name[kTypedNameSize];
    std::memset(name, 0, sizeof name);
    runEnterNameDialog(name, sizeof name);
    name[sizeof name - 1] = 0;

    TMBestTime &entry = table[rank];
    entry.score = score;
    entry.time = time;
    entry.tilesLeft = tilesLeft;
    s_setName(entry.name, name);
    strCopy(m_settings.lastName, name, sizeof m_settings.lastName);
    // Saved at once: the player may quit before anything else saves them.
    saveSettings();

    saveBestTimes();
    showBestTimes(layout);
}

// Placeholder bodies; settings and best times are written next.
#include <cstring>

#include "game/Tilmar.h"

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
    std::strcpy(entry.name, "nobody");
    entry.score = TM_PLACEHOLDER_SECONDS;
    entry.time = TM_PLACEHOLDER_SECONDS;
    entry.tilesLeft = TM_PLACEHOLDER_TILES;
    return entry;
}

const char *getDefaultBestTimeName(int32_t)
{
    return "nobody";
}

bool goesBefore(int32_t, int32_t, int32_t, const TMBestTime &)
{
    return false;
}

bool Tilmar::loadSettings()
{
    return true;
}
void Tilmar::saveSettings() {}
void Tilmar::resetBestTimes(int32_t layout)
{
    for (TMBestTime &entry : m_bestTimes[layout])
        entry = makePlaceholderBestTime();
}
void Tilmar::loadBestTimes() {}
void Tilmar::saveBestTimes() {}
void Tilmar::enterBestTime() {}

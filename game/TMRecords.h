// The player's settings and the best-time records, as kept in the game
// object and stored in the settings registry.
#ifndef GAME_TMRECORDS_H
#define GAME_TMRECORDS_H

#include <cstddef>
#include <cstdint>

enum
{
    TM_BEST_TIME_RANKS = 8,
    TM_BEST_TIME_MAGIC = 768,
    TM_BEST_TIME_NAME_SIZE = 32,
    TM_LAST_NAME_SIZE = 25,
    TM_PLACEHOLDER_SECONDS = 5999,
    TM_PLACEHOLDER_TILES = 144
};

// The company and product names the registry is opened with.
constexpr const char *kRegistryCompany = "Velmora";
constexpr const char *kRegistryProduct = "Tilmar";
// Named at the end of the warnings shown when best times cannot be loaded
// or saved.
constexpr const char *kSupportAddress = "support@velmora.example.com";

struct TMSettings
{
    float soundVolume;  // 0..1
    float musicVolume;  // 0..1
    int32_t autoHint;   // non-zero: automatic hints on
    int32_t tileSet;    // 0..7
    int32_t background; // 0..9
    int32_t layout;     // 0..17
    int32_t fullscreen; // non-zero: full screen
    char lastName[TM_LAST_NAME_SIZE];

    // The values of a new game object: full volumes, hints on, the first
    // set, background and layout, a window, no name.
    TMSettings();
};

// One best-time entry, in memory and as stored: 48 little-endian bytes.
struct TMBestTime
{
    int32_t magic; // always TM_BEST_TIME_MAGIC
    char name[TM_BEST_TIME_NAME_SIZE];
    int32_t score;     // seconds played plus penalty seconds
    int32_t time;      // seconds played
    int32_t tilesLeft; // 0 for a won game
};

static_assert(sizeof(TMBestTime) == 48, "a best-time record is 48 bytes");
static_assert(offsetof(TMBestTime, magic) == 0 && offsetof(TMBestTime, name) == 4 &&
                  offsetof(TMBestTime, score) == 36 && offsetof(TMBestTime, time) == 40 &&
                  offsetof(TMBestTime, tilesLeft) == 44,
              "the stored layout of a best-time record");

// The placeholder {768, "nobody", 5999, 5999, 144}.
TMBestTime makePlaceholderBestTime();

// The holder named in a rank whose record is missing from the registry.
const char *getDefaultBestTimeName(int32_t rank);

// True when a finished game (tiles left, score, time) goes before the entry:
// fewer tiles, then a lower score, then a lower time; a tie goes after.
bool goesBefore(int32_t tilesLeft, int32_t score, int32_t time, const TMBestTime &entry);

#endif

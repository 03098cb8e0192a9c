#ifndef TESTS_GAME_BOARD_SUPPORT_H
#define TESTS_GAME_BOARD_SUPPORT_H

// Small fixtures for the board tests: boards built from a tile list, a
// generator that answers a script, a temporary directory for layout files,
// and a 144-tile layout of three layers.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/HRNG.h"
#include "game/TMBoard.h"

struct TileDef
{
    int32_t x, y, z;
    int32_t kind;
    int32_t image;
};

// Tiles 0 .. n-1 take the defs and are present; the rest stay as
// constructed (not present, kind -1). Every present tile is on the draw list.
inline void setUpBoard(TMBoard &board, const std::vector<TileDef> &defs)
{
    board = TMBoard();
    for (size_t i = 0; i < defs.size(); ++i) {
        TMTile &t = board.tiles[i];
        t.present = 1;
        t.x = defs[i].x;
        t.y = defs[i].y;
        t.z = defs[i].z;
        t.kind = defs[i].kind;
        t.image = defs[i].image;
        board.drawList[i] = &t;
    }
    board.tilesLeft = static_cast<int32_t>(defs.size());
    board.movesAvailable = board.countAvailablePairs();
}

// Tiles of the given kinds, far enough apart that every one of them is free.
inline std::vector<TileDef> isolatedTiles(const std::vector<int32_t> &kinds)
{
    std::vector<TileDef> defs;
    for (size_t i = 0; i < kinds.size(); ++i)
        defs.push_back({static_cast<int32_t>(10 * i), 0, 0, kinds[i], kinds[i]});
    return defs;
}

inline int32_t indexOf(const TMBoard &board, const TMTile *tile)
{
    if (!tile)
        return -1;
    return static_cast<int32_t>(tile - board.tiles);
}

// Answers the scripted values in order, then `after` for ever; counts draws.
class ScriptedRNG : public HRNG
{
public:
    explicit ScriptedRNG(std::vector<uint32_t> values, uint32_t after = 0)
        : m_values(std::move(values)), m_after(after) {}

    float nextFloat() override { return 0.0f; }
    uint32_t nextInt(uint32_t max) override
    {
        lastMax = max;
        const uint32_t v = draws < m_values.size() ? m_values[draws] : m_after;
        ++draws;
        return v;
    }

    size_t draws = 0;
    uint32_t lastMax = 0;

private:
    std::vector<uint32_t> m_values;
    uint32_t m_after;
};

// A fresh directory of its own under the system's temporary directory,
// removed with everything in it at the end of the test.
class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tmboard.XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()))
            m_path = buffer.data();
    }
    ~TempDir()
    {
        if (!m_path.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(m_path, ec);
        }
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &path() const { return m_path; }

    // Writes the bytes as the file `name` (subfolders are made as needed).
    void write(const std::string &name, const std::string &bytes) const
    {
        const std::filesystem::path file = std::filesystem::path(m_path) / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

private:
    std::string m_path;
};

// 144 positions in three layers: 12 x 8 tiles at the bottom, 6 x 6 on them
// and 3 x 4 on top, the top layer set half a tile off the one below.
inline std::vector<TMLayoutPosition> threeLayerLayout()
{
    std::vector<TMLayoutPosition> positions;
    for (int32_t r = 0; r < 8; ++r)
        for (int32_t c = 0; c < 12; ++c)
            positions.push_back({2 * c, 2 * r, 0});
    for (int32_t r = 0; r < 6; ++r)
        for (int32_t c = 0; c < 6; ++c)
            positions.push_back({2 * c + 6, 2 * r + 2, 1});
    for (int32_t r = 0; r < 4; ++r)
        for (int32_t c = 0; c < 3; ++c)
            positions.push_back({2 * c + 9, 2 * r + 3, 2});
    return positions;
}

inline std::string layoutText(const std::vector<TMLayoutPosition> &positions,
                              const char *lineEnd = "\n")
{
    std::string text;
    char line[64];
    for (const TMLayoutPosition &p : positions) {
        std::snprintf(line, sizeof line, "%d,%d,%d%s", p.x, p.y, p.z, lineEnd);
        text += line;
    }
    return text;
}

// The 144 tiles of the kind table in table order, as (kind, image).
inline std::vector<std::pair<int32_t, int32_t>> tableOrder()
{
    std::vector<std::pair<int32_t, int32_t>> order;
    for (const TMTileKind &row : g_tileKindTable)
        for (int32_t c = 0; c < row.count; ++c)
            order.push_back({row.kind, row.image});
    return order;
}

#endif

// The content kit writes every entry of the resource archive. Each part of the
// kit appends its entries; main() sorts nothing and writes them in this order.
#ifndef CONTENT_CONTENTKIT_H
#define CONTENT_CONTENTKIT_H

#include <cstdint>
#include <string>
#include <vector>

namespace content {

struct Entry
{
    std::string name;            // archive path, lower case, e.g. "art/font.tga"
    std::vector<uint8_t> bytes;  // the file's contents
};

using Entries = std::vector<Entry>;

// One position of a layout: x and y in half tiles, z the layer.
struct TilePos
{
    int x, y, z;
};

// The 18 layouts in game order (index 0 is "layouts/classic.tml").
const char *layoutFileName(int index);
const char *layoutTitle(int index);
const std::vector<TilePos> &layoutPositions(int index);

// The number of layouts the kit defines (18), and a structural check of a
// layout's positions: empty when it is sound, else what is wrong (count, off
// the grid, overlap within a layer, a raised tile not fully on the layer
// below).
int layoutCount();
std::string checkLayout(const std::vector<TilePos> &tiles);

void addLayoutEntries(Entries &out);   // layouts/*.tml
void addConfigEntry(Entries &out);     // config.txt
void addAudioEntries(Entries &out);    // sound/*, music/*
void addTileArtEntries(Entries &out);  // tile sheets, tile and layout previews, layout titles
void addScreenArtEntries(Entries &out); // everything else under art/

// Writes the entries, in order, as a plain ZIP (deflated, one fixed date, no
// ZIP64) to path. Throws std::runtime_error, leaving a partial file, when a
// name is empty, not lower case or used twice (ignoring case), when an entry
// is empty, or when writing fails.
void writeArchive(const Entries &entries, const std::string &path);

} // namespace content

#endif

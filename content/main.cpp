// The content kit's program: collects every entry of the resource archive
// from the parts of the kit and writes them as one plain ZIP file.
//
//   tilmar_content <output path>
//
// The archive is written next to the output under a temporary name and moved
// into place only when complete, so a failed run never leaves a partial
// archive behind. Any failure ends the program with status 1.
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>

#include "content/ContentKit.h"

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <archive to write>\n", argc > 0 ? argv[0] : "tilmar_content");
        return 1;
    }
    const std::string path = argv[1];
    const std::string temporary = path + ".part";
    try {
        content::Entries entries;
        content::addLayoutEntries(entries);
        content::addConfigEntry(entries);
        content::addAudioEntries(entries);
        content::addTileArtEntries(entries);
        content::addScreenArtEntries(entries);
        std::remove(temporary.c_str());
        content::writeArchive(entries, temporary);
        if (std::rename(temporary.c_str(), path.c_str()) != 0)
            throw std::runtime_error("cannot move the archive to " + path);
        size_t total = 0;
        for (const content::Entry &e : entries)
            total += e.bytes.size();
        std::printf("tilmar_content: wrote %zu entries (%zu bytes before compression) to %s\n",
                    entries.size(), total, path.c_str());
    } catch (const std::exception &error) {
        std::remove(temporary.c_str());
        std::fprintf(stderr, "tilmar_content: %s\n", error.what());
        return 1;
    }
    return 0;
}

#include "content/ContentKit.h"

#include "engine/core/HUnixPlatform.h"

namespace content {

void addConfigEntry(Entries &out)
{
    // Two lines, each ended by CR LF; the game reads only the second, and the
    // address must be one token of URL characters.
    const std::string text = std::string("Tilmar MahJong resource archive\r\n") + "partnerURL=" +
                             kVelmoraWebAddress + "\r\n";
    out.push_back(Entry{"config.txt", std::vector<uint8_t>(text.begin(), text.end())});
}

} // namespace content

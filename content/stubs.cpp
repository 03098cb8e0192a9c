// Fallbacks for the parts of the kit that are built separately: each adds
// nothing until its real definition is linked in, which then takes over.
#include "content/ContentKit.h"

namespace content {

__attribute__((weak)) void addAudioEntries(Entries &) {}
__attribute__((weak)) void addTileArtEntries(Entries &) {}
__attribute__((weak)) void addScreenArtEntries(Entries &) {}

} // namespace content

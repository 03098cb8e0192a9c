// Placeholder bodies; the dialogs are written next.
#include "game/TMBestTimesDialog.h"
#include "game/Tilmar.h"

void Tilmar::showBestTimes(int32_t) {}
void Tilmar::runEnterNameDialog(char *buffer, int32_t size)
{
    if (size > 0)
        buffer[0] = 0;
}

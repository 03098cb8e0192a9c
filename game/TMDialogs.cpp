// Placeholder bodies; the dialogs are written next.
#include "game/TMDialogs.h"
#include "game/Tilmar.h"

bool Tilmar::confirm(const char *, const char *, const char *, const char *, const char *)
{
    return false;
}
bool Tilmar::showNoMoreMoves()
{
    return true;
}
void Tilmar::showOptions() {}

// Placeholder bodies; the controls are written next.
#include "game/TMControls.h"
#include "game/Tilmar.h"

void Tilmar::createControls() {}

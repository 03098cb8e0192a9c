// The program `tilmar`: the one game object, built before main. The process
// entry (main) comes from the framework library.
#include "game/Tilmar.h"

static Tilmar s_tilmar;

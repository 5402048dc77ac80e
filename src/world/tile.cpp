#include "world/tile.h"

void TILE_Init(void) {}

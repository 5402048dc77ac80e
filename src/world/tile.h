// The scrolling tile map.
#pragma once

void TILE_Init(void);

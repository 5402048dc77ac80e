// Engine flames: columns of pixels brightened through light tables.
#pragma once

// Flames brighten through this many tables, the first the brightest.
constexpr int FLAME_NUMTABLES = 8;

void FLAME_Init(void);
// Rebuilds the brightening tables from the game palette.
void FLAME_InitShades(void);
// An enemy's exhaust: `width` columns rising from row y, brightest at y; an odd flip
// draws the longer of the two flickering lengths. Not drawn at the lowest detail.
void FLAME_Up(int x, int y, int width, int flip);
// The ship's exhaust: columns falling from row y, brightest at the top.
void FLAME_Down(int x, int y, int width, int flip);

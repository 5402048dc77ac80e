// Shadows of the ship and the enemies: flat on the ground or projected from the sky.
#pragma once

#include <cstdint>

constexpr int SHADOW_MAXSKY = 50;
constexpr int SHADOW_MAXGROUND = 25;

// The lists are filled while the frame thinks and emptied by the two display calls.
extern int num_shadows;
extern int num_gshadows;

void SHADOW_Init(void);
// Builds the darkening table from the game palette; after the palette is loaded.
void SHADOW_MakeShades(void);
void SHADOW_Add(int item, int x, int y);
void SHADOW_GAdd(int item, int x, int y);
void SHADOW_DisplayGround(void);
void SHADOW_DisplaySky(void);
// Darkens the ground under a flying sprite drawn at (x, y): its shape, shrunk toward the
// middle of the screen as if cast from high up, and set off down and to the left. The
// sprite must have passed ANIMS_GetSprite.
void SHADOW_Draw(const uint8_t* pic, int x, int y);

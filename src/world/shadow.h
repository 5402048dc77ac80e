// Shadows of the ship and the enemies: flat on the ground or projected from the sky.
#pragma once

#include <cstdint>

extern int num_shadows;
extern int num_gshadows;

void SHADOW_Init(void);
void SHADOW_MakeShades(void);
void SHADOW_Add(int item, int x, int y);
void SHADOW_GAdd(int item, int x, int y);
void SHADOW_DisplayGround(void);
void SHADOW_DisplaySky(void);
void SHADOW_Draw(const uint8_t* pic, int x, int y);

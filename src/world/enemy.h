// Enemies: placement from the map, movement, animation, damage.
//
// For now a stand-in with the module's final interface: no enemy comes into play, and the
// wave's end countdown starts once the map has stopped scrolling, so that a wave can be
// flown from start to finish.
#pragma once

#include "game/game.h"

// An enemy in play. The effects module follows an enemy through its mover point and
// notices it has gone when its item becomes -1.
struct SPRITE_SHIP_S {
    SPRITE_SHIP_S* prev;
    SPRITE_SHIP_S* next;
    int item;
    MOVEOBJ move;
};

void ENEMY_LoadLib(void);
void ENEMY_LoadSprites(void);
void ENEMY_FreeSprites(void);
void ENEMY_Clear(void);
void ENEMY_Think(void);
void ENEMY_DisplayGround(void);
void ENEMY_DisplaySky(void);
// Mean remaining strength of the bosses in view, in percent; 0 when there are none.
int ENEMY_GetBaseDamage(void);

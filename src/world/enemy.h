// Enemies: placement from the map, movement, animation, damage.
//
// For now a stand-in with the module's final interface: no enemy comes into play, and the
// wave's end countdown starts once the map has stopped scrolling, so that a wave can be
// flown from start to finish.
#pragma once

#include "game/game.h"

#include <cstdint>

// An enemy type as read from the library (the parts the weapons need).
struct ENEMY_TYPE {
    int16_t guntype[24];
    int16_t gunx[24];
    int16_t guny[24];
};

// An enemy in play. The effects module follows an enemy through its mover point and
// notices it has gone when its item becomes -1.
struct SPRITE_SHIP_S {
    SPRITE_SHIP_S* prev;
    SPRITE_SHIP_S* next;
    int item;
    ENEMY_TYPE* lib;
    int x, y, x2, y2;
    int width, height;
    int hlx, hly;
    int hp;
    int groundflag;
    MOVEOBJ move;
    int shotspeed;
};

void ENEMY_LoadLib(void);
void ENEMY_LoadSprites(void);
void ENEMY_FreeSprites(void);
void ENEMY_Clear(void);
void ENEMY_Think(void);
void ENEMY_DisplayGround(void);
void ENEMY_DisplaySky(void);
// Damage at a point: the first enemy in view whose box holds it strictly.
int ENEMY_DamageAll(int x, int y, int damage);
int ENEMY_DamageGround(int x, int y, int damage);
int ENEMY_DamageAir(int x, int y, int damage);
SPRITE_SHIP_S* ENEMY_DamageEnergy(int x, int y, int damage);
SPRITE_SHIP_S* ENEMY_GetRandom(void);
SPRITE_SHIP_S* ENEMY_GetRandomAir(void);
// The enemies in play, in list order (null after the last).
SPRITE_SHIP_S* ENEMY_First(void);
SPRITE_SHIP_S* ENEMY_Next(SPRITE_SHIP_S* en);
// Mean remaining strength of the bosses in view, in percent; 0 when there are none.
int ENEMY_GetBaseDamage(void);

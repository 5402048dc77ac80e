// Enemy shots: aimed and straight shots, missiles, beams hanging from an enemy's gun, and
// drifting mines. They take shield from the player near the ship's centre and never touch
// enemies or the player's shots.
#pragma once

#include <cstdint>

#include "game/game.h"
#include "world/pool.h"

struct SPRITE_SHIP_S;

constexpr int ESHOT_MAX = 80;
constexpr int ESHOT_KINDS = 9;
constexpr int ESHOT_LIBS = 7;
constexpr int ESHOT_MAXFRAMES = 10;

// The pictures and strength of a kind of enemy shot.
struct PLIB {
    int item;
    uint8_t* pics[ESHOT_MAXFRAMES];
    int numframes;
    int smoke;    // leaves a smoke trail
    int maxspeed; // 0: the drifting mine
    int hlx, hly; // half the first picture's size
    int damage;   // shield taken from the player
};

struct ESHOT_S {
    ESHOT_S* prev;
    ESHOT_S* next;
    const uint8_t* pic;
    int frame;
    int x, y;
    MOVEOBJ move; // for a beam, its target y is the beam's lower end
    int gone;     // leaves play this frame
    PLIB* lib;
    int smokecnt; // frames alive
    int speed;    // for the mine, its remaining life
    int wobble;   // the mine's wobble step
    int kind;
    SPRITE_SHIP_S* ship; // the enemy that fired it
    int gun;
};

extern PLIB plib[ESHOT_LIBS];
// The enemy shots in play, in the order they were fired.
extern Pool<ESHOT_S, ESHOT_MAX> eshots;
extern int eshotnum, eshothigh;

void ESHOT_Init(void);
void ESHOT_Clear(void);
ESHOT_S* ESHOT_Get(void);
// Returns the record before the removed one.
ESHOT_S* ESHOT_Remove(ESHOT_S* sh);
void ESHOT_Shoot(SPRITE_SHIP_S* enemy, int gun);
void ESHOT_Think(void);
void ESHOT_Display(void);

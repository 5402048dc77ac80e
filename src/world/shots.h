// The player's weapons: main guns, special weapons and the mega bomb, and the shots they
// fire. Shots move, animate and hit air and ground enemies and the ground's buildings;
// beams and the laser are bound to the ship.
#pragma once

#include <cstdint>

#include "game/game.h"
#include "world/pool.h"

constexpr int SHOTS_WEAPONS = 15;
constexpr int SHOTS_MAX = 70;
constexpr int SHOTS_MAXFRAMES = 10;

// How a weapon's shots are drawn.
enum { SHOT_SPRITE, SHOT_LASER, SHOT_BEAM };

// What a shot can hit.
enum {
    HIT_ALL,        // enemies, then buildings
    HIT_AIR,        // air enemies
    HIT_GROUND,     // ground enemies, then buildings
    HIT_ENEMIES,    // any enemy, no buildings
    HIT_BOMB,       // buildings with the blast ring, then ground enemies
    HIT_ENERGY = 5, // air enemies' guns (5 and above)
};

// Weapon types with a behaviour of their own.
constexpr int SHOT_TYPE_LASER = 5;
constexpr int SHOT_TYPE_MEGABOMB = 11;
constexpr int SHOT_TYPE_BEAM2 = 14;

// A weapon.
struct SHOT_LIB {
    int item;                       // first picture, -1: drawn without pictures
    uint8_t* pics[SHOTS_MAXFRAMES]; // its frames, locked for the whole run
    int type;                       // the weapon's number
    int damage;                     //
    int startspeed, maxspeed;       // pixels a frame; one more each frame up to max
    int loopframe;                  // where a travelling shot's animation starts again
    int numframes;                  //
    int firedelay;                  // frames between two firings
    int cnt;                        // frames until it may fire again
    int stage;                      // 1: flies out sideways, then turns upward
    int smoke;                      // leaves a smoke trail
    int aimed;                      // flies along its mover to a target point
    int moves;                      // 0: a beam or the laser, bound to the ship
    int hitclass;                   //
    int followx, followy;           // moves with the ship
    int nohit;                      // no ordinary hit test
    int display;                    // SHOT_SPRITE, SHOT_LASER or SHOT_BEAM
    int hlx, hly;                   // half the first picture's size
};

// A shot in play.
struct SHOTS_S {
    SHOTS_S* prev;
    SHOTS_S* next;
    const uint8_t* pic;
    int x, y; // where it is drawn
    MOVEOBJ move;
    int speed;
    int frame;
    int hitflag; // it hit something and ends next frame
    int stage;   // 1 until a staged shot has turned
    int ox, oy;  // the ship's centre when it was fired
    SHOT_LIB* lib;
    int beamcnt;
};

// The guns' sideways offsets from the ship's centre in each banking frame: the twin nose
// guns, the missile rails under the wings and the wing-tip guns. The wings look narrower as
// the ship rolls, so the offsets shrink towards the outer frames.
inline constexpr int o_gun1[SHIP_FRAMES] = {2, 3, 3, 3, 3, 3, 2};
inline constexpr int o_gun2[SHIP_FRAMES] = {5, 6, 6, 7, 6, 6, 5};
inline constexpr int o_gun3[SHIP_FRAMES] = {8, 9, 10, 10, 10, 9, 8};

extern SHOT_LIB shot_lib[SHOTS_WEAPONS];
// The shots in play, in the order they were fired.
extern Pool<SHOTS_S, SHOTS_MAX> shots;
extern int shotnum, shothigh;

void SHOTS_Init(void);
void SHOTS_Clear(void);
SHOTS_S* SHOTS_Get(void);
// Returns the record before the removed one.
SHOTS_S* SHOTS_Remove(SHOTS_S* sh);
// Fires the weapon of inventory type `type` (0..14); non-zero when the weapon was used.
int SHOTS_PlayerShoot(int type);
void SHOTS_Think(void);
void SHOTS_Display(void);

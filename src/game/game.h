// The mission loop and the player ship, the game's random generator and the
// straight-line mover that enemies and shots use.
#pragma once

#include <cstdint>

struct MOVEOBJ {
    int32_t x, y;       // current point
    int32_t x2, y2;     // target point
    int32_t delx, dely; // absolute distances
    int32_t addx, addy; // step direction, +1 or -1
    int32_t maxloop;    // steps left
    int32_t err;        // error term
    int32_t done;       // 1 once the target is reached
};

extern int playerx, playery;
extern int player_cx, player_cy;
extern int playerpic;
// Level-flight frame of the ship; banking leans at most three frames either side of it.
extern int playerbasepic;
// End-of-wave countdown in frames, -1 while none runs.
extern int startendwave;
extern int32_t wRandSeed;

// One stream for the whole game, reseeded at every wave start so demos replay exactly.
int wrand(void);
void wsrand(int32_t seed);

void InitMobj(MOVEOBJ* obj);
void MoveMobj(MOVEOBJ* obj);
void MoveSobj(MOVEOBJ* obj, int steps);

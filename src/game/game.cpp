#include "game/game.h"

int playerx = 144, playery = 160;
int player_cx = 160, player_cy = 176;
int playerpic = 4;
int playerbasepic = 3;
int startendwave = -1;
int32_t wRandSeed = 1;

int wrand(void)
{
    // 32-bit wrap-around, done unsigned so the overflow is defined.
    wRandSeed = static_cast<int32_t>(static_cast<uint32_t>(wRandSeed) * 1103515245u + 12345u);
    return (wRandSeed >> 16) & 0x7FFF;
}

void wsrand(int32_t seed)
{
    wRandSeed = seed;
}

void InitMobj(MOVEOBJ* obj)
{
    obj->addx = 1;
    obj->addy = 1;
    obj->done = 0;
    obj->delx = obj->x2 - obj->x;
    obj->dely = obj->y2 - obj->y;
    if (obj->delx < 0) {
        obj->delx = -obj->delx;
        obj->addx = -1;
    }
    if (obj->dely < 0) {
        obj->dely = -obj->dely;
        obj->addy = -1;
    }
    if (obj->delx >= obj->dely) {
        obj->maxloop = obj->delx + 1;
        obj->err = -(obj->dely >> 1);
    } else {
        obj->maxloop = obj->dely + 1;
        obj->err = obj->delx >> 1;
    }
}

void MoveMobj(MOVEOBJ* obj)
{
    if (obj->maxloop == 0) {
        obj->done = 1;
        return;
    }
    if (obj->delx >= obj->dely) {
        obj->err += obj->dely;
        obj->x += obj->addx;
        if (obj->err > 0) {
            obj->y += obj->addy;
            obj->err -= obj->delx;
        }
    } else {
        obj->err += obj->delx;
        obj->y += obj->addy;
        if (obj->err > 0) {
            obj->x += obj->addx;
            obj->err -= obj->dely;
        }
    }
    obj->maxloop -= 1;
}

void MoveSobj(MOVEOBJ* obj, int steps)
{
    if (steps == 0) return;
    // The major axis moves in one go; the minor axis is stepped with the usual error rule.
    if (obj->delx >= obj->dely) {
        obj->x += steps * obj->addx;
        for (int i = 0; i < steps; i++) {
            obj->err += obj->dely;
            if (obj->err > 0) {
                obj->y += obj->addy;
                obj->err -= obj->delx;
            }
        }
    } else {
        obj->y += steps * obj->addy;
        for (int i = 0; i < steps; i++) {
            obj->err += obj->delx;
            if (obj->err > 0) {
                obj->x += obj->addx;
                obj->err -= obj->dely;
            }
        }
    }
    obj->maxloop -= steps;
    if (obj->maxloop <= 0) obj->done = 1;
}

// Pickups dropped by dying enemies and collected by the ship.
#pragma once

struct OBJ_LIB;

struct BONUS_S {
    BONUS_S* prev;
    BONUS_S* next;
    int item; // current picture
    int frame;
    int glowframe; // 0..3
    int bx, by;    // base position: the middle of the pickup
    int x, y;      // where the picture is drawn
    int gx, gy;    // where the glow is drawn
    int wobble;    // 0..15, a step round a small circle
    int taken;     // a money pickup already collected, shown a while longer
    int timer;
    int kind; // inventory type 0..23
    OBJ_LIB* lib;
};

constexpr int BONUS_MAX = 12;
// Money pickups of the commonest kind (the ones that come in showers) in play at once.
constexpr int BONUS_MAXENERGY = 10;
// Frames a collected money pickup stays on screen as a coin.
constexpr int BONUS_TAKENFRAMES = 49;

extern int energy_count;

// At start-up and each wave load: empties the pool and caches the glow pictures.
void BONUS_Init(void);
void BONUS_Clear(void);
// Drops a pickup of an inventory kind at (x, y); silently nothing when there is no room.
void BONUS_Add(int kind, int x, int y);
BONUS_S* BONUS_Get(void);
// Pickups in play.
int BONUS_Count(void);
BONUS_S* BONUS_Remove(BONUS_S* bonus);
// Walks the pickups in play: null gives the first, a pickup the one after it; null at the end.
const BONUS_S* BONUS_Next(const BONUS_S* b);
void BONUS_Think(void);
void BONUS_Display(void);

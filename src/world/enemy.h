// Enemies: the episode libraries of enemy types, the map's placements coming into play,
// movement, animation, volleys, ramming, damage, death with money, explosions and pickups.
#pragma once

#include <cstdint>

#include "game/game.h"
#include "world/pool.h"

struct CSPRITE;

constexpr int ENEMY_MAX = 30;       // enemies in play at once
constexpr int ENEMY_MAXGUNS = 24;   // guns and engine flames of one type
constexpr int ENEMY_MAXPOINTS = 30; // flight points of one type
constexpr int ENEMY_LIBS = 4;       // one library per episode
constexpr int ENEMY_NEVER = 64;     // the level bit no difficulty has

// An enemy type as stored in an episode's library item (528 bytes, little-endian, read in
// place). The loader checks and clamps every count before anything uses it.
struct SLIB_S {
    char label[16];     // label of the first frame's item
    int32_t item;       // first frame, found from the label at load (-1: none)
    int32_t bonus;      // pickup dropped on death, -1 none
    int32_t explosion;  // death explosion style 0..10
    int32_t shotdelay;  // frames between the shots of a volley
    int32_t spare1;     //
    int32_t egrabflag;  // the energy weapon can disable its guns
    int32_t framedelay; // frames between animation frames
    int32_t numframes;  //
    int32_t shootline;  // screen height from which it may fire
    int32_t loopframes; // frames repeated once the animation has run through
    int32_t animtype;   // 0 free-running, 1 held until the shooting line, 2 two-phase
    int32_t shadow;     //
    int32_t boss;       //
    int32_t hp;         //
    int32_t money;      //
    int32_t firstdelay; // frames before the first shot
    int32_t volley;     // shots per volley
    int32_t pause;      // frames between volleys
    int32_t speed;      // pixels per frame
    int32_t numpoints;  // flight points
    int32_t repeat;     // the point a patrol turns back at
    int32_t flighttype; // 0 patrol, 1 fly through, 2 attack run, 3 ground, 4 left, 5 right
    int32_t numguns;    //
    int32_t numflames;  //
    int32_t spare2;     //
    int32_t bosstune;   // -1 normal; else the boss alarm sounds while it lives
    int16_t guntype[ENEMY_MAXGUNS];
    int16_t flamex[ENEMY_MAXGUNS];
    int16_t flamey[ENEMY_MAXGUNS];
    int16_t flamesize[ENEMY_MAXGUNS];
    int16_t gunx[ENEMY_MAXGUNS];
    int16_t guny[ENEMY_MAXGUNS];
    int16_t flightx[ENEMY_MAXPOINTS];
    int16_t flighty[ENEMY_MAXPOINTS];
};
static_assert(sizeof(SLIB_S) == 528, "enemy types are read in place from the library item");

// An enemy in play. The effects module follows an enemy through its mover point and
// notices it has gone when its item becomes -1.
struct SPRITE_SHIP_S {
    SPRITE_SHIP_S* prev;
    SPRITE_SHIP_S* next;
    int item; // current frame; -1 while the record is free
    SLIB_S* lib;
    int sx, sy; // origin of the flight points
    int x, y;   // top-left corner on screen
    int x2, y2; // bottom-right corner
    int width, height;
    int hlx, hly;
    int pathpos;  // flight point aimed at next
    int pausecnt; // countdown between volleys; -1 while a volley runs
    int volley;   // shots left in this volley
    int shootcnt; // countdown to the next shot
    int hp;
    int groundflag; // rides on the map
    int doneflag;   // leaves play this frame
    MOVEOBJ move;
    int shootline; // distance left to the shooting line; -1 once there
    int frame;
    int flameflip;
    int framelimit;
    int animating;
    int backwards; // a patrol running back through its points
    int phase;     // attack run: 0 path, 1 path done, 2 diving
    int framecnt;
    int shootflag;
    int gunsoff; // guns disabled by the energy weapon
    int animphase;
    int shotspeed;
    int egrab; // resistance left against the energy weapon
};

extern SLIB_S* slib[ENEMY_LIBS];
extern int numslibs[ENEMY_LIBS];
extern int spriteflag[ENEMY_LIBS];
// The pool; the enemies in play run from ships.first.next up to &ships.last.
extern Pool<SPRITE_SHIP_S, ENEMY_MAX> ships;
extern SPRITE_SHIP_S* onscreen[ENEMY_MAX];
extern int cur_visable;
extern int numships;
extern int end_waveflag;
extern int boss_sound;
extern int tiley;
// The wave's tally, started afresh at each wave load: enemies that came into play, and of
// those the ones shot down (the ground ones also counted apart).
struct ENEMY_TALLY {
    int came, killed, groundkilled;
};
extern ENEMY_TALLY enemy_tally;
extern CSPRITE* cur_enemy;
extern CSPRITE* end_enemy;

// ---- the wave ---------------------------------------------------------------------------
// Locks the libraries the loaded map's placements use; episode 1's missing ends the game.
void ENEMY_LoadLib(void);
// Checks the libraries and the placements, turns level codes into bits against the
// difficulty and caches the frames of every enemy that can come into play.
void ENEMY_LoadSprites(void);
void ENEMY_FreeSprites(void);
// The level bit placement `index` of the loaded map has at this difficulty (ENEMY_NEVER
// when it never comes into play).
int ENEMY_Level(int index);

// ---- the pool ---------------------------------------------------------------------------
void ENEMY_Clear(void);
// A cleared record in play; the program ends when all 30 are taken.
SPRITE_SHIP_S* ENEMY_Get(void);
// Takes an enemy out of play and hands back the one before it.
SPRITE_SHIP_S* ENEMY_Remove(SPRITE_SHIP_S* sh);
// Brings a placement into play.
void ENEMY_Add(CSPRITE* sprite);

// ---- every frame ------------------------------------------------------------------------
void ENEMY_Think(void);
void ENEMY_DisplayGround(void);
void ENEMY_DisplaySky(void);

// ---- the player's weapons ---------------------------------------------------------------
// Each hits the first enemy in view of the class asked for whose box holds the point
// strictly inside; 1 when one was hit.
int ENEMY_DamageAll(int x, int y, int damage);
int ENEMY_DamageGround(int x, int y, int damage);
int ENEMY_DamageAir(int x, int y, int damage);
// The energy weapon: one hit point from an air enemy, and its guns in the end; the enemy
// hit, or null.
SPRITE_SHIP_S* ENEMY_DamageEnergy(int x, int y, int damage);
// A random enemy in view, or null.
SPRITE_SHIP_S* ENEMY_GetRandom(void);
// A random air enemy in view, or null.
SPRITE_SHIP_S* ENEMY_GetRandomAir(void);
// Mean remaining strength of the bosses in view, in percent; 0 when there are none.
int ENEMY_GetBaseDamage(void);
// The enemies in play, in list order (null after the last).
SPRITE_SHIP_S* ENEMY_First(void);
SPRITE_SHIP_S* ENEMY_Next(SPRITE_SHIP_S* en);

// ---- movement ---------------------------------------------------------------------------
// Advances up to count single steps along the mover's line; the steps left over when the
// line ran out.
int MoveEobj(MOVEOBJ* move, int count);

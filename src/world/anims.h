// One-shot animations (explosions, sparks, smoke, muzzle flashes) on three layers.
#pragma once

#include <cstdint>

struct SPRITE_SHIP_S;

// An animation type.
struct ANIMLIB {
    int item; // first picture
    int numframes;
    int layer;    // 0 ground, 1 sky, 2 high
    int follow;   // 1: positioned relative to the ship's centre
    int shade;    // 1: drawn as a brightening shade instead of a sprite
    int drift;    // 0 none, 1 up, 2 down
    int hlx, hly; // half the first picture's width and height
};

struct ANIMS_S {
    ANIMS_S* prev;
    ANIMS_S* next;
    int item;
    int x, y;
    int ox, oy;
    int frame;
    ANIMLIB* type;
    int layer;
    SPRITE_SHIP_S* ship; // the enemy an attached animation follows
    int detached;        // 1 once that enemy is gone
};

// Drawing layers: under the air enemies, under the ship, over everything but enemy shots.
enum { ANIM_GROUND, ANIM_SKY, ANIM_HIGH };
enum { ANIM_NODRIFT, ANIM_DRIFTUP, ANIM_DRIFTDOWN };

// The animation types registered at start-up, by what starts them.
enum {
    ANIM_GROUNDBLAST, // destroyed buildings and ground enemies
    ANIM_BIGBLAST,    // large deaths, bomb hits
    ANIM_SMALLBLAST,
    ANIM_MIDBLAST,
    ANIM_AIRBLAST, // air deaths, the ship blowing up
    ANIM_FIREBALL, // deaths, the dying ship
    ANIM_IMPACT,   // ramming, enemy shots hitting the ship
    ANIM_DEBRIS,
    ANIM_BURST,
    ANIM_LASERHIT,
    ANIM_SMOKE,
    ANIM_PLAYERSMOKE, // trail of the player's missiles, drifting down
    ANIM_ENEMYSMOKE,  // trail of enemy missiles, drifting up
    ANIM_ENERGY,
    ANIM_SHOTHIT1,
    ANIM_SHOTHIT2,
    ANIM_MUZZLE, // the ship's gun flashes, riding with the ship
    ANIM_FLARE,  // burning wrecks
    ANIM_SPARK,
    ANIM_ENERGYHIT, // an energy weapon's hit, riding with the enemy
    ANIM_FLASH,     // mega bomb and super shield flash around the ship
    ANIM_NUMTYPES
};

constexpr int ANIMS_MAXTYPES = 25;
constexpr int ANIMS_MAXANIMS = 100;

extern ANIMLIB animlib[ANIMS_MAXTYPES];
extern int curlib;

void ANIMS_Init(void);
void ANIMS_Clear(void);
int ANIMS_Register(int item, int numframes, int layer, int follow, int shade, int drift);
void ANIMS_CachePics(void);
void ANIMS_FreePics(void);
ANIMS_S* ANIMS_Get(void);
// Animations in play.
int ANIMS_Count(void);
ANIMS_S* ANIMS_Remove(ANIMS_S* anim);
// Centred on (x, y); for the types that ride with the ship (x, y) is an offset from its
// centre.
ANIMS_S* ANIMS_StartAnim(int type, int x, int y);
// On the ground layer with the picture's top-left corner at (x, y).
ANIMS_S* ANIMS_StartGAnim(int type, int x, int y);
// On the high layer, centred.
ANIMS_S* ANIMS_StartAAnim(int type, int x, int y);
// On the high layer, centred on an offset from the enemy's mover point, riding with the
// enemy until it is gone.
ANIMS_S* ANIMS_StartEAnim(SPRITE_SHIP_S* en, int type, int x, int y);
void ANIMS_Think(void);
void ANIMS_DisplayGround(void);
void ANIMS_DisplaySky(void);
void ANIMS_DisplayHigh(void);

// A sprite item of the archives checked before it is drawn: null when the item is
// missing, is not a sprite, or its run list would reach outside the item or its box.
// The other effect modules draw through it as well.
const uint8_t* ANIMS_GetSprite(int item);

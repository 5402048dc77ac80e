// One-shot animations (explosions, sparks, smoke, muzzle flashes) on three layers.
#pragma once

struct SPRITE_SHIP_S;

// An animation type.
struct ANIMLIB {
    int item;      // first picture
    int numframes;
    int layer;     // 0 ground, 1 sky, 2 high
    int follow;    // 1: positioned relative to the ship's centre
    int shade;     // 1: drawn as a brightening shade instead of a sprite
    int drift;     // 0 none, 1 up, 2 down
    int hlx, hly;  // half the first picture's width and height
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

void ANIMS_Init(void);
void ANIMS_Clear(void);
int ANIMS_Register(int item, int numframes, int layer, int follow, int shade, int drift);
void ANIMS_CachePics(void);
void ANIMS_FreePics(void);
ANIMS_S* ANIMS_StartAnim(int type, int x, int y);
ANIMS_S* ANIMS_StartGAnim(int type, int x, int y);
ANIMS_S* ANIMS_StartAAnim(int type, int x, int y);
ANIMS_S* ANIMS_StartEAnim(SPRITE_SHIP_S* en, int type, int x, int y);
void ANIMS_Think(void);
void ANIMS_DisplayGround(void);
void ANIMS_DisplaySky(void);
void ANIMS_DisplayHigh(void);

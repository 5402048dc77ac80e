// One-shot animations (explosions, sparks, smoke, muzzle flashes) on three layers.
#pragma once

struct SPRITE_SHIP_S;

struct ANIMLIB {
    int item;      // first picture
    int numframes;
    int groundflag; // layer: 0 ground, 1 sky, 2 high
    int playerflag; // 1: positioned relative to the ship's centre
    int transparent; // 1: drawn as a brightening shade
    int adir;      // drift: 0 none, 1 up, 2 down
    int hlx, hly;  // half the first picture's size
};

struct ANIMS_S {
    ANIMS_S* prev;
    ANIMS_S* next;
    int item;
    int x, y;
    int ox, oy;
    int frame;
    ANIMLIB* lib;
    int groundflag;
    SPRITE_SHIP_S* en;
    int edone;
};

void ANIMS_Init(void);
void ANIMS_Clear(void);
int ANIMS_Register(int item, int numframes, int groundflag, int playerflag, int transparent,
                   int adir);
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

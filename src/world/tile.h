// The scrolling tile map: a wave's ground, nine tiles wide and 150 long, its destructible
// buildings, the delayed events that turn an exploding tile into its wreck, and the copy
// of the play field to the screen.
#pragma once

#include <cstdint>

#include "world/pool.h"

// Geometry of the map and of the window onto it.
constexpr int TILE_SIZE = 32;                     // pixels, square and opaque
constexpr int MAP_COLS = 9;                       //
constexpr int MAP_ROWS = 150;                     // row 0 is the far end of the wave
constexpr int MAP_CELLS = MAP_COLS * MAP_ROWS;    //
constexpr int MAP_WINROWS = 8;                    // rows of the map in view at once
constexpr int MAP_SPOTS = MAP_WINROWS * MAP_COLS; // tile spots rebuilt every frame
constexpr int MAP_LEFT = 16;                      // screen x of column 0
constexpr int MAP_WIDTH = MAP_COLS * TILE_SIZE;   // 288 pixels of play field
constexpr int MAP_TDELAYS = 81;                   // delayed tile events at once
constexpr int MAP_TILESETS = 4;                   // one tile set per episode

// Map item: two unused words, the placement count, the cells, then the placements.
constexpr int MAP_HEADER = 12;
constexpr int MAP_CELLBYTES = 4; // int16 tile number, int16 tile set
constexpr int MAP_PLACEMENTS = MAP_HEADER + MAP_CELLS * MAP_CELLBYTES;
// A tile attribute record: int32 wreck tile, int16 hit points, int16 money.
constexpr int FLAT_RECORD = 8;

// Where an enemy comes into play (24 bytes as stored in the map item).
struct CSPRITE {
    int32_t link;  // -1 or 1 ends a group; anything else brings in the next one too
    int32_t type;  // enemy type within its library
    int32_t x;     // map column the enemy is centred on
    int32_t y;     // map row; it comes into play when that row is reached
    int32_t game;  // enemy library (one per episode)
    int32_t level; // difficulty code, turned into a bit mask at load
};
static_assert(sizeof(CSPRITE) == 24, "placements are read in place from the map item");

// One visible cell of the map, rebuilt each frame.
struct TILESPOT {
    int32_t item;  // picture shown
    int32_t x, y;  // screen position of the top-left corner
    int32_t index; // cell number
};

// A tile that explodes now and shows its wreck a few frames later.
struct TDELAY_S {
    TDELAY_S* prev;
    TDELAY_S* next;
    int32_t frames; // countdown
    int32_t index;  // cell number
    int32_t item;   // wreck picture shown when the event fires
    TILESPOT* spot; // the cell's spot when the event was made
};

extern int g_mapleft;   // left edge of the play field on screen (moves while shaking)
extern int tilepos;     // cell number of the top-left cell in view
extern int tileyoff;    // screen y of the top row in view
extern int last_tile;   // the top of the map has come into view
extern int scroll_flag; // 1 while the map scrolls
extern int startflat[MAP_TILESETS];
extern TILESPOT tspots[MAP_SPOTS];
extern TILESPOT* lastspot;
extern int32_t titems[MAP_CELLS];
extern int32_t eitems[MAP_CELLS];
extern int16_t hits[MAP_CELLS];
extern int16_t money[MAP_CELLS];
extern int16_t tdead[MAP_CELLS];
extern Pool<TDELAY_S, MAP_TDELAYS> tdelays;
extern int spark_delay, flare_delay;

// The loaded map: the item, its cells and its enemy placements.
extern int map_item;
extern uint8_t* mapmem;
extern CSPRITE* csprite;
extern int numcsprites;

// ---- life -------------------------------------------------------------------------------
void TILE_Init(void);
// Loads the current wave's map and everything the wave needs, with the loading screen. A
// missing or damaged map ends the program.
void VUL_LoadMap(void);
void VUL_FreeMap(void);
void TILE_CacheLevel(void);
void TILE_FreeLevel(void);
void TILE_Think(void);
void TILE_Display(void);

// ---- damage -----------------------------------------------------------------------------
int TILE_IsHit(int damage, int x, int y);
int TILE_Bomb(int damage, int x, int y);
void TILE_DamageAll(void);
void TILE_DoDamage(int index, int damage);
void TILE_Explode(TILESPOT* spot, int frames);

// ---- the play field to the screen -------------------------------------------------------
void TILE_DisplayScreen(void);
void TILE_ShakeScreen(void);

// ---- the delayed-event pool -------------------------------------------------------------
void TClear(void);
TDELAY_S* TGet(void);
TDELAY_S* TRemove(TDELAY_S* sh);

// Checks a map item against the tile sets it uses: its size, its placement count, every
// cell's tile set and tile number, and where each placement lies. Exposed for the tests.
bool TILE_CheckMap(const uint8_t* map, int size);

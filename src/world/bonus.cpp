#include "world/bonus.h"

#include <cstring>

#include "game/game.h"
#include "gfx/gfxapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "world/anims.h"
#include "world/objects.h"
#include "world/pool.h"

int energy_count;
// Frames the pickups have been thinking this wave; they wobble on every second one. Reset
// with the pool so that a replayed wave wobbles as it did when recorded.
static int gcnt;

static Pool<BONUS_S, BONUS_MAX> bons;

static constexpr int kNumGlows = 4;
static int glow[kNumGlows];
static int glow_lx, glow_ly;

// The kind whose drops are limited: the small money pickups that come in showers.
static constexpr int kEnergyKind = 23;
static constexpr int kLastKind = 23;
// The sound of a collected pickup, from the centre.
static constexpr int BONUS_FX = 10;
static constexpr int kCentre = 127;
// Energy one shield pickup gives.
static constexpr int kShieldPickup = 25;
// The ship is 32 pixels square; a pickup is collected when its middle is inside.
static constexpr int kShipSize = 32;
// Pickup pictures are 16 pixels square and drawn centred on the base point.
static constexpr int kHalfPickup = 8;

// A small circle, walked one step every second frame.
static constexpr int xpos[16] = {-1, 0, 1, 2, 3, 3, 3, 2, 1, 0, -1, -2, -3, -3, -3, -2};
static constexpr int ypos[16] = {-3, -3, -3, -2, -1, 0, 1, 2, 3, 3, 3, 2, 1, 0, -1, -2};

void BONUS_Clear(void)
{
    bons.Clear();
    energy_count = 0;
    gcnt = 0;
}

void BONUS_Init(void)
{
    BONUS_Clear();
    glow_lx = glow_ly = 0;
    for (int i = 0; i < kNumGlows; i++) {
        glow[i] = ITM_GLOW + i;
        if (GLB_ItemSize(glow[i]) > 0) GLB_CacheItem(glow[i]);
    }
    if (const uint8_t* pic = ANIMS_GetSprite(glow[0])) {
        int32_t w, h;
        memcpy(&w, pic + 12, 4);
        memcpy(&h, pic + 16, 4);
        glow_lx = w;
        glow_ly = h;
    }
}

int BONUS_Count(void)
{
    return bons.Count();
}

// Null when the pool is full: the drop is lost.
BONUS_S* BONUS_Get(void)
{
    return bons.Take();
}

BONUS_S* BONUS_Remove(BONUS_S* bonus)
{
    if (bonus->kind == kEnergyKind) energy_count--;
    return bons.Remove(bonus);
}

void BONUS_Add(int kind, int x, int y)
{
    if (kind < 0 || kind > kLastKind) return;
    if (kind == kEnergyKind && energy_count >= BONUS_MAXENERGY) return;
    OBJ_LIB* lib = OBJS_GetLib(kind);
    if (!lib) return;
    BONUS_S* b = BONUS_Get();
    // Counted only once it is really in play: a drop lost to a full pool must not use
    // up one of the places.
    if (!b) return;
    if (kind == kEnergyKind) energy_count++;
    b->kind = kind;
    b->lib = lib;
    b->item = lib->item;
    b->bx = x + 16;
    b->by = y;
    b->wobble = wrand() % 16;
}

const BONUS_S* BONUS_Next(const BONUS_S* b)
{
    const BONUS_S* n = b ? b->next : bons.first.next;
    return n == &bons.last ? nullptr : n;
}

void BONUS_Think(void)
{
    for (BONUS_S* b = bons.first.next; b != &bons.last; b = b->next) {
        b->item = b->lib->item + b->frame;
        b->gx = b->bx - glow_lx / 2 + xpos[b->wobble];
        b->gy = b->by - glow_ly / 2 + ypos[b->wobble];
        b->x = b->bx + xpos[b->wobble] - kHalfPickup;
        b->y = b->by + ypos[b->wobble] - kHalfPickup;
        b->by++;

        if (gcnt & 1) {
            b->wobble = (b->wobble + 1) % 16;
            if (++b->frame >= b->lib->numframes) b->frame = 0;
        }
        b->glowframe = (b->glowframe + 1) % kNumGlows;

        if (b->taken) {
            if (--b->timer <= 0) {
                b = BONUS_Remove(b);
                continue;
            }
        } else if (playerx < b->bx && b->bx < playerx + kShipSize && playery < b->by &&
                   b->by < playery + kShipSize && OBJS_GetAmt(OBJ_SHIELD) > 0) {
            SND_Patch(BONUS_FX, kCentre);
            if (b->kind == OBJ_SHIELD)
                OBJS_AddEnergy(kShieldPickup);
            else
                OBJS_Add(b->kind);
            if (!b->lib->moneyflag) {
                b = BONUS_Remove(b);
                continue;
            }
            b->taken = 1;
            b->timer = BONUS_TAKENFRAMES;
        }
        if (b->gy > SCREENHEIGHT) b = BONUS_Remove(b);
    }
    gcnt++;
}

void BONUS_Display(void)
{
    for (BONUS_S* b = bons.first.next; b != &bons.last; b = b->next) {
        if (b->taken) {
            if (const uint8_t* pic = ANIMS_GetSprite(ITM_SCORELABEL))
                GFX_PutSprite(pic, b->x, b->y);
            continue;
        }
        if (const uint8_t* pic = ANIMS_GetSprite(b->item)) GFX_PutSprite(pic, b->x, b->y);
        if (const uint8_t* g = ANIMS_GetSprite(glow[b->glowframe]))
            GFX_ShadeShape(GFX_LIGHT, g, b->gx, b->gy);
    }
}

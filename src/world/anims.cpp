#include "world/anims.h"

#include <cstdlib>
#include <cstring>

#include "game/game.h"
#include "gfx/gfxapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "world/enemy.h"
#include "world/pool.h"
#include "world/tile.h"

ANIMLIB animlib[ANIMS_MAXTYPES];
int curlib;

static Pool<ANIMS_S, ANIMS_MAXANIMS> anims;

// Vertical step of each drift: none, up, down. Drifting types move a second pixel the
// same way, so smoke trails pull away at two pixels a frame.
static constexpr int adir[3] = {0, -1, 1};

// Width and height fields of a picture header.
static constexpr int kPicWidth = 12;
static constexpr int kPicHeight = 16;

static int32_t anims_Rd32(const uint8_t* p)
{
    int32_t v;
    memcpy(&v, p, 4);
    return v;
}

const uint8_t* ANIMS_GetSprite(int item)
{
    int size = GLB_ItemSize(item);
    if (size < GFX_PIC_HEADER) return nullptr;
    const uint8_t* pic = GLB_GetItem(item);
    if (anims_Rd32(pic) != 0 || !GFX_CheckPic(pic, static_cast<size_t>(size))) return nullptr;
    return pic;
}

void ANIMS_Clear(void)
{
    anims.Clear();
}

int ANIMS_Count(void)
{
    return anims.Count();
}

// Null when all are in play: an effect too many is simply not shown.
ANIMS_S* ANIMS_Get(void)
{
    return anims.Take();
}

ANIMS_S* ANIMS_Remove(ANIMS_S* anim)
{
    return anims.Remove(anim);
}

int ANIMS_Register(int item, int numframes, int layer, int follow, int shade, int drift)
{
    if (curlib >= ANIMS_MAXTYPES) exit(0);
    ANIMLIB& lib = animlib[curlib];
    lib = {item, numframes, layer, follow, shade, drift, 0, 0};
    if (lib.drift < ANIM_NODRIFT || lib.drift > ANIM_DRIFTDOWN) lib.drift = ANIM_NODRIFT;

    // Frames that the archive does not have (an entry past its end, or a bare label) are
    // cut off here, so drawing never asks for an item that cannot be loaded.
    int have = 0;
    while (have < numframes && ((item + have) >> 16) == (item >> 16) &&
           GLB_ItemSize(item + have) > 0)
        have++;
    lib.numframes = have;

    if (GLB_ItemSize(item) >= GFX_PIC_HEADER) {
        const uint8_t* pic = GLB_LockItem(item);
        lib.hlx = anims_Rd32(pic + kPicWidth) >> 1;
        lib.hly = anims_Rd32(pic + kPicHeight) >> 1;
        GLB_UnlockItem(item);
    }
    return curlib++;
}

void ANIMS_Init(void)
{
    ANIMS_Clear();
    curlib = 0;
    // item, frames, layer, follow, shade, drift
    ANIMS_Register(ITM_ANIM0, 42, ANIM_GROUND, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM1, 35, ANIM_GROUND, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM2, 7, ANIM_GROUND, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM3, 10, ANIM_GROUND, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM4, 12, ANIM_HIGH, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM5, 13, ANIM_GROUND, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM6, 14, ANIM_HIGH, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM7, 16, ANIM_HIGH, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM8, 12, ANIM_HIGH, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM9, 4, ANIM_HIGH, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM10, 9, ANIM_SKY, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM11, 5, ANIM_SKY, 0, 1, ANIM_DRIFTDOWN);
    ANIMS_Register(ITM_ANIM12, 4, ANIM_SKY, 0, 1, ANIM_DRIFTUP);
    ANIMS_Register(ITM_ANIM13, 14, ANIM_SKY, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM14, 9, ANIM_SKY, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM15, 9, ANIM_SKY, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM16, 4, ANIM_SKY, 1, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM17, 26, ANIM_GROUND, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM18, 17, ANIM_GROUND, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM13, 14, ANIM_HIGH, 0, 0, ANIM_NODRIFT);
    ANIMS_Register(ITM_ANIM20, 4, ANIM_HIGH, 1, 1, ANIM_NODRIFT);
}

void ANIMS_CachePics(void)
{
    for (int t = 0; t < curlib; t++)
        for (int f = 0; f < animlib[t].numframes; f++)
            GLB_CacheItem(animlib[t].item + f);
}

void ANIMS_FreePics(void)
{
    for (int t = 0; t < curlib; t++)
        for (int f = 0; f < animlib[t].numframes; f++)
            GLB_FreeItem(animlib[t].item + f);
}

// Where an animation is drawn this frame, from its base position.
static void anims_Place(ANIMS_S* a)
{
    if (a->type->follow) {
        a->x = player_cx + a->ox;
        a->y = player_cy + a->oy;
    } else if (a->ship) {
        // A freed enemy record has no picture; from then on the animation stays where it
        // last was, even when the record is taken again by a new enemy.
        if (a->ship->item == -1) a->detached = 1;
        if (!a->detached) {
            a->x = a->ship->move.x + a->ox;
            a->y = a->ship->move.y + a->oy;
        }
    } else {
        a->x = a->ox;
        a->y = a->oy;
    }
}

static ANIMS_S* anims_Start(int type, int layer, int ox, int oy, SPRITE_SHIP_S* ship)
{
    ANIMS_S* a = ANIMS_Get();
    if (!a) return nullptr;
    a->type = &animlib[type];
    a->layer = layer;
    a->ox = ox;
    a->oy = oy;
    a->ship = ship;
    a->item = a->type->item;
    anims_Place(a);
    return a;
}

static bool anims_ValidType(int type)
{
    return type >= 0 && type < curlib;
}

ANIMS_S* ANIMS_StartAnim(int type, int x, int y)
{
    if (!anims_ValidType(type)) return nullptr;
    const ANIMLIB& lib = animlib[type];
    return anims_Start(type, lib.layer, x - lib.hlx, y - lib.hly, nullptr);
}

ANIMS_S* ANIMS_StartGAnim(int type, int x, int y)
{
    if (!anims_ValidType(type)) return nullptr;
    return anims_Start(type, ANIM_GROUND, x, y, nullptr);
}

ANIMS_S* ANIMS_StartAAnim(int type, int x, int y)
{
    if (!anims_ValidType(type)) return nullptr;
    const ANIMLIB& lib = animlib[type];
    return anims_Start(type, ANIM_HIGH, x - lib.hlx, y - lib.hly, nullptr);
}

ANIMS_S* ANIMS_StartEAnim(SPRITE_SHIP_S* en, int type, int x, int y)
{
    if (!anims_ValidType(type) || !en) return nullptr;
    const ANIMLIB& lib = animlib[type];
    return anims_Start(type, ANIM_HIGH, x - lib.hlx, y - lib.hly, en);
}

void ANIMS_Think(void)
{
    for (ANIMS_S* a = anims.first.next; a != &anims.last; a = a->next) {
        const ANIMLIB& lib = *a->type;
        if (a->frame >= lib.numframes) {
            a = ANIMS_Remove(a);
            continue;
        }
        a->item = lib.item + a->frame;
        anims_Place(a);
        if (lib.drift != ANIM_NODRIFT) a->oy += adir[lib.drift] + adir[lib.drift];
        if (lib.layer == ANIM_GROUND && scroll_flag) a->oy += 1;
        a->frame++;
    }
}

static void anims_Display(int layer)
{
    for (ANIMS_S* a = anims.first.next; a != &anims.last; a = a->next) {
        if (a->layer != layer) continue;
        const uint8_t* pic = ANIMS_GetSprite(a->item);
        if (!pic) continue;
        if (a->type->shade)
            GFX_ShadeShape(GFX_LIGHT, pic, a->x, a->y);
        else
            GFX_PutSprite(pic, a->x, a->y);
    }
}

void ANIMS_DisplayGround(void)
{
    anims_Display(ANIM_GROUND);
}

void ANIMS_DisplaySky(void)
{
    anims_Display(ANIM_SKY);
}

void ANIMS_DisplayHigh(void)
{
    anims_Display(ANIM_HIGH);
}

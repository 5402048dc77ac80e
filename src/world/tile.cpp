// The scrolling tile map.
#include "world/tile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "game/loadsave.h"
#include "game/m_misc.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/i_video.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "ui/windows.h"
#include "world/anims.h"
#include "world/bonus.h"
#include "world/enemy.h"
#include "world/objects.h"

int g_mapleft = MAP_LEFT;
int tilepos;
int tileyoff;
int last_tile;
int scroll_flag = 1;
int startflat[MAP_TILESETS] = {-1, -1, -1, -1};
TILESPOT tspots[MAP_SPOTS];
TILESPOT* lastspot = &tspots[MAP_SPOTS - 1];
int32_t titems[MAP_CELLS];
int32_t eitems[MAP_CELLS];
int16_t hits[MAP_CELLS];
int16_t money[MAP_CELLS];
int16_t tdead[MAP_CELLS];
Pool<TDELAY_S, MAP_TDELAYS> tdelays;
int spark_delay, flare_delay;

int map_item = -1;
uint8_t* mapmem;
CSPRITE* csprite;
int numcsprites;

namespace
{

// A fresh wave shows rows 143..149, with row 142 just above the screen.
constexpr int kStartTilePos = 142 * MAP_COLS;
constexpr int kStartYOff = -56;

// Sound of an exploding tile.
constexpr int kFxGroundExplosion = 15;

// An exploding tile shows its wreck this many frames later (plus one: the countdown runs
// to -1), and hurts its neighbours then and when it blows.
constexpr int kWreckDelay = 10;
constexpr int kBlastDamage = 5;
constexpr int kWreckDamage = 20;
constexpr int kDamageAllDamage = 20;

constexpr int kTileBytes = TILE_SIZE * TILE_SIZE;

// Records in each tile set's attribute table (0 when the set is missing).
int flatcount[MAP_TILESETS];

int32_t ReadLong(const uint8_t* p)
{
    int32_t v;
    memcpy(&v, p, sizeof(v));
    return v;
}

int16_t ReadShort(const uint8_t* p)
{
    int16_t v;
    memcpy(&v, p, sizeof(v));
    return v;
}

struct FLAT {
    int32_t wreck;
    int16_t hp;
    int16_t money;
};

FLAT Flat(int set, int tile)
{
    const uint8_t* rec = flatlib[set] + size_t(tile) * FLAT_RECORD;
    return {ReadLong(rec), ReadShort(rec + 4), ReadShort(rec + 6)};
}

// Tile number and tile set of a cell, as stored.
void Cell(const uint8_t* map, int n, int* tile, int* set)
{
    const uint8_t* p = map + MAP_HEADER + size_t(n) * MAP_CELLBYTES;
    *tile = ReadShort(p);
    *set = ReadShort(p + 2);
}

bool Destructible(int n)
{
    return titems[n] != eitems[n];
}

// Hit points run down to the lowest value they can hold and stay there, however much
// damage lands on a cell before it gets to explode.
void Hurt(int n, int damage)
{
    int hp = hits[n] - damage;
    hits[n] = static_cast<int16_t>(hp < INT16_MIN ? INT16_MIN : hp > INT16_MAX ? INT16_MAX : hp);
}

// A tile picture must hold its header and 32 rows of 32 pixels: drawing copies exactly that.
bool TilePictureOk(int id)
{
    return GLB_ItemSize(id) >= GFX_PIC_HEADER + kTileBytes;
}

// The first destructible spot (the last spot never counts) that covers the point.
TILESPOT* FindSpot(int x, int y)
{
    for (TILESPOT* s = tspots; s < lastspot; s++) {
        if (x < s->x || x > s->x + TILE_SIZE - 1 || y < s->y || y > s->y + TILE_SIZE - 1) continue;
        if (s->index >= 0 && s->index < MAP_CELLS && Destructible(s->index)) return s;
    }
    return nullptr;
}

// Makes the event that shows a cell's wreck `frames` + 1 frames from now; until then the
// cell keeps its intact picture and takes no more damage.
void StartWreck(int n, TILESPOT* spot, int frames)
{
    TDELAY_S* d = TGet();
    d->frames = frames;
    d->index = n;
    d->item = eitems[n];
    d->spot = spot;
    eitems[n] = titems[n];
}

} // namespace

// ---- the delayed-event pool -------------------------------------------------------------

void TClear(void)
{
    tdelays.Clear();
}

TDELAY_S* TGet(void)
{
    // A wave cannot have more wrecks pending than cells in view, plus the few that are
    // just leaving it: running dry means the pool is broken.
    TDELAY_S* d = tdelays.Take();
    if (!d) exit(0);
    return d;
}

TDELAY_S* TRemove(TDELAY_S* sh)
{
    return tdelays.Remove(sh);
}

// ---- life -------------------------------------------------------------------------------

void TILE_Init(void)
{
    TClear();
    scroll_flag = 1;
    last_tile = 0;
    g_mapleft = MAP_LEFT;
    for (int s = 0; s < MAP_TILESETS; s++) {
        int marker = GLB_GetItemID(ITM_TILES_LABELS[s]);
        startflat[s] = marker == -1 ? -1 : marker + 1;
        int flats = GLB_GetItemID(ITM_FLATS_LABELS[s]);
        flatcount[s] = (flatlib[s] && flats != -1) ? GLB_ItemSize(flats) / FLAT_RECORD : 0;
    }
}

bool TILE_CheckMap(const uint8_t* map, int size)
{
    if (!map || size < MAP_PLACEMENTS) return false;
    int32_t count = ReadLong(map + 8);
    if (count < 0 || count > (size - MAP_PLACEMENTS) / int(sizeof(CSPRITE))) return false;

    // Each tile of a set is checked once, however often the map uses it.
    static uint8_t seen[MAP_TILESETS][32768];
    memset(seen, 0, sizeof(seen));
    for (int n = 0; n < MAP_CELLS; n++) {
        int t, s;
        Cell(map, n, &t, &s);
        if (s < 0 || s >= MAP_TILESETS || !flatlib[s] || startflat[s] < 0) return false;
        if (t < 0 || t >= flatcount[s]) return false;
        if (seen[s][t]) continue;
        seen[s][t] = 1;
        FLAT f = Flat(s, t);
        if (f.wreck < 0 || f.wreck >= flatcount[s]) return false;
        if (!TilePictureOk(startflat[s] + t) || !TilePictureOk(startflat[s] + f.wreck))
            return false;
    }
    for (int i = 0; i < count; i++) {
        CSPRITE c;
        memcpy(&c, map + MAP_PLACEMENTS + size_t(i) * sizeof(CSPRITE), sizeof(c));
        if (c.game < 0 || c.game >= MAP_TILESETS || c.type < 0) return false;
    }
    return true;
}

void VUL_LoadMap(void)
{
    if (cur_game < 0 || cur_game >= MAP_TILESETS || !gameflag[cur_game]) exit(0);
    if (game_wave[cur_game] < 0 || game_wave[cur_game] >= ITM_WAVES) exit(0);
    GLB_FreeAll();

    char label[32];
    M_snprintf(label, sizeof(label), ITM_MAP_LABEL_FORMAT, unsigned(game_wave[cur_game] + 1),
               unsigned(cur_game + 1));
    int id = GLB_GetItemID(label);
    if (id == -1) exit(0);
    map_item = id;
    mapmem = GLB_LockItem(id);
    // A damaged map ends the game as a missing one does, before anything reads it.
    if (!TILE_CheckMap(mapmem, GLB_ItemSize(id))) exit(0);
    numcsprites = ReadLong(mapmem + 8);
    csprite = reinterpret_cast<CSPRITE*>(mapmem + MAP_PLACEMENTS);

    ENEMY_LoadLib();
    SND_CacheGFX();
    BONUS_Init();
    WIN_SetLoadLevel(20);
    OBJS_CachePics();
    WIN_SetLoadLevel(40);
    ANIMS_CachePics();
    WIN_SetLoadLevel(60);
    ENEMY_LoadSprites();
    WIN_SetLoadLevel(80);
    TILE_CacheLevel();
    WIN_SetLoadLevel(100);
    WIN_EndLoad();
}

void VUL_FreeMap(void)
{
    if (map_item != -1) {
        TILE_FreeLevel();
        ENEMY_FreeSprites();
        ANIMS_FreePics();
        OBJS_FreePics();
        SND_FreeFX();
        GLB_FreeItem(map_item);
        map_item = -1;
        mapmem = nullptr;
        csprite = nullptr;
        numcsprites = 0;
    }
    GLB_FreeAll();
    SND_CacheIFX();
}

void TILE_CacheLevel(void)
{
    TClear();
    tilepos = kStartTilePos;
    tileyoff = kStartYOff;
    g_mapleft = MAP_LEFT;
    lastspot = &tspots[MAP_SPOTS - 1];
    scroll_flag = 1;
    last_tile = 0;
    spark_delay = flare_delay = 0;
    memset(titems, 0, sizeof(titems));
    memset(eitems, 0, sizeof(eitems));
    memset(hits, 0, sizeof(hits));
    memset(money, 0, sizeof(money));
    memset(tdead, 0, sizeof(tdead));
    memset(tspots, 0, sizeof(tspots));

    for (int n = 0; n < MAP_CELLS; n++) {
        int t, s;
        Cell(mapmem, n, &t, &s);
        FLAT f = Flat(s, t);
        titems[n] = startflat[s] + t;
        money[n] = f.money;
        GLB_CacheItem(titems[n]);
        eitems[n] = startflat[s] + f.wreck;
        if (eitems[n] != titems[n]) {
            GLB_CacheItem(eitems[n]);
            hits[n] = f.hp;
        } else {
            hits[n] = 1;
        }
    }
}

void TILE_FreeLevel(void)
{
    for (int n = 0; n < MAP_CELLS; n++) {
        GLB_FreeItem(titems[n]);
        if (eitems[n] != titems[n]) GLB_FreeItem(eitems[n]);
    }
}

void TILE_Think(void)
{
    for (int r = 0; r < MAP_WINROWS; r++) {
        int y = tileyoff + r * TILE_SIZE;
        for (int c = 0; c < MAP_COLS; c++) {
            int x = MAP_LEFT + c * TILE_SIZE;
            int k = r * MAP_COLS + c;
            int n = tilepos + k;
            TILESPOT& spot = tspots[k];
            spot = {titems[n], x, y, n};
            if (hits[n] >= 0 || tdead[n]) continue;

            SND_3DPatch(kFxGroundExplosion, x + 16, y + 16);
            TILE_DoDamage(n, kBlastDamage);
            plr.score += money[n];
            StartWreck(n, &spot, kWreckDelay);
            ANIMS_StartAnim(ANIM_GROUNDBLAST, x + 16, y + 16);
            tdead[n] = 1;
        }
    }

    for (TDELAY_S* d = tdelays.first.next; d != &tdelays.last; d = d->next) {
        if (d->index - tilepos >= MAP_SPOTS) {
            // Scrolled out of view before it fired: the cell keeps its intact picture.
            d = TRemove(d);
        } else if (d->frames >= 0) {
            d->frames--;
        } else {
            int x = d->spot->x + (wrand() % 8) + 8;
            int y = d->spot->y + 26;
            TILE_DoDamage(d->index, kWreckDamage);
            spark_delay++;
            flare_delay++;
            if (spark_delay > 2) {
                ANIMS_StartAnim(ANIM_SPARK, x, y);
                spark_delay = 0;
            }
            if (flare_delay > 4) {
                ANIMS_StartAnim(ANIM_FLARE, x, y);
                flare_delay = 0;
            }
            titems[d->index] = eitems[d->index] = d->item;
            d = TRemove(d);
        }
    }
}

void TILE_Display(void)
{
    for (TILESPOT* s = tspots; s <= lastspot; s++) {
        if (s->y < -(TILE_SIZE - 1) || s->y > SCREENHEIGHT - 1) continue;
        const uint8_t* src = GLB_GetItem(s->item) + GFX_PIC_HEADER;
        int y = s->y, rows = TILE_SIZE;
        if (y < 0) {
            src += size_t(-y) * TILE_SIZE;
            rows += y;
            y = 0;
        } else if (y + TILE_SIZE > SCREENHEIGHT) {
            rows = SCREENHEIGHT - y;
        }
        uint8_t* dst = displaybuffer + ylookup[y] + s->x;
        for (int i = 0; i < rows; i++, src += TILE_SIZE, dst += SCREENWIDTH)
            memcpy(dst, src, TILE_SIZE);
    }

    tileyoff++;
    if (tileyoff > 0) {
        if (!last_tile) {
            tilepos -= MAP_COLS;
            tileyoff -= TILE_SIZE;
            if (tilepos <= 0) {
                tilepos = 0;
                last_tile = 1;
            }
        } else {
            scroll_flag = 0;
            tileyoff = 0;
        }
    }
}

// ---- damage -----------------------------------------------------------------------------

void TILE_DoDamage(int index, int damage)
{
    // Left and right in the same row, and the cell ahead; never the row behind.
    int col = index % MAP_COLS;
    const int near[3] = {col >= 1 ? index - 1 : -1, index - MAP_COLS,
                         col <= MAP_COLS - 2 ? index + 1 : -1};
    for (int n : near)
        if (n >= 0 && n < MAP_CELLS && Destructible(n)) Hurt(n, damage);
}

int TILE_IsHit(int damage, int x, int y)
{
    TILESPOT* s = FindSpot(x, y);
    if (!s) return 0;
    Hurt(s->index, damage);
    if (wrand() % 2 == 0)
        ANIMS_StartGAnim(ANIM_SHOTHIT1, x, y);
    else
        ANIMS_StartGAnim(ANIM_SHOTHIT2, x, y);
    return 1;
}

int TILE_Bomb(int damage, int x, int y)
{
    TILESPOT* s = FindSpot(x, y);
    if (!s) return 0;
    int n = s->index;
    Hurt(n, damage);
    TILE_DoDamage(n, damage);
    if (n > MAP_COLS) TILE_DoDamage(n - MAP_COLS, damage / 2);
    return 1;
}

void TILE_DamageAll(void)
{
    for (TILESPOT* s = tspots; s <= lastspot; s++)
        if (s->index >= 0 && s->index < MAP_CELLS && Destructible(s->index))
            Hurt(s->index, kDamageAllDamage);
}

void TILE_Explode(TILESPOT* spot, int frames)
{
    if (!spot || spot->index == -1 || spot->index < tilepos || spot->index >= MAP_CELLS) return;
    int n = spot->index;
    if (frames == 0) {
        spot->item = titems[n] = eitems[n];
        return;
    }
    StartWreck(n, spot, frames);
}

// ---- the play field to the screen -------------------------------------------------------

void TILE_DisplayScreen(void)
{
    for (int y = 0; y < SCREENHEIGHT; y++)
        memcpy(displayscreen + ylookup[y] + MAP_LEFT, displaybuffer + ylookup[y] + MAP_LEFT,
               MAP_WIDTH);
    I_FinishUpdate();
}

void TILE_ShakeScreen(void)
{
    // The field plus four pixels either side, put down shifted by the shake offset.
    constexpr int kMargin = 4;
    int dest = g_mapleft - kMargin;
    if (dest < 0) dest = 0;
    if (dest > SCREENWIDTH - (MAP_WIDTH + 2 * kMargin))
        dest = SCREENWIDTH - (MAP_WIDTH + 2 * kMargin);
    for (int y = 0; y < SCREENHEIGHT; y++)
        memcpy(displayscreen + ylookup[y] + dest, displaybuffer + ylookup[y] + MAP_LEFT - kMargin,
               MAP_WIDTH + 2 * kMargin);
    I_FinishUpdate();
}

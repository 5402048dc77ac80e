#include "world/eshot.h"

#include <cstdlib>
#include <cstring>

#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "input/input.h"
#include "input/joyapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "world/anims.h"
#include "world/enemy.h"
#include "world/objects.h"
#include "world/pool.h"

PLIB plib[ESHOT_LIBS];
int eshotnum, eshothigh;
Pool<ESHOT_S, ESHOT_MAX> eshots;

namespace
{

// The beam's muzzle at the gun, and its impact at the lower end (the player beams' own).
uint8_t* elaspow[4];
uint8_t* lashit[4];

struct PLIBROW {
    int item, numframes, smoke, maxspeed, damage;
};
constexpr PLIBROW kLibs[ESHOT_LIBS] = {
    {ITM_ESHOT_PLAIN, 2, 0, 6, 2},    // straight and diagonal shots
    {ITM_ESHOT_PLAIN, 2, 0, 6, 1},    // the aimed shot
    {ITM_ESHOT_MISSILE, 2, 1, 10, 4}, // missile
    {ITM_ESHOT_BEAM, 4, 0, 6, 12},    // beam
    {ITM_ESHOT_MINE, 2, 0, 0, 16},    // drifting mine
    {ITM_ESHOT_FAST, 1, 0, 10, 15},   // fast heavy shot
    {ITM_ESHOT_VOICE, 4, 0, 6, 1},    // the taunting shot
};

// Shot kinds as fired by an enemy's guns.
enum {
    KIND_AIMED,
    KIND_DOWN,
    KIND_DOWNLEFT,
    KIND_DOWNRIGHT,
    KIND_MISSILE,
    KIND_BEAM,
    KIND_MINE,
    KIND_FAST,
    KIND_TAUNT,
};

// Effects.
constexpr int kFxShot = 28;
constexpr int kFxBeam = 29;
constexpr int kFxMissile = 30;
constexpr int kFxFast = 31;
// The taunts: one of six voices.
constexpr int monkeys[6] = {1, 2, 3, 4, 5, 6};

// The mine's wobble around its drifting point.
constexpr int xpos[16] = {-1, 0, 1, 2, 3, 3, 3, 2, 1, 0, -1, -2, -3, -3, -3, -2};
constexpr int ypos[16] = {-3, -3, -3, -2, -1, 0, 1, 2, 3, 3, 3, 2, 1, 0, -1, -2};
constexpr int kMineLife = 150;

// A shot hits the ship within this many pixels of its centre, either way.
constexpr int kHitRange = 15;
// Beams hang from the gun to the bottom of the screen unless the ship is under them.
constexpr int kBeamBottom = 200;
constexpr int kBeamMuzzleX = 4;
constexpr int kGuns = 24;

int32_t Rd32(const uint8_t* p)
{
    int32_t v;
    memcpy(&v, p, 4);
    return v;
}

uint8_t* LockPic(int item)
{
    if (!ANIMS_GetSprite(item)) return nullptr;
    return GLB_LockItem(item);
}

void Put(const uint8_t* pic, int x, int y)
{
    if (pic) GFX_PutSprite(pic, x, y);
}

bool OnScreen(int x, int y)
{
    return x >= 0 && x < SCREENWIDTH && y >= 0 && y < SCREENHEIGHT;
}

void Rumble(void)
{
    if (haptic && control == CONTROL_JOYSTICK) IPT_CalJoyRumbleLow();
}

} // namespace

void ESHOT_Init(void)
{
    for (int i = 0; i < 4; i++) {
        elaspow[i] = LockPic(ITM_ELASPOW + i);
        lashit[i] = LockPic(ITM_LASHIT + i);
    }
    ESHOT_Clear();
    for (int i = 0; i < ESHOT_LIBS; i++) {
        const PLIBROW& r = kLibs[i];
        PLIB& p = plib[i];
        p = {};
        p.item = r.item;
        p.numframes = r.numframes;
        p.smoke = r.smoke;
        p.maxspeed = r.maxspeed;
        p.damage = r.damage;
        for (int f = 0; f < r.numframes; f++)
            p.pics[f] = LockPic(r.item + f);
        if (p.pics[0]) {
            p.hlx = Rd32(p.pics[0] + 12) >> 1;
            p.hly = Rd32(p.pics[0] + 16) >> 1;
        }
    }
}

void ESHOT_Clear(void)
{
    eshots.Clear();
    eshotnum = 0;
}

ESHOT_S* ESHOT_Get(void)
{
    ESHOT_S* s = eshots.Take();
    if (!s) return nullptr;
    eshotnum++;
    if (eshotnum > eshothigh) eshothigh = eshotnum;
    return s;
}

ESHOT_S* ESHOT_Remove(ESHOT_S* sh)
{
    eshotnum--;
    return eshots.Remove(sh);
}

void ESHOT_Shoot(SPRITE_SHIP_S* enemy, int gun)
{
    if (!enemy || !enemy->lib || gun < 0 || gun >= kGuns) return;
    const int gx = enemy->x + enemy->lib->gunx[gun];
    const int gy = enemy->y + enemy->lib->guny[gun];
    if (!OnScreen(gx, gy)) return;
    // The kind is checked before a record is taken: a library that names a kind that does
    // not exist is damaged beyond use.
    const int kind = enemy->lib->guntype[gun];
    if (kind < 0 || kind >= ESHOT_KINDS) exit(0);
    ESHOT_S* s = ESHOT_Get();
    if (!s) return;
    s->ship = enemy;
    s->gun = gun;
    s->kind = kind;
    MOVEOBJ& m = s->move;
    m.x = gx;
    m.y = gy;

    auto use = [&](int lib, int fx, int speed, bool centred) {
        s->lib = &plib[lib];
        m.x = gx - s->lib->hlx;
        m.y = centred ? gy - s->lib->hly : gy;
        s->speed = speed;
        SND_3DPatch(fx, gx, gy);
    };
    switch (kind) {
    case KIND_AIMED:
        use(1, kFxShot, 1, true);
        m.x2 = player_cx;
        m.y2 = player_cy;
        break;
    case KIND_DOWN:
    case KIND_DOWNLEFT:
    case KIND_DOWNRIGHT:
        use(0, kFxShot, plib[0].maxspeed / 2, true);
        m.x2 = kind == KIND_DOWN ? m.x : kind == KIND_DOWNLEFT ? m.x - 32 : m.x + 32;
        m.y2 = kind == KIND_DOWN ? kBeamBottom : m.y + 32;
        break;
    case KIND_MISSILE:
        use(2, kFxMissile, enemy->shotspeed + 1, false);
        m.x2 = m.x;
        m.y2 = kBeamBottom;
        break;
    case KIND_BEAM:
        use(3, kFxBeam, enemy->shotspeed, false);
        m.x2 = m.x;
        m.y2 = kBeamBottom;
        break;
    case KIND_MINE:
        s->lib = &plib[4];
        s->x = gx;
        s->y = gy;
        m.x2 = SCREENWIDTH;
        m.y2 = SCREENHEIGHT;
        s->wobble = wrand() % 16;
        s->speed = kMineLife;
        SND_3DPatch(kFxShot, gx, gy);
        break;
    case KIND_FAST:
        use(5, kFxFast, 8, false);
        m.x2 = m.x;
        m.y2 = kBeamBottom;
        break;
    case KIND_TAUNT:
        use(6, monkeys[wrand() % 6], 1, true);
        m.x2 = player_cx;
        m.y2 = player_cy;
        break;
    }
    InitMobj(&m);
    MoveSobj(&m, 1);
    // A shot whose first step leaves the screen is never seen.
    if (!OnScreen(m.x, m.y) || m.done) ESHOT_Remove(s);
}

void ESHOT_Think(void)
{
    for (ESHOT_S* s = eshots.first.next; s != &eshots.last; s = s->next) {
        const PLIB& w = *s->lib;
        s->pic = w.pics[s->frame < ESHOT_MAXFRAMES ? s->frame : 0];
        s->frame++;

        if (s->kind == KIND_BEAM) {
            SPRITE_SHIP_S* en = s->ship;
            if (!en || en->item == -1 || !en->lib || s->frame >= w.numframes) {
                s->gone = 1;
            } else {
                s->x = en->x + en->lib->gunx[s->gun] - kBeamMuzzleX;
                s->y = en->y + en->lib->guny[s->gun];
                s->move.y2 = kBeamBottom;
                int dx = player_cx - s->x;
                if (dx >= -kHitRange && dx <= kHitRange && s->y < player_cy) {
                    // The beam stops on the ship and burns it every frame it touches.
                    s->move.y2 = player_cy - 2 + wrand() % 4;
                    OBJS_SubEnergy(w.damage);
                    Rumble();
                }
            }
        } else {
            if (s->frame >= w.numframes) s->frame = 0;
            if (w.maxspeed) {
                s->x = s->move.x;
                s->y = s->move.y;
                MoveSobj(&s->move, s->speed);
                if (s->speed < w.maxspeed) s->speed++;
            } else if (--s->speed <= 0) {
                ANIMS_StartAnim(ANIM_IMPACT, s->x + 4, s->y + 4);
                s = ESHOT_Remove(s);
                continue;
            } else {
                s->x = s->move.x + xpos[s->wobble];
                s->y = s->move.y + ypos[s->wobble];
                s->move.y++;
                s->wobble = (s->wobble + 1) % 16;
            }
            if (!OnScreen(s->x, s->y)) s->gone = 1;
            int dx = player_cx - s->x, dy = player_cy - s->y;
            if (!s->gone && dx >= -kHitRange && dx <= kHitRange && dy >= -kHitRange &&
                dy <= kHitRange) {
                ANIMS_StartAnim(ANIM_IMPACT, s->x, s->y);
                s->gone = 1;
                OBJS_SubEnergy(w.damage);
                Rumble();
            }
        }

        if (s->gone) {
            s = ESHOT_Remove(s);
            continue;
        }
        if (w.smoke && (s->smokecnt & 1) == 0)
            ANIMS_StartAAnim(ANIM_ENEMYSMOKE, s->x + w.hlx, s->y);
        s->smokecnt++;
    }
}

void ESHOT_Display(void)
{
    for (ESHOT_S* s = eshots.first.next; s != &eshots.last; s = s->next) {
        if (s->kind != KIND_BEAM) {
            Put(s->pic, s->x, s->y);
            continue;
        }
        const int end = s->move.y2;
        for (int yy = s->y; yy < end; yy += 3)
            Put(s->pic, s->x, yy);
        const int f = s->frame - 1;
        if (f < 0 || f > 3) continue;
        Put(elaspow[f], s->x, s->y);
        if (end >= 9 && end <= 207 && lashit[f])
            Put(lashit[f], s->x - Rd32(lashit[f] + 12) / 4, end - 8);
    }
}

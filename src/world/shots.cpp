#include "world/shots.h"

#include <cstdlib>
#include <cstring>

#include "gfx/gfxapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "world/anims.h"
#include "world/enemy.h"
#include "world/eshot.h"
#include "world/pool.h"
#include "world/tile.h"

SHOT_LIB shot_lib[SHOTS_WEAPONS];
int shotnum, shothigh;
Pool<SHOTS_S, SHOTS_MAX> shots;

namespace
{

// Beam pictures: the player beams' muzzles (two weapons), their impact at the far end.
uint8_t* laspow[4];
uint8_t* detpow[4];
uint8_t* lashit[4];

// Effects.
constexpr int kFxGun = 16;
constexpr int kFxBeam = 18;
constexpr int kFxMissile = 19;
constexpr int kFxLaser = 21;
constexpr int kFxNoTarget = 34;
constexpr int kFxPlasma = 35;

// Laser colours: two outer lines and the bright core.
constexpr int kLaserEdge = 69;
constexpr int kLaserCore = 64;

// Where the mega bomb flies to before it goes off.
constexpr int kBombX = 160, kBombY = 75;
// Beams reach up past the top of the screen until something stops them.
constexpr int kBeamTop = -24;
// Enemies a beam can stop: above the ship and no further above the screen than this.
constexpr int kBeamReach = -29;
// Damage the bomb weapon does to a ground enemy it lands on.
constexpr int kBombGroundDamage = 5;

struct WEAPON {
    int item;
    int type, damage, startspeed, maxspeed, loopframe, numframes, firedelay, stage, smoke;
    int aimed, moves, hitclass, followx, followy, nohit, display;
};

// clang-format off
constexpr WEAPON kWeapons[SHOTS_WEAPONS] = {
    // item           type dmg start max loop frames delay stage smoke aimed moves hit fx fy nohit display
    {ITM_SHOT_W0,     0,   1,  8,   16,  0,   4,     2,    0,    0,    0,    1,    0,  0, 0, 0, SHOT_SPRITE},
    {ITM_SHOT_W1,     1,   2,  4,   8,   0,   2,     10,   0,    0,    0,    1,    1,  0, 0, 0, SHOT_SPRITE},
    {ITM_SHOT_W2,     2,   2,  2,   8,   0,   2,     4,    0,    0,    0,    1,    3,  0, 0, 0, SHOT_SPRITE},
    {ITM_SHOT_W3,     3,   4,  2,   12,  1,   3,     10,   1,    0,    1,    1,    0,  0, 0, 0, SHOT_SPRITE},
    {ITM_SHOT_W0,     4,   1,  8,   10,  1,   4,     1,    0,    0,    1,    1,    3,  0, 0, 0, SHOT_SPRITE},
    {-1,              5,   5,  0,   0,   0,   0,     6,    0,    0,    0,    0,    0,  0, 0, 0, SHOT_LASER},
    {ITM_SHOT_W6,     6,   4,  1,   16,  0,   2,     5,    0,    1,    0,    1,    1,  0, 0, 0, SHOT_SPRITE},
    {ITM_SHOT_W6,     6,   4,  1,   12,  0,   2,     10,   0,    1,    0,    1,    1,  0, 0, 0, SHOT_SPRITE},
    {ITM_SHOT_W8,     8,   20, 1,   6,   0,   2,     20,   0,    1,    0,    1,    2,  0, 0, 0, SHOT_SPRITE},
    {ITM_SHOT_W9,     9,   50, 1,   4,   0,   1,     30,   0,    0,    0,    1,    4,  0, 0, 0, SHOT_SPRITE},
    {ITM_SHOT_W10,    10,  3,  4,   8,   0,   6,     2,    0,    0,    0,    1,    5,  0, 0, 0, SHOT_SPRITE},
    {ITM_SHOT_W11,    11,  50, 2,   2,   0,   4,     60,   0,    0,    1,    1,    0,  0, 0, 1, SHOT_SPRITE},
    {ITM_SHOT_W12,    12,  5,  8,   8,   0,   2,     3,    0,    0,    0,    1,    0,  0, 0, 0, SHOT_SPRITE},
    {ITM_SHOT_W13,    13,  10, 0,   0,   0,   4,     7,    0,    0,    0,    0,    1,  1, 1, 1, SHOT_BEAM},
    {ITM_SHOT_W14,    14,  6,  0,   0,   0,   4,     7,    0,    0,    0,    0,    3,  1, 1, 1, SHOT_BEAM},
};
// clang-format on

int32_t Rd32(const uint8_t* p)
{
    int32_t v;
    memcpy(&v, p, 4);
    return v;
}

int PicWidth(const uint8_t* pic)
{
    return Rd32(pic + 12);
}

int PicHeight(const uint8_t* pic)
{
    return Rd32(pic + 16);
}

// A sprite locked for the whole run, or null when the archive has no usable one there.
uint8_t* LockPic(int item)
{
    if (!ANIMS_GetSprite(item)) return nullptr;
    return GLB_LockItem(item);
}

void Put(const uint8_t* pic, int x, int y)
{
    if (pic) GFX_PutSprite(pic, x, y);
}

int Random(int range)
{
    return range > 0 ? wrand() % range : 0;
}

// A new shot of weapon `w`, not yet placed; null when the pool is full.
SHOTS_S* NewShot(SHOT_LIB& w)
{
    SHOTS_S* s = SHOTS_Get();
    if (!s) return nullptr;
    s->lib = &w;
    s->speed = w.startspeed;
    s->stage = w.stage;
    s->ox = player_cx;
    s->oy = player_cy;
    return s;
}

// Puts a shot at (x, y) with its target point (tx, ty).
void Place(SHOTS_S* s, int x, int y, int tx, int ty)
{
    s->x = s->move.x = x;
    s->y = s->move.y = y;
    s->move.x2 = tx;
    s->move.y2 = ty;
    if (s->lib->aimed) InitMobj(&s->move);
}

// A shot flying straight up, on a random frame of its animation when asked.
void Up(SHOTS_S* s, int x, int y, bool randomframe = false)
{
    Place(s, x, y, x, 0);
    if (randomframe) s->frame = Random(s->lib->numframes);
}

void GunSound(int fx)
{
    if (!fx_gus) SND_Patch(fx, 127);
}

// A shot that has run its course: a staged shot turns upward and flies on; the mega bomb
// goes off; any other shot leaves play (the laser stays until it is drawn). True when the
// shot left play.
bool EndShot(SHOTS_S*& s)
{
    if (s->stage == 1) {
        s->stage = 0;
        s->move.x2 = s->move.x + wrand() % 32 - 16;
        s->move.y2 = 0;
        ANIMS_StartAnim(ANIM_PLAYERSMOKE, s->move.x, s->move.y);
        InitMobj(&s->move);
        return false;
    }
    const SHOT_LIB& w = *s->lib;
    if (w.type == SHOT_TYPE_LASER) return false;
    if (w.type == SHOT_TYPE_MEGABOMB) {
        ESHOT_Clear();
        TILE_DamageAll();
        for (SPRITE_SHIP_S* en = ENEMY_First(); en; en = ENEMY_Next(en))
            en->hp -= w.damage;
        startfadeflag = 1;
        ANIMS_StartAnim(ANIM_FLASH, 0, 0);
    }
    s = SHOTS_Remove(s);
    return true;
}

// The hit test of a shot's class at its point; true when the shot left play at once (it
// struck a building).
bool HitTest(SHOTS_S*& s)
{
    const SHOT_LIB& w = *s->lib;
    const int x = s->move.x, y = s->move.y;
    switch (w.hitclass) {
    case HIT_ALL:
    case HIT_ENEMIES:
    case HIT_AIR: {
        int hit = w.hitclass == HIT_AIR ? ENEMY_DamageAir(x, y, w.damage)
                                        : ENEMY_DamageAll(x, y, w.damage);
        if (hit) {
            s->hitflag = 1;
            ANIMS_StartAnim(wrand() & 1 ? ANIM_SHOTHIT1 : ANIM_SHOTHIT2, x, y);
        } else if (w.hitclass == HIT_ALL && TILE_IsHit(w.damage, x, y)) {
            s = SHOTS_Remove(s);
            return true;
        }
        return false;
    }
    case HIT_GROUND:
        if (ENEMY_DamageGround(x, y, w.damage)) {
            s->hitflag = 1;
            ANIMS_StartAnim(ANIM_SHOTHIT2, x, y);
        } else if (TILE_IsHit(w.damage, x, y)) {
            s = SHOTS_Remove(s);
            return true;
        }
        return false;
    case HIT_BOMB:
        if (TILE_Bomb(w.damage, x, y)) {
            s = SHOTS_Remove(s);
            return true;
        }
        if (ENEMY_DamageGround(x, y, kBombGroundDamage)) {
            s->hitflag = 1;
            ANIMS_StartAnim(ANIM_BIGBLAST, x, y);
        }
        return false;
    default:
        if (SPRITE_SHIP_S* en = ENEMY_DamageEnergy(x, y, w.damage)) {
            s->hitflag = 1;
            ANIMS_StartAnim(ANIM_SHOTHIT1, x, y);
            ANIMS_StartEAnim(en, ANIM_ENERGYHIT, en->hlx, en->hly);
        }
        return false;
    }
}

// A beam stops at the first enemy in its column above the ship, which takes its damage.
// An enemy left at exactly -1 hit points does not stop it.
void BeamHits(SHOTS_S* s)
{
    const SHOT_LIB& w = *s->lib;
    for (SPRITE_SHIP_S* en = ENEMY_First(); en; en = ENEMY_Next(en)) {
        if (!(en->x < s->x && s->x < en->x2)) continue;
        if (en->y >= player_cy || en->y < kBeamReach) continue;
        en->hp -= w.damage;
        if (en->hp != -1) {
            s->move.y2 = en->y + en->hly;
            return;
        }
    }
}

} // namespace

void SHOTS_Init(void)
{
    SHOTS_Clear();
    for (int i = 0; i < 4; i++) {
        laspow[i] = LockPic(ITM_LASPOW + i);
        detpow[i] = LockPic(ITM_DETPOW + i);
        lashit[i] = LockPic(ITM_LASHIT + i);
    }
    for (int t = 0; t < SHOTS_WEAPONS; t++) {
        const WEAPON& d = kWeapons[t];
        SHOT_LIB& w = shot_lib[t];
        w = {};
        w.item = d.item;
        w.type = d.type;
        w.damage = d.damage;
        w.startspeed = d.startspeed;
        w.maxspeed = d.maxspeed;
        w.loopframe = d.loopframe;
        w.numframes = d.numframes;
        w.firedelay = d.firedelay;
        w.stage = d.stage;
        w.smoke = d.smoke;
        w.aimed = d.aimed;
        w.moves = d.moves;
        w.hitclass = d.hitclass;
        w.followx = d.followx;
        w.followy = d.followy;
        w.nohit = d.nohit;
        w.display = d.display;
        if (w.item == -1) continue;
        for (int f = 0; f < w.numframes && f < SHOTS_MAXFRAMES; f++)
            w.pics[f] = LockPic(w.item + f);
        if (w.pics[0]) {
            w.hlx = PicWidth(w.pics[0]) >> 1;
            w.hly = PicHeight(w.pics[0]) >> 1;
        }
    }
}

void SHOTS_Clear(void)
{
    shots.Clear();
    shotnum = 0;
}

SHOTS_S* SHOTS_Get(void)
{
    SHOTS_S* s = shots.Take();
    if (!s) return nullptr;
    shotnum++;
    if (shotnum > shothigh) shothigh = shotnum;
    return s;
}

SHOTS_S* SHOTS_Remove(SHOTS_S* sh)
{
    shotnum--;
    return shots.Remove(sh);
}

int SHOTS_PlayerShoot(int type)
{
    if (type < 0 || type >= SHOTS_WEAPONS) exit(0);
    SHOT_LIB& w = shot_lib[type];
    if (w.cnt != 0) return 0;
    w.cnt = w.firedelay;
    SHOTS_S* s = NewShot(w);
    if (!s) return 0;

    const int cx = player_cx, cy = player_cy;
    const int bank = playerpic >= 0 && playerpic < SHIP_FRAMES ? playerpic : SHIP_FRAMES / 2;
    const int g1 = o_gun1[bank], g2 = o_gun2[bank], g3 = o_gun3[bank];
    // The second shot of a pair, only while the pool has room.
    auto second = [&w]() { return NewShot(w); };

    switch (type) {
    case 0:
        GunSound(kFxGun);
        g_flash = SHIP_FRAMES;
        Up(s, cx + g1, cy, true);
        if (SHOTS_S* s2 = second()) Up(s2, cx - g1 - 1, cy, true);
        ANIMS_StartAnim(ANIM_MUZZLE, g1, 0);
        ANIMS_StartAnim(ANIM_MUZZLE, -g1 - 1, 0);
        break;
    case 1:
        GunSound(kFxGun);
        Up(s, cx, cy, true);
        break;
    case 2:
        GunSound(kFxGun);
        g_flash = SHIP_FRAMES;
        Up(s, cx + g3, cy);
        if (SHOTS_S* s2 = second()) Up(s2, cx - g3, cy);
        break;
    case 3: {
        GunSound(kFxMissile);
        // Out to either side first, then up (the turn is the end of the first leg).
        Place(s, cx, cy, cx + 10 + wrand() % 16, cy + 5);
        if (SHOTS_S* s2 = second()) Place(s2, cx, cy, cx - 10 - wrand() % 16, cy + 5);
        break;
    }
    case 4: {
        SPRITE_SHIP_S* en = ENEMY_GetRandom();
        if (!en) {
            SHOTS_Remove(s);
            break;
        }
        GunSound(kFxGun);
        s->frame = Random(w.numframes);
        int tx = en->x + Random(en->width) - 1;
        int ty = en->y + en->hly + Random(en->height) - 1;
        Place(s, cx, cy, tx, ty);
        break;
    }
    case SHOT_TYPE_LASER: {
        SPRITE_SHIP_S* en = ENEMY_GetRandomAir();
        if (!en) {
            SHOTS_Remove(s);
            SND_Patch(kFxNoTarget, 127);
            break;
        }
        SND_Patch(kFxLaser, 127);
        // The laser strikes at once; the shot only draws the beam for a frame.
        en->hp -= w.damage;
        int px = en->move.x + Random(en->width) - 1;
        int py = en->move.y + Random(en->height) - 1;
        Place(s, px, py, cx, cy);
        ANIMS_StartAnim(ANIM_LASERHIT, px, py);
        break;
    }
    case 6:
        SND_Patch(kFxGun, 127);
        Up(s, cx + g2, cy);
        if (SHOTS_S* s2 = second()) Up(s2, cx - g2, cy);
        ANIMS_StartAnim(ANIM_MUZZLE, g2, 1);
        ANIMS_StartAnim(ANIM_MUZZLE, -g2, 1);
        break;
    case 7:
    case 8:
        SND_Patch(kFxMissile, 127);
        Up(s, cx + g2, cy);
        if (SHOTS_S* s2 = second()) Up(s2, cx - g2, cy);
        break;
    case 9:
        SND_Patch(kFxMissile, 127);
        Up(s, cx, cy);
        break;
    case 10:
        SND_Patch(kFxGun, 127);
        Up(s, cx - 4, cy);
        break;
    case SHOT_TYPE_MEGABOMB:
        SND_Patch(kFxGun, 127);
        Place(s, cx, cy, kBombX, kBombY);
        break;
    case 12:
        SND_Patch(kFxPlasma, 127);
        Up(s, cx, cy);
        break;
    case 13:
        SND_Patch(kFxBeam, 127);
        Place(s, cx + g3, cy, cx + g3, kBeamTop);
        if (SHOTS_S* s2 = second()) Place(s2, cx - g3, cy, cx - g3, kBeamTop);
        break;
    case SHOT_TYPE_BEAM2:
        SND_Patch(kFxBeam, 127);
        Place(s, cx, cy - 24, cx, kBeamTop);
        break;
    }
    return 1;
}

void SHOTS_Think(void)
{
    for (SHOT_LIB& w : shot_lib)
        if (w.cnt > 0) w.cnt--;

    for (SHOTS_S* s = shots.first.next; s != &shots.last; s = s->next) {
        const SHOT_LIB& w = *s->lib;

        switch (w.display) {
        case SHOT_SPRITE:
            s->pic = w.pics[s->frame];
            s->x = s->move.x - w.hlx;
            s->y = w.moves ? s->move.y - w.hly : s->move.y;
            if (w.smoke) ANIMS_StartAnim(ANIM_PLAYERSMOKE, s->move.x, s->y + 2 * w.hly);
            break;
        case SHOT_LASER:
            s->x = s->move.x;
            s->y = s->move.y;
            break;
        case SHOT_BEAM:
            s->pic = w.pics[s->frame];
            s->x = s->move.x - w.hlx;
            s->y = s->move.y;
            BeamHits(s);
            break;
        default:
            exit(0);
        }
        if (w.followx) s->x += player_cx - s->ox;
        if (w.followy) s->y += player_cy - s->oy;

        if (w.moves && (s->y < -16 || s->x < 0 || s->x > SCREENWIDTH || s->y > SCREENHEIGHT)) {
            s->move.done = 1;
            if (EndShot(s)) continue;
        }

        if (s->stage == 0) {
            if (s->speed < w.maxspeed) s->speed++;
            if (++s->frame >= w.numframes) {
                if (w.moves)
                    s->frame = w.loopframe;
                else if (EndShot(s))
                    continue;
            }
        }

        if (s->hitflag && EndShot(s)) continue;

        // The laser's damage was dealt when it fired: it hits once, not again here.
        if (!w.nohit && w.type != SHOT_TYPE_LASER && HitTest(s)) continue;

        if (!w.moves) continue;
        if (w.aimed) {
            MoveSobj(&s->move, s->speed);
            // At its target point a staged missile turns and the mega bomb goes off. A
            // homing shot flies on through its aim point, which can lie just below its enemy.
            if (s->move.done && (s->stage == 1 || w.type == SHOT_TYPE_MEGABOMB) && EndShot(s))
                continue;
        } else {
            s->move.y -= s->speed;
            if (s->move.y < 0) {
                s->move.done = 1;
                s->hitflag = 1;
            }
        }
    }
}

void SHOTS_Display(void)
{
    for (SHOTS_S* s = shots.first.next; s != &shots.last; s = s->next) {
        const SHOT_LIB& w = *s->lib;
        switch (w.display) {
        case SHOT_SPRITE:
            Put(s->pic, s->x, s->y);
            break;
        case SHOT_LASER:
            GFX_Line(player_cx + 1, player_cy, s->x, s->y, kLaserEdge);
            GFX_Line(player_cx - 1, player_cy, s->x, s->y, kLaserEdge);
            GFX_Line(player_cx, player_cy, s->x, s->y, kLaserCore);
            s = SHOTS_Remove(s);
            break;
        case SHOT_BEAM: {
            const int end = s->move.y2;
            for (int yy = end; yy < s->y; yy += 3)
                Put(s->pic, s->x, yy);
            if (w.type == SHOT_TYPE_BEAM2)
                Put(detpow[s->beamcnt], s->x - 4, s->y);
            else
                Put(laspow[s->beamcnt], s->x, s->y);
            if (end >= 9 && lashit[s->beamcnt])
                Put(lashit[s->beamcnt], s->x - PicWidth(lashit[s->beamcnt]) / 4, end - 8);
            s->beamcnt = (s->beamcnt + 1) % 4;
            break;
        }
        default:
            exit(0);
        }
    }
}

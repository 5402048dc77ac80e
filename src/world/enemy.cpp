#include "world/enemy.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "game/loadsave.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "input/input.h"
#include "input/joyapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "world/anims.h"
#include "world/bonus.h"
#include "world/eshot.h"
#include "world/flame.h"
#include "world/objects.h"
#include "world/shadow.h"
#include "world/tile.h"

SLIB_S* slib[ENEMY_LIBS];
int numslibs[ENEMY_LIBS];
int spriteflag[ENEMY_LIBS];
Pool<SPRITE_SHIP_S, ENEMY_MAX> ships;
SPRITE_SHIP_S* onscreen[ENEMY_MAX];
int cur_visable;
int numships;
int end_waveflag;
int boss_sound;
int tiley;
ENEMY_TALLY enemy_tally;
CSPRITE* cur_enemy;
CSPRITE* end_enemy;

namespace
{

SPRITE_SHIP_S* rscreen[ENEMY_MAX];

// The level bit of each placement of the loaded map. The map item itself is left as read:
// it may stay in memory and be loaded again for the next flight of the same wave.
std::vector<int> levels;

// Frames from the last enemy's end to the end of the wave.
constexpr int kEndCountdown = 60;

// Sounds.
constexpr int kFxExplosion = 8;
constexpr int kFxCrash = 11;
constexpr int kFxEnergyGrab = 14;
constexpr int kFxBossAlarm = 23;
constexpr int kPanCentre = 127;

// Flight types.
enum { FLY_PATROL, FLY_THROUGH, FLY_ATTACK, FLY_GROUND, FLY_LEFT, FLY_RIGHT };
enum { ANIMTYPE_LOOP, ANIMTYPE_WAIT, ANIMTYPE_TWOPHASE };

// Where enemies leave the screen, and the middle of it that air paths are drawn from.
constexpr int kGroundExit = 211;
constexpr int kRightExit = 335;
constexpr int kMiddle = 100;

// A damaged boss smokes below this strength; ramming costs the rammer this much.
constexpr int kBossSmokeHp = 49;
constexpr int kRamDamage = 16;
// The money shower's pickup.
constexpr int kMoneyKind = 23;

const int spriteitm[ENEMY_LIBS] = {ITM_ENEMYLIB1, ITM_ENEMYLIB2, ITM_ENEMYLIB3, ITM_ENEMYLIB4};

// wrand() mod n for the sizes of a picture, which may be 0 in damaged data.
int RandBelow(int n)
{
    return n > 0 ? wrand() % n : 0;
}

int Rd32(const uint8_t* p)
{
    int32_t v;
    memcpy(&v, p, 4);
    return v;
}

// The level code of a placement as the bit the difficulty masks are made of.
int LevelBit(int level)
{
    switch (level) {
    case 0:
        return 1;
    case 1:
        return 2;
    case 2:
        return 4;
    case 3:
        return 8;
    case 4:
        return 16;
    case 5:
        return 32;
    default:
        return ENEMY_NEVER;
    }
}

// The type a placement names, or null when its library or type does not exist.
SLIB_S* PlacementType(const CSPRITE* c)
{
    if (c->game < 0 || c->game >= ENEMY_LIBS || !slib[c->game]) return nullptr;
    if (c->type < 0 || c->type >= numslibs[c->game]) return nullptr;
    return &slib[c->game][c->type];
}

// Brings every count of a type record into the ranges the code indexes with.
void CheckType(SLIB_S* lib)
{
    lib->numguns = std::clamp(lib->numguns, 0, ENEMY_MAXGUNS);
    lib->numflames = std::clamp(lib->numflames, 0, ENEMY_MAXGUNS);
    lib->numpoints = std::clamp(lib->numpoints, 1, ENEMY_MAXPOINTS);
    lib->repeat = std::clamp(lib->repeat, 0, lib->numpoints - 1);
    lib->numframes = std::max(lib->numframes, 1);
    if (lib->numframes >= 2) lib->loopframes = std::clamp(lib->loopframes, 1, lib->numframes);
    lib->hp = std::max(lib->hp, 1);
}

// The item the type's label names; a label that fills all 16 bytes names nothing.
int LabelItem(const SLIB_S* lib)
{
    if (!memchr(lib->label, 0, sizeof(lib->label))) return -1;
    return GLB_GetItemID(lib->label);
}

void PictureSize(int item, int* width, int* height)
{
    *width = *height = 0;
    if (const uint8_t* pic = ANIMS_GetSprite(item)) {
        *width = Rd32(pic + 12);
        *height = Rd32(pic + 16);
    }
}

// Takes an enemy out of play. The wave's end countdown starts when the last enemy goes
// after the last placement, unless one (the ship's) already runs.
SPRITE_SHIP_S* Unlink(SPRITE_SHIP_S* sh)
{
    numships--;
    if (end_waveflag && numships <= 0 && startendwave == -1) startendwave = kEndCountdown;
    SPRITE_SHIP_S* prev = ships.Remove(sh);
    sh->item = -1;
    return prev;
}

// ---- movement ---------------------------------------------------------------------------

void AimAt(SPRITE_SHIP_S* sh, int x, int y, int left)
{
    sh->move.x2 = x;
    sh->move.y2 = y;
    InitMobj(&sh->move);
    MoveMobj(&sh->move);
    if (left > 0) MoveEobj(&sh->move, left);
}

void AimAtPoint(SPRITE_SHIP_S* sh, int point, int left)
{
    const SLIB_S* lib = sh->lib;
    point = std::clamp(point, 0, lib->numpoints - 1);
    AimAt(sh, sh->sx + lib->flightx[point], sh->sy + lib->flighty[point], left);
}

void StartMove(SPRITE_SHIP_S* sh)
{
    const SLIB_S* lib = sh->lib;
    switch (lib->flighttype) {
    case FLY_PATROL:
    case FLY_THROUGH:
    case FLY_ATTACK:
        sh->groundflag = 0;
        sh->sy = kMiddle - sh->hly;
        sh->pathpos = 1;
        AimAtPoint(sh, 0, 0);
        break;
    case FLY_GROUND:
        sh->groundflag = 1;
        sh->move.x2 = sh->x;
        sh->move.y2 = kGroundExit;
        break;
    case FLY_LEFT:
        sh->groundflag = 1;
        sh->x += sh->width;
        sh->sx = sh->move.x = sh->x;
        sh->move.x2 = -sh->hlx;
        sh->move.y2 = kGroundExit;
        break;
    case FLY_RIGHT:
        sh->groundflag = 1;
        sh->x -= sh->width;
        sh->sx = sh->move.x = sh->x;
        sh->move.x2 = kRightExit;
        sh->move.y2 = kGroundExit;
        break;
    default:
        sh->groundflag = 0;
        break;
    }
}

void StepAir(SPRITE_SHIP_S* sh)
{
    const SLIB_S* lib = sh->lib;
    MOVEOBJ& m = sh->move;
    sh->x = m.x;
    sh->y = m.y;
    sh->x2 = sh->x + sh->width - 1;
    sh->y2 = sh->y + sh->height - 1;
    int left = lib->speed ? MoveEobj(&m, lib->speed) : 0;

    switch (lib->flighttype) {
    case FLY_PATROL:
        if (!m.done) break;
        AimAtPoint(sh, sh->pathpos, left);
        if (sh->backwards) {
            if (--sh->pathpos <= lib->repeat) {
                sh->backwards = 0;
                sh->pathpos = lib->repeat;
            }
        } else if (++sh->pathpos >= lib->numpoints) {
            sh->backwards = 1;
            sh->pathpos = lib->numpoints - 1;
        }
        break;
    case FLY_THROUGH:
        if (!m.done) break;
        // Its last point reached, it leaves play; there is no point past the last to aim at.
        if (sh->pathpos >= lib->numpoints) {
            sh->doneflag = 1;
            break;
        }
        AimAtPoint(sh, sh->pathpos, left);
        sh->pathpos++;
        break;
    case FLY_ATTACK:
        if (sh->phase == 2) {
            if (m.y > 201 || m.x > sh->hlx + 320 || m.y + sh->width < 0 || m.x + sh->width < 0)
                sh->doneflag = 1;
            break;
        }
        if (!m.done) break;
        m.x = m.x2;
        m.y = m.y2;
        if (sh->phase == 1) {
            sh->phase = 2;
            AimAt(sh, player_cx, player_cy, left);
        } else {
            AimAtPoint(sh, sh->pathpos, left);
        }
        if (sh->pathpos < lib->numpoints - 1)
            sh->pathpos++;
        else if (sh->phase == 0)
            sh->phase = 1;
        break;
    default:
        break;
    }
}

void StepGround(SPRITE_SHIP_S* sh)
{
    const SLIB_S* lib = sh->lib;
    if (scroll_flag) sh->y++;
    switch (lib->flighttype) {
    case FLY_GROUND:
        if (sh->y > kGroundExit) sh->doneflag = 1;
        break;
    case FLY_LEFT:
        if (sh->y >= 0) sh->x -= lib->speed;
        if (sh->x < -sh->hlx || sh->y > kGroundExit) sh->doneflag = 1;
        break;
    case FLY_RIGHT:
        if (sh->y >= 0) sh->x += lib->speed;
        if (sh->x > kRightExit || sh->y > kGroundExit) sh->doneflag = 1;
        break;
    default:
        break;
    }
    // Effects that ride with an enemy follow its mover point.
    sh->move.x = sh->x;
    sh->move.y = sh->y;
    sh->x2 = sh->x + sh->width - 1;
    sh->y2 = sh->y + sh->height - 1;
}

// ---- the frame step ---------------------------------------------------------------------

void ShootingLine(SPRITE_SHIP_S* sh)
{
    const SLIB_S* lib = sh->lib;
    if (sh->shootline > 0) {
        sh->shootline -= lib->speed;
        return;
    }
    switch (lib->animtype) {
    case ANIMTYPE_LOOP:
        sh->shootline = -1;
        sh->shootflag = 1;
        break;
    case ANIMTYPE_WAIT:
        sh->animating = 1;
        break;
    default:
        if (sh->animphase == 0) sh->animphase = 1;
        break;
    }
}

void Animate(SPRITE_SHIP_S* sh)
{
    const SLIB_S* lib = sh->lib;
    if (lib->numframes < 2) {
        if (sh->shootline > 0) {
            sh->shootline -= lib->speed;
        } else {
            sh->shootline = -1;
            sh->shootflag = 1;
        }
        return;
    }
    sh->item = lib->item + sh->frame;
    if (sh->framecnt > 0) {
        sh->framecnt--;
    } else {
        sh->framecnt = lib->framedelay;
        if (sh->animating) {
            sh->frame++;
            if (static_cast<unsigned>(sh->frame) >= static_cast<unsigned>(sh->framelimit)) {
                sh->frame -= lib->loopframes;
                if (lib->animtype == ANIMTYPE_WAIT) {
                    sh->animating = 0;
                    sh->shootflag = 1;
                } else if (lib->animtype == ANIMTYPE_TWOPHASE) {
                    if (sh->animphase == 1) {
                        sh->animphase = 2;
                        sh->framelimit = lib->numframes;
                    } else if (sh->animphase == 2) {
                        sh->shootflag = 1;
                    }
                }
            }
        }
    }
    ShootingLine(sh);
}

void Shoot(SPRITE_SHIP_S* sh)
{
    const SLIB_S* lib = sh->lib;
    if (sh->pausecnt == -1) {
        if (--sh->shootcnt < 0) {
            sh->shootcnt = lib->shotdelay;
            if (!sh->gunsoff)
                for (int g = 0; g < lib->numguns; g++)
                    ESHOT_Shoot(sh, g);
            if (--sh->volley <= 0) sh->pausecnt = lib->pause;
        }
    } else if (sh->pausecnt > 0) {
        sh->pausecnt--;
    } else {
        sh->pausecnt = -1;
        sh->volley = lib->volley;
        sh->shootcnt = lib->shotdelay;
    }
}

void Ram(SPRITE_SHIP_S* sh)
{
    if (!(sh->x < player_cx && player_cx < sh->x2 && sh->y < player_cy && player_cy < sh->y2))
        return;
    if (haptic && control == CONTROL_JOYSTICK) IPT_CalJoyRumbleMedium();
    sh->hp -= kRamDamage;
    OBJS_SubEnergy(std::max(sh->width, sh->height) / 4);
    int rx = player_cx + RandBelow(8) - 4;
    int ry = player_cy + RandBelow(8) - 4;
    ANIMS_StartAnim(ANIM_IMPACT, rx, ry);
    SND_Patch(kFxCrash, kPanCentre);
}

// A random point of the enemy's box, x drawn first.
void RandomPoint(const SPRITE_SHIP_S* sh, int* x, int* y)
{
    *x = sh->x + RandBelow(sh->width);
    *y = sh->y + RandBelow(sh->height);
}

void Explode(SPRITE_SHIP_S* sh)
{
    int mx = sh->x + sh->hlx, my = sh->y + sh->hly;
    int pieces = (sh->width / 16) * (sh->height / 16);
    int rx, ry;
    switch (sh->lib->explosion) {
    case 0:
        ANIMS_StartAnim(ANIM_FIREBALL, mx, my);
        break;
    case 1:
        ANIMS_StartAnim(ANIM_AIRBLAST, mx, my);
        break;
    case 2:
        ANIMS_StartAnim(ANIM_AIRBLAST, mx, my);
        for (int k = 0; k < pieces; k++) {
            RandomPoint(sh, &rx, &ry);
            if (k & 1)
                ANIMS_StartAnim(ANIM_FIREBALL, rx, ry);
            else
                ANIMS_StartAAnim(ANIM_DEBRIS, rx, ry);
        }
        break;
    case 3:
        ANIMS_StartAnim(ANIM_BIGBLAST, mx, my);
        break;
    case 4:
        RandomPoint(sh, &rx, &ry);
        ANIMS_StartAnim(wrand() % 2 == 0 ? ANIM_SPARK : ANIM_FLARE, rx, ry);
        ANIMS_StartAnim(ANIM_GROUNDBLAST, mx, my);
        break;
    case 5:
        ANIMS_StartAnim(ANIM_GROUNDBLAST, mx, my);
        for (int k = 0; k < pieces; k++) {
            RandomPoint(sh, &rx, &ry);
            ANIMS_StartAnim(wrand() % 2 == 1 ? ANIM_SPARK : ANIM_FLARE, rx, ry);
            ANIMS_StartAnim(ANIM_BIGBLAST, rx, ry);
        }
        break;
    case 6:
        ANIMS_StartAnim(ANIM_AIRBLAST, mx, my);
        for (int k = 0; k < pieces; k++) {
            RandomPoint(sh, &rx, &ry);
            ANIMS_StartAAnim(ANIM_FLARE, rx, ry);
            ANIMS_StartAnim(k & 1 ? ANIM_AIRBLAST : ANIM_DEBRIS, rx, ry);
        }
        break;
    case 7:
        ANIMS_StartAnim(ANIM_SMALLBLAST, mx, my);
        break;
    case 8:
        ANIMS_StartAnim(ANIM_BURST, mx, my);
        BONUS_Add(kMoneyKind, sh->x, sh->y);
        break;
    case 9:
        ANIMS_StartAnim(ANIM_MIDBLAST, mx, my);
        break;
    case 10:
        ANIMS_StartAnim(ANIM_DEBRIS, mx, my);
        break;
    default:
        break;
    }
}

void Activate(void)
{
    tiley = tilepos / MAP_COLS - 3;
    if (end_waveflag) return;
    if (!cur_enemy) {
        // A map without placements is over once its far end is in view.
        if (!scroll_flag) end_waveflag = 1;
        return;
    }
    while (cur_enemy->y == tiley) {
        for (;;) {
            CSPRITE* c = cur_enemy;
            if (ENEMY_Level(static_cast<int>(c - csprite)) != ENEMY_NEVER) ENEMY_Add(c);
            if (c == end_enemy) {
                end_waveflag = 1;
                return;
            }
            cur_enemy++;
            if (c->link == -1 || c->link == 1) break;
        }
    }
}

bool InBox(const SPRITE_SHIP_S* sh, int x, int y)
{
    return sh->x < x && x < sh->x2 && sh->y < y && y < sh->y2;
}

// The first enemy in view of the class asked for (-1 any, 0 air, 1 ground) holding the
// point strictly inside its box.
SPRITE_SHIP_S* Hit(int x, int y, int ground)
{
    for (int i = 0; i < cur_visable; i++) {
        SPRITE_SHIP_S* sh = onscreen[i];
        if (ground != -1 && sh->groundflag != ground) continue;
        if (InBox(sh, x, y)) return sh;
    }
    return nullptr;
}

} // namespace

// ---- movement ---------------------------------------------------------------------------

int MoveEobj(MOVEOBJ* move, int count)
{
    if (count == 0) return 0;
    int n = move->maxloop - 1;
    for (int i = 0; i < count; i++) {
        if (n == 0) {
            move->maxloop = 0;
            move->done = 1;
            return count - i - 1;
        }
        if (move->delx >= move->dely) {
            move->x += move->addx;
            move->err += move->dely;
            if (move->err > 0) {
                move->y += move->addy;
                move->err -= move->delx;
            }
        } else {
            move->y += move->addy;
            move->err += move->delx;
            if (move->err > 0) {
                move->x += move->addx;
                move->err -= move->dely;
            }
        }
        n--;
    }
    move->maxloop = n + 1;
    if (move->maxloop <= 0) move->done = 1;
    return 0;
}

// ---- the pool ---------------------------------------------------------------------------

void ENEMY_Clear(void)
{
    ships.Clear();
    for (SPRITE_SHIP_S& sh : ships.rec)
        sh.item = -1;
    numships = 0;
    cur_visable = 0;
}

SPRITE_SHIP_S* ENEMY_Get(void)
{
    // Placements are checked against the pool's size when the data are made; running dry
    // means they are damaged.
    SPRITE_SHIP_S* sh = ships.Take();
    if (!sh) exit(0);
    return sh;
}

SPRITE_SHIP_S* ENEMY_Remove(SPRITE_SHIP_S* sh)
{
    return Unlink(sh);
}

// ---- the wave ---------------------------------------------------------------------------

void ENEMY_LoadLib(void)
{
    for (int i = 0; i < ENEMY_LIBS; i++) {
        spriteflag[i] = 0;
        slib[i] = nullptr;
        numslibs[i] = 0;
    }
    for (int i = 0; i < numcsprites; i++)
        if (csprite[i].game >= 0 && csprite[i].game < ENEMY_LIBS) spriteflag[csprite[i].game] = 1;
    for (int i = 0; i < ENEMY_LIBS; i++) {
        if (!spriteflag[i]) continue;
        int size = GLB_ItemSize(spriteitm[i]);
        if (size < static_cast<int>(sizeof(SLIB_S))) {
            // The first episode's library is always there; without it the data are broken.
            if (i == 0) exit(0);
            spriteflag[i] = 0;
            continue;
        }
        slib[i] = reinterpret_cast<SLIB_S*>(GLB_LockItem(spriteitm[i]));
        numslibs[i] = size / static_cast<int>(sizeof(SLIB_S));
    }
}

int ENEMY_Level(int index)
{
    return index >= 0 && index < static_cast<int>(levels.size()) ? levels[index] : ENEMY_NEVER;
}

void ENEMY_LoadSprites(void)
{
    levels.assign(static_cast<size_t>(std::max(numcsprites, 0)), ENEMY_NEVER);
    ENEMY_Clear();
    cur_enemy = numcsprites > 0 ? &csprite[0] : nullptr;
    end_enemy = numcsprites > 0 ? &csprite[numcsprites - 1] : nullptr;
    numships = 0;
    end_waveflag = 0;
    enemy_tally = {};
    boss_sound = 0;
    cur_visable = 0;

    for (int i = 0; i < numcsprites; i++) {
        CSPRITE* c = &csprite[i];
        int bit = LevelBit(c->level);
        levels[i] = ENEMY_NEVER;
        SLIB_S* lib = PlacementType(c);
        if (!lib) {
            continue;
        }
        CheckType(lib);
        lib->item = LabelItem(lib);
        if (!(bit & cur_diff) || lib->item == -1) continue;
        levels[i] = bit;
        // An enemy that may come into play must be drawable in every frame: anything else
        // is as broken as a missing item.
        if (lib->animtype < ANIMTYPE_LOOP || lib->animtype > ANIMTYPE_TWOPHASE) exit(0);
        for (int f = 0; f < lib->numframes; f++) {
            int item = lib->item + f;
            if ((item >> 16) != (lib->item >> 16) || !ANIMS_GetSprite(item)) exit(0);
            GLB_CacheItem(item);
        }
    }
}

void ENEMY_FreeSprites(void)
{
    // Frames first: their ids are kept in the library records.
    for (int i = 0; i < numcsprites; i++) {
        const CSPRITE* c = &csprite[i];
        if (!(ENEMY_Level(i) & cur_diff)) continue;
        const SLIB_S* lib = PlacementType(c);
        if (!lib || lib->item == -1) continue;
        for (int f = 0; f < lib->numframes; f++)
            GLB_FreeItem(lib->item + f);
    }
    for (int i = 0; i < ENEMY_LIBS; i++) {
        if (slib[i]) {
            GLB_UnlockItem(spriteitm[i]);
            GLB_FreeItem(spriteitm[i]);
        }
        slib[i] = nullptr;
        numslibs[i] = 0;
        spriteflag[i] = 0;
    }
}

void ENEMY_Add(CSPRITE* sprite)
{
    SLIB_S* lib = PlacementType(sprite);
    if (!lib) return;
    SPRITE_SHIP_S* sh = ENEMY_Get();
    numships++;
    enemy_tally.came++;

    sh->lib = lib;
    sh->item = lib->item;
    PictureSize(sh->item, &sh->width, &sh->height);
    sh->hlx = sh->width >> 1;
    sh->hly = sh->height >> 1;
    sh->hp = lib->hp;
    sh->egrab = lib->hp >> 4;

    sh->x = (sprite->x + 1) * TILE_SIZE - sh->hlx;
    sh->y = tileyoff - (tiley - sprite->y) * TILE_SIZE - 81 - sh->hly;
    sh->sx = sh->x;
    sh->sy = sh->y;
    sh->move.x = sh->x;
    sh->move.y = sh->y;
    sh->x2 = sh->x + sh->width;
    sh->y2 = sh->y + sh->height;

    sh->framecnt = lib->framedelay;
    sh->shotspeed = lib->speed;
    sh->shootflag = 0;
    sh->gunsoff = 0;
    sh->pausecnt = -1;
    sh->shootline = lib->shootline - sh->y;
    sh->volley = lib->volley;
    sh->shootcnt = lib->firstdelay;

    // Bosses are kinder to the two easiest difficulties.
    if (lib->boss && curplr_diff <= 1) {
        sh->hp -= sh->hp >> 1;
        sh->volley -= sh->volley >> 2;
    }

    switch (lib->animtype) {
    case ANIMTYPE_LOOP:
        sh->animating = 1;
        sh->framelimit = lib->numframes;
        break;
    case ANIMTYPE_WAIT:
        sh->animating = 0;
        sh->framelimit = lib->numframes;
        break;
    case ANIMTYPE_TWOPHASE:
        sh->animating = 1;
        sh->framelimit = lib->loopframes;
        break;
    default:
        exit(0);
    }

    StartMove(sh);
    if (lib->bosstune != -1) boss_sound = 1;
}

void ENEMY_Think(void)
{
    if (boss_sound && !SND_IsPatchPlaying(kFxBossAlarm)) SND_Patch(kFxBossAlarm, kPanCentre);
    Activate();

    cur_visable = 0;
    for (SPRITE_SHIP_S* sh = ships.first.next; sh != &ships.last; sh = sh->next) {
        const SLIB_S* lib = sh->lib;
        Animate(sh);
        if (sh->groundflag)
            StepGround(sh);
        else
            StepAir(sh);
        if (sh->shootflag) Shoot(sh);

        if (sh->doneflag) {
            sh = Unlink(sh);
            continue;
        }
        if (lib->shadow) {
            if (sh->groundflag)
                SHADOW_GAdd(sh->item, sh->x, sh->y);
            else
                SHADOW_Add(sh->item, sh->x, sh->y);
        }
        if (lib->boss && sh->hp <= kBossSmokeHp && (gl_cnt & 2)) {
            int rx, ry;
            RandomPoint(sh, &rx, &ry);
            ANIMS_StartAnim(ANIM_IMPACT, rx, ry);
        }
        if (!sh->groundflag) Ram(sh);

        if (sh->hp > 0) {
            if (sh->y + sh->height >= 1 && sh->y <= 199 && sh->x + sh->width >= 1 && sh->x <= 319)
                onscreen[cur_visable++] = sh;
            continue;
        }

        plr.score += lib->money;
        enemy_tally.killed++;
        if (sh->groundflag) enemy_tally.groundkilled++;
        SND_3DPatch(kFxExplosion, sh->x + sh->hlx, sh->y + sh->hly);
        Explode(sh);
        if (lib->bonus != -1) BONUS_Add(lib->bonus, sh->x, sh->y);
        sh = Unlink(sh);
    }

    // The last placement passed with nothing left in play (all of the last ones skipped at
    // this difficulty, or shot down already): the wave is over.
    if (end_waveflag && numships <= 0 && startendwave == -1) startendwave = kEndCountdown;
}

void ENEMY_DisplayGround(void)
{
    for (SPRITE_SHIP_S* sh = ships.first.next; sh != &ships.last; sh = sh->next)
        if (sh->groundflag)
            if (const uint8_t* pic = ANIMS_GetSprite(sh->item)) GFX_PutSprite(pic, sh->x, sh->y);
}

void ENEMY_DisplaySky(void)
{
    for (SPRITE_SHIP_S* sh = ships.first.next; sh != &ships.last; sh = sh->next) {
        if (sh->groundflag) continue;
        if (const uint8_t* pic = ANIMS_GetSprite(sh->item)) GFX_PutSprite(pic, sh->x, sh->y);
        const SLIB_S* lib = sh->lib;
        for (int i = 0; i < lib->numflames; i++)
            FLAME_Up(sh->x + lib->flamex[i], sh->y + lib->flamey[i], lib->flamesize[i],
                     sh->flameflip);
        sh->flameflip ^= 1;
    }
}

// ---- the player's weapons ---------------------------------------------------------------

int ENEMY_DamageAll(int x, int y, int damage)
{
    SPRITE_SHIP_S* sh = Hit(x, y, -1);
    if (!sh) return 0;
    sh->hp -= damage;
    return 1;
}

int ENEMY_DamageGround(int x, int y, int damage)
{
    SPRITE_SHIP_S* sh = Hit(x, y, 1);
    if (!sh) return 0;
    sh->hp -= damage;
    if (curplr_diff == 0) sh->hp -= damage;
    return 1;
}

int ENEMY_DamageAir(int x, int y, int damage)
{
    SPRITE_SHIP_S* sh = Hit(x, y, 0);
    if (!sh) return 0;
    sh->hp -= damage;
    if (curplr_diff == 0) sh->hp -= damage;
    return 1;
}

SPRITE_SHIP_S* ENEMY_DamageEnergy(int x, int y, int damage)
{
    SPRITE_SHIP_S* sh = Hit(x, y, 0);
    if (!sh) return nullptr;
    sh->hp -= 1;
    if (sh->lib->egrabflag) {
        if (sh->egrab > 0) {
            sh->egrab -= damage;
        } else {
            sh->pausecnt = -1;
            sh->shootflag = 0;
            sh->gunsoff = 1;
            SND_3DPatch(kFxEnergyGrab, sh->x + sh->hlx, sh->y + sh->hly);
        }
    }
    return sh;
}

SPRITE_SHIP_S* ENEMY_GetRandom(void)
{
    if (cur_visable == 0) return nullptr;
    return onscreen[wrand() % cur_visable];
}

SPRITE_SHIP_S* ENEMY_GetRandomAir(void)
{
    int n = 0;
    for (int i = 0; i < cur_visable; i++)
        if (!onscreen[i]->groundflag) rscreen[n++] = onscreen[i];
    if (n == 0) return nullptr;
    return rscreen[wrand() % n];
}

int ENEMY_GetBaseDamage(void)
{
    int sum = 0, count = 0;
    for (const SPRITE_SHIP_S* sh = ships.first.next; sh != &ships.last; sh = sh->next) {
        if (!sh->lib->boss || sh->y + sh->hly < 0) continue;
        sum += sh->hp * 100 / sh->lib->hp;
        count++;
    }
    return count ? sum / count : 0;
}

SPRITE_SHIP_S* ENEMY_First(void)
{
    return ships.first.next == &ships.last ? nullptr : ships.first.next;
}

SPRITE_SHIP_S* ENEMY_Next(SPRITE_SHIP_S* en)
{
    return en->next == &ships.last ? nullptr : en->next;
}

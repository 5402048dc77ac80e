#include "world/objects.h"

#include "game/game.h"
#include "game/loadsave.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "world/anims.h"
#include "world/enemy.h"
#include "world/pool.h"
#include "world/shots.h"

OBJ_LIB obj_lib[OBJ_NUMTYPES];
OBJ_S* p_objs[OBJ_NUMTYPES];
int obj_cnt;
OBJ_S first_objs, last_objs;

namespace
{

constexpr int kFxSuperShieldHit = 32;
constexpr int kFxShieldHit = 33;
// Super shields one pilot may hold.
constexpr int kMaxSuperShields = 5;
// Frames without firing after which the shield regains a unit.
constexpr int kRegenFrames = 97;
// Status icons.
constexpr int kIconStep = 13;
constexpr int kIconX = 18;
constexpr int kSpecialX = 286, kSpecialY = 2;

Pool<OBJ_S, OBJ_MAXRECORDS> objs;
int objuse_flag;
int think_cnt;

int Fire(int type)
{
    return SHOTS_PlayerShoot(type);
}

struct LIBROW {
    int index; // entry of archive 1
    int numframes, cost, num, max;
    bool weapon;
    int keep, onlyflag, loseit, specialflag, moneyflag;
};

constexpr LIBROW kLib[OBJ_NUMTYPES] = {
    {688, 1, 12000, 1, 1, true, 1, 0, 0, 0, 0},
    {689, 2, 78800, 1, 1, true, 1, 0, 1, 0, 0},
    {691, 2, 175600, 1, 1, true, 1, 0, 1, 0, 0},
    {693, 1, 145200, 1, 1, true, 1, 0, 1, 1, 0},
    {694, 4, 250650, 1, 1, true, 1, 0, 1, 1, 0},
    {698, 4, 512850, 1, 1, true, 1, 0, 1, 1, 0},
    {702, 1, 204950, 1, 1, true, 1, 0, 1, 1, 0},
    {703, 1, 63500, 1, 1, true, 1, 0, 1, 1, 0},
    {704, 1, 110000, 1, 1, true, 1, 0, 1, 1, 0},
    {730, 1, 98200, 1, 1, true, 1, 0, 1, 1, 0},
    {705, 4, 300750, 1, 1, true, 1, 0, 1, 1, 0},
    {709, 1, 32250, 1, 5, true, 0, 1, 1, 0, 0},
    {710, 2, 725000, 1, 1, true, 1, 0, 1, 1, 0},
    {712, 4, 1750000, 1, 1, true, 1, 0, 1, 1, 0},
    {716, 4, 950000, 1, 1, true, 1, 0, 1, 1, 0},
    {720, 1, 78500, 100, 100, false, 0, 0, 0, 0, 0},
    {721, 4, 400, 25, 100, false, 1, 1, 0, 0, 0},
    {725, 1, 10000, 1, 1, false, 0, 1, 0, 0, 0},
    {725, 1, 93800, 93800, 93800, false, 0, 0, 1, 0, 1},
    {726, 1, 76000, 76000, 76000, false, 0, 0, 1, 0, 1},
    {727, 1, 55700, 55700, 55700, false, 0, 0, 1, 0, 1},
    {728, 1, 35200, 35200, 35200, false, 0, 0, 1, 0, 1},
    {729, 1, 122500, 122500, 122500, false, 0, 0, 1, 0, 1},
    {731, 4, 50, 50, 50, false, 0, 0, 1, 0, 1},
};

bool ValidType(int type)
{
    return type >= 0 && type < OBJ_NUMTYPES;
}

// After a record of `type` went away, the next one of the type in list order takes over.
void NextInEffect(int type)
{
    p_objs[type] = nullptr;
    for (OBJ_S* o = objs.first.next; o != &objs.last; o = o->next)
        if (o->type == type) {
            o->inuse = 1;
            p_objs[type] = o;
            return;
        }
}

// Removes the record in effect of a type, and chooses another special weapon when it was
// the selected one.
void DropRecord(OBJ_S* o)
{
    int type = o->type;
    OBJS_Remove(o);
    NextInEffect(type);
    if (plr.sweapon == type) OBJS_GetNext();
}

} // namespace

void OBJS_Init(void)
{
    OBJS_Clear();
    for (int t = 0; t < OBJ_NUMTYPES; t++) {
        const LIBROW& r = kLib[t];
        obj_lib[t] = {ITM_Id(1, r.index),
                      r.numframes,
                      r.cost,
                      r.num,
                      r.max,
                      r.weapon ? Fire : nullptr,
                      r.keep,
                      r.onlyflag,
                      r.loseit,
                      r.specialflag,
                      r.moneyflag};
    }
}

void OBJS_Clear(void)
{
    objs.Clear();
    for (OBJ_S*& p : p_objs)
        p = nullptr;
    obj_cnt = 0;
}

void OBJS_CachePics(void)
{
    for (const OBJ_LIB& l : obj_lib)
        for (int f = 0; l.item > 0 && f < l.numframes; f++)
            GLB_CacheItem(l.item + f);
    GLB_CacheItem(ITM_ICON_MEGABOMB);
    GLB_CacheItem(ITM_ICON_SUPERSHIELD);
}

void OBJS_FreePics(void)
{
    for (const OBJ_LIB& l : obj_lib)
        for (int f = 0; l.item > 0 && f < l.numframes; f++)
            GLB_FreeItem(l.item + f);
    GLB_FreeItem(ITM_ICON_MEGABOMB);
    GLB_FreeItem(ITM_ICON_SUPERSHIELD);
}

OBJ_S* OBJS_Get(void)
{
    OBJ_S* o = objs.Take();
    if (o) obj_cnt++;
    return o;
}

OBJ_S* OBJS_Remove(OBJ_S* obj)
{
    obj_cnt--;
    return objs.RemoveNext(obj);
}

int OBJS_Load(OBJ_S* saved)
{
    if (!ValidType(saved->type)) return 0;
    OBJ_S* o = OBJS_Get();
    if (!o) return 0;
    o->num = saved->num;
    o->type = saved->type;
    o->lib = &obj_lib[saved->type];
    o->inuse = saved->inuse;
    if (o->inuse) p_objs[o->type] = o;
    return 1;
}

int OBJS_Add(int type)
{
    if (type < 0 || type >= OBJ_NUMTYPES) return 3;
    // The bars are redrawn, and the change is not taken for a hit.
    g_oldsuper = g_oldshield = -1;
    OBJ_LIB& lib = obj_lib[type];
    if (lib.moneyflag) {
        plr.score += lib.cost;
        return 0;
    }
    if (lib.onlyflag && p_objs[type]) {
        OBJ_S* o = p_objs[type];
        if (o->num >= lib.max) return 2;
        o->num = o->num + lib.num < lib.max ? o->num + lib.num : lib.max;
        return 0;
    }
    OBJ_S* o = OBJS_Get();
    if (!o) return 2;
    o->num = lib.num;
    o->type = type;
    o->lib = &lib;
    if (p_objs[type]) return 0;
    o->inuse = 1;
    p_objs[type] = o;
    if (plr.sweapon == -1 && lib.specialflag) plr.sweapon = type;
    return 0;
}

void OBJS_Del(int type)
{
    if (ValidType(type) && p_objs[type]) DropRecord(p_objs[type]);
}

int OBJS_Load(const OBJ_S* saved)
{
    if (objs.Full()) return 0;
    int type = saved->type;
    // A damaged or doctored file cannot put in what the game never holds.
    if (!ValidType(type) || obj_lib[type].moneyflag) return 1;
    OBJ_S* o = OBJS_Get();
    o->type = type;
    o->lib = &obj_lib[type];
    o->num = saved->num < 0 ? 0 : saved->num < o->lib->max ? saved->num : o->lib->max;
    // Only one record of a type is in effect, whatever the file says.
    if (saved->inuse && !p_objs[type]) {
        o->inuse = 1;
        p_objs[type] = o;
    }
    return 1;
}

const OBJ_S* OBJS_Next(const OBJ_S* o)
{
    const OBJ_S* n = o ? o->next : objs.first.next;
    return n == &objs.last ? nullptr : n;
}

void OBJS_CheckSpecial(void)
{
    int t = plr.sweapon;
    if (ValidType(t) && p_objs[t] && obj_lib[t].specialflag) return;
    plr.sweapon = -1;
    OBJS_GetNext();
}

int OBJS_GetCost(int type)
{
    if (!ValidType(type)) return 0;
    const OBJ_LIB& lib = obj_lib[type];
    return lib.onlyflag ? lib.cost * lib.num : lib.cost;
}

int OBJS_GetResale(int type)
{
    return OBJS_IsEquip(type) ? OBJS_GetCost(type) / 2 : 0;
}

int OBJS_Buy(int type)
{
    if (type == OBJ_SUPERSHIELD && OBJS_GetTotal(OBJ_SUPERSHIELD) >= kMaxSuperShields) return 2;
    uint32_t price = static_cast<uint32_t>(OBJS_GetCost(type));
    if (price > static_cast<uint32_t>(plr.score)) return 1;
    if (int r = OBJS_Add(type)) return r;
    plr.score = static_cast<int32_t>(static_cast<uint32_t>(plr.score) - price);
    return 0;
}

int OBJS_Sell(int type)
{
    if (!ValidType(type) || !p_objs[type]) return 0;
    OBJ_S* o = p_objs[type];
    const OBJ_LIB& lib = obj_lib[type];
    plr.score += OBJS_GetCost(type) / 2;
    // The boss gauge goes with its record, so it is not saved and brought back.
    if (type == OBJ_BOSSGAUGE) {
        DropRecord(o);
        return 0;
    }
    if (!lib.onlyflag) {
        DropRecord(o);
        return OBJS_GetTotal(type);
    }
    o->num -= lib.num;
    if (o->num > 0) return o->num;
    o->num = 0;
    if (!lib.keep) DropRecord(o);
    return 0;
}

int OBJS_CanBuy(int type)
{
    if (!ValidType(type)) return 0;
    if (type == OBJ_GUN1 && p_objs[OBJ_GUN1]) return 0;
    return OBJS_GetCost(type) != 0;
}

int OBJS_CanSell(int type)
{
    if (!ValidType(type) || !p_objs[type]) return 0;
    // The last quarter of the shield is never sold: the ship cannot fly without it.
    if (type == OBJ_SHIELD) return p_objs[type]->num > obj_lib[type].num;
    return p_objs[type]->num >= obj_lib[type].num;
}

int OBJS_IsOnly(int type)
{
    return ValidType(type) ? obj_lib[type].onlyflag : 0;
}

int OBJS_Equip(int type)
{
    if (!ValidType(type) || p_objs[type]) return 0;
    for (OBJ_S* o = objs.first.next; o != &objs.last; o = o->next)
        if (o->type == type) {
            o->inuse = 1;
            p_objs[type] = o;
            return 1;
        }
    return 0;
}

int OBJS_GetAmt(int type)
{
    return ValidType(type) && p_objs[type] ? p_objs[type]->num : 0;
}

int OBJS_SubAmt(int type, int n)
{
    if (!ValidType(type) || !p_objs[type]) return 0;
    OBJ_S* o = p_objs[type];
    o->num = o->num - n > 0 ? o->num - n : 0;
    return o->num;
}

int OBJS_GetTotal(int type)
{
    int total = 0;
    for (OBJ_S* o = objs.first.next; o != &objs.last; o = o->next)
        if (o->type == type) total++;
    return total;
}

int OBJS_GetNum(void)
{
    return obj_cnt;
}

OBJ_LIB* OBJS_GetLib(int type)
{
    return ValidType(type) ? &obj_lib[type] : nullptr;
}

int OBJS_IsEquip(int type)
{
    return ValidType(type) && p_objs[type] != nullptr;
}

int OBJS_MakeSpecial(int type)
{
    if (!ValidType(type) || !p_objs[type] || !obj_lib[type].specialflag) return 0;
    plr.sweapon = type;
    return 1;
}

int OBJS_GetNext(void)
{
    int t = plr.sweapon < OBJ_FIRSTSPECIAL ? OBJ_FIRSTSPECIAL : plr.sweapon + 1;
    constexpr int kSpecials = OBJ_LASTSPECIAL - OBJ_FIRSTSPECIAL + 1;
    for (int tries = 0; tries < kSpecials; tries++, t++) {
        if (t > OBJ_LASTSPECIAL) t = OBJ_FIRSTSPECIAL;
        if (p_objs[t] && p_objs[t]->num > 0 && obj_lib[t].specialflag) {
            plr.sweapon = t;
            return t;
        }
    }
    plr.sweapon = -1;
    return -1;
}

void OBJS_Use(int type)
{
    // Shields and the boss gauge are never fired, whatever a pilot file selected.
    if (!ValidType(type) || !p_objs[type] || !obj_lib[type].fire) return;
    OBJ_S* o = p_objs[type];
    objuse_flag = 1;
    think_cnt = 0;
    int fired = o->lib->fire(type);
    if (o->lib->keep) return;
    if (fired) o->num--;
    if (o->num <= 0) DropRecord(o);
}

int OBJS_SubEnergy(int damage)
{
    if (godmode || startendwave != -1) return 0;
    if (curplr_diff == 0 && damage >= 2) damage /= 2;
    if (OBJ_S* s = p_objs[OBJ_SUPERSHIELD]) {
        ANIMS_StartAnim(ANIM_FLASH, 0, 0);
        SND_Patch(kFxSuperShieldHit, 127);
        s->num -= damage;
        if (s->num >= 0) return s->num;
        DropRecord(s);
        return 0;
    }
    if (OBJ_S* s = p_objs[OBJ_SHIELD]) {
        SND_Patch(kFxShieldHit, 127);
        s->num = s->num - damage > 0 ? s->num - damage : 0;
        return s->num;
    }
    return 0;
}

int OBJS_AddEnergy(int amount)
{
    OBJ_S* s = p_objs[OBJ_SHIELD];
    if (!s) return 0;
    int max = obj_lib[OBJ_SHIELD].max;
    if (s->num < max) {
        s->num = s->num + amount < max ? s->num + amount : max;
        return s->num;
    }
    OBJ_S* sup = p_objs[OBJ_SUPERSHIELD];
    if (sup && sup->num > 0) {
        int smax = obj_lib[OBJ_SUPERSHIELD].max;
        sup->num = sup->num + amount / 4 < smax ? sup->num + amount / 4 : smax;
        return sup->num;
    }
    return s->num;
}

int OBJS_LoseObj(void)
{
    // The selected special weapon goes first; failing that, the highest type that can be
    // lost (the mega bombs before the main guns; main gun 1 cannot be lost). The caller
    // sounds the crash and shows the warning only when something really went.
    if (ValidType(plr.sweapon) && p_objs[plr.sweapon]) {
        DropRecord(p_objs[plr.sweapon]);
        return 1;
    }
    for (int t = OBJ_NUMTYPES - 1; t >= 0; t--)
        if (p_objs[t] && obj_lib[t].loseit) {
            DropRecord(p_objs[t]);
            return 1;
        }
    return 0;
}

void OBJS_Think(void)
{
    if (curplr_diff > 2) return;
    if (objuse_flag) {
        objuse_flag = 0;
        return;
    }
    if (++think_cnt <= kRegenFrames - 1) return;
    think_cnt = 0;
    if (startendwave != -1) return;
    OBJ_S* s = p_objs[OBJ_SHIELD];
    if (!s) return;
    if (s->num < obj_lib[OBJ_SHIELD].max) {
        s->num++;
    } else if (OBJ_S* sup = p_objs[OBJ_SUPERSHIELD]) {
        if (sup->num > obj_lib[OBJ_SUPERSHIELD].max) sup->num = obj_lib[OBJ_SUPERSHIELD].max;
    }
}

void OBJS_StartWave(void)
{
    think_cnt = 0;
    objuse_flag = 0;
}

void OBJS_DisplayStats(void)
{
    if (p_objs[OBJ_BOSSGAUGE]) {
        int b = ENEMY_GetBaseDamage();
        if (b <= 0) {
            // Two lines sweep in from the ends and back, a step a frame (counted from the
            // wave's frames, so a replayed wave shows them alike).
            int d = gl_cnt % 98;
            if (d > 49) d = 98 - d;
            GFX_VLine(110 + d, 190, 3, 68);
            GFX_VLine(209 - d, 190, 3, 68);
        } else {
            GFX_ColorBox(109, 191, 102, 8, 74);
            GFX_ColorBox(110, 192, b > 100 ? 100 : b, 6, 68);
        }
    }
    // A new pilot has no special weapon selected (-1): nothing is shown.
    if (ValidType(plr.sweapon))
        if (const uint8_t* pic = ANIMS_GetSprite(obj_lib[plr.sweapon].item))
            GFX_PutSprite(pic, kSpecialX, kSpecialY);
    if (p_objs[OBJ_SUPERSHIELD]) {
        int x = kIconX;
        for (OBJ_S* o = objs.first.next; o != &objs.last; o = o->next)
            if (o->type == OBJ_SUPERSHIELD) {
                if (const uint8_t* pic = ANIMS_GetSprite(ITM_ICON_SUPERSHIELD))
                    GFX_PutSprite(pic, x, 1);
                x += kIconStep;
            }
    }
    const uint8_t* bomb = ANIMS_GetSprite(ITM_ICON_MEGABOMB);
    if (OBJ_S* m = p_objs[OBJ_MEGABOMB]; m && bomb)
        for (int i = 0; i < m->num; i++)
            GFX_PutSprite(bomb, kIconX + kIconStep * i, 186);
}

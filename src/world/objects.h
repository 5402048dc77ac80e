// The pilot's inventory and money: guns, special weapons, mega bombs, shields and the boss
// gauge, held as records of fixed item types.
//
// The item library, adding and removing records, buying and selling at the store's
// prices, amounts, the selected special weapon, firing, damage, healing and losses, the
// shield's regeneration, and the status icons of the mission display. The pilot's money is
// its score.
#pragma once

#include <cstdint>

// Item types.
enum {
    OBJ_GUN1 = 0,
    OBJ_GUN2 = 1,
    OBJ_GUN3 = 2,
    OBJ_FIRSTSPECIAL = 3,
    OBJ_MEGABOMB = 11,
    OBJ_LASTSPECIAL = 14,
    OBJ_SUPERSHIELD = 15,
    OBJ_SHIELD = 16,
    OBJ_BOSSGAUGE = 17,
    OBJ_NUMTYPES = 24,
};
// Records one pilot can hold.
constexpr int OBJ_MAXRECORDS = 20;

struct OBJ_LIB {
    int item;         // first picture
    int numframes;    // pictures from `item` on
    int cost;         // price of one unit
    int num;          // units one purchase or pickup adds
    int max;          // most units one record holds
    int (*fire)(int); // the weapon; non-zero when it fired
    int keep;         // using it does not use it up; an empty record stays
    int onlyflag;     // one record per type, whose units grow
    int loseit;       // can be lost when the ship is hit
    int specialflag;  // a selectable special weapon
    int moneyflag;    // taking it pays `cost` instead of making a record
};

struct OBJ_S {
    OBJ_S* prev;
    OBJ_S* next;
    int32_t num;
    int32_t type;
    OBJ_LIB* lib;
    int32_t inuse;
};

extern OBJ_LIB obj_lib[OBJ_NUMTYPES];
extern OBJ_S* p_objs[OBJ_NUMTYPES];
extern int obj_cnt;

void OBJS_Init(void);
void OBJS_Clear(void);
void OBJS_CachePics(void);
void OBJS_FreePics(void);
OBJ_S* OBJS_Get(void);
// Returns the record that followed the removed one.
OBJ_S* OBJS_Remove(OBJ_S* obj);
// Appends a record read from a pilot file: 0 when the pool is full (the loader stops), 1
// otherwise. Records the game never holds (no such type, a money bonus) are passed over;
// amounts are kept within 0 and the type's limit.
int OBJS_Load(const OBJ_S* saved);
// After a pilot is loaded: the selected special weapon must be a special weapon the pilot
// holds, otherwise the next one held is selected (or none).
void OBJS_CheckSpecial(void);

// ---- the store ----------------------------------------------------------------------------
// 0 added, 2 no room, 3 no such type.
int OBJS_Add(int type);
void OBJS_Del(int type);
// 0 bought, 1 not enough money, 2 no room, 3 no such type.
int OBJS_Buy(int type);
// What is left of the type after selling one unit (see the code for the exact count).
int OBJS_Sell(int type);
int OBJS_CanBuy(int type);
int OBJS_CanSell(int type);
int OBJS_GetCost(int type);
int OBJS_GetResale(int type);

// ---- what the pilot holds -----------------------------------------------------------------
int OBJS_GetAmt(int type);
int OBJS_SubAmt(int type, int n);
int OBJS_GetTotal(int type);
int OBJS_GetNum(void);
// Walks the pilot's records in list order: null gives the first, a record the one after
// it; null at the end.
const OBJ_S* OBJS_Next(const OBJ_S* o);
int OBJS_IsOnly(int type);
// The library entry of a type; null for types outside 0..23.
OBJ_LIB* OBJS_GetLib(int type);
int OBJS_IsEquip(int type);
int OBJS_Equip(int type);
int OBJS_MakeSpecial(int type);
// Selects the next special weapon the pilot holds; returns it, or -1 when there is none.
int OBJS_GetNext(void);

// ---- the mission --------------------------------------------------------------------------
void OBJS_Use(int type);
int OBJS_SubEnergy(int damage);
int OBJS_AddEnergy(int amount);
// 1 when an item was taken from the pilot.
int OBJS_LoseObj(void);
void OBJS_Think(void);
// At each wave start: the shield's regeneration count begins afresh.
void OBJS_StartWave(void);
void OBJS_DisplayStats(void);

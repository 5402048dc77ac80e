// The pilot's inventory and money: guns, special weapons, mega bombs, shields and the boss
// gauge, held as records of fixed item types.
//
// What the mission needs is here: the item library, adding and removing records, amounts,
// the selected special weapon, firing, damage and healing, and the status icons. Buying
// and selling come with the store.
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
OBJ_S* OBJS_Remove(OBJ_S* obj);
// 0 added, 2 no room, 3 no such type.
int OBJS_Add(int type);
void OBJS_Del(int type);
int OBJS_GetAmt(int type);
int OBJS_SubAmt(int type, int n);
int OBJS_GetTotal(int type);
int OBJS_GetNum(void);
// The library entry of a type; null for types outside 0..23.
OBJ_LIB* OBJS_GetLib(int type);
int OBJS_IsEquip(int type);
int OBJS_MakeSpecial(int type);
// Selects the next special weapon the pilot holds; returns it, or -1 when there is none.
int OBJS_GetNext(void);
void OBJS_Use(int type);
int OBJS_SubEnergy(int damage);
int OBJS_AddEnergy(int amount);
int OBJS_LoseObj(void);
void OBJS_Think(void);
void OBJS_DisplayStats(void);

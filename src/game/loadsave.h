// Pilot records and their save files CHAR0000.FIL ... CHAR0009.FIL, and the data path.
#pragma once

#include <cstdint>

struct PLAYEROBJ {
    char name[20];
    char callsign[12];
    int32_t id_pic;
    int32_t score;
    int32_t sweapon;
    int32_t cur_game;
    int32_t game_wave[3];
    int32_t numobjs;
    int32_t diff[4];
    int32_t storeflag;
    int32_t trainflag;
};
static_assert(sizeof(PLAYEROBJ) == 88, "the pilot record is stored byte for byte");

extern PLAYEROBJ plr;
extern int filepos;
// Difficulty of the current episode for the current pilot (0 training .. 3 hard).
extern int curplr_diff;

void VUL_InitLoadSave(void);
const char* VUL_GetPath(void);
const char* VUL_SetupFilename(void);
int VUL_CheckFileInPath(const char* name);

void VUL_ClearPlayer(void);
// Takes the difficulty of the current episode from the pilot: curplr_diff and the
// enemies' difficulty mask cur_diff.
void VUL_SetPlayerDiff(void);

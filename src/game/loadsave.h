// Pilot records and their save files CHAR0000.FIL ... CHAR0009.FIL, and the data path.
#pragma once

#include <cstddef>
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

// A pilot file: the record, then one record per inventory entry, each block scrambled on
// its own with the access code.
constexpr int PLR_RECORDSIZE = 88;
constexpr int PLR_OBJRECORDSIZE = 24;
constexpr int PLR_SLOTS = 10;
// Portraits a pilot can have.
constexpr int PLR_PORTRAITS = 4;
// The largest pilot file: a full inventory.
constexpr int PLR_MAXFILE = PLR_RECORDSIZE + PLR_OBJRECORDSIZE * 20;

extern PLAYEROBJ plr;
extern int filepos;
// Difficulty of the current episode for the current pilot (0 training .. 3 hard).
extern int curplr_diff;

void VUL_InitLoadSave(void);
const char* VUL_GetPath(void);
const char* VUL_SetupFilename(void);
int VUL_CheckFileInPath(const char* name);
// The installed game's shared data folder, searched for archives after the working
// directory and the data path; empty when unknown.
const char* VUL_GetSharePath(void);
int VUL_CheckFileInShare(const char* name);

void VUL_ClearPlayer(void);
// Finds the first free slot and makes a fresh pilot for it: 1, or 0 when all ten are used.
int VUL_FFSaveFile(void);
// 1 when a stored pilot has the same name and call sign as `p`.
int VUL_IsSaveFile(const PLAYEROBJ* p);
// 1 when any pilot file exists.
int VUL_AreSavedFiles(void);
int VUL_IsPlayer(void);
// Loads the pilot of slot `filepos`: 1, or 0 (with a message) when the file is missing or
// damaged, leaving no half-loaded pilot behind.
int VUL_LoadPlayer(void);
// Reads and checks the pilot file of a slot without touching the current pilot: the record
// into `p` and its inventory records into `saved` (room for 20); returns their count, or
// -1 when the file is missing or damaged.
int VUL_ReadPilot(int slot, PLAYEROBJ* p, struct OBJ_S* saved);
// Saves the current pilot to its slot: 1, or 0 (with a message) when it could not be
// written, in which case the file on disk is the one saved before.
int VUL_SavePlayer(void);
// The load-pilot window: 1 when a pilot was loaded, 0 when the player backed out (or the
// chosen file would not load), -1 when there is no pilot file or none is left.
int VUL_LoadWin(void);
// The nearest slot from `slot` (wrapped into 0..9) in direction `dir` (1 or -1) whose
// `exists` entry is set; -1 when none is.
int VUL_NextPilot(const bool* exists, int slot, int dir);
// The full name of the pilot file of a slot.
void VUL_PilotFilename(int slot, char* buf, size_t len);

// The file bytes of the current pilot and its inventory; returns their count.
int VUL_EncodePilot(uint8_t* out, size_t size);
// Reads the record part of a pilot file (`len` bytes, still scrambled) into `p`: false when
// it is too short or a field is out of its range. Name and call sign come out terminated.
bool VUL_DecodePilot(const uint8_t* file, size_t len, PLAYEROBJ* p);
// Takes the difficulty of the current episode from the pilot: curplr_diff and the
// enemies' difficulty mask cur_diff.
void VUL_SetPlayerDiff(void);

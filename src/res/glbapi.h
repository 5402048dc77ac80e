// Resource archives FILE0000.GLB ... : items by id (archive << 16 | index) or by label.
//
// Item memory comes from the general heap until GLB_UseVM, and from the memory cache
// after it. Whoever keeps an item's pointer across other loads locks the item first:
// an unlocked item may be discarded by the cache at any allocation.
#pragma once

#include <cstdint>
#include <cstdio>

#include "game/i_system.h"
#include "res/vmemapi.h"

constexpr int GLB_MAX_FILES = 15;
constexpr int GLB_LABEL_LEN = 16;
constexpr uint32_t GLB_FLAG_ENCODED = 0x40000000;
constexpr uint32_t GLB_FLAG_LOCKED = 0x80000000;
// The item's memory came from the heap (loaded before GLB_UseVM) and goes back there.
constexpr uint32_t GLB_FLAG_HEAP = 0x20000000;
constexpr char GLB_ARCHIVE_KEY[] = "51207KQX";

struct ITEMDESC {
    char name[GLB_LABEL_LEN];
    VM_OWNER mem;
    uint32_t length;
    uint32_t offset;
    uint32_t flags;
    int32_t lock_cnt;
};

struct FILEDESC {
    char path[I_MAXFILEPATH];
    ITEMDESC* items;
    int32_t items_num;
    FILE* handle;
    const char* mode;
};

// Opens archives 0 .. innum-1 from the working directory or the folder of exepath (cut
// after its last '/'); returns how many have a non-empty directory. iprefix, when given,
// replaces "FILE" as the upper-case name prefix.
int GLB_InitSystem(const char* exepath, int innum, const char* iprefix);
// A last folder (ending in '/') to look in for archives, after the working directory and
// the folder of exepath; the installed game's shared data. Set before GLB_InitSystem.
void GLB_SetSharePath(const char* path);
void GLB_UseVM(void);
int GLB_GetItemID(const char* in_name);
// Loads if needed, discarding other items to make room. Ends the program when the item
// cannot be had.
uint8_t* GLB_GetItem(int handle);
// Loads if needed without discarding anything; null when there is no room or no data.
uint8_t* GLB_CacheItem(int handle);
// Loads if needed and pins the item until as many GLB_UnlockItem calls.
uint8_t* GLB_LockItem(int handle);
void GLB_UnlockItem(int handle);
void GLB_FreeItem(int handle);
// Releases every item that is not locked.
void GLB_FreeAll(void);
int GLB_ItemSize(int handle);
// True for a directory entry that only carries a label (no data).
bool GLB_IsLabel(int handle);
void GLB_ReadItem(int handle, uint8_t* buffer);
// Copies entry itemnum of archive filenum into inmem and returns its length; with a null
// inmem only the length. 0 when the entry does not exist or its data cannot be read.
int GLB_Load(uint8_t* inmem, int filenum, int itemnum);
// Reads a whole ordinary file (from the base folder when the name alone is not found) into
// a buffer of size bytes, never more; returns the bytes read, or with a null buffer the
// file's length. Ends the program when it cannot be read.
int GLB_ReadFile(const char* name, uint8_t* buffer, size_t size = SIZE_MAX);
// Writes a whole ordinary file; ends the program when it cannot be written.
int GLB_SaveFile(const char* name, const uint8_t* buffer, int length);
// Releases every item, closes the archives and returns to the state before
// GLB_InitSystem (heap loading, no archives). Call before VM_Shutdown.
void GLB_Shutdown(void);

// The keyed running-sum scrambler of archives and pilot files; each call is a fresh chain.
void GLB_EnCrypt(const char* key, uint8_t* buf, int length);
void GLB_DeCrypt(const char* key, uint8_t* buf, int length);

// Checking an archive's structure. The game's reader and glbtool's verify both go
// through these, so they agree on what a damaged archive is.
constexpr int GLB_HEADER_SIZE = 28;
constexpr int GLB_ENTRY_SIZE = 28;
// Ids keep 16 bits for the index, so entries past this many cannot be named.
constexpr int32_t GLB_MAX_ITEMS = 65536;

enum : uint32_t {
    GLB_FAULT_SHORT = 1u << 0,      // the file is shorter than a header
    GLB_FAULT_COUNT_NEG = 1u << 1,  // the header's count is below zero
    GLB_FAULT_COUNT_CUT = 1u << 2,  // the directory runs past the end of the file
    GLB_FAULT_COUNT_IDS = 1u << 3,  // more entries than ids can reach
    GLB_FAULT_DATA_RANGE = 1u << 4, // the entry's data does not lie inside the file
    GLB_FAULT_LABEL_TERM = 1u << 5, // the label has no NUL inside its 16 bytes
};

// Unscrambles a header (as stored) and returns how many directory entries a file of
// file_size bytes really holds: a negative count gives 0, a count whose directory runs
// past the end of the file is cut to the entries that fit, and no more entries are kept
// than ids can name. The stored count goes to *count when count is not null; the
// problems found are added to *faults. A file shorter than a header gives 0 and
// GLB_FAULT_SHORT without header being read.
int32_t GLB_CheckHeader(const uint8_t* header, uint64_t file_size, int32_t* count,
                        uint32_t* faults);
// Unscrambles one directory entry (as stored) into item and returns its problems. An
// entry whose data lies outside the file keeps no data, and an unterminated label is
// blanked, so a damaged entry can neither be loaded nor found by label.
uint32_t GLB_CheckEntry(const uint8_t* entry, uint64_t file_size, ITEMDESC* item);
// A short English description of one fault bit.
const char* GLB_FaultText(uint32_t fault);

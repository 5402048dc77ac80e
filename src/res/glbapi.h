// Resource archives FILE0000.GLB ... : items by id (archive << 16 | index) or by label.
#pragma once

#include <cstdint>
#include <cstdio>

#include "res/vmemapi.h"

constexpr int GLB_MAX_FILES = 15;
constexpr int GLB_LABEL_LEN = 16;
constexpr uint32_t GLB_FLAG_ENCODED = 0x40000000;
constexpr uint32_t GLB_FLAG_LOCKED = 0x80000000;
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
    char path[264];
    ITEMDESC* items;
    int32_t items_num;
    FILE* handle;
    const char* mode;
};

int GLB_InitSystem(const char* exepath, int innum, const char* iprefix);
void GLB_UseVM(void);
int GLB_GetItemID(const char* in_name);
uint8_t* GLB_GetItem(int handle);
uint8_t* GLB_CacheItem(int handle);
uint8_t* GLB_LockItem(int handle);
void GLB_UnlockItem(int handle);
void GLB_FreeItem(int handle);
void GLB_FreeAll(void);
int GLB_ItemSize(int handle);
bool GLB_IsLabel(int handle);
void GLB_ReadItem(int handle, uint8_t* buffer);
int GLB_Load(uint8_t* inmem, int filenum, int itemnum);
int GLB_ReadFile(const char* name, uint8_t* buffer);
int GLB_SaveFile(const char* name, const uint8_t* buffer, int length);

// The keyed running-sum scrambler of archives and pilot files; each call is a fresh chain.
void GLB_EnCrypt(const char* key, uint8_t* buf, int length);
void GLB_DeCrypt(const char* key, uint8_t* buf, int length);

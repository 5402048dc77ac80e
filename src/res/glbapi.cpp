#include "res/glbapi.h"

#include <cstring>

void GLB_EnCrypt(const char* key, uint8_t* buf, int length)
{
    int keylen = static_cast<int>(strlen(key));
    if (keylen == 0 || length <= 0) return;
    int pos = 25 % keylen;
    uint8_t prev = static_cast<uint8_t>(key[pos]);
    for (int i = 0; i < length; i++) {
        buf[i] = static_cast<uint8_t>(buf[i] + key[pos] + prev);
        prev = buf[i];
        if (++pos >= keylen) pos = 0;
    }
}

void GLB_DeCrypt(const char* key, uint8_t* buf, int length)
{
    int keylen = static_cast<int>(strlen(key));
    if (keylen == 0 || length <= 0) return;
    int pos = 25 % keylen;
    uint8_t prev = static_cast<uint8_t>(key[pos]);
    for (int i = 0; i < length; i++) {
        uint8_t stored = buf[i];
        buf[i] = static_cast<uint8_t>(stored - key[pos] - prev);
        prev = stored;
        if (++pos >= keylen) pos = 0;
    }
}

int GLB_InitSystem(const char*, int, const char*) { return 0; }
void GLB_UseVM(void) {}
int GLB_GetItemID(const char*) { return -1; }
uint8_t* GLB_GetItem(int) { return nullptr; }
uint8_t* GLB_CacheItem(int) { return nullptr; }
uint8_t* GLB_LockItem(int) { return nullptr; }
void GLB_UnlockItem(int) {}
void GLB_FreeItem(int) {}
void GLB_FreeAll(void) {}
int GLB_ItemSize(int) { return 0; }
bool GLB_IsLabel(int) { return false; }
void GLB_ReadItem(int, uint8_t*) {}
int GLB_Load(uint8_t*, int, int) { return 0; }
int GLB_ReadFile(const char*, uint8_t*) { return 0; }
int GLB_SaveFile(const char*, const uint8_t*, int) { return 0; }

#include "game/prefapi.h"

#include <cstring>

int INI_InitPreference(const char*) { return 0; }
int INI_GetPreferenceLong(const char*, const char*, int defvalue) { return defvalue; }
int INI_GetPreferenceHex(const char*, const char*, int defvalue) { return defvalue; }
int INI_GetPreferenceBool(const char*, const char*, short defvalue) { return defvalue; }
char* INI_GetPreference(const char*, const char*, char* buf, int len, const char* def)
{
    if (buf && len > 0) {
        buf[0] = '\0';
        if (def) strncat(buf, def, len - 1);
    }
    return buf;
}
int INI_PutPreferenceLong(const char*, const char*, int) { return 0; }
int INI_PutPreferenceHex(const char*, const char*, int) { return 0; }
int INI_PutPreferenceBool(const char*, const char*, short) { return 0; }
int INI_PutPreference(const char*, const char*, const char*) { return 0; }
int INI_DeletePreference(const char*, const char*) { return 0; }
void VUL_WriteDefaultSetup(void) {}

#include "setup/se_prefapi.h"

#include <cstring>

const char* VUL_DataPath(void) { return ""; }
const char* VUL_GetSetupPath(void) { return "setup.ini"; }

int SE_INI_InitPreference(const char*) { return 0; }
int SE_INI_GetPreferenceLong(const char*, const char*, int defvalue) { return defvalue; }
int SE_INI_GetPreferenceHex(const char*, const char*, int defvalue) { return defvalue; }
int SE_INI_GetPreferenceBool(const char*, const char*, short defvalue) { return defvalue; }
char* SE_INI_GetPreference(const char*, const char*, char* buf, int len, const char* def)
{
    if (buf && len > 0) {
        buf[0] = '\0';
        if (def) strncat(buf, def, len - 1);
    }
    return buf;
}
int SE_INI_PutPreferenceLong(const char*, const char*, int) { return 0; }
int SE_INI_PutPreferenceHex(const char*, const char*, int) { return 0; }
int SE_INI_PutPreferenceBool(const char*, const char*, short) { return 0; }
int SE_INI_PutPreference(const char*, const char*, const char*) { return 0; }
int SE_INI_DeletePreference(const char*, const char*) { return 0; }

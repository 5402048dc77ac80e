// The setup tool's front end to the preference file: the same reader and writer as the
// game's, remembering a file of its own.
#include "setup/se_prefapi.h"

#include <cstdlib>
#include <unistd.h>

#include "game/i_system.h"
#include "game/m_misc.h"
#include "game/prefapi.h"
#include "game/vul.h"

static char se_datapath[kIniPathMax];
static char se_setuppath[kIniPathMax];
static char se_profilepath[kIniPathMax];

// Worked out afresh on every call: the setup runs before the game has settled on a
// file, and the first save may create one.
const char* VUL_DataPath(void)
{
    // Without a data folder there is nowhere to keep settings or pilots; the game stops
    // for the same reason, and says so.
    if (!I_GetPrefPath(se_datapath, sizeof(se_datapath))) VUL_MissingData();
    return se_datapath;
}

const char* VUL_GetSetupPath(void)
{
    const char* dir = VUL_DataPath();
    M_snprintf(se_setuppath, sizeof(se_setuppath), "%ssetup.ini", dir);
    if (access(se_setuppath, F_OK) != 0)
        M_snprintf(se_setuppath, sizeof(se_setuppath), "%sSETUP.INI", dir);
    return se_setuppath;
}

int SE_INI_InitPreference(const char* profile)
{
    return INI_FileInit(se_profilepath, profile);
}

int SE_INI_GetPreferenceLong(const char* section, const char* key, int defvalue)
{
    return INI_FileGetLong(se_profilepath, section, key, defvalue);
}

int SE_INI_GetPreferenceHex(const char* section, const char* key, int defvalue)
{
    return INI_FileGetHex(se_profilepath, section, key, defvalue);
}

int SE_INI_GetPreferenceBool(const char* section, const char* key, short defvalue)
{
    return INI_FileGetBool(se_profilepath, section, key, defvalue);
}

char* SE_INI_GetPreference(const char* section, const char* key, char* buf, int len,
                           const char* def)
{
    return INI_FileGet(se_profilepath, section, key, buf, len, def);
}

int SE_INI_PutPreferenceLong(const char* section, const char* key, int value)
{
    return INI_FilePutLong(se_profilepath, section, key, value);
}

int SE_INI_PutPreferenceHex(const char* section, const char* key, int value)
{
    return INI_FilePutHex(se_profilepath, section, key, value);
}

int SE_INI_PutPreferenceBool(const char* section, const char* key, short value)
{
    return INI_FilePutBool(se_profilepath, section, key, value);
}

int SE_INI_PutPreference(const char* section, const char* key, const char* value)
{
    if (!value) return 0;
    return INI_FilePut(se_profilepath, section, key, value);
}

int SE_INI_DeletePreference(const char* section, const char* key)
{
    return INI_FileDelete(se_profilepath, section, key);
}

#include "game/loadsave.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "game/i_system.h"
#include "game/m_misc.h"
#include "game/vul.h"
#include "world/objects.h"

PLAYEROBJ plr;
int filepos = -1;
int curplr_diff;

static char cdpath[512];
static char setupfile[576];

void VUL_InitLoadSave(void)
{
    if (!I_GetPrefPath(cdpath, sizeof(cdpath))) exit(0);
    M_snprintf(setupfile, sizeof(setupfile), "%s%s", cdpath,
               VUL_CheckFileInPath("setup.ini") ? "setup.ini" : "SETUP.INI");
}

const char* VUL_GetPath(void)
{
    return cdpath;
}

const char* VUL_SetupFilename(void)
{
    return setupfile;
}

int VUL_CheckFileInPath(const char* name)
{
    char path[640];
    M_snprintf(path, sizeof(path), "%s%s", cdpath, name);
    return access(path, F_OK) == 0;
}

void VUL_ClearPlayer(void)
{
    OBJS_Clear();
    filepos = -1;
    memset(&plr, 0, sizeof(plr));
    plr.sweapon = -1;
    for (int& d : plr.diff)
        d = 2;
    cur_game = 0;
    for (int& w : game_wave)
        w = 0;
}

void VUL_SetPlayerDiff(void)
{
    curplr_diff = cur_game >= 0 && cur_game < 4 ? plr.diff[cur_game] : 2;
    switch (curplr_diff) {
    case 0:
    case 1:
        cur_diff = 8;
        break;
    case 3:
        cur_diff = 56;
        break;
    default:
        cur_diff = 24;
        break;
    }
}

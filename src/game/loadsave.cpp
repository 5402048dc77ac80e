#include "game/loadsave.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "game/i_system.h"
#include "game/m_misc.h"
#include "game/prefapi.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/i_video.h"
#include "input/input.h"
#include "input/joyapi.h"
#include "input/kbdapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "ui/swdapi.h"
#include "res/glbapi.h"
#include "ui/windows.h"
#include "world/objects.h"

PLAYEROBJ plr;
int filepos = -1;
int curplr_diff;

static char cdpath[I_MAXPATH];
static char setupfile[I_MAXFILEPATH];
static char sharepath[I_MAXPATH];

void VUL_InitLoadSave(void)
{
    // Without a data folder there is nowhere to find the archives or keep the settings.
    if (!I_GetPrefPath(cdpath, sizeof(cdpath))) VUL_MissingData();
    M_snprintf(setupfile, sizeof(setupfile), "%s%s", cdpath,
               VUL_CheckFileInPath("setup.ini") ? "setup.ini" : "SETUP.INI");
    // An installed game also finds its archives in the shared data folder.
    if (!I_GetSharePath(sharepath, sizeof(sharepath))) sharepath[0] = '\0';
}

const char* VUL_GetSharePath(void)
{
    return sharepath;
}

const char* VUL_GetPath(void)
{
    return cdpath;
}

const char* VUL_SetupFilename(void)
{
    return setupfile;
}

static int CheckFileIn(const char* folder, const char* name)
{
    if (!folder[0]) return 0;
    char path[I_MAXFILEPATH];
    if (!M_StringCopy(path, folder, sizeof(path)) || !M_StringConcat(path, name, sizeof(path)))
        return 0;
    return access(path, F_OK) == 0;
}

int VUL_CheckFileInPath(const char* name)
{
    return CheckFileIn(cdpath, name);
}

int VUL_CheckFileInShare(const char* name)
{
    return CheckFileIn(sharepath, name);
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

// ---------------------------------------------------------------------------------------
// Pilot files

namespace
{

void PutLong(uint8_t* p, int32_t v)
{
    uint32_t u = static_cast<uint32_t>(v);
    p[0] = static_cast<uint8_t>(u);
    p[1] = static_cast<uint8_t>(u >> 8);
    p[2] = static_cast<uint8_t>(u >> 16);
    p[3] = static_cast<uint8_t>(u >> 24);
}

int32_t GetLong(const uint8_t* p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 |
                                static_cast<uint32_t>(p[3]) << 24);
}

// Field offsets of the record in the file.
enum {
    kName = 0,
    kCallsign = 20,
    kIdPic = 32,
    kScore = 36,
    kSweapon = 40,
    kCurGame = 44,
    kGameWave = 48,
    kNumObjs = 60,
    kDiff = 64,
    kStoreFlag = 80,
    kTrainFlag = 84,
};

// Waves an episode has at most, and the episodes.
constexpr int kMaxWaves = 9;
constexpr int kEpisodes = 4;

void EncodeRecord(const PLAYEROBJ& p, uint8_t* out)
{
    memset(out, 0, PLR_RECORDSIZE);
    memcpy(out + kName, p.name, sizeof(p.name));
    memcpy(out + kCallsign, p.callsign, sizeof(p.callsign));
    PutLong(out + kIdPic, p.id_pic);
    PutLong(out + kScore, p.score);
    PutLong(out + kSweapon, p.sweapon);
    PutLong(out + kCurGame, p.cur_game);
    for (int i = 0; i < 3; i++)
        PutLong(out + kGameWave + 4 * i, p.game_wave[i]);
    PutLong(out + kNumObjs, p.numobjs);
    for (int i = 0; i < kEpisodes; i++)
        PutLong(out + kDiff + 4 * i, p.diff[i]);
    PutLong(out + kStoreFlag, p.storeflag);
    PutLong(out + kTrainFlag, p.trainflag);
}

bool InRange(int32_t v, int lo, int hi)
{
    return v >= lo && v <= hi;
}

// Decodes a descrambled record, refusing fields that the game would use as an index.
bool DecodeRecord(const uint8_t* in, PLAYEROBJ* p)
{
    PLAYEROBJ r = {};
    memcpy(r.name, in + kName, sizeof(r.name));
    memcpy(r.callsign, in + kCallsign, sizeof(r.callsign));
    r.name[sizeof(r.name) - 1] = 0;
    r.callsign[sizeof(r.callsign) - 1] = 0;
    r.id_pic = GetLong(in + kIdPic);
    r.score = GetLong(in + kScore);
    r.sweapon = GetLong(in + kSweapon);
    r.cur_game = GetLong(in + kCurGame);
    for (int i = 0; i < 3; i++)
        r.game_wave[i] = GetLong(in + kGameWave + 4 * i);
    r.numobjs = GetLong(in + kNumObjs);
    for (int i = 0; i < kEpisodes; i++)
        r.diff[i] = GetLong(in + kDiff + 4 * i);
    r.storeflag = GetLong(in + kStoreFlag);
    r.trainflag = GetLong(in + kTrainFlag);

    bool ok = InRange(r.id_pic, 0, PLR_PORTRAITS - 1) && InRange(r.cur_game, 0, kEpisodes - 1) &&
              InRange(r.numobjs, 0, OBJ_MAXRECORDS);
    for (int w : r.game_wave)
        ok = ok && InRange(w, 0, kMaxWaves - 1);
    for (int d : r.diff)
        ok = ok && InRange(d, 0, 3);
    // Any value that is not a special weapon means none.
    if (!InRange(r.sweapon, OBJ_FIRSTSPECIAL, OBJ_LASTSPECIAL)) r.sweapon = -1;
    if (ok) *p = r;
    return ok;
}

// Reads a whole pilot file into `buf`; returns its length, or -1 when it cannot be read or
// is larger than any pilot file.
int ReadPilotFile(const char* path, uint8_t* buf, size_t size)
{
    FILE* f = fopen(path, "rb");
    if (!f) return -1;
    size_t n = fread(buf, 1, size, f);
    bool more = fgetc(f) != EOF;
    bool bad = ferror(f) != 0;
    fclose(f);
    return more || bad ? -1 : static_cast<int>(n);
}

bool SlotExists(int slot)
{
    char path[kIniPathMax + 16];
    VUL_PilotFilename(slot, path, sizeof(path));
    return access(path, F_OK) == 0;
}

// Resets the pilot the way a new one starts, in slot `slot`.
void FreshPilot(int slot)
{
    VUL_ClearPlayer();
    filepos = slot;
}

} // namespace

void VUL_PilotFilename(int slot, char* buf, size_t len)
{
    M_snprintf(buf, len, "%sCHAR%04u.FIL", cdpath, static_cast<unsigned>(slot));
}

bool VUL_DecodePilot(const uint8_t* file, size_t len, PLAYEROBJ* p)
{
    if (len < PLR_RECORDSIZE) return false;
    uint8_t rec[PLR_RECORDSIZE];
    memcpy(rec, file, sizeof(rec));
    GLB_DeCrypt(vul_accesscode, rec, PLR_RECORDSIZE);
    return DecodeRecord(rec, p);
}

int VUL_EncodePilot(uint8_t* out, size_t size)
{
    int n = 0;
    for (const OBJ_S* o = OBJS_Next(nullptr); o; o = OBJS_Next(o))
        n++;
    size_t total = PLR_RECORDSIZE + static_cast<size_t>(n) * PLR_OBJRECORDSIZE;
    if (total > size) return 0;
    PLAYEROBJ p = plr;
    p.cur_game = cur_game;
    for (int i = 0; i < 3; i++)
        p.game_wave[i] = game_wave[i];
    p.numobjs = n;
    EncodeRecord(p, out);
    uint8_t* rec = out + PLR_RECORDSIZE;
    for (const OBJ_S* o = OBJS_Next(nullptr); o; o = OBJS_Next(o), rec += PLR_OBJRECORDSIZE) {
        // The first two and the fifth words are not read back; they are written as 0.
        memset(rec, 0, PLR_OBJRECORDSIZE);
        PutLong(rec + 8, o->num);
        PutLong(rec + 12, o->type);
        PutLong(rec + 20, o->inuse);
    }
    GLB_EnCrypt(vul_accesscode, out, PLR_RECORDSIZE);
    GLB_EnCrypt(vul_accesscode, out + PLR_RECORDSIZE, n * PLR_OBJRECORDSIZE);
    return static_cast<int>(total);
}

int VUL_FFSaveFile(void)
{
    for (int slot = 0; slot < PLR_SLOTS; slot++)
        if (!SlotExists(slot)) {
            FreshPilot(slot);
            return 1;
        }
    return 0;
}

int VUL_IsSaveFile(const PLAYEROBJ* p)
{
    uint8_t buf[PLR_MAXFILE];
    for (int slot = 0; slot < PLR_SLOTS; slot++) {
        char path[kIniPathMax + 16];
        VUL_PilotFilename(slot, path, sizeof(path));
        int len = ReadPilotFile(path, buf, sizeof(buf));
        PLAYEROBJ other;
        if (len < 0 || !VUL_DecodePilot(buf, static_cast<size_t>(len), &other)) continue;
        if (strncmp(other.name, p->name, sizeof(p->name)) == 0 &&
            strncmp(other.callsign, p->callsign, sizeof(p->callsign)) == 0)
            return 1;
    }
    return 0;
}

int VUL_AreSavedFiles(void)
{
    for (int slot = 0; slot < PLR_SLOTS; slot++)
        if (SlotExists(slot)) return 1;
    return 0;
}

int VUL_IsPlayer(void)
{
    return filepos != -1;
}

int VUL_ReadPilot(int slot, PLAYEROBJ* p, OBJ_S* saved)
{
    if (slot < 0 || slot >= PLR_SLOTS) return -1;
    char path[kIniPathMax + 16];
    VUL_PilotFilename(slot, path, sizeof(path));
    uint8_t buf[PLR_MAXFILE];
    int len = ReadPilotFile(path, buf, sizeof(buf));
    PLAYEROBJ r;
    if (len < 0 || !VUL_DecodePilot(buf, static_cast<size_t>(len), &r) ||
        len != PLR_RECORDSIZE + r.numobjs * PLR_OBJRECORDSIZE)
        return -1;

    uint8_t* recs = buf + PLR_RECORDSIZE;
    GLB_DeCrypt(vul_accesscode, recs, r.numobjs * PLR_OBJRECORDSIZE);
    int shield = 0;
    for (int i = 0; i < r.numobjs; i++) {
        const uint8_t* rec = recs + i * PLR_OBJRECORDSIZE;
        OBJ_S& o = saved[i];
        o = {};
        o.num = GetLong(rec + 8);
        o.type = GetLong(rec + 12);
        o.inuse = GetLong(rec + 20) != 0;
        const OBJ_LIB* lib = OBJS_GetLib(o.type);
        if (!lib || lib->moneyflag || !InRange(o.num, 0, lib->max)) return -1;
        if (o.type == OBJ_SHIELD && o.inuse) shield = o.num;
    }
    // Only a pilot with a shield left is ever saved.
    if (shield <= 0) return -1;
    *p = r;
    return r.numobjs;
}

int VUL_LoadPlayer(void)
{
    // Everything is checked before the current pilot is replaced: a damaged file is
    // refused whole and the game goes on with the pilot it had.
    PLAYEROBJ p;
    OBJ_S saved[OBJ_MAXRECORDS];
    int n = VUL_ReadPilot(filepos, &p, saved);
    if (n < 0) {
        if (filepos != -1) WIN_Msg("Load Player Error");
        return 0;
    }
    int slot = filepos;
    OBJS_Clear();
    plr = p;
    filepos = slot;
    for (int i = 0; i < n; i++)
        if (!OBJS_Load(&saved[i])) break;
    cur_game = plr.cur_game;
    for (int i = 0; i < 3; i++)
        game_wave[i] = plr.game_wave[i];
    OBJS_CheckSpecial();
    VUL_SetPlayerDiff();
    return 1;
}

int VUL_SavePlayer(void)
{
    // Only a live pilot with a slot is ever saved: anything else is a fault of the caller.
    if (filepos < 0 || filepos >= PLR_SLOTS || OBJS_GetAmt(OBJ_SHIELD) <= 0) exit(0);
    uint8_t buf[PLR_MAXFILE];
    int len = VUL_EncodePilot(buf, sizeof(buf));
    char path[kIniPathMax + 16];
    VUL_PilotFilename(filepos, path, sizeof(path));
    if (len <= 0 || !I_ReplaceFile(path, buf, static_cast<size_t>(len))) {
        WIN_Msg("Save Player Error !!!");
        return 0;
    }
    return 1;
}

// ---- the load-pilot window -----------------------------------------------------------------

namespace
{

// Steps from `slot` (wrapped into 0..9) in direction `dir` to the nearest existing pilot;
// -1 when none is left.
int FindSlot(const bool* exists, int slot, int dir)
{
    slot = ((slot % PLR_SLOTS) + PLR_SLOTS) % PLR_SLOTS;
    for (int i = 0; i < PLR_SLOTS; i++, slot = (slot + dir + PLR_SLOTS) % PLR_SLOTS)
        if (exists[slot]) return slot;
    return -1;
}

void ShowPilot(int w, int slot)
{
    PLAYEROBJ p{};
    OBJ_S saved[OBJ_MAXRECORDS];
    const bool read = VUL_ReadPilot(slot, &p, saved) >= 0;
    char score[16] = "";
    // A file that cannot be read shows an empty record, not the pilot shown before it.
    if (read) M_snprintf(score, sizeof(score), "%07u", static_cast<unsigned>(p.score));
    SWD_SetFieldItem(w, 1, read ? id_pics[p.id_pic] : -1);
    SWD_SetFieldText(w, 9, p.name);
    SWD_SetFieldText(w, 10, p.callsign);
    SWD_SetFieldText(w, 12, score);
    SWD_ShowAllWindows();
    GFX_DisplayUpdate();
    if (!read) {
        WIN_Msg("File open Error");
        return;
    }
    SND_Patch(20, 127);
}

} // namespace

int VUL_NextPilot(const bool* exists, int slot, int dir)
{
    return FindSlot(exists, slot, dir);
}

int VUL_LoadWin(void)
{
    bool exists[PLR_SLOTS];
    for (int i = 0; i < PLR_SLOTS; i++)
        exists[i] = SlotExists(i);
    int cur = FindSlot(exists, 0, 1);
    if (cur < 0) return -1;

    KBD_Clear();
    int w = SWD_InitWindow(ITM_WIN_LOADPILOT);
    if (w < 0) return 0;
    SWD_SetActiveField(w, 5);
    ShowPilot(w, cur);

    int result = -2;
    SWD_DLG dlg{};
    while (result == -2) {
        SWD_Dialog(&dlg);
        I_GetNeedResize(false);
        GFX_DisplayUpdate();
        if (dlg.keypress == SC_ESCAPE || keyboard[SC_ESCAPE] ||
            (joy_ipt_MenuNew && (JOY_IsKey(JOY_BACK) || JOY_IsKey(JOY_B)))) {
            result = 0;
            break;
        }
        if (keyboard[SC_ALT] && keyboard[45]) WIN_AskExit();
        int button = -1;
        switch (dlg.keypress) {
        case SC_ENTER:
            button = 5;
            break;
        case SC_UP:
        case 73: // page up
        case SC_RIGHT:
            button = 3;
            break;
        case SC_LEFT:
        case SC_DOWN:
        case 81: // page down
            button = 2;
            break;
        case SC_DELETE:
            button = 4;
            break;
        default:
            if (dlg.cur_act == ACT_FIELD && dlg.cur_cmd == F_SELECT) button = dlg.field;
        }
        int want = cur, dir = 1;
        switch (button) {
        case 3:
            want = cur - 1;
            dir = -1;
            break;
        case 2:
            want = cur + 1;
            break;
        case 4: {
            char q[64];
            M_snprintf(q, sizeof(q), "Delete Pilot %s ?", "");
            PLAYEROBJ p{};
            OBJ_S saved[OBJ_MAXRECORDS];
            if (VUL_ReadPilot(cur, &p, saved) >= 0)
                M_snprintf(q, sizeof(q), "Delete Pilot %s ?", p.callsign);
            if (!WIN_AskBool(q)) break;
            char path[kIniPathMax + 16];
            VUL_PilotFilename(cur, path, sizeof(path));
            // Only a file that is really gone is reported gone.
            if (remove(path) != 0 && access(path, F_OK) == 0) {
                WIN_Msg("Pilot NOT Removed !");
                break;
            }
            WIN_Msg("Pilot Removed !");
            exists[cur] = false;
            if (filepos == cur) filepos = -1;
            want = cur + 1;
            break;
        }
        case 5: {
            const int old = filepos;
            filepos = cur;
            // A pilot that fails to load leaves the one in play as it was.
            if (VUL_LoadPlayer()) {
                result = 1;
            } else {
                filepos = old;
            }
            break;
        }
        case 6:
            result = 0;
            break;
        default:
            break;
        }
        if (result != -2) break;
        if (want != cur || !exists[cur]) {
            int next = FindSlot(exists, want, dir);
            if (next < 0) {
                result = -1;
                break;
            }
            cur = next;
            ShowPilot(w, cur);
        }
    }
    SWD_DestroyWindow(w);
    SWD_ShowAllWindows();
    GFX_DisplayUpdate();
    return result;
}

// Start-up, the endless menu loop, the quit sequence and shutdown.
#include "game/vul.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

#include "game/demo.h"
#include "game/i_system.h"
#include "game/loadsave.h"
#include "game/m_misc.h"
#include "game/prefapi.h"
#include "game/usage.h"
#include "gfx/gfxapi.h"
#include "gfx/i_lastscr.h"
#include "gfx/i_video.h"
#include "gfx/ptrapi.h"
#include "input/input.h"
#include "input/joyapi.h"
#include "input/kbdapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "res/vmemapi.h"
#include "setup/se_main.h"
#include "sound/fx.h"
#include "ui/help.h"
#include "ui/intro.h"
#include "ui/swdapi.h"
#include "ui/windows.h"
#include "world/anims.h"
#include "world/bonus.h"
#include "world/eshot.h"
#include "world/flame.h"
#include "world/objects.h"
#include "world/shadow.h"
#include "world/shots.h"
#include "world/tile.h"

int godmode;
int demo_flag;
int cur_diff;
int gameflag[4];
int cur_game;
int game_wave[4];
uint8_t* palette;
uint8_t* cursor_pic;
int lship[7], dship[7], fship[7];
uint8_t* flatlib[4];
uint8_t* numbers[11];
uint8_t* g_highmem;
int bday_num = -1;
int bday_flag;

const char vul_accesscode[] = "GANTRY";

void (*vul_menuhook)(void);

static constexpr uint32_t kHighMemSize = 4808688;

static const char kMissingData[] = "All game data files NOT FOUND cannot proceed !!";

static constexpr auto& flatnames = ITM_FLATS_LABELS;

struct BDAY {
    int month;        // 1..12
    int day;          // 0 marks an empty entry
    int year;         // first year the greeting plays
    const char* name; // shown in the start-up log
};

// The team's own birthdays.
static constexpr BDAY bday[6] = {
    {3, 14, 1994, "Ines"}, {7, 2, 1990, "Tomas"},  {11, 23, 1996, "Keiko"},
    {1, 9, 1988, "Ruben"}, {5, 30, 1992, "Amara"}, {9, 17, 1985, "Lasse"},
};

// Greeting effect per birthday entry; entry 4 plays its effect twice.
static constexpr int bday_fx[6] = {3, 7, 4, 1, 2, 6};

void VUL_Bday(time_t now)
{
    struct tm local;
    localtime_r(&now, &local);

    bday_flag = 0;
    bday_num = -1;
    for (int i = 0; i < 6; i++) {
        if (bday[i].day == 0) continue;
        if (bday[i].month != local.tm_mon + 1 || bday[i].day != local.tm_mday) continue;
        if (local.tm_year + 1900 < bday[i].year) continue;
        bday_num = i;
        if (i == 0) bday_flag = 1;
    }
}

void VUL_InitMem(void)
{
    g_highmem = static_cast<uint8_t*>(calloc(kHighMemSize, 1));
    if (!g_highmem) exit(0);
    VM_InitMemory(g_highmem, kHighMemSize);
    GLB_UseVM();
}

static bool FileExists(const char* name)
{
    return access(name, F_OK) == 0;
}

// Where an archive was found: in the working directory, the data path, the installed
// game's shared data folder (any of them at once).
struct ARCHIVE_PLACE {
    bool here;
    bool datapath;
    bool share;
};

static ARCHIVE_PLACE VUL_FindArchive(int num)
{
    char upper[32], lower[32];
    M_snprintf(upper, sizeof(upper), "FILE%04d.GLB", num);
    M_snprintf(lower, sizeof(lower), "file%04d.glb", num);
    ARCHIVE_PLACE place;
    place.here = FileExists(upper) || FileExists(lower);
    place.datapath = VUL_CheckFileInPath(upper) || VUL_CheckFileInPath(lower);
    place.share = VUL_CheckFileInShare(upper) || VUL_CheckFileInShare(lower);
    return place;
}

static void VUL_CheckArchives(void)
{
    ARCHIVE_PLACE files[5];
    for (int i = 0; i < 5; i++)
        files[i] = VUL_FindArchive(i);

    auto present = [](ARCHIVE_PLACE p) { return p.here || p.datapath || p.share; };
    gameflag[0] = present(files[1]);
    gameflag[1] = present(files[2]);
    // Episodes 3 and 4 come as a pair from one place.
    int pair = (files[3].here && files[4].here) || (files[3].datapath && files[4].datapath) ||
               (files[3].share && files[4].share);
    gameflag[2] = gameflag[3] = pair;

    bool any = gameflag[0] || gameflag[1] || gameflag[2] || gameflag[3];
    if (present(files[0]) && any) return;
    VUL_MissingData();
}

void VUL_MissingData(void)
{
    printf("%s\n", kMissingData);
    fflush(stdout);
    I_ErrorBox("Vultar", kMissingData);
    exit(0);
}

static void VUL_CommandLine(int argc, char* argv[])
{
    if (argc > 1) {
        // A file name is required after either word; a word without one is ignored.
        if (strcmp(argv[1], "REC") == 0 && argc > 2) {
            DEMO_SetFileName(argv[2]);
            demo_flag = 1;
            printf("DEMO RECORD enabled\n");
        } else if (strcmp(argv[1], "PLAY") == 0 && argc > 2 && FileExists(argv[2])) {
            DEMO_SetFileName(argv[2]);
            demo_flag = 2;
            printf("DEMO PLAYBACK enabled\n");
        } else if (strcmp(argv[1], "TIMEDEMO") == 0 && argc > 2 && FileExists(argv[2])) {
            // Plays the demo as fast as the machine allows, prints the frame rate, quits.
            DEMO_SetFileName(argv[2]);
            DEMO_SetTimedemo(1);
            demo_flag = 2;
            printf("TIMEDEMO enabled\n");
        }
    }
    if (godmode) printf("GOD mode enabled\n");
}

// Locks a picture the game keeps for the whole run; a damaged one ends the program as a
// missing one does.
static uint8_t* VUL_LockPicture(int item)
{
    uint8_t* pic = GLB_LockItem(item);
    if (!GFX_CheckPic(pic, GLB_ItemSize(item))) exit(0);
    return pic;
}

// Loads what stays in memory for the whole run (palette, pointer, attribute libraries,
// HUD digits), initialises the battlefield modules and opens the game window. Needs the
// archives open and the cache in place.
void VUL_LoadGraphics(int ptrflag)
{
    printf("Loading Graphics\n");
    palette = GLB_LockItem(ITM_PALETTE);
    if (GLB_ItemSize(ITM_PALETTE) < 768) exit(0);
    memset(palette, 0, 3);

    SHADOW_Init();
    FLAME_Init();
    fflush(stdout);

    if (ptrflag) {
        cursor_pic = GLB_LockItem(ITM_POINTER);
        PTR_SetPic(cursor_pic, GLB_ItemSize(ITM_POINTER));
        PTR_SetPos(160, 100);
        PTR_DrawCursor(0);
    }

    for (int k = 0; k < ITM_SHIPFRAMES; k++) {
        lship[k] = ITM_LSHIP + k;
        if (gameflag[1]) {
            dship[k] = ITM_DSHIP + k;
            fship[k] = ITM_FSHIP + k;
        }
    }

    for (int k = 0; k < 4; k++)
        flatlib[k] = gameflag[k] ? GLB_LockItem(GLB_GetItemID(flatnames[k])) : nullptr;

    for (int k = 0; k < ITM_NUMBERCOUNT; k++)
        numbers[k] = VUL_LockPicture(ITM_NUMBERS + k);

    FLAME_InitShades();
    HELP_Init();
    OBJS_Init();
    TILE_Init();
    SHOTS_Init();
    ESHOT_Init();
    BONUS_Init();
    ANIMS_Init();
    SND_Setup();

    GFX_SetPalRange(0, 239);
    GFX_InitVideo(palette);
    SHADOW_MakeShades();
}

// With VULTAR_STARTUP_TIMES in the environment, start-up prints how long each stage took
// once the main menu is reached.
static struct {
    bool on;
    uint32_t start, last;
    char line[256];
} startup;

static void StartupMark(const char* stage)
{
    if (!startup.on) return;
    uint32_t t = I_GetTicks();
    char part[48];
    M_snprintf(part, sizeof(part), "%s%s %u", startup.line[0] ? ", " : "", stage, t - startup.last);
    M_StringConcat(startup.line, part, sizeof(startup.line));
    startup.last = t;
}

extern "C" int SDL_main(int argc, char* argv[])
{
    startup.on = getenv("VULTAR_STARTUP_TIMES") != nullptr;
    startup.start = startup.last = I_GetTicks();
    // Help and version are answered before any window, sound or file is touched.
    if (VUL_HelpWords(argc, argv)) {
        fflush(stdout);
        exit(0);
    }

    // A timedemo is a measuring run: it does not stop at the interactive start screen.
    if (!(argc > 1 && strcmp(argv[1], "TIMEDEMO") == 0)) StartScreen();

    const char* qx_mode = getenv("QX_MODE");

    printf("VULTAR: V1.2                                   \n");

    VUL_InitLoadSave();
    if (!FileExists(VUL_SetupFilename())) {
        INI_InitPreference(VUL_SetupFilename());
        VUL_WriteDefaultSetup();
    }

    godmode = 0;
    if (qx_mode && strcmp(qx_mode, vul_accesscode) == 0) godmode = 1;

    VUL_CommandLine(argc, argv);

    cur_diff = 0;

    VUL_CheckArchives();

    printf("Init -\n");

    VUL_Bday(time(nullptr));
    if (bday_num != -1) printf("Birthday() = %s\n", bday[bday_num].name);

    if (!FileExists(VUL_SetupFilename()) || !INI_InitPreference(VUL_SetupFilename())) exit(0);

    StartupMark("settings");
    fflush(stdout);
    KBD_Install();
    GFX_InitSystem();
    SWD_Install(0);
    VIDEO_LoadPrefs();
    IPT_LoadPrefs();

    int ptr_device;
    if (control == 1) {
        printf("PTR_Init()-Mouse\n");
        ptr_device = 1;
        usekb_flag = 0;
    } else if (control == 2) {
        printf("PTR_Init()-Joystick\n");
        ptr_device = 2;
        usekb_flag = joy_ipt_MenuNew ? 1 : 0;
    } else {
        printf("PTR_Init()-Auto\n");
        ptr_device = 1;
        usekb_flag = 1;
    }
    fflush(stdout);
    int ptrflag = PTR_Init(ptr_device);

    GLB_SetSharePath(VUL_GetSharePath());
    // The check above found the archives; one that still does not open here is missing all
    // the same, and is said so rather than ending the program silently at its first item.
    StartupMark("input");
    if (GLB_InitSystem(VUL_GetPath(), 6, nullptr) < 1) VUL_MissingData();
    StartupMark("archives");

    SND_InitSound();
    IPT_Init();
    StartupMark("sound");

    GLB_FreeAll();
    VUL_InitMem();

    VUL_LoadGraphics(ptrflag);
    StartupMark("graphics+window");

    VUL_ClearPlayer();

    if (godmode != 1 && !DEMO_IsTimedemo()) INTRO_Credits();
    StartupMark("credits");

    if (demo_flag == 2) {
        DEMO_LoadFile();
        DEMO_Play();
        if (DEMO_IsTimedemo()) VUL_QuitGame();
    } else {
        SND_PlaySong(86, 1, 1);
        INTRO_PlayMain();
        SND_PlaySong(87, 1, 1);
    }

    cur_game = 0;
    for (int& w : game_wave)
        w = 0;

    StartupMark("opening");
    if (startup.on) {
        printf("Start-up: %u ms to the main menu (%s)\n", I_GetTicks() - startup.start,
               startup.line);
        fflush(stdout);
    }
    for (;;) {
        if (vul_menuhook) vul_menuhook();
        WIN_MainMenu();
        WIN_MainLoop();
    }
}

void ShutDown(int)
{
    uint8_t* exitscreen = GLB_GetItem(ITM_EXITSCREEN);
    closewindow();
    // A timedemo ends without a closing screen waiting for a key.
    if (!DEMO_IsTimedemo()) I_LASTSCR(exitscreen, GLB_ItemSize(ITM_EXITSCREEN));
    GLB_FreeAll();
    IPT_CloJoy(1);
    SWD_End();
    I_Quit();
    free(g_highmem);
    g_highmem = nullptr;
}

static void VUL_Greeting(int fx)
{
    SND_Patch(fx, 127);
    while (SND_IsPatchPlaying(fx))
        I_Delay(1);
}

void VUL_QuitGame(void)
{
    SND_FadeOutSong();

    if (bday_num >= 0 && bday_num <= 5) {
        VUL_Greeting(bday_fx[bday_num]);
        if (bday_num == 4) VUL_Greeting(bday_fx[bday_num]);
    }

    retraceflag = 1;
    GFX_FadeOut(60, 15, 2, 32);
    GFX_FadeOut(0, 0, 0, 6);

    ShutDown(0);
    exit(0);
}

// The autopilot's campaign, played through the game's own screens. A frame hook looks at
// the window in front each time a frame is shown and, once it has stood a few frames,
// answers it the way a player would: a press on a field, a key, a click where the pointer
// is. The mission frames are watched for the wave's figures; the autopilot flies them.
#include "game/autorun.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "game/autopilot.h"
#include "game/demo.h"
#include "game/game.h"
#include "game/loadsave.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/i_png.h"
#include "gfx/ptrapi.h"
#include "input/input.h"
#include "input/kbdapi.h"
#include "res/itemtable.h"
#include "ui/swdapi.h"
#include "ui/windows.h"
#include "world/enemy.h"
#include "world/objects.h"
#include "world/tile.h"

namespace
{

constexpr int kKeyS = 31;
constexpr int kNone = -1, kMission = 0;
// Fields of the screens the campaign passes.
constexpr int kMenuNewPilot = 1, kMenuLoadPilot = 2;
constexpr int kNameField = 1, kCallsignField = 2;
constexpr int kDiffFirst = 6;
constexpr int kHangarFly = 2, kHangarStore = 3, kHangarLeave = 4;
constexpr int kComputerGo = 11;
constexpr int kAskYes = 6, kAskNo = 7;
constexpr int kLoadThis = 5;
constexpr int kStorePrice = 9, kStorePicture = 7;
// Frames a screen stands before it is answered (the loading screen stands one only).
constexpr int kSettle = 4;
// Store steps without finding the item wanted before the pilot gives up and leaves.
constexpr int kStoreSteps = 30;

struct DRIVER {
    const AUTO_RUN* run;
    std::vector<AUTO_WAVE>* waves;
    int settle, pending_click, store_steps;
    int menu;         // the main menu's answer: new or load pilot
    bool shopped;     // the store was visited since the last wave
    bool want_save;   // save in the hangar next
    bool want_leave;  // leave the hangar (to load the pilot again, or at the end)
    bool stop;        // the campaign is over
    bool in_store;    //
    int32_t store_in; // money when the store was entered
    int32_t spent;    // in the store since the last wave
    std::string bought;
    bool mission;      // mission frames are being shown
    int episodes_done; //
    int since_reload;  // waves flown since the pilot was last loaded
    size_t checked;    // waves whose landing the hangar has looked at
    int attract;       // the attract mode: not wanted, awaited in the menu, showing
    bool menu_seen;    // the main menu stood while the attract mode was awaited
    long attract_frames;
};
DRIVER drv;
AUTO_SEEN seen;
std::atomic<long> progress;
int last_id = kNone; // the window in front at the last picture
enum { ATTRACT_NONE, ATTRACT_AWAIT, ATTRACT_ON };

int ActiveId(void)
{
    if (SWD_GetWindow(active_window)) {
        const int id = SWD_GetWindowID(active_window);
        // While the shopkeeper speaks the store's display is empty: not ready for a deal.
        char price[16] = "";
        SWD_GetFieldText(active_window, kStorePrice, price, sizeof(price));
        return id == ITM_WIN_STORE && !price[0] ? kNone : id;
    }
    return do_game ? kMission : kNone;
}

void PressField(int field)
{
    SWD_SetActiveField(active_window, field);
    lastscan = SC_ENTER;
}

void PointAndClick(int field)
{
    SWD_SetFieldPtr(active_window, field);
    drv.pending_click = 2;
}

const char* ItemName(int type)
{
    static constexpr const char* names[OBJ_NUMTYPES] = {
        "gun 1",      "gun 2",      "gun 3",      "special 3",    "special 4",  "special 5",
        "special 6",  "special 7",  "special 8",  "special 9",    "special 10", "mega bomb",
        "special 12", "special 13", "special 14", "super shield", "shield",     "boss gauge"};
    return type >= 0 && type < OBJ_NUMTYPES && names[type] ? names[type] : "?";
}

void Store(void)
{
    const int want = AUTO_NextPurchase();
    const int shown = SWD_GetFieldItem(active_window, kStorePicture) - ITM_STOREPICS;
    if (want == -1 || drv.store_steps > kStoreSteps) {
        lastscan = SC_ESCAPE;
        return;
    }
    if (shown == want) {
        if (!drv.bought.empty()) drv.bought += ", ";
        drv.bought += ItemName(want);
        drv.store_steps = 0;
        lastscan = SC_ENTER;
    } else {
        drv.store_steps++;
        lastscan = SC_RIGHT;
    }
}

void Hangar(void)
{
    if (drv.want_save) {
        lastscan = kKeyS;
        return;
    }
    if (drv.want_leave || drv.stop) {
        PointAndClick(kHangarLeave);
        return;
    }
    if (!drv.shopped) {
        PointAndClick(kHangarStore);
        return;
    }
    PointAndClick(kHangarFly);
}

void Answer(int id)
{
    switch (id) {
    case ITM_WIN_MAINMENU:
        PressField(drv.menu);
        break;
    case ITM_WIN_NEWPILOT:
        SWD_SetFieldText(active_window, kNameField, drv.run->name);
        SWD_SetFieldText(active_window, kCallsignField, drv.run->callsign);
        PressField(kCallsignField);
        break;
    case ITM_WIN_DIFFICULTY:
        PressField(kDiffFirst + std::clamp(drv.run->difficulty, 0, 3));
        break;
    case ITM_WIN_LOADPILOT:
        PressField(kLoadThis);
        break;
    case ITM_WIN_HANGAR:
        Hangar();
        break;
    case ITM_WIN_STORE:
        Store();
        break;
    case ITM_WIN_ASK:
        PressField(drv.want_save ? kAskYes : kAskNo);
        drv.want_save = false;
        break;
    case ITM_WIN_COMPUTER:
        PressField(kComputerGo);
        break;
    case ITM_WIN_LOADING:
        if (!drv.run->demodir.empty()) {
            char name[64];
            snprintf(name, sizeof(name), "/e%dw%d.dem", cur_game + 1, game_wave[cur_game] + 1);
            DEMO_SetFileName((drv.run->demodir + name).c_str());
            demo_flag = 1;
        }
        break;
    default:
        break;
    }
}

// The first picture after a wave's frames: its recording is written and the figures of
// the wave are final.
void MissionOver(void)
{
    drv.mission = false;
    if (demo_flag == 1) {
        DEMO_SaveFile();
        demo_flag = 0;
    }
    demo_mode = 0;
    if (drv.waves->empty()) return;
    const AUTO_WAVE& w = drv.waves->back();
    drv.since_reload++;
    if (drv.run->progress) {
        printf("episode %d wave %d %-8s %-8s shield %3d  enemies %3d/%-3d ground %3d  buildings "
               "%3d/%-3d  money %+8d  spent %7d  frames %5d\n",
               w.game + 1, w.wave + 1, AUTO_DiffName(w.diff), w.survived ? "survived" : "LOST",
               w.shield, w.killed, w.came, w.groundkilled, w.razed, w.buildings, w.earned, w.spent,
               w.frames);
        fflush(stdout);
    }
    const int flown = static_cast<int>(drv.waves->size());
    if (drv.run->waves > 0 && flown >= drv.run->waves) drv.stop = true;
    if (w.survived) drv.want_save = true;
}

// A picture of the attract mode: once it has shown enough of them, a key is held down
// (pressed again each picture, as a held key repeats) until the mode gives way.
void AttractPicture(void)
{
    seen.attract_frames++;
    if (++drv.attract_frames <= drv.run->attract_press) return;
    lastscan = SC_ESCAPE;
    kbd_ack = 1;
}

// While the attract mode is awaited or showing, the driver answers nothing; true then.
bool Attract(int id)
{
    if (drv.attract == ATTRACT_AWAIT) {
        if (id == ITM_WIN_MAINMENU) {
            drv.menu_seen = true;
            return true;
        }
        if (!drv.menu_seen) return false;
        drv.attract = ATTRACT_ON;
        drv.attract_frames = 0;
    }
    if (id != ITM_WIN_MAINMENU) {
        AttractPicture();
        return true;
    }
    // The menu is back: the key is let go and the menu answered as usual.
    drv.attract = ATTRACT_NONE;
    lastscan = 0;
    kbd_ack = 0;
    seen.attract++;
    progress++;
    return false;
}

void FrameHook(void (*copy)(void))
{
    copy();
    const int id = ActiveId();
    if (id == ITM_WIN_MAINMENU && last_id != id) {
        seen.menus++;
        progress++;
    }
    last_id = id;
    if (drv.attract != ATTRACT_NONE && Attract(id)) {
        drv.settle = 0;
        return;
    }
    if (drv.pending_click && --drv.pending_click == 0) mouse_b1_ack = 1;
    if (drv.mission && id != kMission) MissionOver();
    if (drv.in_store && id != ITM_WIN_STORE && id != kNone) {
        drv.in_store = false;
        drv.spent += drv.store_in - plr.score;
    }
    if (id == ITM_WIN_STORE && !drv.in_store) {
        drv.in_store = true;
        drv.shopped = true;
        seen.stores++;
        progress++;
        drv.store_in = plr.score;
        drv.store_steps = 0;
    }
    if (id == ITM_WIN_HANGAR && drv.checked < drv.waves->size()) {
        drv.checked = drv.waves->size();
        // Back in the hangar: an episode that ended sends the pilot out to be loaded again.
        const AUTO_WAVE& w = drv.waves->back();
        if (w.survived && (cur_game != w.game || game_wave[cur_game] == 0) && !drv.stop) {
            if (cur_game != w.game) drv.episodes_done++;
            if (drv.run->waves == 0 && drv.episodes_done >= 4) drv.stop = true;
            drv.want_leave = true;
        }
        if (drv.run->reload_every > 0 && drv.since_reload >= drv.run->reload_every)
            drv.want_leave = true;
    }
    if (id == kNone || id == kMission) {
        drv.settle = 0;
        return;
    }
    if (++drv.settle < (id == ITM_WIN_LOADING ? 1 : kSettle)) return;
    drv.settle = 0;
    Answer(id);
}

// Buildings that pay when destroyed, standing at the wave's start; and those destroyed
// (a destroyed cell shows its wreck, so it no longer looks destructible).
int CountBuildings(bool razed)
{
    int n = 0;
    for (int c = 0; c < MAP_CELLS; c++)
        if (razed ? tdead[c] != 0 : titems[c] != eitems[c] && money[c] > 0) n++;
    return n;
}

void MissionHook(int point)
{
    if (demo_mode == 2) {
        // A demo of the attract mode: not a wave of the campaign.
        if (point == GAME_FRAME_START && gl_cnt == 0) {
            seen.demos++;
            progress++;
        }
        if (point == GAME_FRAME_SHOWN && drv.attract == ATTRACT_ON) AttractPicture();
        return;
    }
    if (point == GAME_FRAME_START && gl_cnt == 0) {
        progress++;
        drv.mission = true;
        AUTO_WAVE w{};
        w.game = cur_game;
        w.wave = game_wave[cur_game];
        w.diff = curplr_diff;
        w.money_start = plr.score;
        w.spent = drv.spent;
        w.bought = drv.bought;
        w.buildings = CountBuildings(false);
        for (int t = OBJ_FIRSTSPECIAL; t <= OBJ_LASTSPECIAL; t++)
            if (t != OBJ_MEGABOMB && OBJS_GetTotal(t) > 0) w.specials++;
        drv.spent = 0;
        drv.bought.clear();
        drv.shopped = false;
        drv.waves->push_back(w);
    }
    if (point != GAME_FRAME_SHOWN || drv.waves->empty()) return;
    AUTO_WAVE& w = drv.waves->back();
    if (!drv.run->shotdir.empty() && drv.run->shotevery > 0 && gl_cnt % drv.run->shotevery == 0) {
        uint8_t rgb[768];
        for (int i = 0; i < 768; i++)
            rgb[i] = static_cast<uint8_t>(gpal[i] << 2 | gpal[i] >> 4);
        char name[64];
        snprintf(name, sizeof(name), "/e%dw%d-%05d.png", w.game + 1, w.wave + 1, gl_cnt);
        I_WritePNGFile((drv.run->shotdir + name).c_str(), displayscreen, SCREENWIDTH, SCREENHEIGHT,
                       rgb);
    }
    w.shield = OBJS_GetAmt(OBJ_SHIELD);
    w.survived = w.shield > 0;
    w.came = enemy_tally.came;
    w.killed = enemy_tally.killed;
    w.groundkilled = enemy_tally.groundkilled;
    w.frames = gl_cnt;
    w.money_end = plr.score;
    w.earned = w.money_end - w.money_start;
    if ((gl_cnt & 15) == 0 || end_wave || startendwave == 0) w.razed = CountBuildings(true);
}

} // namespace

const char* AUTO_DiffName(int diff)
{
    static constexpr const char* names[4] = {"training", "easy", "medium", "hard"};
    return diff >= 0 && diff < 4 ? names[diff] : "?";
}

AUTO_SEEN AUTO_Seen(void)
{
    return seen;
}

long AUTO_Progress(void)
{
    return progress;
}

std::vector<AUTO_WAVE> AUTO_Campaign(const AUTO_RUN& run)
{
    std::vector<AUTO_WAVE> waves;
    drv = DRIVER{};
    drv.run = &run;
    drv.waves = &waves;
    drv.menu = kMenuNewPilot;
    drv.attract = run.attract_press >= 0 ? ATTRACT_AWAIT : ATTRACT_NONE;

    auto* old_frame = game_framehook;
    game_framehook = MissionHook;
    GFX_SetFrameHook(FrameHook);
    AUTO_Enable(1);
    demo_flag = 0;
    godmode = 0;
    ingameflag = 0;
    VUL_ClearPlayer();

    // Every pass: a pilot made or loaded, then flown until it leaves the hangar or dies.
    for (int pass = 0; pass < 400 && !drv.stop; pass++) {
        WIN_MainMenu();
        if (drv.menu == kMenuLoadPilot && !waves.empty() && !waves.back().survived) {
            // The wave was lost: the pilot as last saved moves on past it.
            int ended;
            if (WIN_WaveWon(&ended) == WAVE_EPISODEEND) drv.episodes_done++;
            if (run.waves == 0 && drv.episodes_done >= 4) drv.stop = true;
            drv.want_save = true;
        }
        drv.want_leave = false;
        drv.since_reload = 0;
        drv.shopped = false;
        WIN_MainLoop();
        if (drv.mission) MissionOver();
        ingameflag = 0;
        drv.menu = kMenuLoadPilot;
    }

    AUTO_Enable(0);
    GFX_SetFrameHook(nullptr);
    game_framehook = old_frame;
    demo_flag = 0;
    demo_mode = 0;
    return waves;
}

// ---- attract demos ----------------------------------------------------------------------

namespace
{

// The wave ends once the recording is full: the rest would not be seen.
void RecordHook(int point)
{
    if (point == GAME_FRAME_SHOWN && gl_cnt > 0 && demo_mode != 1) end_wave = 1;
}

} // namespace

bool AUTO_RecordDemo(int game, int wave, const std::string& path)
{
    FILE* probe = fopen(path.c_str(), "wb");
    if (!probe) return false;
    fclose(probe);
    auto* old_frame = game_framehook;
    game_framehook = RecordHook;
    AUTO_Enable(1);
    godmode = 0;
    cur_game = game;
    game_wave[game] = wave;
    DEMO_MakePlayer(game);
    VUL_LoadMap();
    DEMO_SetFileName(path.c_str());
    demo_flag = 1;
    Do_Game();
    demo_flag = 0;
    demo_mode = 0;
    AUTO_Enable(0);
    game_framehook = old_frame;
    VUL_ClearPlayer();
    return true;
}

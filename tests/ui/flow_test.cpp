// The campaign played through its screens on the generated data set, driven by a script
// that answers each window as it comes up: a new pilot, the store, the ship's computer,
// two waves with their landings, saving in the hangar, leaving, loading the pilot again
// and flying on. Every screen it passes is written out as a PNG for looking at.
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/demo.h"
#include "game/game.h"
#include "game/loadsave.h"
#include "game/prefapi.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/i_png.h"
#include "gfx/ptrapi.h"
#include "input/input.h"
#include "input/inputtest.h"
#include "input/kbdapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "testutil/testutil.h"
#include "ui/help.h"
#include "ui/store.h"
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

namespace
{

constexpr int kNone = -1, kMission = 0;

struct STEP {
    int window;                // the window id that must be active, or kMission
    std::function<void()> act; // what the player does there
    const char* shot;          // screenshot name, or null
};

std::vector<STEP> script;
size_t step;
int settle;
std::vector<std::string> seen;

int ActiveId(void)
{
    if (SWD_GetWindow(active_window)) return SWD_GetWindowID(active_window);
    return do_game ? kMission : kNone;
}

void Shot(const char* name)
{
    std::string dir = std::string(VULTAR_BINARY_DIR) + "/screens";
    std::filesystem::create_directories(dir);
    uint8_t rgb[768];
    for (int i = 0; i < 768; i++)
        rgb[i] = static_cast<uint8_t>(palette[i] * 255 / 63);
    I_WritePNGFile((dir + "/" + name + ".png").c_str(), displayscreen, SCREENWIDTH, SCREENHEIGHT,
                   rgb);
}

void Drive(void)
{
    if (step >= script.size()) return;
    const STEP& s = script[step];
    if (ActiveId() != s.window) {
        settle = 0;
        return;
    }
    // A few frames on the screen before the player acts, so it is drawn whole (the
    // loading screen is up for one frame only).
    if (++settle < (s.window == 65600 ? 1 : 4)) return;
    settle = 0;
    if (s.shot) Shot(s.shot);
    seen.push_back(s.shot ? s.shot : "");
    step++;
    s.act();
}

int pending_click;

void FrameHook(void (*copy)(void))
{
    copy();
    // A click lands a frame after the pointer got there, as a hand's would.
    if (pending_click && --pending_click == 0) mouse_b1_ack = 1;
    Drive();
}

void MissionHook(int point)
{
    if (point == GAME_FRAME_SHOWN) Drive();
}

// The player's hands.
void PressField(int field)
{
    SWD_SetActiveField(active_window, field);
    lastscan = SC_ENTER;
}
void PointAndClick(int field)
{
    SWD_SetFieldPtr(active_window, field);
    pending_click = 2;
}
void Key(int scan)
{
    lastscan = scan;
}
void Type(int field, const char* text)
{
    SWD_SetFieldText(active_window, field, text);
}

void StartGame(void)
{
    static bool started;
    if (started) return;
    started = true;
    vt::InitInputPlatform();
    KBD_Install();
    GFX_InitSystem();
    SWD_Install(0);
    IPT_LoadPrefs();
    control = CONTROL_KEYBOARD;
    PTR_Init(1);
    GLB_InitSystem(VULTAR_BINARY_DIR "/data/", 6, nullptr);
    SND_InitSound();
    IPT_Init();
    GLB_FreeAll();
    VUL_InitMem();
    for (int& flag : gameflag)
        flag = 1;
    VUL_LoadGraphics(1);
}

class CampaignFlow : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        VUL_InitLoadSave();
        INI_InitPreference(VUL_SetupFilename());
        StartGame();
        script.clear();
        step = 0;
        seen.clear();
        GFX_SetFrameHook(FrameHook);
        game_framehook = MissionHook;
        godmode = 1; // Escape in a wave lands it as won
        demo_flag = 0;
        ingameflag = 0;
        VUL_ClearPlayer();
    }
    void TearDown() override
    {
        GFX_SetFrameHook(nullptr);
        game_framehook = nullptr;
        godmode = 0;
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        KBD_Clear();
    }
    // A wave flown to its end: Escape, then "no" to abandoning it.
    void FlyWave(const char* shot)
    {
        // Held as the frame's keys are looked at, let go at the next look at the events.
        script.push_back({kMission,
                          [] {
                              keyboard[SC_ESCAPE] = 1;
                              vt::PushKey(SDL_SCANCODE_ESCAPE, false);
                          },
                          shot});
        script.push_back({65589, [] { PressField(7); }, nullptr});
    }
    vt::TempHome home;
    vt::FakeClock clock{1000, 1};
};

TEST_F(CampaignFlow, NewPilotStoreTwoWavesSaveQuitLoadAndOn)
{
    // Main menu: new pilot.
    script.push_back({65586, [] { PressField(1); }, "01_mainmenu"});
    script.push_back({65591,
                      [] {
                          Type(1, "JANE ROOK");
                          Type(2, "ROOK");
                          PressField(2);
                      },
                      "02_newpilot"});
    script.push_back({65597, [] { PressField(7); }, "03_difficulty"});
    // Hangar: the first visit points at the supply room.
    script.push_back({65588, [] { PointAndClick(3); }, "04_hangar"});
    // Store: step to the next item and buy it, then leave.
    script.push_back({65585, [] { Key(SC_RIGHT); }, nullptr});
    script.push_back({65585, [] { Key(SC_ENTER); }, "05_store"});
    script.push_back({65585, [] { Key(SC_ESCAPE); }, "06_store_bought"});
    // Hangar again: fly.
    script.push_back({65588, [] { PointAndClick(2); }, nullptr});
    script.push_back({65587, [] { PressField(11); }, "07_computer"});
    script.push_back({65600, [] {}, "08_loading"});
    FlyWave("08_wave1");
    script.push_back({65588, [] { PointAndClick(2); }, "09_hangar_after_landing"});
    script.push_back({65587, [] { PressField(11); }, nullptr});
    FlyWave("10_wave2");
    // Save, then leave to the main menu.
    script.push_back({65588, [] { Key(31); }, nullptr});
    script.push_back({65589, [] { PressField(6); }, "11_save_question"});
    script.push_back({65588, [] { PointAndClick(4); }, nullptr});

    WIN_MainMenu();
    EXPECT_STREQ(plr.name, "JANE ROOK");
    EXPECT_EQ(plr.diff[0], 1);
    const int score_after_store = plr.score;
    EXPECT_EQ(WIN_MainLoop(), -99);
    EXPECT_EQ(step, script.size()) << "stopped at step " << step;
    EXPECT_EQ(game_wave[0], 2) << "two waves flown";
    const int score = plr.score;
    EXPECT_LE(score, score_after_store + 1000000);
    const int items = OBJS_GetNum();

    // "Restart": a cleared pilot, then the pilot loaded from its file.
    VUL_ClearPlayer();
    game_wave[0] = 0;
    ingameflag = 0;
    script.clear();
    step = 0;
    script.push_back({65586, [] { PressField(2); }, nullptr});
    script.push_back({65593, [] { PressField(5); }, "12_loadpilot"});
    script.push_back({65588, [] { PointAndClick(2); }, nullptr});
    script.push_back({65587, [] { PressField(11); }, nullptr});
    FlyWave(nullptr);
    script.push_back({65588, [] { PointAndClick(4); }, nullptr});
    WIN_MainMenu();
    EXPECT_STREQ(plr.callsign, "ROOK");
    EXPECT_EQ(game_wave[0], 2);
    EXPECT_EQ(OBJS_GetNum(), items);
    EXPECT_EQ(WIN_MainLoop(), -99);
    EXPECT_EQ(step, script.size()) << "stopped at step " << step;
    EXPECT_EQ(game_wave[0], 3);
}

} // namespace

// The campaign played through its screens on the generated data set, driven by a script
// that answers each window as it comes up: a new pilot, the store, the ship's computer,
// two waves with their landings, saving in the hangar, leaving, loading the pilot again
// and flying on. Every screen it passes is written out as a PNG for looking at.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/demo.h"
#include "game/game.h"
#include "game/loadsave.h"
#include "game/m_misc.h"
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
#include "sound/musapi.h"
#include "testutil/gamestart.h"
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
constexpr int kKeyD = 32;

struct STEP {
    int window;                // the window id that must be active, or kMission
    std::function<void()> act; // what the player does there
    const char* shot;          // screenshot name, or null
};

std::vector<STEP> script;
size_t step;
int settle;
std::vector<std::string> seen;
std::vector<std::string> messages; // the texts of the message boxes, as they came up

int ActiveId(void)
{
    if (SWD_GetWindow(active_window)) {
        const int id = SWD_GetWindowID(active_window);
        // While the shopkeeper speaks the store's display is empty: not ready for a deal.
        char price[16] = "";
        SWD_GetFieldText(active_window, 9, price, sizeof(price));
        return id == 65585 && !price[0] ? kNone : id;
    }
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

void NoteMessage(void)
{
    if (!SWD_GetWindow(active_window) || SWD_GetWindowID(active_window) != 65594) return;
    char text[64] = "";
    SWD_GetFieldText(active_window, 5, text, sizeof(text));
    if (messages.empty() || messages.back() != text) messages.push_back(text);
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
    NoteMessage();
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

class CampaignFlow : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        VUL_InitLoadSave();
        INI_InitPreference(VUL_SetupFilename());
        vt::StartGame();
        script.clear();
        step = 0;
        seen.clear();
        messages.clear();
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

// A pilot saved to a slot, as the hangar saves one.
void SavePilot(int slot, const char* name, const char* callsign)
{
    VUL_ClearPlayer();
    filepos = slot;
    M_StringCopy(plr.name, name, sizeof(plr.name));
    M_StringCopy(plr.callsign, callsign, sizeof(plr.callsign));
    WIN_StartingKit();
    ASSERT_EQ(VUL_SavePlayer(), 1);
}

std::string ShownName(void)
{
    char name[32] = "";
    SWD_GetFieldText(active_window, 9, name, sizeof(name));
    return name;
}

TEST(PilotBrowse, WrapsBetweenTheSlotsThatHoldPilots)
{
    bool exists[PLR_SLOTS] = {};
    exists[2] = exists[7] = true;
    EXPECT_EQ(VUL_NextPilot(exists, 2 - 1, -1), 7) << "previous from 2";
    EXPECT_EQ(VUL_NextPilot(exists, 7 + 1, 1), 2) << "next from 7";
    EXPECT_EQ(VUL_NextPilot(exists, -1, -1), 7) << "slot -1 is slot 9";
    EXPECT_EQ(VUL_NextPilot(exists, 3, 1), 7);
    bool none[PLR_SLOTS] = {};
    EXPECT_EQ(VUL_NextPilot(none, 0, 1), -1);
}

TEST_F(CampaignFlow, LoadWindowBrowsesAndDeletesUntilNoPilotIsLeft)
{
    SavePilot(2, "SLOT TWO", "TWO");
    SavePilot(7, "SLOT SEVEN", "SEVEN");
    VUL_ClearPlayer();
    static std::vector<std::string> names;
    names.clear();
    script.push_back({65593,
                      [] {
                          names.push_back(ShownName());
                          Key(SC_RIGHT); // previous
                      },
                      nullptr});
    script.push_back({65593,
                      [] {
                          names.push_back(ShownName());
                          Key(SC_LEFT); // next
                      },
                      nullptr});
    script.push_back({65593,
                      [] {
                          names.push_back(ShownName());
                          Key(SC_DELETE);
                      },
                      nullptr});
    script.push_back({65589, [] { PressField(6); }, nullptr});
    script.push_back({65593,
                      [] {
                          names.push_back(ShownName());
                          Key(SC_DELETE);
                      },
                      nullptr});
    script.push_back({65589, [] { PressField(6); }, nullptr});
    EXPECT_EQ(VUL_LoadWin(), -1);
    EXPECT_EQ(step, script.size());
    EXPECT_EQ(names,
              (std::vector<std::string>{"SLOT TWO", "SLOT SEVEN", "SLOT TWO", "SLOT SEVEN"}));
    EXPECT_FALSE(VUL_AreSavedFiles());
    EXPECT_EQ(VUL_LoadWin(), -1) << "nothing to browse";
}

TEST_F(CampaignFlow, APilotThatCannotBeDeletedIsNotReportedGoneAndStaysOffered)
{
    SavePilot(5, "FIVE", "FIVE");
    // Slot 1's name is held by a folder with something in it, which no delete removes.
    std::filesystem::create_directories(home.dataPath() + "CHAR0001.FIL/kept");
    VUL_ClearPlayer();
    static std::vector<std::string> names;
    names.clear();
    auto note_and = [](int scan) {
        return [scan] {
            names.push_back(ShownName());
            Key(scan);
        };
    };
    script.push_back({65593, note_and(SC_DELETE), nullptr}); // slot 1 comes first
    script.push_back({65589, [] { PressField(6); }, nullptr});
    script.push_back({65593, note_and(SC_LEFT), nullptr}); // still on slot 1: next is 5
    script.push_back({65593, note_and(SC_LEFT), nullptr}); // and from 5 back to 1
    script.push_back({65593, note_and(SC_ESCAPE), nullptr});
    EXPECT_EQ(VUL_LoadWin(), 0);
    EXPECT_EQ(step, script.size()) << "stopped at step " << step;
    EXPECT_EQ(names, (std::vector<std::string>{"", "", "FIVE", ""}))
        << "slot 1 is still offered, and shown as the unreadable file it is";
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "Pilot Removed !"), 0);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "Pilot NOT Removed !"), 1);
    EXPECT_TRUE(std::filesystem::exists(home.dataPath() + "CHAR0001.FIL"));
    filepos = 5;
    EXPECT_EQ(VUL_LoadPlayer(), 1) << "the other pilot is untouched";
}

TEST_F(CampaignFlow, ADamagedPilotIsNotLoadedAndThePilotInPlayStays)
{
    SavePilot(4, "IN PLAY", "PLAY");
    vt::WriteFileBytes(home.dataPath() + "CHAR0001.FIL", std::vector<uint8_t>(50, 7));
    ASSERT_EQ(filepos, 4);
    script.push_back({65593, [] { PressField(5); }, nullptr}); // slot 1: refused
    script.push_back({65593, [] { Key(SC_ESCAPE); }, nullptr});
    EXPECT_EQ(VUL_LoadWin(), 0) << "a failed load is not reported as a loaded pilot";
    EXPECT_EQ(filepos, 4);
    EXPECT_STREQ(plr.name, "IN PLAY");
    EXPECT_EQ(OBJS_GetAmt(OBJ_SHIELD), 75);
    EXPECT_EQ(VUL_SavePlayer(), 1) << "the pilot in play can still be saved";
}

TEST_F(CampaignFlow, OptionsClampTheVolumesAndWriteThemToTheSettings)
{
    music_volume = 120;
    fx_volume = 5;
    script.push_back({65599, [] { Key(SC_DOWN); }, nullptr}); // the marker shows
    script.push_back({65599, [] { Key(SC_DOWN); }, nullptr}); // music row
    script.push_back({65599, [] { Key(SC_RIGHT); }, nullptr});
    script.push_back({65599, [] { Key(SC_RIGHT); }, nullptr});
    script.push_back({65599, [] { Key(SC_DOWN); }, nullptr}); // effects row
    script.push_back({65599, [] { Key(SC_LEFT); }, "13_options"});
    script.push_back({65599, [] { Key(SC_ESCAPE); }, nullptr});
    WIN_Opts();
    EXPECT_EQ(step, script.size());
    EXPECT_EQ(music_volume, 127);
    EXPECT_EQ(fx_volume, 0);
    EXPECT_EQ(INI_FileGetLong(VUL_SetupFilename(), "Music", "Volume", -1), 127);
    EXPECT_EQ(INI_FileGetLong(VUL_SetupFilename(), "SoundFX", "Volume", -1), 0);
    EXPECT_EQ(WIN_OptStep(125, 8), 127);
    EXPECT_EQ(WIN_OptStep(5, -8), 0);
}

TEST_F(CampaignFlow, TheDemoKeyDoesNotReplaceAPilotInPlay)
{
    SavePilot(0, "IN PLAY", "PLAY");
    ingameflag = 1;
    script.push_back({65586, [] { keyboard[kKeyD] = 1; }, "14_mainmenu_ingame"});
    script.push_back({65586,
                      [] {
                          keyboard[kKeyD] = 0;
                          keyboard[SC_ESCAPE] = 1;
                      },
                      nullptr});
    WIN_MainMenu();
    keyboard[SC_ESCAPE] = 0;
    EXPECT_EQ(step, script.size());
    EXPECT_STREQ(plr.name, "IN PLAY");
    EXPECT_EQ(OBJS_GetAmt(OBJ_SHIELD), 75);
}

TEST_F(CampaignFlow, LeavingTheComputerPutsTheColourTablesBack)
{
    SavePilot(0, "IN PLAY", "PLAY");
    ltable[0] = 77;
    dtable[0] = 66;
    script.push_back({65587,
                      [] {
                          EXPECT_EQ(ltable[0], 0);
                          Key(SC_ESCAPE);
                      },
                      nullptr});
    EXPECT_EQ(WIN_ShipComp(), 0);
    EXPECT_EQ(ltable[0], 77);
    EXPECT_EQ(dtable[0], 66);
}

TEST_F(CampaignFlow, NewPilotWithEveryBoxFullKeepsTheGameInPlay)
{
    for (int slot = 0; slot < PLR_SLOTS; slot++)
        SavePilot(slot, ("PILOT " + std::to_string(slot)).c_str(), "P");
    SavePilot(3, "IN PLAY", "PLAY");
    ingameflag = 1;
    script.push_back({65591,
                      [] {
                          Type(1, "NEW ONE");
                          Type(2, "NEW");
                          PressField(2);
                      },
                      nullptr});
    script.push_back({65597, [] { PressField(7); }, nullptr});
    EXPECT_EQ(WIN_Register(), 0);
    EXPECT_EQ(step, script.size());
    EXPECT_EQ(ingameflag, 1);
    EXPECT_EQ(filepos, 3);
    EXPECT_STREQ(plr.name, "IN PLAY");

    // Escape leaves the window even with the name and call sign empty.
    script.clear();
    step = 0;
    script.push_back({65591,
                      [] {
                          Key(SC_ESCAPE);
                          keyboard[SC_ESCAPE] = 1;
                      },
                      nullptr});
    EXPECT_EQ(WIN_Register(), 0);
    keyboard[SC_ESCAPE] = 0;
    EXPECT_EQ(step, script.size());
}

TEST_F(CampaignFlow, StoreShowsPricesAndSellsBack)
{
    SavePilot(0, "BUYER", "BUY");
    godmode = 0;
    plr.score = 0;
    static std::string price, qty;
    auto look = [] {
        char t[16];
        SWD_GetFieldText(active_window, 9, t, sizeof(t));
        price = t;
        SWD_GetFieldText(active_window, 13, t, sizeof(t));
        qty = t;
    };
    // The shield in the buy list, then main gun 1 in the sell list.
    MakeBuyItems();
    static int shield_at;
    shield_at = int(std::find(b_items, b_items + buy_count, OBJ_SHIELD) - b_items);
    for (int i = 0; i < shield_at; i++)
        script.push_back({65585, [] { Key(SC_RIGHT); }, nullptr});
    static std::string shield_price, shield_qty;
    script.push_back({65585,
                      [=] {
                          look();
                          shield_price = price;
                          shield_qty = qty;
                          Key(SC_SPACE);
                      },
                      nullptr});
    script.push_back({65585, [] { Key(SC_RIGHT); }, nullptr}); // past the shield
    script.push_back({65585,
                      [=] {
                          look();
                          Key(SC_ENTER);
                      },
                      "15_store_sell"});
    script.push_back({65585, [] { Key(SC_ESCAPE); }, nullptr});
    STORE_Enter();
    EXPECT_EQ(step, script.size());
    EXPECT_EQ(shield_price, "10000");
    EXPECT_EQ(shield_qty, "75");
    EXPECT_EQ(price, "6000") << "main gun 1 sells for half its price";
    EXPECT_EQ(plr.score, 6000);
    EXPECT_EQ(OBJS_GetTotal(OBJ_GUN1), 0);
}

} // namespace

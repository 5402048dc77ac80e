// Waves of the generated data set flown headless: recording a demo through the real
// keyboard path and playing it back, the ship on the field and flying out, the end
// countdown, the shield bars, and demo files that are not what they claim.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "flight.h"

#include "game/demo.h"
#include "game/game.h"
#include "game/loadsave.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/ptrapi.h"
#include "input/inputtest.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/dspapi.h"
#include "sound/fx.h"
#include "testutil/gfxitems.h"
#include "testutil/testutil.h"
#include "ui/help.h"
#include "world/anims.h"
#include "world/bonus.h"
#include "world/enemy.h"
#include "world/eshot.h"
#include "world/flame.h"
#include "world/objects.h"
#include "world/shadow.h"
#include "world/shots.h"
#include "world/tile.h"

namespace
{

// Steering, firing, a mega bomb and the spare button, all through pushed key events and
// the event pump; Escape at frame `escape` ends the recording as a completed wave.
std::vector<KEYEVENT> FlightKeys(int escape)
{
    return {
        {3, SDL_SCANCODE_RIGHT, true},       {20, SDL_SCANCODE_RIGHT, false},
        {22, SDL_SCANCODE_LEFT, true},       {22, SDL_SCANCODE_LCTRL, true},
        {50, SDL_SCANCODE_LEFT, false},      {55, SDL_SCANCODE_UP, true},
        {70, SDL_SCANCODE_UP, false},        {72, SDL_SCANCODE_SPACE, true},
        {75, SDL_SCANCODE_SPACE, false},     {80, SDL_SCANCODE_RSHIFT, true},
        {83, SDL_SCANCODE_RSHIFT, false},    {85, SDL_SCANCODE_LCTRL, false},
        {88, SDL_SCANCODE_DOWN, true},       {110, SDL_SCANCODE_DOWN, false},
        {escape, SDL_SCANCODE_ESCAPE, true}, {escape + 1, SDL_SCANCODE_ESCAPE, false},
    };
}
const std::vector<KEYEVENT> kFlight = FlightKeys(120);

TEST_F(MissionTest, ARecordedWavePlaysBackFrameForFrame)
{
    watch.keys = FlightKeys(300);
    watch.sample = {1, 10, 21, 40, 60, 76, 90, 105, 119, 121, 160, 200, 250, 301};
    // The first enemies come in before the end of the recording.
    static int most;
    most = 0;
    watch.each = [](int) { most = std::max(most, numships); };

    const std::string file = Path("wave.dem");
    DEMO_SetFileName(file.c_str());
    demo_flag = 1;
    EXPECT_EQ(Fly(0, 0), 0);
    demo_flag = 0;
    const WATCH recorded = watch;
    ASSERT_EQ(recorded.frames, 301);
    EXPECT_GT(most, 0) << "no enemy came into play";
    ASSERT_EQ(recorded.hashes.size(), recorded.sample.size());

    // The file: the header and one record per frame.
    std::vector<uint8_t> bytes = vt::ReadFileBytes(file);
    ASSERT_EQ(bytes.size(), size_t(302) * DEMO_RECORD);
    int32_t count;
    memcpy(&count, bytes.data() + 8, 4);
    EXPECT_EQ(count, 302);
    // The ship moved: the records are not all alike.
    EXPECT_NE(memcmp(bytes.data() + 12 * 2, bytes.data() + 12 * 40, 12), 0);

    for (int run = 0; run < 2; run++) {
        watch = WATCH{};
        watch.sample = recorded.sample;
        ASSERT_TRUE(DEMO_LoadFile());
        EXPECT_EQ(DEMO_Play(), 0) << "a demo that runs out ends as a completed wave";
        EXPECT_EQ(watch.frames, recorded.frames) << "playback " << run;
        for (auto [frame, hash] : recorded.hashes)
            EXPECT_EQ(watch.hashes[frame], hash) << "frame " << frame << ", playback " << run;
    }
}

TEST_F(MissionTest, AWaveRecordedWithSoundReplaysWithoutIt)
{
    // Effects that vary their pitch play while the wave is recorded on the digital mixer
    // (hits on the shield, dealt on the same frames of every run); the playback must not
    // depend on whether they sound.
    auto sound = [](bool on) {
        SND_StopPatches();
        SND_SetFXDevice(on ? 5 : 0, 2);
        DSP_Init(2, DSP_RATE);
        SND_Setup();
    };
    auto hits = [](int frame) {
        if (frame == 30 || frame == 31 || frame == 64) OBJS_SubEnergy(1);
    };
    watch.keys = kFlight;
    watch.each = hits;
    for (int f = 1; f <= 121; f++)
        watch.sample.insert(f);
    const std::string file = Path("sound.dem");
    DEMO_SetFileName(file.c_str());
    sound(true);
    int started = dsp_cnt;
    demo_flag = 1;
    EXPECT_EQ(Fly(0, 0), 0);
    demo_flag = 0;
    EXPECT_GE(dsp_cnt - started, 3) << "the hits were not heard";
    const WATCH recorded = watch;

    for (bool on : {false, true, false}) {
        sound(on);
        watch = WATCH{};
        watch.sample = recorded.sample;
        watch.each = hits;
        ASSERT_TRUE(DEMO_LoadFile());
        EXPECT_EQ(DEMO_Play(), 0);
        EXPECT_EQ(watch.frames, recorded.frames);
        int differ = 0;
        for (auto [frame, hash] : recorded.hashes)
            if (watch.hashes[frame] != hash && differ++ == 0)
                ADD_FAILURE() << "sound " << (on ? "on" : "off") << ": frame " << frame
                              << " differs from the recording";
    }
    sound(false);
}

TEST_F(MissionTest, TheShieldRegainsOnTheSameFrameOfEveryWave)
{
    // A unit comes back after 97 frames without firing, counted from the wave's start
    // whatever the frames of earlier waves left in the count.
    DEMO_MakePlayer(0);
    curplr_diff = 1;
    startendwave = -1;
    ASSERT_NE(p_objs[OBJ_SHIELD], nullptr);
    ASSERT_NE(p_objs[0], nullptr); // the gun every pilot has
    for (int earlier : {0, 1, 50, 96}) {
        for (int k = 0; k < earlier; k++)
            OBJS_Think();
        OBJS_Use(0); // a shot on the last frame of the earlier wave
        p_objs[OBJ_SHIELD]->num = 10;
        OBJS_StartWave();
        int frames = 0;
        while (p_objs[OBJ_SHIELD]->num == 10 && frames < 300) {
            OBJS_Think();
            frames++;
        }
        EXPECT_EQ(frames, 97) << earlier << " earlier frames";
    }
}

TEST_F(MissionTest, TheShipStaysOnTheFieldUntilItFliesOut)
{
    watch.keys = {{1, SDL_SCANCODE_LEFT, true},
                  {1, SDL_SCANCODE_UP, true},
                  {45, SDL_SCANCODE_LEFT, false},
                  {45, SDL_SCANCODE_UP, false}};
    static int lastpic, lasty, countdown_from;
    static bool paused_at_40, left_top;
    lastpic = playerbasepic; // every wave starts in level flight, whatever was flown before
    lasty = 0;
    countdown_from = 0;
    paused_at_40 = left_top = false;
    watch.each = [](int f) {
        // Banking moves a frame at a time, at most three frames from level flight.
        EXPECT_LE(std::abs(playerpic - lastpic), 1) << "frame " << f;
        EXPECT_GE(playerpic, playerbasepic - 3);
        EXPECT_LE(playerpic, playerbasepic + 3);
        lastpic = playerpic;
        if (f == 30) {
            EXPECT_EQ(playerx, 5) << "held left against the edge";
            EXPECT_EQ(playery, 0) << "held up against the top";
        }
        if (f == 44) {
            EXPECT_EQ(playerpic, playerbasepic) << "level again at the edge";
        }
        if (f == 50) {
            // As if the last enemy had gone: the countdown starts.
            playery = 12;
            startendwave = 60;
            countdown_from = f;
        }
        if (countdown_from && startendwave == 40) paused_at_40 = control_pause == 1;
        if (countdown_from && startendwave < 39 && startendwave >= 0) {
            // Climbing four pixels twice a frame: once when the display steers it, and
            // again when the loop moves the ship with the step it kept.
            EXPECT_EQ(playery, lasty - 8) << "frame " << f;
            if (playery < 0) left_top = true;
        }
        lasty = playery;
    };
    EXPECT_EQ(Fly(0, 0), 0);
    EXPECT_TRUE(paused_at_40);
    EXPECT_TRUE(left_top) << "the ship leaves the top of the screen freely";
    EXPECT_GE(playerx, 152) << "and centres itself on the way";
    EXPECT_LE(playerx, 168);
    EXPECT_EQ(watch.frames, countdown_from + 61) << "the wave ends 61 frames after the start";
    EXPECT_EQ(control_pause, 0) << "control is given back";
}

TEST_F(MissionTest, ShieldBarsShowTheAmountsInTheirColours)
{
    DEMO_MakePlayer(0);
    OBJS_Clear();
    OBJS_Add(OBJ_SHIELD);
    OBJS_Add(OBJ_SHIELD);
    OBJS_Add(OBJ_SUPERSHIELD);
    ASSERT_EQ(OBJS_GetAmt(OBJ_SHIELD), 50);
    memset(displayscreen, 0, SCREENSIZE);
    g_oldshield = g_oldsuper = -1;
    VUL_DisplayStats();

    auto at = [](int x, int y) { return displayscreen[y * SCREENWIDTH + x]; };
    // Segment i sits on row 199 - 2i, coloured from 74 at the bottom to 66 at the top.
    EXPECT_EQ(at(308, 199), 74);
    EXPECT_EQ(at(311, 199), 74);
    EXPECT_EQ(at(312, 199), 0) << "four pixels wide";
    EXPECT_EQ(at(308, 199 - 2 * 49), 70);
    EXPECT_EQ(at(308, 199 - 2 * 50), 0) << "the shield's 50 units end at segment 49";
    EXPECT_EQ(at(308, 198), 0) << "every second row";
    EXPECT_EQ(at(8, 199 - 2 * 99), 66) << "a full super shield reaches the top";
    EXPECT_EQ(at(11, 199 - 2 * 60), 74 - ((60 * 5898) >> 16));

    // A bar is redrawn only when its amount changed: a stale picture stays.
    displayscreen[199 * SCREENWIDTH + 308] = 1;
    VUL_DisplayStats();
    EXPECT_EQ(at(308, 199), 1);
    OBJS_SubAmt(OBJ_SHIELD, 10);
    VUL_DisplayStats();
    EXPECT_EQ(at(308, 199), 74);
    EXPECT_EQ(at(308, 199 - 2 * 40), 0);
}

TEST_F(MissionTest, DemoFilesThatAreNotWhatTheyClaimAreRefused)
{
    auto demo = [](int count, int records, int game = 0, int wave = 0) {
        std::vector<uint8_t> d(size_t(records) * DEMO_RECORD, 0);
        d[4] = uint8_t(game);
        d[6] = uint8_t(wave);
        memcpy(d.data() + 8, &count, 4);
        for (int r = 1; r < records; r++) {
            int16_t x = 100, y = 100, pic = 3;
            memcpy(d.data() + r * 12 + 4, &x, 2);
            memcpy(d.data() + r * 12 + 6, &y, 2);
            memcpy(d.data() + r * 12 + 8, &pic, 2);
        }
        return d;
    };
    const std::string file = Path("bad.dem");
    DEMO_SetFileName(file.c_str());
    auto loads = [&](const std::vector<uint8_t>& d) {
        vt::WriteFileBytes(file, d);
        return DEMO_LoadFile();
    };
    EXPECT_TRUE(loads(demo(30, 30)));
    EXPECT_FALSE(loads(demo(31, 30))) << "the header claims more records than the file has";
    EXPECT_FALSE(loads(demo(0, 30)));
    EXPECT_FALSE(loads(std::vector<uint8_t>(5, 0))) << "shorter than a header";
    EXPECT_FALSE(loads(demo(30, 30, 7))) << "no such episode";
    EXPECT_FALSE(loads(demo(30, 30, 0, 9))) << "no such wave";
    // Longer than any demo: refused before a byte is read into the buffer.
    EXPECT_FALSE(loads(demo(2801, DEMO_RECORDS + 40)));
    EXPECT_EQ(DEMO_Play(), 0) << "nothing loaded, nothing played";
    EXPECT_EQ(watch.frames, 0);

    // The largest demo there can be plays.
    EXPECT_TRUE(loads(demo(DEMO_MAXFRAMES + 1, DEMO_MAXFRAMES + 1)));
    // A header alone ends playback on the first frame.
    ASSERT_TRUE(loads(demo(1, 1)));
    EXPECT_EQ(DEMO_Play(), 0);
    EXPECT_EQ(watch.frames, 0);

    // A banking frame out of range in a damaged record is kept to the ship's pictures.
    std::vector<uint8_t> d = demo(6, 6);
    int16_t wild = 3000;
    memcpy(d.data() + 2 * 12 + 8, &wild, 2);
    ASSERT_TRUE(loads(d));
    watch.each = [](int) {
        EXPECT_GE(playerpic, 0);
        EXPECT_LT(playerpic, SHIP_FRAMES);
    };
    EXPECT_EQ(DEMO_Play(), 0);
    EXPECT_EQ(watch.frames, 5);
}

TEST_F(MissionTest, ADemoPlaysWithItsOwnPilotAndOnlyWhatTheBufferHolds)
{
    // Items left from a pilot in play (a death, a recorded wave) are gone: the demo pilot
    // holds exactly the first episode's kit.
    OBJS_Clear();
    for (int t : {0, 16, 16, 16, 16, 17, 2, 11, 4, 7, 5, 14})
        OBJS_Add(t);
    std::vector<int> kit;
    for (int t = 0; t < OBJ_NUMTYPES; t++)
        kit.push_back(OBJS_GetAmt(t));
    for (int k = 0; k < 5; k++)
        OBJS_Add(OBJ_MEGABOMB);
    OBJS_Add(OBJ_SUPERSHIELD);
    DEMO_MakePlayer(0);
    for (int t = 0; t < OBJ_NUMTYPES; t++)
        EXPECT_EQ(OBJS_GetAmt(t), kit[t]) << "item type " << t;

    // A demo that fills the whole buffer claims one record more than can be played: the
    // playback stops at 2800, the frame after the last record a demo can hold.
    std::vector<uint8_t> d(size_t(DEMO_RECORDS) * DEMO_RECORD, 0);
    int32_t count = DEMO_RECORDS;
    memcpy(d.data() + 8, &count, 4);
    const std::string file = Path("full.dem");
    vt::WriteFileBytes(file, d);
    DEMO_SetFileName(file.c_str());
    ASSERT_TRUE(DEMO_LoadFile());
    EXPECT_EQ(max_play, 2800);

    // A demo of an episode whose archive is not here is skipped without loading a map.
    count = 30;
    d.assign(size_t(30) * DEMO_RECORD, 0);
    memcpy(d.data() + 8, &count, 4);
    d[4] = 2;
    vt::WriteFileBytes(file, d);
    ASSERT_TRUE(DEMO_LoadFile());
    gameflag[2] = 0;
    EXPECT_EQ(DEMO_Play(), 0);
    gameflag[2] = 1;
    EXPECT_EQ(watch.frames, 0);
}

// Flies the first wave of every episode a while; with VULTAR_SHOTS set to a folder, the
// picture of each is saved there as flight-eN.png.
TEST_F(MissionTest, EveryEpisodeFliesItsFirstWave)
{
    static int episode;
    for (episode = 0; episode < 4; episode++) {
        watch = WATCH{};
        watch.each = [](int f) {
            if (f == 20) OBJS_Use(OBJ_MEGABOMB);
            if (f < 160) return;
            // The field is full of landscape: many colours, nothing left black.
            std::set<uint8_t> colours;
            int black = 0;
            for (int y = 0; y < SCREENHEIGHT; y++)
                for (int x = MAP_LEFT; x < MAP_LEFT + MAP_WIDTH; x++) {
                    colours.insert(displayscreen[y * SCREENWIDTH + x]);
                    black += displayscreen[y * SCREENWIDTH + x] == 0;
                }
            EXPECT_GT(colours.size(), 24u) << "episode " << episode + 1;
            EXPECT_LT(black, MAP_WIDTH * SCREENHEIGHT / 20) << "episode " << episode + 1;
            if (const char* dir = getenv("VULTAR_SHOTS"))
                vt::SavePresented(std::string(dir) + "/flight-e" + std::to_string(episode + 1) +
                                  ".png");
            end_wave = 1;
        };
        EXPECT_EQ(Fly(episode, 0), 0);
        EXPECT_EQ(watch.frames, 160);
    }
}

// Holds fire and sways the ship from side to side, the way a player covers the field.
void Sway(int f)
{
    static const SDL_Scancode side[2] = {SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT};
    if (f == 1) vt::PushKey(SDL_SCANCODE_LCTRL, true);
    if (f % 60 == 1) {
        vt::PushKey(side[(f / 60) % 2], true);
        vt::PushKey(side[(f / 60 + 1) % 2], false);
    }
}

struct BATTLE {
    int most = 0;      // enemies in play at once
    int seen = 0;      // frames with an enemy in view
    int32_t money = 0; // the pilot's money when the wave started
    int bossframe = 0; // first frame a boss was in view
    int shot = 0;      // the screenshot was taken
};
BATTLE battle;

void SaveShot(const std::string& name)
{
    if (const char* dir = getenv("VULTAR_SHOTS")) vt::SavePresented(std::string(dir) + "/" + name);
}

TEST_F(MissionTest, EnemiesArriveFlyAndGoDownInAWaveOfEveryEpisode)
{
    static int episode;
    godmode = 1;
    for (episode = 0; episode < 4; episode++) {
        watch = WATCH{};
        battle = BATTLE{};
        watch.each = [](int f) {
            Sway(f);
            battle.most = std::max(battle.most, numships);
            if (cur_visable > 0) battle.seen++;
            if (f == 1) battle.money = plr.score;
            if (!battle.shot && cur_visable >= 3) {
                SaveShot("wave-e" + std::to_string(episode + 1) + ".png");
                battle.shot = 1;
            }
            if (f == 900) end_wave = 1;
        };
        EXPECT_EQ(Fly(episode, 1), 0);
        EXPECT_EQ(watch.frames, 900);
        EXPECT_GE(battle.most, 2) << "episode " << episode + 1;
        EXPECT_GT(battle.seen, 20) << "episode " << episode + 1;
        EXPECT_GT(plr.score, battle.money) << "nothing paid in episode " << episode + 1;
        EXPECT_LE(battle.most, ENEMY_MAX);
    }
    godmode = 0;
}

// Starts the loaded wave a few rows before its last placements, as if flown that far.
void SkipTo(int row)
{
    tilepos = (row + 3) * MAP_COLS;
    while (cur_enemy && cur_enemy != end_enemy && cur_enemy->y > row)
        cur_enemy++;
}

TEST_F(MissionTest, EveryEpisodesBossesComeAndTakeTheirGauge)
{
    static int episode, wave;
    godmode = 1;
    for (episode = 0; episode < 4; episode++)
        for (wave = 2; wave < 9; wave += 3) {
            watch = WATCH{};
            battle = BATTLE{};
            watch.each = [](int f) {
                Sway(f);
                bool boss = false;
                for (int i = 0; i < cur_visable; i++)
                    boss |= onscreen[i]->lib->boss != 0;
                if (boss && !battle.bossframe) battle.bossframe = f;
                if (battle.bossframe && f == battle.bossframe + 150) {
                    SaveShot("boss-e" + std::to_string(episode + 1) + "w" +
                             std::to_string(wave + 1) + ".png");
                    end_wave = 1;
                }
                if (f == 1200) end_wave = 1;
            };
            Load(episode, wave);
            SkipTo(12);
            EXPECT_EQ(Do_Game(), 0);
            EXPECT_GT(battle.bossframe, 0) << "episode " << episode + 1 << " wave " << wave + 1;
        }
    godmode = 0;
}

// Every wave from the middle of its map: the landscape fills the field with many colours
// and the wave's enemies come; with VULTAR_SHOTS set, mid-eNwM.png of each, taken the
// first time two enemies are in view.
TEST_F(MissionTest, EveryWaveFliesFromItsMiddle)
{
    static int episode, wave;
    godmode = 1;
    for (episode = 0; episode < 4; episode++)
        for (wave = 0; wave < 9; wave++) {
            watch = WATCH{};
            battle = BATTLE{};
            watch.each = [](int f) {
                Sway(f);
                if (cur_visable > 0) battle.seen++;
                if (f < 60 || (cur_visable < 2 && f < 480)) return;
                std::set<uint8_t> colours;
                for (int y = 0; y < SCREENHEIGHT; y++)
                    for (int x = MAP_LEFT; x < MAP_LEFT + MAP_WIDTH; x++)
                        colours.insert(displayscreen[y * SCREENWIDTH + x]);
                EXPECT_GT(colours.size(), 24u) << episode + 1 << "/" << wave + 1;
                SaveShot("mid-e" + std::to_string(episode + 1) + "w" + std::to_string(wave + 1) +
                         ".png");
                end_wave = 1;
            };
            Load(episode, wave);
            SkipTo(80);
            EXPECT_EQ(Do_Game(), 0);
            EXPECT_LE(watch.frames, 480);
            EXPECT_GT(battle.seen, 0) << episode + 1 << "/" << wave + 1;
        }
    godmode = 0;
}

} // namespace

// A fight in the first wave of the generated data set, flown headless through the real
// keyboard path: every weapon fired in turn, buildings and enemies destroyed, enemy fire
// taking the shield until the ship is lost; and a recorded fight played back frame for
// frame. With VULTAR_SHOTS set to a folder, pictures of each weapon firing and of the
// heaviest moment of the fight are saved there (weapon-N.png, fight.png, bomb.png,
// flash.png).
#include <algorithm>
#include <array>

#include "flight.h"
#include "world/enemy.h"
#include "world/eshot.h"
#include "world/objects.h"
#include "world/shots.h"
#include "world/tile.h"

namespace
{

// The last wave of the first episode: enemies from the first seconds on.
constexpr int kWave = 8;

// The special weapons in the order of the number keys 1..9, 0 and minus.
constexpr std::array<int, 11> kByKey = {3, 4, 5, 6, 7, 8, 9, 10, 12, 14, 13};
constexpr SDL_Scancode kKeys[11] = {SDL_SCANCODE_1, SDL_SCANCODE_2,    SDL_SCANCODE_3,
                                    SDL_SCANCODE_4, SDL_SCANCODE_5,    SDL_SCANCODE_6,
                                    SDL_SCANCODE_7, SDL_SCANCODE_8,    SDL_SCANCODE_9,
                                    SDL_SCANCODE_0, SDL_SCANCODE_MINUS};
// Main guns alone first; then each special weapon in turn, held until it has fired (the
// homing gun and the laser need an enemy in view) and for at least kHold frames.
constexpr int kFirstTurn = 150;
constexpr int kHold = 40;
// After the mega bomb the shield is nearly gone and the fight goes on until the ship is lost.
constexpr int kStandAfterBomb = 80;

struct FIGHT {
    std::array<bool, SHOTS_WEAPONS> fired{};
    int most_shots = 0, most_eshots = 0, most_enemies = 0;
    int shield_lost_to_fire = 0; // shield taken while enemy shots were about
    int ship_gone_frame = 0;
    int wrecks = 0;
    int32_t score_start = 0;
    int busiest = 0;
    int turn = -1, turn_from = 0; // the special weapon being tried, since when
    bool turn_shot = false;       // its picture is taken
    int bomb_frame = 0, last_stand = 0;
};
FIGHT fight;

std::string ShotPath(const std::string& name)
{
    const char* dir = getenv("VULTAR_SHOTS");
    return dir ? std::string(dir) + "/" + name : std::string();
}

class FightTest : public MissionTest
{
  protected:
    // The last wave of episode 1 on hard, with every weapon the inventory has.
    static int FlyArmed()
    {
        cur_game = 0;
        game_wave[0] = kWave;
        DEMO_MakePlayer(0);
        for (int t : {1, 3, 6, 8, 9, 10, 12, 13, 11})
            OBJS_Add(t);
        EXPECT_LE(OBJS_GetNum(), OBJ_MAXRECORDS);
        for (int t = 0; t < 15; t++)
            EXPECT_TRUE(OBJS_IsEquip(t)) << t;
        VUL_LoadMap();
        fight = FIGHT{};
        fight.score_start = plr.score;
        return Do_Game();
    }
};

TEST_F(FightTest, EveryWeaponFiresAndTheShipIsLostInTheEnd)
{
    watch.keys.push_back({1, SDL_SCANCODE_LCTRL, true});
    static int last_shield;
    last_shield = 100;
    // Shots are looked at once every module has thought: the laser's is gone once drawn.
    game_framehook = [](int point) {
        if (point == GAME_FRAME_THOUGHT)
            for (SHOTS_S* s = shots.first.next; s != &shots.last; s = s->next)
                fight.fired[s->lib - shot_lib] = true;
        Watcher(point);
    };
    watch.each = [](int f) {
        fight.most_shots = std::max(fight.most_shots, shotnum);
        fight.most_eshots = std::max(fight.most_eshots, eshotnum);
        fight.most_enemies = std::max(fight.most_enemies, numships);
        int busy = shotnum + 2 * eshotnum + 4 * numships;
        if (busy > fight.busiest && !fight.last_stand) {
            fight.busiest = busy;
            if (!ShotPath("fight.png").empty()) vt::SavePresented(ShotPath("fight.png"));
        }
        const int shield = OBJS_GetAmt(OBJ_SHIELD);
        if (shield < last_shield && eshotnum > 0) fight.shield_lost_to_fire += last_shield - shield;
        last_shield = shield;

        // The number keys, one special weapon after the other.
        FIGHT& g = fight;
        if (g.turn >= 0 && g.turn < 11) vt::PushKey(kKeys[g.turn], false);
        if (g.turn >= 0 && g.turn < 11) {
            const int w = kByKey[g.turn];
            if (f - g.turn_from >= 2) {
                EXPECT_EQ(plr.sweapon, w) << "frame " << f;
            }
            if (g.fired[w] && !g.turn_shot && f - g.turn_from >= kHold / 2) {
                g.turn_shot = true;
                std::string path = ShotPath("weapon-" + std::to_string(w) + ".png");
                if (!path.empty()) vt::SavePresented(path);
            }
        }
        bool next =
            g.turn < 0 ? f == kFirstTurn : g.turn < 11 && g.turn_shot && f - g.turn_from >= kHold;
        if (next && ++g.turn < 11) {
            vt::PushKey(kKeys[g.turn], true);
            g.turn_from = f;
            g.turn_shot = false;
        }
        if (g.turn == 11 && !g.bomb_frame) {
            g.bomb_frame = f;
            vt::PushKey(SDL_SCANCODE_SPACE, true);
        }
        if (g.bomb_frame && f == g.bomb_frame + 2) vt::PushKey(SDL_SCANCODE_SPACE, false);
        // The bomb on its way, and the flash when it goes off.
        if (g.bomb_frame && f == g.bomb_frame + 24 && !ShotPath("bomb.png").empty())
            vt::SavePresented(ShotPath("bomb.png"));
        if (fadeflag && fadecnt == 3 && !ShotPath("flash.png").empty())
            vt::SavePresented(ShotPath("flash.png"));
        if (g.bomb_frame && f == g.bomb_frame + kStandAfterBomb) {
            // Nearly out of shield, with nothing left to lose but main gun 1.
            g.last_stand = f;
            while (OBJS_LoseObj())
                ;
            OBJS_SubAmt(OBJ_SHIELD, OBJS_GetAmt(OBJ_SHIELD) - 3);
            last_shield = OBJS_GetAmt(OBJ_SHIELD);
        }
        if (!draw_player && !fight.ship_gone_frame) fight.ship_gone_frame = f;
        if (f > 4000) end_wave = 1; // a safety net: the test fails below
    };
    EXPECT_EQ(FlyArmed(), 0);

    for (int t = 0; t < SHOTS_WEAPONS; t++)
        EXPECT_TRUE(fight.fired[t]) << "weapon " << t << " never fired";
    EXPECT_GT(fight.most_shots, 20);
    EXPECT_GT(fight.most_enemies, 3);
    EXPECT_GT(fight.most_eshots, 3);
    EXPECT_GT(fight.shield_lost_to_fire, 0) << "enemy fire took shield";
    EXPECT_GT(plr.score, fight.score_start) << "enemies and buildings paid";
    // The ship is lost: shield gone, the ship blown up, the wave over.
    EXPECT_EQ(OBJS_GetAmt(OBJ_SHIELD), 0);
    ASSERT_GT(fight.last_stand, 0) << "every weapon had its turn";
    EXPECT_GT(fight.ship_gone_frame, fight.last_stand);
    EXPECT_GT(watch.frames, fight.ship_gone_frame);
    EXPECT_LT(watch.frames, fight.ship_gone_frame + 40) << "the wave ends soon after";
}

TEST_F(FightTest, ARecordedFightPlaysBackFrameForFrame)
{
    // The demo pilot of the first episode (main guns 1 and 3, the homing gun, missiles,
    // the laser, the second beam and a mega bomb) on hard in the last wave, fire held, the special
    // weapon changed now and then, two mega bombs; Escape ends the recording.
    constexpr int kFrames = 600;
    watch.keys = {{2, SDL_SCANCODE_LCTRL, true},
                  {30, SDL_SCANCODE_RIGHT, true},
                  {90, SDL_SCANCODE_RIGHT, false}};
    for (int f = 100; f < kFrames - 20; f += 90) {
        watch.keys.push_back({f, SDL_SCANCODE_LALT, true});
        watch.keys.push_back({f + 2, SDL_SCANCODE_LALT, false});
        watch.keys.push_back({f + 40, f % 180 < 90 ? SDL_SCANCODE_LEFT : SDL_SCANCODE_RIGHT, true});
        watch.keys.push_back(
            {f + 70, f % 180 < 90 ? SDL_SCANCODE_LEFT : SDL_SCANCODE_RIGHT, false});
    }
    watch.keys.push_back({250, SDL_SCANCODE_SPACE, true});
    watch.keys.push_back({252, SDL_SCANCODE_SPACE, false});
    watch.keys.push_back({480, SDL_SCANCODE_SPACE, true});
    watch.keys.push_back({482, SDL_SCANCODE_SPACE, false});
    watch.keys.push_back({kFrames, SDL_SCANCODE_ESCAPE, true});
    watch.keys.push_back({kFrames + 1, SDL_SCANCODE_ESCAPE, false});
    for (int f = 1; f <= kFrames; f += 37)
        watch.sample.insert(f);
    fight = FIGHT{};
    watch.each = [](int) {
        fight.most_shots = std::max(fight.most_shots, shotnum);
        fight.most_eshots = std::max(fight.most_eshots, eshotnum);
        fight.most_enemies = std::max(fight.most_enemies, numships);
    };

    std::string file = ShotPath("fight.dem");
    if (file.empty()) file = Path("fight.dem");
    DEMO_SetFileName(file.c_str());
    demo_flag = 1;
    EXPECT_EQ(Fly(0, kWave), 0);
    demo_flag = 0;
    const WATCH recorded = watch;
    ASSERT_EQ(recorded.frames, kFrames + 1);
    // It was a fight.
    EXPECT_GT(fight.most_shots, 10);
    EXPECT_GT(fight.most_enemies, 2);
    EXPECT_GT(fight.most_eshots, 2);

    for (int run = 0; run < 2; run++) {
        watch = WATCH{};
        watch.sample = recorded.sample;
        ASSERT_TRUE(DEMO_LoadFile());
        EXPECT_EQ(DEMO_Play(), 0);
        EXPECT_EQ(watch.frames, recorded.frames) << "playback " << run;
        for (auto [frame, hash] : recorded.hashes)
            EXPECT_EQ(watch.hashes[frame], hash) << "frame " << frame << ", playback " << run;
    }
}

} // namespace

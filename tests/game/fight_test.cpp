// A fight in the first wave of the generated data set, flown headless through the real
// keyboard path: every weapon fired in turn, buildings and enemies destroyed, enemy fire
// taking the shield until the ship is lost; and a recorded fight played back frame for
// frame. With VULTAR_SHOTS set to a folder, pictures of each weapon firing and of the
// heaviest moment of the fight are saved there (weapon-N.png, fight.png, bomb.png).
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

// The special weapons in the order of the number keys 1..9, 0 and minus.
constexpr std::array<int, 11> kByKey = {3, 4, 5, 6, 7, 8, 9, 10, 12, 14, 13};
constexpr SDL_Scancode kKeys[11] = {SDL_SCANCODE_1, SDL_SCANCODE_2,    SDL_SCANCODE_3,
                                    SDL_SCANCODE_4, SDL_SCANCODE_5,    SDL_SCANCODE_6,
                                    SDL_SCANCODE_7, SDL_SCANCODE_8,    SDL_SCANCODE_9,
                                    SDL_SCANCODE_0, SDL_SCANCODE_MINUS};
// Each special weapon is held for this many frames; its picture is taken halfway.
constexpr int kTurn = 36;
constexpr int kFirstTurn = 5;
constexpr int kBombFrame = kFirstTurn + 11 * kTurn + 4;
// Then the shield is nearly gone and the fight goes on until the ship is lost.
constexpr int kLastStand = kBombFrame + 80;

struct FIGHT {
    std::array<bool, SHOTS_WEAPONS> fired{};
    int most_shots = 0, most_eshots = 0, most_enemies = 0;
    int shield_lost_to_fire = 0; // shield taken while enemy shots were about
    int ship_gone_frame = 0;
    int wrecks = 0;
    int32_t score_start = 0;
    int busiest = 0;
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
    // Wave 1 of episode 1 on medium, with every weapon the inventory has.
    static int FlyArmed()
    {
        cur_game = 0;
        game_wave[0] = 0;
        DEMO_MakePlayer(0);
        plr.diff[0] = 2;
        VUL_SetPlayerDiff();
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
    for (int k = 0; k < 11; k++) {
        watch.keys.push_back({kFirstTurn + k * kTurn, kKeys[k], true});
        watch.keys.push_back({kFirstTurn + k * kTurn + 1, kKeys[k], false});
    }
    watch.keys.push_back({kBombFrame, SDL_SCANCODE_RSHIFT, true});
    watch.keys.push_back({kBombFrame + 2, SDL_SCANCODE_RSHIFT, false});
    static int last_shield;
    last_shield = 100;
    watch.each = [](int f) {
        for (SHOTS_S* s = shots.first.next; s != &shots.last; s = s->next)
            fight.fired[s->lib - shot_lib] = true;
        // The laser's shot is drawn and gone within the frame: its sign is the spent
        // countdown with an air enemy in view.
        if (plr.sweapon == 5 && shot_lib[5].cnt == shot_lib[5].firedelay - 1 &&
            ENEMY_GetRandomAir())
            fight.fired[5] = true;
        fight.most_shots = std::max(fight.most_shots, shotnum);
        fight.most_eshots = std::max(fight.most_eshots, eshotnum);
        fight.most_enemies = std::max(fight.most_enemies, numships);
        int busy = shotnum + 2 * eshotnum + 4 * numships;
        if (busy > fight.busiest && f < kLastStand) {
            fight.busiest = busy;
            if (!ShotPath("fight.png").empty()) vt::SavePresented(ShotPath("fight.png"));
        }
        const int shield = OBJS_GetAmt(OBJ_SHIELD);
        if (shield < last_shield && eshotnum > 0) fight.shield_lost_to_fire += last_shield - shield;
        last_shield = shield;

        int k = (f - kFirstTurn) / kTurn;
        if (f >= kFirstTurn && k < 11 && (f - kFirstTurn) % kTurn == kTurn / 2) {
            EXPECT_EQ(plr.sweapon, kByKey[k]) << "frame " << f;
            std::string path = ShotPath("weapon-" + std::to_string(kByKey[k]) + ".png");
            if (!path.empty()) vt::SavePresented(path);
        }
        if (f == kBombFrame + 2 && !ShotPath("bomb.png").empty())
            vt::SavePresented(ShotPath("bomb.png"));
        if (f == kLastStand) {
            // Nearly out of shield, with nothing left to lose but main gun 1.
            while (OBJS_LoseObj())
                ;
            OBJS_SubAmt(OBJ_SHIELD, OBJS_GetAmt(OBJ_SHIELD) - 3);
            last_shield = OBJS_GetAmt(OBJ_SHIELD);
        }
        if (!draw_player && !fight.ship_gone_frame) fight.ship_gone_frame = f;
        if (f > kLastStand + 2000) end_wave = 1; // a safety net: the test fails below
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
    EXPECT_GT(fight.ship_gone_frame, kLastStand);
    EXPECT_GT(watch.frames, fight.ship_gone_frame);
    EXPECT_LT(watch.frames, fight.ship_gone_frame + 40) << "the wave ends soon after";
}

TEST_F(FightTest, ARecordedFightPlaysBackFrameForFrame)
{
    // The demo pilot of the first episode (main guns 1 and 3, the homing gun, missiles,
    // the laser, the second beam and mega bombs) on hard, fire held, the special weapon
    // changed now and then, two mega bombs; Escape ends the recording.
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
    watch.keys.push_back({250, SDL_SCANCODE_RSHIFT, true});
    watch.keys.push_back({252, SDL_SCANCODE_RSHIFT, false});
    watch.keys.push_back({480, SDL_SCANCODE_RSHIFT, true});
    watch.keys.push_back({482, SDL_SCANCODE_RSHIFT, false});
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
    EXPECT_EQ(Fly(0, 0), 0);
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

// The campaign between waves: advancing waves and episodes, the difficulty raised at the
// end of an episode, the training reward, the loading screen's wave text, the store's
// lists and the help pages' wrap.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "game/loadsave.h"
#include "game/vul.h"
#include "res/glbapi.h"
#include "testutil/testutil.h"
#include "ui/help.h"
#include "ui/store.h"
#include "ui/windows.h"
#include "world/objects.h"

namespace
{

class Campaign : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        OBJS_Init();
        VUL_ClearPlayer();
        for (int& g : gameflag)
            g = 1;
        cur_game = 0;
        for (int& w : game_wave)
            w = 0;
    }
    // A pilot as the new-pilot window makes one at difficulty `d`.
    void NewPilot(int d)
    {
        plr.diff[0] = plr.diff[1] = plr.diff[2] = d;
        plr.trainflag = d != 0;
        WIN_StartingKit();
        VUL_SetPlayerDiff();
    }
    // Wins waves until the episode ends; returns how many were won and the outcome.
    int FlyEpisode(int* outcome)
    {
        int ended = -1;
        for (int won = 1; won < 20; won++) {
            *outcome = WIN_WaveWon(&ended);
            if (*outcome != WAVE_NEXT) return won;
        }
        return -1;
    }
};

TEST_F(Campaign, TrainingIsFourWavesWithTheRewardGivenOnce)
{
    NewPilot(0);
    plr.score = 123;
    OBJS_Add(7);
    char text[32];
    game_wave[0] = 3;
    WIN_WaveText(text, sizeof(text));
    EXPECT_STREQ(text, "FINAL WAVE 4");
    game_wave[0] = 0;

    int outcome;
    EXPECT_EQ(FlyEpisode(&outcome), 4);
    // A finished training is not an episode's end: no episode ending is played.
    EXPECT_EQ(outcome, WAVE_TRAININGEND);
    EXPECT_EQ(plr.trainflag, 1);
    EXPECT_EQ(plr.score, 10000);
    EXPECT_EQ(OBJS_GetTotal(7), 0) << "the inventory is rebuilt";
    EXPECT_EQ(OBJS_GetTotal(OBJ_GUN1), 1);
    EXPECT_EQ(OBJS_GetAmt(OBJ_SHIELD), 75);
    EXPECT_EQ(plr.sweapon, -1);
    EXPECT_EQ(plr.diff[0], 1);
    EXPECT_EQ(plr.diff[1], 1) << "every episode at training goes up to easy";
    EXPECT_EQ(plr.diff[2], 1);
    EXPECT_EQ(cur_game, 0);
    EXPECT_EQ(cur_diff, 8);

    // The next run of episode 1 is the full one, and ends it.
    plr.score = 5555;
    game_wave[0] = 8;
    WIN_WaveText(text, sizeof(text));
    EXPECT_STREQ(text, "FINAL WAVE 9");
    game_wave[0] = 7;
    WIN_WaveText(text, sizeof(text));
    EXPECT_STREQ(text, "WAVE 8");
    game_wave[0] = 0;
    EXPECT_EQ(FlyEpisode(&outcome), 9);
    EXPECT_EQ(outcome, WAVE_EPISODEEND);
    EXPECT_EQ(plr.score, 5555) << "no second reward";
    EXPECT_EQ(plr.diff[0], 2);
    EXPECT_EQ(cur_game, 1);
}

TEST_F(Campaign, TrainingFlownAgainAfterTheRewardOnlyRaisesTheDifficulty)
{
    NewPilot(0);
    plr.trainflag = 1;
    plr.score = 777;
    int outcome;
    EXPECT_EQ(FlyEpisode(&outcome), 4);
    EXPECT_EQ(outcome, WAVE_TRAININGEND);
    EXPECT_EQ(plr.score, 777);
    EXPECT_EQ(plr.diff[0], 1);
    EXPECT_EQ(plr.diff[1], 0) << "only the reward lifts the other episodes";
}

TEST_F(Campaign, EpisodesRaiseTheDifficultyAndGoOnToTheNextIncludingTheFourth)
{
    NewPilot(1);
    int outcome;
    // Episodes 1..3 at easy, the fourth at its stored medium.
    for (int game = 0; game < 4; game++) {
        ASSERT_EQ(cur_game, game);
        EXPECT_EQ(FlyEpisode(&outcome), 9);
        EXPECT_EQ(outcome, WAVE_EPISODEEND);
        EXPECT_EQ(game_wave[game], 0);
        EXPECT_EQ(plr.diff[game], game == 3 ? 3 : 2);
    }
    EXPECT_EQ(cur_game, 0) << "after the fourth episode comes the first";
    // Hard stays hard.
    plr.diff[0] = 3;
    VUL_SetPlayerDiff();
    EXPECT_EQ(FlyEpisode(&outcome), 9);
    EXPECT_EQ(plr.diff[0], 3);

    // Without the fourth archive the third wraps to the first; a missing second is skipped.
    gameflag[3] = 0;
    EXPECT_EQ(WIN_NextEpisode(2), 0);
    gameflag[1] = 0;
    EXPECT_EQ(WIN_NextEpisode(0), 2);
    gameflag[3] = 1;
    EXPECT_EQ(WIN_NextEpisode(2), 3);
}

TEST_F(Campaign, AWavePastTheLastEndsTheEpisode)
{
    // The god-mode wave keys reach a wave past the last of training.
    NewPilot(0);
    plr.trainflag = 1;
    game_wave[0] = 6;
    char text[32];
    WIN_WaveText(text, sizeof(text));
    EXPECT_STREQ(text, "FINAL WAVE 7");
    int ended;
    EXPECT_EQ(WIN_WaveWon(&ended), WAVE_TRAININGEND);
    EXPECT_EQ(game_wave[0], 0);
    for (int g = 0; g < 4; g++)
        EXPECT_LT(game_wave[g], 9);
}

TEST_F(Campaign, FourSectorNames)
{
    std::set<std::string> names;
    for (const char* n : sector_names) {
        ASSERT_NE(n, nullptr);
        names.insert(n);
    }
    EXPECT_EQ(names.size(), 4u);
    EXPECT_STREQ(sector_names[0], "BRAVO SECTOR");
}

// The store's lists, checked against the price list worked out by hand: every type 0..17
// has a price, main gun 1 only while it is not held.
TEST_F(Campaign, StoreListsAreSortedByPriceAndFollowTheInventory)
{
    NewPilot(1);
    EXPECT_EQ(MakeBuyItems(), 17) << "main gun 1 is held, so not for sale";
    for (int i = 0; i < buy_count; i++) {
        EXPECT_NE(b_items[i], OBJ_GUN1);
        if (i == 0) continue;
        EXPECT_LE(OBJS_GetCost(b_items[i - 1]), OBJS_GetCost(b_items[i]));
        if (OBJS_GetCost(b_items[i - 1]) == OBJS_GetCost(b_items[i])) {
            EXPECT_LT(b_items[i - 1], b_items[i]) << "equal prices keep type order";
        }
    }
    // Held: main gun 1 and 75 units of shield (which keeps its last 25 units).
    ASSERT_EQ(MakeSellItems(), 2);
    EXPECT_EQ(OBJS_GetResale(OBJ_GUN1), 6000);
    EXPECT_EQ(OBJS_GetCost(OBJ_SHIELD), 10000);
    EXPECT_EQ(OBJS_GetAmt(OBJ_SHIELD), 75);

    EXPECT_EQ(OBJS_Sell(OBJ_GUN1) >= 0, true);
    EXPECT_EQ(plr.score, 16000);
    EXPECT_EQ(MakeBuyItems(), 18);
    EXPECT_EQ(MakeSellItems(), 1);
    EXPECT_EQ(s_items[0], OBJ_SHIELD);
}

// Help pages between two markers; missing or swapped markers leave help empty instead of
// dividing by a page count of zero.
TEST(HelpPages, WrapAndMissingMarkers)
{
    vt::TempHome home;
    auto page = [](const char* label) { return GLB_WRITEITEM{label, {'x'}}; };
    vt::WriteArchive(
        home.dir() + "/FILE0000.GLB",
        {page("A"), {"STARTHELP", {}}, page("P1"), page("P2"), page("P3"), {"ENDHELP", {}}});
    ASSERT_EQ(GLB_InitSystem((home.dir() + "/").c_str(), 1, nullptr), 1);
    EXPECT_EQ(HELP_Init(), 3);
    EXPECT_EQ(startitem, GLB_GetItemID("P1"));
    EXPECT_EQ(HELP_WrapPage(-1), 2);
    EXPECT_EQ(HELP_WrapPage(3), 0);
    EXPECT_EQ(HELP_WrapPage(1), 1);

    vt::WriteArchive(home.dir() + "/FILE0000.GLB",
                     {{"ENDHELP", {}}, page("P1"), {"STARTHELP", {}}});
    ASSERT_EQ(GLB_InitSystem((home.dir() + "/").c_str(), 1, nullptr), 1);
    EXPECT_EQ(HELP_Init(), 0);
    EXPECT_EQ(HELP_WrapPage(-1), 0);
    EXPECT_EQ(HELP_WrapPage(5), 0);
    HELP_Win("P1"); // nothing to show, and no division by zero
}

} // namespace

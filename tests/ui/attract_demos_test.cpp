// The attract mode on the generated data set, all archives there: from the first demo it plays
// every archive demo (waves flown by the autopilot) to its own end, one after another, and a key
// during the last one's closing scene ends it; a demo shown after the others plays the very same
// frames as one played on its own; a key during the opening ends the mode.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "game/demo.h"
#include "game/game.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/ptrapi.h"
#include "input/input.h"
#include "input/inputtest.h"
#include "input/kbdapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "testutil/gamestart.h"
#include "testutil/testutil.h"
#include "ui/swdapi.h"
#include "ui/windows.h"
#include "world/enemy.h"
#include "world/objects.h"

namespace
{

// One demo as the mission loop showed it.
struct PLAYED {
    int game = 0, wave = 0, records = 0; // from the demo's header
    int frames = 0;
    int last = 0;                   // the last record read
    int shield = 0;                 // at the last frame
    int came = 0, killed = 0;       // enemies in the air, at the last frame
    std::map<int, uint64_t> hashes; // every 64th frame
};
std::vector<PLAYED> played;
int demos_wanted;

uint64_t ScreenHash(void)
{
    uint64_t h = 1469598103934665603ull;
    for (int i = 0; i < SCREENSIZE; i++)
        h = (h ^ displayscreen[i]) * 1099511628211ull;
    return h;
}

void Watch(int point)
{
    if (point != GAME_FRAME_SHOWN || demo_mode != 2) return;
    if (cur_play == 2) {
        PLAYED p;
        p.game = demo_game;
        p.wave = demo_wave;
        p.records = max_play;
        played.push_back(p);
    }
    if (played.empty()) return;
    PLAYED& p = played.back();
    p.frames++;
    p.last = cur_play - 1;
    p.shield = OBJS_GetAmt(OBJ_SHIELD);
    p.came = enemy_tally.came;
    p.killed = enemy_tally.killed;
    if (p.frames % 64 == 0) p.hashes[p.frames] = ScreenHash();
}

bool credits_seen;

// Once every demo has been seen out, a key on each screen shown outside a mission.
void Present(void (*copy)(void))
{
    copy();
    if (SWD_GetWindow(active_window) && SWD_GetWindowID(active_window) == ITM_WIN_CREDITS)
        credits_seen = true;
    if (!do_game && static_cast<int>(played.size()) >= demos_wanted)
        vt::PushKey(SDL_SCANCODE_SPACE, true);
}

class AttractTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        vt::StartGame();
        for (int& flag : gameflag)
            flag = 1;
        played.clear();
        game_framehook = Watch;
        GFX_SetFrameHook(Present);
        godmode = 0;
        demo_flag = 0;
    }
    void TearDown() override
    {
        game_framehook = nullptr;
        GFX_SetFrameHook(nullptr);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        KBD_Clear();
    }
    vt::FakeClock clock{1000, 1};
};

TEST_F(AttractTest, EveryArchiveDemoPlaysToItsEndAndAgainTheSameWay)
{
    const int items[9] = {ITM_DEMOS1, ITM_DEMOS1 + 1, ITM_DEMOS1 + 2,
                          ITM_DEMOS2, ITM_DEMOS2 + 1, ITM_DEMOS2 + 2,
                          ITM_DEMOS3, ITM_DEMOS3 + 1, ITM_DEMOS3 + 2};
    demos_wanted = 9;
    WIN_MainAuto(2);

    ASSERT_EQ(played.size(), 9u) << "the mode ends during the last demo's landing";
    for (size_t k = 0; k < played.size(); k++) {
        SCOPED_TRACE(k);
        const PLAYED& p = played[k];
        const uint8_t* d = GLB_GetItem(items[k]);
        EXPECT_EQ(p.game, d[4] | d[5] << 8) << "the demos in the order of the archives";
        EXPECT_EQ(p.records, d[8] | d[9] << 8);
        // Its own end: every record read, the last one on the last frame shown.
        EXPECT_EQ(p.last, p.records - 1);
        EXPECT_EQ(p.frames, p.records - 1);
        EXPECT_GT(p.shield, 0) << "the pilot came through";
        // Play worth watching, in step with the wave: most of the enemies shot down.
        EXPECT_GE(p.killed * 4, p.came * 3) << p.killed << " of " << p.came;
    }

    // The last demo, played after all the others, shows the same pictures as when it is
    // played alone.
    const PLAYED last = played.back();
    demos_wanted = 1 << 20;
    played.clear();
    ASSERT_TRUE(DEMO_GLBFile(items[8]));
    EXPECT_EQ(DEMO_Play(), 0);
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].frames, last.frames);
    EXPECT_EQ(played[0].hashes, last.hashes);
}

TEST_F(AttractTest, AKeyDuringADemosClosingSceneEndsTheMode)
{
    // From the second demo of the third archive: the key comes once its flight is over,
    // while its closing scene plays. The demo after it must not start.
    demos_wanted = 1;
    WIN_MainAuto(9);
    ASSERT_EQ(played.size(), 1u) << "the attract mode went on after the press";
    const uint8_t* d = GLB_GetItem(ITM_DEMOS3 + 1);
    EXPECT_EQ(played[0].game, d[4] | d[5] << 8);
    EXPECT_EQ(played[0].wave, d[6] | d[7] << 8);
}

TEST_F(AttractTest, AKeyDuringTheOpeningEndsTheMode)
{
    demos_wanted = 0;
    credits_seen = false;
    WIN_MainAuto(0);
    EXPECT_TRUE(played.empty());
    EXPECT_FALSE(credits_seen) << "the credits that follow the opening are not shown";
}

} // namespace

// Enemy shots on a small battlefield whose pictures are plain boxes: guns off the screen,
// shots that leave at once, hits on the ship's square, aimed shots that keep their line,
// mines, beams that live and die with their enemy, and gun kinds that do not exist.
#include <cstdlib>
#include <vector>

#include "anims_fixture.h"
#include "game/loadsave.h"
#include "game/vul.h"
#include "world/enemy.h"
#include "world/eshot.h"

namespace
{

class EshotTest : public fx::Battlefield
{
  protected:
    void SetUp() override
    {
        fx::Battlefield::SetUp();
        ESHOT_Init();
        plr = {};
        plr.sweapon = -1;
        curplr_diff = 2;
        godmode = 0;
        startendwave = -1;
        OBJS_Add(16);
        OBJS_Add(16);
        OBJS_Add(16);
        OBJS_Add(16);
        en = {};
        lib = {};
        en.lib = &lib;
        en.item = 1;
        en.x = 100;
        en.y = 40;
        en.shotspeed = 2;
        ParkShip(160, 170);
    }
    void TearDown() override
    {
        ESHOT_Clear();
        OBJS_Init();
        fx::Battlefield::TearDown();
    }

    static void ParkShip(int cx, int cy)
    {
        player_cx = cx;
        player_cy = cy;
        playerx = cx - 16;
        playery = cy - 16;
    }

    // Gun 0 of the enemy fires shot kind `kind` from the offset (gx, gy).
    void Gun(int kind, int gx = 10, int gy = 20)
    {
        lib.guntype[0] = static_cast<int16_t>(kind);
        lib.gunx[0] = static_cast<int16_t>(gx);
        lib.guny[0] = static_cast<int16_t>(gy);
    }

    static std::vector<ESHOT_S*> InPlay()
    {
        std::vector<ESHOT_S*> out;
        for (ESHOT_S* s = eshots.first.next; s != &eshots.last; s = s->next)
            out.push_back(s);
        return out;
    }

    static int Shield() { return OBJS_GetAmt(16); }

    SPRITE_SHIP_S en;
    SLIB_S lib;
};

TEST_F(EshotTest, GunsOffTheScreenFireNothing)
{
    Gun(1);
    // Gun points at x 320, y 200 and negative ones.
    for (auto [x, y] : {std::pair{310, 40}, {-101, 40}, {100, 180}, {100, -41}}) {
        en.x = x;
        en.y = y;
        ESHOT_Shoot(&en, 0);
        EXPECT_EQ(eshotnum, 0) << x << "," << y;
    }
    en.x = 309;
    en.y = 40;
    ESHOT_Shoot(&en, 0);
    EXPECT_EQ(eshotnum, 1) << "x 319 is on the screen";

    // A shot whose first step already leaves the screen is never drawn.
    ESHOT_Clear();
    Gun(2, 0, 0);
    en.x = 2; // its picture's corner starts left of the gun: off the screen
    ESHOT_Shoot(&en, 0);
    EXPECT_EQ(eshotnum, 0);
}

TEST_F(EshotTest, KindsThatDoNotExistEndTheProgramBeforeTakingARecord)
{
    Gun(-1);
    EXPECT_EXIT(ESHOT_Shoot(&en, 0), ::testing::ExitedWithCode(0), "");
    Gun(9);
    EXPECT_EXIT(ESHOT_Shoot(&en, 0), ::testing::ExitedWithCode(0), "");
    // Every kind 0..8 fires.
    for (int k = 0; k < ESHOT_KINDS; k++) {
        Gun(k);
        ESHOT_Shoot(&en, 0);
        EXPECT_EQ(eshotnum, k + 1) << k;
        EXPECT_EQ(eshots.last.prev->kind, k);
    }
}

TEST_F(EshotTest, TheShipIsHitWithinItsSquare)
{
    // A straight shot down (2 hit points) from above the ship; the square reaches 15 pixels
    // either way of the centre.
    Gun(1, 0, 0);
    for (int dx : {-16, -15, 15, 16}) {
        ESHOT_Clear();
        OBJS_AddEnergy(100);
        en.x = player_cx + dx + plib[0].hlx;
        en.y = 100 + plib[0].hly;
        ESHOT_Shoot(&en, 0);
        ASSERT_EQ(eshotnum, 1);
        for (int i = 0; i < 60 && eshotnum; i++)
            ESHOT_Think();
        bool hit = dx >= -15 && dx <= 15;
        EXPECT_EQ(Shield(), hit ? 98 : 100) << dx;
    }
    // Training halves what a hit takes (a mine's 16 becomes 8).
    ESHOT_Clear();
    OBJS_AddEnergy(100);
    curplr_diff = 0;
    Gun(6, 0, 0);
    en.x = player_cx;
    en.y = player_cy - 6;
    ESHOT_Shoot(&en, 0);
    ESHOT_Think();
    EXPECT_EQ(Shield(), 92);
}

TEST_F(EshotTest, AimedShotsKeepTheLineTheyWereFiredOn)
{
    Gun(0, 0, 0);
    en.x = 60;
    en.y = 30;
    ESHOT_Shoot(&en, 0);
    ESHOT_S* s = InPlay().at(0);
    const int x0 = s->move.x, y0 = s->move.y;
    // The ship slips away at once; the shot flies on towards where it was.
    ParkShip(250, 120);
    std::vector<std::pair<int, int>> path;
    for (int i = 0; i < 20; i++) {
        ESHOT_Think();
        path.push_back({s->move.x, s->move.y});
    }
    // On the line from the start to (160, 170): the cross product stays within a pixel of
    // the line's length.
    const int lx = 160 - x0, ly = 170 - y0;
    for (auto [x, y] : path) {
        long cross = static_cast<long>(x - x0) * ly - static_cast<long>(y - y0) * lx;
        EXPECT_LE(std::labs(cross), std::labs(lx) + std::labs(ly)) << x << "," << y;
    }
    // Speeding up one pixel a frame from 1 to 6.
    EXPECT_EQ(s->speed, 6);
    EXPECT_EQ(s->move.x2, 160);
    EXPECT_EQ(s->move.y2, 170);
}

TEST_F(EshotTest, MinesWobbleDownAndBurst)
{
    Gun(6, 0, 0);
    ParkShip(300, 20);
    ESHOT_Shoot(&en, 0);
    ESHOT_S* s = InPlay().at(0);
    const int w0 = s->wobble, my0 = s->move.y;
    static constexpr int xpos[16] = {-1, 0, 1, 2, 3, 3, 3, 2, 1, 0, -1, -2, -3, -3, -3, -2};
    static constexpr int ypos[16] = {-3, -3, -3, -2, -1, 0, 1, 2, 3, 3, 3, 2, 1, 0, -1, -2};
    for (int i = 0; i < 20; i++) {
        ESHOT_Think();
        int w = (w0 + i) % 16;
        EXPECT_EQ(s->x, s->move.x + xpos[w]) << i;
        EXPECT_EQ(s->y, my0 + i + ypos[w]) << i;
    }
    // 150 frames of life, then it bursts where it is.
    int frames = 20;
    while (eshotnum && frames < 200) {
        ESHOT_Think();
        frames++;
    }
    EXPECT_EQ(frames, 150);
    EXPECT_EQ(Shield(), 100);
}

TEST_F(EshotTest, BeamsLiveAndDieWithTheirEnemy)
{
    Gun(5, 12, 30);
    // Under the beam: it stops on the ship and burns it every frame.
    ParkShip(en.x + 12 - 4 + 10, 150);
    ESHOT_Shoot(&en, 0);
    ASSERT_EQ(eshotnum, 1);
    ESHOT_S* s = InPlay().at(0);
    ESHOT_Think();
    EXPECT_EQ(Shield(), 88);
    EXPECT_GE(s->move.y2, 148);
    EXPECT_LE(s->move.y2, 151);
    // It follows the gun.
    en.x += 3;
    ESHOT_Think();
    EXPECT_EQ(s->x, en.x + 12 - 4);
    EXPECT_EQ(Shield(), 76);
    // The fourth frame ends it.
    ESHOT_Think();
    ESHOT_Think();
    EXPECT_EQ(eshotnum, 0);
    EXPECT_EQ(Shield(), 64);

    // Out of the way: it hangs to the bottom of the screen.
    ParkShip(250, 150);
    ESHOT_Shoot(&en, 0);
    ESHOT_Think();
    EXPECT_EQ(InPlay().at(0)->move.y2, 200);
    // Its enemy gone: the beam goes with it.
    en.item = -1;
    ESHOT_Think();
    EXPECT_EQ(eshotnum, 0);
    EXPECT_EQ(Shield(), 64);
}

TEST_F(EshotTest, AFullPoolFiresNothing)
{
    Gun(1);
    for (int i = 0; i < ESHOT_MAX; i++)
        ESHOT_Shoot(&en, 0);
    EXPECT_EQ(eshotnum, ESHOT_MAX);
    ESHOT_Shoot(&en, 0);
    EXPECT_EQ(eshotnum, ESHOT_MAX);
    EXPECT_EQ(eshothigh, ESHOT_MAX);
}

} // namespace

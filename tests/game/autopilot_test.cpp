// The autopilot on battlefields laid out by hand: it gets out of the way of a shot aimed at
// it (checked against a plain model of the shot's flight), it only ever writes the ship's
// step and the latches, the same battlefield gives the same decision, it bombs its way out
// when cornered, and its shopping list follows the order it promises.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "game/autopilot.h"
#include "game/demo.h"
#include "game/game.h"
#include "game/loadsave.h"
#include "game/vul.h"
#include "input/input.h"
#include "world/bonus.h"
#include "world/enemy.h"
#include "world/eshot.h"
#include "world/objects.h"
#include "world/tile.h"

namespace
{

// A plain shot: 6 pixels a frame at most, 2 of shield a hit, no pictures needed.
PLIB plain = {0, {}, 2, 0, 6, 4, 4, 2};

class Autopilot : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        OBJS_Init();
        VUL_ClearPlayer();
        curplr_diff = 2;
        godmode = 0;
        OBJS_Add(OBJ_GUN1);
        for (int i = 0; i < 3; i++)
            OBJS_Add(OBJ_SHIELD);
        eshots.Clear();
        ENEMY_Clear();
        BONUS_Clear();
        memset(tspots, 0, sizeof(tspots));
        for (TILESPOT& s : tspots)
            s.index = -1;
        cur_visable = 0;
        demo_mode = 0;
        control_pause = 0;
        startendwave = -1;
        gl_cnt = 0;
        playerx = 144;
        playery = 150;
        player_cx = playerx + 16;
        player_cy = playery + 16;
        g_addx = g_addy = 0;
        for (int& b : buttons)
            b = 0;
        AUTO_Enable(1);
    }
    void TearDown() override { AUTO_Enable(0); }

    // A shot fired from (x, y) at the point (tx, ty), as an enemy's aimed gun fires it.
    static ESHOT_S* Fire(int x, int y, int tx, int ty)
    {
        ESHOT_S* s = ESHOT_Get();
        s->lib = &plain;
        s->kind = 0;
        s->move.x = x;
        s->move.y = y;
        s->move.x2 = tx;
        s->move.y2 = ty;
        InitMobj(&s->move);
        s->speed = 1;
        s->x = x;
        s->y = y;
        return s;
    }
};

// The shot's flight as the enemy-shot module flies it, stated plainly: it is checked where
// it stands, then moves `speed` steps along its line, one faster each frame up to 6. Here
// the line is straight down, so a step is a pixel of y.
struct SHOTMODEL {
    int x, y, speed;
    bool Step(int cx, int cy)
    {
        bool hit = std::abs(cx - x) <= 15 && std::abs(cy - y) <= 15;
        y += speed;
        if (speed < 6) speed++;
        return hit;
    }
};

// Flies `frames` frames through the input layer: the ship's step comes from whoever steers.
// Returns the frame the model shot hits, or 0.
int FlyAgainst(SHOTMODEL shot, int frames)
{
    for (int f = 1; f <= frames; f++) {
        IPT_MovePlayer();
        if (shot.Step(player_cx, player_cy)) return f;
        // Keep the real shot where the model says, for the autopilot to read.
        ESHOT_S* s = eshots.first.next;
        MoveSobj(&s->move, s->speed);
        if (s->speed < 6) s->speed++;
        gl_cnt++;
    }
    return 0;
}

TEST_F(Autopilot, GetsOutOfTheWayOfAShotComingStraightAtIt)
{
    // Straight down the ship's centre line.
    Fire(player_cx, 40, player_cx, 199);
    SHOTMODEL model{player_cx, 40, 1};

    // Standing still, the shot hits: the lay-out is a real threat.
    AUTO_Enable(0);
    control = CONTROL_KEYBOARD;
    const int sx = playerx, sy = playery;
    EXPECT_GT(FlyAgainst(model, 40), 0);

    SetUp();
    Fire(player_cx, 40, player_cx, 199);
    EXPECT_EQ(FlyAgainst(model, 40), 0) << "the autopilot was hit";
    EXPECT_NE(playerx, sx) << "it dodged sideways";
    (void)sy;
}

TEST_F(Autopilot, ForecastCountsOnlyTheShotsThatWillHit)
{
    // One shot down the centre line (2 of shield), one far to the side.
    Fire(player_cx, 100, player_cx, 199);
    Fire(20, 100, 20, 199);
    EXPECT_EQ(AUTO_ShotDanger(player_cx, player_cy, 14), 2);
    EXPECT_EQ(AUTO_ShotDanger(player_cx + 40, player_cy, 14), 0);
    // Still out of reach after three frames (1 + 2 + 3 pixels from 100): no danger yet.
    EXPECT_EQ(AUTO_ShotDanger(player_cx, player_cy, 3), 0);
}

// The battlefield as bytes, to see that deciding never changes it.
std::vector<uint8_t> Battlefield()
{
    std::vector<uint8_t> b;
    auto add = [&b](const void* p, size_t n) {
        const uint8_t* c = static_cast<const uint8_t*>(p);
        b.insert(b.end(), c, c + n);
    };
    add(&ships, sizeof(ships));
    add(&eshots, sizeof(eshots));
    add(&plr, sizeof(plr));
    add(tspots, sizeof(tspots));
    add(hits, sizeof(hits));
    add(tdead, sizeof(tdead));
    add(&wRandSeed, sizeof(wRandSeed));
    add(&playerx, sizeof(playerx));
    add(&playery, sizeof(playery));
    for (const OBJ_S* o = OBJS_Next(nullptr); o; o = OBJS_Next(o)) {
        add(&o->type, sizeof(o->type));
        add(&o->num, sizeof(o->num));
    }
    for (const BONUS_S* p = BONUS_Next(nullptr); p; p = BONUS_Next(p))
        add(p, sizeof(*p));
    return b;
}

TEST_F(Autopilot, WritesOnlyTheStepAndTheLatchesAndDecidesTheSameTwice)
{
    Fire(player_cx + 6, 60, player_cx, player_cy);
    Fire(40, 20, player_cx, player_cy);
    BONUS_Add(OBJ_SHIELD, 200, 60);
    OBJS_Add(OBJ_MEGABOMB);
    OBJS_SubEnergy(70); // cornered territory: a bomb may be pressed

    const std::vector<uint8_t> before = Battlefield();
    const AUTO_DECISION a = AUTO_Decide();
    AUTO_Think();
    const AUTO_DECISION b = AUTO_Decide();
    EXPECT_EQ(Battlefield(), before);

    // Its own memory (the latches it pressed) aside, the same battlefield decides the same.
    AUTO_Clear();
    const AUTO_DECISION c = AUTO_Decide();
    EXPECT_EQ(a.dx, c.dx);
    EXPECT_EQ(a.dy, c.dy);
    EXPECT_EQ(a.fire, c.fire);
    EXPECT_EQ(a.bomb, c.bomb);
    EXPECT_EQ(a.danger, c.danger);
    EXPECT_EQ(a.dx, b.dx);
    EXPECT_EQ(g_addx, a.dx);
    EXPECT_EQ(g_addy, a.dy);
}

TEST_F(Autopilot, CorneredWithALowShieldItDropsAMegaBombOncePerPress)
{
    // Shots raining down on every column the ship could reach.
    for (int x = 5; x < 320; x += 12)
        Fire(x, 120, x, 199);
    OBJS_SubEnergy(70);
    ASSERT_LE(OBJS_GetAmt(OBJ_SHIELD), 35);

    AUTO_Think();
    EXPECT_EQ(buttons[BUTTON_MEGABOMB], 0) << "no bomb held";

    OBJS_Add(OBJ_MEGABOMB);
    AUTO_Think();
    EXPECT_EQ(buttons[BUTTON_MEGABOMB], 1);
    buttons[BUTTON_MEGABOMB] = 0;
    gl_cnt++;
    AUTO_Think();
    EXPECT_EQ(buttons[BUTTON_MEGABOMB], 0) << "let go before the next press";
}

TEST_F(Autopilot, ChangesToTheDearestSpecialWeaponOnePressAtATime)
{
    OBJS_Add(7);  // 63500
    OBJS_Add(5);  // 512850
    OBJS_Add(12); // 725000
    plr.sweapon = 7;
    AUTO_Think();
    EXPECT_EQ(buttons[BUTTON_CHANGESPECIAL], 1);
    buttons[BUTTON_CHANGESPECIAL] = 0;
    gl_cnt++;
    AUTO_Think();
    EXPECT_EQ(buttons[BUTTON_CHANGESPECIAL], 0) << "released between presses";
    plr.sweapon = 12;
    gl_cnt++;
    AUTO_Think();
    EXPECT_EQ(buttons[BUTTON_CHANGESPECIAL], 0) << "already the dearest";
}

TEST_F(Autopilot, HoldsFireWithNothingToShootSoTheShieldCanMendItself)
{
    AUTO_Think();
    EXPECT_EQ(buttons[BUTTON_FIRE], 0);
}

TEST_F(Autopilot, ShoppingListShieldThenWeaponsUpTheStoresList)
{
    // Prices worked by hand from the store's list: shield 25 units 10000, mega bomb 32250,
    // special 7 63500, main gun 2 78800, special 9 98200, special 8 110000, special 3
    // 145200, main gun 3 175600, special 6 204950 ... special 13 1750000. The pilot holds
    // main gun 1 and 75 of shield.
    plr.score = 9999;
    EXPECT_EQ(AUTO_NextPurchase(), -1) << "shield wanted, not affordable: nothing else first";
    plr.score = 10000;
    EXPECT_EQ(AUTO_NextPurchase(), OBJ_SHIELD);
    OBJS_Add(OBJ_SHIELD);
    EXPECT_EQ(AUTO_NextPurchase(), -1) << "nothing under 10000 but the full shield";
    plr.score = 40000;
    EXPECT_EQ(AUTO_NextPurchase(), OBJ_MEGABOMB) << "special 7 out of reach: a bomb in reserve";
    OBJS_Add(OBJ_MEGABOMB);
    EXPECT_EQ(AUTO_NextPurchase(), -1) << "saving for special 7, no spare bomb";
    plr.score = 70000;
    EXPECT_EQ(AUTO_NextPurchase(), 7) << "the first special before the dearer gun 2";
    OBJS_Add(7);
    plr.score = 100000;
    for (int type : {int(OBJ_GUN2), 9}) {
        EXPECT_EQ(AUTO_NextPurchase(), type) << "up the list by price";
        OBJS_Add(type);
    }
    EXPECT_EQ(AUTO_NextPurchase(), -1) << "saving for special 8";
    plr.score = 200000;
    for (int type : {8, 3, int(OBJ_GUN3)}) {
        EXPECT_EQ(AUTO_NextPurchase(), type) << "up the list by price";
        OBJS_Add(type);
    }
    OBJS_Sell(OBJ_SHIELD);
    plr.score = 9000;
    EXPECT_EQ(AUTO_NextPurchase(), -1) << "a quarter of shield lost: it comes first again";
    plr.score = 2000000;
    EXPECT_EQ(AUTO_NextPurchase(), OBJ_SHIELD);
    OBJS_Add(OBJ_SHIELD);
    for (int type : {6, 4, 10, 5, 12, 14, 13}) {
        EXPECT_EQ(AUTO_NextPurchase(), type) << "up the list by price, the dearest last";
        OBJS_Add(type);
    }
    EXPECT_EQ(AUTO_NextPurchase(), OBJ_MEGABOMB) << "every weapon held: a spare bomb";
    OBJS_Add(OBJ_MEGABOMB);
    OBJS_Add(OBJ_MEGABOMB);
    EXPECT_EQ(AUTO_NextPurchase(), -1) << "three bombs are enough";
}

} // namespace

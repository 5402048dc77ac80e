// Enemies: movement of every flight type against hand-worked paths, placements coming in
// by row, the pool, damage, bosses by difficulty, ramming, death, the end of the wave and
// damaged libraries and placements.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "anims_fixture.h"
#include "game/loadsave.h"
#include "game/vul.h"
#include "world/enemy.h"

namespace
{

// Test frames, labelled at the end of archive 1.
constexpr int kFrameA = ITM_Id(1, 740); // two 16 x 16 frames
constexpr int kFrameBoss = ITM_Id(1, 742);
constexpr int kFrameWide = ITM_Id(1, 743);   // 64 x 32
constexpr int kFrameBroken = ITM_Id(1, 744); // a label whose second frame is no sprite

// A type record with one 16 x 16 frame, flying through one point.
SLIB_S Type(int flight, const char* label = "ENA")
{
    SLIB_S t{};
    memcpy(t.label, label, std::min(strlen(label), sizeof(t.label) - 1));
    t.item = -1;
    t.bonus = -1;
    t.explosion = -1;
    t.numframes = 1;
    t.loopframes = 1;
    t.hp = 10;
    t.money = 100;
    t.speed = 4;
    t.numpoints = 1;
    t.flighttype = flight;
    t.bosstune = -1;
    t.volley = 1;
    return t;
}

void SetPoints(SLIB_S& t, std::initializer_list<std::pair<int, int>> pts)
{
    int i = 0;
    for (auto [x, y] : pts) {
        t.flightx[i] = static_cast<int16_t>(x);
        t.flighty[i] = static_cast<int16_t>(y);
        i++;
    }
    t.numpoints = i;
}

std::vector<uint8_t> LibraryBytes(const std::vector<SLIB_S>& types)
{
    std::vector<uint8_t> out(types.size() * sizeof(SLIB_S));
    if (!types.empty()) memcpy(out.data(), types.data(), out.size());
    return out;
}

CSPRITE Place(int row, int col, int type, int level = 3, int link = -1)
{
    return CSPRITE{link, type, col, row, 0, level};
}

class EnemyTest : public fx::Battlefield
{
  protected:
    void SetUp() override
    {
        startendwave = -1;
        plr = {};
        curplr_diff = 2;
        cur_diff = 24;
        control = CONTROL_KEYBOARD;
        haptic = 0;
    }

    // Writes the archives with this library, loads it and the placements as a wave does.
    void Load(const std::vector<SLIB_S>& types, std::vector<CSPRITE> placements,
              std::map<int, std::vector<uint8_t>> extra = {})
    {
        fx::ArchiveSpec spec;
        spec.count = ITM_Index(kFrameBroken) + 2;
        spec.items[ITM_ENEMYLIB1] = LibraryBytes(types);
        spec.items[kFrameA] = fx::Box(16, 16, 40);
        spec.items[kFrameA + 1] = fx::Box(16, 16, 41);
        spec.items[kFrameBoss] = fx::Box(64, 32, 42);
        spec.items[kFrameWide] = fx::Box(64, 32, 43);
        spec.items[kFrameBroken] = fx::Box(16, 16, 44);
        spec.items[kFrameBroken + 1] = {1, 2, 3};
        for (auto& [id, bytes] : extra)
            spec.items[id] = bytes;
        spec.labels = {{kFrameA, "ENA"},
                       {kFrameBoss, "ENBOSS"},
                       {kFrameWide, "ENWIDE"},
                       {kFrameBroken, "ENBROKEN"}};
        Build(spec);
        place = std::move(placements);
        csprite = place.empty() ? nullptr : place.data();
        numcsprites = static_cast<int>(place.size());
        ENEMY_LoadLib();
        ENEMY_LoadSprites();
    }

    void TearDown() override
    {
        ENEMY_FreeSprites();
        csprite = nullptr;
        numcsprites = 0;
        fx::Battlefield::TearDown();
    }

    // Brings the map to the row, so that the placements of that row come in.
    static void AtRow(int row, int yoff = 0)
    {
        tilepos = (row + 3) * MAP_COLS;
        tileyoff = yoff;
    }

    static SPRITE_SHIP_S* First()
    {
        return ships.first.next == &ships.last ? nullptr : ships.first.next;
    }

    // Adds the placement's enemy at once, with the map at its row; tileyoff 189 puts a
    // 16-pixel enemy's top at y 100.
    SPRITE_SHIP_S* Spawn(int index, int yoff = 189)
    {
        // The map one row further on, so that the frame step brings in nothing more.
        AtRow(place[index].y + 1, yoff);
        tiley = place[index].y;
        ENEMY_Add(&place[index]);
        return ships.last.prev;
    }

    std::vector<CSPRITE> place;
};

// ---- the mover --------------------------------------------------------------------------

TEST(MoveEobj, StepsAlongTheLineAndHandsBackWhatIsLeft)
{
    MOVEOBJ m{};
    m.x2 = 3; // three steps right from (0, 0)
    InitMobj(&m);
    MOVEOBJ before = m;
    EXPECT_EQ(MoveEobj(&m, 0), 0);
    EXPECT_EQ(memcmp(&m, &before, sizeof(m)), 0) << "a count of 0 changes nothing";

    // Three steps reach the end; of five asked for, the two not taken less one come back.
    EXPECT_EQ(MoveEobj(&m, 5), 1);
    EXPECT_EQ(m.x, 3);
    EXPECT_EQ(m.y, 0);
    EXPECT_EQ(m.done, 1);
    EXPECT_EQ(m.maxloop, 0);

    // A spent mover goes on along the same line.
    EXPECT_EQ(MoveEobj(&m, 4), 0);
    EXPECT_EQ(m.x, 7);

    // A steep line: y every step, x once the error term runs over (2 across, 4 down).
    MOVEOBJ s{};
    s.x2 = 2;
    s.y2 = 4;
    InitMobj(&s);
    EXPECT_EQ(MoveEobj(&s, 2), 0);
    EXPECT_EQ(s.y, 2);
    EXPECT_EQ(s.x, 2); // the error term starts at half the minor distance
    EXPECT_EQ(s.done, 0);
}

// ---- flight types -----------------------------------------------------------------------

TEST_F(EnemyTest, FlyThroughFollowsItsPointsAndLeavesAtTheLastWithoutLookingPastIt)
{
    SLIB_S t = Type(1);
    SetPoints(t, {{0, 16}, {0, 40}});
    t.flightx[2] = 500; // what a look past the last point would find
    t.flighty[2] = 500;
    Load({t}, {Place(50, 4, 0)});
    SPRITE_SHIP_S* sh = Spawn(0);
    // Column 4's middle is x 160; the origin is the middle of the screen less half the
    // height, so the points are at y 92 + 16 and 92 + 40. It starts at y 100 and has taken
    // one step toward the first point.
    ASSERT_EQ(sh->x, 152);
    EXPECT_EQ(sh->sy, 92);
    EXPECT_EQ(sh->move.y, 101);

    // Worked by hand at 4 pixels a frame: to 108, on toward 132 (a step at the turn).
    const int drawn[] = {101, 105, 109, 113, 117, 121, 125};
    for (int y : drawn) {
        ENEMY_Think();
        ASSERT_EQ(numships, 1);
        EXPECT_EQ(sh->y, y);
        EXPECT_EQ(sh->x, 152);
        EXPECT_NE(sh->move.x2, 152 + 500);
    }
    // The frame that reaches 132 takes it out of play, paying nothing.
    ENEMY_Think();
    EXPECT_EQ(numships, 0);
    EXPECT_EQ(plr.score, 0);
    EXPECT_EQ(BONUS_Count(), 0);
}

TEST_F(EnemyTest, FlyThroughOfThirtyPointsAsTheLibrarysLastTypeEndsCleanly)
{
    SLIB_S t = Type(1);
    t.numpoints = ENEMY_MAXPOINTS;
    for (int i = 0; i < ENEMY_MAXPOINTS; i++)
        t.flighty[i] = static_cast<int16_t>(i * 4);
    t.speed = 8;
    Load({Type(1), t}, {Place(50, 4, 1)});
    Spawn(0);
    int frames = 0;
    while (numships > 0 && frames < 500) {
        ENEMY_Think();
        frames++;
    }
    EXPECT_EQ(numships, 0);
    EXPECT_LT(frames, 500);
}

TEST_F(EnemyTest, PatrolPingPongsBetweenRepeatAndLastAimingAtTheLastTwice)
{
    SLIB_S t = Type(0);
    SetPoints(t, {{0, 16}, {0, 40}, {30, 40}});
    t.repeat = 1;
    Load({t}, {Place(50, 4, 0)});
    SPRITE_SHIP_S* sh = Spawn(0);
    const std::pair<int, int> p1{152, 132}, p2{182, 132};

    std::vector<std::pair<int, int>> targets;
    int pos = sh->pathpos, back = sh->backwards;
    for (int f = 0; f < 400 && targets.size() < 7; f++) {
        ENEMY_Think();
        if (sh->pathpos != pos || sh->backwards != back)
            targets.push_back({sh->move.x2, sh->move.y2});
        pos = sh->pathpos;
        back = sh->backwards;
    }
    EXPECT_EQ(targets, (std::vector<std::pair<int, int>>{p1, p2, p2, p1, p2, p2, p1}));
    EXPECT_EQ(numships, 1) << "a patrol never leaves";
}

TEST_F(EnemyTest, FlyingEnemyOfSpeedZeroNeverMovesNorChangesPoints)
{
    SLIB_S t = Type(0);
    SetPoints(t, {{0, 16}, {0, 40}});
    t.speed = 0;
    Load({t}, {Place(50, 4, 0)});
    SPRITE_SHIP_S* sh = Spawn(0);
    for (int f = 0; f < 50; f++)
        ENEMY_Think();
    EXPECT_EQ(sh->y, 101);
    EXPECT_EQ(sh->pathpos, 1);
}

TEST_F(EnemyTest, AttackRunDivesAtWhereThePlayerWasAndFliesOnOffTheScreen)
{
    SLIB_S t = Type(2);
    SetPoints(t, {{0, 16}});
    Load({t}, {Place(50, 4, 0)});
    SPRITE_SHIP_S* sh = Spawn(0);
    player_cx = 100;
    player_cy = 170;
    int f = 0;
    while (sh->phase != 2 && f++ < 100)
        ENEMY_Think();
    ASSERT_EQ(sh->phase, 2);
    EXPECT_EQ(sh->move.x2, 100);
    EXPECT_EQ(sh->move.y2, 170);
    player_cx = 300; // the dive does not follow the ship
    while (numships > 0 && f++ < 300) {
        ENEMY_Think();
        if (numships) {
            EXPECT_EQ(sh->move.x2, 100);
            EXPECT_LE(sh->y, 202);
        }
    }
    EXPECT_EQ(numships, 0);
    EXPECT_EQ(plr.score, 0);
}

TEST_F(EnemyTest, GroundEnemiesRideTheMapWaitAboveTheScreenAndDriveOnlyInView)
{
    SLIB_S left = Type(4), right = Type(5), fixed = Type(3);
    left.speed = right.speed = 2;
    Load({left, right, fixed}, {Place(50, 4, 0), Place(50, 4, 1), Place(50, 4, 2)});
    SPRITE_SHIP_S* l = Spawn(0, 0);
    SPRITE_SHIP_S* r = Spawn(1, 0);
    SPRITE_SHIP_S* g = Spawn(2, 0);
    // Row 50 at the activation row: y = 0 - 81 - 8; the drivers start a width to the side.
    ASSERT_EQ(l->y, -89);
    EXPECT_EQ(l->x, 152 + 16);
    EXPECT_EQ(r->x, 152 - 16);
    EXPECT_EQ(g->x, 152);
    EXPECT_EQ(l->groundflag, 1);

    for (int f = 0; f < 88; f++)
        ENEMY_Think();
    EXPECT_EQ(l->y, -1);
    EXPECT_EQ(l->x, 168) << "no driving above the screen";
    EXPECT_EQ(r->x, 136);

    ENEMY_Think();
    EXPECT_EQ(l->y, 0);
    EXPECT_EQ(l->x, 166);
    EXPECT_EQ(r->x, 138);
    EXPECT_EQ(l->x2, 166 + 15);

    scroll_flag = 0; // the map has stopped: they keep their height
    ENEMY_Think();
    EXPECT_EQ(l->y, 0);
    EXPECT_EQ(g->y, 0);
    EXPECT_EQ(l->x, 164);

    // The left driver leaves once it is more than half its width past the left edge.
    while (numships == 3)
        ENEMY_Think();
    EXPECT_LT(l->item, 0);
    EXPECT_EQ(r->item, kFrameA);
    EXPECT_EQ(l->x, 0) << "the freed record is cleared";
    EXPECT_EQ(r->x, 140 + 2 * 87); // 87 frames for the left one from 164 to below -8

    scroll_flag = 1;
    for (int f = 0; f < 300 && numships > 0; f++)
        ENEMY_Think();
    EXPECT_EQ(numships, 0);
    EXPECT_EQ(plr.score, 0);
}

// ---- placements -------------------------------------------------------------------------

TEST_F(EnemyTest, PlacementsComeInByRowWithTheirGroupsAndOnlyAtTheirLevel)
{
    SLIB_S t = Type(0);
    SetPoints(t, {{0, 0}});
    cur_diff = 8; // easy
    Load({t}, {
                  Place(60, 1, 0, 3),    // comes in at row 60
                  Place(60, 2, 0, 2),    // medium only: not at this level
                  Place(55, 3, 0, 3, 0), // a group: brings the next in with it
                  Place(20, 4, 0, 3),    //   whatever its row
                  Place(50, 5, 0, 7),    // no such level: never
                  Place(40, 6, 0, 3),
              });
    EXPECT_EQ(ENEMY_Level(1), ENEMY_NEVER);
    EXPECT_EQ(ENEMY_Level(0), 8);
    EXPECT_EQ(ENEMY_Level(4), ENEMY_NEVER);
    // The map is left as read, so a second load of the same item (a wave flown again while
    // its map is still in memory) brings in the same enemies.
    EXPECT_EQ(place[0].level, 3);
    ENEMY_LoadSprites();
    EXPECT_EQ(ENEMY_Level(0), 8);
    EXPECT_EQ(ENEMY_Level(1), ENEMY_NEVER);

    AtRow(61);
    ENEMY_Think();
    EXPECT_EQ(numships, 0);
    AtRow(60);
    ENEMY_Think();
    EXPECT_EQ(numships, 1);
    EXPECT_EQ(cur_enemy, &place[2]);
    AtRow(55);
    ENEMY_Think();
    EXPECT_EQ(numships, 3);
    EXPECT_EQ(cur_enemy, &place[4]);
    AtRow(50);
    ENEMY_Think();
    EXPECT_EQ(numships, 3);
    EXPECT_EQ(end_waveflag, 0);
    AtRow(40);
    ENEMY_Think();
    EXPECT_EQ(numships, 4);
    EXPECT_EQ(end_waveflag, 1);
    EXPECT_EQ(startendwave, -1) << "enemies are still in play";
}

TEST_F(EnemyTest, APlacementOfARowAlreadyPassedBlocksEveryLaterOne)
{
    Load({Type(3)}, {Place(145, 1, 0), Place(100, 2, 0)});
    for (int row = 139; row >= 90; row--) {
        AtRow(row);
        ENEMY_Think();
    }
    EXPECT_EQ(numships, 0);
    EXPECT_EQ(cur_enemy, &place[0]);
}

TEST_F(EnemyTest, ThePoolHoldsThirtyAndTheThirtyFirstEndsTheGame)
{
    Load({Type(3)}, std::vector<CSPRITE>(31, Place(50, 4, 0, 3, 0)));
    for (int i = 0; i < ENEMY_MAX; i++)
        Spawn(i);
    EXPECT_EQ(numships, ENEMY_MAX);
    EXPECT_EQ(ships.Count(), ENEMY_MAX);
    EXPECT_EXIT(Spawn(30), ::testing::ExitedWithCode(0), "");
}

// ---- damage -----------------------------------------------------------------------------

class DamageTest : public EnemyTest
{
  protected:
    void SetUp() override
    {
        EnemyTest::SetUp();
        SLIB_S air = Type(0), ground = Type(3);
        SetPoints(air, {{0, 8}});
        air.speed = 0;
        air.hp = ground.hp = 100;
        air.egrabflag = 1;
        Load({air, ground}, {Place(50, 4, 0), Place(50, 4, 1)});
        a = Spawn(0);
        g = Spawn(1);
        a->move.x = g->x; // both over the same square
        a->move.y = g->y;
        scroll_flag = 0;
        ENEMY_Think(); // builds the list of enemies in view
        ASSERT_EQ(cur_visable, 2);
    }
    SPRITE_SHIP_S* a = nullptr;
    SPRITE_SHIP_S* g = nullptr;
};

TEST_F(DamageTest, OnlyPointsStrictlyInsideTheBoxHitAndOneEnemyPerCall)
{
    // Both enemies cover the same square: the box edges miss, the inside hits the first.
    ASSERT_EQ(a->x, g->x);
    ASSERT_EQ(a->y, g->y);
    for (auto [x, y] : {std::pair{a->x, a->y + 5},
                        {a->x2, a->y + 5},
                        {a->x + 5, a->y},
                        std::pair{a->x + 5, a->y2}})
        EXPECT_EQ(ENEMY_DamageAll(x, y, 7), 0);
    EXPECT_EQ(ENEMY_DamageAll(a->x + 1, a->y2 - 1, 7), 1);
    EXPECT_EQ(a->hp + g->hp, 193);
    EXPECT_EQ(a->hp, 93) << "the air enemy came into play first";

    // The class calls take the first enemy of their class, not the first of all.
    EXPECT_EQ(ENEMY_DamageGround(a->x + 5, a->y + 5, 10), 1);
    EXPECT_EQ(g->hp, 90);
    EXPECT_EQ(ENEMY_DamageAir(a->x + 5, a->y + 5, 10), 1);
    EXPECT_EQ(a->hp, 83);
    EXPECT_EQ(ENEMY_DamageAir(5, 5, 10), 0);
}

TEST_F(DamageTest, TrainingDoublesGroundAndAirDamageButNotTheRest)
{
    curplr_diff = 0;
    ENEMY_DamageGround(a->x + 5, a->y + 5, 10);
    ENEMY_DamageAir(a->x + 5, a->y + 5, 10);
    EXPECT_EQ(g->hp, 80);
    EXPECT_EQ(a->hp, 80);
    ENEMY_DamageAll(a->x + 5, a->y + 5, 10);
    EXPECT_EQ(a->hp, 70);
}

TEST_F(DamageTest, EnergyTakesOneHitPointAndTheGunsOnceItsGripIsWornDown)
{
    // Resistance is a sixteenth of the hit points: 6.
    EXPECT_EQ(a->egrab, 6);
    EXPECT_EQ(ENEMY_DamageEnergy(a->x + 5, a->y + 5, 5), a);
    EXPECT_EQ(a->hp, 99);
    EXPECT_EQ(a->egrab, 1);
    EXPECT_EQ(a->gunsoff, 0);
    ENEMY_DamageEnergy(a->x + 5, a->y + 5, 5);
    EXPECT_EQ(a->gunsoff, 0);
    ENEMY_DamageEnergy(a->x + 5, a->y + 5, 5);
    EXPECT_EQ(a->hp, 97);
    EXPECT_EQ(a->gunsoff, 1);
    EXPECT_EQ(a->shootflag, 0);
    EXPECT_EQ(ENEMY_DamageEnergy(5, 5, 5), nullptr);
    EXPECT_EQ(g->hp, 100) << "no energy damage to ground enemies";
}

TEST_F(DamageTest, RandomTargetsComeFromTheEnemiesInView)
{
    for (int i = 0; i < 20; i++) {
        SPRITE_SHIP_S* r = ENEMY_GetRandom();
        EXPECT_TRUE(r == a || r == g);
        EXPECT_EQ(ENEMY_GetRandomAir(), a);
    }
    cur_visable = 0;
    EXPECT_EQ(ENEMY_GetRandom(), nullptr);
    EXPECT_EQ(ENEMY_GetRandomAir(), nullptr);
}

// ---- bosses -----------------------------------------------------------------------------

TEST_F(EnemyTest, BossesStartWeakerOnTheTwoEasiestDifficultiesAndReportTheirStrength)
{
    SLIB_S boss = Type(3, "ENBOSS");
    boss.boss = 1;
    boss.hp = 101;
    boss.volley = 8;
    Load({boss}, {Place(50, 4, 0), Place(50, 4, 0)});
    // hp less half of it (rounded down), volley less a quarter.
    const int hp[4] = {51, 51, 101, 101}, volley[4] = {6, 6, 8, 8};
    for (int d = 0; d < 4; d++) {
        curplr_diff = d;
        ENEMY_Clear();
        SPRITE_SHIP_S* sh = Spawn(0);
        EXPECT_EQ(sh->hp, hp[d]) << "difficulty " << d;
        EXPECT_EQ(sh->volley, volley[d]) << "difficulty " << d;
    }
    // The gauge: mean of hp * 100 / full over the bosses whose middle is on screen.
    ENEMY_Clear();
    curplr_diff = 2;
    SPRITE_SHIP_S* b1 = Spawn(0);
    SPRITE_SHIP_S* b2 = Spawn(1);
    b1->hp = 50; // 49 %
    b2->hp = 101;
    EXPECT_EQ(ENEMY_GetBaseDamage(), (49 + 100) / 2);
    b2->y = -b2->hly - 1;
    EXPECT_EQ(ENEMY_GetBaseDamage(), 49);
}

// ---- ramming and death ------------------------------------------------------------------

TEST_F(EnemyTest, RammingCostsSixteenHitPointsAFrameAndShieldByTheSize)
{
    SLIB_S t = Type(0, "ENWIDE");
    SetPoints(t, {{0, 0}});
    t.speed = 0;
    t.hp = 40;
    Load({t}, {Place(50, 4, 0)});
    OBJS_Add(OBJ_SHIELD);
    OBJS_AddEnergy(100);
    int energy = OBJS_GetAmt(OBJ_SHIELD);
    SPRITE_SHIP_S* sh = Spawn(0);
    ENEMY_Think();
    player_cx = sh->x + 10;
    player_cy = sh->y + 10;
    ENEMY_Think();
    EXPECT_EQ(sh->hp, 24);
    EXPECT_EQ(OBJS_GetAmt(OBJ_SHIELD), energy - 64 / 4);
    ENEMY_Think();
    EXPECT_EQ(sh->hp, 8);
    // The third frame of contact kills it, and it pays.
    ENEMY_Think();
    EXPECT_EQ(numships, 0);
    EXPECT_EQ(plr.score, 100);
}

TEST_F(EnemyTest, DeathPaysMoneyAndDropsThePickupEvenOutOfView)
{
    SLIB_S t = Type(3);
    t.bonus = OBJ_SHIELD;
    t.money = 250;
    t.explosion = 8; // the money shower adds its own pickup
    Load({t}, {Place(50, 4, 0)});
    plr.score = 1000;
    SPRITE_SHIP_S* sh = Spawn(0, 0); // still above the screen
    sh->hp = 0;
    ENEMY_Think();
    EXPECT_EQ(numships, 0);
    EXPECT_EQ(plr.score, 1250);
    EXPECT_EQ(BONUS_Count(), 2);
    EXPECT_GT(ANIMS_Count(), 0);
}

// ---- the end of the wave ----------------------------------------------------------------

TEST_F(EnemyTest, TheLastEnemyGoneAfterTheLastPlacementStartsTheCountdown)
{
    Load({Type(3)}, {Place(50, 4, 0), Place(40, 4, 0)});
    AtRow(50);
    ENEMY_Think();
    First()->hp = 0; // shot down before the last placement came in
    ENEMY_Think();
    EXPECT_EQ(numships, 0);
    EXPECT_EQ(startendwave, -1);
    AtRow(40);
    ENEMY_Think();
    EXPECT_EQ(startendwave, -1);
    First()->hp = 0;
    ENEMY_Think();
    EXPECT_EQ(startendwave, 60);
}

TEST_F(EnemyTest, ARemovalWhileTheShipIsDyingDoesNotRestartItsCountdown)
{
    Load({Type(3)}, {Place(50, 4, 0)});
    AtRow(50);
    ENEMY_Think();
    startendwave = 25; // the ship is blowing up
    First()->hp = 0;
    ENEMY_Think();
    EXPECT_EQ(startendwave, 25);
}

TEST_F(EnemyTest, LastPlacementsSkippedAtThisDifficultyStillEndTheWave)
{
    Load({Type(3)}, {Place(50, 4, 0), Place(40, 4, 0, 5), Place(39, 4, 0, 5)});
    AtRow(50);
    ENEMY_Think();
    First()->hp = 0;
    ENEMY_Think();
    AtRow(40);
    ENEMY_Think();
    AtRow(39);
    ENEMY_Think();
    EXPECT_EQ(end_waveflag, 1);
    EXPECT_EQ(startendwave, 60);
}

TEST_F(EnemyTest, AMapWithoutPlacementsEndsOnceItHasStopped)
{
    Load({Type(3)}, {});
    AtRow(30);
    ENEMY_Think();
    EXPECT_EQ(startendwave, -1);
    scroll_flag = 0;
    ENEMY_Think();
    EXPECT_EQ(startendwave, 60);
}

// ---- damaged data -----------------------------------------------------------------------

TEST_F(EnemyTest, DamagedCountsAreClampedAndBadPlacementsNeverComeIn)
{
    SLIB_S t = Type(0);
    t.numguns = 99;
    t.numflames = -3;
    t.numpoints = 77;
    t.repeat = 40;
    t.numframes = 2;
    t.loopframes = 0;
    t.hp = 0;
    SLIB_S unterminated = Type(3);
    memset(unterminated.label, 'A', sizeof(unterminated.label));
    std::vector<CSPRITE> p = {Place(50, 1, 0), Place(50, 2, 1), Place(50, 3, 5), Place(50, 4, 0)};
    p[3].game = 2; // a library the map does not have
    p.push_back(Place(50, 5, 0));
    p.back().game = -1;
    Load({t, unterminated}, p);
    const SLIB_S& lib = slib[0][0];
    EXPECT_EQ(lib.numguns, ENEMY_MAXGUNS);
    EXPECT_EQ(lib.numflames, 0);
    EXPECT_EQ(lib.numpoints, ENEMY_MAXPOINTS);
    EXPECT_EQ(lib.repeat, ENEMY_MAXPOINTS - 1);
    EXPECT_EQ(lib.loopframes, 1);
    EXPECT_EQ(lib.hp, 1);
    EXPECT_EQ(ENEMY_Level(0), 8);
    for (int i = 1; i < 5; i++)
        EXPECT_EQ(ENEMY_Level(i), ENEMY_NEVER) << "placement " << i;
    AtRow(50);
    ENEMY_Think();
    EXPECT_EQ(numships, 1);
}

TEST_F(EnemyTest, ATypeThatCannotBeDrawnOrAnimatedEndsTheGame)
{
    SLIB_S broken = Type(3, "ENBROKEN");
    broken.numframes = 2;
    EXPECT_EXIT(Load({broken}, {Place(50, 4, 0)}), ::testing::ExitedWithCode(0), "");
    SLIB_S anim = Type(3);
    anim.animtype = 3;
    EXPECT_EXIT(Load({anim}, {Place(50, 4, 0)}), ::testing::ExitedWithCode(0), "");
    // At a level not in play neither matters.
    Load({broken, anim}, {Place(50, 4, 0, 5), Place(50, 4, 1, 5)});
    EXPECT_EQ(ENEMY_Level(0), ENEMY_NEVER);
}

TEST_F(EnemyTest, WithoutTheFirstEpisodesLibraryTheGameEnds)
{
    fx::ArchiveSpec spec;
    Build(spec);
    place = {Place(50, 4, 0)};
    csprite = place.data();
    numcsprites = 1;
    GLB_Shutdown();
    std::vector<GLB_WRITEITEM> a0 = {{"ZERO", {1, 2, 3, 4}, false}};
    std::vector<GLB_WRITEITEM> a1(10, GLB_WRITEITEM{"", {1}, false});
    vt::WriteArchive(home.dir() + "/FILE0000.GLB", a0);
    vt::WriteArchive(home.dir() + "/FILE0001.GLB", a1);
    ASSERT_EQ(GLB_InitSystem((home.dir() + "/x").c_str(), 2, nullptr), 2);
    EXPECT_EXIT(ENEMY_LoadLib(), ::testing::ExitedWithCode(0), "");
    csprite = nullptr;
    numcsprites = 0;
}

} // namespace

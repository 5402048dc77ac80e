// The player's weapons on a small battlefield whose pictures are plain boxes: cadence,
// where each weapon's shots start and go, the pool running dry, shots ending at the screen
// edges and on buildings, staged missiles, beams, the laser and the mega bomb.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "anims_fixture.h"
#include "game/loadsave.h"
#include "world/enemy.h"
#include "world/eshot.h"
#include "world/shots.h"

namespace
{

class ShotsTest : public fx::Battlefield
{
  protected:
    void SetUp() override
    {
        fx::Battlefield::SetUp();
        SHOTS_Init();
        ESHOT_Init();
        TClear();
        NoTiles();
        playerpic = 3;
        startfadeflag = 0;
        g_flash = 0;
    }
    void TearDown() override
    {
        SHOTS_Clear();
        fx::Battlefield::TearDown();
    }

    // No spot of the map in view can be hit.
    static void NoTiles()
    {
        for (TILESPOT& s : tspots)
            s = {-1, -100, -100, -1};
        lastspot = &tspots[MAP_SPOTS - 1];
    }

    static std::vector<SHOTS_S*> InPlay()
    {
        std::vector<SHOTS_S*> out;
        for (SHOTS_S* s = shots.first.next; s != &shots.last; s = s->next)
            out.push_back(s);
        return out;
    }

    // Fires with the button held for `frames` frames; counts the frames a shot went.
    static std::vector<int> Hold(int type, int frames)
    {
        std::vector<int> went;
        for (int f = 0; f < frames; f++) {
            int before = shotnum;
            SHOTS_PlayerShoot(type);
            if (shotnum > before) went.push_back(f);
            SHOTS_Think();
            SHOTS_Clear(); // keeps the pool from filling; the countdowns stay
        }
        return went;
    }

    static void Reset()
    {
        for (SHOT_LIB& w : shot_lib)
            w.cnt = 0;
        SHOTS_Clear();
    }
};

TEST_F(ShotsTest, EachWeaponFiresOnItsOwnCadence)
{
    EXPECT_EQ(Hold(0, 9), (std::vector<int>{0, 2, 4, 6, 8}));
    Reset();
    EXPECT_EQ(Hold(1, 25), (std::vector<int>{0, 10, 20}));
    Reset();
    EXPECT_EQ(Hold(11, 130), (std::vector<int>{0, 60, 120}));
    Reset();
    EXPECT_EQ(Hold(9, 31), (std::vector<int>{0, 30}));
    Reset();
    // Weapon 4 fires every frame; with nothing to aim at no shot goes, but the weapon
    // counts as used.
    EXPECT_EQ(SHOTS_PlayerShoot(4), 1);
    EXPECT_EQ(shotnum, 0);
    SHOTS_Think();
    EXPECT_EQ(SHOTS_PlayerShoot(4), 1);
    // So does the laser.
    EXPECT_EQ(SHOTS_PlayerShoot(5), 1);
    EXPECT_EQ(shotnum, 0);
    EXPECT_EQ(SHOTS_PlayerShoot(5), 0) << "the countdown was spent";

    // The countdowns run on across waves.
    Reset();
    SHOTS_PlayerShoot(11);
    SHOTS_Clear();
    SHOTS_Think();
    EXPECT_EQ(SHOTS_PlayerShoot(11), 0);
    EXPECT_EQ(shot_lib[11].cnt, 59);
}

TEST_F(ShotsTest, WhereEachWeaponsShotsStart)
{
    // Level flight and a hard bank: the guns' offsets follow the ship's frame.
    for (int bank : {3, 0}) {
        playerpic = bank;
        const int cx = player_cx, cy = player_cy;
        const int g1 = o_gun1[bank], g2 = o_gun2[bank], g3 = o_gun3[bank];
        struct CASE {
            int type;
            std::vector<int> xs;
            int y;
        };
        const CASE cases[] = {
            {0, {cx + g1, cx - g1 - 1}, cy},
            {1, {cx}, cy},
            {2, {cx + g3, cx - g3}, cy},
            {6, {cx + g2, cx - g2}, cy},
            {7, {cx + g2, cx - g2}, cy},
            {8, {cx + g2, cx - g2}, cy},
            {9, {cx}, cy},
            {10, {cx - 4}, cy},
            {12, {cx}, cy},
            {13, {cx + g3, cx - g3}, cy},
            {14, {cx}, cy - 24},
        };
        for (const CASE& c : cases) {
            Reset();
            ASSERT_EQ(SHOTS_PlayerShoot(c.type), 1) << c.type;
            std::vector<int> xs;
            for (SHOTS_S* s : InPlay()) {
                xs.push_back(s->move.x);
                EXPECT_EQ(s->move.y, c.y) << c.type;
                // Guns fire straight up; beams reach past the top of the screen.
                EXPECT_EQ(s->move.x2, s->move.x) << c.type;
                EXPECT_EQ(s->move.y2, c.type >= 13 ? -24 : 0) << c.type;
            }
            EXPECT_EQ(xs, c.xs) << "weapon " << c.type << ", frame " << bank;
        }
    }
    // Main guns 1 and 3 flash the ship.
    Reset();
    g_flash = 0;
    SHOTS_PlayerShoot(1);
    EXPECT_EQ(g_flash, 0);
    SHOTS_PlayerShoot(2);
    EXPECT_EQ(g_flash, SHIP_FRAMES);

    // The staged missiles go out to either side and a little back first.
    playerpic = 3;
    Reset();
    SHOTS_PlayerShoot(3);
    std::vector<SHOTS_S*> m = InPlay();
    ASSERT_EQ(m.size(), 2u);
    EXPECT_GE(m[0]->move.x2, player_cx + 10);
    EXPECT_LE(m[0]->move.x2, player_cx + 25);
    EXPECT_LE(m[1]->move.x2, player_cx - 10);
    EXPECT_GE(m[1]->move.x2, player_cx - 25);
    EXPECT_EQ(m[0]->move.y2, player_cy + 5);
    EXPECT_EQ(m[0]->stage, 1);
}

TEST_F(ShotsTest, AFullPoolDropsThePairsSecondShot)
{
    std::vector<SHOTS_S*> held;
    while (held.size() < SHOTS_MAX - 1)
        held.push_back(SHOTS_Get());
    EXPECT_EQ(SHOTS_PlayerShoot(0), 1);
    EXPECT_EQ(shotnum, SHOTS_MAX);
    EXPECT_EQ(shots.last.prev->move.x, player_cx + o_gun1[playerpic]);
    // Nothing left: nothing fires, and the countdown is spent all the same.
    shot_lib[2].cnt = 0;
    EXPECT_EQ(SHOTS_PlayerShoot(2), 0);
    EXPECT_EQ(shot_lib[2].cnt, shot_lib[2].firedelay);
    EXPECT_EQ(shothigh, SHOTS_MAX);
}

TEST_F(ShotsTest, ShotsLeaveAtTheTopAndTheEdges)
{
    // Main gun 2 climbs 5, 6, 7, then 8 pixels a frame.
    player_cy = 60;
    SHOTS_PlayerShoot(1);
    SHOTS_S* s = InPlay().at(0);
    std::vector<int> ys;
    for (int i = 0; i < 8 && shotnum; i++) {
        SHOTS_Think();
        if (shotnum) ys.push_back(s->move.y);
    }
    // From 60 to just above the top; once past it, it is drawn once more, then gone.
    EXPECT_EQ(ys, (std::vector<int>{55, 49, 42, 34, 26, 18, 10, 2}));
    SHOTS_Think();
    SHOTS_Think();
    EXPECT_EQ(shotnum, 0);

    // A shot beyond the side edges ends at once.
    Reset();
    player_cx = 318;
    SHOTS_PlayerShoot(6);
    SHOTS_Think();
    EXPECT_EQ(shotnum, 1) << "the right-hand missile is off the screen";
    EXPECT_EQ(InPlay().at(0)->move.x, 318 - o_gun2[playerpic]);
}

TEST_F(ShotsTest, AShotThatStrikesABuildingEndsTheSameFrame)
{
    // A building under the ship's guns.
    const int n = 140 * MAP_COLS + 4;
    titems[n] = 1;
    eitems[n] = 2;
    hits[n] = 100;
    tspots[0] = {1, MAP_LEFT + 4 * TILE_SIZE, 100, n};
    player_cx = MAP_LEFT + 4 * TILE_SIZE + 10;
    player_cy = 140;
    SHOTS_PlayerShoot(0); // two shots, 9 pixels up in the first frame
    int frames = 0;
    while (shotnum && frames < 20) {
        SHOTS_Think();
        frames++;
    }
    // Both points reach 131, inside the spot, for the second frame's test: gone in that
    // frame, one hit point each.
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(hits[n], 100 - 2);

    // Main gun 2 hits only air enemies: it flies over the building.
    Reset();
    hits[n] = 100;
    SHOTS_PlayerShoot(1);
    for (int i = 0; i < 30 && shotnum; i++)
        SHOTS_Think();
    EXPECT_EQ(hits[n], 100);
    // The bomb weapon blasts it.
    SHOTS_PlayerShoot(9);
    for (int i = 0; i < 20 && shotnum; i++)
        SHOTS_Think();
    EXPECT_EQ(hits[n], 100 - 50);
}

TEST_F(ShotsTest, StagedMissilesTurnAtTheEndOfTheirFirstLeg)
{
    player_cx = 160;
    player_cy = 150;
    SHOTS_PlayerShoot(3);
    std::vector<SHOTS_S*> m = InPlay();
    ASSERT_EQ(m.size(), 2u);
    const int tx = m[0]->move.x2;
    // Out to the side at 2 pixels a frame (the speed waits for the turn), then up.
    int frames = 0;
    while (m[0]->stage == 1 && frames < 30) {
        SHOTS_Think();
        frames++;
    }
    ASSERT_EQ(m[0]->stage, 0) << "turned before leaving the screen";
    EXPECT_LE(m[0]->move.x, tx + 2);
    EXPECT_GE(m[0]->move.x, tx);
    EXPECT_EQ(m[0]->move.y2, 0);
    EXPECT_EQ(frames, (tx - 160 + 2) / 2);
    // From then on it climbs to the top and ends there.
    for (int i = 0; i < 60 && shotnum; i++)
        SHOTS_Think();
    EXPECT_EQ(shotnum, 0);
}

TEST_F(ShotsTest, TheMegaBombGoesOffAtItsTarget)
{
    // An enemy shot in play and a building in view: the bomb clears the one and shakes the
    // other; it damages nothing on its way.
    ESHOT_S* e = ESHOT_Get();
    e->lib = &plib[0];
    const int n = 142 * MAP_COLS + 3;
    titems[n] = 1;
    eitems[n] = 2;
    hits[n] = 100;
    tspots[0] = {1, MAP_LEFT + 3 * TILE_SIZE, 120, n};
    player_cx = MAP_LEFT + 3 * TILE_SIZE + 16;
    player_cy = 180;
    SHOTS_PlayerShoot(11);
    int frames = 0;
    while (shotnum && frames < 100) {
        EXPECT_EQ(hits[n], 100) << "frame " << frames;
        EXPECT_EQ(startfadeflag, 0);
        SHOTS_Think();
        frames++;
    }
    // Two pixels a frame along the longer of the two distances to (160, 75).
    const int dx = std::abs(160 - player_cx), dy = std::abs(75 - player_cy);
    EXPECT_EQ(frames, (std::max(dx, dy) + 1 + 1) / 2);
    EXPECT_EQ(startfadeflag, 1);
    EXPECT_EQ(eshotnum, 0);
    EXPECT_EQ(hits[n], 80);
}

TEST_F(ShotsTest, BeamsAndTheLaserAreBoundToTheShip)
{
    SHOTS_PlayerShoot(13);
    ASSERT_EQ(shotnum, 2);
    // The beams follow the ship and last their four frames.
    player_cx += 5;
    player_cy -= 3;
    int frames = 0;
    while (shotnum && frames < 10) {
        SHOTS_Think();
        if (frames == 0) {
            SHOTS_S* s = InPlay().at(0);
            EXPECT_EQ(s->x, player_cx - 5 + o_gun3[playerpic] - shot_lib[13].hlx + 5);
            EXPECT_EQ(s->y, player_cy + 3 - 3);
        }
        frames++;
    }
    EXPECT_EQ(frames, 4);

    // A beam with nothing in front reaches off the top; drawn in 3-pixel steps from there.
    Reset();
    SHOTS_PlayerShoot(14);
    SHOTS_Think();
    Clear();
    SHOTS_Display();
    fx::Rect r = Drawn();
    EXPECT_EQ(r.y, 0);
    EXPECT_GT(r.h, player_cy - 24 - 1);
    // Its muzzle takes the second beam's own four frames in turn, 4 pixels to the left.
    SHOTS_S* s = InPlay().at(0);
    for (int f = 0; f < 3; f++) {
        if (f) {
            Clear();
            SHOTS_Display();
        }
        EXPECT_EQ(displaybuffer[s->y * SCREENWIDTH + s->x - 4], fx::FrameColour(ITM_DETPOW, f))
            << f;
    }
}

TEST_F(ShotsTest, UnknownWeaponsEndTheProgram)
{
    EXPECT_EXIT(SHOTS_PlayerShoot(-1), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(SHOTS_PlayerShoot(15), ::testing::ExitedWithCode(0), "");
}

// Shots against enemies put in view by hand: boxes 20 wide and 16 high.
class ShotsAtEnemiesTest : public ShotsTest
{
  protected:
    void SetUp() override
    {
        ShotsTest::SetUp();
        ENEMY_Clear();
        cur_visable = 0;
        curplr_diff = 2;
        type = {};
    }
    void TearDown() override
    {
        ENEMY_Clear();
        cur_visable = 0;
        ShotsTest::TearDown();
    }

    SPRITE_SHIP_S* Enemy(int x, int y, int hp, bool ground = false)
    {
        SPRITE_SHIP_S* en = ENEMY_Get();
        en->lib = &type;
        en->item = ITM_ANIM0;
        en->x = en->move.x = x;
        en->y = en->move.y = y;
        en->width = 20;
        en->height = 16;
        en->x2 = x + 19;
        en->y2 = y + 15;
        en->hlx = 10;
        en->hly = 8;
        en->hp = hp;
        en->groundflag = ground;
        onscreen[cur_visable++] = en;
        return en;
    }

    SLIB_S type;
};

TEST_F(ShotsAtEnemiesTest, AShotHitsOnlyInsideTheBoxAndOneEnemyAtATime)
{
    // Main gun 2 climbs from y 120 and tests its point (x, 115) after the first frame: on
    // the box's left edge nothing is hit, a pixel inside it is.
    SPRITE_SHIP_S* en = Enemy(100, 100, 50);
    player_cy = 120;
    player_cx = 100;
    SHOTS_PlayerShoot(1);
    for (int i = 0; i < 6; i++)
        SHOTS_Think();
    EXPECT_EQ(en->hp, 50) << "the edge x = 100";
    Reset();
    player_cx = 119;
    SHOTS_PlayerShoot(1);
    for (int i = 0; i < 6; i++)
        SHOTS_Think();
    EXPECT_EQ(en->hp, 50) << "the edge x2 = 119";

    // Two enemies over each other: the first in view takes the whole hit.
    SPRITE_SHIP_S* other = Enemy(95, 98, 50);
    Reset();
    player_cx = 110;
    SHOTS_PlayerShoot(1);
    SHOTS_Think(); // the point 120: below both boxes; it climbs to 115
    SHOTS_Think(); // 115: on the bottom edge of the one, below the other; on to 109
    EXPECT_EQ(en->hp + other->hp, 100);
    SHOTS_Think(); // 109 is inside both
    EXPECT_EQ(en->hp, 48);
    EXPECT_EQ(other->hp, 50);
    // The hit shot is drawn once more where it hit, then it is gone.
    SHOTS_S* s = InPlay().at(0);
    EXPECT_EQ(s->hitflag, 1);
    EXPECT_EQ(s->y, 109 - shot_lib[1].hly);
    SHOTS_Think();
    EXPECT_EQ(shotnum, 0);
    EXPECT_EQ(en->hp, 48) << "no second hit";

    // Main gun 2 is for aircraft only; main gun 1 hits any enemy, even on training
    // only with its own strength.
    en->groundflag = other->groundflag = 1;
    Reset();
    SHOTS_PlayerShoot(1);
    for (int i = 0; i < 6; i++)
        SHOTS_Think();
    EXPECT_EQ(en->hp, 48);
    Reset();
    curplr_diff = 0;
    player_cx = 108; // its pair at 108 + 3 and 108 - 4
    SHOTS_PlayerShoot(0);
    for (int i = 0; i < 4; i++)
        SHOTS_Think();
    EXPECT_EQ(en->hp, 48 - 2) << "both shots on the first enemy";
    EXPECT_EQ(other->hp, 50);
}

TEST_F(ShotsAtEnemiesTest, ABeamPassesAnEnemyLeftAtMinusOne)
{
    player_cx = 160;
    player_cy = 170;
    // In list order: one that the beam's 6 takes to exactly -1, then one further up.
    SPRITE_SHIP_S* a = Enemy(150, 100, 5);
    SPRITE_SHIP_S* b = Enemy(150, 40, 20);
    SPRITE_SHIP_S* c = Enemy(150, 10, 30);
    SHOTS_PlayerShoot(14);
    SHOTS_Think();
    EXPECT_EQ(a->hp, -1);
    EXPECT_EQ(b->hp, 14);
    EXPECT_EQ(c->hp, 30) << "the beam stopped at the second";
    EXPECT_EQ(InPlay().at(0)->move.y2, 40 + 8);
    // Next frame the first is at -7: it stops the beam now.
    SHOTS_Think();
    EXPECT_EQ(a->hp, -7);
    EXPECT_EQ(b->hp, 14);
    EXPECT_EQ(InPlay().at(0)->move.y2, 100 + 8);
    // Enemies below the ship are not in its way.
    a->y = 171;
    SHOTS_Think();
    EXPECT_EQ(b->hp, 8);
}

TEST_F(ShotsAtEnemiesTest, TheLaserStrikesOnceAndOnlyAircraft)
{
    SPRITE_SHIP_S* tank = Enemy(100, 60, 20, true);
    SPRITE_SHIP_S* jet = Enemy(200, 60, 20);
    EXPECT_EQ(SHOTS_PlayerShoot(5), 1);
    EXPECT_EQ(jet->hp, 15);
    SHOTS_S* s = InPlay().at(0);
    // Its end is a random point of the jet's picture (a pixel to the left and up allowed).
    EXPECT_GE(s->move.x, 199);
    EXPECT_LE(s->move.x, 218);
    EXPECT_GE(s->move.y, 59);
    EXPECT_LE(s->move.y, 74);
    SHOTS_Think();
    EXPECT_EQ(jet->hp, 15) << "one strike a firing";
    EXPECT_EQ(tank->hp, 20);
    Clear();
    SHOTS_Display();
    EXPECT_EQ(shotnum, 0) << "gone once drawn";
    EXPECT_EQ(displaybuffer[player_cy * SCREENWIDTH + player_cx], 64);
}

TEST_F(ShotsAtEnemiesTest, TheMegaBombHitsEveryEnemy)
{
    SPRITE_SHIP_S* a = Enemy(30, 20, 100);
    SPRITE_SHIP_S* b = Enemy(250, 150, 100, true);
    player_cx = 160;
    player_cy = 85;
    SHOTS_PlayerShoot(11);
    for (int i = 0; i < 10 && shotnum; i++)
        SHOTS_Think();
    EXPECT_EQ(shotnum, 0);
    EXPECT_EQ(a->hp, 50);
    EXPECT_EQ(b->hp, 50);
}

} // namespace

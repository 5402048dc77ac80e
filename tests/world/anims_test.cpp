// One-shot animations: the types and their pictures from the archives, the pool, where
// each kind of start puts the picture, riding with the ship or an enemy, drift and the
// scrolling ground, and frames that must not be drawn.
#include "anims_fixture.h"
#include "world/enemy.h"

namespace
{

using fx::Battlefield;
using fx::Rect;

class AnimsTest : public Battlefield
{
  protected:
    // One think and one drawing of a layer on a clean screen.
    Rect Frame(void (*display)(void))
    {
        ANIMS_Think();
        Clear();
        display();
        return Drawn();
    }
};

TEST_F(AnimsTest, TypesTakeTheirSizeFromTheFirstPictureAndOnlyTheFramesThatExist)
{
    fx::ArchiveSpec spec;
    spec.items[ITM_ANIM1] = fx::Box(30, 17, 40);
    spec.items[ITM_ANIM2] = {}; // a bare label where the first frame should be
    spec.count = ITM_Index(ITM_ANIM7) + 5;
    Build(spec);

    ASSERT_EQ(curlib, ANIM_NUMTYPES);
    const ANIMLIB& blast = animlib[ANIM_GROUNDBLAST];
    EXPECT_EQ(blast.item, ITM_ANIM0);
    EXPECT_EQ(blast.numframes, 42);
    EXPECT_EQ(blast.hlx, fx::kAnimW / 2);
    EXPECT_EQ(blast.hly, fx::kAnimH / 2);
    EXPECT_EQ(animlib[ANIM_BIGBLAST].hlx, 15);
    EXPECT_EQ(animlib[ANIM_BIGBLAST].hly, 8);
    const ANIMLIB& smoke = animlib[ANIM_PLAYERSMOKE];
    EXPECT_EQ(smoke.layer, ANIM_SKY);
    EXPECT_EQ(smoke.shade, 1);
    EXPECT_EQ(smoke.drift, ANIM_DRIFTDOWN);
    EXPECT_EQ(animlib[ANIM_FLASH].follow, 1);

    // The debris run is cut by the end of the archive, the small blast has no frames.
    EXPECT_EQ(animlib[ANIM_DEBRIS].numframes, 5);
    EXPECT_EQ(animlib[ANIM_SMALLBLAST].numframes, 0);
    ANIMS_CachePics(); // would end the program on an entry past the end
    ANIMS_FreePics();

    ASSERT_NE(ANIMS_StartAnim(ANIM_SMALLBLAST, 100, 100), nullptr);
    ANIMS_DisplayGround();
    EXPECT_EQ(Drawn(), Rect{});
    EXPECT_EQ(Frame(ANIMS_DisplayGround), Rect{});

    // Types that were never registered start nothing.
    EXPECT_EQ(ANIMS_StartAnim(ANIM_NUMTYPES, 10, 10), nullptr);
    EXPECT_EQ(ANIMS_StartAnim(-1, 10, 10), nullptr);
}

TEST_F(AnimsTest, TheTwentySixthTypeEndsTheProgram)
{
    for (int i = ANIM_NUMTYPES; i < ANIMS_MAXTYPES; i++)
        EXPECT_EQ(ANIMS_Register(ITM_ANIM9, 4, ANIM_HIGH, 0, 0, 0), i);
    EXPECT_EXIT(ANIMS_Register(ITM_ANIM9, 4, ANIM_HIGH, 0, 0, 0), ::testing::ExitedWithCode(0), "");
}

TEST_F(AnimsTest, PoolOfAHundredIsReusedAsAnimationsFinish)
{
    // Short and long animations interleaved, so finished ones are unlinked from between
    // live neighbours.
    scroll_flag = 0;
    for (int i = 0; i < ANIMS_MAXANIMS; i++)
        ASSERT_NE(ANIMS_StartAnim(i % 2 ? ANIM_LASERHIT : ANIM_GROUNDBLAST, i, 50), nullptr) << i;
    EXPECT_EQ(ANIMS_StartAnim(ANIM_LASERHIT, 0, 0), nullptr);
    EXPECT_EQ(ANIMS_StartGAnim(ANIM_LASERHIT, 0, 0), nullptr);
    EXPECT_EQ(ANIMS_StartAAnim(ANIM_LASERHIT, 0, 0), nullptr);

    for (int i = 0; i < 5; i++)
        ANIMS_Think(); // the four-frame laser hits are done
    for (int i = 0; i < ANIMS_MAXANIMS / 2; i++)
        ASSERT_NE(ANIMS_StartAAnim(ANIM_LASERHIT, 10, 10), nullptr) << i;
    EXPECT_EQ(ANIMS_StartAAnim(ANIM_LASERHIT, 10, 10), nullptr);

    // The survivors are the ground blasts, centred on x = 0, 2, ... 98.
    Clear();
    ANIMS_DisplayGround();
    EXPECT_EQ(Drawn(), (Rect{0, 47, 98 + fx::kAnimW / 2, fx::kAnimH}));

    ANIMS_Clear();
    for (int i = 0; i < ANIMS_MAXANIMS; i++)
        ASSERT_NE(ANIMS_Get(), nullptr);
    EXPECT_EQ(ANIMS_Get(), nullptr);
}

TEST_F(AnimsTest, FramesPlayInOrderOncePerThink)
{
    scroll_flag = 0;
    ANIMS_StartAnim(ANIM_LASERHIT, 100, 100);
    for (int f = 0; f < animlib[ANIM_LASERHIT].numframes; f++) {
        EXPECT_EQ(Frame(ANIMS_DisplayHigh), (Rect{96, 97, fx::kAnimW, fx::kAnimH}));
        EXPECT_EQ(displaybuffer[100 * SCREENWIDTH + 100], fx::FrameColour(ITM_ANIM9, f));
    }
    EXPECT_EQ(Frame(ANIMS_DisplayHigh), Rect{});
}

TEST_F(AnimsTest, GroundStartsAtTheCornerTheOthersCentreOnThePoint)
{
    scroll_flag = 0;
    const Rect centred{96, 47, fx::kAnimW, fx::kAnimH}, corner{100, 50, fx::kAnimW, fx::kAnimH};

    ANIMS_StartAnim(ANIM_GROUNDBLAST, 100, 50); // a ground type
    EXPECT_EQ(Frame(ANIMS_DisplayGround), centred);
    EXPECT_EQ(Frame(ANIMS_DisplaySky), Rect{});
    EXPECT_EQ(Frame(ANIMS_DisplayHigh), Rect{});
    ANIMS_Clear();

    ANIMS_StartGAnim(ANIM_SHOTHIT1, 100, 50); // a sky type, put on the ground
    EXPECT_EQ(Frame(ANIMS_DisplayGround), corner);
    EXPECT_EQ(Frame(ANIMS_DisplaySky), Rect{});
    ANIMS_Clear();

    ANIMS_StartAAnim(ANIM_GROUNDBLAST, 100, 50); // a ground type, lifted high
    EXPECT_EQ(Frame(ANIMS_DisplayHigh), centred);
    EXPECT_EQ(Frame(ANIMS_DisplayGround), Rect{});
    ANIMS_Clear();

    ANIMS_StartAnim(ANIM_SHOTHIT2, 100, 50);
    EXPECT_EQ(Frame(ANIMS_DisplaySky), centred);
}

TEST_F(AnimsTest, MuzzleFlashRidesWithTheShip)
{
    ANIMS_StartAnim(ANIM_MUZZLE, 5, 0);
    EXPECT_EQ(Frame(ANIMS_DisplaySky), (Rect{161, 173, fx::kAnimW, fx::kAnimH}));
    player_cx += 30;
    player_cy -= 20;
    EXPECT_EQ(Frame(ANIMS_DisplaySky), (Rect{191, 153, fx::kAnimW, fx::kAnimH}));
}

TEST_F(AnimsTest, AttachedAnimationStaysWhereItsEnemyDied)
{
    SPRITE_SHIP_S en{};
    en.item = 5;
    en.move.x = 50;
    en.move.y = 60;
    ANIMS_S* a = ANIMS_StartEAnim(&en, ANIM_ENERGYHIT, 10, 10);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->layer, ANIM_HIGH);
    EXPECT_EQ(Frame(ANIMS_DisplayHigh), (Rect{56, 67, fx::kAnimW, fx::kAnimH}));

    en.move.x = 70;
    en.move.y = 80;
    EXPECT_EQ(Frame(ANIMS_DisplayHigh), (Rect{76, 87, fx::kAnimW, fx::kAnimH}));

    // The enemy dies and its record is cleared ...
    en = {};
    en.item = -1;
    EXPECT_EQ(Frame(ANIMS_DisplayHigh), (Rect{76, 87, fx::kAnimW, fx::kAnimH}));
    // ... and taken by a new enemy elsewhere: the hit stays where it was.
    en.item = 9;
    en.move.x = 200;
    en.move.y = 20;
    EXPECT_EQ(Frame(ANIMS_DisplayHigh), (Rect{76, 87, fx::kAnimW, fx::kAnimH}));
    EXPECT_EQ(a->detached, 1);
    EXPECT_EQ(ANIMS_StartEAnim(nullptr, ANIM_ENERGYHIT, 0, 0), nullptr);
}

TEST_F(AnimsTest, SmokeDriftsAndGroundAnimationsScrollWithTheMap)
{
    ANIMS_S* down = ANIMS_StartAnim(ANIM_PLAYERSMOKE, 100, 100);
    ANIMS_S* up = ANIMS_StartAnim(ANIM_ENEMYSMOKE, 100, 100);
    ANIMS_S* ground = ANIMS_StartAnim(ANIM_GROUNDBLAST, 100, 100);
    ANIMS_S* sky = ANIMS_StartAnim(ANIM_SHOTHIT1, 100, 100);
    ANIMS_Think();
    const int d0 = down->y, u0 = up->y, g0 = ground->y, s0 = sky->y;
    for (int k = 1; k <= 3; k++) {
        ANIMS_Think();
        EXPECT_EQ(down->y, d0 + 2 * k);
        EXPECT_EQ(up->y, u0 - 2 * k);
        EXPECT_EQ(ground->y, g0 + k);
        EXPECT_EQ(sky->y, s0);
        EXPECT_EQ(down->x, 100 - animlib[ANIM_PLAYERSMOKE].hlx);
    }
    // The map has stopped: the ground no longer carries its animations.
    scroll_flag = 0;
    ANIMS_Think();
    ANIMS_Think();
    EXPECT_EQ(ground->y, g0 + 4);
}

TEST_F(AnimsTest, ShadeTypesBrightenAndDamagedFramesAreSkipped)
{
    // Frame 1 of the laser hit has a run that leaves its box, frame 2 is a plain picture.
    auto bad = fx::Box(fx::kAnimW, fx::kAnimH, 90);
    int32_t x = 6;
    memcpy(&bad[GFX_PIC_HEADER], &x, 4); // an 8-pixel run starting at column 6
    int32_t off = x;
    memcpy(&bad[GFX_PIC_HEADER + 8], &off, 4);
    fx::ArchiveSpec spec;
    spec.items[ITM_ANIM9 + 1] = bad;
    spec.items[ITM_ANIM9 + 2] = vt::MakePic(8, 6, std::vector<uint8_t>(48, 91));
    Build(spec);
    scroll_flag = 0;

    ANIMS_StartAnim(ANIM_LASERHIT, 100, 100);
    EXPECT_NE(Frame(ANIMS_DisplayHigh), Rect{});
    EXPECT_EQ(Frame(ANIMS_DisplayHigh), Rect{});
    EXPECT_EQ(Frame(ANIMS_DisplayHigh), Rect{});
    EXPECT_NE(Frame(ANIMS_DisplayHigh), Rect{});

    // Smoke takes only its shape from the picture: the ground under it gets lighter.
    ANIMS_S* smoke = ANIMS_StartAnim(ANIM_PLAYERSMOKE, 100, 100);
    ANIMS_Think();
    Clear();
    ANIMS_DisplaySky();
    EXPECT_EQ(Drawn(), (Rect{smoke->x, smoke->y, fx::kAnimW, fx::kAnimH}));
    EXPECT_EQ(displaybuffer[smoke->y * SCREENWIDTH + smoke->x], ltable[fx::kBg]);
}

} // namespace

// Shadows: the per-frame limits, the flat ground shadow, the sky shadow projected toward
// the middle of the screen and clipped at every edge, darkened exactly once per pixel.
#include "anims_fixture.h"
#include "game/vul.h"

namespace
{

using fx::Battlefield;
using fx::Rect;

constexpr int kShip = ITM_LSHIP;      // a 32x32 box
constexpr int kDot = ITM_LSHIP + 1;   // a 2x2 box
constexpr int kHoley = ITM_LSHIP + 2; // 32x32 with a gap down the middle: two runs a row
constexpr int kBroken = ITM_LSHIP + 3;

class ShadowTest : public Battlefield
{
  protected:
    void SetUp() override
    {
        fx::ArchiveSpec spec;
        spec.items[kShip] = fx::Box(32, 32, 60);
        spec.items[kDot] = fx::Box(2, 2, 60);
        spec.items[kHoley] =
            vt::MakeSprite(32, 32, vt::Grid(32, 32, [](int x, int) { return x == 15 ? 0 : 60; }));
        auto broken = fx::Box(4, 4, 60);
        broken[GFX_PIC_HEADER + 12] = 9; // the first run is longer than the box is wide
        spec.items[kBroken] = broken;
        Build(spec);

        pal = vt::MakeRampPalette();
        palette = pal.data();
        SHADOW_MakeShades();
        // What one darkening does to the background, found the way the game builds it.
        std::vector<uint8_t> t(256);
        start_lookup = 0;
        end_lookup = 239;
        GFX_MakeLightTable(pal.data(), t.data(), -6);
        once = t[fx::kBg];
        twice = t[once];
        ASSERT_NE(once, fx::kBg);
        ASSERT_NE(twice, once);
    }
    void TearDown() override
    {
        palette = nullptr;
        Battlefield::TearDown();
    }

    // One coordinate seen from 1000 in front of the screen centre at depth 1280: the
    // screen plane is 200 from the eye, the point 280.
    static int Project(int v, int view) { return view + (((v - view) * 409600) / 280 >> 11); }

    // Where the sky shadow of a w x h box drawn at (x, y) must land, cut to the screen.
    static Rect Expected(int x, int y, int w, int h)
    {
        int x0 = std::max(Project(x - 10, 160), 0);
        int x1 = std::min(Project(x - 10 + w - 1, 160), SCREENWIDTH - 1);
        int y0 = std::max(Project(y + 20, 100), 0);
        int y1 = std::min(Project(y + 20 + h - 1, 100), SCREENHEIGHT - 1);
        if (x1 < x0 || y1 < y0) return {};
        return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
    }

    // Every changed pixel was darkened once, never twice.
    static void ExpectDarkenedOnce(uint8_t once)
    {
        int wrong = 0;
        for (int i = 0; i < SCREENSIZE; i++)
            if (displaybuffer[i] != fx::kBg && displaybuffer[i] != once && wrong++ < 3)
                ADD_FAILURE() << "pixel " << i % SCREENWIDTH << "," << i / SCREENWIDTH << " is "
                              << int(displaybuffer[i]);
    }

    std::vector<uint8_t> pal;
    uint8_t once = 0, twice = 0;
};

TEST_F(ShadowTest, OnlyTheFirstFiftySkyAndTwentyFiveGroundShadowsOfAFrameAreDrawn)
{
    // The ones that fit in the lists go to the left half, the rest to the right half.
    for (int i = 0; i < SHADOW_MAXGROUND + 5; i++)
        SHADOW_GAdd(kDot, i < SHADOW_MAXGROUND ? 10 + 4 * i : 200 + 4 * i, 20);
    for (int i = 0; i < SHADOW_MAXSKY + 5; i++)
        SHADOW_Add(kDot, i < SHADOW_MAXSKY ? 4 * i : 100 + 4 * i, 100);
    EXPECT_EQ(num_gshadows, SHADOW_MAXGROUND);
    EXPECT_EQ(num_shadows, SHADOW_MAXSKY);

    SHADOW_DisplayGround();
    SHADOW_DisplaySky();
    EXPECT_EQ(num_gshadows, 0);
    EXPECT_EQ(num_shadows, 0);
    Rect r = Drawn();
    EXPECT_LT(r.x + r.w, 200) << r;
    // Ground shadows: 25 dots of four pixels darkened by the standard table.
    int ground = 0;
    for (int i = 0; i < 40 * SCREENWIDTH; i++)
        ground += displaybuffer[i] == dtable[fx::kBg];
    EXPECT_EQ(ground, SHADOW_MAXGROUND * 4);

    // At the lowest detail nothing is drawn, and the lists are still emptied.
    opt_detail = 0;
    Clear();
    SHADOW_GAdd(kDot, 10, 10);
    SHADOW_Add(kShip, 100, 50);
    SHADOW_DisplayGround();
    SHADOW_DisplaySky();
    EXPECT_EQ(Drawn(), Rect{});
    EXPECT_EQ(num_gshadows, 0);
    EXPECT_EQ(num_shadows, 0);
}

TEST_F(ShadowTest, GroundShadowLiesFlatJustLeftAndBelow)
{
    SHADOW_GAdd(kShip, 100, 50);
    SHADOW_DisplayGround();
    EXPECT_EQ(Drawn(), (Rect{97, 54, 32, 32}));
    EXPECT_EQ(displaybuffer[60 * SCREENWIDTH + 110], dtable[fx::kBg]);
}

TEST_F(ShadowTest, SkyShadowOfTheShipIsShrunkTowardTheMiddleAndDarkenedOnce)
{
    // The ship at its starting place: its shape, cast from 10 left and 20 below, scaled
    // by 200/280 about the screen centre.
    SHADOW_Add(kShip, 144, 160);
    SHADOW_DisplaySky();
    EXPECT_EQ(Drawn(), (Rect{141, 157, 23, 23}));
    ExpectDarkenedOnce(once);

    // Two runs to a row, and 32 picture rows falling onto 23 screen rows.
    Clear();
    SHADOW_Add(kHoley, 144, 160);
    SHADOW_DisplaySky();
    EXPECT_EQ(Drawn(), (Rect{141, 157, 23, 23}));
    ExpectDarkenedOnce(once);
}

TEST_F(ShadowTest, SkyShadowIsClippedAtEveryEdge)
{
    for (int y = -260; y <= 420; y += 17)
        for (int x = -420; x <= 700; x += 23) {
            Clear();
            SHADOW_Add(kShip, x, y);
            SHADOW_DisplaySky();
            ASSERT_EQ(Drawn(), Expected(x, y, 32, 32)) << "at " << x << "," << y;
            ExpectDarkenedOnce(once);
        }
}

TEST_F(ShadowTest, DamagedOrMissingPicturesCastNoShadow)
{
    SHADOW_Add(kBroken, 100, 50);
    SHADOW_GAdd(kBroken, 100, 50);
    SHADOW_Add(ITM_Id(1, 5000), 100, 50); // past the end of the archive
    SHADOW_GAdd(-1, 100, 50);
    SHADOW_DisplayGround();
    SHADOW_DisplaySky();
    EXPECT_EQ(Drawn(), Rect{});
}

TEST_F(ShadowTest, ShadeTableNeverPicksAnAnimatedColour)
{
    // Animated colours that copy ordinary ones win a tie in a colour search over the whole
    // palette; the table is built while the search still covers it, as at start-up.
    for (int i = 240; i < 256; i++)
        for (int c = 0; c < 3; c++)
            pal[i * 3 + c] = pal[(i - 239) * 3 + c];
    start_lookup = 0;
    end_lookup = 255;
    SHADOW_MakeShades();
    EXPECT_EQ(start_lookup, 0);
    EXPECT_EQ(end_lookup, 255);
    for (int c = 0; c < 240; c++) {
        memset(displaybuffer, c, SCREENSIZE);
        SHADOW_Add(kShip, 144, 160);
        SHADOW_DisplaySky();
        ASSERT_LT(displaybuffer[165 * SCREENWIDTH + 150], 240) << "colour " << c;
    }
}

} // namespace

// Engine flames: the brightness gradient of each direction, the gradient spread over what
// is left after clipping at the screen edges, the detail setting, and tables that never
// pick the animated colours.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "input/input.h"
#include "testutil/gfxitems.h"
#include "testutil/testutil.h"
#include "world/flame.h"

namespace
{

// A dark grey of a palette whose first 64 colours are every grey: each brightening
// level gives a colour of its own.
constexpr uint8_t kBg = 20;

std::vector<uint8_t> GreyPalette()
{
    std::vector<uint8_t> pal(768);
    for (int i = 0; i < 256; i++) {
        pal[i * 3] = static_cast<uint8_t>(i < 64 ? i : 63);
        pal[i * 3 + 1] = static_cast<uint8_t>(i < 64 ? i : 0);
        pal[i * 3 + 2] = static_cast<uint8_t>(i < 64 ? i : i % 64);
    }
    return pal;
}

class FlameTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        GFX_InitSystem();
        pal = GreyPalette();
        palette = pal.data();
        start_lookup = 0;
        end_lookup = 239;
        FLAME_Init();
        opt_detail = 1;
        memset(displaybuffer, kBg, SCREENSIZE);
    }
    void TearDown() override { palette = nullptr; }

    // The colour the background becomes through table t (0 the brightest).
    uint8_t Lit(int t)
    {
        std::vector<uint8_t> table(256);
        GFX_MakeLightTable(pal.data(), table.data(), 16 - 2 * t);
        return table[kBg];
    }

    // Expects columns x0..x1 of rows y0.. to show the given colours top to bottom, and
    // nothing else on screen to have changed.
    void ExpectFlame(int x0, int x1, int y0, const std::vector<uint8_t>& rows)
    {
        int wrong = 0;
        for (int y = 0; y < SCREENHEIGHT; y++)
            for (int x = 0; x < SCREENWIDTH; x++) {
                bool in = x >= x0 && x <= x1 && y >= y0 && y < y0 + static_cast<int>(rows.size());
                uint8_t want = in ? rows[y - y0] : kBg;
                if (vt::Px(x, y) != want && wrong++ < 3)
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << int(vt::Px(x, y))
                                  << ", want " << int(want);
            }
        memset(displaybuffer, kBg, SCREENSIZE);
    }

    std::vector<uint8_t> pal;
    vt::FakeClock clock{1000};
};

TEST_F(FlameTest, ShipFlameIsBrightestAtTheTopAndLongerOnOddFlips)
{
    FLAME_Down(100, 50, 4, 0);
    ExpectFlame(100, 103, 50, {Lit(0), Lit(1), Lit(2), Lit(3), Lit(4), Lit(5), Lit(6), Lit(7)});

    // Twelve rows: table row * (8 / 12), the step truncated in 16.16.
    FLAME_Down(100, 50, 4, 1);
    ExpectFlame(100, 103, 50,
                {Lit(0), Lit(0), Lit(1), Lit(1), Lit(2), Lit(3), Lit(3), Lit(4), Lit(5), Lit(5),
                 Lit(6), Lit(7)});
    EXPECT_EQ(Lit(0), kBg + 16);
    EXPECT_EQ(Lit(7), kBg + 2);

    // Drawn whatever the detail setting.
    opt_detail = 0;
    FLAME_Down(100, 50, 4, 2);
    ExpectFlame(100, 103, 50, {Lit(0), Lit(1), Lit(2), Lit(3), Lit(4), Lit(5), Lit(6), Lit(7)});
}

TEST_F(FlameTest, EnemyFlameRisesToItsBrightestBase)
{
    // Five rows ending at row 60, table (4 - row) * (8 / 5) from the top.
    FLAME_Up(30, 60, 3, 0);
    ExpectFlame(30, 32, 56, {Lit(6), Lit(4), Lit(3), Lit(1), Lit(0)});

    FLAME_Up(30, 60, 3, 1);
    ExpectFlame(30, 32, 51,
                {Lit(7), Lit(6), Lit(5), Lit(4), Lit(3), Lit(3), Lit(2), Lit(1), Lit(0), Lit(0)});

    opt_detail = 0;
    FLAME_Up(30, 60, 3, 1);
    ExpectFlame(0, -1, 0, {});
}

TEST_F(FlameTest, ClippedFlameSpreadsItsGradientOverTheRowsLeft)
{
    // Four rows left at the bottom edge: tables 0, 2, 4, 6.
    FLAME_Down(100, 196, 4, 0);
    ExpectFlame(100, 103, 196, {Lit(0), Lit(2), Lit(4), Lit(6)});

    // Three rows left at the top edge, brightest at the base.
    FLAME_Up(100, 2, 4, 0);
    ExpectFlame(100, 103, 0, {Lit(5), Lit(2), Lit(0)});

    // Left and right edges keep only the columns on screen.
    FLAME_Down(-2, 50, 4, 0);
    ExpectFlame(0, 1, 50, {Lit(0), Lit(1), Lit(2), Lit(3), Lit(4), Lit(5), Lit(6), Lit(7)});
    FLAME_Down(318, 50, 4, 0);
    ExpectFlame(318, 319, 50, {Lit(0), Lit(1), Lit(2), Lit(3), Lit(4), Lit(5), Lit(6), Lit(7)});

    // Wholly off screen, or no width at all: nothing.
    for (auto [x, y] : {std::pair{-4, 50}, {320, 50}, {100, 200}, {100, -8}, {100, -100}})
        FLAME_Down(x, y, 4, 0);
    for (auto [x, y] : {std::pair{-4, 50}, {320, 50}, {100, 209}, {100, -1}, {100, 500}})
        FLAME_Up(x, y, 4, 1);
    ExpectFlame(0, -1, 0, {});
    FLAME_Down(100, 50, 0, 0);
    FLAME_Up(100, 50, -3, 0);
    ExpectFlame(0, -1, 0, {});
}

TEST_F(FlameTest, TablesNeverPickAnAnimatedColour)
{
    // Bright animated colours that the brightening would find first, with the colour
    // search still over the whole palette as it is when start-up builds the tables.
    for (int i = 240; i < 256; i++)
        for (int c = 0; c < 3; c++)
            pal[i * 3 + c] = pal[(i - 239) * 3 + c];
    start_lookup = 0;
    end_lookup = 255;
    FLAME_InitShades();
    EXPECT_EQ(end_lookup, 255);
    for (int c = 0; c < 240; c++) {
        memset(displaybuffer, c, SCREENSIZE);
        FLAME_Down(10, 10, 1, 1);
        for (int y = 10; y < 22; y++)
            ASSERT_LT(vt::Px(10, y), 240) << "colour " << c << " row " << y;
    }
}

} // namespace

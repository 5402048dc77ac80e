// Palette setting and reading, colour search in the lookup range, the colour tables, and
// both kinds of fade paced by the frame counter.
#include <array>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "game/i_system.h"
#include "gfx/gfxapi.h"
#include "testutil/gfxitems.h"
#include "testutil/testutil.h"

namespace
{

using PAL = std::array<uint8_t, PALETTE_SIZE>;

PAL Solid(int r, int g, int b)
{
    PAL p;
    for (int i = 0; i < PALETTE_SIZE; i += 3) {
        p[i] = static_cast<uint8_t>(r);
        p[i + 1] = static_cast<uint8_t>(g);
        p[i + 2] = static_cast<uint8_t>(b);
    }
    return p;
}

PAL Current()
{
    PAL p;
    GFX_GetPalette(p.data());
    return p;
}

class PaletteTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        GFX_InitSystem();
        GFX_SetPalRange(0, 255);
        pal = vt::MakeRampPalette();
    }
    void TearDown() override { GFX_SetPalRange(0, 255); }
    vt::FakeClock clock{1000};
    std::vector<uint8_t> pal;
};

TEST_F(PaletteTest, SetAndGetRoundTripAndRespectTheFirstEntry)
{
    GFX_SetPalette(pal.data(), 0);
    EXPECT_EQ(Current(), *reinterpret_cast<const PAL*>(pal.data()));

    PAL white = Solid(63, 63, 63);
    GFX_SetPalette(white.data(), 240);
    PAL now = Current();
    EXPECT_TRUE(std::equal(now.begin(), now.begin() + 240 * 3, pal.begin()));
    EXPECT_TRUE(std::all_of(now.begin() + 240 * 3, now.end(), [](uint8_t v) { return v == 63; }));

    GFX_SetPalette(Solid(1, 2, 3).data(), 256); // beyond the last entry: nothing
    EXPECT_EQ(Current(), now);

    // A damaged palette with components above 63 shows them as full, not wrapped to dark.
    PAL bad = Solid(64, 200, 255);
    GFX_SetPalette(bad.data(), 0);
    EXPECT_EQ(Current(), Solid(63, 63, 63));
}

TEST_F(PaletteTest, NearestColourStaysInTheLookupRangeAndPrefersTheHigherTwin)
{
    GFX_SetPalRange(0, 239);
    // Bright specials above 239 are never chosen, whatever is asked for.
    for (int i = 240; i < 256; i++) {
        int r, g, b;
        GFX_GetRGB(pal.data(), i, &r, &g, &b);
        EXPECT_LE(GFX_Remap(pal.data(), r, g, b), 239);
    }
    uint8_t table[256];
    for (int level : {-63, -9, 0, 9, 63}) {
        GFX_MakeLightTable(pal.data(), table, level);
        for (int i = 0; i < 256; i++)
            ASSERT_LE(table[i], 239) << "level " << level << " entry " << i;
    }
    GFX_MakeGreyTable(pal.data(), table);
    for (int i = 0; i < 256; i++)
        ASSERT_LE(table[i], 239);

    // Identical twins: the later one wins.
    std::vector<uint8_t> twins = pal;
    memcpy(&twins[200 * 3], &twins[17 * 3], 3);
    EXPECT_EQ(GFX_Remap(twins.data(), twins[17 * 3], twins[17 * 3 + 1], twins[17 * 3 + 2]), 200);
    // Level 0 maps a colour to itself or to its later twin.
    GFX_MakeLightTable(twins.data(), table, 0);
    EXPECT_EQ(table[17], 200);
    EXPECT_EQ(table[18], 18);
}

TEST_F(PaletteTest, LookupRangeChangesOnlyForAProperRange)
{
    EXPECT_EQ(GFX_SetPalRange(0, 239), 1);
    EXPECT_EQ(GFX_SetPalRange(10, 10), 1); // empty: ignored
    EXPECT_EQ(GFX_SetPalRange(5, 256), 1); // too far: ignored
    EXPECT_EQ(GFX_SetPalRange(-1, 100), 0);
    EXPECT_EQ(start_lookup, 0);
    EXPECT_EQ(end_lookup, 239);
    EXPECT_EQ(GFX_SetPalRange(16, 31), 1);
    EXPECT_EQ(start_lookup, 16);
    EXPECT_EQ(end_lookup, 31);
    // Every search now lands in 16..31, even for black.
    int found = GFX_Remap(pal.data(), 0, 0, 0);
    EXPECT_GE(found, 16);
    EXPECT_LE(found, 31);
}

TEST_F(PaletteTest, LightAndGreyTablesClampAndAverage)
{
    // Entry 0 (60, 30, 5), entry 1 (63, 39, 14) which is entry 0 lightened by 9,
    // entry 2 (51, 21, 0) which is entry 0 darkened by 9 and clamped, 3 a mid grey.
    std::vector<uint8_t> p(768, 0);
    auto set = [&p](int i, int r, int g, int b) {
        p[i * 3] = static_cast<uint8_t>(r);
        p[i * 3 + 1] = static_cast<uint8_t>(g);
        p[i * 3 + 2] = static_cast<uint8_t>(b);
    };
    for (int i = 0; i < 256; i++)
        set(i, 32, 0, 63); // filler far from everything below
    set(0, 60, 30, 5);
    set(1, 63, 39, 14);
    set(2, 51, 21, 0);
    set(3, 31, 31, 31);
    set(4, 0, 0, 0);
    uint8_t table[256];
    GFX_MakeLightTable(p.data(), table, 9);
    EXPECT_EQ(table[0], 1);
    GFX_MakeLightTable(p.data(), table, -9);
    EXPECT_EQ(table[0], 2);
    GFX_MakeLightTable(p.data(), table, -63);
    EXPECT_EQ(table[3], 4);
    // (60 + 30 + 5) / 3 = 31, remainder dropped.
    GFX_MakeGreyTable(p.data(), table);
    EXPECT_EQ(table[0], 3);

    uint8_t pixels[4] = {0, 1, 2, 3};
    uint8_t shade[256];
    for (int i = 0; i < 256; i++)
        shade[i] = static_cast<uint8_t>(255 - i);
    GFX_Shade(pixels, 3, shade);
    EXPECT_EQ(pixels[0], 255);
    EXPECT_EQ(pixels[2], 253);
    EXPECT_EQ(pixels[3], 3); // beyond the count
}

// A clock that records the display palette at every reading, so a fade can be watched
// step by step. Each reading moves time on by `step` milliseconds (at least one, or the
// last millisecond before a tick, which is polled, would never pass).
std::vector<PAL> seen;
uint32_t watch_now;
uint32_t watch_step;
uint32_t WatchTicks(void)
{
    seen.push_back(Current());
    watch_now += watch_step;
    return watch_now;
}
void WatchDelay(uint32_t ms)
{
    watch_now += ms;
}
const I_CLOCK watchclock = {WatchTicks, WatchDelay};

class FadeTest : public PaletteTest
{
  protected:
    void Watch(uint32_t step)
    {
        seen.clear();
        watch_now = 5000;
        watch_step = step;
        I_SetClock(&watchclock);
        GFX_InitSystem();
    }
    void TearDown() override
    {
        I_SetClock(nullptr);
        PaletteTest::TearDown();
    }
};

TEST_F(FadeTest, FadeOutReachesTheColourFromAboveInTheGivenFrames)
{
    GFX_SetPalette(Solid(63, 40, 1).data(), 0);
    Watch(1);
    uint32_t start = watch_now;
    GFX_FadeOut(0, 0, 0, 32);
    EXPECT_EQ(Current(), Solid(0, 0, 0));
    // 32 frames of 1000/70 ms, and not a frame more.
    uint32_t took = watch_now - start;
    EXPECT_GE(took, 32 * 1000 / 70);
    EXPECT_LE(took, 33 * 1000 / 70);
    // Never brighter than before, never below the target, every step shown in order.
    int steps_seen = 0;
    for (size_t i = 1; i < seen.size(); i++) {
        for (int c = 0; c < PALETTE_SIZE; c++)
            ASSERT_LE(seen[i][c], seen[i - 1][c]);
        if (seen[i] != seen[i - 1]) steps_seen++;
    }
    EXPECT_GE(steps_seen, 20);
    // Truncation toward zero: red 63 after one step of 32 is 63 - 63 * 1 / 32 = 62, and the
    // last step before the end still shows a trace of it (63 - 63 * 31 / 32 = 2).
    bool saw62 = false, saw2 = false;
    for (const PAL& p : seen) {
        saw62 |= p[0] == 62;
        saw2 |= p[0] == 2;
    }
    EXPECT_TRUE(saw62);
    EXPECT_TRUE(saw2);
}

TEST_F(FadeTest, FadeNeverOvershootsWhenTicksPassBetweenReadings)
{
    // Every reading of the clock is a tick or more later, so the step read last in a
    // pass can run past the fade's length; the palette must stop at the target.
    GFX_SetPalette(Solid(63, 63, 63).data(), 0);
    Watch(15);
    GFX_FadeOut(0, 0, 0, 8);
    for (size_t i = 1; i < seen.size(); i++)
        for (int c = 0; c < PALETTE_SIZE; c++)
            ASSERT_LE(seen[i][c], seen[i - 1][c]) << "reading " << i;
    EXPECT_EQ(Current(), Solid(0, 0, 0));
}

TEST_F(FadeTest, FadeInToAPaletteAndZeroLengthFades)
{
    GFX_SetPalette(Solid(0, 0, 0).data(), 0);
    Watch(1);
    GFX_FadeIn(pal.data(), 10);
    EXPECT_EQ(Current(), *reinterpret_cast<const PAL*>(pal.data()));
    Watch(1);
    uint32_t start = watch_now;
    GFX_FadeOut(10, 20, 30, 0);
    EXPECT_EQ(Current(), Solid(10, 20, 30));
    EXPECT_EQ(watch_now, start); // no waiting
}

TEST_F(FadeTest, StepwiseFadeMixesFromTheRememberedPalette)
{
    GFX_SetPalette(Solid(60, 0, 30).data(), 0);
    GFX_FadeStart();
    PAL target = Solid(0, 60, 33);
    GFX_FadeFrame(target.data(), 1, 20);
    EXPECT_EQ(Current(), Solid(57, 3, 30)); // 60 - 60/20, 0 + 3, 30 + 3*1/20 = 30
    GFX_FadeFrame(target.data(), 10, 20);
    EXPECT_EQ(Current(), Solid(30, 30, 31));
    GFX_FadeFrame(target.data(), 20, 20);
    EXPECT_EQ(Current(), target);
    // Out-of-range steps stay within the two palettes instead of wrapping.
    GFX_FadeFrame(target.data(), 25, 20);
    EXPECT_EQ(Current(), target);
    GFX_FadeFrame(target.data(), 3, 0);
    EXPECT_EQ(Current(), target);
}

} // namespace

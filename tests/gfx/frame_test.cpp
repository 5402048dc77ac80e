// The frame counter, waiting for ticks, and the dirty rectangle that decides what of the
// frame buffer reaches the screen.
#include <cstring>

#include <gtest/gtest.h>

#include "game/i_system.h"
#include "gfx/gfxapi.h"
#include "testutil/testutil.h"

namespace
{

class FrameTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        GFX_InitSystem();
        GFX_SetBusyWait(false);
        memset(displayscreen, 0, SCREENSIZE);
    }
    vt::FakeClock clock{1000};
};

TEST_F(FrameTest, CounterRunsAtSeventyPerSecondWithoutDrift)
{
    // In one step, millisecond by millisecond, and across a long pause.
    clock.advance(1000);
    EXPECT_EQ(GFX_GetFrameCount(), 70);
    for (int i = 0; i < 1000; i++) {
        clock.advance(1);
        GFX_GetFrameCount();
    }
    EXPECT_EQ(GFX_GetFrameCount(), 140);
    clock.advance(7); // 7 ms is not quite half a frame ...
    EXPECT_EQ(GFX_GetFrameCount(), 140);
    clock.advance(8); // ... 15 ms is one with a remainder
    EXPECT_EQ(GFX_GetFrameCount(), 141);
    clock.advance(10u * 3600 * 1000); // ten hours away
    EXPECT_EQ(GFX_GetFrameCount(), 141 + 70 * 36000);
}

TEST_F(FrameTest, DisplayUpdateShowsAtMostOneFramePerTickAndWakesOnTheTick)
{
    // Every reading of the clock takes a millisecond, as a busy poll would.
    clock.setAutoStep(1);
    int prev = framecount;
    for (int i = 0; i < 200; i++) {
        GFX_DisplayUpdate();
        EXPECT_EQ(framecount, prev + 1) << "pass " << i;
        // The sleeping wait must not sleep past the tick: the reading that saw it was
        // taken in the millisecond the tick came.
        uint32_t seen_at = clock.now() - 1 - 1000;
        EXPECT_EQ(static_cast<int>(uint64_t{seen_at} * 70 / 1000), framecount);
        EXPECT_LT(static_cast<int>(uint64_t{seen_at - 1} * 70 / 1000), framecount) << i;
        prev = framecount;
    }
    // A slow pass is not caught up: the next update does not wait.
    clock.advance(100);
    int before = GFX_GetFrameCount();
    GFX_DisplayUpdate();
    EXPECT_EQ(framecount, before);
}

// A clock read by a fast poller: a millisecond passes every 50 readings.
uint32_t poller_now;
uint32_t poller_reads;
uint32_t PollerTicks(void)
{
    if (++poller_reads % 50 == 0) poller_now++;
    return poller_now;
}
void PollerDelay(uint32_t ms)
{
    poller_now += ms;
}
const I_CLOCK pollerclock = {PollerTicks, PollerDelay};

TEST_F(FrameTest, PollingTheCounterRestsBetweenReadingsButSeesTheTickOnTime)
{
    poller_now = 1000;
    poller_reads = 0;
    I_SetClock(&pollerclock);
    GFX_InitSystem();
    // Spinning on the counter: it rests while the tick is more than a millisecond away,
    // then polls, and sees the tick in the millisecond it comes (the first is due
    // 1000 / 70 = 14.3 ms after the start).
    int polls = 0;
    while (GFX_GetFrameCount() == 0)
        polls++;
    EXPECT_EQ(framecount, 1);
    EXPECT_EQ(poller_now, 1000u + 15);
    // Spinning for 15 ms would take some 375 polls.
    EXPECT_LT(polls, 50);
    I_SetClock(nullptr);
}

TEST_F(FrameTest, BusyWaitCountsTheSameTicks)
{
    GFX_SetBusyWait(true);
    clock.setAutoStep(1);
    int prev = GFX_GetFrameCount();
    for (int i = 0; i < 20; i++) {
        GFX_DisplayUpdate();
        int fc = GFX_GetFrameCount();
        EXPECT_EQ(fc, prev + 1);
        prev = fc;
    }
}

TEST_F(FrameTest, WaitUpdateWaitsSeventyOverFpsTicks)
{
    clock.setAutoStep(1);
    struct {
        int fps, ticks;
    } cases[] = {{15, 4}, {70, 1}, {35, 2}, {1, 70}, {0, 1}, {100, 1}, {-5, 1}};
    for (auto c : cases) {
        GFX_WaitUpdate(70); // catch up with any tick already passed
        int before = GFX_GetFrameCount();
        GFX_WaitUpdate(c.fps);
        EXPECT_EQ(GFX_GetFrameCount() - before, c.ticks) << "fps " << c.fps;
    }
    // A tick that came since the last call counts at once.
    GFX_WaitUpdate(70);
    clock.advance(15); // a tick and more
    int before = GFX_GetFrameCount();
    GFX_WaitUpdate(35);
    EXPECT_EQ(GFX_GetFrameCount() - before, 1);
}

TEST_F(FrameTest, DirtyRectangleKeepsWholeFourPixelUnitsInsideTheScreen)
{
    struct {
        int x, y, w, h;
        int ex, ey, ew, eh;
    } cases[] = {
        {5, 5, 1, 1, 4, 5, 4, 1},
        {318, 0, 10, 10, 316, 0, 4, 10},
        {-5, -3, 10, 10, 0, 0, 8, 7},
        {0, 195, 320, 20, 0, 195, 320, 5},
        {100, 50, 17, 3, 100, 50, 20, 3},
        {-100, -100, 1000, 1000, 0, 0, 320, 200},
        // Wholly off screen: nothing to copy, and no negative size.
        {400, 300, 10, 10, 320, 200, 0, 0},
    };
    for (auto c : cases) {
        update_start = 0;
        GFX_MarkUpdate(c.x, c.y, c.w, c.h);
        EXPECT_EQ(update_start, 1);
        EXPECT_EQ(ud_x, c.ex) << c.x << "," << c.y;
        EXPECT_EQ(ud_y, c.ey) << c.x << "," << c.y;
        EXPECT_EQ(ud_lx, c.ew) << c.x << "," << c.y;
        EXPECT_EQ(ud_ly, c.eh) << c.x << "," << c.y;
    }
    // Union of two rectangles.
    update_start = 0;
    GFX_MarkUpdate(10, 10, 4, 4);
    GFX_MarkUpdate(30, 2, 2, 2);
    EXPECT_EQ(ud_x, 8);
    EXPECT_EQ(ud_y, 2);
    EXPECT_EQ(ud_lx, 24);
    EXPECT_EQ(ud_ly, 12);
    // An empty first rectangle does not count as something to copy.
    update_start = 0;
    GFX_MarkUpdate(10, 10, 0, 0);
    EXPECT_EQ(update_start, 0);
}

TEST_F(FrameTest, OnlyTheDirtyRectangleReachesTheScreenAndVanishedDrawingIsRepaired)
{
    clock.setAutoStep(1);
    memset(displaybuffer, 7, SCREENSIZE); // unmarked: must not be copied
    GFX_MarkUpdate(40, 20, 8, 8);
    GFX_DisplayUpdate();
    EXPECT_EQ(displayscreen[20 * 320 + 40], 7);
    EXPECT_EQ(displayscreen[27 * 320 + 47], 7);
    EXPECT_EQ(displayscreen[20 * 320 + 48], 0);
    EXPECT_EQ(displayscreen[19 * 320 + 40], 0);
    EXPECT_EQ(update_start, 0);

    // Next frame the picture is gone from the frame buffer and nothing is marked: the
    // area copied last time is copied again, so the screen follows.
    memset(displaybuffer, 0, SCREENSIZE);
    GFX_DisplayUpdate();
    EXPECT_EQ(displayscreen[20 * 320 + 40], 0);
    EXPECT_EQ(displayscreen[27 * 320 + 47], 0);

    // A full-width rectangle is one block.
    memset(displaybuffer, 3, SCREENSIZE);
    GFX_ForceUpdate(0, 0, 320, 200);
    GFX_DisplayUpdate();
    for (int i = 0; i < SCREENSIZE; i++)
        ASSERT_EQ(displayscreen[i], 3) << i;
}

static int hook_calls;
static void CountingHook(void (*copy)(void))
{
    hook_calls++;
    copy();
}

TEST_F(FrameTest, FrameHookIsHandedTheCopyOnlyWhenSomethingIsDirty)
{
    clock.setAutoStep(1);
    GFX_SetFrameHook(CountingHook);
    hook_calls = 0;
    GFX_DisplayUpdate(); // nothing marked, nothing from the previous frame
    EXPECT_EQ(hook_calls, 0);
    displaybuffer[0] = 9;
    GFX_MarkUpdate(0, 0, 1, 1);
    GFX_DisplayUpdate();
    EXPECT_EQ(hook_calls, 1);
    EXPECT_EQ(displayscreen[0], 9);
    GFX_WaitUpdate(70); // the previous rectangle makes this one dirty too
    EXPECT_EQ(hook_calls, 2);
    GFX_SetFrameHook(nullptr);
}

} // namespace

// Frame buffer, the 70 Hz frame counter, the dirty rectangle, palette and colour tables.
// The drawing calls are in gfxapi_a.cpp.
#include "gfx/gfxapi.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "game/i_system.h"
#include "gfx/i_video.h"

uint8_t* displaybuffer;
uint8_t* displayscreen = I_VideoBuffer;
int ylookup[SCREENHEIGHT];
int retraceflag;

uint8_t* ltable;
uint8_t* dtable;
uint8_t* gtable;
int start_lookup = 0;
int end_lookup = 255;

int framecount;
int gfx_pumpframe = -1;
int update_start;
int ud_x, ud_y, ud_lx, ud_ly;

// The rectangle copied by the previous presentation, so that whatever was drawn there
// and is gone now reaches the screen too.
static int o_ud_x, o_ud_y, o_ud_lx, o_ud_ly;
// What the last GFX_DisplayScreen copied (the frame hook may have grown the rectangle).
static int c_ud_x, c_ud_y, c_ud_lx, c_ud_ly;

static uint32_t last; // the clock at the last reading
static uint32_t accm; // thousandths of a frame not yet counted
static bool timer_init;
static int hold; // frame count at the last GFX_DisplayUpdate
static int now;  // frame count last seen by GFX_WaitUpdate
static bool busywait;

static void (*framehook)(void (*copy)(void));

static void TimerAdvance(void);

// The last reading handed out, to recognise a caller polling for the next tick.
static bool polled;
static uint32_t poll_ms;
static int poll_count;

static uint8_t tpal1[PALETTE_SIZE];
static uint8_t tpal2[PALETTE_SIZE];

// Colour tables for the standard shades; each 256 entries.
constexpr int kTableSize = 256;
constexpr int kStandardShade = 9;

void GFX_InitSystem(void)
{
    I_InitTimer();
    if (!displaybuffer) displaybuffer = static_cast<uint8_t*>(calloc(SCREENSIZE, 1));
    if (!ltable) ltable = static_cast<uint8_t*>(calloc(kTableSize, 1));
    if (!dtable) dtable = static_cast<uint8_t*>(calloc(kTableSize, 1));
    if (!gtable) gtable = static_cast<uint8_t*>(calloc(kTableSize, 1));
    if (!displaybuffer || !ltable || !dtable || !gtable) exit(0);
    for (int y = 0; y < SCREENHEIGHT; y++)
        ylookup[y] = y * SCREENWIDTH;
    // Until the tables are built from a palette they leave colours as they are.
    for (int i = 0; i < kTableSize; i++)
        ltable[i] = dtable[i] = gtable[i] = static_cast<uint8_t>(i);
    // The first clock reading only starts the timer.
    last = 0;
    accm = 0;
    timer_init = false;
    framecount = 0;
    hold = now = 0;
    update_start = 0;
    ud_x = ud_y = ud_lx = ud_ly = 0;
    o_ud_x = o_ud_y = o_ud_lx = o_ud_ly = 0;
    framehook = nullptr;
    polled = false;
    gfx_pumpframe = -1;
    TimerAdvance();
}

void GFX_InitVideo(const uint8_t* pal)
{
    GFX_MakeLightTable(pal, ltable, kStandardShade);
    GFX_MakeLightTable(pal, dtable, -kStandardShade);
    GFX_MakeGreyTable(pal, gtable);
    I_InitGraphics(pal);
}

// ---- the frame counter --------------------------------------------------------------------

static void TimerAdvance(void)
{
    uint32_t t = I_GetTicks();
    if (timer_init && last != 0 && last < t) {
        // 64-bit so that a pause of days is still counted in full.
        uint64_t total = static_cast<uint64_t>(t - last) * GFX_FRAMERATE + accm;
        framecount += static_cast<int>(total / 1000);
        accm = static_cast<uint32_t>(total % 1000);
    }
    last = t;
    timer_init = true;
}

// The longest rest a reading of the counter takes when it is asked again in the same
// millisecond: an answer is never more than this stale, whatever the caller polls for.
constexpr uint32_t kPollRestMs = 4;

// Called right after a clock reading that found no new tick: lets the time until the next
// tick pass (at most `most` ms at a time). It sleeps until the millisecond before the tick,
// which the caller reads again, and then the last millisecond, so that the core is never
// spun on the clock. The same ticks are counted as with a pure busy wait.
static void IdleUntilTick(uint32_t most = UINT32_MAX)
{
    if (busywait) return;
    uint32_t ms = (1000 - accm + GFX_FRAMERATE - 1) / GFX_FRAMERATE;
    I_Delay(ms >= 2 ? std::min(ms - 1, most) : 1);
}

void GFX_SetBusyWait(bool busy)
{
    busywait = busy;
}

int GFX_GetFrameCount(void)
{
    TimerAdvance();
    // Read again within the same millisecond and still no new tick: the caller is
    // polling for one (the mission loop and the acknowledge waits do). Rest a little
    // before answering, never past the tick.
    if (polled && framecount == poll_count && last == poll_ms) {
        IdleUntilTick(kPollRestMs);
        TimerAdvance();
    }
    // Events are pumped once a tick, whoever pumped last: input and the pointer are never
    // more than a tick old, and polling does not read the window system's queue again and
    // again. The pump may take a while: the count is read again after it.
    if (framecount != gfx_pumpframe) {
        I_GetEvent();
        TimerAdvance();
    }
    polled = true;
    poll_ms = last;
    poll_count = framecount;
    return framecount;
}

// ---- the dirty rectangle ------------------------------------------------------------------

void GFX_MarkUpdate(int x, int y, int w, int h)
{
    // Edges as 64-bit so that no caller's rectangle can overflow.
    int64_t left, top, right, bottom; // right and bottom inclusive
    if (update_start) {
        left = std::min<int64_t>(ud_x, x);
        top = std::min<int64_t>(ud_y, y);
        right = std::max<int64_t>(int64_t{ud_x} + ud_lx - 1, int64_t{x} + w - 1);
        bottom = std::max<int64_t>(int64_t{ud_y} + ud_ly - 1, int64_t{y} + h - 1);
    } else {
        left = x;
        top = y;
        right = int64_t{x} + w - 1;
        bottom = int64_t{y} + h - 1;
        if (int64_t{w} + h > 0) update_start = 1;
    }
    // Whole 4-pixel units from a multiple of 4, inside the screen.
    left &= ~int64_t{3};
    left = std::clamp<int64_t>(left, 0, SCREENWIDTH);
    top = std::clamp<int64_t>(top, 0, SCREENHEIGHT);
    int64_t width = (right - left + 1 + 3) & ~int64_t{3};
    width = std::clamp<int64_t>(width, 0, SCREENWIDTH - left);
    int64_t height = std::clamp<int64_t>(bottom - top + 1, 0, SCREENHEIGHT - top);
    ud_x = static_cast<int>(left);
    ud_y = static_cast<int>(top);
    ud_lx = static_cast<int>(width);
    ud_ly = static_cast<int>(height);
}

void GFX_ForceUpdate(int x, int y, int w, int h)
{
    update_start = 0;
    GFX_MarkUpdate(x, y, w, h);
    update_start = 1;
    o_ud_x = ud_x;
    o_ud_y = ud_y;
    o_ud_lx = ud_lx;
    o_ud_ly = ud_ly;
}

void GFX_SetFrameHook(void (*hook)(void (*copy)(void)))
{
    framehook = hook;
}

void GFX_DisplayScreen(void)
{
    c_ud_x = ud_x;
    c_ud_y = ud_y;
    c_ud_lx = ud_lx;
    c_ud_ly = ud_ly;
    if (ud_lx > 0 && ud_ly > 0) {
        int start = ylookup[ud_y] + ud_x;
        if (ud_lx == SCREENWIDTH) {
            memcpy(displayscreen + start, displaybuffer + start, size_t{SCREENWIDTH} * ud_ly);
        } else {
            for (int row = 0; row < ud_ly; row++, start += SCREENWIDTH)
                memcpy(displayscreen + start, displaybuffer + start, ud_lx);
        }
    }
    update_start = 0;
    ud_x = ud_y = ud_lx = ud_ly = 0;
}

static void AddPreviousRect(void)
{
    if (o_ud_lx > 0 && o_ud_ly > 0) GFX_MarkUpdate(o_ud_x, o_ud_y, o_ud_lx, o_ud_ly);
}

// Copies the dirty rectangle (through the frame hook when one is set), remembers it for
// the next presentation and presents.
static void ShowFrame(void)
{
    o_ud_lx = o_ud_ly = 0;
    if (update_start) {
        c_ud_lx = c_ud_ly = 0;
        if (framehook)
            framehook(GFX_DisplayScreen);
        else
            GFX_DisplayScreen();
        o_ud_x = c_ud_x;
        o_ud_y = c_ud_y;
        o_ud_lx = c_ud_lx;
        o_ud_ly = c_ud_ly;
    }
    I_FinishUpdate();
}

void GFX_DisplayUpdate(void)
{
    GFX_GetFrameCount();
    // Never two frames within one tick. This wait does not pump events.
    while (framecount == hold) {
        IdleUntilTick();
        TimerAdvance();
    }
    AddPreviousRect();
    hold = framecount;
    ShowFrame();
}

void GFX_WaitUpdate(int fps)
{
    int ticks = (fps >= 1 && fps <= GFX_FRAMERATE) ? GFX_FRAMERATE / fps : 1;
    AddPreviousRect();
    for (int counted = 0; counted < ticks;) {
        int f = GFX_GetFrameCount();
        if (f != now) {
            now = f;
            counted++;
        } else {
            IdleUntilTick();
        }
    }
    ShowFrame();
}

// ---- palette ------------------------------------------------------------------------------

void GFX_SetPalette(const uint8_t* pal, int start)
{
    if (start > 255) return;
    I_SetPalette(pal, std::max(start, 0));
}

void GFX_GetPalette(uint8_t* pal)
{
    I_GetPalette(pal);
}

void GFX_FadeIn(const uint8_t* pal, int steps)
{
    if (steps > 0) {
        uint8_t start[PALETTE_SIZE];
        uint8_t work[PALETTE_SIZE];
        GFX_GetPalette(start);
        int first = GFX_GetFrameCount();
        int shown = 0;
        for (;;) {
            if (GFX_GetFrameCount() - first >= steps) break;
            if (GFX_GetFrameCount() - first == shown) {
                IdleUntilTick();
                continue;
            }
            // A tick may pass between the readings: never step beyond the target.
            int k = std::min(GFX_GetFrameCount() - first, steps);
            shown = k;
            for (int i = 0; i < PALETTE_SIZE; i++)
                work[i] = static_cast<uint8_t>(start[i] + (pal[i] - start[i]) * k / steps);
            GFX_SetPalette(work, 0);
            I_FinishUpdate();
        }
    }
    GFX_SetPalette(pal, 0);
    I_FinishUpdate();
}

void GFX_FadeOut(int red, int green, int blue, int steps)
{
    uint8_t target[PALETTE_SIZE];
    for (int i = 0; i < PALETTE_SIZE; i += 3) {
        target[i] = static_cast<uint8_t>(red);
        target[i + 1] = static_cast<uint8_t>(green);
        target[i + 2] = static_cast<uint8_t>(blue);
    }
    GFX_FadeIn(target, steps);
}

void GFX_FadeStart(void)
{
    GFX_GetPalette(tpal1);
    memcpy(tpal2, tpal1, sizeof(tpal2));
}

void GFX_FadeFrame(const uint8_t* pal, int cur_step, int steps)
{
    // Outside 0..steps the mix would leave the 6-bit range and flash wrong colours.
    if (steps <= 0) {
        cur_step = steps = 1;
    }
    cur_step = std::clamp(cur_step, 0, steps);
    for (int i = 0; i < PALETTE_SIZE; i++)
        tpal2[i] = static_cast<uint8_t>(tpal1[i] + (pal[i] - tpal1[i]) * cur_step / steps);
    GFX_SetPalette(tpal2, 0);
}

int GFX_SetPalRange(int start, int end)
{
    if (start >= 0 && start < end && end <= 255) {
        start_lookup = start;
        end_lookup = end;
    }
    return start >= 0;
}

void GFX_GetRGB(const uint8_t* pal, int num, int* red, int* green, int* blue)
{
    num &= 255;
    *red = pal[num * 3];
    *green = pal[num * 3 + 1];
    *blue = pal[num * 3 + 2];
}

int GFX_Remap(const uint8_t* pal, int red, int green, int blue)
{
    // Sum of the component distances; on a tie the later entry wins.
    int best = 769;
    int found = 0;
    for (int i = start_lookup; i <= end_lookup; i++) {
        const uint8_t* e = pal + i * 3;
        int d = abs(e[0] - red) + abs(e[1] - green) + abs(e[2] - blue);
        if (d <= best) {
            best = d;
            found = i;
        }
    }
    return found;
}

void GFX_MakeLightTable(const uint8_t* pal, uint8_t* table, int level)
{
    for (int i = 0; i < kTableSize; i++) {
        const uint8_t* e = pal + i * 3;
        int r = std::clamp(e[0] + level, 0, 63);
        int g = std::clamp(e[1] + level, 0, 63);
        int b = std::clamp(e[2] + level, 0, 63);
        table[i] = static_cast<uint8_t>(GFX_Remap(pal, r, g, b));
    }
}

void GFX_MakeGreyTable(const uint8_t* pal, uint8_t* table)
{
    for (int i = 0; i < kTableSize; i++) {
        const uint8_t* e = pal + i * 3;
        int g = (e[0] + e[1] + e[2]) / 3;
        table[i] = static_cast<uint8_t>(GFX_Remap(pal, g, g, g));
    }
}

void GFX_Shade(uint8_t* outmem, int maxlen, const uint8_t* table)
{
    for (int i = 0; i < maxlen; i++)
        outmem[i] = table[outmem[i]];
}

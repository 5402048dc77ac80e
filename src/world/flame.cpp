#include "world/flame.h"

#include <cstdint>

#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "input/input.h"

alignas(256) static uint8_t flametables[FLAME_NUMTABLES][256];

// Colours 240 and up are animated during missions; a flame pixel there would blink.
static constexpr int kLastFixedColour = 239;
// Flame lengths in rows for an even and an odd flip.
static constexpr int kUpShort = 5, kUpLong = 10;
static constexpr int kDownShort = 8, kDownLong = 12;
// Rows are given a table by a 16.16 fraction of the flame's length; the whole length
// spans all eight tables.
static constexpr int kTableSpan = FLAME_NUMTABLES << 16;

void FLAME_InitShades(void)
{
    if (!palette) return;
    // The tables are built at start-up before the game narrows the colour search, so the
    // range is narrowed here.
    int s = start_lookup, e = end_lookup;
    start_lookup = 0;
    end_lookup = kLastFixedColour;
    for (int t = 0; t < FLAME_NUMTABLES; t++)
        GFX_MakeLightTable(palette, flametables[t], 2 * (FLAME_NUMTABLES - t));
    start_lookup = s;
    end_lookup = e;
}

void FLAME_Init(void)
{
    FLAME_InitShades();
}

void FLAME_Up(int x, int y, int width, int flip)
{
    if (opt_detail <= 0 || width <= 0) return;
    int h = (flip & 1) ? kUpLong : kUpShort;
    int top = y - h + 1;
    if (!GFX_ClipLines(nullptr, &x, &top, &width, &h)) return;
    const int step = kTableSpan / h;
    for (int k = 0; k < h; k++)
        GFX_Shade(displaybuffer + ylookup[top + k] + x, width,
                  flametables[(step * (h - 1 - k)) >> 16]);
}

void FLAME_Down(int x, int y, int width, int flip)
{
    if (width <= 0) return;
    int h = (flip & 1) ? kDownLong : kDownShort;
    if (!GFX_ClipLines(nullptr, &x, &y, &width, &h)) return;
    const int step = kTableSpan / h;
    for (int k = 0; k < h; k++)
        GFX_Shade(displaybuffer + ylookup[y + k] + x, width, flametables[(step * k) >> 16]);
}

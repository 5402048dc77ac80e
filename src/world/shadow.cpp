#include "world/shadow.h"

#include <cstring>

#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "input/input.h"
#include "world/anims.h"

int num_shadows;
int num_gshadows;

struct SHADOW {
    int item;
    int x, y;
};

static SHADOW shads[SHADOW_MAXSKY];
static SHADOW gshads[SHADOW_MAXGROUND];
alignas(256) static uint8_t sdtable[256];

// How much the shadow table darkens, in palette steps.
static constexpr int kShadowLevel = -6;
// Colours 240 and up are animated during missions; a table entry there would flicker.
static constexpr int kLastFixedColour = 239;
// Sky shadows lie this far into the screen (the view point is 1000 away) ...
static constexpr int kShadowDepth = 1280;
// ... and are cast from a point this far left of and below the sprite.
static constexpr int kShadowDX = -10;
static constexpr int kShadowDY = 20;
// Ground shadows fall a little left of and below what casts them.
static constexpr int kGroundDX = -3;
static constexpr int kGroundDY = 4;

// Width and height fields of a picture header.
static constexpr int kPicWidth = 12;
static constexpr int kPicHeight = 16;

static int32_t shadow_Rd32(const uint8_t* p)
{
    int32_t v;
    memcpy(&v, p, 4);
    return v;
}

void SHADOW_Init(void)
{
    num_shadows = 0;
    num_gshadows = 0;
    GFX_3D_SetView(160, 100, 1000);
}

void SHADOW_MakeShades(void)
{
    if (!palette) return;
    int s = start_lookup, e = end_lookup;
    start_lookup = 0;
    end_lookup = kLastFixedColour;
    GFX_MakeLightTable(palette, sdtable, kShadowLevel);
    start_lookup = s;
    end_lookup = e;
}

void SHADOW_Add(int item, int x, int y)
{
    if (num_shadows >= SHADOW_MAXSKY) return;
    shads[num_shadows++] = {item, x, y};
}

void SHADOW_GAdd(int item, int x, int y)
{
    if (num_gshadows >= SHADOW_MAXGROUND) return;
    gshads[num_gshadows++] = {item, x + kGroundDX, y + kGroundDY};
}

void SHADOW_DisplayGround(void)
{
    if (opt_detail > 0) {
        for (int i = 0; i < num_gshadows; i++) {
            const uint8_t* pic = ANIMS_GetSprite(gshads[i].item);
            if (pic) GFX_ShadeShape(GFX_DARK, pic, gshads[i].x, gshads[i].y);
        }
    }
    num_gshadows = 0;
}

void SHADOW_DisplaySky(void)
{
    if (opt_detail > 0) {
        for (int i = 0; i < num_shadows; i++) {
            const uint8_t* pic = ANIMS_GetSprite(shads[i].item);
            if (pic) SHADOW_Draw(pic, shads[i].x, shads[i].y);
        }
    }
    num_shadows = 0;
}

static void shadow_Project(int x, int y, int* sx, int* sy)
{
    G3D_x = x;
    G3D_y = y;
    G3D_z = kShadowDepth;
    GFX_3DPoint();
    *sx = G3D_screenx;
    *sy = G3D_screeny;
}

void SHADOW_Draw(const uint8_t* pic, int x, int y)
{
    const int ox = x + kShadowDX, oy = y + kShadowDY;
    int x0, y0, x1, y1;
    shadow_Project(ox, oy, &x0, &y0);
    shadow_Project(x0 + shadow_Rd32(pic + kPicWidth) - 1, y0 + shadow_Rd32(pic + kPicHeight) - 1,
                   &x1, &y1);
    int bx = x0, by = y0, bw = x1 - x0 + 1, bh = y1 - y0 + 1;
    if (!GFX_ClipLines(nullptr, &bx, &by, &bw, &bh)) return;

    // Several picture rows can land on one screen row; each screen row is darkened by
    // the first picture row that reaches it only, or it would come out darker in stripes.
    int lastrow = -1, lastsy = -1;
    bool skip = false;
    for (const uint8_t* run = pic + GFX_PIC_HEADER;;) {
        int32_t rx = shadow_Rd32(run), ry = shadow_Rd32(run + 4);
        int32_t off = shadow_Rd32(run + 8), len = shadow_Rd32(run + 12);
        if (off == -1) break;
        run += GFX_RUN_HEADER + len;

        int sx, sy, ex, ey;
        shadow_Project(ox + rx, oy + ry, &sx, &sy);
        if (sy >= SCREENHEIGHT) break; // rows only go down from here
        if (ry != lastrow) {
            skip = lastrow != -1 && sy == lastsy;
            lastrow = ry;
            lastsy = sy;
        }
        if (skip || sy < 0) continue;
        shadow_Project(ox + rx + len - 1, oy + ry, &ex, &ey);
        if (sx < 0) sx = 0;
        if (ex > SCREENWIDTH - 1) ex = SCREENWIDTH - 1;
        if (ex < sx) continue;
        GFX_Shade(displaybuffer + ylookup[sy] + sx, ex - sx + 1, sdtable);
    }
}

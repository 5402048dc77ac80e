// Drawing into the frame buffer: pictures, sprites, textures, scaling, lines, boxes,
// shading, text, and the clipping and projection helpers of the shadows.
//
// Items are read field by field with memcpy: archive data carries no alignment promise.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "gfx/gfxapi.h"

int fontspacing = 1;
int G3D_viewx, G3D_viewy, G3D_viewz;
int G3D_x, G3D_y, G3D_z;
int G3D_screenx, G3D_screeny;

// Source column of every destination column of a scaled picture, built once per picture.
static int stable[SCREENWIDTH];
static int tablelen;

// No picture side is larger than this; it keeps width * height inside 32 bits.
constexpr int32_t kMaxPicSide = 0x7FFF;

// Offsets of the header fields of pictures and fonts.
constexpr int kPicType = 0;
constexpr int kPicWidth = 12;
constexpr int kPicHeight = 16;
constexpr int kRunX = 0;
constexpr int kRunY = 4;
constexpr int kRunOffset = 8;
constexpr int kRunLength = 12;
constexpr int kRunEnd = -1;
constexpr int kFontHeight = 0;
constexpr int kFontOffsets = 4;
constexpr int kFontWidths = 516;

static inline int32_t Rd32(const uint8_t* p)
{
    int32_t v;
    memcpy(&v, p, sizeof(v));
    return v;
}

static inline int16_t Rd16(const uint8_t* p)
{
    int16_t v;
    memcpy(&v, p, sizeof(v));
    return v;
}

static inline bool SaneSize(int32_t w, int32_t h)
{
    return w > 0 && h > 0 && w <= kMaxPicSide && h <= kMaxPicSide;
}

// A run that lies inside its sprite's box.
static inline bool RunInBox(int32_t rx, int32_t ry, int32_t len, int32_t w, int32_t h)
{
    return rx >= 0 && rx < w && ry >= 0 && ry < h && len >= 0 && len <= w - rx;
}

// Where a run starts, in reading order (row, then column), so runs can be held to going
// forward: each starts after the one before it has ended. A damaged list then cannot
// loop or overlap, and a sprite has at most width x height runs.
static inline int64_t RunKey(int32_t rx, int32_t ry)
{
    return int64_t{ry} * 65536 + rx;
}

// The first key the run after one at (rx, ry) of length len may start at.
static inline int64_t NextRunKey(int32_t rx, int32_t ry, int32_t len)
{
    return RunKey(rx, ry) + std::max(len, 1);
}

// The part of a rectangle on screen: columns x0..x1-1, rows y0..y1-1, and how many
// columns (sx) and rows (sy) were cut off at the left and top.
struct CLIP {
    int x0, y0, x1, y1;
    int sx, sy;
};

static bool ClipToScreen(int64_t x, int64_t y, int64_t w, int64_t h, CLIP* c)
{
    if (x >= SCREENWIDTH || y >= SCREENHEIGHT || x + w <= 0 || y + h <= 0) return false;
    c->x0 = static_cast<int>(std::max<int64_t>(x, 0));
    c->y0 = static_cast<int>(std::max<int64_t>(y, 0));
    c->x1 = static_cast<int>(std::min<int64_t>(x + w, SCREENWIDTH));
    c->y1 = static_cast<int>(std::min<int64_t>(y + h, SCREENHEIGHT));
    c->sx = static_cast<int>(c->x0 - x);
    c->sy = static_cast<int>(c->y0 - y);
    return c->x1 > c->x0 && c->y1 > c->y0;
}

static inline void MarkClip(const CLIP& c)
{
    GFX_MarkUpdate(c.x0, c.y0, c.x1 - c.x0, c.y1 - c.y0);
}

static const uint8_t* ShadeTable(int type)
{
    switch (type) {
    case GFX_DARK:
        return dtable;
    case GFX_LIGHT:
        return ltable;
    default:
        return gtable;
    }
}

// ---- checking items -----------------------------------------------------------------------

bool GFX_CheckPic(const uint8_t* pic, size_t size)
{
    if (!pic || size < GFX_PIC_HEADER) return false;
    int32_t w = Rd32(pic + kPicWidth), h = Rd32(pic + kPicHeight);
    if (!SaneSize(w, h)) return false;
    if (Rd32(pic + kPicType) != 0) return size - GFX_PIC_HEADER >= size_t(w) * size_t(h);
    size_t pos = GFX_PIC_HEADER;
    int64_t next = 0;
    for (;;) {
        // The end mark needs only its first three fields.
        if (size - pos < kRunOffset + 4) return false;
        int32_t off = Rd32(pic + pos + kRunOffset);
        if (off == kRunEnd) return true;
        if (size - pos < GFX_RUN_HEADER) return false;
        int32_t rx = Rd32(pic + pos + kRunX), ry = Rd32(pic + pos + kRunY);
        int32_t len = Rd32(pic + pos + kRunLength);
        if (!RunInBox(rx, ry, len, w, h) || int64_t{off} != int64_t{ry} * SCREENWIDTH + rx ||
            RunKey(rx, ry) < next)
            return false;
        next = NextRunKey(rx, ry, len);
        pos += GFX_RUN_HEADER;
        if (size - pos < size_t(len)) return false;
        pos += size_t(len);
    }
}

bool GFX_CheckFont(const uint8_t* font, size_t size)
{
    if (!font || size < GFX_FONT_HEADER) return false;
    int32_t h = Rd32(font + kFontHeight);
    if (h < 0 || h > kMaxPicSide) return false;
    for (int c = 0; c < 256; c++) {
        int16_t off = Rd16(font + kFontOffsets + 2 * c);
        if (off < 0) continue; // no glyph
        size_t end = GFX_FONT_HEADER + size_t(off) + size_t(font[kFontWidths + c]) * size_t(h);
        if (end > size) return false;
    }
    return true;
}

// ---- pictures and sprites -----------------------------------------------------------------

void GFX_PutImage(const uint8_t* pic, int x, int y, bool masked)
{
    if (Rd32(pic + kPicType) == 0) {
        GFX_PutSprite(pic, x, y);
        return;
    }
    int32_t w = Rd32(pic + kPicWidth), h = Rd32(pic + kPicHeight);
    if (!SaneSize(w, h)) return;
    CLIP c;
    if (!ClipToScreen(x, y, w, h, &c)) return;
    MarkClip(c);
    const uint8_t* src = pic + GFX_PIC_HEADER + size_t(c.sy) * w + c.sx;
    uint8_t* dst = displaybuffer + ylookup[c.y0] + c.x0;
    int n = c.x1 - c.x0;
    for (int row = c.y0; row < c.y1; row++, src += w, dst += SCREENWIDTH) {
        if (!masked) {
            memcpy(dst, src, n);
            continue;
        }
        for (int i = 0; i < n; i++)
            if (src[i]) dst[i] = src[i];
    }
}

// Walks a sprite's runs and hands every visible part of a run to op(screen, pixels, n).
// A sprite wholly on screen takes the fast path: one call per run at its stored screen
// offset. A run that does not lie in the sprite's box, or does not go forward, ends the
// walk, so a damaged list can never reach outside the sprite's place on screen.
template <typename RunOp> static inline void WalkSprite(const uint8_t* pic, int x, int y, RunOp op)
{
    // A plain picture's pixels are no run list.
    if (Rd32(pic + kPicType) != 0) return;
    int32_t w = Rd32(pic + kPicWidth), h = Rd32(pic + kPicHeight);
    if (!SaneSize(w, h)) return;
    if (y >= SCREENHEIGHT || x >= SCREENWIDTH || x + w <= 0 || y + h <= 0) return;
    const uint8_t* run = pic + GFX_PIC_HEADER;

    if (x >= 0 && y >= 0 && x + w <= SCREENWIDTH && y + h <= SCREENHEIGHT) {
        uint8_t* base = displaybuffer + ylookup[y] + x;
        // The whole sprite is on screen, so its width is below 320 and the screen offset
        // itself orders the runs.
        int32_t next = 0;
        for (;;) {
            int32_t off = Rd32(run + kRunOffset);
            if (off == kRunEnd) return;
            int32_t rx = Rd32(run + kRunX), ry = Rd32(run + kRunY);
            int32_t len = Rd32(run + kRunLength);
            if (!RunInBox(rx, ry, len, w, h) || off != ylookup[ry] + rx || off < next) return;
            next = off + std::max(len, 1);
            op(base + off, run + GFX_RUN_HEADER, len);
            run += GFX_RUN_HEADER + len;
        }
    }

    int64_t next = 0;
    for (;;) {
        int32_t off = Rd32(run + kRunOffset);
        if (off == kRunEnd) return;
        int32_t rx = Rd32(run + kRunX), ry = Rd32(run + kRunY);
        int32_t len = Rd32(run + kRunLength);
        if (!RunInBox(rx, ry, len, w, h) || RunKey(rx, ry) < next) return;
        next = NextRunKey(rx, ry, len);
        const uint8_t* src = run + GFX_RUN_HEADER;
        run += GFX_RUN_HEADER + len;
        int row = y + ry;
        if (row > SCREENHEIGHT) return; // runs come in rising rows
        if (row < 0 || row == SCREENHEIGHT) continue;
        int col = x + rx;
        int end = col + len;
        if (end <= 0 || col >= SCREENWIDTH) continue;
        if (col < 0) {
            src -= col;
            col = 0;
        }
        end = std::min(end, SCREENWIDTH);
        op(displaybuffer + ylookup[row] + col, src, end - col);
    }
}

void GFX_PutSprite(const uint8_t* pic, int x, int y)
{
    WalkSprite(pic, x, y, [](uint8_t* dst, const uint8_t* src, int n) { memcpy(dst, src, n); });
}

void GFX_ShadeShape(int type, const uint8_t* pic, int x, int y)
{
    const uint8_t* table = ShadeTable(type);
    WalkSprite(pic, x, y, [table](uint8_t* dst, const uint8_t*, int n) {
        for (int i = 0; i < n; i++)
            dst[i] = table[dst[i]];
    });
}

void GFX_PutTexture(const uint8_t* pic, int x, int y, int w, int h)
{
    // Textures are plain pictures; a run list has no pixel block to repeat.
    if (Rd32(pic + kPicType) == 0) return;
    int32_t pw = Rd32(pic + kPicWidth), ph = Rd32(pic + kPicHeight);
    if (!SaneSize(pw, ph)) return;
    CLIP area;
    if (!ClipToScreen(x, y, w, h, &area)) return;
    // Start with the first copy that reaches the visible area; copies before it are off
    // screen however large the rectangle is.
    int64_t ty = y + int64_t{area.y0 - y} / ph * ph;
    for (; ty < area.y1; ty += ph) {
        int cy0 = static_cast<int>(std::max<int64_t>(ty, area.y0));
        int cy1 = static_cast<int>(std::min<int64_t>(ty + ph, area.y1));
        int64_t tx = x + int64_t{area.x0 - x} / pw * pw;
        for (; tx < area.x1; tx += pw) {
            int cx0 = static_cast<int>(std::max<int64_t>(tx, area.x0));
            int cx1 = static_cast<int>(std::min<int64_t>(tx + pw, area.x1));
            GFX_MarkUpdate(cx0, cy0, cx1 - cx0, cy1 - cy0);
            const uint8_t* src = pic + GFX_PIC_HEADER + size_t(cy0 - ty) * pw + (cx0 - tx);
            uint8_t* dst = displaybuffer + ylookup[cy0] + cx0;
            for (int row = cy0; row < cy1; row++, src += pw, dst += SCREENWIDTH)
                memcpy(dst, src, cx1 - cx0);
        }
    }
}

void GFX_ScalePic(const uint8_t* pic, int x, int y, int w, int h, bool masked)
{
    if (Rd32(pic + kPicType) == 0) {
        GFX_PutSprite(pic, x, y);
        return;
    }
    int32_t pw = Rd32(pic + kPicWidth), ph = Rd32(pic + kPicHeight);
    if (!SaneSize(pw, ph) || w <= 0 || h <= 0) return;
    CLIP c;
    if (!ClipToScreen(x, y, w, h, &c)) return;
    // 16.16 fixed-point steps through the source.
    int64_t hstep = (int64_t{pw} << 16) / w;
    int64_t vstep = (int64_t{ph} << 16) / h;
    tablelen = c.x1 - c.x0;
    for (int i = 0; i < tablelen; i++)
        stable[i] = static_cast<int>((int64_t{c.sx + i} * hstep) >> 16);
    uint8_t* dst = displaybuffer + ylookup[c.y0] + c.x0;
    for (int row = c.y0; row < c.y1; row++, dst += SCREENWIDTH) {
        int64_t srow = (int64_t{row - y} * vstep) >> 16;
        const uint8_t* src = pic + GFX_PIC_HEADER + size_t(srow) * pw;
        if (masked) {
            for (int i = 0; i < tablelen; i++)
                if (uint8_t v = src[stable[i]]) dst[i] = v;
        } else {
            for (int i = 0; i < tablelen; i++)
                dst[i] = src[stable[i]];
        }
    }
    MarkClip(c);
}

void GFX_GetScreen(uint8_t* outmem, int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0) return;
    CLIP c;
    if (!ClipToScreen(x, y, w, h, &c)) return;
    uint8_t* dst = outmem + size_t(c.sy) * w + c.sx;
    const uint8_t* src = displaybuffer + ylookup[c.y0] + c.x0;
    for (int row = c.y0; row < c.y1; row++, dst += w, src += SCREENWIDTH)
        memcpy(dst, src, c.x1 - c.x0);
}

// ---- lines and boxes ----------------------------------------------------------------------

// Fills n pixels with a colour, or exclusive-ors them with (colour - 1) for a negative one.
static inline void FillSpan(uint8_t* p, int n, int color)
{
    if (color >= 0) {
        memset(p, color & 0xFF, n);
        return;
    }
    uint8_t mask = static_cast<uint8_t>(color - 1);
    for (int i = 0; i < n; i++)
        p[i] ^= mask;
}

static inline void PlotPixel(int64_t x, int64_t y, int color)
{
    if (x < 0 || x >= SCREENWIDTH || y < 0 || y >= SCREENHEIGHT) return;
    FillSpan(displaybuffer + ylookup[y] + x, 1, color);
}

void GFX_Line(int x1, int y1, int x2, int y2, int color)
{
    int64_t dx = std::abs(int64_t{x2} - x1);
    int64_t sx = x2 >= x1 ? 1 : -1;
    int64_t dy = int64_t{y2} - y1;
    int64_t ady = std::abs(dy);
    int64_t sy = dy >= 0 ? 1 : -1;
    // Both slopes start their error term half a step back, so a line always ends on its
    // end point.
    if (dx < ady) {
        int64_t err = -(dx / 2);
        int64_t x = x1;
        for (int64_t y = y1;; y += sy) {
            PlotPixel(x, y, color);
            if (y == y2) break;
            err += dx;
            if (err > 0) {
                x += sx;
                err -= ady;
            }
        }
    } else {
        int64_t err = -(ady / 2);
        int64_t y = y1;
        for (int64_t x = x1;; x += sx) {
            PlotPixel(x, y, color);
            if (x == x2) break;
            err += ady;
            if (err > 0) {
                y += sy;
                err -= dx;
            }
        }
    }
}

void GFX_HLine(int x, int y, int len, int color)
{
    if (y >= SCREENHEIGHT || y < 0 || x >= SCREENWIDTH || len <= 0 || int64_t{x} + len <= 0) return;
    int x0 = std::max(x, 0);
    int x1 = static_cast<int>(std::min<int64_t>(int64_t{x} + len, SCREENWIDTH));
    FillSpan(displaybuffer + ylookup[y] + x0, x1 - x0, color);
    GFX_MarkUpdate(x0, y, x1 - x0, 1);
}

void GFX_VLine(int x, int y, int len, int color)
{
    if (x < 0 || x >= SCREENWIDTH || len <= 0 || y >= SCREENHEIGHT || int64_t{y} + len <= 0) return;
    int y0 = std::max(y, 0);
    int y1 = static_cast<int>(std::min<int64_t>(int64_t{y} + len, SCREENHEIGHT));
    for (int row = y0; row < y1; row++)
        FillSpan(displaybuffer + ylookup[row] + x, 1, color);
    GFX_MarkUpdate(x, y0, 1, y1 - y0);
}

void GFX_ColorBox(int x, int y, int w, int h, int color)
{
    CLIP c;
    if (!ClipToScreen(x, y, w, h, &c)) return;
    MarkClip(c);
    for (int row = c.y0; row < c.y1; row++)
        FillSpan(displaybuffer + ylookup[row] + c.x0, c.x1 - c.x0, color);
}

void GFX_Rectangle(int x, int y, int w, int h, int color)
{
    if (w <= 0 || h <= 0) return;
    GFX_HLine(x, y, w, color);
    GFX_HLine(x, y + h - 1, w, color);
    GFX_VLine(x, y + 1, h - 2, color);
    GFX_VLine(x + w - 1, y + 1, h - 2, color);
}

// ---- shading ------------------------------------------------------------------------------

void GFX_ShadeArea(int type, int x, int y, int w, int h)
{
    CLIP c;
    if (!ClipToScreen(x, y, w, h, &c)) return;
    MarkClip(c);
    const uint8_t* table = ShadeTable(type);
    for (int row = c.y0; row < c.y1; row++)
        GFX_Shade(displaybuffer + ylookup[row] + c.x0, c.x1 - c.x0, table);
}

void GFX_HShadeLine(int type, int x, int y, int len)
{
    if (y >= SCREENHEIGHT || y < 0 || x >= SCREENWIDTH || len <= 0 || int64_t{x} + len <= 0) return;
    int x0 = std::max(x, 0);
    int x1 = static_cast<int>(std::min<int64_t>(int64_t{x} + len, SCREENWIDTH));
    GFX_Shade(displaybuffer + ylookup[y] + x0, x1 - x0, ShadeTable(type));
    GFX_MarkUpdate(x0, y, x1 - x0, 1);
}

void GFX_VShadeLine(int type, int x, int y, int len)
{
    if (x < 0 || x >= SCREENWIDTH || len <= 0 || y >= SCREENHEIGHT || int64_t{y} + len <= 0) return;
    int y0 = std::max(y, 0);
    int y1 = static_cast<int>(std::min<int64_t>(int64_t{y} + len, SCREENHEIGHT));
    const uint8_t* table = ShadeTable(type);
    for (int row = y0; row < y1; row++) {
        uint8_t* p = displaybuffer + ylookup[row] + x;
        *p = table[*p];
    }
    GFX_MarkUpdate(x, y0, 1, y1 - y0);
}

void GFX_LightBox(int type, int x, int y, int w, int h)
{
    if (w <= 0 || h <= 0) return;
    // Light edges first, so the corners they share with a dark edge end up dark.
    switch (type) {
    case 0:
        GFX_HShadeLine(GFX_LIGHT, x, y, w - 1);
        GFX_VShadeLine(GFX_LIGHT, x, y + 1, h - 2);
        GFX_HShadeLine(GFX_DARK, x, y + h - 1, w);
        GFX_VShadeLine(GFX_DARK, x + w - 1, y + 1, h - 2);
        break;
    case 1:
        GFX_HShadeLine(GFX_LIGHT, x + 1, y, w - 1);
        GFX_VShadeLine(GFX_LIGHT, x + w - 1, y + 1, h - 2);
        GFX_HShadeLine(GFX_DARK, x, y + h - 1, w);
        GFX_VShadeLine(GFX_DARK, x, y, h - 1);
        break;
    case 2:
        GFX_HShadeLine(GFX_LIGHT, x, y + h - 1, w - 1);
        GFX_VShadeLine(GFX_LIGHT, x, y + 1, h - 2);
        GFX_HShadeLine(GFX_DARK, x, y, w);
        GFX_VShadeLine(GFX_DARK, x + w - 1, y + 1, h - 1);
        break;
    default:
        break; // no other bevels exist
    }
}

// ---- text ---------------------------------------------------------------------------------

int GFX_Print(int x, int y, const char* text, const uint8_t* font, int color)
{
    int32_t h = Rd32(font + kFontHeight);
    int total = 0;
    int64_t cx = x;
    for (const unsigned char* s = reinterpret_cast<const unsigned char*>(text); *s; s++) {
        // -1 marks a code without a glyph; any other negative offset would point back
        // into the font's header, so it is treated the same.
        int16_t off = Rd16(font + kFontOffsets + 2 * *s);
        if (off < 0) continue;
        int gw = font[kFontWidths + *s];
        int visible = 0;
        CLIP c;
        if (h > 0 && gw > 0 && ClipToScreen(cx, y, gw, h, &c)) {
            const uint8_t* src = font + GFX_FONT_HEADER + off + size_t(c.sy) * gw + c.sx;
            uint8_t* dst = displaybuffer + ylookup[c.y0] + c.x0;
            int n = c.x1 - c.x0;
            for (int row = c.y0; row < c.y1; row++, src += gw, dst += SCREENWIDTH)
                for (int i = 0; i < n; i++)
                    if (src[i]) dst[i] = static_cast<uint8_t>(color + src[i] - 1);
            MarkClip(c);
            visible = n;
        }
        cx += gw + fontspacing;
        total += visible + fontspacing;
    }
    return total;
}

int GFX_StrPixelLen(const uint8_t* font, const char* text, int n)
{
    int total = 0;
    for (int i = 0; i < n; i++)
        total += font[kFontWidths + static_cast<unsigned char>(text[i])] + fontspacing;
    return total;
}

// ---- clipping and projection for shadows ------------------------------------------------

int GFX_ClipLines(uint8_t** image, int* x, int* y, int* w, int* h)
{
    if (*x >= SCREENWIDTH || *y >= SCREENHEIGHT || int64_t{*x} + *w <= 0 || int64_t{*y} + *h <= 0)
        return 0;
    int result = 1;
    if (*y < 0) {
        if (image && *image) *image += int64_t{-*y} * *w;
        *h += *y;
        *y = 0;
        result = 2;
    }
    if (*y + *h > SCREENHEIGHT) {
        *h = SCREENHEIGHT - *y;
        result = 2;
    }
    if (*x < 0) {
        if (image && *image) *image += -int64_t{*x};
        *w += *x;
        *x = 0;
        result = 2;
    }
    if (*x + *w > SCREENWIDTH) {
        *w = SCREENWIDTH - *x;
        result = 2;
    }
    return result;
}

void GFX_3D_SetView(int x, int y, int z)
{
    G3D_viewx = x;
    G3D_viewy = y;
    G3D_viewz = z;
}

// One projected coordinate: view + (v * 409600 / z >> 11), wrapping in 32 bits like the
// integer arithmetic it was tuned with. 409600 / 2048 = 200, the projection plane's
// distance.
static int Project(int view, int v, int z)
{
    constexpr int64_t kPlane = 409600;
    int32_t num = static_cast<int32_t>(static_cast<uint32_t>(int64_t{v} * kPlane));
    // A point in the view plane has no projection; take it as one step in front.
    if (z == 0) z = 1;
    int32_t q = (z == -1) ? static_cast<int32_t>(0u - static_cast<uint32_t>(num)) : num / z;
    return static_cast<int32_t>(static_cast<uint32_t>(view) + static_cast<uint32_t>(q >> 11));
}

void GFX_3DPoint(void)
{
    G3D_x = static_cast<int32_t>(static_cast<uint32_t>(G3D_x) - static_cast<uint32_t>(G3D_viewx));
    G3D_y = static_cast<int32_t>(static_cast<uint32_t>(G3D_y) - static_cast<uint32_t>(G3D_viewy));
    G3D_z = static_cast<int32_t>(static_cast<uint32_t>(G3D_z) - static_cast<uint32_t>(G3D_viewz));
    G3D_screenx = Project(G3D_viewx, G3D_x, G3D_z);
    G3D_screeny = Project(G3D_viewy, G3D_y, G3D_z);
}

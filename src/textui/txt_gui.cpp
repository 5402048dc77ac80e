#include "textui/txt_gui.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace
{

struct CLIP {
    int x1, y1, x2, y2;
};

constexpr int kMaxClip = 8;

} // namespace

static int cur_x, cur_y;
static uint8_t cur_attr = TXT_Attr(TXT_COLOR_GREY, TXT_COLOR_BLACK);
static std::array<CLIP, kMaxClip> clips = {{{0, 0, TXT_SCREEN_W - 1, TXT_SCREEN_H - 1}}};
static int nclips = 1;

void TXT_GotoXY(int x, int y)
{
    cur_x = x;
    cur_y = y;
}

void TXT_GetXY(int* x, int* y)
{
    *x = cur_x;
    *y = cur_y;
}

void TXT_FGColor(int color)
{
    cur_attr = static_cast<uint8_t>((cur_attr & 0xf0) | (color & 15));
}

void TXT_BGColor(int color)
{
    cur_attr = static_cast<uint8_t>((cur_attr & 0x0f) | (color & 15) << 4);
}

uint8_t TXT_GetAttr(void)
{
    return cur_attr;
}

void TXT_SetAttr(uint8_t attr)
{
    cur_attr = attr;
}

void TXT_PutCell(int x, int y, uint8_t c, uint8_t attr)
{
    const CLIP& clip = clips[nclips - 1];
    if (x < clip.x1 || x > clip.x2 || y < clip.y1 || y > clip.y2) return;
    uint8_t* cell = TXT_GetScreenData() + (y * TXT_SCREEN_W + x) * 2;
    cell[0] = c;
    cell[1] = attr;
}

void TXT_PutChar(uint8_t c)
{
    TXT_PutCell(cur_x, cur_y, c, cur_attr);
    cur_x++;
}

void TXT_Puts(const char* s)
{
    for (; *s; s++)
        TXT_PutChar(static_cast<uint8_t>(*s));
}

void TXT_PutsPadded(const char* s, int w)
{
    int i = 0;
    for (; i < w && s[i]; i++)
        TXT_PutChar(static_cast<uint8_t>(s[i]));
    for (; i < w; i++)
        TXT_PutChar(' ');
}

void TXT_ClearScreen(uint8_t attr)
{
    uint8_t* data = TXT_GetScreenData();
    for (int i = 0; i < TXT_SCREEN_W * TXT_SCREEN_H; i++) {
        data[i * 2] = ' ';
        data[i * 2 + 1] = attr;
    }
}

void TXT_PushClipArea(int x1, int y1, int x2, int y2)
{
    const CLIP& cur = clips[nclips - 1];
    CLIP next = {std::max(x1, cur.x1), std::max(y1, cur.y1), std::min(x2, cur.x2),
                 std::min(y2, cur.y2)};
    // Deeper nesting than any widget needs keeps the innermost area.
    if (nclips < kMaxClip) nclips++;
    clips[nclips - 1] = next;
}

void TXT_PopClipArea(void)
{
    if (nclips > 1) nclips--;
}

void TXT_DrawDesktopBackground(const char* title, const char* helpline)
{
    for (int y = 1; y < TXT_SCREEN_H - 1; y++)
        for (int x = 0; x < TXT_SCREEN_W; x++)
            TXT_PutCell(x, y, TXT_CP437::kLightShade, TXT_ATTR_DESKTOP);

    TXT_SetAttr(TXT_ATTR_TITLEBAR);
    TXT_GotoXY(0, 0);
    TXT_PutsPadded("", TXT_SCREEN_W);
    if (title) {
        int len = static_cast<int>(strlen(title));
        TXT_GotoXY(std::max(0, (TXT_SCREEN_W - len) / 2), 0);
        TXT_Puts(title);
    }

    TXT_SetAttr(TXT_ATTR_HELPLINE);
    TXT_GotoXY(0, TXT_SCREEN_H - 1);
    TXT_PutsPadded(helpline ? helpline : "", TXT_SCREEN_W);
}

static void DrawShadow(int x, int y, int w, int h)
{
    uint8_t* data = TXT_GetScreenData();
    auto shade = [data](int sx, int sy) {
        const CLIP& clip = clips[nclips - 1];
        if (sx < clip.x1 || sx > clip.x2 || sy < clip.y1 || sy > clip.y2) return;
        // The character stays visible, dimmed, as under a real shadow.
        data[(sy * TXT_SCREEN_W + sx) * 2 + 1] = TXT_ATTR_SHADOW;
    };
    for (int sy = y + 1; sy <= y + h; sy++) {
        shade(x + w, sy);
        shade(x + w + 1, sy);
    }
    for (int sx = x + 2; sx < x + w + 2; sx++)
        shade(sx, y + h);
}

void TXT_DrawWindowFrame(const char* title, int x, int y, int w, int h)
{
    using namespace TXT_CP437;
    for (int j = 0; j < h; j++) {
        for (int i = 0; i < w; i++) {
            uint8_t c = ' ';
            uint8_t attr = TXT_ATTR_FRAME;
            bool top = j == 0, bottom = j == h - 1, left = i == 0, right = i == w - 1;
            if (top && left)
                c = kDTopLeft;
            else if (top && right)
                c = kDTopRight;
            else if (bottom && left)
                c = kDBottomLeft;
            else if (bottom && right)
                c = kDBottomRight;
            else if (top || bottom)
                c = kDHLine;
            else if (left || right)
                c = kDVLine;
            else
                attr = TXT_ATTR_WINDOW;
            TXT_PutCell(x + i, y + j, c, attr);
        }
    }
    if (title && *title) {
        int len = std::min(static_cast<int>(strlen(title)), w - 4);
        int tx = x + (w - len - 2) / 2;
        TXT_PutCell(tx, y, ' ', TXT_ATTR_WINDOW_TITLE);
        TXT_SetAttr(TXT_ATTR_WINDOW_TITLE);
        TXT_GotoXY(tx + 1, y);
        TXT_PutsPadded(title, len);
        TXT_PutChar(' ');
    }
    DrawShadow(x, y, w, h);
}

void TXT_DrawSeparator(int x, int y, int w, const char* label)
{
    for (int i = 0; i < w; i++)
        TXT_PutCell(x + i, y, TXT_CP437::kHLine, TXT_ATTR_SEPARATOR);
    if (label && *label && w > 4) {
        TXT_SetAttr(TXT_ATTR_SEPARATOR);
        TXT_GotoXY(x + 1, y);
        TXT_PutChar(' ');
        TXT_PutsPadded(label, std::min(static_cast<int>(strlen(label)), w - 4));
        TXT_PutChar(' ');
    }
}

void TXT_DrawWindowRule(int x, int y, int w)
{
    using namespace TXT_CP437;
    TXT_PutCell(x, y, kDTeeLeft, TXT_ATTR_FRAME);
    for (int i = 1; i < w - 1; i++)
        TXT_PutCell(x + i, y, kHLine, TXT_ATTR_FRAME);
    TXT_PutCell(x + w - 1, y, kDTeeRight, TXT_ATTR_FRAME);
}

#include "ui/standin.h"

#include <cstring>

#include "gfx/gfxapi.h"
#include "gfx/i_video.h"
#include "gfx/ptrapi.h"
#include "input/kbdapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"

namespace
{

constexpr int kPanelFill = 129;
constexpr int kTitleColour = 79;
constexpr int kTextColour = 140;

struct FONTSLOT {
    int checked; // 0 not yet, 1 usable, -1 damaged or missing
    int id;
};
FONTSLOT fonts[3];

int FontId(int which)
{
    if (which == UI_SMALL) return ITM_DEMOFONT;
    return GLB_GetItemID(which == UI_MEDIUM ? "MEDIUM_FNT" : "LARGE_FNT");
}

} // namespace

const uint8_t* UI_Font(int which)
{
    if (which < UI_SMALL || which > UI_LARGE) return nullptr;
    FONTSLOT& f = fonts[which];
    if (f.checked == 0) {
        f.id = FontId(which);
        int size = f.id == -1 ? 0 : GLB_ItemSize(f.id);
        f.checked = size > 0 && GFX_CheckFont(GLB_GetItem(f.id), size_t(size)) ? 1 : -1;
    }
    return f.checked == 1 ? GLB_GetItem(f.id) : nullptr;
}

int UI_TextWidth(int font, const char* text)
{
    const uint8_t* f = UI_Font(font);
    return f ? GFX_StrPixelLen(f, text, static_cast<int>(strlen(text))) : 0;
}

void UI_Print(int font, int x, int y, const char* text, int colour)
{
    if (const uint8_t* f = UI_Font(font)) GFX_Print(x, y, text, f, colour);
}

void UI_PrintCentred(int font, int cx, int y, const char* text, int colour)
{
    UI_Print(font, cx - UI_TextWidth(font, text) / 2, y, text, colour);
}

void UI_Panel(int x, int y, int w, int h)
{
    GFX_ColorBox(x, y, w, h, kPanelFill);
    GFX_LightBox(1, x, y, w, h);
}

void UI_Box(const char* title, const char* line)
{
    constexpr int w = 200, h = 56;
    int x = (SCREENWIDTH - w) / 2, y = (SCREENHEIGHT - h) / 2;
    UI_Panel(x, y, w, h);
    UI_PrintCentred(UI_MEDIUM, SCREENWIDTH / 2, y + 12, title, kTitleColour);
    if (line) UI_PrintCentred(UI_SMALL, SCREENWIDTH / 2, y + 34, line, kTextColour);
    GFX_MarkUpdate(x, y, w, h);
    UI_Show();
}

void UI_Show(void)
{
    GFX_DisplayUpdate();
    I_GetNeedResize(true);
}

int UI_TakeKey(void)
{
    int k = lastscan;
    lastscan = 0;
    return k;
}

bool UI_TakeClick(int* x, int* y)
{
    if (!mouse_b1_ack) return false;
    mouse_b1_ack = 0;
    *x = cur_mx;
    *y = cur_my;
    return true;
}

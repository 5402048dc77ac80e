#include "ui/help.h"

#include "gfx/gfxapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "input/imsapi.h"
#include "input/kbdapi.h"
#include "sound/fx.h"
#include "ui/standin.h"

int startitem = -1, maxpages, curpage;

int HELP_Init(void)
{
    const int first = GLB_GetItemID(ITM_HELP_START), last = GLB_GetItemID(ITM_HELP_END);
    startitem = first + 1;
    maxpages = last - first - 1;
    curpage = 0;
    // Both markers in one archive, the end after the start, with pages between them.
    if (first == -1 || last == -1 || ITM_Archive(first) != ITM_Archive(last) || maxpages < 1) {
        startitem = -1;
        maxpages = 0;
    }
    return maxpages;
}

int HELP_WrapPage(int page)
{
    if (maxpages <= 0) return 0;
    page %= maxpages;
    return page < 0 ? page + maxpages : page;
}

void HELP_Win(const char*)
{
    if (maxpages <= 0) return;
    // A card of the keys until the help pages from the archives are shown.
    static const char* const lines[] = {
        "ARROWS OR MOUSE   STEER", "CTRL OR LEFT BUTTON   FIRE", "SPACE   NEXT SPECIAL WEAPON",
        "SHIFT   MEGA BOMB",       "1 - 0   CHOOSE SPECIAL",     "P   PAUSE     ESC   ABORT",
    };
    constexpr int w = 240, h = 130;
    const int x = (SCREENWIDTH - w) / 2, y = (SCREENHEIGHT - h) / 2;
    KBD_Clear();
    UI_Panel(x, y, w, h);
    UI_PrintCentred(UI_MEDIUM, SCREENWIDTH / 2, y + 10, "HELP", 79);
    int ly = y + 30;
    for (const char* l : lines) {
        UI_PrintCentred(UI_SMALL, SCREENWIDTH / 2, ly, l, 140);
        ly += 14;
    }
    UI_PrintCentred(UI_SMALL, SCREENWIDTH / 2, y + h - 14, "PRESS ANY KEY", 134);
    GFX_MarkUpdate(x, y, w, h);
    SND_Patch(12, 127);
    IMS_StartAck();
    while (!IMS_CheckAck())
        UI_Show();
    KBD_Clear();
    IMS_StartAck();
}

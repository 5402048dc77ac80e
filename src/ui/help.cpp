#include "ui/help.h"

#include "gfx/gfxapi.h"
#include "input/imsapi.h"
#include "input/kbdapi.h"
#include "sound/fx.h"
#include "ui/standin.h"

void HELP_Init(void) {}

void HELP_Win(const char*)
{
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

#include "ui/help.h"

#include <cstdlib>

#include "game/m_misc.h"
#include "gfx/gfxapi.h"
#include "gfx/i_video.h"
#include "input/input.h"
#include "input/joyapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "input/imsapi.h"
#include "input/kbdapi.h"
#include "sound/fx.h"
#include "ui/swdapi.h"
#include "ui/windows.h"

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

void HELP_Win(const char* label)
{
    if (maxpages <= 0) return;
    const int id = GLB_GetItemID(label);
    if (id == -1) exit(0);
    curpage = HELP_WrapPage(id - startitem);

    KBD_Clear();
    int w = SWD_InitWindow(ITM_WIN_HELP);
    if (w < 0) return;
    SND_Patch(12, 127);
    int shown = -1;
    SWD_DLG dlg{};
    for (;;) {
        curpage = HELP_WrapPage(curpage);
        if (curpage != shown) {
            shown = curpage;
            char text[16];
            M_snprintf(text, sizeof(text), "PAGE : %02u", unsigned(curpage + 1));
            SWD_SetFieldItem(w, 8, startitem + curpage);
            SWD_SetFieldText(w, 9, text);
            SWD_ShowAllWindows();
            GFX_DisplayUpdate();
        }
        SWD_Dialog(&dlg);
        I_GetNeedResize(false);
        GFX_DisplayUpdate();
        if (keyboard[SC_ESCAPE] || (joy_ipt_MenuNew && (JOY_IsKey(JOY_BACK) || JOY_IsKey(JOY_B))))
            break;
        if (keyboard[SC_ALT] && keyboard[45]) WIN_AskExit();
        switch (dlg.keypress) {
        case SC_F1:
            curpage = 1;
            break;
        case 71: // Home
            curpage = 0;
            break;
        case SC_UP:
        case 73: // PgUp
        case SC_LEFT:
            curpage--;
            break;
        case SC_RIGHT:
        case SC_DOWN:
        case 81: // PgDn
            curpage++;
            break;
        case 79: // End
            curpage = maxpages - 1;
            break;
        default:
            break;
        }
        if (dlg.cur_act == ACT_FIELD && dlg.cur_cmd == F_SELECT) {
            if (dlg.field == 5) curpage--;
            if (dlg.field == 6) curpage++;
            if (dlg.field == 7) break;
        }
    }
    SWD_DestroyWindow(w);
    SWD_ShowAllWindows();
    GFX_DisplayUpdate();
    KBD_Clear();
}

// Draws every window item of the data set with the game's own window module, filled with
// the texts and pictures the screens put into them (portraits, switches, store items, a
// help page, a question), with the focused field highlighted as the dialog loop shows it.
// Dialogs are drawn over the main menu, as the game opens them. Writes one PNG per window
// (twice the size) and a contact sheet of all of them.
//
//   winshot DATADIR OUTDIR
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "shotsheet.h"
#include "ui/swdapi.h"

namespace
{

std::vector<SHOT> shots;

// Opens a window (over the main menu unless it is full-screen itself), lets `fill` set its
// texts and pictures, highlights the focused field and grabs the screen.
template <typename F> void Window(const std::string& name, int item, bool overmenu, F fill)
{
    memset(displaybuffer, 0, SCREENSIZE);
    int menu = -1;
    if (overmenu) {
        menu = SWD_InitMasterWindow(ITM_WIN_MAINMENU);
        SWD_ShowAllWindows();
    }
    int h = overmenu ? SWD_InitWindow(item) : SWD_InitMasterWindow(item);
    if (h < 0) {
        fprintf(stderr, "winshot: window %s (%d) does not load\n", name.c_str(), item);
        exit(1);
    }
    fill(h);
    if (SWIN* w = SWD_GetWindow(h))
        if (active_field >= 0 && w->flds[size_t(active_field)].kbfocus)
            w->flds[size_t(active_field)].state = 1;
    SWD_ShowAllWindows();
    shots.push_back(SHOT_Grab(name));
    SWD_DestroyWindow(h);
    if (menu >= 0) SWD_DestroyWindow(menu);
}

void OptionsKnobs(SWD_DLG*)
{
    const uint8_t* knob = GLB_GetItem(ITM_KNOB);
    int x, y;
    SWD_GetFieldXYL(active_window, 11, &x, &y, nullptr, nullptr);
    GFX_PutSprite(knob, x + 96 - 2, y);
    SWD_GetFieldXYL(active_window, 12, &x, &y, nullptr, nullptr);
    GFX_PutSprite(knob, x + 64 - 2, y);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        fprintf(stderr, "usage: %s DATADIR OUTDIR\n", argv[0]);
        return 2;
    }
    std::string data = argv[1], out = argv[2];
    if (!SHOT_Init("winshot", data, out)) return 1;
    usekb_flag = 1;
    SWD_Install(0);

    Window("mainmenu", ITM_WIN_MAINMENU, false, [](int) {});
    Window("mainmenu-ingame", ITM_WIN_MAINMENU, false, [](int h) {
        SWD_SetFieldItem(h, 7, ITM_RETURNPIC);
        SWD_SetFieldSelect(h, 7, 1);
        SWD_SetFieldText(h, 8, " ");
        SWD_SetActiveField(h, 3);
    });
    Window("newpilot", ITM_WIN_NEWPILOT, true, [](int h) {
        SWD_SetFieldItem(h, 0, ITM_PORTRAITS + 1);
        SWD_SetFieldText(h, 1, "Jessica Hale");
        SWD_SetFieldText(h, 2, "NIGHTJAR");
        SWD_SetFieldText(h, 3, "ENTER NAME AND CALLSIGN");
    });
    Window("hangar", ITM_WIN_HANGAR, false, [](int h) {
        SWD_SetFieldItem(h, 0, ITM_HANGARPIC);
        SWD_SetFieldText(h, 1, "SUPPLY ROOM");
    });
    Window("computer", ITM_WIN_COMPUTER, false, [](int h) {
        SWD_SetFieldItem(h, 0, ITM_SWITCH_ON);
        SWD_SetFieldItem(h, 1, ITM_SWITCH_OFF);
        SWD_SetFieldItem(h, 2, ITM_SWITCH_OFF);
    });
    Window("loading", ITM_WIN_LOADING, false, [](int h) {
        SWD_SetFieldText(h, 9, "TANGO SECTOR");
        SWD_SetFieldText(h, 10, "FINAL WAVE 9");
    });
    Window("options", ITM_WIN_OPTIONS, true, [](int h) {
        SWD_SetFieldItem(h, 4, ITM_ROWMARKER);
        SWD_SetWinDrawFunc(h, OptionsKnobs);
    });
    Window("yesno", ITM_WIN_ASK, true,
           [](int h) { SWD_SetFieldText(h, 5, "Save Jessica Hale - NIGHTJAR ?"); });
    Window("difficulty", ITM_WIN_DIFFICULTY, true, [](int) {});
    Window("message", ITM_WIN_MESSAGE, true,
           [](int h) { SWD_SetFieldText(h, 5, "TRAIN MODE plays 4 of 9 levels!"); });
    Window("help", ITM_WIN_HELP, true, [](int h) {
        int page = GLB_GetItemID("HELP1_TXT");
        SWD_SetFieldItem(h, 8, page);
        SWD_SetFieldText(h, 9, "PAGE : 02");
    });
    Window("credits", ITM_WIN_CREDITS, false, [](int) {});
    Window("victory", ITM_WIN_VICTORY, true, [](int h) { SWD_SetFieldItem(h, 2, ITM_VICTORY); });
    // The other episodes' victory pictures and the training's.
    const int victories[4] = {ITM_VICTORY + 1, ITM_VICTORY + 2, GLB_GetItemID(ITM_VICTORY4_LABEL),
                              ITM_VICTORY_TRAINING};
    const char* names[4] = {"victory-2", "victory-3", "victory-4", "victory-training"};
    for (int k = 0; k < 4; k++)
        Window(names[k], ITM_WIN_VICTORY, true,
               [&](int h) { SWD_SetFieldItem(h, 2, victories[k]); });
    Window("loadpilot", ITM_WIN_LOADPILOT, true, [](int h) {
        SWD_SetFieldItem(h, 1, ITM_PORTRAITS + 2);
        SWD_SetFieldText(h, 9, "Jessica Hale");
        SWD_SetFieldText(h, 10, "NIGHTJAR");
        SWD_SetFieldText(h, 12, "0042150");
    });
    Window("store", ITM_WIN_STORE, false, [](int h) {
        SWD_SetFieldItem(h, 0, ITM_PORTRAITS + 1);
        SWD_SetFieldText(h, 1, "NIGHTJAR");
        SWD_SetFieldItem(h, 4, ITM_STOREBUTTONS + 0);
        SWD_SetFieldItem(h, 5, ITM_STOREBUTTONS + 4);
        SWD_SetFieldItem(h, 6, ITM_STOREBUTTONS + 3);
        SWD_SetFieldItem(h, 7, ITM_STOREPICS + 3);
        SWD_SetFieldText(h, 8, "  BUY AN ITEM");
        SWD_SetFieldText(h, 9, "12000");
        SWD_SetFieldText(h, 10, "0042150");
        SWD_SetFieldText(h, 13, "02");
    });
    Window("store-keeper", ITM_WIN_STORE, false, [](int h) {
        SWD_SetFieldItem(h, 0, ITM_PORTRAITS + 1);
        SWD_SetFieldText(h, 1, "NIGHTJAR");
        SWD_SetFieldItem(h, 2, -1);
        SWD_SetFieldItem(h, 3, -1);
        SWD_SetFieldItem(h, 7, ITM_SHOP_HELLO);
        SWD_SetFieldText(h, 10, "0042150");
        SWD_SetFieldText(h, 11, "");
        SWD_SetFieldText(h, 12, "");
    });

    const int gap = 6;
    for (const SHOT& s : shots)
        SHOT_Save(out + "/" + s.name + ".png", {&s, 1}, 1, 2, gap);
    SHOT_Save(out + "/windows.png", shots, 4, 1, gap);
    SWD_End();
    GLB_Shutdown();
    return 0;
}

// The supply store.
#include "ui/store.h"

#include <cstring>
#include <utility>

#include "game/loadsave.h"
#include "game/m_misc.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/i_video.h"
#include "gfx/ptrapi.h"
#include "input/imsapi.h"
#include "input/input.h"
#include "input/joyapi.h"
#include "input/kbdapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "ui/help.h"
#include "ui/swdapi.h"
#include "ui/windows.h"
#include "world/objects.h"

int b_items[24], buy_count;
int s_items[24], sell_count;

namespace
{

// Sorts by purchase price, keeping the type order of equal prices.
void SortByCost(int* list, int count)
{
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int i = 0; i + 1 < count; i++)
            if (OBJS_GetCost(list[i]) > OBJS_GetCost(list[i + 1])) {
                std::swap(list[i], list[i + 1]);
                swapped = true;
            }
    }
}

} // namespace

int MakeBuyItems(void)
{
    buy_count = 0;
    for (int type = 0; type <= OBJ_BOSSGAUGE; type++)
        if (OBJS_CanBuy(type)) b_items[buy_count++] = type;
    SortByCost(b_items, buy_count);
    return buy_count;
}

int MakeSellItems(void)
{
    sell_count = 0;
    for (int type = 0; type < OBJ_NUMTYPES; type++)
        if (OBJS_CanSell(type)) s_items[sell_count++] = type;
    SortByCost(s_items, sell_count);
    return sell_count;
}

// ---- the store screen ----------------------------------------------------------------------

namespace
{

constexpr int SC_PGUP = 73, SC_PGDN = 81;
constexpr int kFxWindow = 20, kFxClick = 12, kFxRefuse = 22;
constexpr int mainbut[2] = {ITM_STOREBUTTONS + 4, ITM_STOREBUTTONS + 5};
constexpr const char* costnames[2] = {"COST", "RESALE"};

int window = -1, mode, cur_item;
char yh_hold[32];

// Item pictures by type: the store's pictures for 0..17, none for the pickups only.
int ItemPic(int type)
{
    if (type >= 0 && type <= OBJ_BOSSGAUGE) return ITM_STOREPICS + type;
    return type == 23 ? ITM_STOREPIC_NONE : -1;
}

void Show(void)
{
    SWD_ShowAllWindows();
    GFX_DisplayUpdate();
}

void SetModeButtons(void)
{
    SWD_SetFieldItem(window, 4, mode ? ITM_STOREBUTTONS + 1 : ITM_STOREBUTTONS);
    SWD_SetFieldItem(window, 6, mode ? ITM_STOREBUTTONS + 2 : ITM_STOREBUTTONS + 3);
    SWD_SetFieldItem(window, 5, mainbut[mode]);
}

} // namespace

void Shopkeep(int picture)
{
    int held[5];
    for (int f = 2; f <= 6; f++) {
        held[f - 2] = SWD_GetFieldItem(window, f);
        SWD_SetFieldItem(window, f, -1);
    }
    Show();
    KBD_Clear();
    for (int f : {11, 12, 13, 9})
        SWD_SetFieldText(window, f, "");
    SWD_SetFieldItem(window, 7, picture);
    Show();
    IMS_WaitTimed(10);
    SWD_SetFieldItem(window, 7, -1);
    for (int f = 2; f <= 6; f++)
        SWD_SetFieldItem(window, f, held[f - 2]);
}

void STORE_Enter(void)
{
    PTR_DrawCursor(0);
    KBD_Clear();
    GFX_FadeOut(0, 0, 0, 5);
    g_button_flag = 0;
    window = SWD_InitMasterWindow(ITM_WIN_STORE);
    if (window < 0) {
        g_button_flag = 1;
        return;
    }
    SWD_SetFieldItem(window, 0, id_pics[plr.id_pic]);
    SWD_SetFieldItem(window, 5, mainbut[mode]);
    SWD_GetFieldText(window, 11, yh_hold, sizeof(yh_hold));
    SWD_SetFieldText(window, 11, "");
    SWD_SetFieldText(window, 1, plr.callsign);
    char text[32];
    M_snprintf(text, sizeof(text), "%07d", plr.score);
    SWD_SetFieldText(window, 10, text);
    Show();
    GFX_FadeIn(palette, 16);
    SWD_SetFieldPtr(window, 20);
    PTR_DrawCursor(1);

    Shopkeep(ITM_SHOP_HELLO);
    cur_item = 0;
    mode = 0;
    SetModeButtons();
    Show();

    static constexpr const char* labels[7] = {
        "ACTIVATE BUY MODE", "  PREVIOUS ITEM",    "    NEXT ITEM", " HDE MAIN DISPLAY",
        "  BUY AN ITEM",     "ACTIVATE SELL MODE", "      EXIT"};
    bool refresh = true;
    int area = -1;
    SWD_DLG dlg{};
    for (;;) {
        MakeBuyItems();
        MakeSellItems();
        if (mode == 1 && sell_count == 0) {
            Shopkeep(ITM_SHOP_NOTHING);
            mode = 0;
            cur_item = 0;
            refresh = true;
        }
        const int* list = mode ? s_items : b_items;
        const int count = mode ? sell_count : buy_count;
        if (refresh) {
            if (cur_item < 0) cur_item = count - 1;
            if (cur_item >= count) cur_item = 0;
            const int type = list[cur_item];
            SetModeButtons();
            const int price = mode ? OBJS_GetResale(type) : OBJS_GetCost(type);
            const int qty = OBJS_IsOnly(type) ? OBJS_GetAmt(type) : OBJS_GetTotal(type);
            M_snprintf(text, sizeof(text), "%02d", qty);
            SWD_SetFieldText(window, 13, text);
            M_snprintf(text, sizeof(text), "%02d", price);
            SWD_SetFieldText(window, 9, text);
            SWD_SetFieldText(window, 11, yh_hold);
            SWD_SetFieldText(window, 12, costnames[mode]);
            M_snprintf(text, sizeof(text), "%07d", plr.score);
            SWD_SetFieldText(window, 10, text);
            SWD_SetFieldItem(window, 7, ItemPic(type));
            Show();
            refresh = false;
        }

        SWD_Dialog(&dlg);
        I_GetNeedResize(false);
        GFX_DisplayUpdate();
        if (keyboard[SC_ALT] && keyboard[45]) WIN_AskExit();

        const int now =
            dlg.viewactive && dlg.viewfield >= 14 && dlg.viewfield <= 20 ? dlg.viewfield : -1;
        if (now != area) {
            area = now;
            const char* l = area < 0 ? " " : labels[area - 14];
            if (area == 18 && mode) l = "  SELL AN ITEM";
            SWD_SetFieldText(window, 8, l);
            Show();
        }
        const bool click = (dlg.cur_act == ACT_FIELD && dlg.cur_cmd == F_MOUSEVIEW) ||
                           mouse_b1_ack || (!joy_ipt_MenuNew && JOY_IsKey(JOY_A));
        if (area == 20 && click) {
            mouse_b1_ack = 0;
            break;
        }

        int press = dlg.cur_act == ACT_FIELD && dlg.cur_cmd == F_SELECT ? dlg.field : -1;
        const int key = dlg.keypress;
        if (key == SC_ESCAPE || keyboard[SC_ESCAPE]) break;
        if (key == SC_ENTER) {
            JOY_IsKey(JOY_A);
            JOY_IsKey(JOY_START);
            press = 5;
        }
        if (key == SC_SPACE || JOY_IsKey(JOY_SHOULDERLEFT)) press = mode ? 4 : 6;
        if (key == SC_UP || key == SC_PGUP || key == SC_RIGHT) press = 3;
        if (key == SC_LEFT || key == SC_DOWN || key == SC_PGDN) press = 2;
        if (key == SC_F1) HELP_Win("STORHLP1_TXT");
        if (key) KBD_Wait(key);

        switch (press) {
        case 2:
        case 3:
            SND_Patch(kFxWindow, 127);
            cur_item += press == 2 ? -1 : 1;
            refresh = true;
            break;
        case 4:
        case 6:
            SND_Patch(kFxWindow, 127);
            mode = press == 6;
            mode ? MakeSellItems() : MakeBuyItems();
            cur_item = 0;
            refresh = true;
            break;
        case 5: {
            const int type = list[cur_item];
            if (mode) {
                OBJS_Sell(type);
                MakeSellItems();
                SND_Patch(kFxWindow, 127);
            } else {
                switch (OBJS_Buy(type)) {
                case 0:
                    SND_Patch(kFxWindow, 127);
                    break;
                case 1:
                    SND_Patch(kFxRefuse, 127);
                    Shopkeep(ITM_SHOP_NOMONEY);
                    break;
                case 2:
                    SND_Patch(kFxRefuse, 127);
                    Shopkeep(ITM_SHOP_NOROOM);
                    break;
                default:
                    SND_Patch(kFxRefuse, 127);
                }
                MakeBuyItems();
            }
            const int* l2 = mode ? s_items : b_items;
            if ((mode ? sell_count : buy_count) > 0 && l2[0] == type) cur_item = 0;
            refresh = true;
            break;
        }
        default:
            break;
        }
    }

    SND_Patch(kFxClick, 127);
    while (IMS_IsAck())
        GFX_DisplayUpdate();
    g_button_flag = 1;
    GFX_FadeOut(0, 0, 0, 16);
    PTR_DrawCursor(0);
    SWD_DestroyWindow(window);
    window = -1;
    memset(displaybuffer, 0, SCREENSIZE);
    GFX_MarkUpdate(0, 0, SCREENWIDTH, SCREENHEIGHT);
    GFX_DisplayUpdate();
    GFX_SetPalette(palette, 0);
}

// The dialog loop: one input step per call. Reads the keys, mouse and controller, lets the
// focused field handle them, moves the focus between fields and windows, redraws what
// changed and describes in the report record what happened. Presses are reported only
// after the key or button that made them is released.
#include <cstdlib>
#include <cstring>

#include "gfx/gfxapi.h"
#include "gfx/i_video.h"
#include "gfx/ptrapi.h"
#include "input/input.h"
#include "input/joyapi.h"
#include "input/kbdapi.h"
#include "res/glbapi.h"
#include "ui/swdint.h"

namespace
{

constexpr int SC_TAB = 15, SC_Y = 21;
constexpr int kFar = 0x7fff;

int g_key, g_ascii;
int cur_act, cur_cmd;

bool Focusable(const SFIELD& f)
{
    switch (f.opt) {
    case FLD_BUTTON:
    case FLD_INPUT:
    case FLD_MARK:
    case FLD_BOX:
    case FLD_VIEW:
    case FLD_MOUSEVIEW:
        return f.select != 0;
    default:
        return false;
    }
}

// Takes part in Tab order.
bool Ordered(const SFIELD& f)
{
    return f.opt != FLD_OFF && f.opt != FLD_DRAGBAR && f.select;
}

int LastFocusable(const SWIN* w)
{
    int last = -1;
    for (size_t i = 0; i < w->flds.size(); i++)
        if (Focusable(w->flds[i])) last = static_cast<int>(i);
    return last;
}

int Move(const SWIN* w, int cur, int cmd)
{
    const SFIELD& c = w->flds[size_t(cur)];
    int best = -1, dist = kFar;
    const int n = static_cast<int>(w->flds.size());
    switch (cmd) {
    case F_DOWN:
    case F_UP:
        for (int i = 0; i < n; i++) {
            const SFIELD& f = w->flds[size_t(i)];
            if (!Focusable(f)) continue;
            int dy = cmd == F_DOWN ? f.y - c.y : c.y - f.y;
            if (dy <= 0) continue;
            int d = dy + abs(f.x - c.x);
            if (d < dist) {
                dist = d;
                best = i;
            }
        }
        if (best >= 0) return best;
        if (cmd == F_UP && LastFocusable(w) >= 0) return LastFocusable(w);
        return w->firstfld;
    case F_NEXT:
    case F_RIGHT:
    case F_PREV:
    case F_LEFT: {
        const bool next = cmd == F_NEXT || cmd == F_RIGHT;
        for (int i = 0; i < n; i++) {
            const SFIELD& f = w->flds[size_t(i)];
            if (!Ordered(f)) continue;
            int d = next ? f.id - c.id : c.id - f.id;
            if (d <= 0) continue;
            if (d < dist) {
                dist = d;
                best = i;
            }
        }
        if (best >= 0) return best;
        if (next) return w->firstfld == -1 ? cur : w->firstfld;
        return LastFocusable(w) >= 0 ? LastFocusable(w) : cur;
    }
    case F_FIRST:
    case F_TOP:
        return w->firstfld;
    case F_LAST:
        return LastFocusable(w);
    default:
        return cur;
    }
}

void Present(void)
{
    GFX_DisplayUpdate();
}

// The arrow, Tab and Enter keys of buttons and text entries.
void NavigationKey(const SWIN* w)
{
    switch (g_key) {
    case SC_TAB:
        if (keyboard[SC_ALT]) {
            cur_act = ACT_WINDOW;
            cur_cmd = W_NEXT;
        } else {
            cur_act = ACT_FIELD;
            cur_cmd = capslock || keyboard[SC_LSHIFT] || keyboard[SC_RSHIFT] ? F_PREV : F_NEXT;
        }
        break;
    case SC_ENTER:
        cur_act = ACT_FIELD;
        cur_cmd = F_SELECT;
        break;
    case SC_UP:
    case SC_DOWN:
    case SC_LEFT:
    case SC_RIGHT:
        if (!w->arrowkeys) break;
        cur_act = ACT_FIELD;
        cur_cmd = g_key == SC_UP     ? F_UP
                  : g_key == SC_DOWN ? F_DOWN
                  : g_key == SC_LEFT ? F_LEFT
                                     : F_RIGHT;
        break;
    default:
        break;
    }
}

void CheckMouse(SWIN* w)
{
    const int n = static_cast<int>(w->flds.size());
    for (int i = 0; i < n; i++) {
        const SFIELD& f = w->flds[size_t(i)];
        if (f.opt == FLD_OFF) continue;
        int x = w->x + f.x, y = w->y + f.y;
        if (cur_mx < x || cur_mx > x + f.lx + 1 || cur_my < y || cur_my > y + f.ly + 1) continue;
        if (f.opt >= FLD_BUTTON && f.opt <= FLD_BOX) {
            active_field = i;
            cur_act = ACT_FIELD;
            cur_cmd = F_SELECT;
        } else if (f.opt == FLD_DRAGBAR && f.select) {
            active_field = i;
            cur_act = ACT_WINDOW;
            cur_cmd = W_MOVE;
        } else if (f.opt == FLD_VIEW) {
            cur_act = ACT_FIELD;
            cur_cmd = F_VIEW;
        } else if (f.opt == FLD_MOUSEVIEW) {
            cur_act = ACT_FIELD;
            cur_cmd = F_MOUSEVIEW;
        } else {
            continue;
        }
        break;
    }
    swd_mem.highlight_flag = 1;
    if (SFIELD* f = SWD_Field(active_window, active_field)) swd_mem.kbactive = f->kbfocus ? 1 : 0;
}

void Redraw(int handle, int field)
{
    SWIN* w = SWD_GetWindow(handle);
    if (SFIELD* f = SWD_Field(handle, field)) SWD_PutField(w, f);
}

void Press(SWIN* w)
{
    SFIELD* f = SWD_Field(active_window, active_field);
    if (!f) return;
    f->state = 2;
    SWD_PutField(w, f);
    f->mark ^= 1;
    if (SFIELD* l = SWD_Field(swd_mem.lastwin, swd_mem.lastfld); l && l != f) {
        l->state = 0;
        Redraw(swd_mem.lastwin, swd_mem.lastfld);
        swd_mem.lastwin = swd_mem.lastfld = -1;
    }
    Present();
    while (SWD_IsButtonDown()) {
        I_GetEvent();
        Present();
    }
    mouse_b1_ack = 0;
    f->state = swd_mem.kbactive ? 1 : f->kbfocus;
    SWD_PutField(w, f);
    Present();
}

void SwitchWindow(SWIN* w)
{
    if (w->lock) return;
    int next = SWD_FindShownBelow(active_window, true);
    if (next < 0) next = SWD_FindShownBelow(active_window, false);
    if (next < 0) return;
    active_window = next;
    active_field = g_wins[next].win->firstfld;
    SWD_ForgetHighlight(false);
    SWD_ShowAllWindows();
    Present();
}

void Drag(SWIN* w)
{
    uint8_t* back = SWD_MoveBuffer();
    if (!back) return;
    SFIELD* bar = SWD_Field(active_window, active_field);
    if (!bar) return;
    bar->state = 2;
    const int dx = cur_mx - w->x, dy = cur_my - w->y;
    SWD_ShowAllWindows();
    Present();
    while (mouseb1) {
        I_GetEvent();
        w->x = cur_mx - dx;
        w->y = cur_my - dy;
        memcpy(displaybuffer, back, SCREENSIZE);
        SWD_PutWin(active_window);
        GFX_MarkUpdate(0, 0, SCREENWIDTH, SCREENHEIGHT);
        Present();
    }
    mouse_b1_ack = 0;
    bar->state = 0;
    SWD_PutField(w, bar);
    Present();
}

} // namespace

int SWD_IsButtonDown(void)
{
    return keyboard[SC_ENTER] || mouseb1 || JOY_GetButton(JOY_A) || JOY_GetButton(JOY_START);
}

void SWD_ClearAllButtons(void)
{
    for (SWD_SLOT& s : g_wins)
        if (s.inuse)
            for (SFIELD& f : s.win->flds)
                f.state = 0;
}

void SWD_SetActiveField(int handle, int field)
{
    SWIN* w = SWD_GetWindow(handle);
    if (!w || field < -1 || field >= static_cast<int>(w->flds.size())) return;
    if (SWD_Field(active_window, active_field)) {
        swd_mem.lastwin = active_window;
        swd_mem.lastfld = active_field;
    }
    active_field = field;
    SFIELD* f = SWD_Field(handle, field);
    swd_mem.kbactive = f && f->kbfocus ? 1 : 0;
    if (swd_mem.kbactive) swd_mem.highlight_flag = 1;
}

void SWD_SetActiveWindow(int handle)
{
    if (!SWD_GetWindow(handle)) return; // a wrong handle is refused
    active_window = handle;
}

int SWD_GetNextWindow(void)
{
    SWD_ForgetHighlight(false);
    int next = SWD_FindShownBelow(active_window < 0 ? 0 : active_window, false);
    if (next < 0) {
        active_window = active_field = -1;
        return -1;
    }
    active_window = next;
    active_field = g_wins[next].win->firstfld;
    return active_field;
}

void SWD_DoButton(SWIN* w, SFIELD*)
{
    if (!g_button_flag) return;
    NavigationKey(w);
}

void SWD_FieldInput(SWIN* w, SFIELD* f)
{
    char* text = f->text.data();
    const int room = static_cast<int>(f->text.size()) - 1; // characters the buffer holds
    const uint8_t* font = f->fontid == -1 ? nullptr : GLB_GetItem(f->fontid);
    auto len = [text] { return static_cast<int>(strlen(text)); };
    auto pop = [&] {
        if (len() > 0) text[len() - 1] = 0;
    };
    auto push = [&](char c) {
        int n = len();
        if (n >= room) return;
        text[n] = c;
        text[n + 1] = 0;
        // A character that would not fit inside the box is taken back.
        if (font && GFX_StrPixelLen(font, text, n + 1) >= f->lx) text[n] = 0;
    };

    if (joy_ipt_MenuNew) {
        // The controller types by cycling the last character through the letters and
        // digits; each button acts once per press.
        const int held = (JOY_GetButton(JOY_A) ? 1 : 0) | (JOY_GetButton(JOY_X) ? 2 : 0) |
                         (JOY_GetButton(JOY_Y) ? 4 : 0) | (JOY_GetButton(JOY_START) ? 8 : 0);
        const int pressed = held & ~swd_mem.joyheld;
        swd_mem.joyheld = held;
        const bool down =
            g_key == SC_DOWN && (JOY_GetAxis(JOY_LEFTY) > 0 || JOY_GetButton(JOY_DPADDOWN));
        const bool up = g_key == SC_UP && (JOY_GetAxis(JOY_LEFTY) < 0 || JOY_GetButton(JOY_DPADUP));
        if (down || up || pressed) {
            if (room > 0 && len() >= room) pop();
            if (down || up) {
                int n = len();
                if (swd_mem.fi_joy_count == 0 || n == 0) {
                    push('A');
                    swd_mem.fi_joy_count = 1;
                } else {
                    int c = text[n - 1] + (down ? -1 : 1);
                    if (c < '0') c = 'Z';
                    if (c > 'Z') c = '0';
                    text[n - 1] = static_cast<char>(c);
                }
            }
            if (pressed & 1) {
                swd_mem.fi_joy_count = 0;
                g_key = 0;
            }
            if (pressed & 2) pop();
            if (pressed & 4) push(' ');
            if (pressed & 8) {
                cur_act = ACT_FIELD;
                cur_cmd = F_SELECT;
            }
            if (font && len() > 0 && GFX_StrPixelLen(font, text, len()) >= f->lx) pop();
            SWD_PutField(w, f);
            Present();
        }
    }

    switch (g_key) {
    case 0:
        return;
    case SC_UP:
    case SC_DOWN:
    case SC_LEFT:
    case SC_RIGHT:
    case SC_TAB:
    case SC_ENTER:
        if (g_button_flag) NavigationKey(w);
        return;
    case SC_BACKSPACE:
        pop(); // an empty text stays empty
        SWD_PutField(w, f);
        cur_act = ACT_SHOW;
        return;
    default:
        break;
    }
    if (keyboard[SC_CTRL] && g_key == SC_Y) {
        text[0] = 0;
        SWD_PutField(w, f);
        cur_act = ACT_SHOW;
        return;
    }
    if (keyboard[SC_CTRL] || keyboard[SC_ALT]) return;
    if (len() < room && g_ascii >= 32 && g_ascii <= 126) {
        int c = g_ascii;
        bool keep = true;
        switch (f->input_opt) {
        case INPUT_ANY:
            break;
        case INPUT_UPPER:
            if (c >= 'a' && c <= 'z') c -= 'a' - 'A';
            break;
        case INPUT_DIGITS:
            keep = (c >= '0' && c <= '9') || c == '-';
            break;
        default:
            keep = false;
            break;
        }
        if (keep) push(static_cast<char>(c));
    }
    SWD_PutField(w, f);
    cur_act = ACT_SHOW;
}

void SWD_Dialog(SWD_DLG* dlg)
{
    I_GetEvent();
    g_key = lastscan;
    if (joy_ipt_MenuNew && !g_key) g_key = JOY_MapsInput();
    lastscan = 0;
    g_ascii = lastascii;
    lastascii = 0;

    SWIN* w = SWD_GetWindow(active_window);
    if (!w) return;
    cur_act = cur_cmd = 0;
    bool shown = false;

    if (swd_mem.highlight_flag) {
        swd_mem.highlight_flag = 0;
        if (SFIELD* l = SWD_Field(swd_mem.lastwin, swd_mem.lastfld)) {
            l->state = 0;
            Redraw(swd_mem.lastwin, swd_mem.lastfld);
            shown = true;
        }
        swd_mem.lastwin = swd_mem.lastfld = -1;
        if (swd_mem.kbactive) {
            if (SFIELD* f = SWD_Field(active_window, active_field)) {
                f->state = 1;
                SWD_PutField(w, f);
                swd_mem.lastwin = active_window;
                swd_mem.lastfld = active_field;
                shown = true;
            }
        }
    }

    if (active_window != swd_mem.old_win) {
        SWD_ClearAllButtons();
        cur_act = ACT_WINDOW;
        cur_cmd = W_NEW;
        swd_mem.lastwin = swd_mem.lastfld = -1;
        swd_mem.highlight_flag = 1;
        SFIELD* f = SWD_Field(active_window, active_field);
        swd_mem.kbactive = f && f->kbfocus ? 1 : 0;
    }
    swd_mem.old_win = active_window;

    dlg->viewactive = 0;
    if (g_wins[active_window].viewflag) {
        for (size_t i = 0; i < w->flds.size(); i++) {
            const SFIELD& f = w->flds[i];
            if (f.opt != FLD_MOUSEVIEW) continue;
            int x = w->x + f.x, y = w->y + f.y;
            if (cur_mx < x || cur_mx > x + f.lx + 1 || cur_my < y || cur_my > y + f.ly + 1)
                continue;
            dlg->viewactive = 1;
            dlg->viewfield = static_cast<int>(i);
            dlg->view_x = f.x;
            dlg->view_y = f.y;
            dlg->height = f.lx;
            dlg->width = f.ly;
            break;
        }
    }

    SFIELD* fld = SWD_Field(active_window, active_field);
    if (!fld) {
        if (shown) Present();
        return;
    }

    const bool click = mouseb1 || mouse_b1_ack;
    if ((click || (JOY_GetButton(JOY_A) && !joy_ipt_MenuNew)) && cur_act == ACT_NONE) {
        mouse_b1_ack = 0;
        CheckMouse(w);
    } else if (fld->opt < SWD_FLDFUNCS && fldfuncs[fld->opt] && cur_act == ACT_NONE) {
        fldfuncs[fld->opt](w, fld);
        bool hit = false;
        for (size_t i = 0; i < w->flds.size() && g_key; i++) {
            SFIELD& f = w->flds[i];
            if (f.opt == FLD_OFF || f.hotkey != g_key) continue;
            if (SFIELD* l = SWD_Field(swd_mem.lastwin, swd_mem.lastfld)) {
                l->state = 0;
                Redraw(swd_mem.lastwin, swd_mem.lastfld);
            }
            active_field = static_cast<int>(i);
            swd_mem.lastwin = active_window;
            swd_mem.lastfld = active_field;
            swd_mem.highlight_flag = 1;
            cur_act = ACT_FIELD;
            cur_cmd = F_SELECT;
            if (!usekb_flag) swd_mem.kbactive = 0;
            hit = true;
            break;
        }
        if (!hit && cur_act == ACT_FIELD && cur_cmd != F_SELECT && !swd_mem.kbactive) {
            cur_cmd = F_TOP;
            swd_mem.kbactive = 1;
        }
    }

    const int before = active_field;
    dlg->window = active_window;
    dlg->id = w->id;
    dlg->type = w->type;
    dlg->cur_act = cur_act;
    dlg->cur_cmd = cur_cmd;
    dlg->keypress = g_key;
    swd_mem.old_field = active_field;

    switch (cur_act) {
    case ACT_FIELD: {
        SFIELD* f = SWD_Field(active_window, active_field);
        dlg->x = f->x;
        dlg->y = f->y;
        dlg->width = f->lx;
        dlg->height = f->ly;
        if (cur_cmd >= F_DOWN && cur_cmd <= F_TOP)
            active_field = Move(w, active_field, cur_cmd);
        else if (cur_cmd == F_SELECT)
            Press(w);
        // The first key press (command 9) leaves the focus where it is but shows it.
        if ((active_field != before || cur_cmd == F_TOP) && active_field != -1 && swd_mem.kbactive)
            swd_mem.highlight_flag = 1;
        break;
    }
    case ACT_WINDOW:
        dlg->x = w->x;
        dlg->y = w->y;
        dlg->width = w->lx;
        dlg->height = w->ly;
        if (cur_cmd == W_NEXT)
            SwitchWindow(w);
        else if (cur_cmd == W_MOVE)
            Drag(w);
        else if (cur_cmd == W_CLEAR || cur_cmd == W_CLEAR2)
            SWD_ClearAllButtons();
        break;
    case ACT_REDRAW:
        SWD_ShowAllWindows();
        Present();
        break;
    case ACT_SHOW:
        Present();
        break;
    default:
        break;
    }
    dlg->field = active_field;
    if (shown) Present();
}

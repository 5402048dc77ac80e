#include "textui/txt_window.h"

#include <algorithm>
#include <cstring>

#include "textui/txt_controls.h"
#include "textui/txt_gui.h"
#include "textui/txt_main.h"

// Game controller buttons that move around windows (the controller's own numbering).
namespace
{
constexpr int kPadA = 0, kPadB = 1, kPadUp = 11, kPadDown = 12, kPadLeft = 13, kPadRight = 14;
// Inside a frame: one cell of frame and one of margin on each side.
constexpr int kSideBorder = 2;
} // namespace

static std::vector<TXT_WINDOW*> windows;
static std::vector<TXT_WINDOW*> closed_windows;

static void RefreshFocus(void)
{
    for (size_t i = 0; i < windows.size(); i++)
        TXT_SetWidgetFocus(windows[i], i + 1 == windows.size());
}

static int ActionWidth(const TXT_WINDOW_ACTION* a)
{
    char keyname[16];
    TXT_GetKeyDescription(a->key, keyname, sizeof(keyname));
    return static_cast<int>(strlen(keyname) + 1 + a->label.size());
}

static void ActionSizeCalc(TXT_WIDGET* w)
{
    w->w = ActionWidth(static_cast<TXT_WINDOW_ACTION*>(w));
    w->h = 1;
}

static void ActionDraw(TXT_WIDGET* w)
{
    auto* a = static_cast<TXT_WINDOW_ACTION*>(w);
    char keyname[16];
    TXT_GetKeyDescription(a->key, keyname, sizeof(keyname));
    bool hover = TXT_HoveringOverWidget(w);
    TXT_GotoXY(w->x, w->y);
    TXT_SetAttr(hover ? TXT_ATTR_FOCUS : TXT_ATTR_ACTION_KEY);
    TXT_Puts(keyname);
    TXT_SetAttr(hover ? TXT_ATTR_FOCUS : TXT_ATTR_ACTION);
    TXT_PutChar('=');
    TXT_Puts(a->label.c_str());
}

static bool ActionKeyPress(TXT_WIDGET* w, int key)
{
    if (key != static_cast<TXT_WINDOW_ACTION*>(w)->key) return false;
    TXT_EmitSignal(w, "pressed");
    return true;
}

static void ActionMousePress(TXT_WIDGET* w, int, int, int code)
{
    if (code == TXT_MOUSE_LEFT) TXT_EmitSignal(w, "pressed");
}

static void ActionDestroy(TXT_WIDGET* w)
{
    delete static_cast<TXT_WINDOW_ACTION*>(w);
}

static bool NeverSelectable(TXT_WIDGET*)
{
    return false;
}

static const TXT_WIDGET_CLASS txt_action_class = {
    .selectable = NeverSelectable,
    .size_calc = ActionSizeCalc,
    .draw = ActionDraw,
    .keypress = ActionKeyPress,
    .destroy = ActionDestroy,
    .mouse_press = ActionMousePress,
};

TXT_WINDOW_ACTION* TXT_NewWindowAction(int key, const char* label)
{
    auto* a = new TXT_WINDOW_ACTION;
    TXT_InitWidget(a, &txt_action_class);
    a->key = key;
    a->label = label;
    return a;
}

static void CloseWindowCallback(TXT_WIDGET*, void* window)
{
    TXT_CloseWindow(static_cast<TXT_WINDOW*>(window));
}

TXT_WINDOW_ACTION* TXT_NewWindowAbortAction(TXT_WINDOW* window, const char* label)
{
    TXT_WINDOW_ACTION* a = TXT_NewWindowAction(KEY_ESCAPE, label);
    TXT_SignalConnect(a, "pressed", CloseWindowCallback, window);
    return a;
}

static void SelectCallback(TXT_WIDGET*, void* window)
{
    TXT_TableKeyPress(static_cast<TXT_WINDOW*>(window), KEY_ENTER);
}

TXT_WINDOW_ACTION* TXT_NewWindowSelectAction(TXT_WINDOW* window, const char* label)
{
    TXT_WINDOW_ACTION* a = TXT_NewWindowAction(KEY_ENTER, label);
    TXT_SignalConnect(a, "pressed", SelectCallback, window);
    return a;
}

static void WindowDestroy(TXT_WIDGET* w)
{
    auto* window = static_cast<TXT_WINDOW*>(w);
    for (TXT_WINDOW_ACTION*& a : window->actions) {
        TXT_DestroyWidget(a);
        a = nullptr;
    }
    TXT_TableDestroyChildren(window);
    delete window;
}

static const TXT_WIDGET_CLASS txt_window_class = {
    .selectable = TXT_TableSelectable,
    .size_calc = TXT_TableSizeCalc,
    .draw = TXT_TableDraw,
    .keypress = TXT_TableKeyPress,
    .destroy = WindowDestroy,
    .mouse_press = TXT_TableMousePress,
    .layout = TXT_TableLayout,
    .focus_change = TXT_TableFocused,
    .focus_edge = TXT_TableFocusEdge,
};

TXT_WINDOW* TXT_NewWindow(const char* title)
{
    auto* window = new TXT_WINDOW;
    TXT_InitWidget(window, &txt_window_class);
    TXT_InitTable(window, 1);
    window->title = title ? title : "";
    windows.push_back(window);
    RefreshFocus();
    return window;
}

void TXT_CloseWindow(TXT_WINDOW* window)
{
    if (!window || window->closed) return;
    window->closed = true;
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
    closed_windows.push_back(window);
    TXT_SetWidgetFocus(window, false);
    RefreshFocus();
    TXT_EmitSignal(window, "closed");
}

void TXT_FreeClosedWindows(void)
{
    // Freeing may not close further windows, but take the list first all the same.
    std::vector<TXT_WINDOW*> list;
    list.swap(closed_windows);
    for (TXT_WINDOW* w : list)
        TXT_DestroyWidget(w);
}

void TXT_CloseAllWindows(void)
{
    while (!windows.empty())
        TXT_CloseWindow(windows.back());
    TXT_FreeClosedWindows();
}

void TXT_SetWindowPosition(TXT_WINDOW* window, TXT_HORIZ_ALIGN horiz, TXT_VERT_ALIGN vert, int x,
                           int y)
{
    window->horiz_align = horiz;
    window->vert_align = vert;
    window->pos_x = x;
    window->pos_y = y;
}

void TXT_SetWindowAction(TXT_WINDOW* window, TXT_HORIZ_ALIGN position, TXT_WINDOW_ACTION* action)
{
    TXT_WINDOW_ACTION*& slot = window->actions[position];
    TXT_DestroyWidget(slot);
    slot = action;
    if (action) action->parent = window;
}

void TXT_SetWindowListener(TXT_WINDOW* window, TXT_WINDOW_LISTENER listener, void* user_data)
{
    window->listener = listener;
    window->listener_data = user_data;
}

static void CloseMessageBox(TXT_WIDGET*, void* window)
{
    TXT_CloseWindow(static_cast<TXT_WINDOW*>(window));
}

static bool MessageBoxListener(TXT_WINDOW* window, int code, void*)
{
    if (code != KEY_ESCAPE) return false;
    TXT_CloseWindow(window);
    return true;
}

TXT_WINDOW* TXT_MessageBox(const char* title, const char* message)
{
    TXT_WINDOW* window = TXT_NewWindow(title);
    TXT_AddWidget(window, TXT_NewLabel(message));
    TXT_WINDOW_ACTION* close = TXT_NewWindowAction(KEY_ENTER, "Close");
    TXT_SignalConnect(close, "pressed", CloseMessageBox, window);
    TXT_SetWindowAction(window, TXT_HORIZ_CENTER, close);
    TXT_SetWindowListener(window, MessageBoxListener, nullptr);
    return window;
}

int TXT_WindowCount(void)
{
    return static_cast<int>(windows.size());
}

TXT_WINDOW* TXT_GetWindow(int index)
{
    return index >= 0 && index < TXT_WindowCount() ? windows[index] : nullptr;
}

TXT_WINDOW* TXT_TopWindow(void)
{
    return windows.empty() ? nullptr : windows.back();
}

bool TXT_WindowIsOpen(const TXT_WINDOW* window)
{
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

static bool HasActions(const TXT_WINDOW* window)
{
    for (TXT_WINDOW_ACTION* a : window->actions)
        if (a) return true;
    return false;
}

void TXT_LayoutWindow(TXT_WINDOW* window)
{
    TXT_CalcWidgetSize(window);
    int inner_w = window->w;
    inner_w = std::max(inner_w, static_cast<int>(window->title.size()) + 2);
    int actions_w = 0;
    for (TXT_WINDOW_ACTION* a : window->actions) {
        if (!a) continue;
        TXT_CalcWidgetSize(a);
        actions_w += a->w + 2;
    }
    inner_w = std::max(inner_w, actions_w);
    // The frame, its shadow, the title bar and the help line must all stay on screen.
    inner_w = std::min(inner_w, TXT_SCREEN_W - 2 - 2 * kSideBorder);
    int frame_w = inner_w + 2 * kSideBorder;
    int frame_h = window->h + 2 + (HasActions(window) ? 2 : 0);

    int x = window->pos_x, y = window->pos_y;
    if (window->horiz_align == TXT_HORIZ_CENTER) x -= frame_w / 2;
    if (window->horiz_align == TXT_HORIZ_RIGHT) x -= frame_w - 1;
    if (window->vert_align == TXT_VERT_CENTER) y -= frame_h / 2;
    if (window->vert_align == TXT_VERT_BOTTOM) y -= frame_h - 1;
    x = std::clamp(x, 0, std::max(0, TXT_SCREEN_W - 2 - frame_w));
    y = std::clamp(y, 1, std::max(1, TXT_SCREEN_H - 2 - frame_h));

    window->frame_x = x;
    window->frame_y = y;
    window->frame_w = frame_w;
    window->frame_h = frame_h;
    window->x = x + kSideBorder;
    window->y = y + 1;
    // The last column takes up any room to spare, so highlight bars span the window.
    if (!window->col_w.empty() && window->w < inner_w) window->col_w.back() += inner_w - window->w;
    window->w = inner_w;
    TXT_TableLayout(window);

    int ay = y + frame_h - 2;
    if (TXT_WINDOW_ACTION* a = window->actions[TXT_HORIZ_LEFT]) a->x = window->x;
    if (TXT_WINDOW_ACTION* a = window->actions[TXT_HORIZ_CENTER]) a->x = x + (frame_w - a->w) / 2;
    if (TXT_WINDOW_ACTION* a = window->actions[TXT_HORIZ_RIGHT]) a->x = window->x + inner_w - a->w;
    for (TXT_WINDOW_ACTION* a : window->actions)
        if (a) a->y = ay;
}

void TXT_DrawWindow(TXT_WINDOW* window)
{
    TXT_LayoutWindow(window);
    TXT_DrawWindowFrame(window->title.c_str(), window->frame_x, window->frame_y, window->frame_w,
                        window->frame_h);
    TXT_PushClipArea(window->frame_x + 1, window->frame_y + 1,
                     window->frame_x + window->frame_w - 2, window->frame_y + window->frame_h - 2);
    TXT_TableDraw(window);
    if (HasActions(window)) {
        TXT_DrawWindowRule(window->frame_x, window->frame_y + window->frame_h - 3, window->frame_w);
        for (TXT_WINDOW_ACTION* a : window->actions)
            if (a) TXT_DrawWidget(a);
    }
    TXT_PopClipArea();
}

static int PadToKey(int button)
{
    switch (button) {
    case kPadA:
        return KEY_ENTER;
    case kPadB:
        return KEY_ESCAPE;
    case kPadUp:
        return KEY_UPARROW;
    case kPadDown:
        return KEY_DOWNARROW;
    case kPadLeft:
        return KEY_LEFTARROW;
    case kPadRight:
        return KEY_RIGHTARROW;
    default:
        return 0;
    }
}

void TXT_WindowInput(TXT_WINDOW* window, int code)
{
    if (window->listener && window->listener(window, code, window->listener_data)) return;

    if (code == TXT_MOUSE_SCROLLUP) code = KEY_UPARROW;
    if (code == TXT_MOUSE_SCROLLDOWN) code = KEY_DOWNARROW;
    if (TXT_IsJoyCode(code)) code = PadToKey(code - TXT_JOY_BASE);
    if (code <= 0) return;

    if (TXT_IsMouseCode(code)) {
        int mx, my;
        TXT_GetMousePosition(&mx, &my);
        for (TXT_WINDOW_ACTION* a : window->actions) {
            if (a && TXT_WidgetContains(a, mx, my)) {
                TXT_WidgetMousePress(a, mx, my, code);
                return;
            }
        }
        if (TXT_WidgetContains(window, mx, my)) TXT_TableMousePress(window, mx, my, code);
        return;
    }

    if (TXT_TableKeyPress(window, code)) return;
    for (TXT_WINDOW_ACTION* a : window->actions)
        if (a && TXT_WidgetKeyPress(a, code)) return;
    // Tab past the last widget comes round to the first again.
    if (code == KEY_TAB) TXT_TableFocusEdge(window, TXT_ShiftHeld());
}

const char* TXT_WindowHelp(TXT_WINDOW* window)
{
    for (TXT_WINDOW_ACTION* a : window->actions)
        if (a && !a->help.empty() && TXT_HoveringOverWidget(a)) return a->help.c_str();
    TXT_WIDGET* focused = TXT_GetSelectedWidget(window);
    if (focused && !focused->help.empty() && TXT_SelectableWidget(focused))
        return focused->help.c_str();
    // What Enter does is the likeliest thing to want to know.
    for (TXT_WINDOW_ACTION* a : window->actions)
        if (a && !a->help.empty() && a->key == KEY_ENTER) return a->help.c_str();
    for (TXT_WINDOW_ACTION* a : window->actions)
        if (a && !a->help.empty()) return a->help.c_str();
    return "";
}

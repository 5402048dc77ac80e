// Windows: framed tables with a title, a place on the screen and up to three actions
// bound to keys along the bottom edge. Windows stack; the newest one takes the input.
#pragma once

#include <array>

#include "textui/txt_main.h"
#include "textui/txt_table.h"

// An action: a key and a label shown along the bottom of a window ("ESC=Abort"). Pressing
// the key, or clicking the label, emits "pressed".
struct TXT_WINDOW_ACTION : TXT_WIDGET {
    int key = 0;
    std::string label;
};

struct TXT_WINDOW;

// Sees every input code before the window's widgets do; true when it used the code.
using TXT_WINDOW_LISTENER = bool (*)(TXT_WINDOW* window, int code, void* user_data);

struct TXT_WINDOW : TXT_TABLE {
    std::string title;
    TXT_HORIZ_ALIGN horiz_align = TXT_HORIZ_CENTER;
    TXT_VERT_ALIGN vert_align = TXT_VERT_CENTER;
    int pos_x = TXT_SCREEN_W / 2, pos_y = TXT_SCREEN_H / 2;
    // Left, centre and right action.
    std::array<TXT_WINDOW_ACTION*, 3> actions = {};
    TXT_WINDOW_LISTENER listener = nullptr;
    void* listener_data = nullptr;
    // The frame, worked out when the window is laid out.
    int frame_x = 0, frame_y = 0, frame_w = 0, frame_h = 0;
    bool closed = false;
};

// Opens a window; it is drawn and takes the input until it is closed.
TXT_WINDOW* TXT_NewWindow(const char* title);
// Closes the window: emits its "closed" signal and frees it once the current event has
// been handled (so a callback may close the window it belongs to).
void TXT_CloseWindow(TXT_WINDOW* window);
// Places the window: (x, y) is where its left edge, centre or right edge (and its top,
// middle or bottom) goes.
void TXT_SetWindowPosition(TXT_WINDOW* window, TXT_HORIZ_ALIGN horiz, TXT_VERT_ALIGN vert, int x,
                           int y);
// Puts an action at the left, centre or right of the bottom edge (null removes it). The
// window owns the action.
void TXT_SetWindowAction(TXT_WINDOW* window, TXT_HORIZ_ALIGN position, TXT_WINDOW_ACTION* action);
void TXT_SetWindowListener(TXT_WINDOW* window, TXT_WINDOW_LISTENER listener, void* user_data);

TXT_WINDOW_ACTION* TXT_NewWindowAction(int key, const char* label);
// Escape: closes the window.
TXT_WINDOW_ACTION* TXT_NewWindowAbortAction(TXT_WINDOW* window, const char* label = "Abort");
// Enter: presses the widget that has the focus.
TXT_WINDOW_ACTION* TXT_NewWindowSelectAction(TXT_WINDOW* window, const char* label = "Select");

// A small window with a message and a Close action.
TXT_WINDOW* TXT_MessageBox(const char* title, const char* message);

// The open windows, bottom first.
int TXT_WindowCount(void);
TXT_WINDOW* TXT_GetWindow(int index);
TXT_WINDOW* TXT_TopWindow(void);
// Whether the window is still open.
bool TXT_WindowIsOpen(const TXT_WINDOW* window);

// Works out the window's frame and lays out its widgets.
void TXT_LayoutWindow(TXT_WINDOW* window);
void TXT_DrawWindow(TXT_WINDOW* window);
// Hands an input code to the window: listener, widgets, then actions.
void TXT_WindowInput(TXT_WINDOW* window, int code);
// The help text for the window: a hovered action, the focused widget, or the help of the
// window's actions (Enter's first).
const char* TXT_WindowHelp(TXT_WINDOW* window);
// Frees windows closed since the last call.
void TXT_FreeClosedWindows(void);
// Closes every window.
void TXT_CloseAllWindows(void);

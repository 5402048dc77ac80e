// Widgets: the common part of every element of a text-mode window. A widget is a record
// whose first part is TXT_WIDGET; what kind it is, and so how it is sized, drawn and how
// it takes keys, comes from its class table. Widgets report what happens to them through
// named signals ("pressed", "changed", "closed"...) to plain callbacks.
#pragma once

#include <string>
#include <vector>

struct TXT_WIDGET;

using TXT_WIDGET_SIGNAL_FUNC = void (*)(TXT_WIDGET* widget, void* user_data);

enum TXT_HORIZ_ALIGN { TXT_HORIZ_LEFT, TXT_HORIZ_CENTER, TXT_HORIZ_RIGHT };
enum TXT_VERT_ALIGN { TXT_VERT_TOP, TXT_VERT_CENTER, TXT_VERT_BOTTOM };

struct TXT_WIDGET_CLASS {
    // Whether the widget can take the focus.
    bool (*selectable)(TXT_WIDGET* w) = nullptr;
    // Sets w and h to the size the widget wants.
    void (*size_calc)(TXT_WIDGET* w) = nullptr;
    // Draws the widget in its rectangle.
    void (*draw)(TXT_WIDGET* w) = nullptr;
    // Offers a key; true when the widget used it.
    bool (*keypress)(TXT_WIDGET* w, int key) = nullptr;
    // Frees the widget (and what it owns).
    void (*destroy)(TXT_WIDGET* w) = nullptr;
    // A mouse button (toolkit code) pressed at cell (x, y) inside the widget. Optional.
    void (*mouse_press)(TXT_WIDGET* w, int x, int y, int code) = nullptr;
    // Places the children of a container in its rectangle. Optional.
    void (*layout)(TXT_WIDGET* w) = nullptr;
    // The widget gained or lost the focus. Optional.
    void (*focus_change)(TXT_WIDGET* w, bool focused) = nullptr;
    // Moves the focus inside a container to its first (or last) selectable child. Optional.
    void (*focus_edge)(TXT_WIDGET* w, bool last) = nullptr;
};

struct TXT_SIGNAL {
    std::string name;
    TXT_WIDGET_SIGNAL_FUNC func;
    void* user_data;
};

struct TXT_WIDGET {
    const TXT_WIDGET_CLASS* widget_class = nullptr;
    std::vector<TXT_SIGNAL> signals;
    TXT_WIDGET* parent = nullptr;
    TXT_HORIZ_ALIGN align = TXT_HORIZ_LEFT;
    // Set while the widget has the focus in the window on top.
    bool focused = false;
    // Position and size in cells, set by the container's layout.
    int x = 0, y = 0, w = 0, h = 0;
    // Shown on the help line while the widget has the focus.
    std::string help;
};

void TXT_InitWidget(TXT_WIDGET* w, const TXT_WIDGET_CLASS* widget_class);
void TXT_SignalConnect(TXT_WIDGET* w, const char* signal, TXT_WIDGET_SIGNAL_FUNC func,
                       void* user_data);
// Calls every callback connected to the signal, in the order they were connected.
void TXT_EmitSignal(TXT_WIDGET* w, const char* signal);

void TXT_CalcWidgetSize(TXT_WIDGET* w);
void TXT_DrawWidget(TXT_WIDGET* w);
bool TXT_WidgetKeyPress(TXT_WIDGET* w, int key);
void TXT_WidgetMousePress(TXT_WIDGET* w, int x, int y, int code);
void TXT_LayoutWidget(TXT_WIDGET* w);
void TXT_SetWidgetFocus(TXT_WIDGET* w, bool focused);
void TXT_FocusWidgetEdge(TXT_WIDGET* w, bool last);
bool TXT_SelectableWidget(TXT_WIDGET* w);
void TXT_DestroyWidget(TXT_WIDGET* w);

void TXT_SetWidgetAlign(TXT_WIDGET* w, TXT_HORIZ_ALIGN align);
void TXT_SetWidgetHelp(TXT_WIDGET* w, const char* help);
// Whether the cell (x, y) lies inside the widget's rectangle.
bool TXT_WidgetContains(const TXT_WIDGET* w, int x, int y);
// Whether the mouse pointer is over the widget.
bool TXT_HoveringOverWidget(const TXT_WIDGET* w);

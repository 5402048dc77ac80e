#include "textui/txt_widget.h"

#include "textui/txt_main.h"

void TXT_InitWidget(TXT_WIDGET* w, const TXT_WIDGET_CLASS* widget_class)
{
    w->widget_class = widget_class;
}

void TXT_SignalConnect(TXT_WIDGET* w, const char* signal, TXT_WIDGET_SIGNAL_FUNC func,
                       void* user_data)
{
    w->signals.push_back({signal, func, user_data});
}

void TXT_EmitSignal(TXT_WIDGET* w, const char* signal)
{
    // A callback may connect further callbacks to the widget, so walk by index over the
    // ones present when the signal went off.
    size_t n = w->signals.size();
    for (size_t i = 0; i < n && i < w->signals.size(); i++) {
        if (w->signals[i].name == signal) {
            TXT_SIGNAL s = w->signals[i];
            s.func(w, s.user_data);
        }
    }
}

void TXT_CalcWidgetSize(TXT_WIDGET* w)
{
    w->widget_class->size_calc(w);
}

void TXT_DrawWidget(TXT_WIDGET* w)
{
    w->widget_class->draw(w);
}

bool TXT_WidgetKeyPress(TXT_WIDGET* w, int key)
{
    return w->widget_class->keypress ? w->widget_class->keypress(w, key) : false;
}

void TXT_WidgetMousePress(TXT_WIDGET* w, int x, int y, int code)
{
    if (w->widget_class->mouse_press) w->widget_class->mouse_press(w, x, y, code);
}

void TXT_LayoutWidget(TXT_WIDGET* w)
{
    if (w->widget_class->layout) w->widget_class->layout(w);
}

void TXT_SetWidgetFocus(TXT_WIDGET* w, bool focused)
{
    if (!w) return;
    if (w->focused == focused) return;
    w->focused = focused;
    if (w->widget_class->focus_change) w->widget_class->focus_change(w, focused);
}

void TXT_FocusWidgetEdge(TXT_WIDGET* w, bool last)
{
    if (w->widget_class->focus_edge) w->widget_class->focus_edge(w, last);
}

bool TXT_SelectableWidget(TXT_WIDGET* w)
{
    return w->widget_class->selectable ? w->widget_class->selectable(w) : false;
}

void TXT_DestroyWidget(TXT_WIDGET* w)
{
    if (w) w->widget_class->destroy(w);
}

void TXT_SetWidgetAlign(TXT_WIDGET* w, TXT_HORIZ_ALIGN align)
{
    w->align = align;
}

void TXT_SetWidgetHelp(TXT_WIDGET* w, const char* help)
{
    w->help = help ? help : "";
}

bool TXT_WidgetContains(const TXT_WIDGET* w, int x, int y)
{
    return x >= w->x && x < w->x + w->w && y >= w->y && y < w->y + w->h;
}

bool TXT_HoveringOverWidget(const TXT_WIDGET* w)
{
    int x, y;
    TXT_GetMousePosition(&x, &y);
    return TXT_WidgetContains(w, x, y);
}

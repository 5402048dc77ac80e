#include "textui/txt_controls.h"

#include <algorithm>

#include "textui/txt_gui.h"
#include "textui/txt_main.h"

static bool NotSelectable(TXT_WIDGET*)
{
    return false;
}

static bool Selectable(TXT_WIDGET*)
{
    return true;
}

// ---- labels

static void LabelSizeCalc(TXT_WIDGET* w)
{
    const std::string& text = static_cast<TXT_LABEL*>(w)->text;
    int width = 0, lines = 1, cur = 0;
    for (char c : text) {
        if (c == '\n') {
            lines++;
            cur = 0;
        } else {
            width = std::max(width, ++cur);
        }
    }
    w->w = width;
    w->h = lines;
}

static void LabelDraw(TXT_WIDGET* w)
{
    auto* label = static_cast<TXT_LABEL*>(w);
    uint8_t attr = TXT_ATTR_TEXT;
    if (label->fg >= 0) attr = static_cast<uint8_t>((attr & 0xf0) | label->fg);
    if (label->bg >= 0) attr = static_cast<uint8_t>((attr & 0x0f) | label->bg << 4);
    TXT_SetAttr(attr);
    int line = 0;
    size_t start = 0;
    while (line < w->h) {
        size_t end = label->text.find('\n', start);
        std::string part = label->text.substr(start, end == std::string::npos ? end : end - start);
        TXT_GotoXY(w->x, w->y + line);
        TXT_PutsPadded(part.c_str(), w->w);
        line++;
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

static void LabelDestroy(TXT_WIDGET* w)
{
    delete static_cast<TXT_LABEL*>(w);
}

static const TXT_WIDGET_CLASS txt_label_class = {
    .selectable = NotSelectable,
    .size_calc = LabelSizeCalc,
    .draw = LabelDraw,
    .destroy = LabelDestroy,
};

TXT_LABEL* TXT_NewLabel(const char* text)
{
    auto* label = new TXT_LABEL;
    TXT_InitWidget(label, &txt_label_class);
    label->text = text;
    return label;
}

void TXT_SetLabel(TXT_LABEL* label, const char* text)
{
    label->text = text;
}

void TXT_SetLabelColors(TXT_LABEL* label, int fg, int bg)
{
    label->fg = fg;
    label->bg = bg;
}

// ---- separators and struts

namespace
{
struct TXT_SEPARATOR : TXT_WIDGET {
    std::string label;
};
} // namespace

static void SeparatorSizeCalc(TXT_WIDGET* w)
{
    // Wide enough for its title; the table stretches it across the cell.
    w->w = static_cast<int>(static_cast<TXT_SEPARATOR*>(w)->label.size()) + 4;
    w->h = 1;
}

static void SeparatorDraw(TXT_WIDGET* w)
{
    TXT_DrawSeparator(w->x, w->y, w->w, static_cast<TXT_SEPARATOR*>(w)->label.c_str());
}

static void SeparatorDestroy(TXT_WIDGET* w)
{
    delete static_cast<TXT_SEPARATOR*>(w);
}

static const TXT_WIDGET_CLASS txt_separator_class = {
    .selectable = NotSelectable,
    .size_calc = SeparatorSizeCalc,
    .draw = SeparatorDraw,
    .destroy = SeparatorDestroy,
};

TXT_WIDGET* TXT_NewSeparator(const char* label)
{
    auto* s = new TXT_SEPARATOR;
    TXT_InitWidget(s, &txt_separator_class);
    s->label = label ? label : "";
    return s;
}

namespace
{
struct TXT_STRUT : TXT_WIDGET {
    int want_w, want_h;
};
} // namespace

static void StrutSizeCalc(TXT_WIDGET* w)
{
    auto* s = static_cast<TXT_STRUT*>(w);
    w->w = s->want_w;
    w->h = s->want_h;
}

static void StrutDraw(TXT_WIDGET*) {}

static void StrutDestroy(TXT_WIDGET* w)
{
    delete static_cast<TXT_STRUT*>(w);
}

static const TXT_WIDGET_CLASS txt_strut_class = {
    .selectable = NotSelectable,
    .size_calc = StrutSizeCalc,
    .draw = StrutDraw,
    .destroy = StrutDestroy,
};

TXT_WIDGET* TXT_NewStrut(int w, int h)
{
    auto* s = new TXT_STRUT;
    TXT_InitWidget(s, &txt_strut_class);
    s->want_w = w;
    s->want_h = h;
    return s;
}

// ---- buttons

static void ButtonSizeCalc(TXT_WIDGET* w)
{
    w->w = static_cast<int>(static_cast<TXT_BUTTON*>(w)->label.size());
    w->h = 1;
}

static void ButtonDraw(TXT_WIDGET* w)
{
    TXT_SetAttr(w->focused ? TXT_ATTR_FOCUS : TXT_ATTR_WINDOW);
    TXT_GotoXY(w->x, w->y);
    TXT_PutsPadded(static_cast<TXT_BUTTON*>(w)->label.c_str(), w->w);
}

static bool ButtonKeyPress(TXT_WIDGET* w, int key)
{
    if (key != KEY_ENTER && key != ' ') return false;
    TXT_EmitSignal(w, "pressed");
    return true;
}

static void ButtonMousePress(TXT_WIDGET* w, int, int, int code)
{
    if (code == TXT_MOUSE_LEFT) TXT_EmitSignal(w, "pressed");
}

static void ButtonDestroy(TXT_WIDGET* w)
{
    delete static_cast<TXT_BUTTON*>(w);
}

static const TXT_WIDGET_CLASS txt_button_class = {
    .selectable = Selectable,
    .size_calc = ButtonSizeCalc,
    .draw = ButtonDraw,
    .keypress = ButtonKeyPress,
    .destroy = ButtonDestroy,
    .mouse_press = ButtonMousePress,
};

TXT_BUTTON* TXT_NewButton(const char* label)
{
    auto* b = new TXT_BUTTON;
    TXT_InitWidget(b, &txt_button_class);
    b->label = label;
    return b;
}

TXT_BUTTON* TXT_NewButton2(const char* label, TXT_WIDGET_SIGNAL_FUNC func, void* user_data)
{
    TXT_BUTTON* b = TXT_NewButton(label);
    TXT_SignalConnect(b, "pressed", func, user_data);
    return b;
}

// ---- check boxes

static void CheckBoxSizeCalc(TXT_WIDGET* w)
{
    w->w = static_cast<int>(static_cast<TXT_CHECKBOX*>(w)->label.size()) + 4;
    w->h = 1;
}

static void CheckBoxDraw(TXT_WIDGET* w)
{
    auto* cb = static_cast<TXT_CHECKBOX*>(w);
    TXT_GotoXY(w->x, w->y);
    TXT_SetAttr(TXT_ATTR_TEXT);
    TXT_PutChar('[');
    TXT_SetAttr(TXT_ATTR_FIELD);
    TXT_PutChar(*cb->var ? 'X' : ' ');
    TXT_SetAttr(TXT_ATTR_TEXT);
    TXT_Puts("] ");
    TXT_SetAttr(w->focused ? TXT_ATTR_FOCUS : TXT_ATTR_WINDOW);
    TXT_PutsPadded(cb->label.c_str(), w->w - 4);
}

static void CheckBoxToggle(TXT_CHECKBOX* cb)
{
    *cb->var = !*cb->var;
    TXT_EmitSignal(cb, "changed");
}

static bool CheckBoxKeyPress(TXT_WIDGET* w, int key)
{
    if (key != KEY_ENTER && key != ' ') return false;
    CheckBoxToggle(static_cast<TXT_CHECKBOX*>(w));
    return true;
}

static void CheckBoxMousePress(TXT_WIDGET* w, int, int, int code)
{
    if (code == TXT_MOUSE_LEFT) CheckBoxToggle(static_cast<TXT_CHECKBOX*>(w));
}

static void CheckBoxDestroy(TXT_WIDGET* w)
{
    delete static_cast<TXT_CHECKBOX*>(w);
}

static const TXT_WIDGET_CLASS txt_checkbox_class = {
    .selectable = Selectable,
    .size_calc = CheckBoxSizeCalc,
    .draw = CheckBoxDraw,
    .keypress = CheckBoxKeyPress,
    .destroy = CheckBoxDestroy,
    .mouse_press = CheckBoxMousePress,
};

TXT_CHECKBOX* TXT_NewCheckBox(const char* label, int* var)
{
    auto* cb = new TXT_CHECKBOX;
    TXT_InitWidget(cb, &txt_checkbox_class);
    cb->label = label;
    cb->var = var;
    return cb;
}

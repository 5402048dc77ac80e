#include "textui/txt_inputbox.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "game/m_misc.h"
#include "textui/txt_gui.h"
#include "textui/txt_main.h"

static constexpr uint8_t kFieldAttr = TXT_Attr(TXT_COLOR_BRIGHT_WHITE, TXT_COLOR_BLACK);
static constexpr uint8_t kCursorAttr = TXT_Attr(TXT_COLOR_BRIGHT_WHITE, TXT_COLOR_BLACK);

static std::string CurrentText(const TXT_INPUTBOX* box)
{
    if (box->int_var) return std::to_string(*box->int_var);
    return std::string(box->str_var, strnlen(box->str_var, box->str_size));
}

static void StartEditing(TXT_INPUTBOX* box)
{
    box->editing = true;
    box->buffer = CurrentText(box);
    if (static_cast<int>(box->buffer.size()) > box->max_len) box->buffer.resize(box->max_len);
    box->cursor = box->buffer.size();
    box->replace = box->int_var != nullptr;
    TXT_SetTextInput(true);
}

static void StopEditing(TXT_INPUTBOX* box, bool keep)
{
    if (!box->editing) return;
    box->editing = false;
    TXT_SetTextInput(false);
    if (!keep) return;
    if (box->int_var) {
        // An emptied number box keeps its old value.
        if (box->buffer.empty()) return;
        *box->int_var = static_cast<int>(strtol(box->buffer.c_str(), nullptr, 10));
    } else {
        M_StringCopy(box->str_var, box->buffer.c_str(), box->str_size);
    }
    TXT_EmitSignal(box, "changed");
}

static bool Accepts(const TXT_INPUTBOX* box, int c)
{
    if (box->int_var) return c >= '0' && c <= '9';
    return c >= ' ' && c < 0x7f;
}

static void InputBoxSizeCalc(TXT_WIDGET* w)
{
    w->w = static_cast<TXT_INPUTBOX*>(w)->width;
    w->h = 1;
}

static void InputBoxDraw(TXT_WIDGET* w)
{
    auto* box = static_cast<TXT_INPUTBOX*>(w);
    int width = box->width;
    TXT_GotoXY(w->x, w->y);
    if (!box->editing) {
        std::string text = CurrentText(box);
        TXT_SetAttr(w->focused ? TXT_ATTR_FOCUS : kFieldAttr);
        TXT_PutsPadded(text.c_str(), width);
        return;
    }
    // Scroll so that the cursor (which may sit just past the text) stays in view.
    size_t first = 0;
    if (static_cast<int>(box->cursor) >= width) first = box->cursor - width + 1;
    for (int i = 0; i < width; i++) {
        size_t at = first + i;
        uint8_t c = at < box->buffer.size() ? static_cast<uint8_t>(box->buffer[at]) : ' ';
        TXT_PutCell(w->x + i, w->y, c, at == box->cursor ? kCursorAttr : TXT_ATTR_EDITING);
    }
}

static bool EditKey(TXT_INPUTBOX* box, int key)
{
    bool replace = box->replace;
    box->replace = false;
    switch (key) {
    case KEY_ENTER:
        StopEditing(box, true);
        return true;
    case KEY_ESCAPE:
        StopEditing(box, false);
        return true;
    case KEY_TAB:
    case KEY_UPARROW:
    case KEY_DOWNARROW:
        // Moving on keeps the edit and lets the table move the focus.
        StopEditing(box, true);
        return false;
    case KEY_BACKSPACE:
        if (box->cursor > 0) box->buffer.erase(--box->cursor, 1);
        return true;
    case KEY_DEL:
        if (box->cursor < box->buffer.size()) box->buffer.erase(box->cursor, 1);
        return true;
    case KEY_LEFTARROW:
        if (box->cursor > 0) box->cursor--;
        return true;
    case KEY_RIGHTARROW:
        if (box->cursor < box->buffer.size()) box->cursor++;
        return true;
    case KEY_HOME:
        box->cursor = 0;
        return true;
    case KEY_END:
        box->cursor = box->buffer.size();
        return true;
    default:
        if (Accepts(box, key)) {
            if (replace) {
                box->buffer.clear();
                box->cursor = 0;
            }
            if (static_cast<int>(box->buffer.size()) < box->max_len)
                box->buffer.insert(box->cursor++, 1, static_cast<char>(key));
            return true;
        }
        // Any other key is swallowed while editing so it cannot act behind the box.
        return !TXT_IsMouseCode(key);
    }
}

static bool InputBoxKeyPress(TXT_WIDGET* w, int key)
{
    auto* box = static_cast<TXT_INPUTBOX*>(w);
    if (box->editing) return EditKey(box, key);
    if (key == KEY_ENTER) {
        StartEditing(box);
        return true;
    }
    // Typing starts editing: over a number it replaces it; text goes in at the end.
    if (Accepts(box, key) && key != ' ') {
        StartEditing(box);
        return EditKey(box, key);
    }
    return false;
}

static void InputBoxMousePress(TXT_WIDGET* w, int x, int, int code)
{
    auto* box = static_cast<TXT_INPUTBOX*>(w);
    if (code != TXT_MOUSE_LEFT) return;
    if (!box->editing) StartEditing(box);
    if (box->int_var) return; // a number is typed over, wherever the click was
    // A click inside the text puts the cursor there.
    size_t first = 0;
    if (static_cast<int>(box->cursor) >= box->width) first = box->cursor - box->width + 1;
    box->cursor = std::min(box->buffer.size(), first + static_cast<size_t>(std::max(0, x - w->x)));
}

static void InputBoxFocused(TXT_WIDGET* w, bool focused)
{
    if (!focused) StopEditing(static_cast<TXT_INPUTBOX*>(w), true);
}

static bool InputBoxSelectable(TXT_WIDGET*)
{
    return true;
}

static void InputBoxDestroy(TXT_WIDGET* w)
{
    auto* box = static_cast<TXT_INPUTBOX*>(w);
    if (box->editing) TXT_SetTextInput(false);
    delete box;
}

static const TXT_WIDGET_CLASS txt_inputbox_class = {
    .selectable = InputBoxSelectable,
    .size_calc = InputBoxSizeCalc,
    .draw = InputBoxDraw,
    .keypress = InputBoxKeyPress,
    .destroy = InputBoxDestroy,
    .mouse_press = InputBoxMousePress,
    .focus_change = InputBoxFocused,
};

TXT_INPUTBOX* TXT_NewInputBox(char* buf, size_t bufsize, int width)
{
    auto* box = new TXT_INPUTBOX;
    TXT_InitWidget(box, &txt_inputbox_class);
    box->str_var = buf;
    box->str_size = bufsize;
    box->width = std::max(1, width);
    box->max_len = bufsize > 0 ? static_cast<int>(bufsize - 1) : 0;
    return box;
}

TXT_INPUTBOX* TXT_NewIntInputBox(int* var, int digits)
{
    auto* box = new TXT_INPUTBOX;
    TXT_InitWidget(box, &txt_inputbox_class);
    box->int_var = var;
    box->max_len = std::clamp(digits, 1, 9);
    box->width = box->max_len + 1; // room for the cursor after the last digit
    return box;
}

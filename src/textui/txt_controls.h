// The simple widgets: labels, separators, struts, buttons and check boxes.
#pragma once

#include "textui/txt_widget.h"

// Text that cannot take the focus; '\n' starts a new line.
struct TXT_LABEL : TXT_WIDGET {
    std::string text;
    int fg = -1, bg = -1; // -1: the window's colours
};

TXT_LABEL* TXT_NewLabel(const char* text);
void TXT_SetLabel(TXT_LABEL* label, const char* text);
void TXT_SetLabelColors(TXT_LABEL* label, int fg, int bg);

// A rule across its cell, with an optional title ("Video", "Audio"...).
TXT_WIDGET* TXT_NewSeparator(const char* label);
// Empty room of the given size.
TXT_WIDGET* TXT_NewStrut(int w, int h);

// A button: Enter, Space or a left click emits "pressed".
struct TXT_BUTTON : TXT_WIDGET {
    std::string label;
};

TXT_BUTTON* TXT_NewButton(const char* label);
// A button with its "pressed" callback already connected.
TXT_BUTTON* TXT_NewButton2(const char* label, TXT_WIDGET_SIGNAL_FUNC func, void* user_data);

// A check box bound to an integer (0 off, 1 on): Enter, Space or a click toggles it and
// emits "changed".
struct TXT_CHECKBOX : TXT_WIDGET {
    std::string label;
    int* var = nullptr;
};

TXT_CHECKBOX* TXT_NewCheckBox(const char* label, int* var);

// Input boxes: a field showing a string or an integer, edited in place. Enter (or a click,
// or simply typing) starts editing; Enter keeps the new text, Escape drops it. Moving on
// with Tab or the arrow keys keeps it too. "changed" is emitted after each kept edit.
// A number is replaced by the first digit typed, unless the cursor was moved first.
#pragma once

#include <cstddef>

#include "textui/txt_widget.h"

struct TXT_INPUTBOX : TXT_WIDGET {
    int* int_var = nullptr;
    char* str_var = nullptr;
    size_t str_size = 0;
    int width = 0;   // cells shown
    int max_len = 0; // characters that can be entered
    bool editing = false;
    // Set when editing a number starts: the first digit typed replaces the whole number.
    bool replace = false;
    std::string buffer;
    size_t cursor = 0;
};

// A string box over buf (bufsize bytes, so at most bufsize - 1 characters), width cells wide.
TXT_INPUTBOX* TXT_NewInputBox(char* buf, size_t bufsize, int width);
// An integer box of at most digits digits (non-negative values).
TXT_INPUTBOX* TXT_NewIntInputBox(int* var, int digits);

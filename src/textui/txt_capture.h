// Capture widgets: show a key, a mouse button or a controller button bound to an integer.
// Enter or a click opens a prompt that takes the next key or button pressed as the new
// value (Escape cancels) and emits "changed".
#pragma once

#include <cstddef>

#include "textui/txt_widget.h"

enum TXT_CAPTURE_KIND { TXT_CAPTURE_KEY, TXT_CAPTURE_MOUSE, TXT_CAPTURE_JOY };

struct TXT_WINDOW;

struct TXT_CAPTURE : TXT_WIDGET {
    TXT_CAPTURE_KIND kind = TXT_CAPTURE_KEY;
    int* var = nullptr;
    // Which values the prompt takes; null takes every named key or any button.
    bool (*accept)(int value) = nullptr;
    TXT_WINDOW* prompt = nullptr;
};

// A key (toolkit key code).
TXT_CAPTURE* TXT_NewKeyInput(int* var);
// A mouse button: 0 left, 1 right, 2 middle, then further buttons.
TXT_CAPTURE* TXT_NewMouseInput(int* var);
// A game controller button, in the controller's own numbering (0 is the first button).
// With no controller attached the prompt is refused with a message.
TXT_CAPTURE* TXT_NewJoystickInput(int* var);
void TXT_SetCaptureFilter(TXT_CAPTURE* capture, bool (*accept)(int value));
// Opens the prompt, as Enter on the widget does.
void TXT_OpenCapturePrompt(TXT_CAPTURE* capture);

// "LEFT BUTTON", "RIGHT BUTTON", "MID BUTTON", "BUTTON 4"...
const char* TXT_MouseButtonName(int button, char* buf, size_t len);
// "BUTTON 1" for the controller's first button (number 0), and so on.
const char* TXT_JoystickButtonName(int button, char* buf, size_t len);

extern const char txt_no_controller_message[];

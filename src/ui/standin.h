// Drawing shared by the stand-in screens (menu, boxes, loading screen) until the windows
// from the archives take their place: panels, text in the game's fonts, waiting for a
// press with the pointer shown.
#pragma once

#include <cstdint>

enum { UI_SMALL, UI_MEDIUM, UI_LARGE };

// The font, checked once; null when the archives hold no usable one (text is then left out).
const uint8_t* UI_Font(int which);
int UI_TextWidth(int font, const char* text);
void UI_Print(int font, int x, int y, const char* text, int colour);
void UI_PrintCentred(int font, int cx, int y, const char* text, int colour);
// A raised panel with a dark fill.
void UI_Panel(int x, int y, int w, int h);
// A message box in the middle of the screen, drawn and shown.
void UI_Box(const char* title, const char* line);
// Shows what was drawn (pointer included) and handles window resizes.
void UI_Show(void);
// Takes the last key pressed (0 for none).
int UI_TakeKey(void);
// Takes a left click: true with the pointer position.
bool UI_TakeClick(int* x, int* y);

// Drawing on the text-mode screen: a cursor with a current colour, clipping, and the
// shapes the widgets are made of (window frames, shadows, separators, the desktop).
#pragma once

#include <cstdint>

#include "textui/txt_main.h"

// Box-drawing and block characters of code page 437.
namespace TXT_CP437
{
constexpr uint8_t kHLine = 0xc4, kVLine = 0xb3;
constexpr uint8_t kTopLeft = 0xda, kTopRight = 0xbf, kBottomLeft = 0xc0, kBottomRight = 0xd9;
constexpr uint8_t kTeeLeft = 0xc3, kTeeRight = 0xb4;
constexpr uint8_t kDHLine = 0xcd, kDVLine = 0xba;
constexpr uint8_t kDTopLeft = 0xc9, kDTopRight = 0xbb, kDBottomLeft = 0xc8, kDBottomRight = 0xbc;
constexpr uint8_t kDTeeLeft = 0xc7, kDTeeRight = 0xb6; // double vertical meets a single rule
constexpr uint8_t kLightShade = 0xb0, kMediumShade = 0xb1, kDarkShade = 0xb2;
constexpr uint8_t kFullBlock = 0xdb, kLowerHalf = 0xdc, kUpperHalf = 0xdf;
constexpr uint8_t kArrowLeft = 0x1b, kArrowRight = 0x1a, kPointerRight = 0x10;
} // namespace TXT_CP437

void TXT_GotoXY(int x, int y);
void TXT_GetXY(int* x, int* y);
void TXT_FGColor(int color);
void TXT_BGColor(int color);
uint8_t TXT_GetAttr(void);
void TXT_SetAttr(uint8_t attr);
// Puts one character at the cursor and moves it on; cells outside the clip area are kept.
void TXT_PutChar(uint8_t c);
void TXT_Puts(const char* s);
// Puts s, then blanks up to a total width of w cells (s is cut at w).
void TXT_PutsPadded(const char* s, int w);
void TXT_PutCell(int x, int y, uint8_t c, uint8_t attr);
void TXT_ClearScreen(uint8_t attr);

// Limits drawing to a rectangle (inclusive corners) inside the current one.
void TXT_PushClipArea(int x1, int y1, int x2, int y2);
void TXT_PopClipArea(void);

// The desktop: a patterned background, a title bar on the top row and the help line on
// the bottom one.
void TXT_DrawDesktopBackground(const char* title, const char* helpline);
// A window frame of w by h cells with the title centred in its top edge, the inside
// filled with the window colour, and a shadow to the right and below.
void TXT_DrawWindowFrame(const char* title, int x, int y, int w, int h);
// A horizontal rule of w cells with an optional label near its left end.
void TXT_DrawSeparator(int x, int y, int w, const char* label);
// A rule across a whole window of width w at row y, joining the frame on both sides.
void TXT_DrawWindowRule(int x, int y, int w);

// The toolkit's colour scheme.
constexpr uint8_t TXT_ATTR_DESKTOP = TXT_Attr(TXT_COLOR_GREY, TXT_COLOR_BLUE);
constexpr uint8_t TXT_ATTR_TITLEBAR = TXT_Attr(TXT_COLOR_BLACK, TXT_COLOR_GREY);
constexpr uint8_t TXT_ATTR_HELPLINE = TXT_Attr(TXT_COLOR_BLACK, TXT_COLOR_CYAN);
constexpr uint8_t TXT_ATTR_WINDOW = TXT_Attr(TXT_COLOR_BRIGHT_WHITE, TXT_COLOR_BLUE);
constexpr uint8_t TXT_ATTR_FRAME = TXT_Attr(TXT_COLOR_BRIGHT_CYAN, TXT_COLOR_BLUE);
constexpr uint8_t TXT_ATTR_WINDOW_TITLE = TXT_Attr(TXT_COLOR_YELLOW, TXT_COLOR_BLUE);
constexpr uint8_t TXT_ATTR_TEXT = TXT_Attr(TXT_COLOR_GREY, TXT_COLOR_BLUE);
constexpr uint8_t TXT_ATTR_FOCUS = TXT_Attr(TXT_COLOR_BLACK, TXT_COLOR_CYAN);
constexpr uint8_t TXT_ATTR_FIELD = TXT_Attr(TXT_COLOR_YELLOW, TXT_COLOR_BLUE);
constexpr uint8_t TXT_ATTR_EDITING = TXT_Attr(TXT_COLOR_BLACK, TXT_COLOR_GREY);
constexpr uint8_t TXT_ATTR_SEPARATOR = TXT_Attr(TXT_COLOR_BRIGHT_CYAN, TXT_COLOR_BLUE);
constexpr uint8_t TXT_ATTR_ACTION_KEY = TXT_Attr(TXT_COLOR_BRIGHT_WHITE, TXT_COLOR_BLUE);
constexpr uint8_t TXT_ATTR_ACTION = TXT_Attr(TXT_COLOR_GREY, TXT_COLOR_BLUE);
constexpr uint8_t TXT_ATTR_SHADOW = TXT_Attr(TXT_COLOR_DARK_GREY, TXT_COLOR_BLACK);

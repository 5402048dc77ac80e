// The text-mode screen: an 80x25 grid of character cells (code page 437 character plus a
// colour attribute) shown in an SDL window of its own, and the keyboard, mouse and
// controller input read from that window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

constexpr int TXT_SCREEN_W = 80;
constexpr int TXT_SCREEN_H = 25;
constexpr int TXT_SCREEN_BYTES = TXT_SCREEN_W * TXT_SCREEN_H * 2;

// The rendered picture, before it is scaled to the window.
constexpr int TXT_PIXELS_W = TXT_SCREEN_W * 8;
constexpr int TXT_PIXELS_H = TXT_SCREEN_H * 16;

// The 16 text-mode colours. An attribute byte holds the foreground in its low four bits
// and the background in its high four; bit 7 gives a bright background (never blinking).
enum TXT_COLOR {
    TXT_COLOR_BLACK,
    TXT_COLOR_BLUE,
    TXT_COLOR_GREEN,
    TXT_COLOR_CYAN,
    TXT_COLOR_RED,
    TXT_COLOR_MAGENTA,
    TXT_COLOR_BROWN,
    TXT_COLOR_GREY,
    TXT_COLOR_DARK_GREY,
    TXT_COLOR_BRIGHT_BLUE,
    TXT_COLOR_BRIGHT_GREEN,
    TXT_COLOR_BRIGHT_CYAN,
    TXT_COLOR_BRIGHT_RED,
    TXT_COLOR_BRIGHT_MAGENTA,
    TXT_COLOR_YELLOW,
    TXT_COLOR_BRIGHT_WHITE,
};

constexpr uint8_t TXT_Attr(int fg, int bg)
{
    return static_cast<uint8_t>((fg & 15) | (bg & 15) << 4);
}

// Key codes. Printable keys give their (unshifted) character; the other keys give 0x80
// plus their PC keyboard scan code, except the four arrows, which have codes of their own.
constexpr int KEY_TAB = 9;
constexpr int KEY_ENTER = 13;
constexpr int KEY_ESCAPE = 27;
constexpr int KEY_BACKSPACE = 0x7f;
constexpr int KEY_LEFTARROW = 0xac;
constexpr int KEY_UPARROW = 0xad;
constexpr int KEY_RIGHTARROW = 0xae;
constexpr int KEY_DOWNARROW = 0xaf;
constexpr int KEY_RCTRL = 0x80 + 0x1d;
constexpr int KEY_LSHIFT = 0x80 + 0x2a;
constexpr int KEY_RSHIFT = 0x80 + 0x36;
constexpr int KEY_KPMULTIPLY = 0x80 + 0x37;
constexpr int KEY_RALT = 0x80 + 0x38;
constexpr int KEY_CAPSLOCK = 0x80 + 0x3a;
constexpr int KEY_F1 = 0x80 + 0x3b;
constexpr int KEY_F2 = 0x80 + 0x3c;
constexpr int KEY_F3 = 0x80 + 0x3d;
constexpr int KEY_F4 = 0x80 + 0x3e;
constexpr int KEY_F5 = 0x80 + 0x3f;
constexpr int KEY_F6 = 0x80 + 0x40;
constexpr int KEY_F7 = 0x80 + 0x41;
constexpr int KEY_F8 = 0x80 + 0x42;
constexpr int KEY_F9 = 0x80 + 0x43;
constexpr int KEY_F10 = 0x80 + 0x44;
constexpr int KEY_NUMLOCK = 0x80 + 0x45;
constexpr int KEY_SCRLCK = 0x80 + 0x46;
constexpr int KEY_HOME = 0x80 + 0x47;
constexpr int KEY_PGUP = 0x80 + 0x49;
constexpr int KEY_KPMINUS = 0x80 + 0x4a;
constexpr int KEY_KP5 = 0x80 + 0x4c;
constexpr int KEY_KPPLUS = 0x80 + 0x4e;
constexpr int KEY_END = 0x80 + 0x4f;
constexpr int KEY_PGDN = 0x80 + 0x51;
constexpr int KEY_INS = 0x80 + 0x52;
constexpr int KEY_DEL = 0x80 + 0x53;
constexpr int KEY_F11 = 0x80 + 0x57;
constexpr int KEY_F12 = 0x80 + 0x58;
constexpr int KEY_KPDIVIDE = 0xfd;
constexpr int KEY_PRTSCR = 0xfe;
constexpr int KEY_PAUSE = 0xff;

// Mouse events: TXT_MOUSE_BASE plus the button number (0 left, 1 right, 2 middle, then
// any further buttons), and the two wheel directions.
constexpr int TXT_MOUSE_BASE = 0x10000;
constexpr int TXT_MOUSE_LEFT = TXT_MOUSE_BASE + 0;
constexpr int TXT_MOUSE_RIGHT = TXT_MOUSE_BASE + 1;
constexpr int TXT_MOUSE_MIDDLE = TXT_MOUSE_BASE + 2;
constexpr int TXT_MOUSE_SCROLLUP = TXT_MOUSE_BASE + 16;
constexpr int TXT_MOUSE_SCROLLDOWN = TXT_MOUSE_BASE + 17;
// Game controller buttons: TXT_JOY_BASE plus the controller's button number.
constexpr int TXT_JOY_BASE = 0x20000;
// The window was closed by the user.
constexpr int TXT_QUIT = 0x30000;

constexpr bool TXT_IsMouseCode(int c)
{
    return c >= TXT_MOUSE_BASE && c < TXT_JOY_BASE;
}
constexpr bool TXT_IsJoyCode(int c)
{
    return c >= TXT_JOY_BASE && c < TXT_QUIT;
}

// Opens the window (on the whole screen when fullscreen is non-zero). 0 on failure.
int TXT_Init(int fullscreen);
// Closes the window and everything behind it; safe to call when not open.
void TXT_Shutdown(void);
bool TXT_IsOpen(void);

// The cell grid: TXT_SCREEN_BYTES bytes of character and attribute pairs, row by row.
uint8_t* TXT_GetScreenData(void);
// Renders the cell grid and shows it.
void TXT_UpdateScreen(void);
// The last rendered picture, TXT_PIXELS_W by TXT_PIXELS_H pixels of 0xAARRGGBB.
std::span<const uint32_t> TXT_GetPixels(void);

// The next key, mouse or controller event, or -1 when none is waiting.
int TXT_GetChar(void);
// Drops every event waiting: input given before a screen was shown is not meant for it.
void TXT_FlushInput(void);
// Waits until an event arrives or timeout_ms (0: no limit) passes.
void TXT_Sleep(int timeout_ms);
// While on, typed characters arrive instead of printable key codes (for text entry).
void TXT_SetTextInput(bool on);
// Whether a Shift key is held.
bool TXT_ShiftHeld(void);
// The mouse position in cells; (-1, -1) before the mouse has entered the window.
void TXT_GetMousePosition(int* x, int* y);
// The window position (in window coordinates) of the centre of a cell: where to put the
// pointer to point at it.
void TXT_CellToWindow(int x, int y, int* wx, int* wy);
// The number of game controllers attached.
int TXT_ControllerCount(void);

// Names a key code ("UP", "F10", "A"); "?" for codes without a name. Returns buf.
const char* TXT_GetKeyDescription(int key, char* buf, size_t len);
// Whether a key code has a name, i.e. is a key a player can press and bind.
bool TXT_IsNamedKey(int key);

void TXT_SetColor(TXT_COLOR color, int r, int g, int b);
void TXT_SetWindowTitle(const char* title);
void TXT_SetFullscreen(bool on);
bool TXT_IsFullscreen(void);

// Called whenever the toolkit is about to wait for input with nothing queued. Scripted
// runs (tests, screenshots) use it to feed the next event; null removes it.
void TXT_SetIdleHook(void (*hook)(void));

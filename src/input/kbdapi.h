// Keyboard state by PC scan code (set 1): which keys are held, the last key pressed and
// its character on a US layout.
#pragma once

#include <array>
#include <cstdint>

union SDL_Event;

// Scan codes the game itself refers to.
constexpr int SC_ESCAPE = 1;
constexpr int SC_BACKSPACE = 14;
constexpr int SC_ENTER = 28;
constexpr int SC_CTRL = 29;
constexpr int SC_LSHIFT = 42;
constexpr int SC_RSHIFT = 54;
constexpr int SC_ALT = 56;
constexpr int SC_SPACE = 57;
constexpr int SC_CAPSLOCK = 58;
constexpr int SC_F1 = 59;
constexpr int SC_UP = 72;
constexpr int SC_LEFT = 75;
constexpr int SC_RIGHT = 77;
constexpr int SC_DOWN = 80;
constexpr int SC_DELETE = 83;

// Platform scancodes below this go through ScanCodeMap; above it only the modifiers count.
constexpr int KBD_MAPPED = 100;

extern int keyboard[256]; // 1 while the key is held
extern int lastscan;      // last key pressed, 0 once taken
extern int lastascii;     // its character, 0 for none
extern int capslock;      // 1 while Caps Lock is held (it acts as a held Shift)
extern int kbd_ack;       // 1 from a key press until the next release

// Platform scancode -> scan code (0 = ignored).
extern const std::array<uint8_t, KBD_MAPPED> ScanCodeMap;
// Characters by scan code: 0..127 unshifted, 128..255 shifted.
extern const std::array<uint8_t, 256> ASCIINames;

void KBD_Install(void);
void KBD_Clear(void);
// 0 when the key is up; when it is held, waits for its release and reports the press once.
int KBD_IsKey(int scan);
// Waits while the key is held.
void KBD_Wait(int scan);

// Called by the event pump for every key-down and key-up event.
void I_HandleKeyboardEvent(const SDL_Event* ev);

// The setup's controller menus: the controller type, and the keyboard, mouse and game
// controller layouts; and the table between scan codes and the toolkit's key codes.
#pragma once

#include <array>

// Scan code (PC keyboard, set 1, as the game reads keys) to toolkit key code; 0 where no
// key the player can bind has that scan code.
extern const std::array<int, 128> scantokey;

// The toolkit key code of a scan code (0 when none), and the reverse (0 when none).
int SE_ScanToKey(int scan);
int SE_KeyToScan(int key);

// "Select Controller Type".
void SE_ControllerTypeMenu(void);
// "Controller Configuration": the keyboard, mouse and controller layouts.
void SE_ControllerConfigMenu(void);
void SE_KeyboardWindow(void);
void SE_MouseWindow(void);
void SE_JoystickWindow(void);

extern const char se_mouse_error[];
extern const char se_joy_error[];

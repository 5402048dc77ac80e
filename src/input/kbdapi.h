// Keyboard state by PC scan code (set 1).
#pragma once

union SDL_Event;

extern int keyboard[256];
extern int lastscan;
extern int lastascii;

void KBD_Install(void);
void KBD_Clear(void);

// Called by the event pump for every key-down and key-up event.
void I_HandleKeyboardEvent(const SDL_Event* ev);

// Keyboard state by PC scan code (set 1).
#pragma once

extern int keyboard[256];
extern int lastscan;
extern int lastascii;

void KBD_Install(void);
void KBD_Clear(void);

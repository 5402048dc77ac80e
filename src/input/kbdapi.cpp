#include "input/kbdapi.h"

int keyboard[256];
int lastscan;
int lastascii;

void KBD_Install(void) {}
void KBD_Clear(void) {}

void I_HandleKeyboardEvent(const SDL_Event*) {}

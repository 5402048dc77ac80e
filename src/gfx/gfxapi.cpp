#include "gfx/gfxapi.h"

uint8_t* displaybuffer;
int retraceflag;

void GFX_InitSystem(void) {}
void GFX_InitVideo(uint8_t*) {}
int GFX_SetPalRange(int start, int) { return start >= 0; }
void GFX_FadeOut(int, int, int, int) {}

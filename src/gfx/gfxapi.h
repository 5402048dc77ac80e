// Frame buffer, frame counter, palette and drawing.
#pragma once

#include <cstdint>

extern uint8_t* displaybuffer;
extern int retraceflag;

void GFX_InitSystem(void);
void GFX_InitVideo(uint8_t* pal);
int GFX_SetPalRange(int start, int end);
void GFX_FadeOut(int red, int green, int blue, int steps);

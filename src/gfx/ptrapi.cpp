#include "gfx/ptrapi.h"

int PTR_Init(int) { return 0; }
void PTR_SetPic(uint8_t*) {}
void PTR_SetPos(int, int) {}
void PTR_DrawCursor(int) {}

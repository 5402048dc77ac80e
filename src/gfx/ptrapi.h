// The drawn mouse pointer.
#pragma once

#include <cstdint>

int PTR_Init(int device);
void PTR_SetPic(uint8_t* pic);
void PTR_SetPos(int x, int y);
void PTR_DrawCursor(int show);

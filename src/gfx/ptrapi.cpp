#include "gfx/ptrapi.h"

int PTR_Init(int) { return 0; }
void PTR_SetPic(uint8_t*) {}
void PTR_SetPos(int, int) {}
void PTR_DrawCursor(int) {}
int g_drawcursor;
int cur_mx, cur_my;

void PTR_FrameHook(void (*copy)(void)) { copy(); }
void PTR_UpdateCursor(void) {}
void PTR_MouseHandler(void) {}
void PTR_JoyHandler(void) {}
void I_HandleMouseEvent(const SDL_Event*) {}
void I_HandleTouchEvent(const SDL_Event*) {}

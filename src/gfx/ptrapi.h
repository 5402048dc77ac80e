// The drawn mouse pointer.
#pragma once

union SDL_Event;

#include <cstdint>

int PTR_Init(int device);
void PTR_SetPic(uint8_t* pic);
void PTR_SetPos(int x, int y);
void PTR_DrawCursor(int show);
extern int g_drawcursor;
extern int cur_mx, cur_my;

void PTR_FrameHook(void (*copy)(void));
void PTR_UpdateCursor(void);
void PTR_MouseHandler(void);
void PTR_JoyHandler(void);
// Button and touch events from the event pump.
void I_HandleMouseEvent(const SDL_Event* ev);
void I_HandleTouchEvent(const SDL_Event* ev);

// The drawn mouse pointer: a 16x16 image with a hot spot that the game draws itself.
//
// Between frames the pointer lives in the presented screen buffer, with the pixels under
// it kept aside; while a frame is copied to the screen it is drawn into the frame buffer
// just long enough to be copied along (the frame hook), so the frame buffer never keeps
// it. The module also turns mouse buttons and touches into the button states the input
// module reads.
#pragma once

union SDL_Event;

#include <cstdint>

constexpr int PTR_SIZE = 16;
// Size of a pointer picture item: the 20-byte picture header and 16x16 pixels.
constexpr int PTR_PICBYTES = 20 + PTR_SIZE * PTR_SIZE;

// Position of the pointer in screen coordinates (0..319, 0..199).
extern int cur_mx, cur_my;
// The position the controller moves the pointer from.
extern int old_joy_x, old_joy_y;
extern int cursoroffsetx, cursoroffsety;

extern int ptractive;    // a pointer exists
extern int g_drawcursor; // the pointer is shown
extern int ptrupdate;    // it must be redrawn
extern int ptr_pause;
extern int mousepresent, joypresent, joyactive;
extern int do_game;   // a mission is running
extern int touchmode; // the last mouse event came from a touch screen
extern int touchmouseb1off;

// Held buttons: left 1, right 2, middle 4 while down, else 0. The latches are set on every
// press and cleared by whoever takes the press.
extern int mouseb1, mouseb2, mouseb3;
extern int mouse_b1_ack, mouse_b2_ack, mouse_b3_ack;

// device: 0 or 1 mouse, 2 controller. Returns whether a pointing device is present.
int PTR_Init(int device);
void PTR_End(void);
// Takes the image and hot spot from a plain 16x16 picture item. A pixel of 255 marks the
// hot spot and shows the colour of the pixel after it. size is the item's length in bytes
// when the caller knows it (-1 trusts the header); a damaged item is refused.
void PTR_SetPic(const uint8_t* pic, int size = -1);
void PTR_SetPos(int x, int y);
// 0 hides (erasing it at once), 1 shows.
void PTR_DrawCursor(int show);
// 1 takes the pointer out of play (missions), 0 brings it back at the screen centre.
void PTR_Pause(int pause);
void PTR_SetGameFlag(int flag);
void PTR_Settouchmouseb1off(int flag);
void PTR_SetBoundsHook(void (*hook)(void));
void PTR_SetCursorHook(void (*hook)(void));
void PTR_SetUpdateFlag(void);
void PTR_ResetJoyStick(void);

// Installed as the frame hook: draws the pointer on top of the frame being copied.
void PTR_FrameHook(void (*copy)(void));
// Redraws a moved pointer in the screen buffer and presents it, at most every 66 ms.
void PTR_UpdateCursor(void);
// Read the position from the mouse or, every 16 ms, from the controller stick.
void PTR_MouseHandler(void);
void PTR_JoyHandler(void);

// Button and touch events from the event pump.
void I_HandleMouseEvent(const SDL_Event* ev);
void I_HandleTouchEvent(const SDL_Event* ev);

// The same, already decoded: button 1 left, 2 middle, 3 right; fingers is the number of
// fingers on the screen after a finger went down.
void PTR_ButtonEvent(int button, int down, int fromtouch);
void PTR_FingerDown(int fingers);
void PTR_FingerUp(void);

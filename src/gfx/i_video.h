// Video output through SDL2: window, renderer, presentation, the event pump.
//
// The 320x200 palettised screen buffer is converted to the window's pixel format, scaled up
// by whole factors with nearest-neighbour sampling, and that is filtered once more to the
// window, so pixels stay sharp at any size. With aspect-ratio correction the 200 lines are
// shown as 240 (a 4:3 picture). With the software renderer the conversion and the whole
// factors are one pass of ours into the texture the renderer filters to the window; with a
// hardware renderer the small picture is uploaded and the hardware does both steps. A
// picture that has not changed since it was shown is not presented again.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gfx/gfxapi.h"

struct SDL_Window;

// [Video] preferences.
extern int fullscreen;              // start on the whole screen
extern int aspect_ratio_correct;    // show 200 lines as 240 and keep the window 4:3
extern int txt_fullscreen;          // the text-mode screens run full screen
extern int force_software_renderer; // SDL's software renderer instead of the hardware one
// The presentation as it first was (every tick: blit, upload, two renderer steps), kept to
// compare against.
extern int classic_present;

// Fixed settings; the window size and display follow what the user does.
extern int window_width, window_height;
extern char window_position[32]; // "center", "x,y", or anything else: the system decides
extern int video_display;
extern int integer_scaling;
extern int fullscreen_width, fullscreen_height; // 0: the desktop resolution
extern char video_driver[32];
extern int usemouse;

// The presented picture, 320x200 palette indices (also reached as displayscreen).
extern uint8_t I_VideoBuffer[SCREENSIZE];

// ---- life -------------------------------------------------------------------------------
void VIDEO_LoadPrefs(void);
// Starts the clock the frame counter reads; before any window exists.
void I_InitTimer(void);
// Opens the window and everything behind it; ends the program if that cannot be done.
void I_InitGraphics(const uint8_t* pal);
// Presents the screen buffer (nothing before I_InitGraphics or after closewindow).
void I_FinishUpdate(void);
void closewindow(void);
// Releases the mouse and closes the video subsystem.
void I_ShutdownGraphics(void);

// ---- palette ----------------------------------------------------------------------------
// Entries first..255 from a 6-bit palette; shown at the next presentation.
void I_SetPalette(const uint8_t* pal, int first);
// The display palette in 6-bit form.
void I_GetPalette(uint8_t* pal);

// ---- events and the mouse ---------------------------------------------------------------
// Pumps and dispatches all pending events, then moves the pointer, samples the game
// buttons and services the music.
void I_GetEvent(void);
// For menu loops, once per pass: repairs the screen after a resize (flag false redraws,
// true puts the pointer back) and reports whether one was pending.
bool I_GetNeedResize(bool flag);
// The input module's say on whether the mouse may be grabbed.
void I_SetGrabMouseCallback(bool (*func)(void));
void I_GetMousePos(int* x, int* y);
void I_SetMousePos(int x, int y);
void I_ToggleFullScreen(void);
// The game window (null before I_InitGraphics and after closewindow).
SDL_Window* I_GetWindow(void);

// ---- screenshots ------------------------------------------------------------------------
// The picture as presented: 320 by `height` palette indices (height 240 with aspect
// correction, rows repeated as the display repeats them) and the palette in 8 bits per
// component. Returns the height.
int I_GetPresentedPicture(uint8_t* pixels /* 320 * 240 */, uint8_t* rgb /* 768 */);
// Writes the presented picture as the next free screenshots/vultarNNNN.png in the
// per-user data folder; false if it could not be written. The path goes to `path`.
bool I_SaveScreenshot(char* path, size_t len);

// True once the software renderer's last step is done by our own one-pass filter, measured
// to give the renderer's very pixels at the present size.
bool I_OwnFilterInUse(void);

// The picture through a colour table, each pixel repeated wf times across and each row hf
// times down, into 32-bit pixels with rows `pitch` pixels apart.
void I_ScalePicture(const uint8_t* src, const uint32_t* lut, int wf, int hf, uint32_t* dst,
                    int pitch);

// ---- shape arithmetic (pure, for the window and the upscaled texture) --------------------
// Brings a window size to the 320 : actualheight shape, keeping the height when the
// window is too wide and the width otherwise.
void I_FitWindowShape(int* w, int* h, int actualheight);
struct I_UPSCALE {
    int w_factor, h_factor; // whole multiples of 320 and 200
    bool limited;           // lowered to fit the largest texture or the pixel cap
};
// Scale factors of the upscaled texture for a renderer output; false when not even a
// factor of 1 fits the largest texture.
bool I_ComputeUpscale(int out_w, int out_h, int actualheight, int max_tex_w, int max_tex_h,
                      I_UPSCALE* up);
// Window position for a window of w x h: true with x, y set, false to let the system
// choose. Reports a missing display or a bad position setting on the error stream.
bool I_GetWindowPosition(int* x, int* y, int w, int h);

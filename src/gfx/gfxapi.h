// Frame buffer, frame counter, palette and drawing.
//
// Everything is drawn into `displaybuffer`, 320 by 200 palette indices. Each drawing call
// clips against the screen by itself and (mostly) adds what it touched to the dirty
// rectangle; GFX_DisplayUpdate paces the caller to the 70 Hz frame counter and copies the
// dirty rectangle to the presented screen buffer `displayscreen`.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int SCREENWIDTH = 320;
constexpr int SCREENHEIGHT = 200;
constexpr int SCREENSIZE = SCREENWIDTH * SCREENHEIGHT;
// The frame counter's rate: the refresh rate of the display the game was made for.
constexpr int GFX_FRAMERATE = 70;
// A palette: 256 entries of red, green, blue, each 0 to 63.
constexpr int PALETTE_SIZE = 768;

// Picture items (plain pictures, sprites, textures) start with five 32-bit fields:
// type (0 = sprite run list follows, else plain pixels), two unused words, width, height.
constexpr int GFX_PIC_HEADER = 20;
// A sprite run: x, y, screen offset (y * 320 + x; -1 ends the list), length, then pixels.
constexpr int GFX_RUN_HEADER = 16;
// Fonts: glyph height, 256 signed 16-bit glyph offsets, 256 widths, then glyph pixels.
constexpr int GFX_FONT_HEADER = 772;

// Shading types for the shading calls: which colour table is applied.
enum { GFX_DARK = 0, GFX_LIGHT = 1, GFX_GREY = 2 };

extern uint8_t* displaybuffer; // the frame buffer, drawn into
extern uint8_t* displayscreen; // the screen buffer, presented (owned by video output)
extern int ylookup[SCREENHEIGHT];
extern int retraceflag; // kept for callers; presentation never waits for a retrace

extern int framecount;
// The frame count when events were last pumped (I_GetEvent keeps it); the frame counter
// pumps again only once it has moved on.
extern int gfx_pumpframe;
// The dirty rectangle in 4-pixel columns; the pointer module reads and extends it.
extern int update_start;
extern int ud_x, ud_y, ud_lx, ud_ly;

extern uint8_t* ltable; // every colour a step lighter
extern uint8_t* dtable; // every colour a step darker
extern uint8_t* gtable; // every colour as its nearest grey
extern int start_lookup, end_lookup;

extern int fontspacing;
extern int G3D_viewx, G3D_viewy, G3D_viewz;
extern int G3D_x, G3D_y, G3D_z;
extern int G3D_screenx, G3D_screeny;

// ---- life -------------------------------------------------------------------------------
// Frame buffer, timer, row table, colour tables. Ends the program if memory runs out.
void GFX_InitSystem(void);
// Builds the standard colour tables from the game palette and opens the window.
void GFX_InitVideo(const uint8_t* pal);

// ---- frame pacing and update ------------------------------------------------------------
// Advances the timer and returns the frame count, pumping events when none were pumped
// in this tick yet. Asked again within the same millisecond without a new tick, it rests
// a few milliseconds first, never past the next tick.
int GFX_GetFrameCount(void);
void GFX_MarkUpdate(int x, int y, int w, int h);
void GFX_ForceUpdate(int x, int y, int w, int h);
// The hook is handed the copy operation and must call it exactly once.
void GFX_SetFrameHook(void (*hook)(void (*copy)(void)));
void GFX_DisplayScreen(void);
// Shows the frame, at most once per tick of the frame counter.
void GFX_DisplayUpdate(void);
// Waits 70 / fps ticks (one tick outside 1..70 fps), then shows the frame.
void GFX_WaitUpdate(int fps);
// Waiting for the next tick sleeps (until the millisecond before it, then that last
// millisecond); with busy set it spins on the clock instead. Only for measuring the
// difference.
void GFX_SetBusyWait(bool busy);

// ---- palette, fades and colour tables ---------------------------------------------------
void GFX_SetPalette(const uint8_t* pal, int start);
void GFX_GetPalette(uint8_t* pal);
void GFX_FadeIn(const uint8_t* pal, int steps);
void GFX_FadeOut(int red, int green, int blue, int steps);
void GFX_FadeStart(void);
void GFX_FadeFrame(const uint8_t* pal, int cur_step, int steps);
int GFX_SetPalRange(int start, int end);
void GFX_GetRGB(const uint8_t* pal, int num, int* red, int* green, int* blue);
int GFX_Remap(const uint8_t* pal, int red, int green, int blue);
void GFX_MakeLightTable(const uint8_t* pal, uint8_t* table, int level);
void GFX_MakeGreyTable(const uint8_t* pal, uint8_t* table);
void GFX_Shade(uint8_t* outmem, int maxlen, const uint8_t* table);

// ---- checking items from disk -----------------------------------------------------------
// Whether a picture or sprite item of `size` bytes can be drawn without reading outside
// it: sane width and height, every pixel row or run inside the item, every run inside the
// sprite's box. The drawing calls trust this of the items they are given, so code that
// loads pictures from an archive checks each one once after loading it.
bool GFX_CheckPic(const uint8_t* pic, size_t size);
// The same for a font item: every glyph's pixels inside the item.
bool GFX_CheckFont(const uint8_t* font, size_t size);

// ---- drawing ----------------------------------------------------------------------------
void GFX_PutImage(const uint8_t* pic, int x, int y, bool masked);
void GFX_PutSprite(const uint8_t* pic, int x, int y);
void GFX_ShadeShape(int type, const uint8_t* pic, int x, int y);
void GFX_PutTexture(const uint8_t* pic, int x, int y, int w, int h);
void GFX_ScalePic(const uint8_t* pic, int x, int y, int w, int h, bool masked);
void GFX_GetScreen(uint8_t* outmem, int x, int y, int w, int h);
// Lines and boxes with a negative colour exclusive-or the pixels with (colour - 1).
void GFX_Line(int x1, int y1, int x2, int y2, int color);
void GFX_HLine(int x, int y, int len, int color);
void GFX_VLine(int x, int y, int len, int color);
void GFX_ColorBox(int x, int y, int w, int h, int color);
void GFX_Rectangle(int x, int y, int w, int h, int color);
void GFX_ShadeArea(int type, int x, int y, int w, int h);
void GFX_HShadeLine(int type, int x, int y, int len);
void GFX_VShadeLine(int type, int x, int y, int len);
// A one-pixel bevel inside the rectangle; types 1 (raised) and 2 (sunken) frame windows.
void GFX_LightBox(int type, int x, int y, int w, int h);
// Draws text; returns the width of what was visible.
int GFX_Print(int x, int y, const char* text, const uint8_t* font, int color);
int GFX_StrPixelLen(const uint8_t* font, const char* text, int n);
// Clips a rectangle (and advances a source pointer over what was cut off): 0 = wholly off
// screen, 1 = unchanged, 2 = cut.
int GFX_ClipLines(uint8_t** image, int* x, int* y, int* w, int* h);
void GFX_3D_SetView(int x, int y, int z);
void GFX_3DPoint(void);

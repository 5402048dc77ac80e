#include "gfx/ptrapi.h"

#include <array>
#include <cstring>

#include "game/i_system.h"
#include "gfx/gfxapi.h"
#include "gfx/i_video.h"
#include "input/input.h"
#include "input/joyapi.h"

namespace
{

constexpr int SCREENW = SCREENWIDTH;
constexpr int SCREENH = SCREENHEIGHT;
constexpr int PTR_PIXELS = PTR_SIZE * PTR_SIZE;
constexpr uint8_t HOTSPOT_MARK = 255;

// Moves between frames are limited to 15 a second; the stick is read 60 times a second.
constexpr uint32_t UPDATE_MS = 66;
constexpr uint32_t JOYREAD_MS = 16;

// Touches closer together than this make a double tap (or a two-finger right click).
constexpr uint32_t DOUBLETAP_MS = 500;

// Where the pointer goes when it is created and when a mission hands it back.
constexpr int START_X = 100, START_Y = 160;
constexpr int CENTRE_X = 160, CENTRE_Y = 100;

} // namespace

int cur_mx, cur_my;
int old_joy_x, old_joy_y;
int cursoroffsetx, cursoroffsety;

int ptractive;
int g_drawcursor;
int ptrupdate = 1;
int ptr_pause;
int mousepresent, joypresent, joyactive;
int do_game;
int touchmode;
int touchmouseb1off;

int mouseb1, mouseb2, mouseb3;
int mouse_b1_ack, mouse_b2_ack, mouse_b3_ack;

static std::array<uint8_t, PTR_PIXELS> cursorpic;
static std::array<uint8_t, PTR_PIXELS> cursorsave;

// Top-left corner of the image for the next drawing (position minus hot spot) and of the
// last one.
static int cursorxnew, cursorynew;
static int cursorx, cursory;

// The visible part of the image after clipping: its box on screen, its size and its first
// image pixel.
static int clipx, clipy;
static int cursorloopx, cursorloopy;
static int displaypic;
static bool ptrclip;

// The pointer drawn in the screen buffer: where (a box on screen) and that it must be erased
// before it moves. cursorsave holds the pixels of exactly that box.
static bool ptrerase;
static int drawnx, drawny, drawnw, drawnh;

static void (*ptrboundshook)(void);
static void (*ptrcursorhook)(void);

// Time marks of the paced readers; a mark that fell far behind (a long load, a stopped
// clock) is brought up to date instead of firing on every pump until it catches up.
struct PACE {
    uint32_t mark;
    bool started;
};
static PACE updatepace, joypace;

static bool PaceDue(PACE& pace, uint32_t period)
{
    uint32_t now = I_GetTicks();
    if (!pace.started) {
        pace.started = true;
        pace.mark = now;
        return true;
    }
    uint32_t since = now - pace.mark;
    if (since < period) return false;
    pace.mark = since >= 2 * period ? now : pace.mark + period;
    return true;
}

static int Clamp(int v, int lo, int hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

// Works out the visible part of the image for the corner (cursorxnew, cursorynew). A box
// wholly off screen gets an empty size.
static void PTR_ClipCursor(void)
{
    int x = cursorxnew, y = cursorynew;
    int skipx = 0, skipy = 0;
    int w = PTR_SIZE, h = PTR_SIZE;
    if (x > SCREENW - PTR_SIZE) {
        w = SCREENW - x;
    } else if (x < 0) {
        skipx = -x;
        w = PTR_SIZE + x;
        x = 0;
    }
    if (y > SCREENH - PTR_SIZE) {
        h = SCREENH - y;
    } else if (y < 0) {
        skipy = -y;
        h = PTR_SIZE + y;
        y = 0;
    }
    if (w <= 0 || h <= 0) {
        w = h = 0;
        skipx = skipy = 0;
    }
    ptrclip = w != PTR_SIZE || h != PTR_SIZE;
    clipx = x;
    clipy = y;
    cursorloopx = w;
    cursorloopy = h;
    displaypic = skipy * PTR_SIZE + skipx;
}

static void PTR_Save(const uint8_t* buf)
{
    drawnx = clipx;
    drawny = clipy;
    drawnw = cursorloopx;
    drawnh = cursorloopy;
    const uint8_t* src = buf + clipy * SCREENW + clipx;
    for (int row = 0; row < drawnh; row++)
        memcpy(&cursorsave[row * PTR_SIZE], src + row * SCREENW, drawnw);
}

static void PTR_Draw(uint8_t* buf)
{
    uint8_t* dst = buf + clipy * SCREENW + clipx;
    const uint8_t* img = &cursorpic[displaypic];
    for (int row = 0; row < cursorloopy; row++) {
        for (int col = 0; col < cursorloopx; col++) {
            uint8_t c = img[row * PTR_SIZE + col];
            if (c) dst[row * SCREENW + col] = c;
        }
    }
}

// Puts back the pixels saved under the pointer.
static void PTR_Erase(uint8_t* buf)
{
    uint8_t* dst = buf + drawny * SCREENW + drawnx;
    for (int row = 0; row < drawnh; row++)
        memcpy(dst + row * SCREENW, &cursorsave[row * PTR_SIZE], drawnw);
}

// Saves and draws the pointer at its clipped place in a buffer.
static void PTR_Put(uint8_t* buf)
{
    PTR_Save(buf);
    PTR_Draw(buf);
}

static void PTR_EraseScreen(void)
{
    if (ptrerase && displayscreen) PTR_Erase(displayscreen);
    ptrerase = false;
}

static bool Overlaps(int x, int y, int w, int h, int rx, int ry, int rw, int rh)
{
    if (w <= 0 || h <= 0 || rw <= 0 || rh <= 0) return false;
    return x < rx + rw && rx < x + w && y < ry + rh && ry < y + h;
}

int PTR_Init(int device)
{
    PTR_DrawCursor(0);
    cursorpic.fill(0);
    cursorsave.fill(0);
    mousepresent = joypresent = joyactive = 0;
    ptractive = 0;
    if (device == 2) {
        joypresent = mousepresent = joyactive = 1;
    } else if (device == 0 || device == 1) {
        mousepresent = 1;
    }
    if (device >= 0 && device <= 2) {
        ptractive = 1;
        GFX_SetFrameHook(PTR_FrameHook);
        I_SetMousePos(START_X, START_Y);
    }
    cur_mx = old_joy_x = START_X;
    cur_my = old_joy_y = START_Y;
    ptrupdate = 1;
    return mousepresent || joypresent;
}

void PTR_End(void) {}

void PTR_ResetJoyStick(void) {}

void PTR_SetPic(const uint8_t* pic, int size)
{
    if (!ptractive) {
        cursoroffsetx = cursoroffsety = 0;
        return;
    }
    if (!pic || (size >= 0 && size < PTR_PICBYTES)) return;
    int32_t head[5];
    memcpy(head, pic, sizeof(head));
    // A sprite, or a picture of another size, cannot be the pointer.
    if (head[0] == 0 || head[3] != PTR_SIZE || head[4] != PTR_SIZE) return;

    const uint8_t* px = pic + GFX_PIC_HEADER;
    cursoroffsetx = cursoroffsety = 0;
    for (int i = 0; i < PTR_PIXELS; i++) {
        if (px[i] == HOTSPOT_MARK) {
            // The marked pixel shows its neighbour's colour; the last pixel has no neighbour
            // inside the image and stays transparent.
            cursorpic[i] = i + 1 < PTR_PIXELS ? px[i + 1] : 0;
            cursoroffsetx = i % PTR_SIZE;
            cursoroffsety = i / PTR_SIZE;
        } else {
            cursorpic[i] = px[i];
        }
    }
    ptrupdate = 1;
}

void PTR_SetPos(int x, int y)
{
    x = Clamp(x, 0, SCREENW - 1);
    y = Clamp(y, 0, SCREENH - 1);
    if (mousepresent) I_SetMousePos(x, y);
    cur_mx = old_joy_x = x;
    cur_my = old_joy_y = y;
    if (ptractive) ptrupdate = 1;
}

void PTR_DrawCursor(int show)
{
    if (!ptractive) {
        g_drawcursor = 0;
        return;
    }
    if (show) {
        ptrupdate = 1;
    } else {
        PTR_EraseScreen();
    }
    g_drawcursor = show ? 1 : 0;
}

void PTR_Pause(int pause)
{
    pause = pause ? 1 : 0;
    if (!ptractive || pause == ptr_pause) return;
    if (!pause) {
        cur_mx = old_joy_x = CENTRE_X;
        cur_my = old_joy_y = CENTRE_Y;
        if (mousepresent) I_SetMousePos(CENTRE_X, CENTRE_Y);
        ptrupdate = 1;
    }
    PTR_EraseScreen();
    g_drawcursor = 0;
    ptr_pause = pause;
}

void PTR_SetGameFlag(int flag)
{
    do_game = flag;
}

void PTR_Settouchmouseb1off(int flag)
{
    touchmouseb1off = flag;
}

void PTR_SetBoundsHook(void (*hook)(void))
{
    ptrboundshook = hook;
    ptrupdate = 1;
}

void PTR_SetCursorHook(void (*hook)(void))
{
    ptrcursorhook = hook;
    ptrupdate = 1;
}

void PTR_SetUpdateFlag(void)
{
    ptrupdate = 1;
}

static void PTR_NewCorner(void)
{
    if (ptrboundshook) ptrboundshook();
    cursorxnew = cur_mx - cursoroffsetx;
    cursorynew = cur_my - cursoroffsety;
}

void PTR_FrameHook(void (*copy)(void))
{
    if (!g_drawcursor || !displaybuffer || !displayscreen) {
        copy();
        return;
    }
    PTR_NewCorner();
    PTR_ClipCursor();

    if (!Overlaps(clipx, clipy, cursorloopx, cursorloopy, ud_x, ud_y, ud_lx, ud_ly)) {
        // The copy leaves the pointer's box alone: it can stay in (or move within) the
        // screen buffer.
        if (ptrupdate || !ptrerase) {
            PTR_EraseScreen();
            PTR_Put(displayscreen);
            ptrerase = true;
        }
        copy();
    } else {
        // The copy would paint over the pointer. The old pointer is either erased or
        // painted over by the copy; the new one rides along in the frame buffer and is
        // taken out of it again at once.
        if (ptrerase) {
            if (!Overlaps(drawnx, drawny, drawnw, drawnh, ud_x, ud_y, ud_lx, ud_ly))
                PTR_Erase(displayscreen);
            else
                GFX_MarkUpdate(drawnx, drawny, drawnw, drawnh);
            ptrerase = false;
        }
        GFX_MarkUpdate(clipx, clipy, cursorloopx, cursorloopy);
        PTR_Put(displaybuffer);
        copy();
        PTR_Erase(displaybuffer);
        // The copy carried the pointer to the screen buffer, and the save-under holds the
        // frame's pixels there, which is what the screen shows once it is erased.
        ptrerase = true;
    }
    ptrupdate = 0;

    if (ptrcursorhook) ptrcursorhook();
    cursorx = cursorxnew;
    cursory = cursorynew;
}

void PTR_UpdateCursor(void)
{
    if (!PaceDue(updatepace, UPDATE_MS)) return;
    if (!ptractive || ptr_pause) return;
    if (joyactive && !joy_ipt_MenuNew) PTR_JoyHandler();
    if (!ptrupdate) return;
    ptrupdate = 0;

    PTR_EraseScreen();
    PTR_NewCorner();
    if (g_drawcursor && displayscreen) {
        PTR_ClipCursor();
        PTR_Put(displayscreen);
        ptrerase = true;
    }
    if (ptrcursorhook) ptrcursorhook();
    cursorx = cursorxnew;
    cursory = cursorynew;
    I_FinishUpdate();
}

void PTR_MouseHandler(void)
{
    int x, y;
    I_GetMousePos(&x, &y);
    bool warp = false;
    if (x < 0) {
        x = 0;
    } else if (x >= SCREENW) {
        x = SCREENW - 1;
        warp = true;
    }
    if (y < 0) {
        y = 0;
    } else if (y >= SCREENH) {
        y = SCREENH - 1;
        warp = true;
    }
    // A hidden pointer or a full screen gives the system mouse nowhere to be seen beyond the
    // picture: bring it back to the edge so that moving back responds at once.
    if (warp && (!g_drawcursor || fullscreen)) I_SetMousePos(x, y);
    if (x != cur_mx || y != cur_my) {
        cur_mx = x;
        cur_my = y;
        ptrupdate = 1;
    }
}

void PTR_JoyHandler(void)
{
    if (!PaceDue(joypace, JOYREAD_MS)) return;
    int x = Clamp(old_joy_x + JOY_GetAxis(0), 0, SCREENW - 1);
    int y = Clamp(old_joy_y + JOY_GetAxis(1), 0, SCREENH - 1);
    if (x != old_joy_x || y != old_joy_y) {
        cur_mx = old_joy_x = x;
        cur_my = old_joy_y = y;
        ptrupdate = 1;
    }
}

void PTR_ButtonEvent(int button, int down, int fromtouch)
{
    touchmode = fromtouch ? 1 : 0;
    // During a mission with the pointer hidden, touches run a held fire button of their own
    // (PTR_FingerDown); the left clicks the system makes up from the same touches must not
    // let go of it.
    if (fromtouch && button == 1 && do_game && !g_drawcursor) return;
    switch (button) {
    case 1:
        mouseb1 = down ? 1 : 0;
        if (down) mouse_b1_ack = 1;
        break;
    case 2:
        mouseb3 = down ? 4 : 0;
        if (down) mouse_b3_ack = 1;
        break;
    case 3:
        mouseb2 = down ? 2 : 0;
        if (down) mouse_b2_ack = 1;
        break;
    default:
        break;
    }
}

static uint32_t lasttwofinger, lasttap;
static bool hadtwofinger, hadtap;

void PTR_FingerDown(int fingers)
{
    uint32_t now = I_GetTicks();
    if (fingers == 3) {
        mouseb3 = 4;
        mouse_b3_ack = 1;
    }
    if (fingers == 2) {
        if (hadtwofinger && now - lasttwofinger < DOUBLETAP_MS) {
            mouseb2 = 2;
            mouse_b2_ack = 1;
        }
        lasttwofinger = now;
        hadtwofinger = true;
        return;
    }
    if (g_drawcursor || !do_game) {
        mouseb1 = 1;
        mouse_b1_ack = 1;
    } else {
        bool doubletap = hadtap && now - lasttap < DOUBLETAP_MS;
        if (!doubletap) {
            if (!touchmouseb1off) {
                mouseb1 = 1;
                mouse_b1_ack = 1;
            } else {
                mouseb1 = 0;
            }
        } else if (touchmouseb1off) {
            touchmouseb1off = 0;
            mouseb1 = 1;
            mouse_b1_ack = 1;
        } else {
            touchmouseb1off = 1;
            mouseb1 = 0;
        }
    }
    lasttap = now;
    hadtap = true;
}

void PTR_FingerUp(void)
{
    mouseb2 = 0;
    mouseb3 = 0;
}

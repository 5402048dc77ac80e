#include "input/input.h"

#include <algorithm>
#include <cstdlib>

#include "game/demo.h"
#include "game/game.h"
#include "game/i_system.h"
#include "game/prefapi.h"
#include "gfx/i_video.h"
#include "gfx/ptrapi.h"
#include "input/joyapi.h"
#include "input/kbdapi.h"

int control;
int joy_ipt_MenuNew;
int haptic;
int opt_detail;

int k_Up, k_Down, k_Left, k_Right;
int k_Fire, k_FireSp, k_ChangeSp, k_Mega;
int m_lookup[3];
int j_lookup[4];

int buttons[NUM_BUTTONS];
int g_addx, g_addy;
int ipt_start;
int control_pause;
int xm, ym;
void (*ipt_pilot)(void);

namespace
{

// Largest steps a frame: sideways, and up or down.
constexpr int MAXSTEP_X = 10;
constexpr int MAXSTEP_Y = 8;
// A fresh press or a reversal starts at this step and speeds up by one a frame.
constexpr int STARTSTEP = 2;
// Mouse steering: nearer than this the ship creeps a pixel a frame.
constexpr int MOUSE_NEAR = 8;

// The play field of the ship's top-left corner.
constexpr int PLAYER_MINX = 5, PLAYER_MAXX = 282;
constexpr int PLAYER_MINY = 0, PLAYER_MAXY = 160;
constexpr int PLAYER_HALF = 16;
constexpr int PLAYER_STARTX = 144;
// Banking leans at most this many frames away from level flight.
constexpr int MAXBANK = 3;

constexpr uint32_t SAMPLE_MS = 38;

constexpr int SCANCODES = 256;
constexpr int NUM_CONTROLLER_BUTTONS = 21;

uint32_t lasttick;
bool sampling;

int oldx = PLAYER_STARTX;

// A setting read from setup.ini that must lie in lo..hi; anything else gives the default.
int PrefInRange(const char* section, const char* key, int def, int lo, int hi)
{
    int v = INI_GetPreferenceLong(section, key, def);
    return v >= lo && v <= hi ? v : def;
}

bool KeyHeld(int scan)
{
    return scan > 0 && scan < SCANCODES && keyboard[scan];
}

// One axis of keyboard-style steering: accelerate while a key is held, restart at the
// starting step on a reversal, halve the step when nothing is held.
int Steer(int step, bool minus, bool plus, int limit)
{
    if (minus) return step >= 0 ? -STARTSTEP : std::max(step - 1, -limit);
    if (plus) return step <= 0 ? STARTSTEP : std::min(step + 1, limit);
    return step / 2;
}

// Mouse steering on one axis: the ship jumps towards the pointer, up to the sideways limit
// on both axes, but creeps when the pointer is just right of or below it.
int MouseStep(int dist)
{
    if (dist == 0) return 0;
    if (dist > 0) return dist < MOUSE_NEAR ? 1 : std::min(dist, MAXSTEP_X);
    return std::max(dist, -MAXSTEP_X);
}

} // namespace

void IPT_LoadPrefs(void)
{
    opt_detail = INI_GetPreferenceLong("Setup", "Detail", 1);
    control = INI_GetPreferenceLong("Setup", "Control", CONTROL_KEYBOARD);
    haptic = INI_GetPreferenceLong("Setup", "Haptic", 1);
    joy_ipt_MenuNew = INI_GetPreferenceLong("Setup", "joy_ipt_MenuNew", 0);

    k_Up = PrefInRange("Keyboard", "MoveUp", SC_UP, 1, SCANCODES - 1);
    k_Down = PrefInRange("Keyboard", "MoveDn", SC_DOWN, 1, SCANCODES - 1);
    k_Left = PrefInRange("Keyboard", "MoveLeft", SC_LEFT, 1, SCANCODES - 1);
    k_Right = PrefInRange("Keyboard", "MoveRight", SC_RIGHT, 1, SCANCODES - 1);
    k_Fire = PrefInRange("Keyboard", "Fire", SC_CTRL, 1, SCANCODES - 1);
    k_FireSp = PrefInRange("Keyboard", "FireSp", SC_ALT, 1, SCANCODES - 1);
    k_ChangeSp = PrefInRange("Keyboard", "ChangeSp", SC_SPACE, 1, SCANCODES - 1);
    k_Mega = PrefInRange("Keyboard", "MegaFire", SC_RSHIFT, 1, SCANCODES - 1);

    // The file names the mouse button of each action (fire, change special, mega bomb);
    // the game wants the action of each button. A button no action names does nothing; of
    // two actions on one button the first wins.
    const int mouse_of[3] = {PrefInRange("Mouse", "Fire", 0, 0, NUM_BUTTONS - 1),
                             PrefInRange("Mouse", "FireSp", 1, 0, NUM_BUTTONS - 1),
                             PrefInRange("Mouse", "ChangeSp", 2, 0, NUM_BUTTONS - 1)};
    for (int& action : m_lookup)
        action = -1;
    for (int action = 2; action >= 0; action--)
        if (mouse_of[action] < 3) m_lookup[mouse_of[action]] = action;

    j_lookup[0] = PrefInRange("JoyStick", "Fire", 0, 0, NUM_CONTROLLER_BUTTONS - 1);
    j_lookup[1] = PrefInRange("JoyStick", "FireSp", 1, 0, NUM_CONTROLLER_BUTTONS - 1);
    j_lookup[2] = PrefInRange("JoyStick", "ChangeSp", 2, 0, NUM_CONTROLLER_BUTTONS - 1);
    j_lookup[3] = PrefInRange("JoyStick", "MegaFire", 3, 0, NUM_CONTROLLER_BUTTONS - 1);
}

void IPT_Init(void)
{
    I_SetGrabMouseCallback(IPT_MouseGrab);
    IPT_CalJoy();
}

bool IPT_MouseGrab(void)
{
    return ipt_start != 0;
}

void IPT_Start(void)
{
    PTR_DrawCursor(0);
    PTR_Pause(1);
    ipt_start = 1;
}

void IPT_End(void)
{
    ipt_start = 0;
    PTR_Pause(0);
    PTR_DrawCursor(0);
}

void IPT_PauseControl(int flag)
{
    control_pause = flag;
}

void IPT_GetButtons(void)
{
    uint32_t now = I_GetTicks();
    if (!sampling) {
        sampling = true;
        lasttick = now - SAMPLE_MS;
    }
    uint32_t since = now - lasttick;
    if (since < SAMPLE_MS) return;
    // Steady sampling keeps its 38 ms beat; after a long stall it starts a fresh one rather
    // than sampling on every pump until it has caught up.
    lasttick = since >= 2 * SAMPLE_MS ? now : lasttick + SAMPLE_MS;
    if (!ipt_start) return;
    const int keys[NUM_BUTTONS] = {k_Fire, k_FireSp, k_ChangeSp, k_Mega};
    for (int i = 0; i < NUM_BUTTONS; i++)
        if (KeyHeld(keys[i])) buttons[i] = 1;
}

void IPT_GetKeyBoard(void)
{
    bool left = KeyHeld(k_Left);
    g_addx = Steer(g_addx, left, !left && KeyHeld(k_Right), MAXSTEP_X);
    bool up = KeyHeld(k_Up);
    g_addy = Steer(g_addy, up, !up && KeyHeld(k_Down), MAXSTEP_Y);
}

void IPT_GetMouse(void)
{
    xm = cur_mx - (playerx + PLAYER_HALF);
    ym = cur_my - (playery + PLAYER_HALF);
    g_addx = MouseStep(xm);
    g_addy = MouseStep(ym);

    const int held[3] = {mouseb1, mouseb2, mouseb3};
    for (int k = 0; k < 3; k++) {
        if (!held[k]) continue;
        // Touch screens have no setup of their own: finger k is latch k.
        int action = touchmode ? k : m_lookup[k];
        if (action >= 0) buttons[action] = 1;
    }
}

void IPT_GetJoyStick(void)
{
    for (int i = 0; i < NUM_BUTTONS; i++)
        if (JOY_GetMappedButton(i)) buttons[i] = 1;
    if (JOY_GetAxis(JOY_TRIGRIGHT) > 0) buttons[BUTTON_FIRE] = 1;
    if (JOY_GetAxis(JOY_TRIGLEFT) > 0) buttons[BUTTON_CHANGESPECIAL] = 1;
    if (JOY_GetButton(JOY_SHOULDERLEFT)) buttons[BUTTON_MEGABOMB] = 1;
    if (JOY_GetButton(JOY_SHOULDERRIGHT)) buttons[BUTTON_SPARE] = 1;

    bool left = JOY_GetButton(JOY_DPADLEFT);
    g_addx = Steer(g_addx, left, !left && JOY_GetButton(JOY_DPADRIGHT), MAXSTEP_X);
    bool up = JOY_GetButton(JOY_DPADUP);
    g_addy = Steer(g_addy, up, !up && JOY_GetButton(JOY_DPADDOWN), MAXSTEP_Y);

    // The stick, when pushed, overrides the d-pad.
    if (int x = JOY_GetAxis(JOY_LEFTX)) g_addx = std::clamp(x, -MAXSTEP_X, MAXSTEP_X);
    if (int y = JOY_GetAxis(JOY_LEFTY)) g_addy = std::clamp(y, -MAXSTEP_Y, MAXSTEP_Y);
}

void IPT_MovePlayer(void)
{
    // A played-back demo places the ship itself.
    if (demo_mode == 2) return;

    if (!control_pause && ipt_pilot) {
        ipt_pilot();
    } else if (!control_pause) {
        switch (control) {
        case CONTROL_MOUSE:
            IPT_GetMouse();
            break;
        case CONTROL_JOYSTICK:
            IPT_GetJoyStick();
            break;
        default:
            IPT_GetKeyBoard();
            break;
        }
    }
    playerx += g_addx;
    playery += g_addy;

    // While the wave's end countdown runs the ship may leave the field (it flies out).
    if (startendwave == -1) {
        if (playery < PLAYER_MINY) {
            playery = PLAYER_MINY;
            g_addy = 0;
        } else if (playery > PLAYER_MAXY) {
            playery = PLAYER_MAXY;
            g_addy = 0;
        }
        if (playerx < PLAYER_MINX) {
            playerx = PLAYER_MINX;
            g_addx = 0;
        } else if (playerx > PLAYER_MAXX) {
            playerx = PLAYER_MAXX;
            g_addx = 0;
        }
    }

    // The ship leans one frame per frame towards a bank that grows with its speed.
    int h = std::min(std::abs(oldx - playerx) >> 2, MAXBANK);
    if (playerx < oldx) {
        if (playerpic < playerbasepic + h) playerpic++;
    } else if (playerx > oldx) {
        if (playerpic > playerbasepic - h) playerpic--;
    } else if (playerpic < playerbasepic) {
        playerpic++;
    } else if (playerpic > playerbasepic) {
        playerpic--;
    }

    oldx = playerx;
    player_cx = playerx + PLAYER_HALF;
    player_cy = playery + PLAYER_HALF;
}

void IPT_FMovePlayer(int dx, int dy)
{
    g_addx = dx;
    g_addy = dy;
    IPT_MovePlayer();
}

void IPT_Level(void)
{
    g_addx = g_addy = 0;
    oldx = playerx;
    playerpic = playerbasepic;
    player_cx = playerx + PLAYER_HALF;
    player_cy = playery + PLAYER_HALF;
}

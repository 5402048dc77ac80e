#include "input/joyapi.h"

#include <cstring>

#include <SDL.h>

#include "game/i_system.h"
#include "gfx/i_video.h"
#include "gfx/ptrapi.h"
#include "input/input.h"
#include "input/kbdapi.h"

SDL_GameController* ControllerHandles[JOY_MAXSLOTS];
int joyinput[JOY_MAXSLOTS][JOY_NUMINPUTS];
int joyinputmap[JOY_MAXSLOTS][JOY_NUMACTIONS];
int joy_ack;

int (*joy_rumble)(SDL_GameController*, uint16_t, uint16_t, uint32_t) = SDL_GameControllerRumble;

namespace
{

// Stick travel inside this is rest; the scale runs from its edge to full deflection.
constexpr int DEADZONE = 8000;
constexpr int LIVERANGE = 32767 - DEADZONE;

// Full-deflection values: steering steps for the left stick, trigger pressure, and the
// gentler pointer speed.
constexpr int STEER_X = 10, STEER_Y = 8, TRIGGER = 4, POINTER = 4;

constexpr uint32_t MENU_REPEAT_MS = 200;
constexpr uint32_t RUMBLE_MS = 1000;

// The controller buttons behind the input table's button entries, in table order.
constexpr SDL_GameControllerButton tablebuttons[] = {
    SDL_CONTROLLER_BUTTON_DPAD_UP,
    SDL_CONTROLLER_BUTTON_DPAD_DOWN,
    SDL_CONTROLLER_BUTTON_DPAD_LEFT,
    SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
    SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_BACK,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_A,
    SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,
};
static_assert(JOY_DPADUP + std::size(tablebuttons) == JOY_NUMINPUTS);

bool menuresult;
uint32_t menutime;

// A raw axis value (-32768..32767) as a deflection of -k..k outside the dead zone.
int ScaleAxis(int v, int k)
{
    if (v > -DEADZONE && v < DEADZONE) return 0;
    if (v > 0) return (k * v - k * DEADZONE) / LIVERANGE;
    return (k * v + k * DEADZONE) / LIVERANGE;
}

bool IsOpen(SDL_JoystickID id)
{
    for (SDL_GameController* c : ControllerHandles) {
        if (!c) continue;
        SDL_Joystick* j = SDL_GameControllerGetJoystick(c);
        if (j && SDL_JoystickInstanceID(j) == id) return true;
    }
    return false;
}

void ReadSlot(int slot)
{
    SDL_GameController* c = ControllerHandles[slot];
    int* in = joyinput[slot];
    for (size_t i = 0; i < std::size(tablebuttons); i++)
        in[JOY_DPADUP + i] = SDL_GameControllerGetButton(c, tablebuttons[i]) ? 1 : 0;
    for (int i = 0; i < JOY_NUMACTIONS; i++) {
        int b = j_lookup[i];
        joyinputmap[slot][i] =
            b >= 0 && b < SDL_CONTROLLER_BUTTON_MAX &&
            SDL_GameControllerGetButton(c, static_cast<SDL_GameControllerButton>(b));
    }
    int kx = g_drawcursor ? POINTER : STEER_X;
    int ky = g_drawcursor ? POINTER : STEER_Y;
    in[JOY_LEFTX] = ScaleAxis(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX), kx);
    in[JOY_LEFTY] = ScaleAxis(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY), ky);
    in[JOY_TRIGLEFT] =
        ScaleAxis(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERLEFT), TRIGGER);
    in[JOY_TRIGRIGHT] =
        ScaleAxis(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERRIGHT), TRIGGER);
}

void ClearSlot(int slot)
{
    memset(joyinput[slot], 0, sizeof(joyinput[slot]));
    memset(joyinputmap[slot], 0, sizeof(joyinputmap[slot]));
}

bool ValidInput(int i)
{
    return i >= 0 && i < JOY_NUMINPUTS;
}

void Rumble(uint16_t strength)
{
    for (SDL_GameController* c : ControllerHandles)
        if (c) joy_rumble(c, strength, strength, RUMBLE_MS);
}

} // namespace

int IPT_CalJoy(void)
{
    if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER) && SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) < 0)
        return -1;
    int n = SDL_NumJoysticks();
    for (int i = 0; i < n; i++) {
        if (!SDL_IsGameController(i)) continue;
        // A controller announced again (hot plug sends one event per device) keeps its slot.
        if (IsOpen(SDL_JoystickGetDeviceInstanceID(i))) continue;
        int slot = 0;
        while (slot < JOY_MAXSLOTS && ControllerHandles[slot])
            slot++;
        if (slot == JOY_MAXSLOTS) break;
        ControllerHandles[slot] = SDL_GameControllerOpen(i);
        ClearSlot(slot);
    }
    return 0;
}

void IPT_CloJoy(int flag)
{
    bool freed = false;
    for (int slot = 0; slot < JOY_MAXSLOTS; slot++) {
        ClearSlot(slot);
        SDL_GameController* c = ControllerHandles[slot];
        if (c && (flag || !SDL_GameControllerGetAttached(c))) {
            SDL_GameControllerClose(c);
            ControllerHandles[slot] = nullptr;
            freed = true;
        }
    }
    // A fifth controller left waiting while four were in use takes the slot that came free.
    if (freed && !flag) IPT_CalJoy();
}

void JOY_ReleaseAll(void)
{
    for (int slot = 0; slot < JOY_MAXSLOTS; slot++)
        ClearSlot(slot);
    joy_ack = 0;
}

void I_HandleJoystickEvent(const SDL_Event* ev)
{
    for (int slot = 0; slot < JOY_MAXSLOTS; slot++) {
        SDL_GameController* c = ControllerHandles[slot];
        if (c && SDL_GameControllerGetAttached(c)) ReadSlot(slot);
    }
    if (ev->type == SDL_CONTROLLERBUTTONDOWN)
        joy_ack = 1;
    else if (ev->type == SDL_CONTROLLERBUTTONUP)
        joy_ack = 0;
}

int JOY_GetButton(int i)
{
    if (!ValidInput(i)) return 0;
    for (int slot = 0; slot < JOY_MAXSLOTS; slot++)
        if (joyinput[slot][i]) return 1;
    return 0;
}

int JOY_IsKey(int i)
{
    if (!JOY_GetButton(i)) return 0;
    while (JOY_GetButton(i))
        I_GetEvent();
    return 1;
}

int JOY_GetMappedButton(int i)
{
    if (i < 0 || i >= JOY_NUMACTIONS) return 0;
    for (int slot = 0; slot < JOY_MAXSLOTS; slot++)
        if (joyinputmap[slot][i]) return 1;
    return 0;
}

int JOY_GetAxis(int i)
{
    if (!ValidInput(i)) return 0;
    for (int slot = 0; slot < JOY_MAXSLOTS; slot++)
        if (joyinput[slot][i]) return joyinput[slot][i];
    return 0;
}

int JOY_GetInput(void)
{
    for (int slot = 0; slot < JOY_MAXSLOTS; slot++)
        for (int i = JOY_DPADUP; i < JOY_NUMINPUTS; i++)
            if (joyinput[slot][i]) return 1;
    return 0;
}

int JOY_MapsInput(void)
{
    const int* in = nullptr;
    for (int slot = 0; slot < JOY_MAXSLOTS && !in; slot++)
        for (int i = 0; i < JOY_NUMINPUTS; i++)
            if (joyinput[slot][i]) {
                in = joyinput[slot];
                break;
            }
    if (!in) return 0;

    uint32_t now = I_GetTicks();
    if (menuresult && now - menutime < MENU_REPEAT_MS) return 0;

    int code = 0;
    if (in[JOY_LEFTX] > 0 || in[JOY_DPADRIGHT])
        code = SC_RIGHT;
    else if (in[JOY_LEFTX] < 0 || in[JOY_DPADLEFT])
        code = SC_LEFT;
    else if (in[JOY_LEFTY] > 0 || in[JOY_DPADDOWN])
        code = SC_DOWN;
    else if (in[JOY_LEFTY] < 0 || in[JOY_DPADUP])
        code = SC_UP;
    else if (in[JOY_A] || in[JOY_START])
        code = SC_ENTER;
    else if (in[JOY_B] || in[JOY_BACK])
        code = SC_ESCAPE;
    else if (in[JOY_X])
        code = SC_DELETE;
    else if (in[JOY_SHOULDERLEFT])
        code = SC_CTRL;
    else if (in[JOY_SHOULDERRIGHT])
        code = SC_F1;
    if (code) {
        menuresult = true;
        menutime = now;
    }
    return code;
}

void IPT_CalJoyRumbleLow(void)
{
    Rumble(16383);
}

void IPT_CalJoyRumbleMedium(void)
{
    Rumble(32766);
}

void IPT_CalJoyRumbleHigh(void)
{
    Rumble(49149);
}

// Game controllers: up to four slots with hot plug, buttons, scaled axes and rumble.
#pragma once

#include <cstdint>

union SDL_Event;
struct _SDL_GameController;
typedef struct _SDL_GameController SDL_GameController;

constexpr int JOY_MAXSLOTS = 4;
constexpr int JOY_NUMINPUTS = 16;
constexpr int JOY_NUMACTIONS = 4;

// The entries of a slot's input table: sticks and triggers hold scaled deflections, the
// buttons 0 or 1.
enum {
    JOY_LEFTX,     // -10..10 (-4..4 while the pointer is shown)
    JOY_LEFTY,     // -8..8 (-4..4 while the pointer is shown)
    JOY_TRIGLEFT,  // 0..4
    JOY_TRIGRIGHT, // 0..4
    JOY_DPADUP,
    JOY_DPADDOWN,
    JOY_DPADLEFT,
    JOY_DPADRIGHT,
    JOY_START,
    JOY_BACK,
    JOY_SHOULDERLEFT,
    JOY_SHOULDERRIGHT,
    JOY_A,
    JOY_B,
    JOY_X,
    JOY_Y,
};

extern SDL_GameController* ControllerHandles[JOY_MAXSLOTS];
extern int joyinput[JOY_MAXSLOTS][JOY_NUMINPUTS];
// 1 while the controller button chosen for action i (fire, change special, mega bomb,
// spare) is held.
extern int joyinputmap[JOY_MAXSLOTS][JOY_NUMACTIONS];
extern int joy_ack; // 1 after a button went down, 0 after one went up

// Opens every attached controller not open yet into a free slot; negative when the
// controller subsystem cannot start.
int IPT_CalJoy(void);
// Empties the slots of controllers that went away, or every slot when flag is non-zero.
void IPT_CloJoy(int flag);
// Called by the event pump for controller axis and button events.
void I_HandleJoystickEvent(const SDL_Event* ev);

// Waits for the release of input i when any controller holds it and reports the press.
int JOY_IsKey(int i);
int JOY_GetButton(int i);
int JOY_GetMappedButton(int i);
// The first non-zero value of input i over the slots in order.
int JOY_GetAxis(int i);
// 1 while any d-pad, Start, Back, shoulder or face button is held.
int JOY_GetInput(void);
// Menu navigation: the scan code of the key the controller stands for, at most one every
// 200 ms, else 0.
int JOY_MapsInput(void);

// Forgets every held controller button and deflection and the press latch (the window lost
// the focus); the next controller event reads them afresh.
void JOY_ReleaseAll(void);
// The call that shakes one controller for a time in milliseconds (0 would mean without
// end); tests put a recorder in its place.
extern int (*joy_rumble)(SDL_GameController* c, uint16_t low, uint16_t high, uint32_t ms);
void IPT_CalJoyRumbleLow(void);
void IPT_CalJoyRumbleMedium(void);
void IPT_CalJoyRumbleHigh(void);

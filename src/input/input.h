// Game input: control settings, ship steering and the action latches.
#pragma once

// Which device steers the ship.
enum { CONTROL_KEYBOARD, CONTROL_MOUSE, CONTROL_JOYSTICK };

// The action latches: set by the input devices, cleared by the mission loop.
enum { BUTTON_FIRE, BUTTON_CHANGESPECIAL, BUTTON_MEGABOMB, BUTTON_SPARE, NUM_BUTTONS };

extern int control;
extern int joy_ipt_MenuNew; // controller-driven menus move a keyboard-style focus
extern int haptic;
extern int opt_detail;

// Scan codes of the steering and action keys.
extern int k_Up, k_Down, k_Left, k_Right;
extern int k_Fire, k_FireSp, k_ChangeSp, k_Mega;
// The latch each mouse button (left, right, middle) sets, -1 for none.
extern int m_lookup[3];
// The controller button behind each latch.
extern int j_lookup[4];

extern int buttons[NUM_BUTTONS];
extern int g_addx, g_addy; // the ship's step in pixels per frame
extern int ipt_start;      // 1 while a mission is being played
extern int control_pause;  // 1 while the ship flies by itself (the end of a wave)
extern int xm, ym;         // distance from the ship's centre to the pointer
// A controller made of code (the autopilot): while set it steers the ship and sets the
// latches in place of the chosen device.
extern void (*ipt_pilot)(void);

void IPT_LoadPrefs(void);
void IPT_Init(void);
// True while play runs: the window may grab the mouse then.
bool IPT_MouseGrab(void);
void IPT_Start(void);
void IPT_End(void);
void IPT_PauseControl(int flag);
// Keyboard action sampling; called by the event pump after each drain of the queue.
void IPT_GetButtons(void);

// One device's steering step and latches.
void IPT_GetKeyBoard(void);
void IPT_GetMouse(void);
void IPT_GetJoyStick(void);
// Once per frame: steers the ship with the chosen device, keeps it on the play field and
// banks it. The forced form starts from the given step (the ship flying out by itself).
void IPT_MovePlayer(void);
void IPT_FMovePlayer(int dx, int dy);
// The ship placed afresh: level flight, no step, no bank carried over from before.
void IPT_Level(void);

// Game input: control settings, ship steering and the action latches.
#pragma once

extern int control;
extern int joy_ipt_MenuNew;
extern int haptic;
extern int opt_detail;
extern int buttons[4];

void IPT_LoadPrefs(void);
void IPT_Init(void);
// Keyboard action sampling; called by the event pump after each drain of the queue.
void IPT_GetButtons(void);

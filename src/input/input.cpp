#include "input/input.h"

int control;
int joy_ipt_MenuNew;
int haptic;
int opt_detail;
int buttons[4];

void IPT_LoadPrefs(void) {}
void IPT_Init(void) {}
void IPT_GetButtons(void) {}

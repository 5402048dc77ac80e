#include "input/joyapi.h"

void IPT_CloJoy(int) {}
int IPT_CalJoy(void) { return 0; }
void I_HandleJoystickEvent(const SDL_Event*) {}

// Game controllers: slots, buttons, axes, rumble.
#pragma once

union SDL_Event;

void IPT_CloJoy(int flag);
int IPT_CalJoy(void);
// Called by the event pump for controller axis and button events.
void I_HandleJoystickEvent(const SDL_Event* ev);

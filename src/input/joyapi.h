// Game controllers: slots, buttons, axes, rumble.
#pragma once

void IPT_CloJoy(int flag);

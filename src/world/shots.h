// The player's weapons and shots.
#pragma once

void SHOTS_Init(void);

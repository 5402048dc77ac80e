// The player's weapons and shots. A stand-in with the module's final interface: weapons
// fire nothing yet.
#pragma once

void SHOTS_Init(void);
void SHOTS_Clear(void);
// Fires the weapon of inventory type `type` (0..14); non-zero when a shot was fired.
int SHOTS_PlayerShoot(int type);
void SHOTS_Think(void);
void SHOTS_Display(void);

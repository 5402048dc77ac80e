// Windows loaded from the archives and drawn into the frame buffer.
#pragma once

void SWD_Install(int moveflag);
void SWD_End(void);
// 0 keeps windows from clearing the screen behind them when they close (the mission loop
// redraws it itself).
void SWD_SetClearFlag(int flag);

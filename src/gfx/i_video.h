// Video output through SDL2: window, renderer, presentation, the event pump.
#pragma once

void VIDEO_LoadPrefs(void);
void closewindow(void);
// Pumps and dispatches all pending events, then moves the pointer, samples the game
// buttons and services the music.
void I_GetEvent(void);
void I_FinishUpdate(void);

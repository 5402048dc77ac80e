// Video output through SDL2: window, renderer, presentation, the event pump.
#pragma once

void VIDEO_LoadPrefs(void);
void closewindow(void);

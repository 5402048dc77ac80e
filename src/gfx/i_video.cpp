#include "gfx/i_video.h"

void VIDEO_LoadPrefs(void) {}
void closewindow(void) {}
void I_GetEvent(void) {}
void I_FinishUpdate(void) {}

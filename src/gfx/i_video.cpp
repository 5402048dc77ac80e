#include "gfx/i_video.h"

void VIDEO_LoadPrefs(void) {}
void closewindow(void) {}

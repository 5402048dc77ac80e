#include "gfx/i_lastscr.h"

void I_LASTSCR(const uint8_t*) {}

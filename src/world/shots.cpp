#include "world/shots.h"

void SHOTS_Init(void) {}

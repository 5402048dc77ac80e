#include "world/anims.h"

void ANIMS_Init(void) {}

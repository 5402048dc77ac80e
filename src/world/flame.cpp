#include "world/flame.h"

void FLAME_Init(void) {}
void FLAME_InitShades(void) {}

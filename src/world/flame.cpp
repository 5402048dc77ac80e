#include "world/flame.h"

void FLAME_Init(void) {}
void FLAME_InitShades(void) {}
void FLAME_Up(int, int, int, int) {}
void FLAME_Down(int, int, int, int) {}

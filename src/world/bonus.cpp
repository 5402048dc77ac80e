#include "world/bonus.h"

void BONUS_Init(void) {}

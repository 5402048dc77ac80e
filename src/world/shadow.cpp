#include "world/shadow.h"

void SHADOW_Init(void) {}
void SHADOW_MakeShades(void) {}

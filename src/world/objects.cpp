#include "world/objects.h"

void OBJS_Init(void) {}
void OBJS_Clear(void) {}

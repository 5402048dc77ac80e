#include "world/eshot.h"

void ESHOT_Init(void) {}

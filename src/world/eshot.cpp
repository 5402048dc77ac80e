#include "world/eshot.h"

void ESHOT_Init(void) {}
void ESHOT_Clear(void) {}
void ESHOT_Think(void) {}
void ESHOT_Display(void) {}

#include "ui/swdapi.h"

void SWD_Install(int) {}
void SWD_End(void) {}

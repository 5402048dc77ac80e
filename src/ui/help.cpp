#include "ui/help.h"

void HELP_Init(void) {}

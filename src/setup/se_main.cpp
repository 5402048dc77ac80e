#include "setup/se_main.h"

int StartScreen(void) { return 0; }

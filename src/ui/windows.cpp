#include "ui/windows.h"

void WIN_MainMenu(void) {}
void WIN_MainLoop(void) {}

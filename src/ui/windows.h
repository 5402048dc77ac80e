// Menu screens and the campaign loop.
#pragma once

void WIN_MainMenu(void);
void WIN_MainLoop(void);

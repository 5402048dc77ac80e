// The setup tool.
#pragma once

// The text-mode start screen; returns 0 to run the game (or ends the process on Exit).
int StartScreen(void);

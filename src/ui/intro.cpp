#include "ui/intro.h"

void INTRO_Credits(void) {}
void INTRO_PlayMain(void) {}

// Credits and cut-scenes.
#pragma once

void INTRO_Credits(void);
void INTRO_PlayMain(void);

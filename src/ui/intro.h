// Credits and cut-scenes.
#pragma once

void INTRO_Credits(void);
void INTRO_PlayMain(void);
// After a won wave.
void INTRO_Landing(void);
// After the ship was lost; 1 when the player cut it short.
int INTRO_Death(void);
// After the last wave of a full episode.
void INTRO_EndGame(int game);

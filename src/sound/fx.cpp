#include "sound/fx.h"

int SND_InitSound(void) { return 0; }
void SND_Setup(void) {}
void SND_Patch(int, int) {}
int SND_IsPatchPlaying(int) { return 0; }
void SND_PlaySong(int, int, int) {}
void SND_FadeOutSong(void) {}

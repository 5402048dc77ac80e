// Sound effects: the effect table, the mixers and the audio stream.
#pragma once

int SND_InitSound(void);
void SND_Setup(void);
void SND_Patch(int fx, int sep);
int SND_IsPatchPlaying(int fx);
void SND_PlaySong(int item, int loop, int fade);
void SND_FadeOutSong(void);

// Demo recording and playback: one wave's inputs, frame by frame.
#pragma once

extern int demo_mode;

void DEMO_SetFileName(const char* name);
void DEMO_LoadFile(void);
int DEMO_Play(void);

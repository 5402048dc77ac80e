// The system MIDI music back-end: the song's events as MIDI short messages. On Linux they go
// to the ALSA sequencer port named by [Setup] alsa_output_client / alsa_output_port when it
// exists, else to the built-in software synthesiser with the General MIDI SoundFont.
#pragma once

#include <cstdint>

// MIDI channel of a song channel: 0..8 stay, 9..14 move up one, 15 (percussion) becomes 9.
int MPU_MapChannel(int chan);
// MIDI controller of a song controller number, or -1 when nothing is sent for it.
int MPU_MapController(int ctrl);

// Where the short messages go instead, for tests: null restores the real output.
void MPU_SetMessageHook(void (*hook)(int status, int data1, int data2));

int MPU_Init(int arg);
void MPU_DeInit(void);
void MPU_KeyOff(int chan, int note);
void MPU_KeyOn(int chan, int note, int velocity);
void MPU_Controller(int chan, int ctrl, int value);
void MPU_PitchBend(int chan, int value);
void MPU_ProgramChange(int chan, int program);
void MPU_AllNotesOff(int chan, int value);

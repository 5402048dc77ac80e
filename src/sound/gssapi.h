// The tone-effect player: one effect voice rendered as notes on a music synthesiser (the OPL
// driver or the system MIDI output), stepped 140 times a second.
//
// Tone patch (type 1): int16 type, int16 number of steps, int16 bank, int16 program, then
// one byte per step from offset 8: 0 releases the note, b > 0 plays note ((b - 1) >> 1) + 29
// (odd b in tune, even b a little sharp); a byte equal to the previous one changes nothing.
// Type 2 patches are accepted and held but never sound.
#pragma once

#include <cstdint>

#include "sound/musapi.h"

constexpr int GSS_HANDLE_FLAG = 0x4000;
constexpr int GSS_CHANNEL = 14;
constexpr int PATCH_TONE = 1;
constexpr int PATCH_TONE_SILENT = 2;
constexpr int PATCH_TONE_STEPS = 8;

extern const MUSIC_DEVICE* gss_device;
extern int gss_type;
extern int gsshack;
extern const int gssrate;

void GSS_Init(int card, int arg);
void GSS_DeInit(void);
void GSS_Mix(int16_t* out, int frames);
void GSS_Poll(void);
void GSS_Service(void);
int GSS_PlayPatch(const uint8_t* patch, int sep, int pitch, int volume, int priority);
void GSS_StopPatch(int handle);
int GSS_PatchIsPlaying(int handle);

// The digital mixer: up to eight voices of unsigned 8-bit samples at 11,025 Hz, each with
// its own pitch step and a volume table per ear, summed and held for the output rate.
#pragma once

#include <cstdint>

constexpr int DSP_MAXVOICES = 8;
constexpr int DSP_RATE = 11025;
constexpr int DSP_HANDLE_FLAG = 0xC000;

// Sample patch (type 3): int16 type, int16 rate, int32 length at offset 4 (the voice plays
// length - 32 samples), unsigned 8-bit samples from offset 24, 128 is silence.
constexpr int PATCH_DIGITAL = 3;
constexpr int PATCH_SAMPLES = 24;
constexpr int PATCH_LENGTH_EXTRA = 32;

struct dsp_t {
    const uint8_t* patch;
    const uint8_t* sample;
    int handle; // 14 bits
    int priority;
    int32_t left; // output steps still to play; 0 = free
    int istep;    // integer part of the step
    int fstep;    // 8-bit fraction of the step
    int faccum;   // fraction accumulator
    int16_t ltab[256];
    int16_t rtab[256];
};

extern dsp_t dsp_channels[DSP_MAXVOICES];
extern int dsp_channelnum;
extern int dsp_freq;
extern int dsp_cnt;

// Rate multipliers in 1/256 units by pitch index (128 = the patch's own rate, an octave
// per 64 entries) and stereo gains by position (0 left, 127 centre, 255 right).
extern const uint16_t pitchtable[256];
extern const uint8_t pantable[256];

void DSP_Init(int voices, int rate);
void DSP_Mix(int16_t* out, int frames);
int DSP_StartPatch(const uint8_t* patch, int sep, int pitch, int volume, int priority);
void DSP_StopPatch(int handle);
int DSP_PatchIsPlaying(int handle);
// Fills a 256-entry table mapping an unsigned sample to its signed contribution at the
// given level (volume times pan gain; 127 * 255 is the loudest).
void DSP_VolTable(int16_t* table, int level);

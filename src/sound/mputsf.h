// The SoundFont music back-end, and the software synthesiser it is built on: FluidSynth
// rendering into an audio output of its own (44,100 Hz, 16-bit stereo, 512 frames). The
// system MIDI back-end uses the same synthesiser when the platform has no MIDI device.
#pragma once

#include <cstdint>

struct SOFTSYNTH {
    void* settings;  // fluid_settings_t
    void* synth;     // fluid_synth_t
    uint32_t device; // its SDL audio output, 0 when none
    bool paused;
};

// The distribution's General MIDI SoundFont, or null when none is installed.
const char* SYN_DefaultSoundFont(void);
// Creates the synthesiser and loads the SoundFont; false when the file cannot be loaded.
bool SYN_Open(SOFTSYNTH* syn, const char* path, int rate);
// Opens the synthesiser's own audio output, paused; false when it cannot be opened.
bool SYN_OpenAudio(SOFTSYNTH* syn);
void SYN_Resume(SOFTSYNTH* syn);
void SYN_Close(SOFTSYNTH* syn);
// Applies one MIDI short message (note off/on, controller, program, pitch bend).
void SYN_Message(SOFTSYNTH* syn, int status, int data1, int data2);
// Renders interleaved stereo frames (used by the audio output and offline rendering).
void SYN_Render(SOFTSYNTH* syn, int16_t* out, int frames);

// Where the SoundFont setting's file is found: the data folder, then the working directory;
// the distribution's General MIDI SoundFont when it is in neither. False when there is none.
bool TSF_FindSoundFont(const char* name, char* path, int len);
// Opens the synthesiser with the SoundFont setting's file, or the General MIDI SoundFont
// when that file cannot be loaded; false when neither loads. The file used goes to path.
bool TSF_LoadSoundFont(SOFTSYNTH* syn, const char* name, char* path, int len);

int TSF_Init(int arg);
void TSF_DeInit(void);
void TSF_KeyOff(int chan, int note);
void TSF_KeyOn(int chan, int note, int velocity);
void TSF_Controller(int chan, int ctrl, int value);
void TSF_PitchBend(int chan, int value);
void TSF_ProgramChange(int chan, int program);
void TSF_AllNotesOff(int chan, int value);

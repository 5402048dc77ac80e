#include "sound/mputsf.h"

#include <SDL.h>
#include <fluidsynth.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "game/i_system.h"
#include "game/m_misc.h"
#include "game/prefapi.h"
#include "sound/mpuwinmm.h"
#include "sound/musapi.h"

MUSIC_DEVICE mus_device_tsf = {TSF_Init,      TSF_DeInit,        nullptr,
                               TSF_KeyOff,    TSF_KeyOn,         TSF_Controller,
                               TSF_PitchBend, TSF_ProgramChange, TSF_AllNotesOff};

constexpr int kSynthRate = 44100;
constexpr int kSynthFrames = 512;

static const char* const kGMSoundFonts[] = {"/usr/share/sounds/sf2/default-GM.sf2",
                                            "/usr/share/sounds/sf2/TimGM6mb.sf2"};

static fluid_synth_t* Synth(SOFTSYNTH* syn)
{
    return static_cast<fluid_synth_t*>(syn->synth);
}

const char* SYN_DefaultSoundFont(void)
{
    for (const char* p : kGMSoundFonts)
        if (access(p, R_OK) == 0) return p;
    return nullptr;
}

static void QuietLog(int, const char*, void*) {}

bool SYN_Open(SOFTSYNTH* syn, const char* path, int rate)
{
    *syn = SOFTSYNTH{};
    // FluidSynth reports missing files and drivers it does not use on its own; the game
    // says what matters itself.
    fluid_set_log_function(FLUID_WARN, QuietLog, nullptr);
    fluid_set_log_function(FLUID_INFO, QuietLog, nullptr);
    fluid_set_log_function(FLUID_DBG, QuietLog, nullptr);
    fluid_set_log_function(FLUID_ERR, QuietLog, nullptr);
    fluid_settings_t* settings = new_fluid_settings();
    if (!settings) return false;
    fluid_settings_setnum(settings, "synth.sample-rate", rate);
    fluid_settings_setint(settings, "synth.threadsafe-api", 1);
    fluid_synth_t* synth = new_fluid_synth(settings);
    if (!synth || !path || fluid_synth_sfload(synth, path, 1) == FLUID_FAILED) {
        if (synth) delete_fluid_synth(synth);
        delete_fluid_settings(settings);
        return false;
    }
    syn->settings = settings;
    syn->synth = synth;
    syn->paused = true;
    return true;
}

void SYN_Render(SOFTSYNTH* syn, int16_t* out, int frames)
{
    if (!syn->synth) {
        SDL_memset(out, 0, static_cast<size_t>(frames) * 4);
        return;
    }
    fluid_synth_write_s16(Synth(syn), frames, out, 0, 2, out, 1, 2);
}

static void SDLCALL SYN_Callback(void* userdata, Uint8* stream, int len)
{
    SYN_Render(static_cast<SOFTSYNTH*>(userdata), reinterpret_cast<int16_t*>(stream), len / 4);
}

bool SYN_OpenAudio(SOFTSYNTH* syn)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) return false;
    SDL_AudioSpec want, have;
    SDL_zero(want);
    want.freq = kSynthRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kSynthFrames;
    want.callback = SYN_Callback;
    want.userdata = syn;
    syn->device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!syn->device) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    syn->paused = true;
    return true;
}

void SYN_Resume(SOFTSYNTH* syn)
{
    if (syn->device && syn->paused) {
        SDL_PauseAudioDevice(syn->device, 0);
        syn->paused = false;
    }
}

void SYN_Close(SOFTSYNTH* syn)
{
    if (syn->device) {
        SDL_CloseAudioDevice(syn->device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    if (syn->synth) delete_fluid_synth(Synth(syn));
    if (syn->settings) delete_fluid_settings(static_cast<fluid_settings_t*>(syn->settings));
    *syn = SOFTSYNTH{};
}

void SYN_Message(SOFTSYNTH* syn, int status, int data1, int data2)
{
    fluid_synth_t* s = Synth(syn);
    if (!s) return;
    int ch = status & 0x0F;
    switch (status & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(s, ch, data1);
        break;
    case 0x90:
        if (data2 == 0)
            fluid_synth_noteoff(s, ch, data1);
        else
            fluid_synth_noteon(s, ch, data1, data2);
        break;
    case 0xB0:
        fluid_synth_cc(s, ch, data1, data2);
        break;
    case 0xC0:
        fluid_synth_program_change(s, ch, data1);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(s, ch, (data2 << 7) | data1);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------
// The SoundFont back-end

static SOFTSYNTH tsf_synth;
static int tsf_initcount;

bool TSF_FindSoundFont(const char* name, char* path, int len)
{
    char datapath[I_MAXPATH];
    if (name && name[0]) {
        if (I_GetPrefPath(datapath, sizeof(datapath))) {
            M_snprintf(path, len, "%s%s", datapath, name);
            if (access(path, R_OK) == 0) return true;
        }
        if (access(name, R_OK) == 0) {
            M_StringCopy(path, name, len);
            return true;
        }
    }
    const char* gm = SYN_DefaultSoundFont();
    if (!gm) return false;
    M_StringCopy(path, gm, len);
    return true;
}

bool TSF_LoadSoundFont(SOFTSYNTH* syn, const char* name, char* path, int len)
{
    if (TSF_FindSoundFont(name, path, len) && SYN_Open(syn, path, kSynthRate)) return true;
    // A file that is there but is no SoundFont: the General MIDI one still plays.
    const char* gm = SYN_DefaultSoundFont();
    if (!gm || strcmp(gm, path) == 0 || !SYN_Open(syn, gm, kSynthRate)) return false;
    M_StringCopy(path, gm, len);
    return true;
}

int TSF_Init(int)
{
    if (tsf_initcount++ > 0) return 1;
    char name[128];
    INI_GetPreference("Setup", "SoundFont", name, 127, "SoundFont.sf2");
    char path[I_MAXFILEPATH] = "";
    if (!TSF_LoadSoundFont(&tsf_synth, name, path, sizeof(path))) {
        char msg[700];
        M_snprintf(msg, sizeof(msg), "Could not load %s\n", name);
        fputs(msg, stderr);
        I_ErrorBox("Vultar", msg);
        exit(0);
    }
    if (!SYN_OpenAudio(&tsf_synth)) {
        fputs("Could not open the audio hardware or the desired audio output format\n", stderr);
        exit(0);
    }
    return 1;
}

void TSF_DeInit(void)
{
    if (tsf_initcount <= 0 || --tsf_initcount > 0) return;
    SYN_Close(&tsf_synth);
}

void TSF_KeyOff(int chan, int note)
{
    SYN_Message(&tsf_synth, 0x80 | MPU_MapChannel(chan), note & 0x7F, 64);
}

void TSF_KeyOn(int chan, int note, int velocity)
{
    SYN_Message(&tsf_synth, 0x90 | MPU_MapChannel(chan), note & 0x7F, velocity & 0x7F);
}

void TSF_Controller(int chan, int ctrl, int value)
{
    SYN_Resume(&tsf_synth);
    int mapped = MPU_MapController(ctrl);
    if (mapped < 0) return;
    SYN_Message(&tsf_synth, 0xB0 | MPU_MapChannel(chan), mapped, value & 0x7F);
}

void TSF_PitchBend(int chan, int value)
{
    value &= 0xFF;
    SYN_Message(&tsf_synth, 0xE0 | MPU_MapChannel(chan), (value & 1) * 64, value / 2);
}

void TSF_ProgramChange(int chan, int program)
{
    SYN_Message(&tsf_synth, 0xC0 | MPU_MapChannel(chan), program & 0x7F, 0);
}

void TSF_AllNotesOff(int chan, int)
{
    SYN_Message(&tsf_synth, 0xB0 | MPU_MapChannel(chan), 123, 0);
}

#include "sound/mpuwinmm.h"

#include <alsa/asoundlib.h>

#include <cstdio>

#include "game/prefapi.h"
#include "sound/mputsf.h"
#include "sound/musapi.h"

MUSIC_DEVICE mus_device_winmm = {MPU_Init,      MPU_DeInit,        nullptr,
                                 MPU_KeyOff,    MPU_KeyOn,         MPU_Controller,
                                 MPU_PitchBend, MPU_ProgramChange, MPU_AllNotesOff};

static int mpu_initcount;
static bool mpu_open;
static snd_seq_t* mpu_seq;
static int mpu_port = -1;
static SOFTSYNTH mpu_synth;
static bool mpu_soft;
static void (*mpu_hook)(int, int, int);

constexpr int kSoftRate = 44100;

int MPU_MapChannel(int chan)
{
    chan &= 15;
    if (chan == MUS_PERCUSSION) return 9;
    if (chan >= 9) return chan + 1;
    return chan;
}

int MPU_MapController(int ctrl)
{
    static constexpr int kMap[15] = {0, 0, 1, 7, 10, 11, 91, 93, 64, 67, 120, 123, -1, -1, 121};
    if (ctrl < 0 || ctrl > 14) return -1;
    return kMap[ctrl];
}

void MPU_SetMessageHook(void (*hook)(int, int, int))
{
    mpu_hook = hook;
}

static void SilentAlsaError(const char*, int, const char*, int, const char*, ...) {}

// Connects to the configured sequencer port; false when it is not there.
static bool MPU_OpenAlsa(int client, int port)
{
    snd_lib_error_set_handler(SilentAlsaError);
    if (snd_seq_open(&mpu_seq, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) {
        mpu_seq = nullptr;
        return false;
    }
    snd_seq_set_client_name(mpu_seq, "Vultar");
    snd_seq_port_info_t* info;
    snd_seq_port_info_alloca(&info);
    bool ok = snd_seq_get_any_port_info(mpu_seq, client, port, info) >= 0;
    if (ok) {
        mpu_port = snd_seq_create_simple_port(
            mpu_seq, "Vultar music", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
            SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
        ok = mpu_port >= 0 && snd_seq_connect_to(mpu_seq, mpu_port, client, port) >= 0;
    }
    if (!ok) {
        snd_seq_close(mpu_seq);
        mpu_seq = nullptr;
        mpu_port = -1;
    }
    return ok;
}

static void MPU_SendAlsa(int status, int d1, int d2)
{
    snd_seq_event_t ev;
    snd_seq_ev_clear(&ev);
    snd_seq_ev_set_source(&ev, mpu_port);
    snd_seq_ev_set_subs(&ev);
    snd_seq_ev_set_direct(&ev);
    int ch = status & 0x0F;
    switch (status & 0xF0) {
    case 0x80:
        snd_seq_ev_set_noteoff(&ev, ch, d1, d2);
        break;
    case 0x90:
        snd_seq_ev_set_noteon(&ev, ch, d1, d2);
        break;
    case 0xB0:
        snd_seq_ev_set_controller(&ev, ch, d1, d2);
        break;
    case 0xC0:
        snd_seq_ev_set_pgmchange(&ev, ch, d1);
        break;
    case 0xE0:
        snd_seq_ev_set_pitchbend(&ev, ch, ((d2 << 7) | d1) - 8192);
        break;
    default:
        return;
    }
    snd_seq_event_output_direct(mpu_seq, &ev);
}

static void MPU_Send(int status, int d1, int d2)
{
    if (mpu_hook) {
        mpu_hook(status, d1, d2);
        return;
    }
    if (!mpu_open) return;
    if (mpu_seq) {
        MPU_SendAlsa(status, d1, d2);
    } else if (mpu_soft) {
        SYN_Resume(&mpu_synth);
        SYN_Message(&mpu_synth, status, d1, d2);
    }
}

int MPU_Init(int)
{
    if (mpu_initcount++ > 0) return mpu_open ? 1 : 0;
    int client = INI_GetPreferenceLong("Setup", "alsa_output_client", 128);
    int port = INI_GetPreferenceLong("Setup", "alsa_output_port", 0);
    if (MPU_OpenAlsa(client, port)) {
        printf("MIDI output: ALSA sequencer port %d:%d\n", client, port);
        mpu_open = true;
        return 1;
    }
    // No synthesiser on that port: the built-in one plays the music, as the default MIDI
    // device does on other systems.
    const char* font = SYN_DefaultSoundFont();
    if (font && SYN_Open(&mpu_synth, font, kSoftRate) && SYN_OpenAudio(&mpu_synth)) {
        printf("MIDI output: software synthesiser (%s)\n", font);
        mpu_soft = true;
        mpu_open = true;
        return 1;
    }
    SYN_Close(&mpu_synth);
    printf("MIDI output: none available, music is silent\n");
    return 0;
}

void MPU_DeInit(void)
{
    if (mpu_initcount <= 0 || --mpu_initcount > 0) return;
    if (mpu_seq) {
        snd_seq_close(mpu_seq);
        mpu_seq = nullptr;
        mpu_port = -1;
    }
    if (mpu_soft) SYN_Close(&mpu_synth);
    mpu_soft = false;
    mpu_open = false;
}

void MPU_KeyOff(int chan, int note)
{
    MPU_Send(0x80 | MPU_MapChannel(chan), note & 0x7F, 64);
}

void MPU_KeyOn(int chan, int note, int velocity)
{
    MPU_Send(0x90 | MPU_MapChannel(chan), note & 0x7F, velocity & 0x7F);
}

void MPU_Controller(int chan, int ctrl, int value)
{
    int mapped = MPU_MapController(ctrl);
    if (mapped < 0) return;
    MPU_Send(0xB0 | MPU_MapChannel(chan), mapped, value & 0x7F);
}

void MPU_PitchBend(int chan, int value)
{
    value &= 0xFF;
    MPU_Send(0xE0 | MPU_MapChannel(chan), (value & 1) * 64, value / 2);
}

void MPU_ProgramChange(int chan, int program)
{
    MPU_Send(0xC0 | MPU_MapChannel(chan), program & 0x7F, 0);
}

void MPU_AllNotesOff(int chan, int)
{
    MPU_Send(0xB0 | MPU_MapChannel(chan), 123, 0);
}

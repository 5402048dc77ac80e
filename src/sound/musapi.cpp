#include "sound/musapi.h"

#include <algorithm>
#include <cstdio>

#include "game/i_system.h"
#include "game/prefapi.h"
#include "sound/fx.h"
#include "sound/gssapi.h"
#include "sound/i_oplmusic.h"

int music_init;
const MUSIC_DEVICE* music_device;
int music_active;
int music_currentvol = 127;
int music_vol = 127;
int music_fading;
int music_song = -1;
int music_volume = 127;

static int music_sysmidi;
static const uint8_t* music_ptr;
static const uint8_t* music_score; // first event
static int music_cmdptr;
static int music_len;
static int music_loop;
static int music_channels;
static int music_delay;
static int music_chanvel[MUS_CHANNELS];
static int music_chanvol2[MUS_CHANNELS];
static int music_chanvol[MUS_CHANNELS];
static int music_lastvol = 127;
static int music_voltarget;
static int music_faderadd1, music_faderadd2, music_fadersteps, music_faderaccum;
static uint32_t music_timer;
static int music_cnt, music_cnt2, music_cnt3;

constexpr int kMaxVolume = 127;
constexpr int kDefaultChannelVolume = 100;

static int Min3(int a, int b, int c)
{
    int m = a < b ? a : b;
    return m < c ? m : c;
}

static int ReadLE16(const uint8_t* p)
{
    return p[0] | (p[1] << 8);
}

// ---------------------------------------------------------------------------------------
// Back-end dispatch: a missing operation is skipped.

static void DevKeyOff(int ch, int note)
{
    if (music_device && music_device->keyoff) music_device->keyoff(ch, note);
}
static void DevKeyOn(int ch, int note, int vel)
{
    if (music_device && music_device->keyon) music_device->keyon(ch, note, vel);
}
static void DevController(int ch, int ctrl, int value)
{
    if (music_device && music_device->controller) music_device->controller(ch, ctrl, value);
}
static void DevPitchBend(int ch, int value)
{
    if (music_device && music_device->pitchbend) music_device->pitchbend(ch, value);
}
static void DevProgram(int ch, int program)
{
    if (music_device && music_device->programchange) music_device->programchange(ch, program);
}
static void DevAllNotesOff(int ch, int value)
{
    if (music_device && music_device->allnotesoff) music_device->allnotesoff(ch, value);
}

// ---------------------------------------------------------------------------------------
// Choosing the back-end

const MUSIC_DEVICE* MUS_DeviceForCard(int card)
{
    switch (card) {
    case 2:
    case 4:
    case 5:
        return &mus_device_opl;
    case 1:
    case 3:
    case 6:
    case 7:
    case 8:
    case 9:
        return music_sysmidi ? &mus_device_winmm : &mus_device_tsf;
    default:
        return nullptr;
    }
}

void MUS_Configure(void)
{
    music_volume = INI_GetPreferenceLong("Music", "Volume", kMaxVolume);
    int card = INI_GetPreferenceLong("Music", "CardType", 0);
    music_sysmidi = INI_GetPreferenceLong("Setup", "sys_midi", 0);
    if (card < 0 || card >= SND_NUMCARDS) card = 0;
    if (card == 2 || card == 4 || card == 5) LoadInstrumentTable();
    printf("Music Enabled (%s)\n", cards[card]);
    if (card != 0) {
        MUS_Init(card, 0);
        MUS_SetVolume(music_volume);
    }
}

void MUS_InitDevice(const MUSIC_DEVICE* device, int arg)
{
    if (music_init) return;
    SND_Lock();
    music_cnt = music_cnt2 = music_cnt3 = 0;
    music_active = 0;
    music_ptr = nullptr;
    music_score = nullptr;
    music_fading = 0;
    music_device = device;
    if (music_device) {
        if (music_device->init) music_device->init(arg);
        DevAllNotesOff(0, 0);
    }
    music_init = 1;
    music_timer = I_GetTicks();
    SND_Unlock();
}

void MUS_Init(int card, int arg)
{
    if (music_init) return;
    MUS_InitDevice(MUS_DeviceForCard(card), arg);
}

void MUS_DeInit(void)
{
    if (!music_init) return;
    SND_Lock();
    music_active = 0;
    music_ptr = nullptr;
    for (int ch = 0; ch < MUS_CHANNELS; ch++)
        DevAllNotesOff(ch, 0);
    const MUSIC_DEVICE* dev = music_device;
    music_device = nullptr;
    music_init = 0;
    SND_Unlock();
    if (dev && dev->deinit) dev->deinit();
}

// ---------------------------------------------------------------------------------------
// Songs

bool MUS_CheckSong(const uint8_t* song, int size)
{
    if (!song || size < MUS_HEADERSIZE) return false;
    int start = ReadLE16(song + 6);
    int len = ReadLE16(song + 4);
    return start >= MUS_HEADERSIZE && len > 0 && start + len <= size;
}

static void MUS_Reset(void)
{
    music_cmdptr = 0;
    if (music_vol > music_currentvol || !music_fading) music_vol = music_currentvol;
    for (int ch = 0; ch < MUS_CHANNELS; ch++) {
        music_chanvol2[ch] = kDefaultChannelVolume;
        music_chanvol[ch] = kDefaultChannelVolume;
        if (ch < music_channels || ch == MUS_PERCUSSION) {
            DevController(ch, MUS_CTRL_RESET, 0);
            // Remember what was really sent, so a later volume change is not mistaken for
            // no change.
            int v = Min3(music_currentvol, music_vol, kDefaultChannelVolume);
            DevController(ch, MUS_CTRL_VOLUME, v);
            music_chanvol[ch] = v;
        }
        DevAllNotesOff(ch, 0);
    }
}

static void MUS_StopNow(void)
{
    music_active = 0;
    music_fading = 0;
    for (int ch = 0; ch < MUS_CHANNELS; ch++) {
        DevController(ch, MUS_CTRL_SOUNDSOFF, 0);
        DevController(ch, MUS_CTRL_NOTESOFF, 0);
        DevAllNotesOff(ch, 0);
    }
    music_ptr = nullptr;
    music_score = nullptr;
}

void MUS_PlaySong(const uint8_t* song, int loop, int fadein)
{
    if (!music_device || !song) return;
    SND_Lock();
    if (music_active) MUS_StopNow();
    music_ptr = song;
    music_len = ReadLE16(song + 4);
    music_score = song + ReadLE16(song + 6);
    music_channels = ReadLE16(song + 8);
    if (music_channels > MUS_CHANNELS) music_channels = MUS_CHANNELS;
    music_cmdptr = 0;
    music_loop = loop;
    music_active = 1;
    music_delay = 0;
    for (int& v : music_chanvel)
        v = kMaxVolume;
    music_vol = kMaxVolume;
    music_fading = 0;
    MUS_Reset();
    if (fadein) {
        // The same curve a fade-out from full volume follows, upwards.
        music_vol = 0;
        music_voltarget = kMaxVolume;
        music_faderadd1 = 2;
        music_faderadd2 = 25;
        music_fadersteps = 127;
        music_faderaccum = -12;
        music_fading = 1;
    }
    SND_Unlock();
}

void MUS_StopSong(int fade)
{
    if (!music_device) return;
    SND_Lock();
    if (fade && music_currentvol != 0) {
        int v = music_currentvol;
        music_voltarget = 0;
        music_vol = v;
        music_faderadd1 = v / 51;
        music_faderadd2 = v % 51;
        music_fadersteps = v;
        music_faderaccum = -((v % 51) / 2);
        music_fading = 1;
    } else {
        MUS_StopNow();
    }
    SND_Unlock();
}

int MUS_SongPlaying(void)
{
    SND_Lock(); // the fader on the audio thread may end the song
    int playing = music_active;
    SND_Unlock();
    return playing;
}

void MUS_SetVolume(int volume)
{
    if (volume < 0) volume = 0;
    if (volume > kMaxVolume) volume = kMaxVolume;
    SND_Lock();
    music_currentvol = volume;
    SND_Unlock();
}

// ---------------------------------------------------------------------------------------
// The sequencer

static int MUS_NextByte(void)
{
    if (music_cmdptr >= music_len) return -1;
    return music_score[music_cmdptr++];
}

void MUS_Service(void)
{
    if (!music_active || !music_score) return;
    if (music_delay > 0 && --music_delay > 0) return;

    int restarts = 0;
    for (;;) {
        int ev = MUS_NextByte();
        // Running off the score counts as its end.
        int type = ev < 0 ? MUS_EV_END : (ev >> 4) & 7;
        int ch = ev < 0 ? 0 : ev & 15;
        switch (type) {
        case MUS_EV_RELEASE: {
            int note = MUS_NextByte();
            if (note >= 0) DevKeyOff(ch, note & 0x7F);
            break;
        }
        case MUS_EV_PLAY: {
            int note = MUS_NextByte();
            if (note < 0) break;
            if (note & 0x80) {
                int vel = MUS_NextByte();
                if (vel >= 0) music_chanvel[ch] = vel & 0x7F;
            }
            DevKeyOn(ch, note & 0x7F, music_chanvel[ch]);
            break;
        }
        case MUS_EV_PITCH: {
            int value = MUS_NextByte();
            if (value >= 0) DevPitchBend(ch, value);
            break;
        }
        case MUS_EV_SYSTEM: {
            int ctrl = MUS_NextByte();
            if (ctrl >= 0) DevController(ch, ctrl, 0);
            break;
        }
        case MUS_EV_CONTROL: {
            int ctrl = MUS_NextByte();
            int value = MUS_NextByte();
            if (ctrl < 0 || value < 0) break;
            value &= 0x7F;
            switch (ctrl) {
            case MUS_CTRL_PROGRAM:
                DevProgram(ch, value);
                break;
            case MUS_CTRL_VOLUME: {
                music_chanvol2[ch] = value;
                int v = Min3(value, music_currentvol, music_vol);
                DevController(ch, MUS_CTRL_VOLUME, v);
                music_chanvol[ch] = v;
                break;
            }
            case MUS_CTRL_PAN:
                DevController(ch, MUS_CTRL_PAN, value);
                break;
            case MUS_CTRL_SOUNDSOFF:
            case MUS_CTRL_NOTESOFF:
                DevAllNotesOff(ch, value);
                break;
            case MUS_CTRL_RESET:
                DevAllNotesOff(ch, value);
                DevController(ch, MUS_CTRL_VOLUME,
                              Min3(music_chanvel[ch], music_currentvol, music_vol));
                break;
            default:
                break;
            }
            break;
        }
        case MUS_EV_END:
            // A looping score without any delay would restart for ever within one tick.
            if (!music_loop || ++restarts > 1) {
                music_active = 0;
                return;
            }
            MUS_Reset();
            continue;
        default:
            break;
        }
        if (ev & 0x80) {
            int delay = 0;
            for (int n = 0; n < 4; n++) {
                int b = MUS_NextByte();
                if (b < 0) break;
                delay = (delay << 7) | (b & 0x7F);
                if (!(b & 0x80)) break;
            }
            if (delay > 0) {
                music_delay = delay;
                return;
            }
        }
    }
}

// ---------------------------------------------------------------------------------------
// The fader

static void MUS_UpdateVolumes(void)
{
    for (int ch = 0; ch < MUS_CHANNELS; ch++) {
        if (ch >= music_channels && ch != MUS_PERCUSSION) continue;
        int v = music_currentvol;
        if (music_fading && music_vol < v) v = music_vol;
        if (ch != MUS_PERCUSSION && music_chanvol2[ch] < v) v = music_chanvol2[ch];
        if (v != music_chanvol[ch]) {
            DevController(ch, MUS_CTRL_VOLUME, v);
            music_chanvol[ch] = v;
        }
    }
}

void MUS_ServiceFader(void)
{
    if (music_currentvol != music_lastvol) {
        music_lastvol = music_currentvol;
        if (!music_fading) {
            MUS_UpdateVolumes();
            return;
        }
    } else if (!music_fading) {
        return;
    }

    if (music_vol < music_currentvol || music_voltarget < music_currentvol) {
        music_faderaccum += music_faderadd2;
        int step = music_faderadd1;
        if (music_faderaccum >= music_fadersteps) {
            step++;
            music_faderaccum -= music_fadersteps;
        }
        if (step != 0) {
            if (music_voltarget < music_vol) {
                music_vol -= step;
                if (music_vol <= 0) {
                    // The fade-out is over: the song ends here.
                    music_vol = 0;
                    music_active = 0;
                    music_fading = 0;
                    for (int ch = 0; ch < MUS_CHANNELS; ch++) {
                        DevController(ch, MUS_CTRL_SOUNDSOFF, 0);
                        DevController(ch, MUS_CTRL_NOTESOFF, 0);
                    }
                    music_ptr = nullptr;
                    music_score = nullptr;
                    return;
                }
                if (music_vol <= music_voltarget) {
                    music_vol = music_voltarget;
                    music_fading = 0;
                }
            } else {
                music_vol += step;
                if (music_vol >= music_voltarget) {
                    music_vol = music_voltarget;
                    music_fading = 0;
                }
                if (music_vol >= music_currentvol) {
                    music_vol = music_currentvol;
                    music_fading = 0;
                }
            }
        }
    }
    MUS_UpdateVolumes();
}

// ---------------------------------------------------------------------------------------
// Clocks

// Frames until a clock standing at cnt, adding rate each frame, reaches the output rate.
static int FramesToClock(int cnt, int rate)
{
    int left = fx_freq - cnt;
    return left <= 0 ? 1 : (left + rate - 1) / rate;
}

void MUS_Mix(int16_t* buffer, int frames)
{
    if (!music_device || !music_device->mix) return;
    // The back-end renders the frames up to the next tick of any clock in one go. Each
    // tick still comes after the very frame it would follow were the frames rendered one
    // by one, so events land on exact samples.
    for (int f = 0; f < frames;) {
        int run = std::min(frames - f, FramesToClock(music_cnt, MUS_TICKRATE));
        run = std::min(run, FramesToClock(music_cnt2, MUS_FADERRATE));
        if (gsshack) run = std::min(run, FramesToClock(music_cnt3, gssrate));
        music_device->mix(buffer + 2 * f, run);
        f += run;
        music_cnt += MUS_TICKRATE * run;
        while (music_cnt >= fx_freq) {
            music_cnt -= fx_freq;
            if (music_active) MUS_Service();
        }
        music_cnt2 += MUS_FADERRATE * run;
        while (music_cnt2 >= fx_freq) {
            music_cnt2 -= fx_freq;
            MUS_ServiceFader();
        }
        if (gsshack) {
            music_cnt3 += gssrate * run;
            while (music_cnt3 >= fx_freq) {
                music_cnt3 -= fx_freq;
                GSS_Service();
            }
        }
    }
}

void MUS_Poll(void)
{
    GSS_Poll();
    if (!music_device || music_device->mix) return;
    uint32_t now = I_GetTicks();
    while (static_cast<int32_t>(now - music_timer) > 0) {
        music_cnt += MUS_TICKRATE;
        if (music_cnt >= 1000) {
            music_cnt -= 1000;
            if (music_active) MUS_Service();
        }
        music_cnt2 += MUS_FADERRATE;
        if (music_cnt2 >= 1000) {
            music_cnt2 -= 1000;
            MUS_ServiceFader();
        }
        music_timer++;
    }
}

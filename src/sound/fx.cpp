#include "sound/fx.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "game/game.h"
#include "game/i_system.h"
#include "game/prefapi.h"
#include "gfx/i_video.h"
#include "res/glbapi.h"
#include "sound/dspapi.h"
#include "sound/gssapi.h"
#include "sound/i_oplmusic.h"
#include "sound/musapi.h"
#include "sound/opl3.h"

FX_ITEM fx_items[SND_NUMFX];
int fx_device;
int dig_flag;
int fx_channels = 1;
int fx_volume = 127;
int fx_gus;
int fx_freq = 44100;

const char cards[SND_NUMCARDS][23] = {"None",
                                      "PC Speaker",
                                      "Adlib",
                                      "Gravis Ultra Sound",
                                      "Pro Audio Spectrum",
                                      "Sound Blaster",
                                      "WaveBlaster",
                                      "Roland Sound Canvas",
                                      "General Midi",
                                      "Sound Blaster AWE 32"};

static SDL_AudioDeviceID fx_dev;
static int fx_init;
static int fx_lockdepth;

constexpr int kFxVolumeMax = 127;
constexpr int kCentre = 127;
constexpr int kPitchSpread = 40; // pitch variation: -20 .. 19 indexes

// Distances of positional effects, in pixels of the play field.
constexpr int kNearDistance = 40; // full volume up to here
constexpr int kFarDistance = 500; // quietest beyond here
constexpr int kMaxAttenuation = 127;

// The pitch variation draws from a stream of its own: whether an effect plays depends on
// the settings, the device and the audio thread, and none of that may move the wave's
// random stream, or a recorded demo would go out of step.
static uint32_t fx_pitchseed = 1;

static int SND_PitchRandom(void)
{
    fx_pitchseed = fx_pitchseed * 1103515245u + 12345u;
    return static_cast<int>((fx_pitchseed >> 16) & 0x7FFF);
}

static int ReadLE16(const uint8_t* p)
{
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}

static int32_t ReadLE32(const uint8_t* p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) |
                                (static_cast<uint32_t>(p[3]) << 24));
}

// ---------------------------------------------------------------------------------------
// The audio stream

void SND_Lock(void)
{
    if (fx_lockdepth++ == 0 && fx_dev) SDL_LockAudioDevice(fx_dev);
}

void SND_Unlock(void)
{
    if (fx_lockdepth <= 0) return;
    if (--fx_lockdepth == 0 && fx_dev) SDL_UnlockAudioDevice(fx_dev);
}

void FX_Fill(void*, uint8_t* buffer, int bytes)
{
    memset(buffer, 0, bytes);
    int16_t* out = reinterpret_cast<int16_t*>(buffer);
    int frames = bytes / 4;
    MUS_Mix(out, frames);
    GSS_Mix(out, frames);
    DSP_Mix(out, frames);
}

static void SDLCALL FX_Callback(void* userdata, Uint8* stream, int len)
{
    FX_Fill(userdata, stream, len);
}

void SND_SetFXDevice(int card, int channels)
{
    fx_device = 0;
    dig_flag = 0;
    fx_channels = 1;
    fx_gus = 0;
    if (channels < 1 || channels > DSP_MAXVOICES) channels = 2;
    switch (card) {
    case 1:
        fx_device = 1;
        break;
    case 2:
    case 6:
    case 7:
    case 8:
        fx_device = 2;
        break;
    case 3:
    case 4:
    case 5:
        fx_device = 4;
        dig_flag = 1;
        fx_channels = channels;
        fx_gus = (card == 3 && channels == 1) ? 1 : 0;
        break;
    default:
        break;
    }
}

int SND_InitSound(void)
{
    if (fx_init) return 0;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) return 0;

    SDL_AudioSpec want, have;
    SDL_zero(want);
    want.freq = 44100;
    want.format = AUDIO_S16LSB;
    want.channels = 2;
    want.samples = 512;
    want.callback = FX_Callback;
    fx_dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (!fx_dev) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return 0;
    }
    if (have.format != AUDIO_S16LSB || have.channels != 2 || have.freq <= 0) {
        SDL_CloseAudioDevice(fx_dev);
        fx_dev = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return 0;
    }
    fx_freq = have.freq;

    dig_flag = 0;
    fx_device = 0;
    // The FM chip's emulation, for the music and the tone player alike: the light one
    // unless [Music] opl_exact asks for the exact one, at about twice the cost.
    OPL_SetEngine(INI_GetPreferenceBool("Music", "opl_exact", 0) ? OPL_ENGINE_EXACT
                                                                 : OPL_ENGINE_LIGHT);
    MUS_Configure();

    fx_volume = INI_GetPreferenceLong("SoundFX", "Volume", kFxVolumeMax);
    int card = INI_GetPreferenceLong("SoundFX", "CardType", 0);
    int channels = INI_GetPreferenceLong("SoundFX", "Channels", 2);
    if (card < 0 || card >= SND_NUMCARDS) card = 0;
    printf("SoundFx Enabled (%s)\n", cards[card]);
    SND_SetFXDevice(card, channels);
    if (card == 2) LoadInstrumentTable();

    if (dig_flag)
        DSP_Init(fx_channels, DSP_RATE);
    else if (card == 2 || (card >= 6 && card <= 8))
        GSS_Init(card, 0);

    SDL_PauseAudioDevice(fx_dev, 0);
    fx_init = 1;
    return 1;
}

void SND_DeInit(void)
{
    if (!fx_init) return;
    SND_StopPatches();
    if (fx_dev) SDL_PauseAudioDevice(fx_dev, 1);
    GSS_DeInit();
    MUS_DeInit();
    if (fx_dev) SDL_CloseAudioDevice(fx_dev);
    fx_dev = 0;
    fx_lockdepth = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    fx_init = 0;
}

// ---------------------------------------------------------------------------------------
// The effect table

struct FX_DEF {
    const char* label;
    int priority, pitch, pitchvar, volume, game, digonly;
};

static constexpr FX_DEF fx_defs[SND_NUMFX] = {
    {"THEME_FX", 0, 128, 0, 127, 0, 1}, {"MON1_FX", 1, 128, 1, 127, 0, 1},
    {"MON2_FX", 1, 128, 1, 127, 0, 1},  {"MON3_FX", 1, 128, 1, 127, 0, 1},
    {"MON4_FX", 1, 128, 1, 127, 0, 1},  {"MON5_FX", 1, 128, 1, 127, 0, 1},
    {"MON6_FX", 1, 128, 1, 127, 0, 1},  {"VOXO_FX", 1, 128, 0, 127, 0, 1},
    {"EXPLO_FX", 1, 128, 1, 127, 1, 0}, {"EXPLO2_FX", 1, 128, 1, 127, 1, 0},
    {"BONUS_FX", 0, 128, 0, 127, 1, 0}, {"CRASH_FX", 0, 128, 0, 127, 1, 0},
    {"DOOR_FX", 0, 120, 0, 127, 0, 0},  {"FLYBY_FX", 0, 120, 0, 127, 1, 0},
    {"EGRAB_FX", 2, 128, 0, 40, 1, 0},  {"GEXPLO_FX", 2, 128, 1, 127, 1, 0},
    {"GUN_FX", 10, 125, 1, 30, 1, 0},   {"JETSND_FX", 4, 120, 0, 120, 0, 0},
    {"LASER_FX", 2, 120, 0, 50, 1, 0},  {"MISSLE_FX", 3, 120, 1, 50, 1, 0},
    {"SWEP_FX", 1, 128, 0, 127, 1, 0},  {"TURRET_FX", 1, 128, 1, 60, 1, 0},
    {"WARN_FX", 2, 128, 0, 100, 1, 0},  {"BOSS_FX", 1, 127, 0, 127, 1, 1},
    {"JETSND_FX", 1, 235, 0, 45, 0, 0}, {"JETSND_FX", 1, 65, 0, 120, 0, 0},
    {"GUN_FX", 1, 215, 1, 127, 0, 0},   {"GUN_FX", 1, 110, 1, 127, 0, 0},
    {"ESHOT_FX", 1, 100, 1, 50, 1, 0},  {"LASER_FX", 1, 70, 1, 120, 1, 0},
    {"MISSLE_FX", 2, 140, 1, 55, 1, 0}, {"ESHOT_FX", 2, 127, 1, 127, 1, 0},
    {"HIT_FX", 1, 132, 1, 127, 1, 0},   {"GUN_FX", 1, 214, 1, 100, 1, 0},
    {"ESHOT_FX", 2, 254, 0, 40, 1, 0},  {"ESHOT_FX", 2, 100, 1, 50, 1, 1},
};

static void SND_ClearTable(void)
{
    for (FX_ITEM& e : fx_items) {
        e = FX_ITEM{};
        e.item = -1;
        e.handle = -1;
        for (int32_t& h : e.earlier)
            h = -1;
    }
}

void SND_Setup(void)
{
    SND_ClearTable();
    if (fx_device == 0) return;
    for (int i = 0; i < SND_NUMFX; i++) {
        const FX_DEF& d = fx_defs[i];
        FX_ITEM& e = fx_items[i];
        e.priority = d.priority;
        e.pitch = d.pitch;
        e.pitchvar = d.pitchvar;
        e.volume = d.volume;
        e.game = d.game;
        e.digonly = d.digonly;
        e.handle = -1;
        int id = GLB_GetItemID(d.label);
        e.item = (id == -1) ? -1 : id + fx_device;
        if (e.item != -1 && GLB_ItemSize(e.item) > 0) GLB_CacheItem(e.item);
    }
}

static bool SND_ValidFX(int fx)
{
    return fx >= 0 && fx < SND_NUMFX;
}

// Whether a patch's own sizes stay inside its item, so no mixer reads past it.
static bool SND_PatchFits(const uint8_t* patch, int size)
{
    if (!patch || size < 2) return false;
    switch (ReadLE16(patch)) {
    case PATCH_DIGITAL: {
        if (size < PATCH_SAMPLES) return false;
        int32_t length = ReadLE32(patch + 4);
        return length > PATCH_LENGTH_EXTRA &&
               static_cast<int64_t>(length) - PATCH_LENGTH_EXTRA + PATCH_SAMPLES <= size;
    }
    case PATCH_TONE: {
        if (size < PATCH_TONE_STEPS) return false;
        return PATCH_TONE_STEPS + ReadLE16(patch + 2) <= size;
    }
    case PATCH_TONE_SILENT:
        return size >= 4;
    default:
        return false;
    }
}

int SFX_PlayPatch(const uint8_t* patch, int pitch, int sep, int volume, int priority)
{
    if (!patch) return -1;
    switch (ReadLE16(patch)) {
    case PATCH_DIGITAL:
        return DSP_StartPatch(patch, sep, pitch, volume, priority);
    case PATCH_TONE:
    case PATCH_TONE_SILENT:
        return GSS_PlayPatch(patch, sep, pitch, volume, priority);
    default:
        return -1;
    }
}

void SFX_StopPatch(int handle)
{
    if (handle == -1) return;
    if ((handle & 0xC000) == DSP_HANDLE_FLAG)
        DSP_StopPatch(handle);
    else if ((handle & 0xC000) == GSS_HANDLE_FLAG)
        GSS_StopPatch(handle);
}

int SFX_Playing(int handle)
{
    if (handle == -1) return 0;
    if ((handle & 0xC000) == DSP_HANDLE_FLAG) return DSP_PatchIsPlaying(handle);
    if ((handle & 0xC000) == GSS_HANDLE_FLAG) return GSS_PatchIsPlaying(handle);
    return 0;
}

// Ends one play of an entry and gives back the lock it held on the item.
static void SND_EndPlay(const FX_ITEM& e, int32_t& handle)
{
    if (handle == -1) return;
    SFX_StopPatch(handle);
    if (e.item != -1) GLB_UnlockItem(e.item);
    handle = -1;
}

// Stops every play of the entry, the earlier ones too, so no voice reads the item after
// it is unlocked.
static void SND_Release(FX_ITEM& e)
{
    SND_EndPlay(e, e.handle);
    for (int32_t& h : e.earlier)
        SND_EndPlay(e, h);
}

// Gives back the locks of the entry's plays that have ended; tells whether any still sounds.
static bool SND_Prune(FX_ITEM& e)
{
    bool sounding = false;
    for (int32_t& h : e.earlier) {
        if (h == -1) continue;
        if (SFX_Playing(h))
            sounding = true;
        else
            SND_EndPlay(e, h);
    }
    if (e.handle != -1) {
        if (SFX_Playing(e.handle))
            sounding = true;
        else
            SND_EndPlay(e, e.handle);
    }
    return sounding;
}

// Frees the plays that have ended and tells whether there is room for one more.
static bool SND_Recycle(int fx)
{
    int sounding = 0;
    for (int i = 0; i < SND_NUMFX; i++) {
        FX_ITEM& e = fx_items[i];
        bool had = e.handle != -1;
        if (SND_Prune(e) || (i == fx && had)) sounding++;
    }
    return sounding <= fx_channels + 2;
}

// Keeps the current play of an entry among its earlier ones before a new play replaces it.
static void SND_KeepEarlier(FX_ITEM& e)
{
    if (e.handle == -1) return;
    SND_Prune(e);
    if (e.handle == -1) return;
    int32_t* slot = nullptr;
    for (int32_t& h : e.earlier)
        if (h == -1) slot = &h;
    if (!slot) { // more plays than voices: the oldest must have gone already
        slot = &e.earlier[0];
        SND_EndPlay(e, *slot);
    }
    *slot = e.handle;
    e.handle = -1;
}

static void SND_Start(int fx, int sep, int volume)
{
    FX_ITEM& e = fx_items[fx];
    if (e.digonly && !dig_flag) return;
    if (e.item == -1) return;
    int pitch = e.pitch;
    if (e.pitchvar) pitch += SND_PitchRandom() % kPitchSpread - kPitchSpread / 2;

    // Every play holds its own lock on the item until it has ended or is stopped.
    uint8_t* patch = GLB_LockItem(e.item);
    int handle = -1;
    if (SND_PatchFits(patch, GLB_ItemSize(e.item)))
        handle = SFX_PlayPatch(patch, pitch, sep, volume, e.priority);
    if (handle == -1) {
        GLB_UnlockItem(e.item);
        return;
    }
    SND_KeepEarlier(e);
    e.handle = handle;
}

void SND_Patch(int fx, int sep)
{
    if (fx_volume < 1 || fx_device == 0 || !SND_ValidFX(fx)) return;
    if (!SND_Recycle(fx)) return;
    FX_ITEM& e = fx_items[fx];
    SND_Start(fx, sep, e.volume * fx_volume / kFxVolumeMax);
}

void SND_3DPatch(int fx, int x, int y)
{
    if (fx_volume < 1 || fx_device == 0 || !SND_ValidFX(fx)) return;
    if (!SND_Recycle(fx)) return;

    int dx = x - player_cx;
    int adx = dx < 0 ? -dx : dx;
    int ady = player_cy - y;
    if (ady < 0) ady = -ady;
    int d = adx + ady - (adx < ady ? adx : ady) / 2;
    int f;
    if (d < kNearDistance)
        f = kMaxAttenuation;
    else if (d > kFarDistance)
        f = 1;
    else // falls in a straight line from 127 at 40 pixels to 0 at 500
        f = kMaxAttenuation + (kMaxAttenuation * d - kMaxAttenuation * kNearDistance) /
                                  -(kFarDistance - kNearDistance);
    int sep = dx + kCentre;
    if (sep < 1) sep = 1;
    if (sep > 255) sep = 255;
    int volume = f * fx_volume / kFxVolumeMax * fx_items[fx].volume / kFxVolumeMax;
    SND_Start(fx, sep, volume);
}

int SND_IsPatchPlaying(int fx)
{
    if (!SND_ValidFX(fx) || fx_items[fx].handle == -1) return 0;
    return SFX_Playing(fx_items[fx].handle);
}

void SND_StopPatch(int fx)
{
    if (!SND_ValidFX(fx)) return;
    SND_Release(fx_items[fx]);
}

void SND_StopPatches(void)
{
    for (FX_ITEM& e : fx_items)
        SND_Release(e);
}

void SND_CacheFX(void)
{
    for (FX_ITEM& e : fx_items)
        if (e.item != -1 && GLB_ItemSize(e.item) > 0) GLB_CacheItem(e.item);
}

static void SND_CacheSet(int game)
{
    SND_StopPatches();
    for (FX_ITEM& e : fx_items)
        if (e.game == game && e.item != -1 && GLB_ItemSize(e.item) > 0) GLB_CacheItem(e.item);
}

void SND_CacheGFX(void)
{
    SND_CacheSet(1);
}

void SND_CacheIFX(void)
{
    SND_CacheSet(0);
}

void SND_FreeFX(void)
{
    SND_StopPatches();
    for (FX_ITEM& e : fx_items)
        if (e.item != -1) GLB_FreeItem(e.item);
}

// ---------------------------------------------------------------------------------------
// Songs

// Longest wait for a fade-out before the song is cut off: a fade from full volume takes
// 58 fader ticks, about 1.2 s; the rest covers a stalled audio stream.
constexpr uint32_t kFadeWaitMs = 3000;
// Pause between looks at the fade, so the wait neither spins nor keeps the audio lock busy.
constexpr uint32_t kFadePollMs = 5;

static void SND_WaitFade(void)
{
    uint32_t start = I_GetTicks();
    while (MUS_SongPlaying()) {
        I_GetEvent(); // pumps events and clocks the music
        if (I_GetTicks() - start > kFadeWaitMs) {
            MUS_StopSong(0);
            break;
        }
        I_Delay(kFadePollMs);
    }
}

void SND_PlaySong(int item, int loop, int fade)
{
    if (music_volume <= 1 || item == music_song) return;
    if (music_song != -1) {
        MUS_StopSong(fade);
        if (fade) SND_WaitFade();
        GLB_UnlockItem(music_song);
        music_song = -1;
    }
    // A song the archives lack ends the program like any missing item; a damaged one stays
    // silent.
    if (item == -1) return;
    music_song = item;
    uint8_t* song = GLB_LockItem(item);
    if (MUS_CheckSong(song, GLB_ItemSize(item))) MUS_PlaySong(song, loop, fade);
}

void SND_FadeOutSong(void)
{
    if (music_song == -1) return;
    if (MUS_SongPlaying()) {
        MUS_StopSong(1);
        SND_WaitFade();
    }
    GLB_UnlockItem(music_song);
    music_song = -1;
}

int SND_IsSongPlaying(void)
{
    return MUS_SongPlaying();
}

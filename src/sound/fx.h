// Sound effects: the audio stream, the table of 36 effects, and the song-level calls.
#pragma once

#include <cstdint>

constexpr int SND_NUMFX = 36;
constexpr int SND_NUMCARDS = 10;
// Plays of one effect that may sound at once: one per voice of the digital mixer.
constexpr int SND_MAXPLAYS = 8;

struct FX_ITEM {
    int32_t item;     // the variant for the configured device, -1 for none
    int32_t priority; // handed to the mixer
    int32_t pitch;    // 0..255, 128 = the patch's own rate
    int32_t pitchvar; // 1: vary the pitch a little at each start
    int32_t handle;   // current play, -1 when none
    int32_t volume;   // 0..127
    int32_t game;     // 1: a mission effect, 0: an interface effect
    int32_t digonly;  // 1: only on a digital device
    // Earlier plays that may still sound, -1 for none. Each play, like the current one,
    // holds a lock on the item, so the item stays in memory while any voice reads it.
    int32_t earlier[SND_MAXPLAYS - 1];
};

extern FX_ITEM fx_items[SND_NUMFX];
extern int fx_device; // item offset of the configured device's variants (0: none)
extern int dig_flag;  // the digital mixer is in use
extern int fx_channels;
extern int fx_volume;
extern int fx_gus;
extern int fx_freq; // output rate of the audio stream
extern const char cards[SND_NUMCARDS][23];

int SND_InitSound(void);
void SND_DeInit(void);
// Chooses the effect device by card type and voice count (what SND_InitSound does after
// reading the settings); the stream itself is not touched.
void SND_SetFXDevice(int card, int channels);
void SND_Setup(void);
void SND_Patch(int fx, int sep);
void SND_3DPatch(int fx, int x, int y);
int SND_IsPatchPlaying(int fx);
void SND_StopPatch(int fx);
void SND_StopPatches(void);
void SND_CacheFX(void);
void SND_CacheGFX(void);
void SND_CacheIFX(void);
void SND_FreeFX(void);
void SND_Lock(void);
void SND_Unlock(void);

// The audio callback: music, tone effects and digital effects summed into 16-bit stereo.
void FX_Fill(void* userdata, uint8_t* buffer, int bytes);

int SFX_PlayPatch(const uint8_t* patch, int pitch, int sep, int volume, int priority);
void SFX_StopPatch(int handle);
int SFX_Playing(int handle);

void SND_PlaySong(int item, int loop, int fade);
void SND_FadeOutSong(void);
int SND_IsSongPlaying(void);

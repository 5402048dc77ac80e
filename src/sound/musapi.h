// Music: songs in the game's compact event format, played by a 70 Hz sequencer through one
// of three interchangeable back-ends, with the user's volume and a fader on top.
//
// Song item (little-endian): bytes 0..3 unused, 4..5 score length (bytes of events from
// the first event on), 6..7 position of the first event, 8..9 number of primary channels.
// Each event is one byte (bit 7: a delay follows; bits 4..6: type; bits 0..3: channel, 15 is
// percussion) and its data; a delay is a big-endian run of 7-bit groups, bit 7 set on every
// byte but the last, counted in sequencer ticks.
#pragma once

#include <cstdint>

// Event types of the song format.
enum {
    MUS_EV_RELEASE = 0,
    MUS_EV_PLAY = 1,
    MUS_EV_PITCH = 2,
    MUS_EV_SYSTEM = 3,
    MUS_EV_CONTROL = 4,
    MUS_EV_END = 6,
};

// Controller numbers of the song format; the back-ends map them to their own.
enum {
    MUS_CTRL_PROGRAM = 0,
    MUS_CTRL_BANK = 1,
    MUS_CTRL_MODULATION = 2,
    MUS_CTRL_VOLUME = 3,
    MUS_CTRL_PAN = 4,
    MUS_CTRL_EXPRESSION = 5,
    MUS_CTRL_REVERB = 6,
    MUS_CTRL_CHORUS = 7,
    MUS_CTRL_SUSTAIN = 8,
    MUS_CTRL_SOFT = 9,
    MUS_CTRL_SOUNDSOFF = 10,
    MUS_CTRL_NOTESOFF = 11,
    MUS_CTRL_MONO = 12,
    MUS_CTRL_POLY = 13,
    MUS_CTRL_RESET = 14,
};

constexpr int MUS_CHANNELS = 16;
constexpr int MUS_PERCUSSION = 15;
constexpr int MUS_TICKRATE = 70;  // sequencer ticks per second
constexpr int MUS_FADERRATE = 50; // fader ticks per second
constexpr int MUS_HEADERSIZE = 10;

// A music back-end: nine operations, any of which may be null (then it is skipped). Only a
// back-end that renders into the game's own sound output has `mix`.
struct MUSIC_DEVICE {
    int (*init)(int arg);
    void (*deinit)(void);
    void (*mix)(int16_t* frame, int count);
    void (*keyoff)(int chan, int note);
    void (*keyon)(int chan, int note, int velocity);
    void (*controller)(int chan, int ctrl, int value);
    void (*pitchbend)(int chan, int value);
    void (*programchange)(int chan, int program);
    void (*allnotesoff)(int chan, int value);
};

extern MUSIC_DEVICE mus_device_opl;
extern MUSIC_DEVICE mus_device_winmm;
extern MUSIC_DEVICE mus_device_tsf;

extern int music_init;
extern const MUSIC_DEVICE* music_device;
extern int music_active;
extern int music_currentvol;
extern int music_vol;
extern int music_fading;
extern int music_song;
extern int music_volume;

// The back-end a music card type uses (card 0, or a card out of range: none).
const MUSIC_DEVICE* MUS_DeviceForCard(int card);
// Reads the music settings, loads the OPL bank when needed and starts the back-end.
void MUS_Configure(void);
void MUS_Init(int card, int arg);
// Starts the given back-end directly (once); MUS_Init uses it after choosing by card.
void MUS_InitDevice(const MUSIC_DEVICE* device, int arg);
void MUS_DeInit(void);
void MUS_PlaySong(const uint8_t* song, int loop, int fadein);
void MUS_StopSong(int fade);
int MUS_SongPlaying(void);
void MUS_SetVolume(int volume);
// Renders and clocks music, one frame at a time, inside the sound output callback.
void MUS_Mix(int16_t* buffer, int frames);
// Clocks music from the millisecond counter; called from every event pump.
void MUS_Poll(void);
// One sequencer tick and one fader tick; the clocks above call them.
void MUS_Service(void);
void MUS_ServiceFader(void);
// Whether a song item of the given size can be played safely: a full header and a score
// that lies inside the item.
bool MUS_CheckSong(const uint8_t* song, int size);

#include "setup/se_music.h"

#include <iterator>

#include "setup/se_main.h"
#include "setup/se_prefapi.h"
#include "setup/se_sound.h"

static const SE_CHOICE music_devices[] = {
    {"General Midi", SE_CARD_GENERALMIDI, nullptr},
    {"Sound Canvas", SE_CARD_CANVAS, nullptr},
    {"WaveBlaster", SE_CARD_WAVEBLASTER, nullptr},
    {"SB AWE 32", SE_CARD_AWE32, nullptr},
    {"Sound Blaster", SE_CARD_SOUNDBLASTER, nullptr},
    {"Pro Audio Spectrum", SE_CARD_PAS, nullptr},
    {"UltraSound", SE_CARD_ULTRASOUND, nullptr},
    {"Adlib", SE_CARD_ADLIB, nullptr},
    {"NONE", SE_HELD_ZERO, nullptr},
};

static void MusicMidiPortChosen(int value)
{
    if (value != SE_ABORTED) {
        se_music_midiport = value;
        se_music_baseport = 0;
    }
    SE_ChainAfterMusic();
}

static void MusicBasePortChosen(int value)
{
    if (value != SE_ABORTED) {
        se_music_baseport = value;
        se_music_midiport = 0;
    }
    SE_ChainAfterMusic();
}

static void MusicDeviceChosen(int value)
{
    if (value == SE_ABORTED) {
        SE_ChainAfterMusic();
        return;
    }
    se_musiccard = value;
    // Ports chosen for another device do not carry over.
    se_music_baseport = se_music_midiport = 0;
    SE_UpdateInfo();
    switch (value) {
    case SE_CARD_GENERALMIDI:
    case SE_CARD_CANVAS:
    case SE_CARD_WAVEBLASTER:
    case SE_CARD_AWE32:
        SE_MidiPortMenu(SE_INI_GetPreferenceLong("Music", "MidiPort", 330), MusicMidiPortChosen);
        break;
    case SE_CARD_SOUNDBLASTER:
        SE_BasePortMenu(SE_INI_GetPreferenceLong("Music", "BasePort", 220), MusicBasePortChosen);
        break;
    default:
        SE_ChainAfterMusic();
        break;
    }
}

void SE_MusicMenu(void)
{
    int current = se_musiccard                       ? se_musiccard
                  : se_cfg_musiccard == SE_CARD_NONE ? SE_HELD_ZERO
                                                     : se_cfg_musiccard;
    SE_SelectionMenu("Select Music Playback Device", music_devices,
                     static_cast<int>(std::size(music_devices)), current, MusicDeviceChosen);
}

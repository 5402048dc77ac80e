#include "setup/se_sound.h"

#include <iterator>

#include "setup/se_main.h"
#include "setup/se_prefapi.h"

static const SE_CHOICE fx_devices[] = {
    {"General Midi", SE_CARD_GENERALMIDI, nullptr},   {"Sound Canvas", SE_CARD_CANVAS, nullptr},
    {"Sound Blaster", SE_CARD_SOUNDBLASTER, nullptr}, {"Pro Audio Spectrum", SE_CARD_PAS, nullptr},
    {"UltraSound", SE_CARD_ULTRASOUND, nullptr},      {"Adlib", SE_CARD_ADLIB, nullptr},
    {"PC Speaker", SE_CARD_PCSPEAKER, nullptr},       {"NONE", SE_HELD_ZERO, nullptr},
};

static const SE_CHOICE midi_ports[] = {
    {"220", 220, nullptr}, {"230", 230, nullptr}, {"240", 240, nullptr}, {"250", 250, nullptr},
    {"300", 300, nullptr}, {"320", 320, nullptr}, {"330", 330, nullptr}, {"332", 332, nullptr},
    {"334", 334, nullptr}, {"336", 336, nullptr}, {"340", 340, nullptr}, {"360", 360, nullptr},
};

static const SE_CHOICE base_ports[] = {
    {"210", 210, nullptr}, {"220", 220, nullptr}, {"230", 230, nullptr}, {"240", 240, nullptr},
    {"250", 250, nullptr}, {"260", 260, nullptr}, {"280", 280, nullptr},
};

static const SE_CHOICE irqs[] = {
    {"2", 2, nullptr},
    {"5", 5, nullptr},
    {"7", 7, nullptr},
    {"10", 10, nullptr},
};

static const SE_CHOICE dma_channels[] = {
    {"0", SE_HELD_ZERO, nullptr},
    {"1", 1, nullptr},
    {"3", 3, nullptr},
    {"5", 5, nullptr},
    {"6", 6, nullptr},
    {"7", 7, nullptr},
};

static const SE_CHOICE channel_counts[] = {
    {"One", 1, "Will play one Digital sound effect at a time"},
    {"Two", 2, "Will play two Digital sound effects at a time"},
    {"Three", 3, "Will play three Digital sound effects at a time"},
    {"Four", 4, "Will play four Digital sound effects at a time"},
    {"Five", 5, "Will play five Digital sound effects at a time"},
    {"Six", 6, "Will play six Digital sound effects at a time"},
    {"Seven", 7, "Will play seven Digital sound effects at a time"},
    {"Eight", 8, "Will play eight Digital sound effects at a time"},
};

void SE_MidiPortMenu(int current, void (*done)(int value))
{
    SE_SelectionMenu("Available MIDI Ports", midi_ports, static_cast<int>(std::size(midi_ports)),
                     current, done);
}

void SE_BasePortMenu(int current, void (*done)(int value))
{
    SE_SelectionMenu("Available PORTs", base_ports, static_cast<int>(std::size(base_ports)),
                     current, done);
}

// Preselection: this run's choice, else what the file holds.
static int Current(int chosen, const char* key, int def)
{
    return chosen ? chosen : SE_INI_GetPreferenceLong("SoundFX", key, def);
}

static void ChannelsChosen(int value)
{
    if (value != SE_ABORTED) se_fx_channels = value;
    SE_ChainAfterSound();
}

static void ChannelsMenu(void)
{
    SE_SelectionMenu("Number of Digital Channels", channel_counts,
                     static_cast<int>(std::size(channel_counts)),
                     Current(se_fx_channels, "Channels", 4), ChannelsChosen);
}

// The Sound Blaster's settings follow one another; aborting one ends the sequence.
static void DmaChosen(int value)
{
    if (value == SE_ABORTED) {
        SE_ChainAfterSound();
        return;
    }
    se_fx_dma = value;
    ChannelsMenu();
}

static void IrqChosen(int value)
{
    if (value == SE_ABORTED) {
        SE_ChainAfterSound();
        return;
    }
    se_fx_irq = value;
    int dma = se_fx_dma ? se_fx_dma : SE_INI_GetPreferenceLong("SoundFX", "Dma", 1);
    if (dma == 0) dma = SE_HELD_ZERO;
    SE_SelectionMenu("Available DMA Channels", dma_channels,
                     static_cast<int>(std::size(dma_channels)), dma, DmaChosen);
}

static void FxBasePortChosen(int value)
{
    if (value == SE_ABORTED) {
        SE_ChainAfterSound();
        return;
    }
    se_fx_baseport = value;
    SE_SelectionMenu("Available IRQs", irqs, static_cast<int>(std::size(irqs)),
                     Current(se_fx_irq, "Irq", 7), IrqChosen);
}

static void FxMidiPortChosen(int value)
{
    if (value != SE_ABORTED) se_fx_midiport = value;
    SE_ChainAfterSound();
}

static void FxDeviceChosen(int value)
{
    if (value == SE_ABORTED) {
        SE_ChainAfterSound();
        return;
    }
    se_fxcard = value;
    // Settings chosen for another device do not carry over.
    se_fx_baseport = se_fx_midiport = se_fx_irq = se_fx_dma = se_fx_channels = 0;
    SE_UpdateInfo();
    switch (value) {
    case SE_CARD_GENERALMIDI:
    case SE_CARD_CANVAS:
        SE_MidiPortMenu(Current(0, "MidiPort", 330), FxMidiPortChosen);
        break;
    case SE_CARD_SOUNDBLASTER:
        SE_BasePortMenu(Current(0, "BasePort", 220), FxBasePortChosen);
        break;
    case SE_CARD_PAS:
    case SE_CARD_ULTRASOUND:
        ChannelsMenu();
        break;
    default:
        SE_ChainAfterSound();
        break;
    }
}

void SE_SoundMenu(void)
{
    int current = se_fxcard                       ? se_fxcard
                  : se_cfg_fxcard == SE_CARD_NONE ? SE_HELD_ZERO
                                                  : se_cfg_fxcard;
    SE_SelectionMenu("Select Sound FX Device", fx_devices, static_cast<int>(std::size(fx_devices)),
                     current, FxDeviceChosen);
}

// The setup's sound-effect device menu, and the port, interrupt, DMA channel and channel
// count menus (the port menus serve the music devices too).
#pragma once

// Opens "Select Sound FX Device"; devices that need settings lead on to their menus.
void SE_SoundMenu(void);

// "Available MIDI Ports" and "Available PORTs", with current preselected.
void SE_MidiPortMenu(int current, void (*done)(int value));
void SE_BasePortMenu(int current, void (*done)(int value));

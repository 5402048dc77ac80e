// The OPL music back-end: a MIDI-style voice driver over the emulated OPL3 chip, playing
// the instrument bank of archive 0, item 14.
//
// Bank item: an 8-byte header ("VOPL", then the melodic and the percussion count as
// little-endian int16: 128 and 47), then 175 records of 36 bytes: 128 melodic programs and
// the percussion keys 35 to 81. A record:
//
//   0      flags: bit 0 four-operator voice (both halves form one voice on a channel pair),
//          bit 1 double voice (the halves sound as two layered two-operator voices)
//   1      note played by a percussion key
//   2      fine tune of the second half in 1/64 semitone (int8)
//   3      unused
//   4..17  first half, 18..31 second half (a half is one two-operator voice):
//            +0  modulator: tremolo/vibrato/sustain/key scale/multiplier (register 0x20)
//            +1  modulator: key scale level and output level (0x40)
//            +2  modulator: attack/decay (0x60)    +3 sustain/release (0x80)
//            +4  modulator: waveform (0xE0)
//            +5..+9  the same five for the carrier
//            +10 feedback and connection (0xC0, bits 0..3)
//            +11 note offset in semitones (int8)
//            +12, +13 unused
//   32..35 unused
//
// In a four-operator voice the first half's operators are operators 1 and 2 and the second
// half's 3 and 4; the connection bits of both halves choose the algorithm.
#pragma once

#include <cstdint>

constexpr int OPLBANK_ITEM = 14;
constexpr int OPLBANK_HEADER = 8;
constexpr int OPLBANK_RECORD = 36;
constexpr int OPLBANK_MELODIC = 128;
constexpr int OPLBANK_PERCUSSION = 47;
constexpr int OPLBANK_FIRSTDRUM = 35;
constexpr int OPLBANK_SIZE =
    OPLBANK_HEADER + (OPLBANK_MELODIC + OPLBANK_PERCUSSION) * OPLBANK_RECORD;
constexpr uint8_t OPLBANK_FOUROP = 0x01;
constexpr uint8_t OPLBANK_DOUBLE = 0x02;

struct OPL_HALF {
    uint8_t mod[5]; // 0x20, 0x40, 0x60, 0x80, 0xE0
    uint8_t car[5];
    uint8_t fbconn;
    int8_t noteoffset;
};

struct OPL_INSTR {
    uint8_t flags;
    uint8_t drumnote;
    int8_t finetune;
    OPL_HALF half[2];
};

// Takes the bank from item bytes; false (and the old bank kept) when they are not a bank.
bool OPL_LoadBank(const uint8_t* data, int size);
// Loads the bank from the archives once (a missing item ends the program, as any required
// item does).
void LoadInstrumentTable(void);
const OPL_INSTR* OPL_Instrument(int program, bool percussion, int key);

int I_OPL_InitMusic(int arg);
void I_OPL_ShutdownMusic(void);
void I_OPL_Mix(int16_t* frame, int count);
void I_OPL_KeyOff(int chan, int note);
void I_OPL_KeyOn(int chan, int note, int velocity);
void I_OPL_Controller(int chan, int ctrl, int value);
void I_OPL_PitchBend(int chan, int value);
void I_OPL_ProgramChange(int chan, int program);
void I_OPL_AllNotesOff(int chan, int value);
// Voices sounding now (keyed on), for tests and the benchmark.
int I_OPL_ActiveVoices(void);

// The OPL3 FM chip: an emulated chip (two register banks, 18 two-operator channels) that
// renders stereo frames at the sound output's rate.
#pragma once

#include <cstdint>

constexpr int OPL_CHIP_RATE = 49716; // the chip's own sample rate

// Which emulation renders the chip: the light one (the default) or the exact one, which
// clocks the whole chip at its own rate and costs about twice as much with the game's
// songs. Chosen before OPL_Init.
enum { OPL_ENGINE_LIGHT, OPL_ENGINE_EXACT };
void OPL_SetEngine(int engine);
int OPL_Engine(void);

void OPL_Init(int rate);
// Register numbers 0x000..0x0FF address the first bank, 0x100..0x1FF the second.
void OPL_WriteReg(int reg, int value);
// Adds count stereo frames of the chip's output to frames (left, right, left, ...).
// A chip with every operator silent is not clocked until the next register write.
void OPL_Render(int16_t* frames, int count);
// Whether the chip is standing still, silent.
bool OPL_Idle(void);
// With skip false the silent chip is clocked all the same. Only for measuring the
// difference.
void OPL_SetSkipIdle(bool skip);

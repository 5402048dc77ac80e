// The OPL3 FM chip: an emulated chip (two register banks, 18 two-operator channels) that
// renders one stereo frame at a time at the sound output's rate.
#pragma once

#include <cstdint>

constexpr int OPL_CHIP_RATE = 49716; // the chip's own sample rate

void OPL_Init(int rate);
// Register numbers 0x000..0x0FF address the first bank, 0x100..0x1FF the second.
void OPL_WriteReg(int reg, int value);
// Adds one stereo frame of the chip's output to frame[0] (left) and frame[1] (right).
// A chip with every operator silent is not clocked until the next register write.
void OPL_Render(int16_t* frame);
// Whether the chip is standing still, silent.
bool OPL_Idle(void);
// With skip false the silent chip is clocked all the same. Only for measuring the
// difference.
void OPL_SetSkipIdle(bool skip);

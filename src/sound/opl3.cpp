#include "sound/opl3.h"

#include <cstring>

extern "C" {
#include <adplug/nukedopl.h>
}

static opl3_chip opl_chip;

// The chip stands still while every operator is silent and stays so until a register is
// written: no key is down and every envelope has run out. It then adds nothing, where
// the running chip would add a trace of a few steps; the first write starts it again.
static bool opl_idle;
static bool opl_skipidle = true;
static int opl_sincecheck;
constexpr int kIdleCheckFrames = 32; // how often a running chip is looked at
constexpr int kSilentLevel = 0x1FF;  // an envelope's full attenuation

void OPL_Init(int rate)
{
    memset(&opl_chip, 0, sizeof(opl_chip));
    OPL3_Reset(&opl_chip, static_cast<Bit32u>(rate > 0 ? rate : OPL_CHIP_RATE));
    opl_idle = false;
    opl_sincecheck = 0;
}

void OPL_WriteReg(int reg, int value)
{
    OPL3_WriteReg(&opl_chip, static_cast<Bit16u>(reg & 0x1FF), static_cast<Bit8u>(value));
    opl_idle = false;
}

static bool ChipSilent(void)
{
    for (const opl3_slot& s : opl_chip.slot)
        if (s.key || s.eg_rout < kSilentLevel) return false;
    return true;
}

void OPL_Render(int16_t* frame)
{
    if (opl_idle) return;
    Bit16s out[2];
    OPL3_GenerateResampled(&opl_chip, out);
    for (int i = 0; i < 2; i++) {
        int v = frame[i] + out[i];
        frame[i] = static_cast<int16_t>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
    }
    if (opl_skipidle && ++opl_sincecheck >= kIdleCheckFrames) {
        opl_sincecheck = 0;
        opl_idle = ChipSilent();
    }
}

bool OPL_Idle(void)
{
    return opl_idle;
}

void OPL_SetSkipIdle(bool skip)
{
    opl_skipidle = skip;
    if (!skip) opl_idle = false;
}

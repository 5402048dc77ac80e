#include "sound/opl3.h"

#include <cstring>

extern "C" {
#include <adplug/nukedopl.h>
}

static opl3_chip opl_chip;

void OPL_Init(int rate)
{
    memset(&opl_chip, 0, sizeof(opl_chip));
    OPL3_Reset(&opl_chip, static_cast<Bit32u>(rate > 0 ? rate : OPL_CHIP_RATE));
}

void OPL_WriteReg(int reg, int value)
{
    OPL3_WriteReg(&opl_chip, static_cast<Bit16u>(reg & 0x1FF), static_cast<Bit8u>(value));
}

void OPL_Render(int16_t* frame)
{
    Bit16s out[2];
    OPL3_GenerateResampled(&opl_chip, out);
    for (int i = 0; i < 2; i++) {
        int v = frame[i] + out[i];
        frame[i] = static_cast<int16_t>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
    }
}

#include "sound/opl3.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <adplug/nukedopl.h>
}
#include <adplug/woodyopl.h>

// Two emulations of the same chip. The exact one clocks every operator of the chip at its
// own rate, 49,716 times a second, and resamples to the output: faithful to the last step,
// and the heaviest part of a running game. The light one works at the output rate and only
// on the channels that sound, for about half the cost with the game's songs (less with
// fewer voices). It keeps pitch, envelopes, waveforms, four-operator voices and stereo, and
// differs from the exact chip only in the fine grain of its envelope steps and rounding.
static opl3_chip opl_exact;
static OPLChipClass opl_light;
static int opl_engine = OPL_ENGINE_LIGHT;

// The chip stands still while every operator is silent and stays so until a register is
// written: no key is down and every envelope has run out. It then adds nothing, where
// the running chip would add a trace of a few steps; the first write starts it again.
static bool opl_idle;
static bool opl_skipidle = true;
static int opl_sincecheck;
constexpr int kIdleCheckFrames = 32; // how often a running chip is looked at
constexpr int kSilentLevel = 0x1FF;  // an envelope's full attenuation of the exact chip
constexpr int kBlock = 256;          // frames the light chip renders in one go

void OPL_SetEngine(int engine)
{
    opl_engine = engine == OPL_ENGINE_EXACT ? OPL_ENGINE_EXACT : OPL_ENGINE_LIGHT;
}

int OPL_Engine(void)
{
    return opl_engine;
}

void OPL_Init(int rate)
{
    if (rate <= 0) rate = OPL_CHIP_RATE;
    if (opl_engine == OPL_ENGINE_EXACT) {
        memset(&opl_exact, 0, sizeof(opl_exact));
        OPL3_Reset(&opl_exact, static_cast<Bit32u>(rate));
    } else {
        opl_light.adlib_init(static_cast<Bit32u>(rate), 2, 2);
    }
    opl_idle = false;
    opl_sincecheck = 0;
}

void OPL_WriteReg(int reg, int value)
{
    if (opl_engine == OPL_ENGINE_EXACT)
        OPL3_WriteReg(&opl_exact, static_cast<Bit16u>(reg & 0x1FF), static_cast<Bit8u>(value));
    else
        opl_light.adlib_write(static_cast<Bitu>(reg & 0x1FF), static_cast<Bit8u>(value));
    opl_idle = false;
}

static bool ChipSilent(void)
{
    if (opl_engine == OPL_ENGINE_EXACT) {
        for (const opl3_slot& s : opl_exact.slot)
            if (s.key || s.eg_rout < kSilentLevel) return false;
        return true;
    }
    for (const op_type& op : opl_light.op)
        if (op.op_state != OF_TYPE_OFF) return false;
    return true;
}

static void AddClipped(int16_t* out, const int16_t* add, int samples)
{
    for (int i = 0; i < samples; i++) {
        int v = out[i] + add[i];
        out[i] = static_cast<int16_t>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
    }
}

void OPL_Render(int16_t* frames, int count)
{
    while (count > 0 && !opl_idle) {
        int n = std::min(count, kBlock);
        Bit16s out[2 * kBlock];
        if (opl_engine == OPL_ENGINE_EXACT) {
            for (int i = 0; i < n; i++)
                OPL3_GenerateResampled(&opl_exact, out + 2 * i);
        } else {
            opl_light.adlib_getsample(out, n);
        }
        AddClipped(frames, out, 2 * n);
        frames += 2 * n;
        count -= n;
        opl_sincecheck += n;
        if (opl_skipidle && opl_sincecheck >= kIdleCheckFrames) {
            opl_sincecheck = 0;
            opl_idle = ChipSilent();
        }
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

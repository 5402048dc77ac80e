#include "input/imsapi.h"

#include "gfx/gfxapi.h"
#include "gfx/i_video.h"
#include "gfx/ptrapi.h"
#include "input/joyapi.h"
#include "input/kbdapi.h"

// Frame ticks per unit of IMS_WaitTimed.
static constexpr int WAIT_TICKS = 55;

static void ClearAcks(void)
{
    mouse_b1_ack = mouse_b2_ack = mouse_b3_ack = 0;
    kbd_ack = 0;
    joy_ack = 0;
}

void IMS_StartAck(void)
{
    KBD_Clear();
    ClearAcks();
}

static bool Acked(void)
{
    return joy_ack || kbd_ack || mouse_b1_ack || mouse_b2_ack;
}

int IMS_CheckAck(void)
{
    I_GetEvent();
    return Acked() ? 1 : 0;
}

int IMS_IsAck(void)
{
    I_GetEvent();
    if (JOY_GetInput()) return 1;
    if (lastscan) {
        lastscan = 0;
        return 1;
    }
    return (mouseb1 || mouseb2 || mouseb3) ? 1 : 0;
}

int IMS_WaitTimed(int count)
{
    lastscan = 0;
    KBD_Clear();
    // Only presses made during the wait count: the click or key that led here must not end
    // it at once.
    ClearAcks();

    int result = 0;
    for (int i = 0; i < count * WAIT_TICKS && !result; i++) {
        int tick = GFX_GetFrameCount();
        while (GFX_GetFrameCount() == tick)
            I_GetNeedResize(0);
        I_GetEvent();
        if (Acked()) result = 1;
    }
    while (IMS_IsAck()) {
    }
    KBD_Clear();
    return result;
}

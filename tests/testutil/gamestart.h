// The start-up of the game for tests that fly waves or walk the screens: once per test
// program, on the generated archives (or a folder of archives made by the test).
#pragma once

#include "game/loadsave.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/ptrapi.h"
#include "input/input.h"
#include "input/inputtest.h"
#include "input/kbdapi.h"
#include "res/glbapi.h"
#include "sound/fx.h"
#include "testutil/testutil.h"
#include "ui/swdapi.h"

namespace vt
{

inline void StartGame(const char* data = VULTAR_BINARY_DIR "/data/")
{
    static bool started;
    if (started) return;
    started = true;
    static TempHome home;
    InitInputPlatform();
    KBD_Install();
    GFX_InitSystem();
    SWD_Install(0);
    IPT_LoadPrefs();
    control = CONTROL_KEYBOARD;
    PTR_Init(1);
    GLB_InitSystem(data, 6, nullptr);
    SND_InitSound();
    IPT_Init();
    GLB_FreeAll();
    VUL_InitMem();
    for (int& flag : gameflag)
        flag = 1;
    VUL_LoadGraphics(1);
}

} // namespace vt

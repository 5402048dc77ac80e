#include "ui/intro.h"

#include <cstring>

#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "input/imsapi.h"
#include "ui/standin.h"
#include "ui/windows.h"

void INTRO_Credits(void) {}
void INTRO_PlayMain(void) {}

// A short card instead of the cut-scene: faded in, shown a few seconds or until a press.
static int Card(const char* title, const char* line)
{
    memset(displaybuffer, 0, SCREENSIZE);
    GFX_MarkUpdate(0, 0, SCREENWIDTH, SCREENHEIGHT);
    UI_Box(title, line);
    GFX_FadeIn(palette, 16);
    int pressed = IMS_WaitTimed(3);
    GFX_FadeOut(0, 0, 0, 16);
    memset(displaybuffer, 0, SCREENSIZE);
    GFX_MarkUpdate(0, 0, SCREENWIDTH, SCREENHEIGHT);
    UI_Show();
    GFX_SetPalette(palette, 0);
    return pressed;
}

void INTRO_Landing(void)
{
    Card("MISSION COMPLETE", "RETURNING TO BASE");
}

int INTRO_Death(void)
{
    return Card("SHIP DESTROYED", "THE PILOT EJECTED");
}

void INTRO_EndGame(int game)
{
    WIN_WinGame(game);
}

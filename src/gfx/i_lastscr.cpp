#include "gfx/i_lastscr.h"

#include <algorithm>
#include <cstring>

#include "gfx/i_video.h"
#include "textui/txt_main.h"

void I_LASTSCR(const uint8_t* cells, size_t size)
{
    if (!cells) return;
    // Without a display there is nothing to show; shutting down goes on regardless.
    if (!TXT_Init(txt_fullscreen)) return;
    TXT_SetWindowTitle("Vultar 0.8.2");
    // Keys pressed while the game faded out must not dismiss the screen unseen.
    TXT_FlushInput();

    uint8_t* screen = TXT_GetScreenData();
    memset(screen, 0, TXT_SCREEN_BYTES);
    memcpy(screen, cells, std::min<size_t>(size, TXT_SCREEN_BYTES));

    for (;;) {
        TXT_UpdateScreen();
        TXT_Sleep(0);
        int c = TXT_GetChar();
        // Any key, mouse or controller button, or closing the window, ends it.
        if (c > 0) break;
    }
    TXT_Shutdown();
}

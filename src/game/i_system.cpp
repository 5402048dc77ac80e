#include "game/i_system.h"

#include <SDL.h>

#include "game/m_misc.h"

static uint32_t SystemTicks(void)
{
    return SDL_GetTicks();
}

static void SystemDelay(uint32_t ms)
{
    SDL_Delay(ms);
}

static const I_CLOCK systemclock = {SystemTicks, SystemDelay};
static const I_CLOCK* clock_now = &systemclock;

uint32_t I_GetTicks(void)
{
    return clock_now->ticks();
}

void I_Delay(uint32_t ms)
{
    clock_now->delay(ms);
}

void I_SetClock(const I_CLOCK* clock)
{
    clock_now = clock ? clock : &systemclock;
}

bool I_IsSystemClock(void)
{
    return clock_now == &systemclock;
}

bool I_GetPrefPath(char* buf, size_t len)
{
    char* path = SDL_GetPrefPath("", "Vultar");
    if (!path) return false;
    bool fits = M_StringCopy(buf, path, len);
    SDL_free(path);
    return fits;
}

bool I_ErrorBox(const char* title, const char* text)
{
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, nullptr) == 0;
}

void I_Quit(void)
{
    SDL_Quit();
}

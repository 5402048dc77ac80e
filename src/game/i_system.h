// Platform services of the game core: the clock seam, the per-user folder, message boxes.
// Game logic reads time only through I_GetTicks, so tests and the timedemo can drive it.
#pragma once

#include <cstddef>
#include <cstdint>

// A replacement clock: ticks() gives milliseconds, delay(ms) lets that much time pass.
struct I_CLOCK {
    uint32_t (*ticks)(void);
    void (*delay)(uint32_t ms);
};

uint32_t I_GetTicks(void);
void I_Delay(uint32_t ms);
// Installs a replacement clock; null puts the system clock back.
void I_SetClock(const I_CLOCK* clock);
bool I_IsSystemClock(void);

// The per-user data folder (with its trailing separator); false when the platform has none.
bool I_GetPrefPath(char* buf, size_t len);
// Shows an error message box; false when no box could be shown (no display).
bool I_ErrorBox(const char* title, const char* text);
// Shuts every platform subsystem down.
void I_Quit(void);

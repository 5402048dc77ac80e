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

// Room for the longest folder path the game works with, terminator included. Every buffer
// that holds the data folder, or a file name inside it, is sized from this one limit.
constexpr size_t I_MAXPATH = 4096;
// Room for a file name of the game's own inside such a folder.
constexpr size_t I_MAXFILEPATH = I_MAXPATH + 64;

// The per-user data folder (with its trailing separator); false when the platform has none
// or when it is longer than I_MAXPATH allows.
bool I_GetPrefPath(char* buf, size_t len);
// Replaces the file at `path` with `len` bytes without ever leaving it half written: the
// bytes go to a temporary file beside it, which is flushed to disk and renamed over the
// old one, and the folder is flushed after the rename. A symbolic link is written through
// to the file it names; a file its owner made read-only is left alone. On any failure the
// old file stays as it was and the result is false.
bool I_ReplaceFile(const char* path, const void* data, size_t len);
// The installed game's shared data folder, "../share/vultar/" beside the folder the program
// runs from (with its trailing separator); false when the program's folder is unknown.
bool I_GetSharePath(char* buf, size_t len);
// Shows an error message box; false when no box could be shown (no display).
bool I_ErrorBox(const char* title, const char* text);
// Shuts every platform subsystem down.
void I_Quit(void);

// Screen shots for the picture tools (winshot, fxshot): the archives and drawing tables set
// up as the game has them, the frame buffer grabbed, and contact sheets of shots written as
// PNG files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gfx/gfxapi.h"

struct SHOT {
    std::string name;
    std::vector<uint8_t> pixels; // SCREENWIDTH x SCREENHEIGHT
};

// The part of the screen a contact sheet shows of each shot.
struct SHOT_AREA {
    int x = 0, y = 0, w = SCREENWIDTH, h = SCREENHEIGHT;
};

// Makes the folder `out`, opens the archives in `data` and makes the palette, the light,
// dark and grey tables. On failure says so as `tool` and returns false.
bool SHOT_Init(const char* tool, const std::string& data, const std::string& out);

// The frame buffer as it is now.
SHOT SHOT_Grab(const std::string& name);

// Writes `shots` side by side in rows of `across`, `gap` pixels apart, each `zoom` times its
// size, in the game's palette; prints the path written.
void SHOT_Save(const std::string& path, std::span<const SHOT> shots, int across, int zoom, int gap,
               SHOT_AREA area = {});

// Contact sheets of the generated artwork, as PNG files.
#pragma once

#include <string>

#include "gen.h"

void PREVIEW_Write(const std::string& dir);
// The desktop icons vultar-32.png ... vultar-256.png (32, 64, 128, 256 pixels).
void PREVIEW_WriteIcons(const std::string& dir);
// One indexed image in the game palette as an opaque PNG.
void PREVIEW_Png(const std::string& path, const Image& img);

// Contact sheets of the generated artwork, as PNG files.
#pragma once

#include <string>

void PREVIEW_Write(const std::string& dir);
// The desktop icons vultar-32.png ... vultar-256.png (32, 64, 128, 256 pixels).
void PREVIEW_WriteIcons(const std::string& dir);

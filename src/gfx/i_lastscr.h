// The closing text screen.
#pragma once

#include <cstddef>
#include <cstdint>

// Shows an 80x25 text screen (character and attribute pairs, row by row) in the text-mode
// window until a key or button is pressed. A screen shorter than the full 4000 bytes is
// shown as far as it goes; a null screen shows nothing.
void I_LASTSCR(const uint8_t* cells, size_t size = 4000);

// The closing text screen.
#pragma once

#include <cstdint>

// Shows the 80x25 closing text screen (character/attribute pairs) until a key is pressed.
void I_LASTSCR(const uint8_t* cells);

// The text-mode toolkit's font: an 8x16 bitmap for every code-page-437 character.
#pragma once

#include <array>
#include <cstdint>

constexpr int TXT_FONT_W = 8;
constexpr int TXT_FONT_H = 16;

// One glyph, top row first; bit 7 of each byte is the leftmost pixel.
using TXT_GLYPH = std::array<uint8_t, TXT_FONT_H>;

extern const std::array<TXT_GLYPH, 256> txt_font;

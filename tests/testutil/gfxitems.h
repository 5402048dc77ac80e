// Picture, sprite, font and palette items made by hand for the drawing tests, and access
// to what the screen shows.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vt
{

// A plain picture (type 1) of w x h colour indices, row by row.
std::vector<uint8_t> MakePic(int w, int h, const std::vector<uint8_t>& pixels);
// A sprite of the non-zero pixels of a w x h grid: one run per horizontal stretch.
std::vector<uint8_t> MakeSprite(int w, int h, const std::vector<uint8_t>& pixels);
// A w x h grid whose pixel (x, y) is f(x, y).
template <typename F> std::vector<uint8_t> Grid(int w, int h, F f)
{
    std::vector<uint8_t> g(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            g[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(f(x, y));
    return g;
}

struct GLYPH {
    int width = -1;              // -1: no glyph for this code (the width table holds 0)
    std::vector<uint8_t> pixels; // width x height; 0 transparent, v draws colour + v - 1
};
std::vector<uint8_t> MakeFont(int height, const std::vector<GLYPH>& glyphs /* by code */);
// A readable 5x7 font of capitals, digits and some punctuation; `scale` 2 doubles it and
// gives the glyphs a lighter top half (pixel values 1 and 2).
std::vector<uint8_t> MakeBlockFont(int scale);

// A 6-bit palette: 16 ramps of 15 steps (entries 0..239) and 16 special colours above.
std::vector<uint8_t> MakeRampPalette();

// Writes one frame-delta item over `screen`, a decoder independent of the game's own: records
// of marker, unread word, position, length and the bytes, until a zero marker. A first frame's
// fill byte is not part of `d` (pass the item from its second byte).
void ApplyDelta(std::vector<uint8_t>& screen, std::span<const uint8_t> d);

// The frame buffer pixel at (x, y).
uint8_t Px(int x, int y);
// How many frame buffer pixels differ from colour c.
int CountNot(uint8_t c);

// FNV-1a over the presented picture and its palette.
uint64_t HashPresented();
// Saves the presented picture as a PNG; false on failure.
bool SavePresented(const std::string& path);

} // namespace vt

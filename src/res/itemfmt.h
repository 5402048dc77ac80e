// Building and checking the bytes of archive items: pictures, sprites, fonts, palettes,
// maps, tile attributes and the closing text screen. The data-set generator builds with
// these, and the checks walk an item the way its reader will, refusing anything that
// would make the reader step outside the item.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

constexpr int ITEM_PICHEADER = 20;    // type, two unused words, width, height
constexpr int ITEM_PIC_SPRITE = 0;    // picture type of a run-length sprite
constexpr int ITEM_PIC_PLAIN = 1;     // picture type of a plain picture
constexpr int ITEM_RUNHEADER = 16;    // x, y, screen offset, length
constexpr int ITEM_SCREENWIDTH = 320; // sprite runs carry their offset in a screen this wide
constexpr int ITEM_PALETTESIZE = 768;
constexpr int ITEM_FONTHEADER = 772; // height, 256 glyph offsets, 256 widths
constexpr int ITEM_MAPCOLS = 9;
constexpr int ITEM_MAPROWS = 150;
constexpr int ITEM_MAPHEADER = 12;
constexpr int ITEM_MAPCELLS = ITEM_MAPCOLS * ITEM_MAPROWS;
constexpr int ITEM_MAPPLACEMENTS = ITEM_MAPHEADER + 4 * ITEM_MAPCELLS; // 5412
constexpr int ITEM_PLACEMENTSIZE = 24;
constexpr int ITEM_FLATSIZE = 8;
constexpr int ITEM_TILESIZE = 32;
constexpr int ITEM_TEXTSCREENSIZE = 80 * 25 * 2;
constexpr int ITEM_ENEMYSIZE = 528;

// A plain picture of w x h colour indices, row by row.
std::vector<uint8_t> ITEM_MakePicture(int w, int h, std::span<const uint8_t> pixels);
// A sprite of the non-zero pixels of a w x h picture: one run per horizontal stretch of
// visible pixels, rows from the top, closed by the end mark. Empty when the picture is
// too big for the runs' 16-bit screen offsets (wider than 320 or taller than 204).
std::vector<uint8_t> ITEM_MakeSprite(int w, int h, std::span<const uint8_t> pixels);

struct ITEM_GLYPH {
    int width = -1;              // -1: the font has no glyph for this code
    std::vector<uint8_t> pixels; // width x height values, 0 transparent, v >= 1 colour + v - 1
};
// A font of 256 codes; codes without a glyph keep the width given (it still counts when
// text is measured). Empty when the glyphs need more than the 32767 bytes that 16-bit
// offsets reach.
std::vector<uint8_t> ITEM_MakeFont(int height, std::span<const ITEM_GLYPH, 256> glyphs);

// Little-endian access used by the builders and the checks.
int32_t ITEM_Long(std::span<const uint8_t> item, size_t at);
int16_t ITEM_Short(std::span<const uint8_t> item, size_t at);
void ITEM_PutLong(std::vector<uint8_t>& item, size_t at, int32_t v);
void ITEM_PutShort(std::vector<uint8_t>& item, size_t at, int16_t v);
void ITEM_AddLong(std::vector<uint8_t>& item, int32_t v);
void ITEM_AddShort(std::vector<uint8_t>& item, int16_t v);

// Each check returns nullptr for a sound item, else what is wrong with it.
const char* ITEM_CheckPalette(std::span<const uint8_t> item);
// Any picture: a plain one must hold all its pixels, a sprite a well-formed run list.
const char* ITEM_CheckPicture(std::span<const uint8_t> item);
// A sprite: runs in rising rows, each inside the sprite's box and the item, offsets that
// match their x and y, and the end mark.
const char* ITEM_CheckSprite(std::span<const uint8_t> item);
const char* ITEM_CheckPlain(std::span<const uint8_t> item, int w, int h);
const char* ITEM_CheckFont(std::span<const uint8_t> item);
// Tile attributes for a set of `tiles` pictures: wrecks inside the set, hit points >= 0.
const char* ITEM_CheckFlats(std::span<const uint8_t> item, int tiles);
// A map whose cells use set `set` with `tiles` pictures and whose placements name enemy
// types of library `set` below `types`.
const char* ITEM_CheckMap(std::span<const uint8_t> item, int set, int tiles, int types);
const char* ITEM_CheckTextScreen(std::span<const uint8_t> item);

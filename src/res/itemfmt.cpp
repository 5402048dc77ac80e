#include "res/itemfmt.h"

#include <algorithm>
#include <cstring>

int32_t ITEM_Long(std::span<const uint8_t> item, size_t at)
{
    uint32_t v = static_cast<uint32_t>(item[at]) | static_cast<uint32_t>(item[at + 1]) << 8 |
                 static_cast<uint32_t>(item[at + 2]) << 16 |
                 static_cast<uint32_t>(item[at + 3]) << 24;
    return static_cast<int32_t>(v);
}

int16_t ITEM_Short(std::span<const uint8_t> item, size_t at)
{
    return static_cast<int16_t>(item[at] | item[at + 1] << 8);
}

void ITEM_PutLong(std::vector<uint8_t>& item, size_t at, int32_t v)
{
    uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; i++)
        item[at + i] = static_cast<uint8_t>(u >> (8 * i));
}

void ITEM_PutShort(std::vector<uint8_t>& item, size_t at, int16_t v)
{
    uint16_t u = static_cast<uint16_t>(v);
    item[at] = static_cast<uint8_t>(u);
    item[at + 1] = static_cast<uint8_t>(u >> 8);
}

void ITEM_AddLong(std::vector<uint8_t>& item, int32_t v)
{
    item.resize(item.size() + 4);
    ITEM_PutLong(item, item.size() - 4, v);
}

void ITEM_AddShort(std::vector<uint8_t>& item, int16_t v)
{
    item.resize(item.size() + 2);
    ITEM_PutShort(item, item.size() - 2, v);
}

static std::vector<uint8_t> PictureHeader(int type, int w, int h)
{
    std::vector<uint8_t> out;
    ITEM_AddLong(out, type);
    ITEM_AddLong(out, 0);
    ITEM_AddLong(out, 0);
    ITEM_AddLong(out, w);
    ITEM_AddLong(out, h);
    return out;
}

std::vector<uint8_t> ITEM_MakePicture(int w, int h, std::span<const uint8_t> pixels)
{
    std::vector<uint8_t> out = PictureHeader(ITEM_PIC_PLAIN, w, h);
    out.insert(out.end(), pixels.begin(), pixels.begin() + static_cast<size_t>(w) * h);
    return out;
}

std::vector<uint8_t> ITEM_MakeSprite(int w, int h, std::span<const uint8_t> pixels)
{
    // Readers take only the low 16 bits of a run's screen offset.
    if (w < 1 || h < 1 || w > ITEM_SCREENWIDTH || (h - 1) * ITEM_SCREENWIDTH + w > 65535) return {};
    std::vector<uint8_t> out = PictureHeader(ITEM_PIC_SPRITE, w, h);
    for (int y = 0; y < h; y++) {
        const uint8_t* row = &pixels[static_cast<size_t>(y) * w];
        int x = 0;
        while (x < w) {
            if (row[x] == 0) {
                x++;
                continue;
            }
            int start = x;
            while (x < w && row[x] != 0)
                x++;
            ITEM_AddLong(out, start);
            ITEM_AddLong(out, y);
            ITEM_AddLong(out, y * ITEM_SCREENWIDTH + start);
            ITEM_AddLong(out, x - start);
            out.insert(out.end(), row + start, row + x);
        }
    }
    // The end mark is a whole run header, so a reader may fetch all four words of it.
    ITEM_AddLong(out, 0);
    ITEM_AddLong(out, 0);
    ITEM_AddLong(out, -1);
    ITEM_AddLong(out, 0);
    return out;
}

std::vector<uint8_t> ITEM_MakeFont(int height, std::span<const ITEM_GLYPH, 256> glyphs)
{
    std::vector<uint8_t> out(ITEM_FONTHEADER, 0);
    ITEM_PutLong(out, 0, height);
    for (int c = 0; c < 256; c++) {
        const ITEM_GLYPH& g = glyphs[c];
        out[516 + c] = static_cast<uint8_t>(std::clamp(g.width, 0, 127));
        if (g.width < 0 || g.pixels.empty()) {
            ITEM_PutShort(out, 4 + 2 * c, -1);
            continue;
        }
        // Glyph offsets are 16-bit and signed.
        if (out.size() - ITEM_FONTHEADER > 32767) return {};
        ITEM_PutShort(out, 4 + 2 * c, static_cast<int16_t>(out.size() - ITEM_FONTHEADER));
        out.insert(out.end(), g.pixels.begin(),
                   g.pixels.begin() + static_cast<size_t>(g.width) * height);
    }
    return out;
}

const char* ITEM_CheckPalette(std::span<const uint8_t> item)
{
    if (item.size() != ITEM_PALETTESIZE) return "palette is not 768 bytes";
    for (uint8_t c : item)
        if (c > 63) return "palette component above 63";
    return nullptr;
}

const char* ITEM_CheckPlain(std::span<const uint8_t> item, int w, int h)
{
    if (item.size() < ITEM_PICHEADER) return "picture shorter than its header";
    if (ITEM_Long(item, 0) == ITEM_PIC_SPRITE) return "picture is a sprite, not plain";
    if (ITEM_Long(item, 12) != w || ITEM_Long(item, 16) != h) return "picture has the wrong size";
    return ITEM_CheckPicture(item);
}

const char* ITEM_CheckPicture(std::span<const uint8_t> item)
{
    if (item.size() < ITEM_PICHEADER) return "picture shorter than its header";
    int32_t w = ITEM_Long(item, 12), h = ITEM_Long(item, 16);
    if (w <= 0 || h <= 0 || w > 4096 || h > 4096) return "picture size out of range";
    if (ITEM_Long(item, 0) == ITEM_PIC_SPRITE) return ITEM_CheckSprite(item);
    if (item.size() != ITEM_PICHEADER + static_cast<size_t>(w) * h)
        return "plain picture length does not match width x height";
    return nullptr;
}

const char* ITEM_CheckSprite(std::span<const uint8_t> item)
{
    if (item.size() < ITEM_PICHEADER) return "sprite shorter than its header";
    if (ITEM_Long(item, 0) != ITEM_PIC_SPRITE) return "picture is not a sprite";
    int32_t w = ITEM_Long(item, 12), h = ITEM_Long(item, 16);
    if (w <= 0 || h <= 0 || w > ITEM_SCREENWIDTH || h > 204) return "sprite size out of range";
    size_t at = ITEM_PICHEADER;
    int32_t last_y = -1, last_end = 0;
    for (;;) {
        if (item.size() - at < ITEM_RUNHEADER) return "sprite run list has no end mark";
        int32_t x = ITEM_Long(item, at), y = ITEM_Long(item, at + 4);
        int32_t offset = ITEM_Long(item, at + 8), len = ITEM_Long(item, at + 12);
        at += ITEM_RUNHEADER;
        if (offset == -1) break;
        if (x < 0 || y < 0 || x >= w || y >= h) return "sprite run starts outside the sprite";
        if (len <= 0 || len > w - x) return "sprite run runs outside the sprite";
        if (offset != y * ITEM_SCREENWIDTH + x) return "sprite run offset does not match x, y";
        if (y < last_y || (y == last_y && x < last_end)) return "sprite runs out of order";
        if (item.size() - at < static_cast<size_t>(len)) return "sprite run past the item";
        at += static_cast<size_t>(len);
        last_y = y;
        last_end = x + len;
    }
    return nullptr;
}

const char* ITEM_CheckFont(std::span<const uint8_t> item)
{
    if (item.size() < ITEM_FONTHEADER) return "font shorter than its header";
    int32_t height = ITEM_Long(item, 0);
    if (height <= 0 || height > 200) return "font height out of range";
    for (int c = 0; c < 256; c++) {
        int off = ITEM_Short(item, 4 + 2 * c);
        int width = item[516 + c];
        if (width >= 128) return "glyph width of 128 or more";
        if (off == -1) continue;
        if (off < 0) return "negative glyph offset";
        size_t end =
            ITEM_FONTHEADER + static_cast<size_t>(off) + static_cast<size_t>(width) * height;
        if (end > item.size()) return "glyph pixels past the item";
    }
    return nullptr;
}

const char* ITEM_CheckFlats(std::span<const uint8_t> item, int tiles)
{
    if (item.empty() || item.size() % ITEM_FLATSIZE != 0) return "attribute table length";
    if (item.size() / ITEM_FLATSIZE != static_cast<size_t>(tiles))
        return "attribute table does not have one record per tile";
    for (size_t i = 0; i < item.size(); i += ITEM_FLATSIZE) {
        int32_t wreck = ITEM_Long(item, i);
        if (wreck < 0 || wreck >= tiles) return "wreck tile outside the set";
        if (ITEM_Short(item, i + 4) < 0) return "negative hit points";
        if (ITEM_Short(item, i + 6) < 0) return "negative money value";
    }
    return nullptr;
}

const char* ITEM_CheckMap(std::span<const uint8_t> item, int set, int tiles, int types)
{
    if (item.size() < ITEM_MAPPLACEMENTS) return "map shorter than its cells";
    int32_t count = ITEM_Long(item, 8);
    if (count < 1) return "map without enemy placements";
    if (item.size() != ITEM_MAPPLACEMENTS + static_cast<size_t>(count) * ITEM_PLACEMENTSIZE)
        return "map length does not match its placement count";
    for (int n = 0; n < ITEM_MAPCELLS; n++) {
        int tile = ITEM_Short(item, ITEM_MAPHEADER + 4 * n);
        int cellset = ITEM_Short(item, ITEM_MAPHEADER + 4 * n + 2);
        if (cellset != set) return "map cell from another episode's tile set";
        if (tile < 0 || tile >= tiles) return "map cell tile outside its set";
    }
    // Placements come into play when the activation row, which starts at 139 and falls to
    // -3, equals their row; so rows must fall, and the last record must come at every
    // difficulty or the wave would wait for it for ever.
    int32_t last_row = 139;
    for (int i = 0; i < count; i++) {
        size_t at = ITEM_MAPPLACEMENTS + static_cast<size_t>(i) * ITEM_PLACEMENTSIZE;
        int32_t link = ITEM_Long(item, at), type = ITEM_Long(item, at + 4);
        int32_t col = ITEM_Long(item, at + 8), row = ITEM_Long(item, at + 12);
        int32_t lib = ITEM_Long(item, at + 16), level = ITEM_Long(item, at + 20);
        if (link != -1 && link != 1) return "placement chained to the next one";
        if (type < 0 || type >= types) return "placement of an unknown enemy type";
        if (col < 0 || col >= ITEM_MAPCOLS) return "placement column outside the map";
        if (row > last_row) return "placement rows not falling (or above row 139)";
        if (row < -3) return "placement row below -3 is never reached";
        if (lib != set) return "placement from another episode's library";
        if (level < 0 || level > 5) return "placement level outside 0..5";
        if (i == count - 1 && level != 3) return "last placement not in play at every level";
        last_row = row;
    }
    return nullptr;
}

const char* ITEM_CheckTextScreen(std::span<const uint8_t> item)
{
    if (item.size() != ITEM_TEXTSCREENSIZE) return "text screen is not 4000 bytes";
    return nullptr;
}

#include "testutil/gfxitems.h"

#include <cstring>

#include "gfx/gfxapi.h"
#include "gfx/i_png.h"
#include "gfx/i_video.h"

namespace vt
{

static void Put32(std::vector<uint8_t>& v, int32_t x)
{
    size_t at = v.size();
    v.resize(at + 4);
    memcpy(v.data() + at, &x, 4);
}

static std::vector<uint8_t> Header(int type, int w, int h)
{
    std::vector<uint8_t> v;
    Put32(v, type);
    Put32(v, 0);
    Put32(v, 0);
    Put32(v, w);
    Put32(v, h);
    return v;
}

std::vector<uint8_t> MakePic(int w, int h, const std::vector<uint8_t>& pixels)
{
    std::vector<uint8_t> v = Header(1, w, h);
    v.insert(v.end(), pixels.begin(), pixels.end());
    return v;
}

std::vector<uint8_t> MakeSprite(int w, int h, const std::vector<uint8_t>& pixels)
{
    std::vector<uint8_t> v = Header(0, w, h);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w;) {
            if (!pixels[static_cast<size_t>(y) * w + x]) {
                x++;
                continue;
            }
            int start = x;
            while (x < w && pixels[static_cast<size_t>(y) * w + x])
                x++;
            Put32(v, start);
            Put32(v, y);
            Put32(v, y * 320 + start);
            Put32(v, x - start);
            v.insert(v.end(), pixels.begin() + static_cast<long>(y) * w + start,
                     pixels.begin() + static_cast<long>(y) * w + x);
        }
    }
    Put32(v, 0);
    Put32(v, 0);
    Put32(v, -1);
    Put32(v, 0);
    return v;
}

std::vector<uint8_t> MakeFont(int height, const std::vector<GLYPH>& glyphs)
{
    std::vector<uint8_t> v;
    Put32(v, height);
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> offsets, widths(256, 0);
    for (int c = 0; c < 256; c++) {
        int16_t off = -1;
        if (c < static_cast<int>(glyphs.size()) && glyphs[c].width >= 0) {
            off = static_cast<int16_t>(pixels.size());
            widths[c] = static_cast<uint8_t>(glyphs[c].width);
            pixels.insert(pixels.end(), glyphs[c].pixels.begin(), glyphs[c].pixels.end());
        }
        uint8_t b[2];
        memcpy(b, &off, 2);
        offsets.insert(offsets.end(), b, b + 2);
    }
    v.insert(v.end(), offsets.begin(), offsets.end());
    v.insert(v.end(), widths.begin(), widths.end());
    v.insert(v.end(), pixels.begin(), pixels.end());
    return v;
}

// 5x7 shapes, one string per row, '#' set.
struct SHAPE {
    char code;
    const char* rows[7];
};
static const SHAPE kShapes[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {',', {".....", ".....", ".....", ".....", ".##..", "..#..", ".#..."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
    {'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
    {'/', {"....#", "....#", "...#.", "..#..", ".#...", "#....", "#...."}},
};

std::vector<uint8_t> MakeBlockFont(int scale)
{
    int h = 7 * scale;
    std::vector<GLYPH> glyphs(256);
    glyphs[' '].width = 3 * scale;
    glyphs[' '].pixels.assign(static_cast<size_t>(3 * scale) * h, 0);
    for (const SHAPE& s : kShapes) {
        GLYPH g;
        g.width = 5 * scale;
        g.pixels.assign(static_cast<size_t>(g.width) * h, 0);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < g.width; x++)
                if (s.rows[y / scale][x / scale] == '#')
                    g.pixels[static_cast<size_t>(y) * g.width + x] =
                        (scale > 1 && y < h / 2) ? 2 : 1;
        glyphs[static_cast<unsigned char>(s.code)] = g;
        // Lower case reads as capitals.
        if (s.code >= 'A' && s.code <= 'Z') glyphs[s.code - 'A' + 'a'] = g;
    }
    return MakeFont(h, glyphs);
}

std::vector<uint8_t> MakeRampPalette()
{
    // Hue of each ramp as 6-bit red, green, blue at full brightness.
    static const uint8_t hues[16][3] = {
        {63, 63, 63}, {63, 0, 0},   {63, 32, 0},  {63, 63, 0},  {32, 63, 0}, {0, 63, 0},
        {0, 63, 32},  {0, 63, 63},  {0, 32, 63},  {0, 0, 63},   {32, 0, 63}, {63, 0, 63},
        {63, 0, 32},  {48, 40, 32}, {40, 48, 56}, {56, 48, 40},
    };
    std::vector<uint8_t> pal(768, 0);
    for (int r = 0; r < 16; r++)
        for (int s = 0; s < 15; s++)
            for (int c = 0; c < 3; c++)
                pal[(r * 15 + s) * 3 + c] = static_cast<uint8_t>(hues[r][c] * (s + 1) / 15);
    // Specials: black, white and a few bright ones no colour search may return.
    for (int i = 240; i < 256; i++) {
        pal[i * 3] = static_cast<uint8_t>((i * 37) & 63);
        pal[i * 3 + 1] = static_cast<uint8_t>((i * 11) & 63);
        pal[i * 3 + 2] = static_cast<uint8_t>((i * 23) & 63);
    }
    return pal;
}

void ApplyDelta(std::vector<uint8_t>& screen, std::span<const uint8_t> d)
{
    size_t p = 0;
    while (p + 8 <= d.size() && (d[p] | d[p + 1])) {
        size_t at = d[p + 4] | d[p + 5] << 8, len = d[p + 6] | d[p + 7] << 8;
        p += 8;
        for (size_t k = 0; k < len && p + k < d.size() && at + k < screen.size(); k++)
            screen[at + k] = d[p + k];
        p += len;
    }
}

uint8_t Px(int x, int y)
{
    return displaybuffer[y * SCREENWIDTH + x];
}

int CountNot(uint8_t c)
{
    int n = 0;
    for (int i = 0; i < SCREENSIZE; i++)
        n += displaybuffer[i] != c;
    return n;
}

uint64_t HashPresented()
{
    static uint8_t pixels[SCREENWIDTH * 240];
    uint8_t rgb[768];
    int h = I_GetPresentedPicture(pixels, rgb);
    uint64_t hash = 1469598103934665603ull;
    auto mix = [&hash](const uint8_t* p, size_t n) {
        for (size_t i = 0; i < n; i++) {
            hash ^= p[i];
            hash *= 1099511628211ull;
        }
    };
    mix(pixels, static_cast<size_t>(SCREENWIDTH) * h);
    mix(rgb, sizeof(rgb));
    return hash;
}

bool SavePresented(const std::string& path)
{
    static uint8_t pixels[SCREENWIDTH * 240];
    uint8_t rgb[768];
    int h = I_GetPresentedPicture(pixels, rgb);
    return I_WritePNGFile(path.c_str(), pixels, SCREENWIDTH, h, rgb);
}

} // namespace vt

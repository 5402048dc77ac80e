// Converts 8x16 PSF console fonts (version 1 or 2, with a Unicode table) into the glyph
// table of the text-mode toolkit: one 16-byte bitmap for each of the 256 characters of
// code page 437, written as a C++ source file.
//
//   txtfont OUT.cpp FONT.psf [MORE.psf ...]
//
// Fonts are searched in the order given, so later files only fill characters the first
// ones lack (console fonts of one family are split over several files by script).
// The input must be uncompressed; scripts/make-textfont.sh fetches and unpacks it.
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kGlyphHeight = 16;

// Unicode code point of each code-page-437 character. 0 and the no-break space are blank.
constexpr std::array<uint16_t, 256> kCp437 = {
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9,
    0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7,
    0x25AC, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC, 0x0020,
    0x0021, 0x0022, 0x0023, 0x0024, 0x0025, 0x0026, 0x0027, 0x0028, 0x0029, 0x002A, 0x002B,
    0x002C, 0x002D, 0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036,
    0x0037, 0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F, 0x0040, 0x0041,
    0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047, 0x0048, 0x0049, 0x004A, 0x004B, 0x004C,
    0x004D, 0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053, 0x0054, 0x0055, 0x0056, 0x0057,
    0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F, 0x0060, 0x0061, 0x0062,
    0x0063, 0x0064, 0x0065, 0x0066, 0x0067, 0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D,
    0x006E, 0x006F, 0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077, 0x0078,
    0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x2302, 0x00C7, 0x00FC, 0x00E9, 0x00E2,
    0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4,
    0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1,
    0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551,
    0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C,
    0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568,
    0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588,
    0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5,
    0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1,
    0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F,
    0x00B2, 0x25A0, 0x00A0,
};

// Look-alikes tried when a font has no glyph for the exact code point.
const std::map<uint32_t, std::vector<uint32_t>> kAlternates = {
    {0x25BA, {0x25B6, 0x25B8}}, // black right-pointing pointer
    {0x25C4, {0x25C0, 0x25C2}}, // black left-pointing pointer
    {0x2219, {0x00B7}},         // bullet operator
    {0x03B2, {0x00DF}},
};

struct Font {
    std::string name;
    std::vector<std::array<uint8_t, kGlyphHeight>> glyphs;
    std::map<uint32_t, size_t> unicode; // code point -> glyph index (first one wins)
};

uint32_t Le32(const std::vector<uint8_t>& d, size_t at)
{
    return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | static_cast<uint32_t>(d[at + 3]) << 24;
}

// Decodes one UTF-8 sequence at d[pos]; returns false on a malformed one.
bool DecodeUtf8(const std::vector<uint8_t>& d, size_t end, size_t& pos, uint32_t& cp)
{
    uint8_t b = d[pos];
    int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || pos + extra >= end) return false;
    cp = extra == 0 ? b : b & (0x3F >> extra);
    for (int i = 1; i <= extra; i++) {
        if ((d[pos + i] & 0xC0) != 0x80) return false;
        cp = cp << 6 | (d[pos + i] & 0x3F);
    }
    pos += extra + 1;
    return true;
}

bool LoadFont(const std::string& path, Font& font, std::string& err)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        err = "cannot open " + path;
        return false;
    }
    std::vector<uint8_t> d((std::istreambuf_iterator<char>(in)), {});
    font.name = path;
    size_t count, charsize, height, width, offset;
    bool psf2;
    if (d.size() >= 4 && d[0] == 0x36 && d[1] == 0x04) {
        psf2 = false;
        count = (d[2] & 1) ? 512 : 256;
        if (!(d[2] & 2)) {
            err = path + ": no Unicode table";
            return false;
        }
        charsize = d[3];
        height = charsize;
        width = 8;
        offset = 4;
    } else if (d.size() >= 32 && Le32(d, 0) == 0x864AB572) {
        psf2 = true;
        offset = Le32(d, 8);
        if (!(Le32(d, 12) & 1)) {
            err = path + ": no Unicode table";
            return false;
        }
        count = Le32(d, 16);
        charsize = Le32(d, 20);
        height = Le32(d, 24);
        width = Le32(d, 28);
    } else {
        err = path + ": not a PSF font (unpack .psf.gz first)";
        return false;
    }
    if (width != 8 || height != kGlyphHeight || charsize != kGlyphHeight) {
        err = path + ": not an 8x16 font";
        return false;
    }
    if (offset > d.size() || count > (d.size() - offset) / charsize) {
        err = path + ": truncated";
        return false;
    }
    font.glyphs.resize(count);
    for (size_t g = 0; g < count; g++)
        for (int row = 0; row < kGlyphHeight; row++)
            font.glyphs[g][row] = d[offset + g * charsize + row];

    // The Unicode table: per glyph, the code points it shows, then optional sequences
    // (which we skip), ended by a terminator.
    size_t pos = offset + count * charsize;
    for (size_t g = 0; g < count && pos < d.size(); g++) {
        bool in_sequence = false;
        while (pos < d.size()) {
            uint32_t cp;
            if (psf2) {
                if (d[pos] == 0xFF) {
                    pos++;
                    break;
                }
                if (d[pos] == 0xFE) {
                    in_sequence = true;
                    pos++;
                    continue;
                }
                if (!DecodeUtf8(d, d.size(), pos, cp)) {
                    err = path + ": bad Unicode table";
                    return false;
                }
            } else {
                if (pos + 1 >= d.size()) {
                    pos = d.size();
                    break;
                }
                cp = d[pos] | d[pos + 1] << 8;
                pos += 2;
                if (cp == 0xFFFF) break;
                if (cp == 0xFFFE) {
                    in_sequence = true;
                    continue;
                }
            }
            if (!in_sequence) font.unicode.emplace(cp, g);
        }
    }
    return true;
}

const std::array<uint8_t, kGlyphHeight>* FindGlyph(const std::vector<Font>& fonts, uint32_t cp)
{
    for (const Font& f : fonts) {
        auto it = f.unicode.find(cp);
        if (it != f.unicode.end()) return &f.glyphs[it->second];
    }
    return nullptr;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        fprintf(stderr, "usage: %s OUT.cpp FONT.psf [MORE.psf ...]\n", argv[0]);
        return 2;
    }
    std::vector<Font> fonts;
    for (int i = 2; i < argc; i++) {
        Font f;
        std::string err;
        if (!LoadFont(argv[i], f, err)) {
            fprintf(stderr, "txtfont: %s\n", err.c_str());
            return 1;
        }
        fonts.push_back(std::move(f));
    }

    std::array<std::array<uint8_t, kGlyphHeight>, 256> table{};
    int missing = 0;
    for (int c = 0; c < 256; c++) {
        uint32_t cp = kCp437[c];
        if (cp == 0 || cp == 0x00A0) continue; // blank cells
        const auto* glyph = FindGlyph(fonts, cp);
        if (!glyph) {
            auto alt = kAlternates.find(cp);
            if (alt != kAlternates.end())
                for (uint32_t a : alt->second)
                    if ((glyph = FindGlyph(fonts, a))) break;
        }
        if (!glyph) {
            fprintf(stderr, "txtfont: no glyph for character %d (U+%04X)\n", c, cp);
            missing++;
            continue;
        }
        table[c] = *glyph;
    }
    if (missing) return 1;

    FILE* out = fopen(argv[1], "w");
    if (!out) {
        fprintf(stderr, "txtfont: cannot write %s\n", argv[1]);
        return 1;
    }
    fprintf(out, "// Generated by tools/txtfont from free console fonts (see txt_font_LICENSE.txt);\n"
                 "// regenerate with scripts/make-textfont.sh rather than editing by hand.\n"
                 "// One 8x16 bitmap per code-page-437 character, top row first, bit 7 leftmost.\n"
                 "#include \"textui/txt_font.h\"\n\n"
                 "const std::array<TXT_GLYPH, 256> txt_font = {{\n");
    for (int c = 0; c < 256; c++) {
        fprintf(out, "    {{");
        for (int row = 0; row < kGlyphHeight; row++)
            fprintf(out, "0x%02x%s", table[c][row], row + 1 < kGlyphHeight ? "," : "");
        fprintf(out, "}}, // %d\n", c);
    }
    fprintf(out, "}};\n");
    return fclose(out) == 0 ? 0 : 1;
}

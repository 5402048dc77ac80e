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

#include "textui/txt_cp437.h"

namespace
{

constexpr int kGlyphHeight = 16;

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
    int extra = b < 0x80             ? 0
                : (b & 0xE0) == 0xC0 ? 1
                : (b & 0xF0) == 0xE0 ? 2
                : (b & 0xF8) == 0xF0 ? 3
                                     : -1;
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
        uint32_t cp = txt_cp437_unicode[c];
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

    // Some console fonts stand one glyph in for several characters (double lines drawn
    // as single ones); the text screens need every character to look like itself.
    std::map<std::array<uint8_t, kGlyphHeight>, int> owner;
    for (int c = 1; c < 255; c++) {
        if (c == ' ') continue;
        auto [it, fresh] = owner.emplace(table[c], c);
        if (!fresh) {
            fprintf(stderr, "txtfont: characters %d and %d have the same glyph\n", it->second, c);
            missing++;
        }
    }
    if (missing) return 1;

    FILE* out = fopen(argv[1], "w");
    if (!out) {
        fprintf(stderr, "txtfont: cannot write %s\n", argv[1]);
        return 1;
    }
    fprintf(out,
            "// Generated by tools/txtfont from free console fonts (see txt_font_LICENSE.txt);\n"
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

// Fonts from their text sources; the large font is the medium one drawn twice the size
// with a bevel, so titles get depth from a four-colour ramp (text colour .. colour + 3).
#include <map>
#include <sstream>

#include "content.h"
#include "res/itemfmt.h"

static Font LoadFont(const std::string& relpath)
{
    Font f;
    std::istringstream in(GEN_ReadText(relpath));
    std::string line;
    int ln = 0, code = -1;
    std::vector<std::string> rows;
    auto finish = [&]() {
        if (code < 0) return;
        std::string where = relpath + ":" + std::to_string(ln);
        if (rows.empty()) GEN_Fail("%s: glyph without rows", where.c_str());
        if (static_cast<int>(rows.size()) > f.height)
            GEN_Fail("%s: glyph taller than the font", where.c_str());
        size_t w = 0;
        for (const std::string& r : rows)
            w = std::max(w, r.size());
        Image g(static_cast<int>(w), f.height);
        for (size_t y = 0; y < rows.size(); y++)
            for (size_t x = 0; x < rows[y].size(); x++) {
                char ch = rows[y][x];
                int v = ch == '.' ? 0 : ch == '#' ? 1 : (ch >= '1' && ch <= '9') ? ch - '0' : -1;
                if (v < 0) GEN_Fail("%s: '%c' is not a pixel ('.', '#', 1..9)", where.c_str(), ch);
                g.set(static_cast<int>(x), static_cast<int>(y), static_cast<uint8_t>(v));
            }
        if (f.glyphs[code].w) GEN_Fail("%s: glyph defined twice", where.c_str());
        f.glyphs[code] = g;
        code = -1;
        rows.clear();
    };
    while (std::getline(in, line)) {
        ln++;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (!line.empty() && line[0] == ';') continue;
        if (line.empty()) {
            finish();
            continue;
        }
        if (line.rfind("height ", 0) == 0) {
            f.height = GEN_ToInt(line.substr(7), relpath);
            if (f.height < 1 || f.height > 64)
                GEN_Fail("%s: font height out of range", relpath.c_str());
        } else if (line.rfind("glyph ", 0) == 0) {
            finish();
            std::string name = line.substr(6);
            if (f.height == 0) GEN_Fail("%s:%d: glyph before the height", relpath.c_str(), ln);
            if (name == "space")
                code = ' ';
            else if (name.size() == 1)
                code = static_cast<uint8_t>(name[0]);
            else
                GEN_Fail("%s:%d: glyph name '%s'", relpath.c_str(), ln, name.c_str());
        } else if (code >= 0) {
            rows.push_back(line);
        } else {
            GEN_Fail("%s:%d: pixels outside a glyph", relpath.c_str(), ln);
        }
    }
    finish();
    for (int c = 32; c < 127; c++)
        if (!f.has(static_cast<uint8_t>(c))) GEN_Fail("%s: no glyph for '%c'", relpath.c_str(), c);
    return f;
}

// Twice the size; ink facing up or left gets the light shade 4, ink over a gap below or
// right the dark shade 1, the rest 3 and 2 by height so the face has a soft gradient.
static Font Bevelled(const Font& src)
{
    Font f;
    f.height = src.height * 2;
    for (int c = 0; c < 256; c++) {
        const Image& g = src.glyphs[c];
        if (!g.w) continue;
        Image big(g.w * 2 + 1, f.height);
        for (int y = 0; y < big.h; y++)
            for (int x = 0; x < g.w * 2; x++) {
                if (!g.at(x / 2, y / 2)) continue;
                bool up = !g.at(x / 2, (y - 1) / 2) || y == 0;
                bool left = x == 0 || !g.at((x - 1) / 2, y / 2);
                uint8_t v = y < f.height / 2 ? 3 : 2;
                if ((up && y % 2 == 0) || (left && x % 2 == 0)) v = 4;
                big.set(x, y, v);
            }
        // A drop shade to the lower right of every ink pixel.
        Image shaded = big;
        for (int y = 0; y < big.h; y++)
            for (int x = 0; x < big.w; x++)
                if (!big.at(x, y) && big.at(x - 1, y - 1)) shaded.set(x, y, 1);
        f.glyphs[c] = shaded;
    }
    return f;
}

const Font& FONT_Get(const std::string& name)
{
    static std::map<std::string, Font> fonts;
    auto it = fonts.find(name);
    if (it != fonts.end()) return it->second;
    Font f = name == "large" ? Bevelled(FONT_Get("medium")) : LoadFont("fonts/" + name + ".txt");
    return fonts.emplace(name, std::move(f)).first->second;
}

Bytes FONT_Item(const std::string& name)
{
    const Font& f = FONT_Get(name);
    std::array<ITEM_GLYPH, 256> glyphs;
    for (int c = 0; c < 256; c++) {
        const Image& g = f.glyphs[c];
        if (g.w) glyphs[c] = {g.w, g.px};
    }
    Bytes item = ITEM_MakeFont(f.height, glyphs);
    if (item.empty())
        GEN_Fail("font '%s' has more glyph pixels than a font item can hold", name.c_str());
    return item;
}

int FONT_Print(Image& img, const Font& f, int x, int y, const std::string& text, uint8_t colour)
{
    int x0 = x;
    for (char ch : text) {
        const Image& g = f.glyphs[static_cast<uint8_t>(ch)];
        if (!g.w) continue;
        for (int j = 0; j < g.h; j++)
            for (int i = 0; i < g.w; i++)
                if (uint8_t v = g.at(i, j))
                    img.set(x + i, y + j, static_cast<uint8_t>(colour + v - 1));
        x += g.w + 1;
    }
    return x - x0;
}

int FONT_Width(const Font& f, const std::string& text)
{
    int w = 0;
    for (char ch : text)
        w += f.glyphs[static_cast<uint8_t>(ch)].w + 1;
    return w > 0 ? w - 1 : 0;
}

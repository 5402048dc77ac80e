// The game palette from its text source.
#include <algorithm>
#include <array>
#include <cstdlib>

#include "gen.h"

uint8_t Palette::c(const std::string& name, int level) const
{
    const Ramp& r = ramp(name);
    return static_cast<uint8_t>(r.first + std::clamp(level, 0, r.count - 1));
}

uint8_t Palette::c(const char* name, int level) const
{
    for (const auto& [key, r] : cache)
        if (key == name) return static_cast<uint8_t>(r.first + std::clamp(level, 0, r.count - 1));
    cache.push_back({name, ramp(name)});
    return c(name, level);
}

const Ramp& Palette::ramp(const std::string& name) const
{
    auto it = ramps.find(name);
    if (it == ramps.end()) GEN_Fail("palette has no ramp or colour named '%s'", name.c_str());
    return it->second;
}

uint8_t Palette::nearest(int r, int g, int b) const
{
    int best = 1, bestd = 1 << 30;
    for (int i = 1; i < 240; i++) {
        int d = std::abs(rgb[i][0] - r) + std::abs(rgb[i][1] - g) + std::abs(rgb[i][2] - b);
        if (d < bestd) {
            bestd = d;
            best = i;
        }
    }
    return static_cast<uint8_t>(best);
}

static void ParseRgb(const std::string& word, const std::string& where, int rgb[3])
{
    int n = sscanf(word.c_str(), "%d,%d,%d", &rgb[0], &rgb[1], &rgb[2]);
    if (n != 3) GEN_Fail("%s: '%s' is not R,G,B", where.c_str(), word.c_str());
    for (int i = 0; i < 3; i++)
        if (rgb[i] < 0 || rgb[i] > 63) GEN_Fail("%s: component outside 0..63", where.c_str());
}

void PAL_Load(const std::string& relpath, Palette& pal)
{
    bool set[256] = {};
    auto claim = [&](int i, const std::string& where) {
        if (i < 0 || i > 255) GEN_Fail("%s: index %d outside 0..255", where.c_str(), i);
        if (set[i]) GEN_Fail("%s: colour %d set twice", where.c_str(), i);
        set[i] = true;
    };

    std::vector<std::string> lines = GEN_ReadLines(relpath);
    for (size_t ln = 0; ln < lines.size(); ln++) {
        std::string where = relpath + ":" + std::to_string(ln + 1);
        std::vector<std::string> w = GEN_Split(lines[ln]);
        if (w.empty()) continue;
        if (w[0] == "color") {
            if (w.size() < 5) GEN_Fail("%s: color INDEX R G B [NAME]", where.c_str());
            int i = GEN_ToInt(w[1], where);
            claim(i, where);
            for (int k = 0; k < 3; k++) {
                int v = GEN_ToInt(w[2 + k], where);
                if (v < 0 || v > 63) GEN_Fail("%s: component outside 0..63", where.c_str());
                pal.rgb[i][k] = static_cast<uint8_t>(v);
            }
            if (w.size() > 5) {
                // Colours of one name in a row form a ramp of their own.
                Ramp& r = pal.ramps[w[5]];
                if (r.count == 0) r.first = i;
                if (r.first + r.count != i)
                    GEN_Fail("%s: '%s' is not contiguous", where.c_str(), w[5].c_str());
                r.count++;
            }
        } else if (w[0] == "ramp") {
            if (w.size() < 6) GEN_Fail("%s: ramp NAME FIRST COUNT POS:R,G,B ...", where.c_str());
            Ramp r{GEN_ToInt(w[2], where), GEN_ToInt(w[3], where)};
            if (r.count < 2) GEN_Fail("%s: a ramp needs two colours or more", where.c_str());
            if (pal.ramps.count(w[1]))
                GEN_Fail("%s: ramp '%s' defined twice", where.c_str(), w[1].c_str());
            std::vector<std::pair<int, std::array<int, 3>>> keys;
            for (size_t k = 4; k < w.size(); k++) {
                size_t colon = w[k].find(':');
                if (colon == std::string::npos)
                    GEN_Fail("%s: key '%s' is not POS:R,G,B", where.c_str(), w[k].c_str());
                int pos = GEN_ToInt(w[k].substr(0, colon), where);
                std::array<int, 3> rgb;
                ParseRgb(w[k].substr(colon + 1), where, rgb.data());
                if (pos < 0 || pos >= r.count || (!keys.empty() && pos <= keys.back().first))
                    GEN_Fail("%s: key positions must rise inside the ramp", where.c_str());
                keys.push_back({pos, rgb});
            }
            if (keys.front().first != 0 || keys.back().first != r.count - 1)
                GEN_Fail("%s: the first and last colour of a ramp must be given", where.c_str());
            for (int i = 0; i < r.count; i++) {
                claim(r.first + i, where);
                size_t k = 0;
                while (keys[k + 1].first < i)
                    k++;
                if (keys[k].first == i || i == keys[k + 1].first) {
                    const auto& key = keys[k].first == i ? keys[k] : keys[k + 1];
                    for (int c = 0; c < 3; c++)
                        pal.rgb[r.first + i][c] = static_cast<uint8_t>(key.second[c]);
                    continue;
                }
                int a = keys[k].first, b = keys[k + 1].first;
                for (int c = 0; c < 3; c++) {
                    int v0 = keys[k].second[c], v1 = keys[k + 1].second[c];
                    // Rounded to nearest; integer arithmetic keeps the bytes the same everywhere.
                    int num = v0 * (b - a) + (v1 - v0) * (i - a);
                    pal.rgb[r.first + i][c] =
                        static_cast<uint8_t>((2 * num + (b - a)) / (2 * (b - a)));
                }
            }
            pal.ramps[w[1]] = r;
        } else {
            GEN_Fail("%s: unknown word '%s'", where.c_str(), w[0].c_str());
        }
    }
    for (int i = 0; i < 256; i++)
        if (!set[i]) GEN_Fail("%s: colour %d is not set", relpath.c_str(), i);
}

Bytes PAL_Bytes(const Palette& pal)
{
    Bytes out(768);
    for (int i = 0; i < 256; i++)
        for (int c = 0; c < 3; c++)
            out[3 * i + c] = pal.rgb[i][c];
    return out;
}

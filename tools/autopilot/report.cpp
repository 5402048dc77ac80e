#include "report.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "gfx/i_png.h"
#include "image.h"

namespace
{

// A small picture to draw the plot on: palette colours by index.
enum { C_PAPER, C_INK, C_GRID, C_MONEY, C_SHIELD, C_LOST, C_EPISODE, C_COLOURS };
constexpr uint8_t kPlotPalette[C_COLOURS][3] = {{255, 255, 255}, {30, 30, 30},  {225, 225, 225},
                                                {30, 140, 60},   {40, 90, 200}, {210, 40, 40},
                                                {150, 150, 150}};

// Letters three pixels wide and five high, a row of three bits each, top row first.
int Glyph(char c)
{
    static constexpr struct {
        char c;
        int bits;
    } font[] = {
        {'0', 075557}, {'1', 026227}, {'2', 061247}, {'3', 071717}, {'4', 055711}, {'5', 074716},
        {'6', 034757}, {'7', 071244}, {'8', 075757}, {'9', 075711}, {'A', 025755}, {'B', 065656},
        {'C', 034443}, {'D', 065556}, {'E', 074647}, {'F', 074644}, {'G', 034553}, {'H', 055755},
        {'I', 072227}, {'K', 055655}, {'L', 044447}, {'M', 057755}, {'N', 065555}, {'O', 025552},
        {'P', 065644}, {'R', 065655}, {'S', 034216}, {'T', 072222}, {'U', 055557}, {'V', 055522},
        {'W', 055775}, {'Y', 055222}, {'-', 000700}, {'.', 000002}, {'%', 051245}, {'/', 011244},
        {'+', 002720}, {':', 002020}, {'(', 012221}, {')', 042224}, {',', 000024},
    };
    for (const auto& g : font)
        if (g.c == c) return g.bits;
    return 0;
}

// Text in capitals, two pixels a dot.
void Text(Image& img, int x, int y, const char* s, uint8_t c)
{
    for (; *s; s++, x += 8) {
        int bits = Glyph(static_cast<char>(toupper(static_cast<unsigned char>(*s))));
        for (int row = 0; row < 5; row++)
            for (int col = 0; col < 3; col++)
                if (bits >> ((4 - row) * 3 + (2 - col)) & 1)
                    IMG_Rect(img, x + 2 * col, y + 2 * row, 2, 2, c);
    }
}

// A line two pixels thick: the line and the same one pixel lower.
void ThickLine(Image& img, int x0, int y0, int x1, int y1, uint8_t c)
{
    IMG_Line(img, x0, y0, x1, y1, c);
    IMG_Line(img, x0, y0 + 1, x1, y1 + 1, c);
}

bool WritePlot(const std::vector<AUTO_WAVE>& waves, const char* title, const std::string& path)
{
    Image cv(800, 360, C_PAPER);
    const int left = 90, right = cv.w - 60, top = 50, bottom = cv.h - 60;
    const int n = std::max<int>(1, static_cast<int>(waves.size()));
    int32_t most = 1;
    for (const AUTO_WAVE& w : waves)
        most = std::max({most, w.money_start, w.money_end});
    // The money scale in round steps.
    int32_t step = 1;
    while (step * 10 < most)
        step *= 10;
    if (step * 5 < most)
        step *= 5;
    else if (step * 2 < most)
        step *= 2;
    const int32_t scale = (most + step - 1) / step * step;
    auto wx = [&](double i) { return left + int((right - left) * (i + 0.5) / n); };
    auto my = [&](int64_t m) { return bottom - int((bottom - top) * m / scale); };
    auto sy = [&](int s) { return bottom - (bottom - top) * s / 100; };

    char text[64];
    for (int32_t m = 0; m <= scale; m += step) {
        IMG_Rect(cv, left, my(m), right - left, 1, C_GRID);
        snprintf(text, sizeof(text), "%d", m);
        Text(cv, left - 8 - 8 * int(strlen(text)), my(m) - 5, text, C_MONEY);
    }
    for (int s = 0; s <= 100; s += 25) {
        snprintf(text, sizeof(text), "%d", s);
        Text(cv, right + 8, sy(s) - 5, text, C_SHIELD);
    }
    IMG_Rect(cv, left, top, 1, bottom - top + 1, C_INK);
    IMG_Rect(cv, left, bottom, right - left + 1, 1, C_INK);
    IMG_Rect(cv, right, top, 1, bottom - top + 1, C_INK);
    // Episodes apart, lost waves marked under the axis.
    for (int i = 0; i < static_cast<int>(waves.size()); i++) {
        const AUTO_WAVE& w = waves[i];
        if (i == 0 || waves[i - 1].game != w.game || (w.wave == 0 && waves[i - 1].wave != 0)) {
            int x = wx(i - 0.5);
            if (i > 0) IMG_Rect(cv, x, top, 1, bottom - top, C_EPISODE);
            snprintf(text, sizeof(text), "E%d %s", w.game + 1, AUTO_DiffName(w.diff));
            Text(cv, x + 4, bottom + 10, text, C_INK);
        }
        if (!w.survived) IMG_Rect(cv, wx(i) - 3, bottom + 26, 7, 7, C_LOST);
    }
    for (int i = 0; i < static_cast<int>(waves.size()); i++) {
        const AUTO_WAVE& w = waves[i];
        if (i > 0) {
            ThickLine(cv, wx(i - 1), my(waves[i - 1].money_end), wx(i), my(w.money_end), C_MONEY);
            ThickLine(cv, wx(i - 1), sy(waves[i - 1].shield), wx(i), sy(w.shield), C_SHIELD);
        }
        IMG_Rect(cv, wx(i) - 2, my(w.money_end) - 2, 5, 5, C_MONEY);
        IMG_Rect(cv, wx(i) - 2, sy(w.shield) - 2, 5, 5, C_SHIELD);
    }
    Text(cv, left, 12, title, C_INK);
    Text(cv, left, 30, "MONEY AFTER EACH WAVE", C_MONEY);
    Text(cv, left + 200, 30, "SHIELD AT THE END OF EACH WAVE (RIGHT SCALE)", C_SHIELD);
    Text(cv, left, cv.h - 20, "LOST WAVES", C_INK);
    IMG_Rect(cv, left + 88, cv.h - 20, 7, 7, C_LOST);

    uint8_t rgb[768] = {};
    memcpy(rgb, kPlotPalette, sizeof(kPlotPalette));
    return I_WritePNGFile(path.c_str(), cv.px.data(), cv.w, cv.h, rgb);
}

struct SUM {
    int waves, survived, came, killed, groundkilled, buildings, razed, frames;
    int64_t earned, spent;
    void Add(const AUTO_WAVE& w)
    {
        waves++;
        survived += w.survived;
        came += w.came;
        killed += w.killed;
        groundkilled += w.groundkilled;
        buildings += w.buildings;
        razed += w.razed;
        frames += w.frames;
        earned += w.earned;
        spent += w.spent;
    }
};

void SumRow(FILE* f, const char* what, const SUM& s)
{
    fprintf(
        f,
        "| **%s** | | **%d/%d survived** | | **%d/%d** | **%d** | **%d/%d** | **%lld** | **%lld** "
        "| | **%d** | |\n",
        what, s.survived, s.waves, s.killed, s.came, s.groundkilled, s.razed, s.buildings,
        static_cast<long long>(s.earned), static_cast<long long>(s.spent), s.frames);
}

} // namespace

bool AUTO_WriteReport(const std::vector<AUTO_WAVE>& waves, const char* title, const std::string& md,
                      const std::string& png)
{
    bool ok = true;
    if (!png.empty()) ok = WritePlot(waves, title, png) && ok;
    if (md.empty()) return ok;
    FILE* f = fopen(md.c_str(), "w");
    if (!f) return false;
    fprintf(f, "## %s\n\n", title);
    fprintf(f,
            "| episode | wave | result | shield | enemies shot down / came | of them on the ground "
            "| buildings destroyed | money earned | spent before | money after | frames | bought "
            "before |\n");
    fprintf(f, "|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    SUM episode{}, all{};
    for (size_t i = 0; i < waves.size(); i++) {
        const AUTO_WAVE& w = waves[i];
        fprintf(f, "| %d %s | %d | %s | %d | %d/%d | %d | %d/%d | %d | %d | %d | %d | %s |\n",
                w.game + 1, AUTO_DiffName(w.diff), w.wave + 1, w.survived ? "survived" : "**lost**",
                w.shield, w.killed, w.came, w.groundkilled, w.razed, w.buildings, w.earned, w.spent,
                w.money_end, w.frames, w.bought.empty() ? "" : w.bought.c_str());
        episode.Add(w);
        all.Add(w);
        const bool last =
            i + 1 == waves.size() || waves[i + 1].game != w.game || waves[i + 1].diff != w.diff;
        if (last) {
            char what[32];
            snprintf(what, sizeof(what), "episode %d", w.game + 1);
            SumRow(f, what, episode);
            episode = {};
        }
    }
    SumRow(f, "campaign", all);
    if (!png.empty()) {
        const size_t slash = png.find_last_of('/');
        fprintf(f, "\n![%s](%s)\n", title,
                png.substr(slash == std::string::npos ? 0 : slash + 1).c_str());
    }
    ok = fclose(f) == 0 && ok;
    return ok;
}

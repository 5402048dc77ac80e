// Source reading, noise and drawing helpers of the generator.
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "gen.h"
#include "res/itemfmt.h"

GenContext gen;

void GEN_Fail(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    fprintf(stderr, "vultar_gen: ");
    vfprintf(stderr, fmt, ap);
    fprintf(stderr, "\n");
    va_end(ap);
    exit(1);
}

std::string GEN_ReadText(const std::string& relpath)
{
    std::string path = gen.datadir + "/" + relpath;
    std::ifstream in(path, std::ios::binary);
    if (!in) GEN_Fail("cannot read %s", path.c_str());
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<std::string> GEN_ReadLines(const std::string& relpath)
{
    std::string text = GEN_ReadText(relpath);
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\t'))
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> GEN_Split(const std::string& line)
{
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string w;
    while (in >> w)
        words.push_back(w);
    return words;
}

int GEN_ToInt(const std::string& word, const std::string& where)
{
    char* end = nullptr;
    long v = strtol(word.c_str(), &end, 0);
    if (word.empty() || *end != '\0' || v < -1000000 || v > 1000000)
        GEN_Fail("%s: '%s' is not a number", where.c_str(), word.c_str());
    return static_cast<int>(v);
}

uint32_t GEN_Hash(int x, int y, int seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^
                 static_cast<uint32_t>(seed) * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return h;
}

static double Lattice(int x, int y, int period, int seed)
{
    int px = ((x % period) + period) % period, py = ((y % period) + period) % period;
    return (GEN_Hash(px, py, seed) & 0xFFFF) / 65535.0;
}

double GEN_Noise(double x, double y, int period, int seed)
{
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    double fx = x - x0, fy = y - y0;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    double a = Lattice(x0, y0, period, seed), b = Lattice(x0 + 1, y0, period, seed);
    double c = Lattice(x0, y0 + 1, period, seed), d = Lattice(x0 + 1, y0 + 1, period, seed);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

double GEN_Fractal(double x, double y, int period, int seed, int octaves)
{
    // `period` is in pixels; each octave halves the cell size so the sum repeats too.
    double sum = 0, amp = 1, norm = 0;
    int cells = 4;
    for (int o = 0; o < octaves; o++) {
        double scale = static_cast<double>(cells) / period;
        sum += amp * GEN_Noise(x * scale, y * scale, cells, seed + o * 101);
        norm += amp;
        amp *= 0.5;
        cells *= 2;
    }
    return sum / norm;
}

Bytes GEN_Picture(const Image& img)
{
    return ITEM_MakePicture(img.w, img.h, img.px);
}

Bytes GEN_Sprite(const Image& img)
{
    Bytes b = ITEM_MakeSprite(img.w, img.h, img.px);
    if (b.empty()) GEN_Fail("a %dx%d picture is too big for a sprite", img.w, img.h);
    return b;
}

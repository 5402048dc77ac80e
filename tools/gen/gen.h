// The data-set generator: shared types. Every picture is drawn by code into an indexed
// image, in colours named by the palette's ramps; the sources under data/ are text.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "image.h"

using Bytes = std::vector<uint8_t>;

// Reports a problem in the sources and ends the generator with status 1.
[[noreturn]] void GEN_Fail(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// The game palette, read from data/palette.txt, with its named ramps.
struct Ramp {
    int first = 0, count = 0;
};
struct Palette {
    uint8_t rgb[256][3] = {};
    std::map<std::string, Ramp> ramps;
    mutable std::vector<std::pair<const char*, Ramp>> cache;
    // Colour `level` of a ramp (clamped to the ramp).
    uint8_t c(const std::string& ramp, int level) const;
    // The same for a name given as text: looked up once per text, as painting asks for
    // the same few ramps millions of times.
    uint8_t c(const char* ramp, int level) const;
    const Ramp& ramp(const std::string& name) const;
    // Nearest colour in 1..239 by the sum of component differences.
    uint8_t nearest(int r, int g, int b) const;
};

// Paths of the sources and the palette, shared by every content function.
struct GenContext {
    std::string datadir;
    Palette pal;
    // Stand-ins for the attract demos instead of the recordings in demos/: a data set to
    // record them with.
    bool demo_standins = false;
};
extern GenContext gen;

std::string GEN_ReadText(const std::string& relpath);
// Lines of a source file with comments (#) and trailing blanks removed; empty lines kept
// so that line numbers in messages match.
std::vector<std::string> GEN_ReadLines(const std::string& relpath);
std::vector<std::string> GEN_Split(const std::string& line);
int GEN_ToInt(const std::string& word, const std::string& where);

void PAL_Load(const std::string& relpath, Palette& pal);
Bytes PAL_Bytes(const Palette& pal);

// Deterministic noise: a hash of integer coordinates and a seed, and smooth value noise
// that repeats every `period` pixels in x and y (tile textures stay seamless).
uint32_t GEN_Hash(int x, int y, int seed);
double GEN_Noise(double x, double y, int period, int seed);
double GEN_Fractal(double x, double y, int period, int seed, int octaves);

// Items from images.
Bytes GEN_Picture(const Image& img);
Bytes GEN_Sprite(const Image& img);

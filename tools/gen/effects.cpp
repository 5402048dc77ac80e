// Battlefield effects: explosions that swell, burn out and turn to smoke; sparks and flares
// over wrecked buildings; tumbling debris; muzzle flashes, shot and beam hits, an energy
// crackle; the shapes that the game draws as brightening (missile smoke, the shield flash,
// the glow round a pickup); and the pickup pictures of every inventory type.
//
// Everything is drawn from a few seeded shapes and noise, frame by frame as a function of
// the animation's time t (0 at the first frame, 1 at the last), in the palette's ramps.
#include <algorithm>
#include <cmath>

#include "content.h"
#include "episode.h"

namespace
{

const Palette& P()
{
    return gen.pal;
}

double Clamp01(double v)
{
    return v < 0 ? 0 : v > 1 ? 1 : v;
}

double Smooth(double a, double b, double v)
{
    double t = Clamp01((v - a) / (b - a));
    return t * t * (3 - 2 * t);
}

// A number in [0, 1) from a hash: the same for the same key in every run.
double Rand(int k, int salt, int seed)
{
    return (GEN_Hash(k, salt, seed) & 0xFFFFFF) / 16777216.0;
}

// 4x4 ordered dither threshold in (0, 1): level steps between neighbouring ramp colours
// fall in a fine, even pattern instead of bands.
double Bayer(int x, int y)
{
    static const int m[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (m[y & 3][x & 3] + 0.5) / 16.0;
}

int Dither(double level, int x, int y)
{
    return static_cast<int>(std::floor(level + Bayer(x, y) - 0.5 + 0.5));
}

// Heat 0..1 to a colour: white-hot, yellow, orange, red, dark red.
uint8_t FireColour(double heat, int x, int y)
{
    return P().c("fire", std::clamp(Dither(1 + heat * 14.5, x, y), 1, 15));
}

// ---- explosions -----------------------------------------------------------------------

struct Blob {
    double dx, dy; // direction and distance of the blob's final place, in radii
    double r;      // final radius, in radii of the whole explosion
    double delay;  // when it bursts out, 0..1
};

std::vector<Blob> Blobs(int count, int seed)
{
    std::vector<Blob> b;
    for (int k = 0; k < count; k++) {
        double a = Rand(k, 1, seed) * 2 * M_PI, d = k == 0 ? 0 : 0.15 + Rand(k, 2, seed) * 0.4;
        b.push_back({std::cos(a) * d, std::sin(a) * d,
                     k == 0 ? 0.55 : 0.28 + Rand(k, 3, seed) * 0.2,
                     k == 0 ? 0 : Rand(k, 4, seed) * 0.18});
    }
    return b;
}

// A fireball of `size` pixels at time t: a white flash, billowing fire that cools from the
// edges inward, then smoke that drifts, swells and thins out. `dust` colours the smoke as
// earth thrown up from the ground; `fire` is how long the fire lasts, as a share of t.
Image Explosion(int size, double t, int seed, bool dust, double fire)
{
    Image img(size, size);
    const double c = (size - 1) / 2.0, R = size / 2.0 - 0.5;
    const std::vector<Blob> blobs = Blobs(6 + size / 10, seed);
    const double heatLeft = 1 - Smooth(0.05, fire, t); // how hot the cloud still is
    const double rise = t * size * 0.12;               // smoke drifts up a little
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double n = GEN_Fractal(x + seed * 13.0, y + rise * 2 + seed * 7.0, size, seed, 3);
            double dens = -1, core = 0, nx = 0, ny = 0;
            for (const Blob& b : blobs) {
                double g = Smooth(b.delay, b.delay + 0.22, t + 0.06); // bursting out
                if (g <= 0) continue;
                double bx = c + b.dx * R * (0.4 + 0.6 * g);
                double by = c + b.dy * R * (0.4 + 0.6 * g) - rise * (b.dy < 0 ? 1.2 : 0.8);
                double br = b.r * R * (0.5 + 0.5 * g) * (1 + 0.25 * t);
                double d = std::hypot(x - bx, y - by) / br;
                if (1 - d > dens) {
                    dens = 1 - d;
                    nx = (x - bx) / br; // where on its own puff the pixel lies, for lighting
                    ny = (y - by) / br;
                }
                core = std::max(core, (1 - d) * (1 - std::fabs(b.delay - t) * 2));
            }
            double edge = dens + (n - 0.5) * 0.55;
            if (edge <= 0) continue;
            // The cloud falls apart into wisps at the end.
            if (t > 0.5 && n + Bayer(x, y) * 0.35 < (t - 0.5) * 2.1) continue;

            double heat = heatLeft * (0.45 + dens * 0.9 + core * 0.35 + (n - 0.5) * 0.5);
            if (t < 0.12) // the first flash, white in the middle
                heat += (0.12 - t) * 9 * std::max(0.0, 1 - std::hypot(x - c, y - c) / (R * 0.75));
            if (heat > 0.3) {
                img.set(x, y, FireColour(std::min(heat, 1.0) * 1.05 - 0.05, x, y));
                continue;
            }
            // Smoke in rounded puffs lit from the top left, darker where puffs meet, the
            // edges of the fire glowing dull red into it.
            double lit = -(nx + ny) * 0.7;
            double level = 5.2 + lit * 2.6 + std::min(edge, 0.4) * 4 + (n - 0.5) * 2 - t * 1.5;
            if (heat > 0.18 && Bayer(x, y) < (heat - 0.18) * 8) {
                img.set(x, y, P().c("fire", 2 + static_cast<int>(heat * 6)));
            } else if (dust && Bayer(y, x) < 0.6) {
                img.set(x, y, P().c("earth", std::clamp(Dither(level + 1.5, x, y), 2, 10)));
            } else {
                img.set(x, y, P().c("grey", std::clamp(Dither(level, x, y), 2, 11)));
            }
        }
    return img;
}

// The big ground blast of a destroyed building: the fireball, a ring of dust thrown out
// along the ground, and clods of earth flying out early.
Image GroundBlast(int size, double t, int seed)
{
    Image img = Explosion(size, t, seed, true, 0.55);
    const double c = (size - 1) / 2.0, R = size / 2.0 - 0.5;
    if (t < 0.35) {
        double r = R * (0.35 + 1.9 * t);
        for (int y = 0; y < size; y++)
            for (int x = 0; x < size; x++) {
                double d = std::fabs(std::hypot(x - c, y - c) - r);
                if (d < 1.3 && !img.at(x, y) && Bayer(x, y) > t * 2.4)
                    img.set(x, y, P().c("earth", 7 - static_cast<int>(t * 10)));
            }
    }
    for (int k = 0; k < 10 && t < 0.4; k++) {
        double a = Rand(k, 9, seed) * 2 * M_PI, sp = 0.5 + Rand(k, 10, seed) * 0.7;
        double d = R * sp * std::sqrt(t / 0.4) * 1.1;
        int x = static_cast<int>(c + std::cos(a) * d), y = static_cast<int>(c + std::sin(a) * d);
        img.set(x, y, P().c("earth", 2));
        img.set(x + 1, y, P().c("earth", 4));
    }
    return img;
}

// ---- sparks, flares, debris -------------------------------------------------------------

// A burst of sparks flying out with fading trails.
Image Sparks(int size, double t, int seed)
{
    Image img(size, size);
    const double c = (size - 1) / 2.0, R = size / 2.0 - 1;
    for (int k = 0; k < 16; k++) {
        double a = Rand(k, 1, seed) * 2 * M_PI, sp = 0.45 + Rand(k, 2, seed) * 0.55;
        double life = 0.55 + Rand(k, 3, seed) * 0.45;
        if (t > life) continue;
        double age = t / life;
        auto at = [&](double u) { return R * sp * (1 - (1 - u) * (1 - u)); }; // slowing down
        double d = at(age), d0 = at(std::max(0.0, age - 0.18));
        for (double s = d0; s <= d; s += 0.5) {
            int x = static_cast<int>(std::lround(c + std::cos(a) * s));
            int y = static_cast<int>(std::lround(c + std::sin(a) * s));
            double heat = (1 - age) * (0.45 + 0.55 * (s - d0) / std::max(d - d0, 0.01));
            img.set(x, y, FireColour(heat, x, y));
        }
    }
    if (t < 0.15) IMG_Disc(img, c + 0.5, c + 0.5, 2.5 - t * 10, P().c("fire", 15));
    return img;
}

// A fire burning on a wreck: flame tongues licking upward and flickering, dying down to
// embers and a last wisp of smoke.
Image Flare(int w, int h, double t, int frame, int seed)
{
    Image img(w, h);
    const double strength = Smooth(0, 0.1, t) * (1 - Smooth(0.6, 1.0, t) * 0.85);
    struct Src {
        double x, y, s;
    };
    std::vector<Src> src;
    for (int k = 0; k < 3; k++)
        src.push_back({w * (0.28 + 0.44 * Rand(k, 1, seed)), h * (0.62 + 0.22 * Rand(k, 2, seed)),
                       0.75 + 0.25 * Rand(k, 3, seed)});
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            // The noise scrolls upward with the frames: the flames rise.
            double n = GEN_Fractal(x * 1.3, y + frame * 3.1, 16, seed, 2);
            double heat = 0;
            for (size_t k = 0; k < src.size(); k++) {
                double flick = 0.8 + 0.2 * std::sin(frame * 2.3 + k * 2.1);
                double up = y < src[k].y ? 9.5 * flick : 3.0;
                double dx = (x - src[k].x + (n - 0.5) * 4 * (src[k].y - y) / 8) / (3.2 * src[k].s);
                double dy = (y - src[k].y) / (up * src[k].s);
                heat = std::max(heat, (1 - dx * dx - dy * dy) * src[k].s);
            }
            heat = heat * strength + (n - 0.5) * 0.3 * strength;
            if (heat > 0.16) img.set(x, y, FireColour(std::min(1.0, 0.15 + heat * 1.2), x, y));
        }
    // Smoke wisps rise from the dying fire.
    for (int k = 0; k < 2 && t > 0.55; k++) {
        double sx = src[k].x + std::sin(t * 9 + k) * 1.5, sy = src[k].y - 4 - (t - 0.55) * h * 1.2;
        if (Rand(frame, k, seed) < 0.8 && !img.at(static_cast<int>(sx), static_cast<int>(sy)))
            IMG_Disc(img, sx, sy, 1.2, P().c("grey", 7 - k));
    }
    return img;
}

// Bits of a wreck flying apart, tumbling, some still glowing, and slowing to a stop.
Image Debris(int size, double t, int seed)
{
    Image img(size, size);
    const double c = (size - 1) / 2.0, R = size / 2.0 - 3;
    for (int k = 0; k < 5; k++) {
        double a = (k + Rand(k, 1, seed) * 0.7) * (2 * M_PI / 5);
        double sp = 0.55 + Rand(k, 2, seed) * 0.45;
        double d = R * sp * (1 - (1 - t) * (1 - t));
        double px = c + std::cos(a) * d, py = c + std::sin(a) * d;
        const bool hot = k % 2 == 0;
        if (hot && t < 0.75) // a thin smoke trail behind the glowing ones
            for (int s = 2; s < 7; s++) {
                double back = d - s * 1.1 * (1.2 - t);
                if (back <= 0) break;
                int x = static_cast<int>(std::lround(c + std::cos(a) * back));
                int y = static_cast<int>(std::lround(c + std::sin(a) * back));
                if (Bayer(x, y) < 0.7 - s * 0.08) img.set(x, y, P().c("grey", 8 - s / 2));
            }
        // The chunk: a small plate turning round its middle, its lit face flipping as it
        // tumbles; it shrinks to a speck as it falls away.
        double spin = t * (7 + 5 * Rand(k, 3, seed)) * (k % 2 ? 1 : -1);
        double len = (t > 0.8 ? 1.0 : 2.2) * (0.8 + 0.4 * Rand(k, 4, seed));
        double wid = t > 0.8 ? 0.6 : 1.2;
        double ca = std::cos(spin), sa = std::sin(spin);
        for (int y = -3; y <= 3; y++)
            for (int x = -3; x <= 3; x++) {
                double u = x * ca + y * sa, v = -x * sa + y * ca;
                if (std::fabs(u) > len || std::fabs(v) > wid) continue;
                int X = static_cast<int>(std::lround(px)) + x;
                int Y = static_cast<int>(std::lround(py)) + y;
                bool lit = (v < 0) == (std::cos(spin * 1.7) > 0);
                uint8_t col = hot ? P().c("fire", t < 0.45 ? (lit ? 13 : 9) : (lit ? 7 : 4))
                                  : P().c("steel", lit ? 11 : 5);
                img.set(X, Y, col);
            }
    }
    IMG_Outline(img, P().c("grey", 1));
    return img;
}

// ---- small flashes and hits ---------------------------------------------------------------

// The ship's gun flash: a short bright star with a long spike forward.
Image Muzzle(int frame)
{
    Image img(8, 8);
    const double s = 1 - frame * 0.25;
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) {
            double dx = std::fabs(x - 3.5), dy = y - 4.5;
            double star = std::max(1 - (dx * 0.9 + std::fabs(dy) * 0.35) / (3.5 * s),
                                   1 - (dx * 0.35 + std::fabs(dy) * 1.1) / (2.5 * s));
            if (dy < 0) star = std::max(star, 1 - (dx * 1.4 - dy * 0.25) / (3.5 * s));
            if (star <= 0) continue;
            img.set(x, y, FireColour(std::min(1.0, star * 1.3 + 0.25 - frame * 0.12), x, y));
        }
    return img;
}

// A shot hitting: variant 0 a star of sparks, variant 1 a small hot puff with a ring.
Image Hit(int variant, double t)
{
    const int size = 12;
    Image img(size, size);
    const double c = 5.5;
    if (variant == 0) {
        for (int k = 0; k < 6; k++) {
            double a = k * M_PI / 3 + 0.4, len = (1 - t) * 5.5;
            for (double s = len * t; s <= len; s += 0.5) {
                int x = static_cast<int>(std::lround(c + std::cos(a) * s));
                int y = static_cast<int>(std::lround(c + std::sin(a) * s));
                img.set(x, y, FireColour((1 - t) * (1 - s / 7), x, y));
            }
        }
        if (t < 0.5) IMG_Disc(img, c + 0.5, c + 0.5, 2.2 - t * 3, P().c("fire", 15));
    } else {
        double r = 1.5 + t * 4;
        for (int y = 0; y < size; y++)
            for (int x = 0; x < size; x++) {
                double d = std::hypot(x - c, y - c);
                if (std::fabs(d - r) < 0.8 && Bayer(x, y) > t * 0.8)
                    img.set(x, y, FireColour(0.8 - t * 0.6, x, y));
                else if (d < r - 1 && t < 0.7)
                    img.set(x, y, FireColour((1 - d / r) * (1 - t) * 1.2, x, y));
                else if (d < r - 1 && Bayer(x, y) > 0.55)
                    img.set(x, y, P().c("grey", 4));
            }
    }
    return img;
}

// A beam striking: a blue-white splash that changes shape every frame.
Image BeamHit(int frame)
{
    const int size = 14;
    Image img(size, size);
    const double c = 6.5;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double dx = x - c, dy = y - c, d = std::hypot(dx, dy), a = std::atan2(dy, dx);
            double spikes = 2.2 + 3.5 * std::pow(std::fabs(std::sin(a * 3 + frame * 0.9)), 6);
            double r = (frame % 2 ? 5.0 : 4.2) + spikes * 0.5;
            if (d > r) continue;
            double heat = 1 - d / r;
            img.set(x, y,
                    heat > 0.55 ? P().c("ice", 15) : P().c("water", 7 + Dither(heat * 12, x, y)));
        }
    return img;
}

// An energy weapon's hit: lightning crackling round the target, flickering out.
Image Energy(int size, double t, int frame)
{
    Image img(size, size);
    const double c = (size - 1) / 2.0, R = size / 2.0 - 1;
    const double fade = 1 - Smooth(0.6, 1.0, t);
    for (int k = 0; k < 5; k++) {
        if (Rand(frame, k, 77) > 0.35 + fade * 0.6) continue;
        double a = Rand(frame, k + 10, 77) * 2 * M_PI;
        double x = c, y = c;
        for (int s = 0; s < 6; s++) {
            double r = R * (s + 1) / 6.0;
            double aa = a + (Rand(frame * 7 + s, k, 78) - 0.5) * 0.9;
            double nx = c + std::cos(aa) * r, ny = c + std::sin(aa) * r;
            IMG_Line(img, static_cast<int>(x), static_cast<int>(y), static_cast<int>(nx),
                     static_cast<int>(ny), P().c(s < 2 ? "ice" : "water", s < 2 ? 15 : 16 - s));
            x = nx;
            y = ny;
        }
    }
    if (fade > 0.2) IMG_Disc(img, c + 0.5, c + 0.5, 1.5 + fade * 1.5, P().c("ice", 15));
    return img;
}

// ---- shapes drawn as brightening ------------------------------------------------------------

// A smoke puff: a round shape that swells and thins into a dither; its colours show only
// where a puff is drawn as a sprite.
Image Puff(int size, double t, int seed)
{
    Image img(size, size);
    const double c = (size - 1) / 2.0, r = size / 2.0 * (0.45 + 0.55 * t);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double n = GEN_Noise(x * 0.6, y * 0.6, 64, seed);
            double d = std::hypot(x - c, y - c) / (r * (0.8 + 0.35 * n));
            if (d > 1) continue;
            if (Bayer(x, y) < (t - 0.35) * 0.9 + d * d * 0.3) continue;
            double lit = ((c - x) + (c - y)) / size;
            img.set(x, y, P().c("grey", std::clamp(Dither(8 + lit * 6 - t * 3, x, y), 2, 13)));
        }
    return img;
}

// The flash round the ship of a mega bomb or a hit on the super shield: a filled bubble
// that opens into a widening, fading ring.
Image FlashShape(int frame)
{
    const int size = 48;
    Image img(size, size);
    const double c = 23.5;
    const double outer[4] = {16, 19, 22, 23.5}, inner[4] = {0, 12, 17, 21};
    const double dens[4] = {0.7, 0.85, 0.6, 0.35};
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double d = std::hypot(x - c, y - c);
            if (d > outer[frame] || d < inner[frame]) continue;
            double rim = 1 - std::fabs(d - outer[frame] + 1.5) / 3;
            if (Bayer(x, y) < dens[frame] + rim * 0.5) img.set(x, y, P().c("ice", 10 + frame));
        }
    return img;
}

// The glow round a pickup: a halo just outside the 16-pixel picture, densest at its inner
// edge, its sparkle turning from frame to frame. All four frames have the same size, as
// the game centres them by the first.
Image Glow(int frame)
{
    const int size = 24;
    Image img(size, size);
    const double c = 11.5;
    const double reach[4] = {10.5, 11.5, 12, 11.5};
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double d = std::hypot(x - c, y - c);
            if (d < 6.5 || d > reach[frame]) continue;
            double a = std::atan2(y - c, x - c);
            double sparkle = 0.5 + 0.5 * std::cos(a * 4 + frame * M_PI / 2);
            double v = (1 - (d - 6.5) / (reach[frame] - 6.5)) * (0.75 + 0.35 * sparkle);
            if (Bayer(x, y) < v) img.set(x, y, P().c("grey", 14));
        }
    return img;
}

// ---- pickups ------------------------------------------------------------------------------

// Icons on the pickup pods, 10 x 10: '#' the icon colour, '+' its highlight, 'o' its shade.
struct Icon {
    const char* ramp;
    const char* rows[10];
};

// clang-format off
const Icon kIcons[] = {
    // 0 main gun: twin cannon rounds
    {"gold", {"..........", ".+#....+#.", ".##o...##o", ".##o...##o", ".##o...##o",
              ".##o...##o", ".##o...##o", ".ooo...ooo", "..........", ".........."}},
    // 1 second main gun: a fan of three rounds
    {"gold", {"....+#....", "....##o...", ".+#.##o+#.", ".##o##o##o", ".##o##o##o",
              "..##oo##o.", "..##o.##o.", "...o...o..", "..........", ".........."}},
    // 2 third main gun: plasma balls
    {"toxic", {"...+##....", "..+####...", "..######o.", "..#####oo.", "...####o..",
               "....oo.+#.", "......####", "......###o", ".......oo.", ".........."}},
    // 3 seeking missiles: a missile and its curving path
    {"fire", {".....+....", "....+#o...", "....##o...", "....##o...", "...###oo..",
              "...#.#.o..", "..o..o....", ".o...o....", "o....o....", ".........."}},
    // 4 aiming guns: a crosshair
    {"water", {"....#o....", "....#o....", "..+####o..", ".+#.#o.#o.", "####++####",
               "oooo##oooo", ".#o.#o.#o.", "..+####o..", "....#o....", "....#o...."}},
    // 5 laser: a bright line and its emitter
    {"violet", {"....+.....", "....#.....", "....#.....", "....#.....", "....#.....",
                "....#.....", "...+#o....", "..+###o...", "..#####o..", "..ooooo..."}},
    // 6 air-to-air missile
    {"steel", {"....+#....", "...+##o...", "...###o...", "...###o...", "...###o...",
               "...###o...", "..####oo..", ".###..#oo.", ".o#....o..", ".........."}},
    // 7 twin missiles
    {"steel", {".+#....+#.", ".##o...##o", ".##o...##o", ".##o...##o", "###oo.###o",
               "#o.o..#o.o", "..........", "..........", "..........", ".........."}},
    // 8 ground missile, nose down
    {"rust", {"..........", ".o#....o..", ".###..#oo.", "..####oo..", "...###o...",
              "...###o...", "...###o...", "...###o...", "...+##o...", "....+#...."}},
    // 9 heavy bomb
    {"olive", {"...+##o...", "...#oo#...", "..+####o..", ".+######o.", ".########o",
               ".########o", ".#######oo", "..#####oo.", "...ooooo..", ".........."}},
    // 10 spread shot: rounds fanning out
    {"fire", {"+#......+#", "#o..+#..#o", "...+##o...", "...###o...", ".+#.##o+#.",
              ".##o..o##o", "..........", "....#o....", "...###o...", "....oo...."}},
    // 11 mega bomb: a round bomb with a lit fuse
    {"steel", {"......+#..", ".....#..+.", "....#o....", "..+####o..", ".+######o.",
               ".########o", ".########o", ".#######oo", "..######o.", "...oooo..."}},
    // 12 pulse cannon: stacked chevrons
    {"violet", {"....+#....", "...#oo#...", "..#o..o#..", "....+#....", "...#oo#...",
                "..#o..o#..", "....+#....", "...#oo#...", "..#o..o#..", ".........."}},
    // 13 beam: a wide bright ray
    {"water", {"...+##o...", "...+##o...", "...+##o...", "...+##o...", "...+##o...",
               "...+##o...", "..+####o..", ".+######o.", ".########o", "..oooooo.."}},
    // 14 twin beams
    {"fire", {".+o....+o.", ".+o....+o.", ".+o....+o.", ".+o....+o.", ".+o....+o.",
              ".+o....+o.", "+##o..+##o", "####oo####", "#########o", ".oooooooo."}},
    // 15 super shield: a crest
    {"ice", {".+######o.", "+########o", "+###++##oo", "+##++++#oo", "+###++##oo",
             ".+######o.", ".+######o.", "..+####o..", "...+##o...", "....oo...."}},
    // 16 shield: an energy cell with a plus
    {"toxic", {"...+##o...", ".+######o.", ".#######oo", ".###++##oo", ".#++++++#o",
               ".#++++++#o", ".###++##oo", ".#######oo", ".#######oo", "..oooooo.."}},
};
// clang-format on

// A round pod, lit from the top left, rim in the category's ramp; `glint` moves the light
// round the rim on animated pickups.
void Pod(Image& img, const std::string& rim, int glint)
{
    const double c = 7.5;
    const double ga = -2.4 + glint * M_PI / 2;
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            double dx = x - c, dy = y - c, d = std::hypot(dx, dy);
            if (d > 7.3) continue;
            if (d > 5.6) {
                double a = std::atan2(dy, dx), shine = std::cos(a - ga);
                img.set(x, y, P().c(rim, std::clamp(Dither(8 + shine * 5, x, y), 2, 15)));
            } else {
                double lit = -(dx + dy) / 11;
                img.set(x, y, P().c("steel", std::clamp(Dither(2.5 + lit * 2, x, y), 1, 5)));
            }
        }
}

void DrawIcon(Image& img, const Icon& icon, int ox, int oy)
{
    for (int y = 0; y < 10; y++)
        for (int x = 0; x < 10 && icon.rows[y][x]; x++) {
            char ch = icon.rows[y][x];
            if (ch == '#') img.set(ox + x, oy + y, P().c(icon.ramp, 13));
            if (ch == '+') img.set(ox + x, oy + y, P().c("grey", 15));
            if (ch == 'o') img.set(ox + x, oy + y, P().c(icon.ramp, 8));
        }
}

// Money: a gem whose cut and colour say how much it is worth.
Image Gem(const std::string& ramp, int shape, int frame)
{
    Image img(16, 16);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            double dx = x - 7.5, dy = y - 7.5;
            bool in = shape == 0   ? std::fabs(dx) + std::fabs(dy) < 7.2        // diamond
                      : shape == 1 ? std::fabs(dx) < 6.5 && std::fabs(dy) < 4.5 // bar
                      : shape == 2 ? std::max(std::fabs(dx) * 0.87 + std::fabs(dy) * 0.5,
                                              std::fabs(dy)) < 6.3    // hexagon
                                   : dx * dx / 42 + dy * dy / 30 < 1; // oval
            if (!in) continue;
            // Facets: the light falls on the upper left faces.
            int facet = (dx < 0) + 2 * (dy < 0);
            static const int shade[4] = {5, 8, 10, 14};
            int level = shade[facet];
            if (std::fabs(dx) + std::fabs(dy) < 3.2) level = 12;
            img.set(x, y, P().c(ramp, level));
        }
    IMG_Outline(img, P().c("grey", 0));
    int sx = 4 + (frame * 3) % 8;
    img.set(sx, 4, P().c("grey", 14));
    return img;
}

// A gold bar: its top face catching the light, the front in shade.
Image Ingot()
{
    Image img(16, 16);
    for (int y = 3; y < 13; y++)
        for (int x = 1; x < 15; x++) {
            bool top = y < 8;
            int inset = top ? (8 - y) / 2 : 0; // the top face narrows toward the back
            if (x < 1 + inset || x > 14 - inset) continue;
            int level = top ? 13 - (x - 1) / 5 : 8 - (y - 8);
            if (top && y == 7) level = 15;
            img.set(x, y, P().c("wheat", level));
        }
    IMG_Outline(img, P().c("grey", 0));
    img.set(4, 4, P().c("grey", 15));
    return img;
}

// The commonest money: a small coin spinning, its width by the turn.
Image Coin(int frame)
{
    Image img(16, 16);
    const double halfw[4] = {5.5, 3.5, 1.2, 3.5};
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            double dx = (x - 7.5) / halfw[frame], dy = (y - 7.5) / 5.5;
            if (dx * dx + dy * dy > 1) continue;
            int level = 3 - static_cast<int>(std::floor((dx + dy) * 1.2));
            if (frame == 2) level = 2;
            img.set(x, y, P().c("gold", std::clamp(level, 0, 4)));
        }
    if (frame != 2)
        for (int y = 5; y <= 10; y++)
            img.set(8, y, P().c("earth", 4));
    IMG_Outline(img, P().c("grey", 0));
    return img;
}

Image Pickup(int kind, int frame)
{
    switch (kind) {
    case 17:
    case 18:
        return Ingot();
    case 19:
        return Gem("toxic", 0, frame);
    case 20:
        return Gem("water", 2, frame);
    case 21:
        return Gem("violet", 3, frame);
    case 22:
        return Gem("fire", 0, frame);
    case 23:
        return Coin(frame);
    default:
        break;
    }
    static const char* rims[17] = {"gold",   "gold",  "gold", "fire",  "water", "violet",
                                   "steel",  "steel", "rust", "olive", "fire",  "fire",
                                   "violet", "water", "fire", "ice",   "toxic"};
    Image img(16, 16);
    Pod(img, rims[kind], frame);
    // Animated pickups also pulse their icon a little.
    DrawIcon(img, kIcons[kind], 3, 3 - (frame == 1 ? 1 : 0) * (kind == 16));
    IMG_Outline(img, P().c("grey", 0));
    return img;
}

} // namespace

bool EFFECTS_Makes(const std::string& what)
{
    static const char* const mine[] = {
        "anim.groundblast", "anim.explosion", "anim.energy", "anim.hit",   "anim.muzzle",
        "anim.smoke",       "anim.beamhit",   "anim.glow",   "anim.flash", "anim.flare",
        "anim.spark",       "anim.debris",    "pickup"};
    return std::find(std::begin(mine), std::end(mine), what) != std::end(mine);
}

std::vector<Image> EFFECTS_Frames(const std::string& what, int param, int n)
{
    std::vector<Image> out;
    for (int i = 0; i < n; i++) {
        const double t = n > 1 ? static_cast<double>(i) / (n - 1) : 0;
        if (what == "anim.groundblast")
            out.push_back(GroundBlast(40, t, 11));
        else if (what == "anim.explosion")
            out.push_back(Explosion(param, t, param, false, param >= 40 ? 0.72 : 0.66));
        else if (what == "anim.energy")
            out.push_back(Energy(24, t, i));
        else if (what == "anim.hit")
            out.push_back(Hit(param, t));
        else if (what == "anim.muzzle")
            out.push_back(Muzzle(i));
        else if (what == "anim.smoke")
            out.push_back(Puff(param ? 8 : 10, t, 30 + param));
        else if (what == "anim.beamhit")
            out.push_back(BeamHit(i));
        else if (what == "anim.glow")
            out.push_back(Glow(i % 4));
        else if (what == "anim.flash")
            out.push_back(FlashShape(i % 4));
        else if (what == "anim.flare")
            out.push_back(Flare(18, 22, t, i, 50));
        else if (what == "anim.spark")
            out.push_back(Sparks(26, t, 60));
        else if (what == "anim.debris")
            out.push_back(Debris(32, t, 70));
        else if (what == "pickup")
            out.push_back(Pickup(param, i));
        else
            GEN_Fail("no effect art for '%s'", what.c_str());
    }
    return out;
}

// ---- contact sheets ---------------------------------------------------------------------------

namespace
{

// Background of a sheet: a strip of landscape tiles of one episode, repeated.
Image Ground(int w, int h, int episode, int tile)
{
    const Episode& ep = EPI_Get(episode);
    Image img(w, h);
    const Image& t = ep.tiles[static_cast<size_t>(tile) % ep.tiles.size()];
    for (int y = 0; y < h; y += t.h)
        for (int x = 0; x < w; x += t.w)
            IMG_Blit(img, t, x, y, false);
    return img;
}

// Draws a picture on a background as the game does: copied, or (shade) every pixel of its
// shape brightened by the game's standard lightening of nine palette steps.
void Put(Image& dst, const Image& pic, int x, int y, bool shade)
{
    for (int j = 0; j < pic.h; j++)
        for (int i = 0; i < pic.w; i++) {
            uint8_t c = pic.at(i, j);
            if (!c || !dst.inside(x + i, y + j)) continue;
            if (!shade) {
                dst.set(x + i, y + j, c);
                continue;
            }
            const uint8_t* rgb = P().rgb[dst.at(x + i, y + j)];
            dst.set(x + i, y + j,
                    P().nearest(std::min(rgb[0] + 9, 63), std::min(rgb[1] + 9, 63),
                                std::min(rgb[2] + 9, 63)));
        }
}

Image Zoom(const Image& src, int k)
{
    return IMG_Scale(src, src.w * k, src.h * k);
}

// One row per animation run: its frames side by side over the ground, at twice the size.
Image AnimationSheet()
{
    struct Row {
        const char* content;
        int param, count;
        bool shade;
        const char* name;
    };
    static const Row rows[] = {
        {"anim.groundblast", 0, 42, false, "0 ground blast"},
        {"anim.explosion", 48, 35, false, "1 big blast"},
        {"anim.explosion", 16, 7, false, "2 small blast"},
        {"anim.explosion", 28, 10, false, "3 blast"},
        {"anim.explosion", 32, 12, false, "4 air blast"},
        {"anim.explosion", 24, 13, false, "5 fireball"},
        {"anim.explosion", 20, 14, false, "6 impact"},
        {"anim.debris", 0, 16, false, "7 debris"},
        {"anim.explosion", 40, 12, false, "8 burst"},
        {"anim.beamhit", 0, 4, false, "9 laser hit"},
        {"anim.smoke", 0, 9, false, "10 smoke"},
        {"anim.smoke", 0, 9, true, "11 missile smoke (last 5)"},
        {"anim.smoke", 1, 4, true, "12 enemy missile smoke"},
        {"anim.energy", 0, 14, false, "13/19 energy hit"},
        {"anim.hit", 0, 9, false, "14 shot hit"},
        {"anim.hit", 1, 9, false, "15 shot hit"},
        {"anim.muzzle", 0, 4, false, "16 muzzle flash"},
        {"anim.flare", 0, 26, false, "17 flare"},
        {"anim.spark", 0, 17, false, "18 sparks"},
        {"anim.flash", 0, 4, true, "20 bomb / shield flash"},
        {"anim.glow", 0, 4, true, "pickup glow"},
    };
    const Font& f = FONT_Get("small");
    std::vector<Image> strips;
    int width = 0;
    for (const Row& r : rows) {
        std::vector<Image> frames = EFFECTS_Frames(r.content, r.param, r.count);
        int w = 4, h = 0;
        for (const Image& fr : frames) {
            w += fr.w + 4;
            h = std::max(h, fr.h);
        }
        Image strip = Ground(std::max(w, 140), h + 4 + f.height + 2, 0, 0);
        FONT_Print(strip, f, 3, 1, r.name, P().c("grey", 15));
        int x = 4;
        for (const Image& fr : frames) {
            Put(strip, fr, x, f.height + 3 + (h - fr.h) / 2, r.shade);
            x += fr.w + 4;
        }
        strips.push_back(Zoom(strip, 2));
        width = std::max(width, strips.back().w);
    }
    int height = 0;
    for (const Image& s : strips)
        height += s.h + 2;
    Image sheet(width, height, P().c("steel", 2));
    int y = 0;
    for (const Image& s : strips) {
        IMG_Blit(sheet, s, 0, y, false);
        y += s.h + 2;
    }
    return sheet;
}

// Every pickup in all its frames with its glow, as it shows in flight, at four times the
// size, over grass and over sand.
Image PickupSheet()
{
    const std::vector<Image> glow = EFFECTS_Frames("anim.glow", 0, 4);
    const int frames[24] = {1, 2, 2, 1, 4, 4, 1, 1, 1, 1, 4, 1, 2, 4, 4, 1, 4, 1, 1, 1, 1, 1, 1, 4};
    Image sheet(24 * 30 + 8, 2 * (4 * 30) + 12, P().c("steel", 2));
    for (int half = 0; half < 2; half++) {
        Image strip = Ground(24 * 30 + 4, 4 * 30 + 2, half ? 1 : 0, half ? 1 : 0);
        for (int kind = 0; kind < 24; kind++) {
            std::vector<Image> pics = EFFECTS_Frames("pickup", kind, frames[kind]);
            for (int k = 0; k < 4; k++) {
                int x = 4 + kind * 30, y = 4 + k * 30;
                Put(strip, pics[static_cast<size_t>(k) % pics.size()], x + 4, y + 4, false);
                Put(strip, glow[static_cast<size_t>(k)], x, y, true);
            }
        }
        IMG_Blit(sheet, strip, 2, 4 + half * (4 * 30 + 6), false);
    }
    return Zoom(sheet, 2);
}

} // namespace

std::vector<std::pair<std::string, Image>> EFFECTS_Sheets()
{
    return {{"effects.png", AnimationSheet()}, {"pickups.png", PickupSheet()}};
}

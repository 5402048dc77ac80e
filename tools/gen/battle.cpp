// Battlefield effects and pickups: explosions, smoke, sparks, shots, beams, glows and the
// pickup pictures, drawn from noise and simple shapes.
#include <cmath>

#include "content.h"

namespace
{

const Palette& P()
{
    return gen.pal;
}

// A fireball of diameter `size` at time t (0..1): hot and round early, ragged and smoky late.
Image Fireball(int size, double t, int seed)
{
    Image img(size, size);
    double c = (size - 1) / 2.0;
    double radius = size / 2.0 * (0.35 + 0.65 * std::sqrt(t)) - 0.5;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double dx = x - c, dy = y - c, d = std::sqrt(dx * dx + dy * dy);
            double n = GEN_Fractal(x + seed * 7.0, y, 32, seed, 3);
            double edge = radius * (0.75 + 0.5 * n);
            if (d > edge) continue;
            double heat = (1 - d / edge) * (1.3 - 1.2 * t) + (n - 0.5) * 0.6;
            if (t > 0.55 && n < (t - 0.55) * 1.6) continue; // the cloud thins out
            uint8_t col;
            if (heat > 0.2)
                col = P().c("fire", static_cast<int>(4 + heat * 12));
            else
                col = P().c("grey", static_cast<int>(3 + n * 6 - t * 2));
            img.set(x, y, col);
        }
    return img;
}

Image Sparks(int size, double t, int seed, const std::string& ramp)
{
    Image img(size, size);
    double c = size / 2.0;
    for (int k = 0; k < 10; k++) {
        double a = (GEN_Hash(k, 1, seed) % 628) / 100.0,
               sp = 0.4 + (GEN_Hash(k, 2, seed) % 60) / 100.0;
        double r = t * sp * c;
        int x = static_cast<int>(c + std::cos(a) * r), y = static_cast<int>(c + std::sin(a) * r);
        img.set(x, y, P().c(ramp, static_cast<int>(15 - t * 10)));
        if (t < 0.5) img.set(x + 1, y, P().c(ramp, 10));
    }
    if (t < 0.3) IMG_Disc(img, c, c, 1.5, P().c(ramp, 15));
    return img;
}

Image Puff(int size, double t, int seed)
{
    Image img(size, size);
    double c = (size - 1) / 2.0, r = size / 2.0 * (0.4 + 0.6 * t);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double d = std::hypot(x - c, y - c), n = GEN_Noise(x * 0.5, y * 0.5 + seed, 64, seed);
            if (d < r * (0.7 + 0.4 * n) && n > t * 0.6)
                img.set(x, y, P().c("grey", static_cast<int>(9 - t * 5 + n * 3)));
        }
    return img;
}

Image Ring(int size, double t, const std::string& ramp)
{
    Image img(size, size);
    double c = (size - 1) / 2.0, r = 2 + t * (size / 2.0 - 3);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double d = std::hypot(x - c, y - c);
            if (std::fabs(d - r) < 1.6)
                img.set(x, y, P().c(ramp, static_cast<int>(15 - t * 6 - std::fabs(d - r) * 2)));
        }
    return img;
}

Image Bolt(int w, int h, const std::string& ramp, int frame)
{
    Image img(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            double dx = (x - (w - 1) / 2.0) / (w / 2.0), dy = (y - (h - 1) / 2.0) / (h / 2.0);
            double d = dx * dx + dy * dy;
            if (d > 1) continue;
            img.set(x, y, P().c(ramp, static_cast<int>(15 - d * 8 - (frame % 2) * ((x + y) % 2))));
        }
    return img;
}

Image Missile(bool down, int frame)
{
    Image img(5, 12);
    for (int y = 2; y < 11; y++)
        for (int x = 1; x < 4; x++)
            img.set(x, y, P().c("steel", x == 1 ? 12 : 8));
    int tip = down ? 11 : 1, tail = down ? 1 : 11;
    img.set(2, tip, P().c("fire", 6));
    img.set(0, tail - (down ? -1 : 1), P().c("steel", 6));
    img.set(4, tail - (down ? -1 : 1), P().c("steel", 6));
    img.set(2, tail + (down ? -1 : 0), P().c("fire", frame % 2 ? 13 : 10));
    return img;
}

Image Mine(int frame)
{
    Image img(11, 11);
    IMG_Disc(img, 5.5, 5.5, 3.6, P().c("rust", 6));
    IMG_Disc(img, 4.8, 4.8, 1.6, P().c("rust", 11));
    for (int k = 0; k < 4; k++) {
        double a = k * M_PI / 2 + frame * M_PI / 4;
        img.set(static_cast<int>(5.5 + std::cos(a) * 4.6),
                static_cast<int>(5.5 + std::sin(a) * 4.6), P().c("steel", 12));
    }
    img.set(5, 5, frame % 2 ? 252 : P().c("fire", 5));
    return img;
}

Image Beam(int w, int h, const std::string& ramp, int frame)
{
    Image img(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            double d = std::fabs(x - (w - 1) / 2.0) / (w / 2.0);
            int level = static_cast<int>(15 - d * 9 + ((y + frame * 3) % 7 == 0 ? 1 : 0));
            img.set(x, y, P().c(ramp, level));
        }
    return img;
}

// Pickup pictures: a bevelled capsule in a colour by kind with a symbol.
Image Capsule(int kind, int frame)
{
    static const char* ramps[24] = {"gold",  "gold",  "gold",   "fire",   "violet", "toxic",
                                    "fire",  "fire",  "fire",   "violet", "water",  "rust",
                                    "toxic", "water", "violet", "ice",    "water",  "gold",
                                    "gold",  "gold",  "gold",   "gold",   "gold",   "gold"};
    static const char* marks = "123MLBRHSEPWAJKXDGCCCCCC";
    Image img(16, 16);
    const std::string ramp = ramps[kind % 24];
    for (int y = 1; y < 15; y++)
        for (int x = 1; x < 15; x++) {
            double dx = x - 7.5, dy = y - 7.5;
            if (dx * dx + dy * dy > 46) continue;
            int level = 9 - static_cast<int>((dx + dy) / 3) + (frame % 2);
            img.set(x, y, P().c(ramp, level));
        }
    const Font& f = FONT_Get("small");
    std::string s(1, marks[kind % 24]);
    FONT_Print(img, f, 8 - FONT_Width(f, s) / 2, 5, s, P().c("grey", 1));
    IMG_Outline(img, P().c("grey", 0));
    return img;
}

} // namespace

std::vector<Image> BATTLE_Frames(const std::string& what, int param, int n)
{
    std::vector<Image> out;
    for (int i = 0; i < n; i++) {
        double t = n > 1 ? static_cast<double>(i) / (n - 1) : 0;
        Image img;
        if (what == "anim.groundblast")
            img = Fireball(40, t, 11);
        else if (what == "anim.explosion")
            img = Fireball(param, t, param);
        else if (what == "anim.energy")
            img = Ring(24, std::fmod(t * 3, 1.0), "water");
        else if (what == "anim.hit")
            img = Sparks(12, t, 20 + param, param ? "gold" : "fire");
        else if (what == "anim.muzzle")
            img = Bolt(8, 8 - i, "fire", i);
        else if (what == "anim.smoke")
            img = Puff(param ? 8 : 10, t, 30 + param);
        else if (what == "anim.beamhit")
            img = Sparks(14, t, 40, "water");
        else if (what == "anim.glow")
            img = Bolt(24, 24, "grey", i);
        else if (what == "anim.beammuzzle")
            img = Bolt(12 - i, 10 - i, param == 5 ? "fire" : "water", i);
        else if (what == "anim.flash")
            img = Ring(48, t, "ice");
        else if (what == "anim.flare")
            img = Fireball(10, t, 50);
        else if (what == "anim.spark")
            img = Sparks(10, t, 60, "gold");
        else if (what == "anim.debris") {
            img = Image(6, 6);
            double a = i * M_PI / 8;
            for (int k = -2; k <= 2; k++)
                img.set(static_cast<int>(3 + std::cos(a) * k),
                        static_cast<int>(3 + std::sin(a) * k), P().c("earth", 6 + k));
            IMG_Outline(img, P().c("grey", 0));
        } else if (what == "shot.player") {
            switch (param) {
            case 11:
                img = Bolt(10, 10, "fire", i);
                break;
            case 10:
                img = Missile(false, i);
                break;
            case 3:
            case 8:
                img = Bolt(6, 10, "water", i);
                break;
            case 6:
            case 9:
                img = Bolt(5, 9, "toxic", i);
                break;
            case 12:
                img = Bolt(7, 7, "violet", i);
                break;
            default:
                img = Bolt(3 + param % 2, 8, "gold", i);
                break;
            }
        } else if (what == "shot.enemy") {
            if (param == 2)
                img = Missile(true, i);
            else if (param == 4)
                img = Mine(i);
            else if (param == 5)
                img = Bolt(3, 9, "fire", i);
            else
                img = Bolt(6, 6, param == 6 ? "violet" : "fire", i);
        } else if (what == "shot.beam")
            img = Beam(5, 16, param == 5 ? "fire" : param == 13 ? "water" : "violet", i);
        else if (what == "pickup")
            img = Capsule(param, i);
        else
            GEN_Fail("no battlefield art for '%s'", what.c_str());
        out.push_back(img);
    }
    return out;
}

// Shots, beams and beam muzzles, drawn from simple shapes. The explosions, smoke, sparks,
// glows and pickup pictures come from effects.cpp.
#include <cmath>

#include "content.h"

namespace
{

const Palette& P()
{
    return gen.pal;
}

int Clamp(int v, int lo, int hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}

// A glowing streak w x h pointing up (or down): white-hot at the head, fading through the
// ramp towards a thin tail. Frames flicker the tail's length and the core.
Image Tracer(int w, int h, const std::string& ramp, int frame, bool down = false)
{
    Image img(w, h);
    const double cx = (w - 1) / 2.0;
    const int tail = h - (frame % 2);
    for (int y = 0; y < tail; y++) {
        int yy = down ? h - 1 - y : y;
        double along = static_cast<double>(y) / tail; // 0 at the head
        double half = (w / 2.0) * (along < 0.2 ? 0.55 + along * 2.25 : 1.0 - (along - 0.2) * 0.9);
        for (int x = 0; x < w; x++) {
            double d = std::fabs(x - cx);
            if (d > half) continue;
            int level = static_cast<int>(15 - along * 9 - d / (half + 0.01) * 4);
            if (along < 0.25 && d < 0.8) level = 15;
            img.set(x, yy, P().c(ramp, Clamp(level, 3, 15)));
        }
    }
    return img;
}

// A glowing ball: a bright centre with a highlight, its rim darker; `pulse` grows it.
Image Orb(int size, const std::string& ramp, double pulse, int frame)
{
    Image img(size, size);
    const double c = (size - 1) / 2.0, r = size / 2.0 * (0.8 + 0.2 * pulse);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double dx = x - c, dy = y - c, d = std::sqrt(dx * dx + dy * dy) / r;
            if (d > 1) continue;
            int level = static_cast<int>(15 - d * d * 10);
            // Highlight towards the top left, and a shimmer on the rim.
            if (dx + dy < -r * 0.5 && d > 0.3 && d < 0.7) level += 1;
            if (d > 0.75 && (x + y + frame) % 3 == 0) level -= 2;
            img.set(x, y, P().c(ramp, Clamp(level, 2, 15)));
        }
    return img;
}

// A ring of plasma with a hot core, turning with the frame.
Image Ring(int size, const std::string& ramp, int frame)
{
    Image img(size, size);
    const double c = (size - 1) / 2.0, r = size / 2.0;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double dx = x - c, dy = y - c, d = std::sqrt(dx * dx + dy * dy) / r;
            if (d > 1) continue;
            double a = std::atan2(dy, dx) + frame * M_PI / 4;
            int level = d < 0.35
                            ? 15
                            : static_cast<int>(12 - std::fabs(d - 0.75) * 18 + 2 * std::sin(a * 3));
            if (level < 4) continue;
            img.set(x, y, P().c(ramp, Clamp(level, 4, 15)));
        }
    return img;
}

// An energy ball with crackling arcs that turn frame by frame.
Image Spark(int size, int frame)
{
    Image img = Orb(size - 4, "violet", 0.6 + 0.1 * (frame % 3), frame);
    Image out(size, size);
    IMG_Blit(out, img, 2, 2);
    const double c = (size - 1) / 2.0;
    for (int k = 0; k < 3; k++) {
        double a = frame * 1.1 + k * 2 * M_PI / 3;
        int x1 = static_cast<int>(c + std::cos(a) * (size / 2.0 - 0.5));
        int y1 = static_cast<int>(c + std::sin(a) * (size / 2.0 - 0.5));
        int xm = static_cast<int>(c + std::cos(a + 0.5) * size / 4.0);
        int ym = static_cast<int>(c + std::sin(a + 0.5) * size / 4.0);
        IMG_Line(out, static_cast<int>(c), static_cast<int>(c), xm, ym, P().c("ice", 15));
        IMG_Line(out, xm, ym, x1, y1, P().c("water", 13));
    }
    out.set(static_cast<int>(c), static_cast<int>(c), P().c("grey", 14));
    return out;
}

// A missile w wide pointing up (or down): nose cone, body, fins, and its exhaust flame.
Image Missile(int w, int len, const std::string& body, bool down, int frame, bool flame = true)
{
    const int flamelen = flame ? 3 + (frame % 2) * 2 : 0;
    Image img(w, len + flamelen);
    const int mid = w / 2;
    const int bh = w >= 7 ? 2 : 1; // the body's half-width beside the middle column
    auto put = [&](int x, int y, uint8_t c) { img.set(x, down ? img.h - 1 - y : y, c); };
    for (int y = 0; y < len; y++) {
        int half = y == 0 ? 0 : y == 1 && bh > 1 ? 1 : bh;
        for (int x = mid - half; x <= mid + half; x++) {
            int level = x < mid ? 14 : x == mid ? 11 : 6;
            put(x, y, P().c(body, level));
        }
        if (y == 0) put(mid, y, P().c("fire", 13));
    }
    // A painted band behind the nose, and the fins at the tail.
    for (int x = mid - bh; x <= mid + bh; x++)
        put(x, 2 + bh, P().c("fire", 8));
    for (int f = 0; f < 3; f++) {
        int y = len - 1 - f;
        for (int x = 0; x < w; x++)
            if ((x < mid - bh && x >= f - 0) || (x > mid + bh && x < w - f))
                put(x, y, P().c(body, 5));
    }
    for (int y = 0; y < flamelen; y++) {
        int level = 15 - y * 10 / (flamelen + 1);
        put(mid, len + y, P().c("fire", level));
        if (y < flamelen - 2 && w >= 5) {
            put(mid - 1, len + y, P().c("fire", level - 4));
            put(mid + 1, len + y, P().c("fire", level - 4));
        }
    }
    return img;
}

Image Mine(int frame)
{
    Image img(11, 11);
    IMG_Disc(img, 5.5, 5.5, 3.8, P().c("rust", 5));
    IMG_Disc(img, 5.0, 5.0, 2.6, P().c("rust", 8));
    IMG_Disc(img, 4.4, 4.4, 1.2, P().c("rust", 12));
    for (int k = 0; k < 4; k++) {
        double a = k * M_PI / 2 + frame * M_PI / 4;
        img.set(static_cast<int>(5.5 + std::cos(a) * 4.6),
                static_cast<int>(5.5 + std::sin(a) * 4.6), P().c("steel", 13));
        img.set(static_cast<int>(5.5 + std::cos(a) * 3.8),
                static_cast<int>(5.5 + std::sin(a) * 3.8), P().c("steel", 9));
    }
    img.set(5, 5, frame % 2 ? 252 : P().c("fire", 5));
    return img;
}

// The mega bomb: a heavy glowing shell with a pulsing core and fins.
Image MegaBomb(int frame)
{
    Image img(14, 16);
    IMG_Disc(img, 7, 8, 6.2, P().c("steel", 4));
    IMG_Disc(img, 7, 8, 5.2, P().c("steel", 8));
    IMG_Disc(img, 6, 7, 2.6, P().c("steel", 12));
    double pulse = 1.6 + 0.6 * std::sin(frame * M_PI / 2);
    IMG_Disc(img, 7, 8, pulse + 0.8, P().c("fire", 9));
    IMG_Disc(img, 7, 8, pulse, P().c("fire", 14));
    for (int x : {1, 12})
        for (int y = 13; y < 16; y++)
            img.set(x, y, P().c("steel", 6));
    img.set(7, 15, P().c("steel", 6));
    return img;
}

// A bomb: dark round body with a yellow stripe and tail fins.
Image Bomb()
{
    Image img(9, 13);
    IMG_Disc(img, 4.5, 5.0, 3.6, P().c("olive", 4));
    IMG_Disc(img, 4.0, 4.2, 2.0, P().c("olive", 9));
    for (int x = 1; x < 8; x++)
        if (img.at(x, 6)) img.set(x, 6, P().c("gold", 4));
    for (int y = 8; y < 13; y++) {
        img.set(4, y, P().c("olive", 6));
        if (y >= 10) {
            img.set(2, y, P().c("steel", 7));
            img.set(6, y, P().c("steel", 7));
        }
    }
    img.set(4, 1, P().c("grey", 12));
    return img;
}

// One slice of a beam, drawn every 3 pixels down the beam: a white core in a coloured
// glow, with bright motes moving along it frame by frame.
Image Beam(int w, int h, const std::string& ramp, int frame)
{
    Image img(w, h);
    const double c = (w - 1) / 2.0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            double d = std::fabs(x - c) / (w / 2.0);
            int level = static_cast<int>(15 - d * d * 11);
            if ((y + frame * 4) % 8 == 0 && d < 0.6)
                level = 15;
            else if ((y * 7 + x * 3 + frame * 5) % 11 == 0)
                level -= 3;
            if (level < 4) continue;
            img.set(x, y, d < 0.2 ? P().c("grey", 15) : P().c(ramp, Clamp(level, 4, 15)));
        }
    return img;
}

// The flare where a beam leaves its gun: a bright star that shrinks and grows.
Image Muzzle(const std::string& ramp, int frame)
{
    const int size = 13;
    Image img(size, size);
    const double c = (size - 1) / 2.0;
    const double r = 3.2 + (frame % 2) * 1.2 + (frame == 2 ? 0.6 : 0);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double dx = x - c, dy = y - c, d = std::sqrt(dx * dx + dy * dy);
            bool ray = (std::fabs(dx) < 0.6 || std::fabs(dy) < 0.6) && d < r + 2.5;
            if (d > r && !ray) continue;
            int level = static_cast<int>(15 - d / (r + 2.5) * 9);
            img.set(x, y, d < 1.5 ? P().c("grey", 15) : P().c(ramp, Clamp(level, 5, 15)));
        }
    return img;
}

} // namespace

std::vector<Image> BATTLE_Frames(const std::string& what, int param, int n)
{
    if (EFFECTS_Makes(what)) return EFFECTS_Frames(what, param, n);
    std::vector<Image> out;
    for (int i = 0; i < n; i++) {
        Image img;
        if (what == "anim.beammuzzle") {
            img = Muzzle(param == 5 ? "fire" : param == 13 ? "water" : "violet", i);
        } else if (what == "shot.player") {
            switch (param) {
            case 0: // main gun 1, also the homing gun
                img = Tracer(3, 9, "gold", i);
                break;
            case 1: // main gun 2: a heavy blue bolt against aircraft
                img = Tracer(5, 12, "water", i);
                break;
            case 2: // main gun 3: orange slugs
                img = Tracer(4, 10, "fire", i);
                break;
            case 3: // staged missiles: no flame while they slide out, then burning
                img = Missile(5, 10, "steel", false, i, i > 0);
                break;
            case 6:
                img = Missile(5, 10, "ice", false, i);
                break;
            case 8: // the heavy ground missile
                img = Missile(7, 13, "olive", false, i);
                break;
            case 9:
                img = Bomb();
                break;
            case 10:
                img = Spark(11, i);
                break;
            case 11:
                img = MegaBomb(i);
                break;
            case 12:
                img = Ring(9, "violet", i);
                break;
            default:
                GEN_Fail("no picture for weapon %d", param);
            }
        } else if (what == "shot.enemy") {
            switch (param) {
            case 2:
                img = Missile(5, 10, "rust", true, i);
                break;
            case 4:
                img = Mine(i);
                break;
            case 5: // the fast heavy shot
                img = Tracer(5, 11, "fire", i, true);
                break;
            case 6: // the taunting shot: a green glowing ball
                img = Orb(8, "toxic", 0.6 + 0.4 * (i % 2), i);
                break;
            default: // aimed, straight and diagonal shots
                img = Orb(6, "fire", i % 2 ? 1.0 : 0.7, i);
                break;
            }
        } else if (what == "shot.beam") {
            img = Beam(param == 5 ? 7 : 7, 16,
                       param == 5    ? "fire"
                       : param == 13 ? "water"
                                     : "violet",
                       i);
        } else {
            GEN_Fail("no battlefield art for '%s'", what.c_str());
        }
        out.push_back(img);
    }
    return out;
}

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

} // namespace

std::vector<Image> BATTLE_Frames(const std::string& what, int param, int n)
{
    if (EFFECTS_Makes(what)) return EFFECTS_Frames(what, param, n);
    std::vector<Image> out;
    for (int i = 0; i < n; i++) {
        Image img;
        if (what == "anim.beammuzzle") {
            img = Bolt(12 - i, 10 - i, param == 5 ? "fire" : "water", i);
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
        else
            GEN_Fail("no battlefield art for '%s'", what.c_str());
        out.push_back(img);
    }
    return out;
}

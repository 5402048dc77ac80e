// Buildings and decorations, each drawn inside its own 32x32 cell (so a destroyed building
// can be swapped for its wreck tile), lit from the upper left with a shadow to the lower
// right. Wrecks are scorched ground, rubble and smouldering embers.
#include <cmath>
#include <map>

#include "content.h"
#include "episode.h"

namespace
{

const Palette& P()
{
    return gen.pal;
}

int g_episode = 0;

// Masonry of the episode: what bunkers and rocks are made of.
const char* Stone()
{
    static const char* ramps[4] = {"olive", "sand", "ice", "steel"};
    return ramps[g_episode];
}

struct Cellpen {
    Image& img;
    int ox, oy; // the cell's top-left corner on the canvas
    int seed;
    int variant; // 0..2: buildings of one kind come in a few looks

    // Nothing is drawn on the cell's outer ring: the ground there joins the neighbouring
    // cells, and must look the same whether the building stands or lies in ruins.
    void set(int x, int y, uint8_t c)
    {
        if (x >= 1 && y >= 1 && x < kTile - 1 && y < kTile - 1) img.set(ox + x, oy + y, c);
    }
    uint8_t at(int x, int y) const { return img.at(ox + x, oy + y); }
    void rect(int x, int y, int w, int h, uint8_t c)
    {
        for (int j = y; j < y + h; j++)
            for (int i = x; i < x + w; i++)
                set(i, j, c);
    }
    void disc(double cx, double cy, double r, uint8_t c)
    {
        for (int y = 0; y < kTile; y++)
            for (int x = 0; x < kTile; x++)
                if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= r) set(x, y, c);
    }
    // Darkens the ground in the shape of a footprint moved down and right.
    void shadowRect(int x, int y, int w, int h, int off = 3)
    {
        for (int j = y + off; j < y + h + off; j++)
            for (int i = x + off; i < x + w + off; i++)
                set(i, j, SHADE(at(i, j), -4));
    }
    void shadowDisc(double cx, double cy, double r, int off = 3)
    {
        for (int y = 0; y < kTile; y++)
            for (int x = 0; x < kTile; x++)
                if (std::hypot(x + 0.5 - cx - off, y + 0.5 - cy - off) <= r)
                    set(x, y, SHADE(at(x, y), -4));
    }
    // A pitched roof: the slope facing the light is two shades brighter.
    void roof(int x, int y, int w, int h, const std::string& ramp, int base, bool ridgeAcross)
    {
        for (int j = 0; j < h; j++)
            for (int i = 0; i < w; i++) {
                bool lit = ridgeAcross ? j < h / 2 : i < w / 2;
                int level = base + (lit ? 2 : -1);
                if (ridgeAcross ? (j == h / 2 || j == h / 2 - 1) : (i == w / 2 || i == w / 2 - 1))
                    level = base + 3;
                if ((ridgeAcross ? i : j) % 3 == 0) level -= 1; // tile courses
                set(x + i, y + j, P().c(ramp, level));
            }
        outline(x, y, w, h);
    }
    void flat(int x, int y, int w, int h, const std::string& ramp, int base)
    {
        for (int j = 0; j < h; j++)
            for (int i = 0; i < w; i++) {
                int level = base;
                if (i == 0 || j == 0) level = base + 3;
                if (i == w - 1 || j == h - 1) level = base - 3;
                set(x + i, y + j, P().c(ramp, level));
            }
        outline(x, y, w, h);
    }
    void outline(int x, int y, int w, int h)
    {
        uint8_t o = P().c("grey", 1);
        for (int i = -1; i <= w; i++) {
            set(x + i, y - 1, o);
            set(x + i, y + h, o);
        }
        for (int j = 0; j < h; j++) {
            set(x - 1, y + j, o);
            set(x + w, y + j, o);
        }
    }
    // A round thing seen from above, with a highlight on its upper left.
    void dome(double cx, double cy, double r, const std::string& ramp, int base)
    {
        for (int y = 0; y < kTile; y++)
            for (int x = 0; x < kTile; x++) {
                double dx = x + 0.5 - cx, dy = y + 0.5 - cy, d = std::hypot(dx, dy);
                if (d > r + 1) continue;
                if (d > r) {
                    set(x, y, P().c("grey", 1));
                    continue;
                }
                double lit = -(dx + dy) / (r * 1.6) + (1 - d / r) * 0.5;
                set(x, y, P().c(ramp, base + static_cast<int>(std::lround(lit * 5))));
            }
    }
    uint32_t hash(int x, int y) const { return GEN_Hash(x, y, seed); }
};

// Scorched ground with rubble in the given colours and a few embers that flicker.
void Wreck(Cellpen& p, double radius, const std::string& rubble)
{
    for (int y = 0; y < kTile; y++)
        for (int x = 0; x < kTile; x++) {
            double d = std::hypot(x + 0.5 - 16, y + 0.5 - 16);
            double n = GEN_Noise(x / 4.0, y / 4.0, 8, p.seed);
            if (d > radius * (0.8 + 0.4 * n)) continue;
            p.set(x, y, SHADE(p.at(x, y), -5));
            uint32_t h = p.hash(x, y);
            if (d < radius * 0.8 && n > 0.45)
                p.set(x, y, P().c(rubble, 3 + static_cast<int>(h % 6)));
            if (d < radius * 0.6 && (h & 63) == 0) p.set(x, y, 254);
        }
    // Broken wall stubs.
    for (int k = 0; k < 5; k++) {
        uint32_t h = p.hash(k, 99);
        int x = 8 + static_cast<int>(h % 16), y = 8 + static_cast<int>((h >> 8) % 16);
        p.rect(x, y, 2 + (h >> 16) % 3, 2, P().c(rubble, 9));
        p.set(x, y + 2, P().c("grey", 1));
    }
}

using Drawer = void (*)(Cellpen&, bool wreck);

void House(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 13, "rust");
    // A small garden plot around each house.
    for (int y = 4; y < 28; y++)
        for (int x = 4; x < 28; x++)
            if ((x == 4 || x == 27 || y == 4 || y == 27) && (x + y) % 2 == 0)
                p.set(x, y, P().c("earth", 5));
    switch (p.variant) {
    case 0:
        p.shadowRect(6, 8, 20, 14);
        p.roof(6, 8, 20, 14, "rust", 8, true);
        p.rect(20, 9, 3, 3, P().c("grey", 6));
        p.set(21, 9, P().c("grey", 2));
        break;
    case 1:
        p.shadowRect(9, 5, 14, 20);
        p.roof(9, 5, 14, 20, "earth", 8, false);
        p.rect(17, 19, 3, 3, P().c("grey", 7));
        break;
    default:
        p.shadowRect(6, 7, 20, 11);
        p.roof(6, 7, 20, 11, "steel", 8, true);
        p.shadowRect(16, 18, 10, 8);
        p.roof(16, 18, 10, 8, "steel", 8, false);
        break;
    }
}

void Barn(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 14, "rust");
    p.shadowRect(4, 5, 24, 22);
    p.roof(4, 5, 24, 22, "rust", 6, p.variant == 1);
    // White trim along the eaves and the ridge.
    uint8_t trim = P().c("grey", 13);
    for (int i = 4; i < 28; i++) {
        p.set(i, 5, trim);
        p.set(i, 26, SHADE(trim, -4));
    }
    if (p.variant == 1)
        for (int i = 4; i < 28; i++)
            p.set(i, 15, trim);
    else
        for (int j = 5; j < 27; j++)
            p.set(15, j, trim);
}

void Silo(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 11, "steel");
    p.shadowDisc(14, 14, 8);
    p.dome(14, 14, 8, "steel", 9);
    p.disc(14, 14, 2, P().c("steel", 5));
}

void Farm(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 15, "earth");
    p.shadowRect(4, 5, 14, 22);
    p.roof(4, 5, 14, 22, "earth", 7, false);
    p.shadowRect(18, 16, 10, 10);
    p.roof(18, 16, 10, 10, "rust", 9, true);
}

void Radar(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 12, "steel");
    p.shadowRect(9, 9, 14, 14);
    p.flat(9, 9, 14, 14, "steel", 8);
    p.shadowDisc(16, 15, 7, 4);
    p.dome(16, 15, 7, "ice", 11);
    p.rect(15, 8, 2, 8, P().c("steel", 4));
    p.set(16, 7, 252); // warning light
}

void Bunker(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 12, "grey");
    p.shadowRect(6, 8, 20, 16, 2);
    p.flat(6, 8, 20, 16, Stone(), 7);
    p.rect(9, 20, 14, 2, P().c("grey", 1)); // firing slit
    p.rect(14, 12, 4, 4, P().c("grey", 9));
}

void Tanks(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 14, "steel");
    for (auto [x, y] : {std::pair{10.0, 10.0}, {22.0, 12.0}, {13.0, 22.0}}) {
        p.shadowDisc(x, y, 6);
        p.dome(x, y, 6, "steel", 8);
        p.set(static_cast<int>(x) - 1, static_cast<int>(y) - 1, P().c("fire", 6));
    }
}

void Hangar(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 15, "steel");
    p.shadowRect(3, 4, 26, 22);
    // A curved roof: brightness follows the curve across.
    for (int y = 4; y < 26; y++)
        for (int x = 3; x < 29; x++) {
            double t = (x - 3) / 25.0;
            int level = 5 + static_cast<int>(std::lround(std::sin(t * M_PI) * 5 - t * 3 + 1));
            if ((y - 4) % 4 == 0) level -= 1;
            p.set(x, y, P().c("steel", level));
        }
    p.outline(3, 4, 26, 22);
    p.rect(8, 26, 16, 3, P().c("grey", 3)); // doors
}

void Tower(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 11, "grey");
    p.shadowRect(11, 11, 10, 10, 5);
    p.flat(11, 11, 10, 10, "grey", 9);
    p.rect(13, 13, 6, 6, P().c("water", 10)); // glass cab
    p.rect(13, 13, 3, 3, P().c("water", 13));
    p.set(16, 10, 255);
}

void Dome(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 13, "ice");
    p.shadowDisc(15, 15, 11);
    p.dome(15, 15, 11, "ice", 10);
    p.rect(13, 25, 5, 3, P().c("steel", 5));
}

void Antenna(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 10, "steel");
    p.shadowRect(12, 12, 8, 8, 2);
    p.flat(12, 12, 8, 8, "steel", 7);
    for (int k = 0; k < 4; k++) {
        double a = k * M_PI / 2 + M_PI / 4;
        for (int d = 3; d < 13; d++)
            p.set(16 + static_cast<int>(std::cos(a) * d), 16 + static_cast<int>(std::sin(a) * d),
                  P().c("steel", 3));
    }
    p.disc(16, 16, 2, P().c("steel", 12));
    p.set(16, 16, 253);
}

void Reactor(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 14, "toxic");
    p.shadowDisc(16, 16, 12);
    p.dome(16, 16, 12, "steel", 8);
    p.disc(16, 16, 6, P().c("steel", 3));
    p.disc(16, 16, 4, 250); // the core glows
    p.disc(15, 15, 1.5, P().c("ice", 15));
}

void Vent(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 11, "steel");
    p.shadowRect(8, 8, 16, 16, 2);
    p.flat(8, 8, 16, 16, "steel", 8);
    for (int y = 11; y < 22; y += 3)
        p.rect(10, y, 12, 1, P().c("steel", 2));
    p.set(9, 9, 251);
}

void Generator(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 13, "violet");
    p.shadowRect(5, 7, 22, 18);
    p.flat(5, 7, 22, 18, "steel", 6);
    for (int k = 0; k < 3; k++) {
        p.dome(10 + k * 6, 16, 2.5, "violet", 9);
        p.set(10 + k * 6, 12, k == 1 ? 252 : 253);
    }
}

void Factory(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 15, "rust");
    p.shadowRect(2, 5, 27, 22);
    for (int k = 0; k < 4; k++)
        p.roof(3 + k * 7, 5, 6, 22, k % 2 ? "steel" : "rust", 7, false); // saw-tooth roof
    // A chimney with a glowing top.
    p.shadowDisc(24, 10, 3.5, 5);
    p.dome(24, 10, 3.5, "grey", 8);
    p.disc(24, 10, 1.6, P().c("grey", 1));
    p.set(24, 10, 251);
}

// Decorations: part of the ground, never destroyed.
void Tree(Cellpen& p, bool)
{
    p.shadowDisc(16, 16, 7, 3);
    p.dome(16, 16, 7, "grass", 6);
}

void Haystack(Cellpen& p, bool)
{
    for (auto [x, y] : {std::pair{10.0, 11.0}, {21.0, 15.0}, {13.0, 23.0}}) {
        p.shadowDisc(x, y, 3.5, 2);
        p.dome(x, y, 3.5, "wheat", 10);
    }
}

void Rocks(Cellpen& p, bool)
{
    for (auto [x, y, r] : {std::tuple{11.0, 12.0, 4.5}, {20.0, 19.0, 5.5}, {9.0, 23.0, 3.0}}) {
        p.shadowDisc(x, y, r, 2);
        p.dome(x, y, r, g_episode == 2 ? "steel" : "earth", 7);
    }
}

void Palm(Cellpen& p, bool)
{
    p.shadowDisc(16, 16, 6, 4);
    for (int k = 0; k < 6; k++) {
        double a = k * M_PI / 3 + 0.3;
        for (int d = 0; d < 8; d++)
            p.set(16 + static_cast<int>(std::lround(std::cos(a) * d)),
                  16 + static_cast<int>(std::lround(std::sin(a) * d)),
                  P().c("olive", 9 - d / 2 + (k % 2)));
    }
    p.disc(16, 16, 1.5, P().c("earth", 6));
}

void Tent(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 10, "olive");
    p.shadowRect(9, 10, 14, 12);
    p.roof(9, 10, 14, 12, "olive", 8, false);
}

void Crater(Cellpen& p, bool)
{
    for (int y = 0; y < kTile; y++)
        for (int x = 0; x < kTile; x++) {
            double dx = x + 0.5 - 16, dy = y + 0.5 - 16, d = std::hypot(dx, dy);
            if (d > 9) continue;
            int delta = d > 7 ? ((dx + dy) < 0 ? 2 : -2) : -3 + static_cast<int>((dx + dy) / 6);
            p.set(x, y, SHADE(p.at(x, y), delta));
        }
}

void Crystal(Cellpen& p, bool wreck)
{
    if (wreck) return Wreck(p, 12, "violet");
    for (int k = 0; k < 5; k++) {
        uint32_t h = p.hash(k, 7);
        int x = 8 + static_cast<int>(h % 16), y = 8 + static_cast<int>((h >> 8) % 16),
            len = 5 + (h >> 16) % 6;
        for (int d = 0; d < len; d++) {
            p.set(x + d / 2, y - d, P().c("violet", 8 + d / 2));
            p.set(x + d / 2 + 1, y - d, P().c("violet", 5));
        }
    }
}

struct ObjectKind {
    const char* name;
    Drawer draw;
};

const ObjectKind kObjects[] = {
    {"house", House},       {"barn", Barn},           {"silo", Silo},       {"farm", Farm},
    {"radar", Radar},       {"bunker", Bunker},       {"tanks", Tanks},     {"hangar", Hangar},
    {"tower", Tower},       {"dome", Dome},           {"antenna", Antenna}, {"reactor", Reactor},
    {"vent", Vent},         {"generator", Generator}, {"factory", Factory}, {"tree", Tree},
    {"haystack", Haystack}, {"rocks", Rocks},         {"palm", Palm},       {"tent", Tent},
    {"crater", Crater},     {"crystals", Crystal},
};

} // namespace

bool OBJ_Known(int, const std::string& name)
{
    for (const ObjectKind& k : kObjects)
        if (name == k.name) return true;
    return false;
}

void OBJ_Draw(const Theme& th, const std::string& name, Image& canvas, int c, int r, bool wreck)
{
    g_episode = th.episode;
    // The same object looks the same wherever it stands, so its tiles are shared.
    uint32_t seed = 0;
    for (char ch : name)
        seed = seed * 31 + static_cast<uint8_t>(ch);
    Cellpen p{canvas, c * kTile, r * kTile, static_cast<int>(seed & 0xFFFF),
              static_cast<int>(GEN_Hash(c, r, 5) % 3)};
    for (const ObjectKind& k : kObjects)
        if (name == k.name) return k.draw(p, wreck);
    GEN_Fail("no artwork for object '%s'", name.c_str());
}

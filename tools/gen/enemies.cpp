// Enemy libraries from data/enemies/eN.txt, and the enemies' frames: aircraft drawn with
// the mesh renderer nose down, ground vehicles and guns drawn from shapes.
#include <algorithm>
#include <cmath>
#include <map>

#include "content.h"
#include "mesh.h"
#include "res/itemfmt.h"

namespace
{

// Enemy artwork in the order of the frame runs that follow each episode's maps.
constexpr int kKinds = 15;
const char* const kArt[kKinds] = {"fighter", "interceptor", "gunship",  "bomber", "tankl",
                                  "tankr",   "turret",      "fortress", "truckl", "truckr",
                                  "bunker",  "biggun",      "base",     "heavy",  "drone"};
const char* const kArtLabel[kKinds] = {"FIGHTER", "INTERCEPT", "GUNSHIP",  "BOMBER", "TANKL",
                                       "TANKR",   "TURRET",    "FORTRESS", "TRUCKL", "TRUCKR",
                                       "BUNKER",  "BIGGUN",    "BASE",     "HEAVY",  "DRONE"};

// Fields of the enemy record by name, with their byte offsets.
struct Field {
    const char* key;
    int offset;
};
const Field kFields[] = {
    {"bonus", 20},     {"explosion", 24},  {"shotdelay", 28},  {"egrab", 36},    {"framedelay", 40},
    {"shootline", 48}, {"loopframes", 52}, {"animtype", 56},   {"shadow", 60},   {"boss", 64},
    {"hp", 68},        {"money", 72},      {"firstdelay", 76}, {"volley", 80},   {"pause", 84},
    {"speed", 88},     {"repeat", 96},     {"flight", 100},    {"bosstune", 116}};

struct Parsed {
    EnemyType type;
    Bytes record;
    int guns = 0, flames = 0, points = 0;
};

int ArtFrames(int kind)
{
    for (const ITEMRUN& r : ITM_LAYOUT)
        if (std::string(r.content) == "enemy.frames" && r.param % 16 == kind) return r.count;
    GEN_Fail("no frame run for enemy art %d", kind);
}

std::vector<Parsed> Load(int episode)
{
    std::string src = "enemies/e" + std::to_string(episode + 1) + ".txt";
    std::vector<std::string> lines = GEN_ReadLines(src);
    std::vector<Parsed> out;
    for (size_t ln = 0; ln < lines.size(); ln++) {
        std::string where = src + ":" + std::to_string(ln + 1);
        std::vector<std::string> w = GEN_Split(lines[ln]);
        size_t i = 0;
        auto arg = [&](const char* what) {
            if (i >= w.size()) GEN_Fail("%s: %s needs a value", where.c_str(), what);
            return GEN_ToInt(w[i++], where);
        };
        while (i < w.size()) {
            std::string key = w[i++];
            if (key == "enemy") {
                if (i + 2 > w.size()) GEN_Fail("%s: enemy NAME ART", where.c_str());
                Parsed p;
                p.type.name = w[i++];
                std::string art = w[i++];
                p.type.kind = -1;
                for (int k = 0; k < kKinds; k++)
                    if (art == kArt[k]) p.type.kind = k;
                if (p.type.kind < 0) GEN_Fail("%s: unknown art '%s'", where.c_str(), art.c_str());
                p.type.label = kArtLabel[p.type.kind] + std::to_string(episode + 1);
                for (const Parsed& q : out)
                    if (q.type.name == p.type.name)
                        GEN_Fail("%s: enemy '%s' twice", where.c_str(), p.type.name.c_str());
                p.record.assign(ITEM_ENEMYSIZE, 0);
                for (size_t k = 0; k < p.type.label.size(); k++)
                    p.record[k] = static_cast<uint8_t>(p.type.label[k]);
                ITEM_PutLong(p.record, 16, -1);  // first frame, found by label when loaded
                ITEM_PutLong(p.record, 20, -1);  // no pickup
                ITEM_PutLong(p.record, 116, -1); // no boss alarm
                ITEM_PutLong(p.record, 44, ArtFrames(p.type.kind));
                ITEM_PutLong(p.record, 52, 1);
                ITEM_PutLong(p.record, 88, 1);
                out.push_back(p);
                continue;
            }
            if (out.empty())
                GEN_Fail("%s: '%s' before the first enemy", where.c_str(), key.c_str());
            Parsed& p = out.back();
            bool done = false;
            for (const Field& f : kFields)
                if (key == f.key) {
                    ITEM_PutLong(p.record, f.offset, arg(f.key));
                    done = true;
                }
            if (done) continue;
            if (key == "gun") {
                if (p.guns >= 24) GEN_Fail("%s: more than 24 guns", where.c_str());
                int kind = arg("gun kind");
                if (kind < 0 || kind > 8) GEN_Fail("%s: gun kinds are 0..8", where.c_str());
                ITEM_PutShort(p.record, 120 + 2 * p.guns, static_cast<int16_t>(kind));
                ITEM_PutShort(p.record, 312 + 2 * p.guns, static_cast<int16_t>(arg("gun x")));
                ITEM_PutShort(p.record, 360 + 2 * p.guns, static_cast<int16_t>(arg("gun y")));
                ITEM_PutLong(p.record, 104, ++p.guns);
            } else if (key == "flame") {
                if (p.flames >= 24) GEN_Fail("%s: more than 24 flames", where.c_str());
                ITEM_PutShort(p.record, 168 + 2 * p.flames, static_cast<int16_t>(arg("flame x")));
                ITEM_PutShort(p.record, 216 + 2 * p.flames, static_cast<int16_t>(arg("flame y")));
                ITEM_PutShort(p.record, 264 + 2 * p.flames,
                              static_cast<int16_t>(arg("flame size")));
                ITEM_PutLong(p.record, 108, ++p.flames);
            } else if (key == "point") {
                if (p.points >= 30) GEN_Fail("%s: more than 30 flight points", where.c_str());
                ITEM_PutShort(p.record, 408 + 2 * p.points, static_cast<int16_t>(arg("point x")));
                ITEM_PutShort(p.record, 468 + 2 * p.points, static_cast<int16_t>(arg("point y")));
                ITEM_PutLong(p.record, 92, ++p.points);
            } else {
                GEN_Fail("%s: unknown word '%s'", where.c_str(), key.c_str());
            }
        }
    }
    // Rules the enemy code relies on.
    for (const Parsed& p : out) {
        std::string who = src + ": enemy " + p.type.name;
        std::span<const uint8_t> r(p.record);
        int flight = ITEM_Long(r, 100), anim = ITEM_Long(r, 56), frames = ITEM_Long(r, 44);
        if (anim < 0 || anim > 2) GEN_Fail("%s: animtype must be 0, 1 or 2", who.c_str());
        if (frames >= 2 && (ITEM_Long(r, 52) < 1 || ITEM_Long(r, 52) > frames))
            GEN_Fail("%s: loopframes must be 1..frames", who.c_str());
        if (flight <= 2 && p.points < 1)
            GEN_Fail("%s: a flying enemy needs flight points", who.c_str());
        // A flier that leaves at its last point must be out of sight there.
        if (flight == 1 && p.points > 0) {
            int lx = ITEM_Short(r, 408 + 2 * (p.points - 1)),
                ly = ITEM_Short(r, 468 + 2 * (p.points - 1));
            if (ly < 140 && std::abs(lx) < 320)
                GEN_Fail("%s: its last point must be off the screen", who.c_str());
        }
        if (ITEM_Long(r, 96) >= std::max(1, p.points))
            GEN_Fail("%s: repeat past the last point", who.c_str());
        if (ITEM_Long(r, 88) < 1) GEN_Fail("%s: speed must be 1 or more", who.c_str());
        int explosion = ITEM_Long(r, 24), bonus = ITEM_Long(r, 20);
        if (explosion < 0 || explosion > 10)
            GEN_Fail("%s: explosion styles are 0..10", who.c_str());
        if (bonus < -1 || bonus > 23) GEN_Fail("%s: bonus is -1 or 0..23", who.c_str());
        if (ITEM_Long(r, 68) < 1) GEN_Fail("%s: hp must be 1 or more", who.c_str());
    }
    if (out.empty()) GEN_Fail("%s: no enemies", src.c_str());
    return out;
}

const std::vector<Parsed>& Library(int episode)
{
    static std::map<int, std::vector<Parsed>> libs;
    auto it = libs.find(episode);
    if (it == libs.end()) it = libs.emplace(episode, Load(episode)).first;
    return it->second;
}

// Colours of each episode's forces: main, dark and accent ramps.
struct Livery {
    const char* body;
    const char* accent;
};
const Livery kLivery[4] = {
    {"grey", "gold"}, {"olive", "rust"}, {"rust", "gold"}, {"toxic", "violet"}};

Mesh Plane(int episode, int kind)
{
    Mesh m;
    const Livery& l = kLivery[episode];
    int body = m.material(l.body, 3, 13);
    int accent = m.material(l.accent, 5, 12);
    int glass = m.material("water", 6, 14);
    int dark = m.material("grey", 1, 4);
    if (kind == 0) { // fighter: forward-swept, small
        m.loft({{12, 0.2, 0.6, 0}, {8, 1.6, 1.8, -0.5}, {0, 2.4, 2.4, -0.8}, {-10, 2.0, 1.8, -0.7}},
               0, body, dark);
        m.loft({{8, 0.2, 2.0, 1.2}, {5, 1.0, 3.0, 1.4}, {2, 0.8, 2.6, 1.4}}, 0, glass, glass);
        m.mirrored({2.2, -2, 0.7}, {2.2, -7, 0.7}, {11, -3, 0.3}, {11, 0, 0.3}, body);
        m.mirrored({9, -2.6, 0.35}, {11, -3, 0.3}, {11, 0, 0.3}, {9, -0.3, 0.35}, accent);
        m.mirrored({1.8, -8, 0.8}, {1.8, -10, 0.8}, {5.5, -10.5, 0.5}, {5, -8.5, 0.5}, body);
    } else if (kind == 1) { // interceptor: long nose, swept wings
        m.loft({{14, 0.2, 0.5, 0}, {8, 1.4, 1.6, -0.5}, {0, 2.2, 2.3, -0.8}, {-12, 2.2, 2.0, -0.8}},
               0, body, dark);
        m.loft({{7, 0.2, 1.8, 1.2}, {4, 1.0, 2.8, 1.4}, {1, 0.8, 2.5, 1.4}}, 0, glass, glass);
        m.mirrored({2.0, 2, 0.7}, {2.1, -8, 0.7}, {12, -11, 0.3}, {12, -8, 0.3}, body);
        m.mirrored({10, -7.6, 0.35}, {12, -8, 0.3}, {12, -11, 0.3}, {10, -10.5, 0.35}, accent);
        m.quad({0, -6, 2.2}, {0, -12, 1.8}, {0, -12.5, 6}, {0, -10, 6}, accent);
    } else if (kind == 3) { // bomber: broad straight wings, two engines
        m.loft({{20, 0.3, 1.0, 0},
                {14, 3.0, 3.2, -1},
                {0, 4.0, 3.8, -1.2},
                {-18, 3.0, 2.8, -1},
                {-22, 1.5, 2.0, -0.6}},
               0, body, dark);
        m.loft({{16, 0.3, 3.2, 2.0}, {13, 1.8, 4.2, 2.2}, {10, 1.6, 3.8, 2.2}}, 0, glass, glass);
        m.mirrored({3.5, 6, 1.0}, {3.8, -4, 1.0}, {28, -2, 0.4}, {28, 3, 0.4}, body);
        for (int s : {-1, 1})
            m.loft(
                {{9, 0.5, 1.5, 0}, {6, 2.0, 2.5, -0.6}, {-4, 2.0, 2.4, -0.6}, {-6, 1.2, 1.8, -0.4}},
                s * 12.0, accent, dark);
        m.mirrored({3, -16, 1.2}, {3, -21, 1.2}, {11, -21, 0.6}, {10, -17.5, 0.7}, body);
    } else { // fortress: a flying wing
        m.loft({{30, 0.5, 2, 0}, {22, 8, 6, -2}, {0, 12, 8, -2}, {-20, 10, 6, -2}, {-28, 6, 4, -1}},
               0, body, dark);
        m.mirrored({10, 16, 1.5}, {10, -20, 1.5}, {46, -26, 0.5}, {46, -14, 0.6}, body);
        m.mirrored({38, -13, 0.7}, {46, -14, 0.6}, {46, -26, 0.5}, {38, -24, 0.7}, accent);
        m.loft({{22, 0.5, 7, 5}, {18, 3, 9, 5}, {12, 3, 8.5, 5}}, 0, glass, glass);
        for (int s : {-1, 1})
            m.loft({{6, 1, 2, 0}, {2, 3, 3.5, -1}, {-14, 3, 3.2, -1}, {-17, 2, 2.4, -1}}, s * 20.0,
                   accent, dark);
    }
    return m;
}

// Ground vehicles and guns seen from above, `dir` -1 facing left, +1 right, 0 down.
Image Tank(int episode, int dir)
{
    const Palette& P = gen.pal;
    const Livery& l = kLivery[episode];
    Image img(28, 22);
    // Tracks.
    for (int x = 1; x < 27; x++) {
        uint8_t t = P.c("grey", (x % 3) == 0 ? 2 : 5);
        img.set(x, 2, t);
        img.set(x, 3, t);
        img.set(x, 18, t);
        img.set(x, 19, t);
    }
    for (int y = 4; y < 18; y++)
        for (int x = 2; x < 26; x++)
            img.set(x, y, P.c(l.body, 8 + (y < 8 ? 2 : y > 14 ? -2 : 0)));
    // Turret and gun pointing the way it drives.
    IMG_Disc(img, 14, 11, 5.5, P.c(l.body, 6));
    IMG_Disc(img, 13, 10, 2.5, P.c(l.body, 10));
    int gx0 = dir < 0 ? 1 : 19, gx1 = dir < 0 ? 9 : 27;
    for (int x = gx0; x < gx1; x++) {
        img.set(x, 10, P.c("steel", 8));
        img.set(x, 11, P.c("steel", 5));
    }
    img.set(dir < 0 ? 20 : 7, 7, P.c(l.accent, 9));
    IMG_Outline(img, P.c("grey", 0));
    return img;
}

Image Turret(int episode, int frame, int frames)
{
    const Palette& P = gen.pal;
    const Livery& l = kLivery[episode];
    Image img(28, 28);
    IMG_Disc(img, 14, 14, 11, P.c("grey", 5));
    IMG_Disc(img, 13, 13, 9, P.c(l.body, 7));
    IMG_Disc(img, 12, 12, 5, P.c(l.body, 10));
    // The barrel sweeps across the lower half as the gun tracks.
    double a = M_PI / 2 + std::sin(frame * 2 * M_PI / frames) * 0.9;
    for (int d = 3; d < 14; d++) {
        int x = 14 + static_cast<int>(std::lround(std::cos(a) * d)),
            y = 14 + static_cast<int>(std::lround(std::sin(a) * d));
        img.set(x, y, P.c("steel", 9));
        img.set(x + 1, y, P.c("steel", 5));
    }
    img.set(14, 14, frame % 2 ? 252 : P.c(l.accent, 8));
    IMG_Outline(img, P.c("grey", 0));
    return img;
}

// Walls, pads and roofs of each episode's ground works.
struct Works {
    const char* wall;  // concrete or its like
    const char* roof;  // domes and towers
    const char* light; // running lights and windows
};
const Works kWorks[4] = {{"grey", "olive", "gold"},
                         {"sand", "rust", "fire"},
                         {"ice", "steel", "water"},
                         {"violet", "toxic", "toxic"}};

// A shaded box seen from above: lighter toward the top-left, as the sun falls.
void Block(Image& img, int x, int y, int w, int h, const char* ramp, int level)
{
    const Palette& P = gen.pal;
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            int l = level;
            if (i == 0 || j == 0) l += 2;
            if (i == w - 1 || j == h - 1) l -= 3;
            img.set(x + i, y + j, P.c(ramp, std::clamp(l, 0, 15)));
        }
}

// A dome shaded from the top-left.
void Dome(Image& img, double cx, double cy, double r, const char* ramp, int lo, int hi)
{
    const Palette& P = gen.pal;
    for (int y = static_cast<int>(cy - r - 1); y <= static_cast<int>(cy + r + 1); y++)
        for (int x = static_cast<int>(cx - r - 1); x <= static_cast<int>(cx + r + 1); x++) {
            double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            double d2 = dx * dx + dy * dy;
            if (d2 > r * r) continue;
            double nz = std::sqrt(std::max(0.0, 1 - d2 / (r * r)));
            double lit = (-dx / r * 0.55 - dy / r * 0.55 + nz * 0.65);
            int l = lo + static_cast<int>(std::lround((hi - lo) * std::clamp(lit, 0.0, 1.0)));
            img.set(x, y, P.c(ramp, l));
        }
}

// A gun barrel from (x, y) along angle a, d0..d1 pixels out, two pixels thick.
void Barrel(Image& img, double x, double y, double a, int d0, int d1)
{
    const Palette& P = gen.pal;
    for (int d = d0; d < d1; d++) {
        int bx = static_cast<int>(std::lround(x + std::cos(a) * d)),
            by = static_cast<int>(std::lround(y + std::sin(a) * d));
        img.set(bx, by, P.c("steel", 10));
        img.set(bx + 1, by, P.c("steel", 5));
        img.set(bx, by + 1, P.c("steel", 6));
    }
    int tx = static_cast<int>(std::lround(x + std::cos(a) * d1)),
        ty = static_cast<int>(std::lround(y + std::sin(a) * d1));
    img.set(tx, ty, P.c("grey", 2));
}

// A lorry seen from above, cab first the way it drives (dir -1 left, +1 right); the wheels
// and the exhaust flicker between the two frames.
Image Truck(int episode, int dir, int frame)
{
    const Palette& P = gen.pal;
    const Livery& l = kLivery[episode];
    Image img(32, 18);
    auto X = [&](int x) { return dir < 0 ? x : 31 - x; };
    // Wheels stick out under both sides.
    for (int wx : {3, 6, 17, 20, 25, 28})
        for (int y : {2, 15}) {
            img.set(X(wx), y, P.c("grey", (wx + frame) % 2 ? 3 : 1));
            img.set(X(wx + 1), y, P.c("grey", 2));
        }
    // Cab with its windscreen, then the load under a ribbed canvas.
    for (int y = 3; y < 15; y++)
        for (int x = 1; x < 9; x++)
            img.set(X(x), y, P.c(l.body, y < 6 ? 12 : y > 12 ? 5 : 9));
    for (int y = 4; y < 14; y++) {
        img.set(X(2), y, P.c("water", 11));
        img.set(X(3), y, P.c("water", 8));
    }
    for (int y = 3; y < 15; y++)
        for (int x = 10; x < 31; x++) {
            int lvl = y < 5 ? 12 : y > 12 ? 5 : 9;
            if ((x - 10) % 5 == 0) lvl -= 3;
            img.set(X(x), y, P.c(l.accent, lvl));
        }
    img.set(X(9), 8, P.c("grey", 2));
    img.set(X(9), 9, P.c("grey", 2));
    if (frame) img.set(X(31), 4, P.c("grey", 9));
    IMG_Outline(img, P.c("grey", 0));
    return img;
}

// A gun emplacement: an octagonal pit whose two hatch plates slide apart over the frames
// to show the gun.
Image Bunker(int episode, int frame, int frames)
{
    const Palette& P = gen.pal;
    const Works& w = kWorks[episode];
    const Livery& l = kLivery[episode];
    Image img(32, 32);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) {
            int cx = std::abs(x * 2 - 31), cy = std::abs(y * 2 - 31);
            if (cx + cy > 50 || cx > 30 || cy > 30) continue;
            int lvl = 9 - (x + y) / 12;
            if (cx + cy > 44 || cx > 26 || cy > 26) lvl -= 2;
            img.set(x, y, P.c(w.wall, lvl));
        }
    // Hazard marks on the rim.
    for (int k = 0; k < 4; k++) {
        int x = k % 2 ? 27 : 4, y = k / 2 ? 27 : 4;
        img.set(x, y, P.c(l.accent, 11));
        img.set(x + (k % 2 ? -1 : 1), y, P.c("grey", 1));
    }
    IMG_Disc(img, 16, 16, 9, P.c("grey", 1));
    // The gun rises out of the pit as the hatch opens.
    double open = frames > 1 ? static_cast<double>(frame) / (frames - 1) : 1;
    if (open > 0.3) {
        Dome(img, 16, 16, 4 + 2 * open, l.body, 4, 12);
        Barrel(img, 15.5, 17, M_PI / 2, 3, static_cast<int>(6 + 7 * open));
    }
    int gap = static_cast<int>(std::lround(open * 9));
    for (int y = 7; y < 26; y++)
        for (int x = 7; x < 26; x++) {
            double dx = x + 0.5 - 16, dy = y + 0.5 - 16;
            if (dx * dx + dy * dy > 81) continue;
            if (std::abs(dx) < gap) continue;
            int lvl = (dx < 0 ? 10 : 7) + (y % 4 == 0 ? -2 : 0);
            img.set(x + (dx < 0 ? -gap : gap) / 2, y, P.c("steel", lvl));
        }
    IMG_Outline(img, P.c("grey", 0));
    return img;
}

// A heavy twin-barrelled gun on a ring mount that swings to follow the player.
Image BigGun(int episode, int frame, int frames)
{
    const Palette& P = gen.pal;
    const Works& w = kWorks[episode];
    const Livery& l = kLivery[episode];
    Image img(44, 44);
    Dome(img, 22, 22, 20, w.wall, 3, 9);
    IMG_Disc(img, 22, 22, 16, P.c(w.wall, 4));
    for (int k = 0; k < 12; k++) {
        double a = k * M_PI / 6;
        img.set(static_cast<int>(22 + std::cos(a) * 18), static_cast<int>(22 + std::sin(a) * 18),
                P.c("grey", 2));
    }
    double a = M_PI / 2 + std::sin(frame * 2 * M_PI / frames) * 1.0;
    double px = -std::sin(a) * 3, py = std::cos(a) * 3;
    Barrel(img, 22 + px, 22 + py, a, 8, 21);
    Barrel(img, 22 - px, 22 - py, a, 8, 21);
    Dome(img, 22, 22, 11, l.body, 3, 13);
    // Hatch and a vision slit on the turret.
    IMG_Disc(img, 20, 19, 3, P.c(l.body, 6));
    img.set(static_cast<int>(22 + std::cos(a) * 8), static_cast<int>(22 + std::sin(a) * 8),
            P.c(l.accent, 12));
    IMG_Outline(img, P.c("grey", 0));
    return img;
}

// The ground boss: a walled installation with four gun towers, a command dome, hangars and
// a landing pad; its lights take turns between the two frames.
Image Base(int episode, int frame)
{
    const Palette& P = gen.pal;
    const Works& w = kWorks[episode];
    const Livery& l = kLivery[episode];
    Image img(144, 84);
    Block(img, 4, 4, 136, 76, w.wall, 7);
    Block(img, 8, 8, 128, 68, w.wall, 5);
    // Yard markings and the landing pad.
    for (int x = 12; x < 132; x += 6)
        img.set(x, 42, P.c(l.accent, 10));
    IMG_Disc(img, 108, 58, 12, P.c(w.wall, 8));
    IMG_Disc(img, 108, 58, 10, P.c(w.wall, 4));
    for (int d = -6; d <= 6; d++) {
        img.set(108 + d, 52, P.c(l.accent, 12));
        img.set(108 + d, 64, P.c(l.accent, 12));
    }
    for (int d = -6; d <= 6; d++)
        img.set(108, 58 + d, P.c(l.accent, 12));
    // Hangars with ribbed roofs.
    for (int h = 0; h < 2; h++) {
        int hx = 14 + h * 30;
        Block(img, hx, 48, 24, 22, w.roof, 9);
        for (int x = hx + 2; x < hx + 22; x += 3)
            for (int y = 49; y < 69; y++)
                img.set(x, y, P.c(w.roof, 6));
        Block(img, hx + 6, 66, 12, 4, "grey", 3);
    }
    // Fuel tanks and a radar mast.
    for (int k = 0; k < 3; k++)
        Dome(img, 82 + k * 11, 18, 5, "steel", 4, 13);
    Dome(img, 22, 22, 7, "grey", 3, 11);
    IMG_Line(img, 22, 22, 30, 14, P.c("steel", 12));
    IMG_Line(img, 27, 12, 33, 18, P.c("steel", 9));
    // The command dome in the middle, its window band, and the gun towers at the corners.
    Dome(img, 60, 28, 15, w.roof, 3, 14);
    for (int x = 48; x < 73; x++)
        if (img.at(x, 30)) img.set(x, 30, P.c(w.light, (x / 3) % 2 ? 12 : 6));
    const int tx[4] = {10, 133, 10, 133}, ty[4] = {10, 10, 73, 73};
    for (int t = 0; t < 4; t++) {
        Dome(img, tx[t], ty[t], 8, l.body, 3, 12);
        Barrel(img, tx[t], ty[t] + 2, M_PI / 2, 4, 11);
    }
    // Two heavy guns either side of the dome, pointing down the screen.
    for (int gx : {40, 80}) {
        Dome(img, gx, 34, 6, l.body, 4, 12);
        Barrel(img, gx - 2, 36, M_PI / 2, 3, 12);
        Barrel(img, gx + 2, 36, M_PI / 2, 3, 12);
    }
    for (int k = 0; k < 6; k++) {
        int x = 12 + k * 24, on = (k + frame) % 2;
        img.set(x, 5, P.c(on ? "fire" : "grey", on ? 14 : 3));
        img.set(x, 78, P.c(on ? "fire" : "grey", on ? 14 : 3));
    }
    IMG_Outline(img, P.c("grey", 0));
    return img;
}

// The mid-wave boss: a heavy four-engined gunship with twin tails.
Mesh Heavy(int episode)
{
    Mesh m;
    const Livery& l = kLivery[episode];
    int body = m.material(l.body, 3, 13), accent = m.material(l.accent, 5, 12),
        glass = m.material("water", 6, 14), dark = m.material("grey", 1, 4);
    m.loft({{24, 0.6, 1.5, 0},
            {18, 4.5, 4.5, -1.5},
            {4, 6, 5, -2},
            {-14, 5, 4, -1.5},
            {-24, 2, 2.5, -1}},
           0, body, dark);
    m.loft({{20, 0.5, 4.0, 2.5}, {16, 2.6, 5.2, 3}, {12, 2.4, 5.0, 3}}, 0, glass, glass);
    m.mirrored({5, 8, 1.2}, {5, -4, 1.2}, {34, -2, 0.5}, {34, 4, 0.5}, body);
    m.mirrored({28, 3.6, 0.6}, {34, 4, 0.5}, {34, -2, 0.5}, {28, -2, 0.6}, accent);
    for (double s : {-1.0, 1.0})
        for (double off : {12.0, 22.0})
            m.loft(
                {{9, 0.6, 1.5, 0}, {6, 2.2, 2.4, -0.6}, {-5, 2.2, 2.3, -0.6}, {-7, 1.2, 1.6, -0.4}},
                s * off, accent, dark);
    m.mirrored({4, -17, 1.5}, {4, -23, 1.5}, {14, -24, 0.8}, {13, -19, 0.9}, body);
    for (double s : {-1.0, 1.0})
        m.quad({s * 12, -18, 1.5}, {s * 12, -24, 1.2}, {s * 12, -25, 7}, {s * 12, -21, 7}, accent);
    return m;
}

// A small fast drone whose three rotor arms turn.
Image Drone(int episode, int frame)
{
    const Palette& P = gen.pal;
    const Livery& l = kLivery[episode];
    Image img(22, 22);
    for (int k = 0; k < 3; k++) {
        double a = k * 2 * M_PI / 3 + frame * M_PI / 6;
        IMG_Line(img, 11, 11, static_cast<int>(std::lround(11 + std::cos(a) * 9)),
                 static_cast<int>(std::lround(11 + std::sin(a) * 9)), P.c("grey", 6));
        IMG_Disc(img, 11 + std::cos(a) * 8, 11 + std::sin(a) * 8, 2.2, P.c(l.accent, 9));
    }
    Dome(img, 11, 11, 5, l.body, 3, 13);
    img.set(11, 13, P.c("fire", frame % 2 ? 14 : 9));
    IMG_Outline(img, P.c("grey", 0));
    return img;
}

Image Gunship(int episode, int frame)
{
    const Palette& P = gen.pal;
    const Livery& l = kLivery[episode];
    Mesh m;
    int body = m.material(l.body, 3, 13), glass = m.material("water", 6, 14),
        dark = m.material("grey", 1, 4);
    m.loft({{9, 0.5, 2, 0},
            {6, 3.2, 4, -1},
            {0, 3.6, 4.5, -1},
            {-5, 2.4, 3.5, -1},
            {-14, 0.8, 1.5, 0}},
           0, body, dark);
    m.loft({{9, 0.4, 3, 1.5}, {7, 2.2, 4.6, 2}, {4, 2.0, 4.8, 2}}, 0, glass, glass);
    m.mirrored({3.4, 1, 2}, {3.4, -2, 2}, {8, -2, 1.5}, {8, 1, 1.5}, body);
    RenderView v;
    v.yaw = 180;
    Image img = MESH_Render(m, v);
    // Rotor blades, turned a quarter of their gap each frame.
    for (int b = 0; b < 2; b++) {
        double a = frame * M_PI / 8 + b * M_PI / 2;
        for (int d = -14; d <= 14; d++) {
            int x = 16 + static_cast<int>(std::lround(std::cos(a) * d)),
                y = 16 + static_cast<int>(std::lround(std::sin(a) * d));
            img.set(x, y, P.c("grey", std::abs(d) > 10 ? 6 : 3));
        }
    }
    img.set(16, 16, P.c("grey", 9));
    return img;
}

} // namespace

const std::vector<EnemyType>& ENEMY_Types(int episode)
{
    static std::map<int, std::vector<EnemyType>> types;
    auto it = types.find(episode);
    if (it != types.end()) return it->second;
    std::vector<EnemyType> t;
    for (const Parsed& p : Library(episode))
        t.push_back(p.type);
    return types.emplace(episode, t).first->second;
}

int ENEMY_TypeIndex(int episode, const std::string& name, const std::string& where)
{
    const std::vector<EnemyType>& t = ENEMY_Types(episode);
    for (size_t i = 0; i < t.size(); i++)
        if (t[i].name == name) return static_cast<int>(i);
    GEN_Fail("%s: no enemy '%s' in enemies/e%d.txt", where.c_str(), name.c_str(), episode + 1);
}

Bytes ENEMY_Library(int episode)
{
    Bytes out;
    for (const Parsed& p : Library(episode))
        out.insert(out.end(), p.record.begin(), p.record.end());
    return out;
}

std::vector<Image> ENEMY_Frames(int episode, int kind, int count)
{
    std::vector<Image> out;
    for (int f = 0; f < count; f++) {
        RenderView v;
        v.yaw = 180;
        switch (kind) {
        case 0:
        case 1:
            out.push_back(MESH_Render(Plane(episode, kind), v));
            break;
        case 2:
            out.push_back(Gunship(episode, f));
            break;
        case 3:
            v.w = v.h = 48;
            out.push_back(MESH_Render(Plane(episode, 3), v));
            break;
        case 4:
            out.push_back(Tank(episode, -1));
            break;
        case 5:
            out.push_back(Tank(episode, 1));
            break;
        case 6:
            out.push_back(Turret(episode, f, count));
            break;
        case 7: {
            v.w = 96;
            v.h = 64;
            v.scale = 1.0;
            Image img = MESH_Render(Plane(episode, 7), v);
            // Running lights that take turns.
            img.set(48, 58, f ? 252 : 253);
            img.set(6, 30, f ? 253 : 252);
            img.set(89, 30, f ? 253 : 252);
            out.push_back(img);
            break;
        }
        case 8:
            out.push_back(Truck(episode, -1, f));
            break;
        case 9:
            out.push_back(Truck(episode, 1, f));
            break;
        case 10:
            out.push_back(Bunker(episode, f, count));
            break;
        case 11:
            out.push_back(BigGun(episode, f, count));
            break;
        case 12:
            out.push_back(Base(episode, f));
            break;
        case 13: {
            v.w = 72;
            v.h = 64;
            Image img = MESH_Render(Heavy(episode), v);
            img.set(36, 60, f ? 252 : 253);
            out.push_back(img);
            break;
        }
        default:
            out.push_back(Drone(episode, f));
            break;
        }
    }
    return out;
}

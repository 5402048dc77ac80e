// Enemy libraries from data/enemies/eN.txt, and the enemies' frames: aircraft drawn with
// the mesh renderer nose down, ground vehicles and guns drawn from shapes.
#include <cmath>
#include <map>

#include "content.h"
#include "mesh.h"
#include "res/itemfmt.h"

namespace
{

// Enemy artwork in the order of the frame runs that follow each episode's maps.
const char* const kArt[8] = {"fighter", "interceptor", "gunship", "bomber",
                             "tankl",   "tankr",       "turret",  "fortress"};
const char* const kArtLabel[8] = {"FIGHTER", "INTERCEPT", "GUNSHIP", "BOMBER",
                                  "TANKL",   "TANKR",     "TURRET",  "FORTRESS"};

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
                for (int k = 0; k < 8; k++)
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
        default: {
            v.w = 96;
            v.h = 64;
            v.scale = 1.0;
            Image img = MESH_Render(Plane(episode, 7), v);
            // Running lights that take turns.
            img.set(48, 58, f ? 252 : 253);
            img.set(6, 30, f ? 253 : 252);
            img.set(89, 30, f ? 253 : 252);
            out.push_back(img);
        }
        }
    }
    return out;
}

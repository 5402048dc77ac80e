// Ground and road painting for the four landscapes.
//
// Every canvas pixel belongs to the ground that wins there. A soft ground (water, forest,
// rock) spreads from the centres of its cells with a blend weight plus a little noise, so
// its outline is a natural curve that ignores the tile grid; a hard ground (fields,
// concrete, floor grating) fills exactly its own cells. Textures and outline noise repeat
// every 32 pixels.
#include <algorithm>
#include <array>
#include <cmath>

#include "content.h"
#include "episode.h"

namespace
{

const Palette& P()
{
    return gen.pal;
}

struct GroundStyle {
    const char* name;
    bool hard;
    double noise; // outline wobble of soft grounds
};

// Grounds of each episode, lowest priority first (a higher ground covers a lower one
// where both reach).
const std::vector<GroundStyle>& Styles(int episode)
{
    static const std::vector<GroundStyle> e[4] = {
        {{"grass", false, 0.2},
         {"meadow", false, 0.42},
         {"wheat", true, 0},
         {"crops", true, 0},
         {"plowed", true, 0},
         {"concrete", true, 0},
         {"forest", false, 0.38},
         {"water", false, 0.42}},
        {{"sand", false, 0.2},
         {"dunes", false, 0.4},
         {"concrete", true, 0},
         {"scrub", false, 0.4},
         {"rock", false, 0.4},
         {"water", false, 0.42}},
        {{"snow", false, 0.2},
         {"concrete", true, 0},
         {"ice", false, 0.4},
         {"rock", false, 0.4},
         {"pines", false, 0.38},
         {"sea", false, 0.42}},
        {{"plate", false, 0.2},
         {"grate", true, 0},
         {"crystal", false, 0.4},
         {"slime", false, 0.42},
         {"pit", false, 0.36}},
    };
    return e[episode];
}

enum GroundKind {
    G_GRASS,
    G_MEADOW,
    G_WHEAT,
    G_CROPS,
    G_PLOWED,
    G_FOREST,
    G_WATER,
    G_SAND,
    G_DUNES,
    G_CONCRETE,
    G_SCRUB,
    G_ROCK,
    G_SNOW,
    G_ICE,
    G_PINES,
    G_SEA,
    G_PLATE,
    G_GRATE,
    G_CRYSTAL,
    G_SLIME,
    G_PIT,
    G_COUNT
};

GroundKind KindOf(const std::string& name)
{
    static const char* const names[] = {
        "grass", "meadow", "wheat",    "crops", "plowed",  "forest", "water",
        "sand",  "dunes",  "concrete", "scrub", "rock",    "snow",   "ice",
        "pines", "sea",    "plate",    "grate", "crystal", "slime",  "pit"};
    static_assert(std::size(names) == G_COUNT);
    for (int k = 0; k < G_COUNT; k++)
        if (name == names[k]) return static_cast<GroundKind>(k);
    GEN_Fail("no painter for ground '%s'", name.c_str());
}

// Outline noise repeats every tile: an edge between two grounds then looks the same
// wherever the same cells meet, which keeps the tile sets small.
constexpr int kOutlinePeriod = 32;

// Halfway between straight and smoothstep blending: single cells come out as rounded
// blobs rather than diamonds or squares.
double Smooth(double t)
{
    return 0.5 * (t + t * t * (3 - 2 * t));
}

// Per-pixel result of the ground contest.
struct Px {
    int8_t ground = 0;
    float margin = 1; // how far inside its ground (0 at the outline)
    int8_t near = -1; // a higher ground that just missed this pixel
    float nearMargin = -1;
};

class Painter
{
  public:
    Painter(const Theme& th, const MapGrid& map, Image& canvas)
        : th_(th), map_(map), canvas_(canvas), styles_(Styles(th.episode)),
          px_(size_t(kCanvasW) * kCanvasH)
    {
        // Noise and textures repeat, so they are worked out once per ground.
        for (size_t g = 0; g < th.grounds.size(); g++) {
            kind_.push_back(KindOf(th.grounds[g]));
            std::vector<float> n(64 * 64), t(32 * 32);
            double amp = styles_[g].noise;
            for (int y = 0; y < 64; y++)
                for (int x = 0; x < 64; x++)
                    n[y * 64 + x] = static_cast<float>(
                        (GEN_Fractal(x, y, kOutlinePeriod,
                                     300 + static_cast<int>(g) * 17 + th.episode * 5, 3) -
                         0.5) *
                        2 * amp);
            for (int y = 0; y < 32; y++)
                for (int x = 0; x < 32; x++)
                    t[y * 32 + x] =
                        static_cast<float>(GEN_Fractal(x, y, 32, 7 + static_cast<int>(g), 3));
            noise_.push_back(n);
            tex_.push_back(t);
        }
    }

    void Run()
    {
        // A cell whose eight neighbours share its ground looks the same wherever it is:
        // it is painted once per ground and copied.
        std::vector<bool> plain(size_t(kCols) * kRows);
        for (int r = 0; r < kRows; r++)
            for (int c = 0; c < kCols; c++) {
                int g = map_.at(c, r).ground;
                bool same = true;
                for (int dr = -1; dr <= 1; dr++)
                    for (int dc = -1; dc <= 1; dc++)
                        same = same && map_.at(c + dc, r + dr).ground == g;
                plain[size_t(r) * kCols + c] = same;
            }
        for (int y = 0; y < kCanvasH; y++)
            for (int x = 0; x < kCanvasW; x++) {
                Px& p = px_[size_t(y) * kCanvasW + x];
                if (plain[size_t(y / kTile) * kCols + x / kTile]) {
                    p = Px();
                    p.ground = static_cast<int8_t>(map_.at(x / kTile, y / kTile).ground);
                } else {
                    p = Classify(x, y);
                }
            }
        std::vector<Image> painted(th_.grounds.size());
        for (int r = 0; r < kRows; r++)
            for (int c = 0; c < kCols; c++) {
                Image* cached = nullptr;
                if (plain[size_t(r) * kCols + c]) {
                    cached = &painted[map_.at(c, r).ground];
                    if (cached->w) {
                        IMG_Blit(canvas_, *cached, c * kTile, r * kTile, false);
                        continue;
                    }
                }
                for (int y = r * kTile; y < (r + 1) * kTile; y++)
                    for (int x = c * kTile; x < (c + 1) * kTile; x++)
                        canvas_.set(x, y, Paint(x, y));
                if (cached) {
                    *cached = Image(kTile, kTile);
                    for (int y = 0; y < kTile; y++)
                        for (int x = 0; x < kTile; x++)
                            cached->set(x, y, canvas_.at(c * kTile + x, r * kTile + y));
                }
            }
    }

  private:
    const Px& At(int x, int y) const
    {
        x = std::clamp(x, 0, kCanvasW - 1);
        y = std::clamp(y, 0, kCanvasH - 1);
        return px_[size_t(y) * kCanvasW + x];
    }
    bool Is(int x, int y, GroundKind k) const { return kind_[At(x, y).ground] == k; }

    double Noise(int g, int x, int y) const { return noise_[g][(y & 63) * 64 + (x & 63)]; }

    Px Classify(int x, int y) const
    {
        double u = (x + 0.5) / kTile - 0.5, v = (y + 0.5) / kTile - 0.5;
        int c0 = static_cast<int>(std::floor(u)), r0 = static_cast<int>(std::floor(v));
        double su = Smooth(u - c0), sv = Smooth(v - r0);
        const Cell* block[4] = {&map_.at(c0, r0), &map_.at(c0 + 1, r0), &map_.at(c0, r0 + 1),
                                &map_.at(c0 + 1, r0 + 1)};
        double w[4] = {(1 - su) * (1 - sv), su * (1 - sv), (1 - su) * sv, su * sv};
        const Cell& own = map_.at(x / kTile, y / kTile);
        Px p;
        if (block[0]->ground == own.ground && block[1]->ground == own.ground &&
            block[2]->ground == own.ground && block[3]->ground == own.ground) {
            p.ground = static_cast<int8_t>(own.ground);
            return p;
        }

        int n = static_cast<int>(th_.grounds.size());
        double score[16];
        bool candidate[16] = {};
        for (int g = 0; g < n; g++)
            score[g] = 0;
        for (int k = 0; k < 4; k++) {
            score[block[k]->ground] += w[k];
            if (!styles_[block[k]->ground].hard) candidate[block[k]->ground] = true;
        }
        candidate[own.ground] = true;

        p.ground = -1;
        double best = -1;
        int bestg = own.ground;
        for (int g = 0; g < n; g++) {
            if (!candidate[g]) continue;
            double s = styles_[g].hard ? (g == own.ground ? 1.5 : -1) : score[g] + Noise(g, x, y);
            if (s > best) {
                best = s;
                bestg = g;
            }
            if (s > 0.5) {
                p.ground = static_cast<int8_t>(g);
                p.margin = static_cast<float>(s - 0.5);
            } else if (p.ground >= 0 && s > 0.5 - 0.12 && s - 0.5 > p.nearMargin) {
                p.near = static_cast<int8_t>(g);
                p.nearMargin = static_cast<float>(s - 0.5);
            }
        }
        if (p.ground < 0) {
            p.ground = static_cast<int8_t>(bestg);
            p.margin = 0.01f;
        }
        return p;
    }

    uint8_t Paint(int x, int y) const
    {
        const Px& p = At(x, y);
        const GroundKind g = kind_[p.ground];
        int lx = ((x % kTile) + kTile) % kTile, ly = ((y % kTile) + kTile) % kTile;
        double tex = tex_[p.ground][ly * 32 + lx];
        uint32_t h = GEN_Hash(lx, ly, 11 + p.ground);
        const int nearKind = p.near >= 0 ? kind_[p.near] : -1;
        bool wetEdge =
            (nearKind == G_WATER || nearKind == G_SEA || nearKind == G_ICE) && p.nearMargin > -0.05;

        // Shadows cast to the lower right by forests and rock onto lower ground.
        auto shadowed = [&](GroundKind caster, int reach) {
            for (int k = 1; k <= reach; k++)
                if (Is(x - k, y - k, caster)) return true;
            return false;
        };

        uint8_t c = 0;
        if (g == G_MEADOW) {
            // Longer, lighter grass with flowers.
            c = P().c("grass", 8 + static_cast<int>(tex * 4));
            if ((h & 127) < 3)
                c = P().c("wheat", 14);
            else if ((h & 127) < 5)
                c = P().c("ice", 15);
            else if ((h & 127) < 6)
                c = P().c("violet", 11);
            else if ((h >> 8) % 5 == 0)
                c = P().c("grass", 6 + static_cast<int>(tex * 3));
            if (wetEdge) c = P().c("grass", 5);
            if (shadowed(G_FOREST, 4)) c = SHADE(c, -3);
        } else if (g == G_GRASS) {
            c = P().c("grass", 6 + static_cast<int>(tex * 4));
            if ((h & 255) < 3)
                c = P().c("wheat", 13);
            else if ((h & 255) < 6)
                c = P().c("grass", 11);
            if (wetEdge) c = p.nearMargin > -0.025 ? P().c("sand", 10) : P().c("grass", 4);
            if (shadowed(G_FOREST, 4)) c = SHADE(c, -3);
        } else if (g == G_WHEAT || g == G_CROPS || g == G_PLOWED) {
            if (g == G_WHEAT)
                c = P().c("wheat", 9 + static_cast<int>(tex * 3) - (lx % 4 == 0 ? 2 : 0));
            else if (g == G_CROPS)
                c = ly % 4 < 2 ? P().c("grass", 8 + static_cast<int>(tex * 4) + (lx % 3 == 0))
                               : P().c("earth", 6);
            else
                c = P().c("earth", 7 + static_cast<int>(tex * 3) - ((lx + ly) % 5 == 0 ? 2 : 0));
            c = HedgeOr(x, y, c);
            if (shadowed(G_FOREST, 4)) c = SHADE(c, -3);
        } else if (g == G_FOREST || g == G_PINES) {
            c = Canopy(lx, ly, g == G_PINES, p.margin);
        } else if (g == G_WATER || g == G_SEA) {
            bool sea = g == G_SEA;
            int level = sea ? 3 : 5;
            double depth = std::min(1.0, p.margin / 0.4);
            level += static_cast<int>((1 - depth) * 4);
            c = P().c("water", level + static_cast<int>(tex * 2));
            if (p.margin < 0.03)
                c = sea ? P().c("ice", 15) : P().c("water", 12);
            else if (sea && p.margin < 0.06)
                c = P().c("water", 9);
            else if ((h % 97) < 2 && depth > 0.3)
                c = static_cast<uint8_t>(240 + (lx + ly) % 5);
            else if ((GEN_Hash(lx / 3, ly, 17) % 23) == 0 && depth > 0.2)
                c = static_cast<uint8_t>(240 + (lx / 3 + ly) % 5);
            if (shadowed(G_FOREST, 3) || shadowed(G_ROCK, 4) || shadowed(G_PINES, 3))
                c = SHADE(c, -2);
        } else if (g == G_SAND || g == G_DUNES) {
            static const auto wave = [] {
                std::array<double, 32> w;
                for (int i = 0; i < 32; i++)
                    w[i] = std::sin(2 * M_PI * i / 32.0);
                return w;
            }();
            // Wind ripples whose phase wanders with the texture, so they do not line up.
            double ripple = wave[(2 * lx + ly + static_cast<int>(tex * 12)) % 32];
            // Soft blotches and a thin ripple crest; no specks, which would line up tile by
            // tile across open sand.
            c = P().c("sand", (g == G_DUNES ? 8 : 10) + static_cast<int>(tex * 2.5) +
                                  (ripple > 0.88 ? 1 : 0));
            if (wetEdge) c = P().c("earth", 8);
            if (shadowed(G_ROCK, 5)) c = SHADE(c, -3);
        } else if (g == G_SCRUB) {
            c = P().c("sand", 9 + static_cast<int>(tex * 2));
            double bush = GEN_Noise(lx / 4.0, ly / 4.0, 8, 41);
            if (bush > 0.62) c = P().c("olive", 4 + static_cast<int>((bush - 0.62) * 20));
            if (shadowed(G_ROCK, 5)) c = SHADE(c, -3);
        } else if (g == G_ROCK) {
            bool arctic = th_.episode == 2;
            const char* ramp = arctic ? "steel" : "rust";
            // A plateau top with bands of layered stone.
            int band = (ly + static_cast<int>(tex * 7)) % 9;
            c = P().c(ramp, (arctic ? 8 : 9) + static_cast<int>(tex * 2) - (band == 0 ? 2 : 0) +
                                (band == 1 ? 1 : 0));
            if ((h & 127) == 0) c = P().c(ramp, 5);

            // A cliff: lit rim at the upper left, dark face at the lower right.
            bool rimLit = !Is(x - 1, y - 1, G_ROCK) || !Is(x - 2, y - 2, G_ROCK);
            int face = 0;
            for (int k = 1; k <= 4; k++)
                if (!Is(x + k, y + k, G_ROCK)) {
                    face = 5 - k;
                    break;
                }
            if (face)
                c = P().c(ramp, 2 + (4 - face) - (lx % 3 == 0 ? 1 : 0));
            else if (rimLit)
                c = P().c(arctic ? "ice" : "sand", arctic ? 14 : 12);
            else if (arctic && (!Is(x - 3, y - 3, G_ROCK) || !Is(x - 4, y - 2, G_ROCK)))
                c = P().c("ice", 12); // snow lies along the upper edges
        } else if (g == G_CONCRETE) {
            c = P().c("grey", 10 + static_cast<int>(tex * 1.8));
            if (lx % 16 == 0 || ly % 16 == 0) c = P().c("grey", 8);
            if ((h & 127) < 2) c = P().c("grey", 7);
            c = KerbOr(x, y, c);
            if (shadowed(G_ROCK, 5) || shadowed(G_PINES, 3)) c = SHADE(c, -3);
        } else if (g == G_SNOW) {
            // Wind-smoothed snow: one tone, faint drift lines, a rare glint.
            c = P().c("ice", 13 + (tex > 0.8 ? 1 : 0));
            if ((2 * lx + ly) % 16 == 0 && tex > 0.55) c = P().c("ice", 12);
            if ((h & 511) < 2) c = P().c("ice", 15);
            if (shadowed(G_PINES, 4) || shadowed(G_ROCK, 5)) c = P().c("ice", 8);
        } else if (g == G_ICE) {
            // Frozen water: glassy blue with pale cracks and a dark rim at the shore.
            c = P().c("water", 11 + static_cast<int>(tex * 2));
            bool crack =
                (GEN_Hash(lx, ly / 2, 23) % 37) == 0 || (GEN_Hash(lx / 2, ly, 29) % 47) == 0;
            if (crack) c = P().c("ice", 15);
            if (p.margin < 0.02)
                c = P().c("water", 8);
            else if (p.margin < 0.04)
                c = P().c("ice", 14);
            if (shadowed(G_PINES, 3) || shadowed(G_ROCK, 4)) c = SHADE(c, -3);
        } else if (g == G_PLATE) {
            // Deck plates a tile wide: lit upper edges, dark lower ones, a rivet in each
            // corner and a seam across the middle.
            c = P().c("steel", 7 + static_cast<int>(tex * 1.8));
            if (lx == 0 || ly == 0)
                c = P().c("steel", 10);
            else if (lx == 31 || ly == 31)
                c = P().c("steel", 3);
            else if (ly == 16 && lx > 2 && lx < 29)
                c = P().c("steel", 5);
            if ((lx == 3 || lx == 28) && (ly == 3 || ly == 28)) c = P().c("steel", 12);
            if ((lx == 4 || lx == 29) && (ly == 4 || ly == 29)) c = P().c("steel", 4);
            if (wetEdge) c = P().c("steel", 4);
            if (nearKind == G_SLIME && p.nearMargin > -0.04) c = 249;
            if (nearKind == G_PIT && p.nearMargin > -0.05) c = P().c("steel", 11);
        } else if (g == G_GRATE) {
            bool hole = lx % 4 != 0 && ly % 4 != 0;
            c = hole ? P().c("steel", 2) : P().c("steel", 8 + static_cast<int>(tex * 2));
            c = KerbOr(x, y, c);
        } else if (g == G_CRYSTAL) {
            // Shards: bright faces lit from the upper left.
            double a = GEN_Noise(lx / 4.0, ly / 4.0, 8, 55);
            int level = 6 + static_cast<int>(a * 8);
            if ((lx + ly) % 9 < 2) level += 3;
            c = P().c("violet", level);
            if (p.margin < 0.04) c = P().c("violet", 3);
        } else if (g == G_SLIME) {
            c = static_cast<uint8_t>(245 + static_cast<int>(tex * 5 + (lx + 2 * ly) / 6) % 5);
            if (p.margin < 0.04)
                c = P().c("toxic", 6);
            else if ((h & 63) < 2)
                c = P().c("toxic", 15);
        } else if (g == G_PIT) {
            c = P().c("violet", static_cast<int>(std::max(0.0, 2 - p.margin * 8.0)));
            if (p.margin < 0.015)
                c = P().c("steel", 9);
            else if (p.margin < 0.05)
                c = P().c("steel", 2);
            if ((h & 1023) < 2 && p.margin > 0.2) c = 250;
        } else {
            GEN_Fail("no painter for ground kind %d", static_cast<int>(g));
        }
        return c;
    }

    // Trees: overlapping round crowns lit from the upper left, a dark floor between them.
    uint8_t Canopy(int lx, int ly, bool snowy, float margin) const
    {
        static const double trees[][3] = {{4, 5, 6},   {15, 3, 7}, {26, 6, 6.5}, {9, 15, 6.5},
                                          {21, 14, 7}, {3, 25, 6}, {14, 26, 7},  {27, 24, 6.5},
                                          {31, 15, 5}, {0, 15, 5}};
        double best = 0, bx = 0, by = 0, br = 1;
        for (const auto& t : trees)
            for (int ox = -32; ox <= 32; ox += 32)
                for (int oy = -32; oy <= 32; oy += 32) {
                    double dx = lx + 0.5 - (t[0] + ox), dy = ly + 0.5 - (t[1] + oy);
                    double hgt = t[2] * t[2] - dx * dx - dy * dy;
                    if (hgt > best) {
                        best = hgt;
                        bx = dx;
                        by = dy;
                        br = t[2];
                    }
                }
        const char* ramp = snowy ? "toxic" : "grass";
        if (best <= 0 || (margin < 0.06 && best < 12)) return P().c(ramp, snowy ? 1 : 2);
        int level = 6 - static_cast<int>((bx + by) / br * 2.5);
        if (snowy && bx + by < -br * 0.6) return P().c("ice", 14);
        return P().c(ramp, level);
    }

    // A hedge row along field edges that meet another ground.
    uint8_t HedgeOr(int x, int y, uint8_t c) const
    {
        int cx = x / kTile, cy = y / kTile, lx = x % kTile, ly = y % kTile;
        int g = map_.at(cx, cy).ground;
        bool edge = (lx < 2 && map_.at(cx - 1, cy).ground != g) ||
                    (lx > 29 && map_.at(cx + 1, cy).ground != g) ||
                    (ly < 2 && map_.at(cx, cy - 1).ground != g) ||
                    (ly > 29 && map_.at(cx, cy + 1).ground != g);
        if (!edge) return c;
        uint32_t h = GEN_Hash(x % 64, y % 64, 77);
        return P().c("grass", 2 + static_cast<int>(h % 4));
    }

    uint8_t KerbOr(int x, int y, uint8_t c) const
    {
        int cx = x / kTile, cy = y / kTile, lx = x % kTile, ly = y % kTile;
        int g = map_.at(cx, cy).ground;
        if ((lx == 0 && map_.at(cx - 1, cy).ground != g) ||
            (ly == 0 && map_.at(cx, cy - 1).ground != g))
            return P().c("steel", 13);
        if ((lx == 31 && map_.at(cx + 1, cy).ground != g) ||
            (ly == 31 && map_.at(cx, cy + 1).ground != g))
            return P().c("steel", 4);
        return c;
    }

    const Theme& th_;
    const MapGrid& map_;
    Image& canvas_;
    const std::vector<GroundStyle>& styles_;
    std::vector<Px> px_;
    std::vector<GroundKind> kind_;
    std::vector<std::vector<float>> noise_, tex_;
};

} // namespace

const Cell& MapGrid::at(int c, int r) const
{
    // Outside the map the edge cells continue.
    c = std::clamp(c, 0, kCols - 1);
    r = std::clamp(r, 0, kRows - 1);
    return cells[size_t(r) * kCols + c];
}

int Theme::groundIndex(const std::string& name, const std::string& where) const
{
    for (size_t i = 0; i < grounds.size(); i++)
        if (grounds[i] == name) return static_cast<int>(i);
    std::string known;
    for (const std::string& g : grounds)
        known += " " + g;
    GEN_Fail("%s: episode %d has no ground '%s' (it has:%s)", where.c_str(), episode + 1,
             name.c_str(), known.c_str());
}

int Theme::overlayIndex(const std::string& name, const std::string& where)
{
    for (size_t i = 0; i < overlays.size(); i++)
        if (overlays[i] == name) return static_cast<int>(i);
    if (name != "road" && name != "track" && name != "pipe" && !OBJ_Known(episode, name))
        GEN_Fail("%s: no road or object '%s' in episode %d", where.c_str(), name.c_str(),
                 episode + 1);
    overlays.push_back(name);
    return static_cast<int>(overlays.size()) - 1;
}

Theme THEME_Make(int episode)
{
    Theme th;
    th.episode = episode;
    for (const GroundStyle& s : Styles(episode))
        th.grounds.push_back(s.name);
    return th;
}

void THEME_PaintGround(const Theme& th, const MapGrid& map, Image& canvas)
{
    if (th.grounds.size() > 16) GEN_Fail("too many grounds");
    Painter(th, map, canvas).Run();
}

bool THEME_IsLine(const Theme& th, int overlay)
{
    if (overlay < 0) return false;
    const std::string& n = th.overlays[overlay];
    return n == "road" || n == "track" || n == "pipe";
}

namespace
{

// Distance from a point to the segment from (ax, ay) to (bx, by).
double SegDist(double px, double py, double ax, double ay, double bx, double by)
{
    double dx = bx - ax, dy = by - ay;
    double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

bool IsWater(const std::string& g)
{
    GroundKind k = KindOf(g);
    return k == G_WATER || k == G_SEA || k == G_SLIME || k == G_PIT;
}

} // namespace

void THEME_PaintLines(const Theme& th, const MapGrid& map, Image& canvas)
{
    const int dxs[4] = {0, 1, 0, -1}, dys[4] = {-1, 0, 1, 0}; // N E S W
    for (int r = 0; r < kRows; r++)
        for (int c = 0; c < kCols; c++) {
            const Cell& cell = map.at(c, r);
            if (!THEME_IsLine(th, cell.overlay)) continue;
            const std::string& kind = th.overlays[cell.overlay];
            bool link[4];
            int links = 0;
            for (int d = 0; d < 4; d++) {
                int nc = c + dxs[d], nr = r + dys[d];
                bool outside = nc < 0 || nc >= kCols || nr < 0 || nr >= kRows;
                // A line at the map's edge runs on off the map.
                link[d] = outside || map.at(nc, nr).overlay == cell.overlay;
                links += link[d];
            }
            bool bridge = IsWater(th.grounds[cell.ground]);
            double half = kind == "track" ? (th.episode == 2 ? 6 : 4.5) : kind == "pipe" ? 5 : 6.5;
            // A bend of exactly two perpendicular links is drawn as a quarter circle.
            int bendCorner = -1;
            if (links == 2 && !bridge) {
                for (int d = 0; d < 4; d++)
                    if (link[d] && link[(d + 1) % 4]) bendCorner = d;
            }
            for (int y = 0; y < kTile; y++)
                for (int x = 0; x < kTile; x++) {
                    double px = x + 0.5, py = y + 0.5, dist = 1e9;
                    double along = 0; // position along the line, for dashes
                    if (bendCorner >= 0) {
                        // Corner between directions d and d + 1: N+E -> (32, 0), E+S -> (32, 32)
                        // ...
                        static const double cxs[4] = {32, 32, 0, 0}, cys[4] = {0, 32, 32, 0};
                        double d = std::hypot(px - cxs[bendCorner], py - cys[bendCorner]);
                        dist = std::fabs(d - 16);
                        along = std::atan2(py - cys[bendCorner], px - cxs[bendCorner]) * 16;
                    } else {
                        for (int d = 0; d < 4; d++) {
                            if (!link[d] && links > 0) continue;
                            double ex = 16 + dxs[d] * 16, ey = 16 + dys[d] * 16;
                            double dd = SegDist(px, py, 16, 16, ex, ey);
                            if (dd < dist) {
                                dist = dd;
                                along = dxs[d] ? px : py;
                            }
                        }
                    }
                    if (dist > half + (bridge ? 3 : 0)) continue;
                    int X = c * kTile + x, Y = r * kTile + y;
                    uint8_t col;
                    if (bridge) {
                        // Deck with rails; the water under the far side lies in shadow.
                        if (dist > half + 1.5)
                            col = gen.pal.c("earth", 3);
                        else if (dist > half)
                            col = gen.pal.c(kind == "pipe" ? "steel" : "grey", 12);
                        else if (kind == "pipe")
                            col = gen.pal.c("steel", 11 - static_cast<int>(dist * 1.2));
                        else
                            col = gen.pal.c("earth",
                                            9 + ((static_cast<int>(along) & 3) == 0 ? -2 : 0));
                    } else if (kind == "pipe") {
                        // A copper pipe: bright along its top, dark at its sides,
                        // with a flange every half tile.
                        col = gen.pal.c("rust", 13 - static_cast<int>(dist * 1.9));
                        if (dist > half - 0.8) col = gen.pal.c("grey", 1);
                        int f = static_cast<int>(along + 64) % 16;
                        if (f == 0 || f == 1) col = gen.pal.c("steel", f ? 4 : 11);
                    } else if (kind == "track") {
                        col = dist > half - 1.2 ? SHADE(canvas.at(X, Y), -2)
                                                : gen.pal.c(th.episode == 2 ? "ice" : "earth",
                                                            th.episode == 2 ? 10 : 9);
                        if (std::fabs(dist - half / 2) < 0.9)
                            col = th.episode == 2 ? gen.pal.c("ice", 7) : SHADE(col, -1);
                    } else {
                        col = gen.pal.c("grey", th.episode == 1 ? 7 : 6);
                        if (dist > half - 1) col = gen.pal.c("grey", th.episode == 1 ? 11 : 9);
                        bool straight = bendCorner < 0 && links == 2 && (link[0] == link[2]);
                        if (straight && dist < 0.8 && (static_cast<int>(along + 64) % 16) < 8)
                            col = gen.pal.c("wheat", 14);
                    }
                    canvas.set(X, Y, col);
                }
        }
}

uint8_t SHADE(uint8_t c, int delta)
{
    if (c >= 240) return c;
    for (const auto& [name, r] : gen.pal.ramps) {
        if (r.count < 3 || c < r.first || c >= r.first + r.count) continue;
        return static_cast<uint8_t>(std::clamp(c + delta, r.first, r.first + r.count - 1));
    }
    return c;
}

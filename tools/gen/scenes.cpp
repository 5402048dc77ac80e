// The cut-scenes: each scene is drawn frame by frame from its description in
// data/scenes/NAME.txt (layers painted back to front, their values moving along paths
// over the frames) and stored as frame deltas, the first frame led by its fill colour.
//
// A description line is `KIND [@FIRST-LAST] KEY=VALUE ... ["TEXT"]`. A value is a number,
// a path of numbers `a..b..c` spread evenly over the frames the layer shows (linear
// between them), a colour `ramp:level`, or a word. Scenes marked `loop` spread their paths
// over one frame more than they have, so the last frame leads back into the first.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

#include "content.h"
#include "episode.h"
#include "preview.h"
#include "scenes.h"
#include "ui/movie.h"

namespace
{

const Palette& P()
{
    return gen.pal;
}

struct VALUE {
    std::vector<double> keys; // a number or a path
    std::string word;         // a colour or a word
};

struct LAYER {
    std::string kind;
    int first = 0, last = 1 << 20;
    std::map<std::string, VALUE> p;
    std::string text;
    std::string where;
};

struct SCENESRC {
    int frames = 0;
    bool loop = false;
    std::vector<LAYER> layers;
};

double Num(const std::string& w, const std::string& where)
{
    char* end = nullptr;
    double v = strtod(w.c_str(), &end);
    if (w.empty() || *end) GEN_Fail("%s: '%s' is not a number", where.c_str(), w.c_str());
    return v;
}

SCENESRC Load(const std::string& name)
{
    const std::string file = "scenes/" + name + ".txt";
    std::vector<std::string> lines = GEN_ReadLines(file);
    SCENESRC s;
    for (size_t ln = 0; ln < lines.size(); ln++) {
        std::string line = lines[ln];
        const std::string where = file + ":" + std::to_string(ln + 1);
        std::string text;
        size_t q = line.find('"');
        if (q != std::string::npos) {
            size_t e = line.rfind('"');
            if (e == q) GEN_Fail("%s: text without its closing quote", where.c_str());
            text = line.substr(q + 1, e - q - 1);
            line = line.substr(0, q);
        }
        std::vector<std::string> w = GEN_Split(line);
        if (w.empty()) continue;
        if (w[0] == "frames") {
            if (w.size() != 2) GEN_Fail("%s: frames COUNT", where.c_str());
            s.frames = GEN_ToInt(w[1], where);
            continue;
        }
        if (w[0] == "loop") {
            s.loop = true;
            continue;
        }
        LAYER l;
        l.kind = w[0];
        l.text = text;
        l.where = where;
        for (size_t i = 1; i < w.size(); i++) {
            if (w[i][0] == '@') {
                size_t dash = w[i].find('-');
                if (dash == std::string::npos) GEN_Fail("%s: @FIRST-LAST", where.c_str());
                l.first = GEN_ToInt(w[i].substr(1, dash - 1), where);
                l.last = GEN_ToInt(w[i].substr(dash + 1), where);
                continue;
            }
            size_t eq = w[i].find('=');
            if (eq == std::string::npos)
                GEN_Fail("%s: '%s' is not KEY=VALUE", where.c_str(), w[i].c_str());
            VALUE v;
            std::string val = w[i].substr(eq + 1);
            if (val.find(':') != std::string::npos ||
                std::isalpha(static_cast<unsigned char>(val[0]))) {
                v.word = val;
            } else {
                size_t at = 0;
                for (;;) {
                    size_t dots = val.find("..", at);
                    v.keys.push_back(Num(val.substr(at, dots - at), where));
                    if (dots == std::string::npos) break;
                    at = dots + 2;
                }
            }
            l.p[w[i].substr(0, eq)] = v;
        }
        s.layers.push_back(l);
    }
    if (s.frames < 1 || s.frames > MOVIE_MAXFRAMES)
        GEN_Fail("%s: needs frames 1..%d", file.c_str(), MOVIE_MAXFRAMES);
    return s;
}

// One layer as it is painted in one frame: its values at the frame's point on the paths.
struct AT {
    const LAYER& l;
    double t;  // 0..1 over the frames the layer shows
    int frame; // frame of the scene
    double n(const char* key, double def) const
    {
        auto it = l.p.find(key);
        if (it == l.p.end() || it->second.keys.empty()) return def;
        const std::vector<double>& k = it->second.keys;
        if (k.size() == 1) return k[0];
        double pos = std::clamp(t, 0.0, 1.0) * double(k.size() - 1);
        size_t i = std::min(size_t(pos), k.size() - 2);
        return k[i] + (k[i + 1] - k[i]) * (pos - double(i));
    }
    int i(const char* key, int def) const { return static_cast<int>(std::lround(n(key, def))); }
    std::string w(const char* key, const char* def) const
    {
        auto it = l.p.find(key);
        return it == l.p.end() || it->second.word.empty() ? def : it->second.word;
    }
    uint8_t c(const char* key, const char* def) const
    {
        std::string s = w(key, def);
        size_t colon = s.find(':');
        if (colon == std::string::npos) GEN_Fail("%s: %s wants RAMP:LEVEL", l.where.c_str(), key);
        std::string ramp = s.substr(0, colon);
        if (!P().ramps.count(ramp)) GEN_Fail("%s: no ramp '%s'", l.where.c_str(), ramp.c_str());
        return P().c(ramp, GEN_ToInt(s.substr(colon + 1), l.where));
    }
    // The same layer a number of frames earlier (for trails).
    AT back(double dt) const { return AT{l, t - dt, frame}; }
};

constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// A level between two of a ramp, dithered: smooth gradients out of few colours.
uint8_t Dither(uint8_t lo, double level, int x, int y)
{
    int whole = static_cast<int>(std::floor(level));
    double frac = level - whole;
    return SHADE(lo, whole + (frac * 16 > kBayer[y & 3][x & 3] + 0.5 ? 1 : 0));
}

void Lighten(Image& img, int x, int y, int by)
{
    if (img.inside(x, y)) img.set(x, y, SHADE(img.at(x, y), by));
}

// ---- painters ----------------------------------------------------------------------------------

void Sky(Image& img, const AT& a)
{
    uint8_t base = a.c("colour", "water:0");
    double top = a.n("top", 0), bottom = a.n("bottom", 5);
    int horizon = a.i("horizon", 200);
    for (int y = 0; y < 200; y++) {
        double level = top + (bottom - top) * std::min(1.0, y / double(std::max(1, horizon)));
        for (int x = 0; x < 320; x++)
            img.set(x, y, Dither(base, level, x, y));
    }
}

void Stars(Image& img, const AT& a)
{
    int seed = a.i("seed", 1), count = a.i("count", 100), maxy = a.i("maxy", 140);
    double drift = a.n("scroll", 0);
    for (int k = 0; k < count; k++) {
        int x = int(GEN_Hash(k, 1, seed) % 320 + 640 - int(drift)) % 320;
        int y = int(GEN_Hash(k, 2, seed) % uint32_t(std::max(1, maxy)));
        uint32_t h = GEN_Hash(k, a.frame, seed + 9);
        int level = 6 + int(GEN_Hash(k, 3, seed) % 7) - (h % 5 == 0 ? 3 : 0);
        img.set(x, y, P().c("ice", level));
        if (level > 10) {
            Lighten(img, x + 1, y, 2);
            Lighten(img, x - 1, y, 2);
            Lighten(img, x, y + 1, 2);
            Lighten(img, x, y - 1, 2);
        }
    }
}

void Moon(Image& img, const AT& a)
{
    double cx = a.n("x", 250), cy = a.n("y", 40), r = a.n("r", 14);
    for (int y = int(cy - r * 3); y <= int(cy + r * 3); y++)
        for (int x = int(cx - r * 3); x <= int(cx + r * 3); x++) {
            double d = std::hypot(x - cx, y - cy);
            if (d <= r) {
                double n = GEN_Fractal(x * 0.25, y * 0.25, 64, 71, 3);
                double lit = 1.0 - std::max(0.0, (x - cx + y - cy) / (r * 2.2));
                img.set(x, y, P().c("ice", 6 + int(lit * 7 + n * 3)));
            } else if (d < r * 3) {
                // A halo that thins out with distance.
                double glow = 1.0 - (d - r) / (r * 2);
                if (glow * 16 > kBayer[y & 3][x & 3] + 4) Lighten(img, x, y, 1);
            }
        }
}

// Buildings along a base line: a random row repeated every 640 pixels, moved by scroll.
void Skyline(Image& img, const AT& a)
{
    int seed = a.i("seed", 1), base = a.i("base", 170);
    int lo = a.i("low", 20), hi = a.i("high", 80);
    uint8_t body = a.c("colour", "steel:1");
    uint8_t lit = a.c("windows", "gold:3");
    double scroll = a.n("scroll", 0), share = a.n("lit", 0.3);
    constexpr int kPeriod = 640;
    for (int bx = 0, k = 0; bx < kPeriod; k++) {
        int w = 14 + int(GEN_Hash(k, 1, seed) % 26);
        int h = lo + int(GEN_Hash(k, 2, seed) % uint32_t(std::max(1, hi - lo)));
        for (int copy = -1; copy <= 1; copy++) {
            int x0 = bx + copy * kPeriod - int(scroll);
            x0 = ((x0 % kPeriod) + kPeriod) % kPeriod - (copy + 1) * 0;
            for (int rep : {x0 - kPeriod, x0}) {
                if (rep > 320 || rep + w < 0) continue;
                for (int y = base - h; y < 200; y++)
                    for (int x = rep; x < rep + w; x++) {
                        // The edge that faces the searchlights catches a little light.
                        uint8_t c = x == rep ? SHADE(body, 1) : body;
                        int wx = x - rep - 2, wy = y - (base - h) - 3;
                        if (wx >= 0 && wy >= 0 && x < rep + w - 2 && wx % 4 < 2 && wy % 5 < 2 &&
                            GEN_Hash(k * 97 + wx / 4, wy / 5, seed) % 1000 < share * 1000)
                            c = SHADE(lit, int(GEN_Hash(wx, wy, k) % 3));
                        img.set(x, y, c);
                    }
                // A warning light on the tall ones.
                if (h > hi - (hi - lo) / 3 && (a.frame + k) % 4 < 2) {
                    img.set(rep + w / 2, base - h - 2, 252);
                    img.set(rep + w / 2, base - h - 1, P().c("steel", 3));
                }
            }
            break;
        }
        bx += w + int(GEN_Hash(k, 3, seed) % 6);
    }
}

void Searchlight(Image& img, const AT& a)
{
    double x0 = a.n("x", 100), y0 = a.n("y", 180);
    double angle = a.n("angle", 0) * M_PI / 180, spread = a.n("spread", 4) * M_PI / 180;
    double length = a.n("length", 220);
    for (int y = 0; y < int(y0); y++)
        for (int x = 0; x < 320; x++) {
            double dx = x - x0, dy = y0 - y;
            double d = std::hypot(dx, dy);
            if (d > length || d < 2) continue;
            double off = std::fabs(std::atan2(dx, dy) - angle);
            if (off > spread) continue;
            // Brightest along the middle and near the lamp.
            double s = (1 - off / spread) * (1 - d / length);
            int by = s > 0.5 ? 3 : s > 0.22 ? 2 : s * 16 * 4 > kBayer[y & 3][x & 3] ? 1 : 0;
            if (by) Lighten(img, x, y, by);
        }
}

// Rolling ground seen from the side; the top edge catches the light.
void Hills(Image& img, const AT& a)
{
    int seed = a.i("seed", 1), period = a.i("period", 320);
    double base = a.n("base", 150), amp = a.n("amp", 30), scroll = a.n("scroll", 0);
    uint8_t body = a.c("colour", "grass:3");
    bool trees = a.i("trees", 0) != 0;
    for (int x = 0; x < 320; x++) {
        double wx = x + scroll;
        double h = GEN_Fractal(wx, 0.5, period, seed, 4);
        int top = static_cast<int>(base - amp * h);
        for (int y = std::max(0, top); y < 200; y++) {
            double n = GEN_Fractal(wx, y * 1.0, period, seed + 3, 3);
            int level = int(n * 4) - (y - top) / 12;
            uint8_t c = SHADE(body, std::max(-3, level));
            if (y - top < 2) c = SHADE(body, 3);
            img.set(x, y, c);
        }
        if (trees) {
            int wxi = ((int(std::floor(wx)) % period) + period) % period;
            if (GEN_Hash(wxi / 6, 0, seed) % 3 == 0 && wxi % 6 < 4) {
                int th = 3 + int(GEN_Hash(wxi / 6, 1, seed) % 4);
                for (int y = top - th; y < top + 1; y++)
                    img.set(x, y, SHADE(body, wxi % 6 == 1 ? 1 : -2));
            }
        }
    }
}

void Sea(Image& img, const AT& a)
{
    int top = a.i("y", 150);
    uint8_t body = a.c("colour", "water:4");
    double scroll = a.n("scroll", 0);
    for (int y = top; y < 200; y++)
        for (int x = 0; x < 320; x++) {
            double n = GEN_Noise((x + scroll) / 12.0, y * 1.5, 64, 33);
            int level = int(n * 3) + (y - top) / 16;
            uint8_t c = SHADE(body, level - 1);
            if (GEN_Hash(int(x + scroll) / 3, y, 5) % 23 == 0) c = SHADE(body, 4);
            img.set(x, y, c);
        }
}

// The fighter seen from the side (rolled onto its wing and turned), from above, or the
// heavy fortress; with its engine flame, and a smoke trail along its own earlier path.
void Ship(Image& img, const AT& a)
{
    double x = a.n("x", 160), y = a.n("y", 100);
    int size = std::max(4, a.i("size", 48));
    std::string view = a.w("view", "side");
    double roll = a.n("roll", 0), yaw = a.n("yaw", 0);
    double smoke = a.n("smoke", 0);
    if (smoke > 0) {
        for (int k = 12; k >= 1; k--) {
            AT old = a.back(k * 0.02);
            double px = old.n("x", x), py = old.n("y", y);
            double r = 2 + k * 0.6 * smoke;
            int shade = std::max(1, 7 - k / 2);
            for (int j = 0; j < 3; j++)
                IMG_Disc(img, px - size * 0.35 + GEN_Hash(k, j, a.frame) % 5,
                         py + GEN_Hash(j, k, a.frame) % 5 - 2, r * (1 - j * 0.25),
                         P().c("grey", shade + j));
        }
    }
    Image pic;
    if (view == "side") {
        pic = SHIP_Large(size, 90 + roll, -90 + yaw);
    } else {
        pic = SHIP_Large(size, roll, yaw);
    }
    int shadow = a.i("shadow", 0);
    if (shadow)
        for (int j = 0; j < pic.h; j++)
            for (int i = 0; i < pic.w; i++)
                if (pic.at(i, j))
                    Lighten(img, int(x) - pic.w / 2 + i + shadow, int(y) - pic.h / 2 + j + shadow,
                            -3);
    double flame = a.n("flame", 0);
    if (flame > 0) {
        int fl = int(size * 0.25 * flame) + int(GEN_Hash(a.frame, 1, 3) % 3);
        // The flame trails behind: to the left of a ship flying right, and the other way.
        const double facing = std::cos(yaw * M_PI / 180) >= 0 ? 1 : -1;
        double fx = view == "side" ? x - facing * size * 0.42 : x;
        double fy = view == "side" ? y + size * 0.02 : y + size * 0.45;
        for (int k = 0; k < fl; k++) {
            int level = 14 - k * 10 / std::max(1, fl);
            double r = size * 0.05 * (1 - k / double(fl + 1)) + 0.6;
            if (view == "side")
                IMG_Disc(img, fx - facing * k, fy, r, P().c("fire", level));
            else
                IMG_Disc(img, fx, fy + k, r, P().c("fire", level));
        }
    }
    IMG_Blit(img, pic, int(x) - pic.w / 2, int(y) - pic.h / 2);
}

void Explosion(Image& img, const AT& a)
{
    double cx = a.n("x", 160), cy = a.n("y", 100), r = a.n("r", 30), heat = a.n("heat", 1);
    int seed = a.i("seed", 1);
    if (r < 1) return;
    // A billowing ball: the edge pushed in and out by coarse noise, smoke where it is cool
    // (darker below, lit on top), fire where it is hot, brightest at the heart.
    const double grain = 3.0 / r;
    for (int y = int(cy - r * 1.8); y <= int(cy + r * 1.6); y++)
        for (int x = int(cx - r * 1.8); x <= int(cx + r * 1.8); x++) {
            double dx = (x - cx) / r, dy = (y - cy) / r;
            double d = std::hypot(dx, dy * (dy < 0 ? 0.85 : 1.2));
            double coarse =
                GEN_Fractal(dx / grain + seed * 7, dy / grain + a.frame * 0.7, 64, seed, 3);
            double fine = GEN_Fractal(x * 0.3, y * 0.3 + a.frame * 2, 64, seed + 1, 2);
            double edge = d - (coarse - 0.5) * 0.9;
            if (edge >= 1.05) continue;
            double e = (1 - edge) * heat * 1.8 - 0.25 + (fine - 0.5) * 0.5;
            if (e > 0.2) {
                img.set(x, y, Dither(P().c("fire", 0), std::min(15.0, 2 + e * 10), x, y));
            } else {
                double lit = 2.5 - dy * 1.5 + fine * 3;
                img.set(x, y, Dither(P().c("grey", 0), std::clamp(lit, 0.0, 8.0), x, y));
            }
        }
    for (int k = 0; k < int(a.n("sparks", 12)); k++) {
        double ang = (GEN_Hash(k, 1, seed) % 628) / 100.0;
        double dist = r * (0.9 + (GEN_Hash(k, 2, seed) % 100) / 60.0) * (0.5 + a.t);
        int sx = int(cx + std::cos(ang) * dist), sy = int(cy + std::sin(ang) * dist);
        img.set(sx, sy, P().c("fire", 14));
        img.set(sx - int(std::cos(ang) * 2), sy - int(std::sin(ang) * 2), P().c("fire", 9));
    }
}

// Flames licking up from a line, with smoke rising out of them. The flames change every
// frame; the smoke rises one `period`th of its spacing a frame, so a looping scene of
// `period` frames joins up.
void Fire(Image& img, const AT& a)
{
    int x0 = a.i("x", 160), base = a.i("y", 160), w = a.i("w", 40), h = a.i("h", 30);
    int seed = a.i("seed", 1), period = std::max(1, a.i("period", 6));
    // Smoke first: puffs on a column leaning with the wind.
    constexpr int kSpacing = 18;
    double rise = (a.frame % period) * kSpacing / double(period);
    for (int k = 0; k < 9; k++) {
        double up = k * kSpacing + rise;
        double px = x0 + w / 2 + up * 0.45 + std::sin(k * 1.7) * 4, py = base - h * 0.6 - up;
        double r = 5 + up * 0.12;
        int level = std::max(1, 6 - int(up / 30));
        IMG_Disc(img, px, py, r, P().c("grey", level));
        IMG_Disc(img, px - r * 0.3, py - r * 0.3, r * 0.55, P().c("grey", level + 1));
    }
    for (int x = x0; x < x0 + w; x++) {
        double along = (x - x0) / double(w);
        double body = std::sin(M_PI * along);
        double n = GEN_Noise(x * 0.35, a.frame * 1.3 + seed, 64, seed);
        int fh = int(h * body * (0.45 + n * 0.75));
        for (int j = 0; j < fh; j++) {
            double v = 1 - j / double(std::max(1, fh));
            int level = int(3 + v * 12 + GEN_Hash(x, j + a.frame * 7, seed) % 2);
            img.set(x, base - j, P().c("fire", std::min(15, level)));
        }
    }
}

void Flash(Image& img, const AT& a)
{
    int by = a.i("amount", 2);
    if (by == 0) return;
    for (int y = 0; y < img.h; y++)
        for (int x = 0; x < img.w; x++)
            Lighten(img, x, y, by);
}

void Text(Image& img, const AT& a)
{
    const Font& f = FONT_Get(a.w("font", "medium"));
    std::string s = a.l.text;
    size_t chars = size_t(std::max(0, a.i("chars", int(s.size()))));
    s = s.substr(0, std::min(chars, s.size()));
    int x = a.i("x", -1), y = a.i("y", 180);
    if (x < 0) x = 160 - FONT_Width(f, a.l.text) / 2;
    FONT_Print(img, f, x + 1, y + 1, s, P().c("grey", 0));
    FONT_Print(img, f, x, y, s, a.c("colour", "gold:4"));
}

// Lines of gunfire: a bright head and a fading tail.
void Tracer(Image& img, const AT& a)
{
    double x0 = a.n("x0", 0), y0 = a.n("y0", 0), x1 = a.n("x1", 100), y1 = a.n("y1", 0);
    double on = a.n("on", 1);
    if (on < 0.5) return;
    int n = 8;
    for (int k = 0; k < n; k++) {
        double s = (a.frame % 2 ? 0.5 : 0.0) + k / double(n);
        if (s > 1) continue;
        double len = std::max(1.0, std::hypot(x1 - x0, y1 - y0));
        int px = int(x0 + (x1 - x0) * s), py = int(y0 + (y1 - y0) * s);
        int hx = px + int(6 * (x1 - x0) / len), hy = py + int(6 * (y1 - y0) / len);
        IMG_Line(img, px, py, hx, hy, P().c("gold", 4));
        img.set(hx, hy, P().c("fire", 15));
    }
}

// The ground from above: a stretch of an episode's map, the rows around `y` (counted in
// pixels from the map's top), with the sides of the screen in the darker ground.
void MapView(Image& img, const AT& a)
{
    int episode = a.i("episode", 0), wave = a.i("wave", 0);
    const Episode& ep = EPI_Get(episode);
    const std::vector<int>& cells = ep.cells[size_t(wave)];
    int top = a.i("y", 0);
    for (int y = 0; y < 200; y++) {
        int my = std::clamp(top + y, 0, kCanvasH - 1);
        for (int x = 0; x < 320; x++) {
            int mx = x - 16;
            bool side = mx < 0 || mx >= kCanvasW;
            mx = std::clamp(mx, 0, kCanvasW - 1);
            const Image& tile = ep.tiles[size_t(cells[size_t(my / kTile) * kCols + mx / kTile])];
            uint8_t c = tile.at(mx % kTile, my % kTile);
            img.set(x, y, side ? SHADE(c, -3) : c);
        }
    }
}

// An airstrip from above, its edge lights running toward the far end.
void Strip(Image& img, const AT& a)
{
    int x = a.i("x", 130), y = a.i("y", 0), w = a.i("w", 60), h = a.i("h", 200);
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++) {
            double n = GEN_Noise(i / 3.0, j / 3.0, 64, 41);
            uint8_t c = P().c("steel", 3 + int(n * 2));
            if ((i == x + w / 2 || i == x + w / 2 - 1) && (j - y) % 16 < 9) c = P().c("grey", 12);
            if (i < x + 3 || i >= x + w - 3) c = P().c("gold", 2);
            img.set(i, j, c);
        }
    int run = a.frame % 6;
    for (int j = y + 4, k = 0; j < y + h; j += 12, k++) {
        bool on = (k % 6) == run;
        for (int side : {x - 3, x + w + 2}) {
            img.set(side, j, on ? P().c("fire", 15) : P().c("fire", 6));
            if (on) {
                Lighten(img, side + 1, j, 3);
                Lighten(img, side - 1, j, 3);
            }
        }
    }
}

void Darken(Image& img, const AT& a)
{
    int by = a.i("amount", 1);
    if (by == 0) return;
    for (int y = 0; y < img.h; y++)
        for (int x = 0; x < img.w; x++)
            if (by * 4 > kBayer[y & 3][x & 3] / 4 + 3 || by >= 4) Lighten(img, x, y, -std::abs(by));
}

// The cockpit from beside the pilot: the canopy's view of the sky and the ground tilted
// by the bank, the frame, the glowing panel and the pilot's helmet.
void Cockpit(Image& img, const AT& a)
{
    double bank = a.n("bank", 0) * M_PI / 180, horizon = a.n("horizon", 110);
    double scroll = a.n("scroll", 0);
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 320; x++) {
            double h = horizon + (x - 160) * std::tan(bank);
            uint8_t c;
            if (y < h)
                c = Dither(P().c("water", 2), 2 + 6 * (y / std::max(1.0, h)), x, y);
            else {
                double n = GEN_Fractal((x + scroll) * 0.5, (y - h) * 2, 64, 8, 3);
                c = P().c("olive", 3 + int(n * 5) + int((y - h) / 20));
            }
            img.set(x, y, c);
        }
    // Canopy frame: two struts and the arch.
    for (int y = 0; y < 200; y++) {
        for (int k = 0; k < 9; k++) {
            img.set(40 + y / 3 + k, y, P().c("steel", k == 0 || k == 8 ? 1 : 4));
            img.set(290 - y / 5 + k, y, P().c("steel", k == 0 || k == 8 ? 1 : 4));
        }
    }
    for (int x = 0; x < 320; x++)
        for (int k = 0; k < 8; k++)
            img.set(x, 8 + int(std::pow((x - 160) / 160.0, 2) * 30) + k,
                    P().c("steel", k == 7 ? 1 : 3));
    // The panel with its screens and lamps.
    for (int y = 140; y < 200; y++)
        for (int x = 0; x < 320; x++)
            img.set(x, y, P().c("steel", y == 140 ? 6 : 2 + ((x / 2 + y) % 17 == 0)));
    const int lamps = a.frame;
    for (int s = 0; s < 3; s++) {
        int sx = 60 + s * 70, sy = 150;
        IMG_Rect(img, sx, sy, 50, 32, P().c("steel", 1));
        for (int y = sy + 2; y < sy + 30; y++)
            for (int x = sx + 2; x < sx + 48; x++) {
                uint8_t c = P().c("toxic", 2);
                if (s == 0 &&
                    std::abs((x - sx - 25) - int(10 * std::sin((y + lamps * 3) * 0.3))) < 1)
                    c = P().c("toxic", 12);
                if (s == 1 && (x - sx + lamps * 2) % 12 == 0) c = P().c("toxic", 6);
                if (s == 1 && std::hypot(x - sx - 25, y - sy - 16) < 4 + lamps % 4)
                    c = P().c("toxic", 10);
                if (s == 2 && (y - sy) > 28 - int(GEN_Hash((x - sx) / 4, lamps / 2, 5) % 24) &&
                    (x - sx) % 4 < 3)
                    c = P().c("toxic", 9);
                img.set(x, y, c);
            }
    }
    for (int k = 0; k < 12; k++)
        img.set(20 + k * 24 + (k > 5 ? 30 : 0), 190,
                (k + lamps) % 5 == 0 ? 252 : (k % 3 ? 253 : 251));
    // The pilot from behind and to the left: shoulders in the flight suit with the
    // harness over them, the helmet with its stripe, the visor catching the sky.
    double hx = a.n("hx", 250), hy = a.n("hy", 140);
    for (int y = int(hy + 12); y < 200; y++)
        for (int x = int(hx - 70); x < int(hx + 70); x++) {
            double dx = (x - hx) / 70.0, dy = (y - hy - 70) / 56.0;
            if (dx * dx + dy * dy > 1) continue;
            uint8_t c = P().c("olive", 3 + int((1 - dx - dy) * 2.5));
            if (std::abs((x - hx) - (y - hy) * 0.3 + 26) < 4) c = P().c("steel", 3);
            if (std::abs((x - hx) + (y - hy) * 0.3 - 30) < 4) c = P().c("steel", 3);
            img.set(x, y, c);
        }
    for (int y = int(hy - 40); y < int(hy + 40); y++)
        for (int x = int(hx - 36); x < int(hx + 36); x++) {
            double dx = (x - hx) / 36.0, dy = (y - hy) / 40.0, d = dx * dx + dy * dy;
            if (d > 1) continue;
            double lit = 0.55 - dx * 0.45 - dy * 0.5;
            uint8_t c = P().c("olive", 4 + int(lit * 8));
            if (std::abs(dx + 0.15) < 0.08) c = P().c("grey", 11 + int(lit * 3));
            if (dx < -0.55 && dy > -0.55 && dy < 0.35) c = P().c("ice", 5 + int((0.35 - dy) * 7));
            if (d > 0.88) c = P().c("olive", 2);
            img.set(x, y, c);
        }
    // The sight on the glass: a ring that closes on the target.
    double lock = a.n("lock", 0);
    if (lock > 0) {
        int tx = a.i("tx", 150), ty = a.i("ty", 90);
        int r = int(26 - 16 * lock);
        for (int k = 0; k < 64; k++) {
            double ang = k * M_PI / 32;
            if (k % 8 < 5)
                img.set(tx + int(r * std::cos(ang)), ty + int(r * std::sin(ang)),
                        P().c("toxic", 13));
        }
        IMG_Line(img, tx - 4, ty, tx + 4, ty, P().c("toxic", 13));
        IMG_Line(img, tx, ty - 4, tx, ty + 4, P().c("toxic", 13));
    }
}

// A walled block from the side: the enemy's works on the horizon.
void Works(Image& img, const AT& a)
{
    int x = a.i("x", 200), base = a.i("base", 150), seed = a.i("seed", 3);
    uint8_t body = a.c("colour", "rust:3");
    for (int k = 0; k < 7; k++) {
        int w = 10 + int(GEN_Hash(k, 1, seed) % 18), h = 8 + int(GEN_Hash(k, 2, seed) % 26);
        int bx = x + int(GEN_Hash(k, 3, seed) % 90);
        bool tower = k % 3 == 0;
        if (tower) w = 6, h += 20;
        for (int y = base - h; y < base; y++)
            for (int i = bx; i < bx + w; i++)
                img.set(i, y,
                        i == bx ? SHADE(body, 2) : SHADE(body, (y - base + h) % 6 == 0 ? -1 : 0));
        if (tower && (a.frame / 2 + k) % 2) img.set(bx + 3, base - h - 1, 252);
    }
}

// Soft clouds from thresholded noise, repeating every 320 pixels across.
void Clouds(Image& img, const AT& a)
{
    int seed = a.i("seed", 1), top = a.i("top", 0), bottom = a.i("bottom", 100);
    double scroll = a.n("scroll", 0), cover = a.n("cover", 0.55);
    uint8_t body = a.c("colour", "ice:8");
    for (int y = top; y < bottom; y++)
        for (int x = 0; x < 320; x++) {
            double n = GEN_Fractal(x + scroll, y * 2.5, 320, seed, 4);
            double fade = std::sin(M_PI * (y - top) / std::max(1, bottom - top));
            double v = (n - (1 - cover)) * fade * 4;
            if (v <= 0) continue;
            img.set(x, y, Dither(SHADE(body, -4), std::min(6.0, v * 5), x, y));
        }
}

// One of an episode's enemies, by its name in the enemy source, drawn `scale` times.
void Enemy(Image& img, const AT& a)
{
    int episode = a.i("episode", 0), scale = std::max(1, a.i("scale", 1));
    int type = ENEMY_TypeIndex(episode, a.w("name", "fortress"), a.l.where);
    Image pic = ENEMY_Frames(episode, ENEMY_Types(episode)[size_t(type)].kind, 1)[0];
    pic = IMG_Scale(pic, pic.w * scale, pic.h * scale);
    int x = a.i("x", 160), y = a.i("y", 60);
    int shadow = a.i("shadow", 0);
    if (shadow)
        for (int j = 0; j < pic.h; j++)
            for (int i = 0; i < pic.w; i++)
                if (pic.at(i, j))
                    Lighten(img, x - pic.w / 2 + i + shadow, y - pic.h / 2 + j + shadow, -3);
    IMG_Blit(img, pic, x - pic.w / 2, y - pic.h / 2);
}

using PAINTER = void (*)(Image&, const AT&);
const std::map<std::string, PAINTER>& Painters()
{
    static const std::map<std::string, PAINTER> m = {{"sky", Sky},
                                                     {"stars", Stars},
                                                     {"moon", Moon},
                                                     {"skyline", Skyline},
                                                     {"searchlight", Searchlight},
                                                     {"hills", Hills},
                                                     {"sea", Sea},
                                                     {"ship", Ship},
                                                     {"explosion", Explosion},
                                                     {"flash", Flash},
                                                     {"text", Text},
                                                     {"tracer", Tracer},
                                                     {"map", MapView},
                                                     {"strip", Strip},
                                                     {"darken", Darken},
                                                     {"cockpit", Cockpit},
                                                     {"works", Works},
                                                     {"clouds", Clouds},
                                                     {"enemy", Enemy},
                                                     {"fire", Fire}};
    return m;
}

// The scenes and the items they fill, in the order of the item table.
struct SCENEITEM {
    const char* name;
    int first;
    int frames;
    int speed; // frames a second the game shows it at (for the preview)
};
constexpr SCENEITEM kScenes[] = {
    {"city", ITM_SCENE_CITY, 30, 8},
    {"side1", ITM_SCENE_SIDE1, 20, 18},
    {"pilot", ITM_SCENE_PILOT, 21, 10},
    {"side2", ITM_SCENE_SIDE2, 20, 18},
    {"explosion", ITM_SCENE_EXPLOSION, 22, 12},
    {"death2", ITM_SCENE_DEATH2, 6, 3},
    {"game1end", ITM_SCENE_GAME1END, 5, 4},
    {"landing", ITM_SCENE_LANDING, 33, 10},
    {"death", ITM_SCENE_DEATH, 30, 11},
    {"base", ITM_SCENE_BASE, 30, 10},
    {"game2end", ITM_SCENE_GAME2END, 25, 4},
    {"game3end", ITM_SCENE_GAME3END, 39, 8},
};

} // namespace

std::vector<std::string> SCENE_Names()
{
    std::vector<std::string> out;
    for (const SCENEITEM& s : kScenes)
        out.push_back(s.name);
    return out;
}

std::vector<Image> SCENE_Frames(const std::string& name)
{
    static std::map<std::string, std::vector<Image>> made;
    auto it = made.find(name);
    if (it != made.end()) return it->second;
    SCENESRC src = Load(name);
    std::vector<Image> frames;
    for (int f = 0; f < src.frames; f++) {
        Image img(320, 200);
        for (const LAYER& l : src.layers) {
            if (f < l.first || f > l.last) continue;
            auto p = Painters().find(l.kind);
            if (p == Painters().end())
                GEN_Fail("%s: no layer kind '%s'", l.where.c_str(), l.kind.c_str());
            int first = std::max(0, l.first), last = std::min(src.frames - 1, l.last);
            int span = last - first + (src.loop ? 1 : 0);
            p->second(img, AT{l, span > 0 ? (f - first) / double(span) : 0.0, f});
        }
        frames.push_back(img);
    }
    return made[name] = frames;
}

std::vector<Bytes> SCENE_Items(int first, int count)
{
    for (const SCENEITEM& s : kScenes) {
        if (first < s.first || first + count > s.first + s.frames) continue;
        std::vector<Image> frames = SCENE_Frames(s.name);
        if (int(frames.size()) != s.frames)
            GEN_Fail("scenes/%s.txt: the scene has %d frames, not %zu", s.name, s.frames,
                     frames.size());
        std::vector<Bytes> out;
        for (int i = first - s.first; i < first - s.first + count; i++)
            out.push_back(ANIM_Encode(i ? frames[size_t(i - 1)].px.data() : nullptr,
                                      frames[size_t(i)].px.data()));
        return out;
    }
    GEN_Fail("no scene holds items %d..%d", first, first + count - 1);
}

Image SCENE_Still(const std::string& name)
{
    return SCENE_Frames(name)[0];
}

namespace
{

// A GIF of indexed frames in the game palette, each shown `delay` hundredths of a second,
// looping. Codes are written at a width that grows with the table, which is cleared when
// full (variable-width LZW as the format wants it).
void WriteGif(const std::string& path, const std::vector<Image>& frames, int delay)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) GEN_Fail("cannot create %s", path.c_str());
    Bytes out;
    auto word = [&out](int v) {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    };
    const int w = frames[0].w, h = frames[0].h;
    for (char c : std::string("GIF89a"))
        out.push_back(uint8_t(c));
    word(w);
    word(h);
    out.push_back(0xF7); // global table of 256 colours
    out.push_back(0);
    out.push_back(0);
    for (int i = 0; i < 256; i++)
        for (int k = 0; k < 3; k++)
            out.push_back(uint8_t(gen.pal.rgb[i][k] * 255 / 63));
    const uint8_t loop[] = {0x21, 0xFF, 11,  'N', 'E', 'T', 'S', 'C', 'A', 'P',
                            'E',  '2',  '.', '0', 3,   1,   0,   0,   0};
    out.insert(out.end(), std::begin(loop), std::end(loop));
    for (const Image& img : frames) {
        out.insert(out.end(), {0x21, 0xF9, 4, 0});
        word(delay);
        out.insert(out.end(), {0, 0, 0x2C});
        word(0);
        word(0);
        word(w);
        word(h);
        out.push_back(0);
        out.push_back(8); // minimum code size
        // LZW: the table maps (prefix code, byte) to a code.
        Bytes packed;
        uint32_t acc = 0;
        int bits = 0, width = 9, next = 258;
        auto emit = [&](int code) {
            acc |= uint32_t(code) << bits;
            bits += width;
            while (bits >= 8) {
                packed.push_back(uint8_t(acc));
                acc >>= 8;
                bits -= 8;
            }
        };
        std::map<uint32_t, int> table;
        emit(256);
        int prefix = img.px[0];
        for (size_t i = 1; i < img.px.size(); i++) {
            uint32_t key = uint32_t(prefix) << 8 | img.px[i];
            auto it = table.find(key);
            if (it != table.end()) {
                prefix = it->second;
                continue;
            }
            emit(prefix);
            if (next < 4096) {
                table[key] = next++;
                if (next > (1 << width) && width < 12) width++;
            } else {
                emit(256);
                table.clear();
                next = 258;
                width = 9;
            }
            prefix = img.px[i];
        }
        emit(prefix);
        emit(257);
        if (bits > 0) packed.push_back(uint8_t(acc));
        for (size_t at = 0; at < packed.size(); at += 255) {
            size_t n = std::min<size_t>(255, packed.size() - at);
            out.push_back(uint8_t(n));
            out.insert(out.end(), packed.begin() + long(at), packed.begin() + long(at + n));
        }
        out.push_back(0);
    }
    out.push_back(0x3B);
    fwrite(out.data(), 1, out.size(), f);
    fclose(f);
}

} // namespace

void SCENE_WritePreview(const std::string& dir)
{
    std::filesystem::create_directories(dir);
    for (const SCENEITEM& s : kScenes) {
        std::vector<Image> frames = SCENE_Frames(s.name);
        // Every fourth frame, four to a row.
        std::vector<Image> picked;
        for (size_t i = 0; i < frames.size(); i += 4)
            picked.push_back(frames[i]);
        int rows = int(picked.size() + 3) / 4;
        Image sheet(4 * 324 + 4, rows * 204 + 4, P().c("steel", 2));
        for (size_t k = 0; k < picked.size(); k++)
            IMG_Blit(sheet, picked[k], 4 + int(k % 4) * 324, 4 + int(k / 4) * 204, false);
        PREVIEW_Png(dir + "/" + s.name + ".png", sheet);
        // At the speed the game shows it.
        WriteGif(dir + "/" + s.name + ".gif", frames, std::max(2, 100 / std::max(1, s.speed)));
    }
    for (const char* still : {"credits1", "credits2"})
        PREVIEW_Png(dir + "/" + still + ".png", SCENE_Still(still));
}

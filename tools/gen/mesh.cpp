#include "mesh.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace
{

constexpr int kOver = 4; // samples per pixel along each axis

Vec3 Sub(Vec3 a, Vec3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 Cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 Normalised(Vec3 v)
{
    double l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return l > 0 ? Vec3{v.x / l, v.y / l, v.z / l} : Vec3{0, 0, 1};
}

} // namespace

int Mesh::material(const std::string& ramp, int lo, int hi)
{
    materials.push_back({ramp, lo, hi});
    return static_cast<int>(materials.size()) - 1;
}

void Mesh::tri(Vec3 a, Vec3 b, Vec3 c, int m)
{
    tris.push_back({{a, b, c}, m});
}

void Mesh::quad(Vec3 a, Vec3 b, Vec3 c, Vec3 d, int m)
{
    tri(a, b, c, m);
    tri(a, c, d, m);
}

void Mesh::loft(const std::vector<Section>& s, double xoff, int m, int cap)
{
    auto ring = [xoff](const Section& k) {
        double mid = k.bottom + (k.top - k.bottom) * 0.45;
        return std::vector<Vec3>{{xoff - k.hw, k.y, mid},
                                 {xoff - k.hw * 0.55, k.y, k.top},
                                 {xoff, k.y, k.top + 0.3 * k.hw / 3},
                                 {xoff + k.hw * 0.55, k.y, k.top},
                                 {xoff + k.hw, k.y, mid},
                                 {xoff + k.hw * 0.5, k.y, k.bottom},
                                 {xoff - k.hw * 0.5, k.y, k.bottom}};
    };
    for (size_t i = 0; i + 1 < s.size(); i++) {
        std::vector<Vec3> a = ring(s[i]), b = ring(s[i + 1]);
        for (size_t k = 0; k < a.size(); k++) {
            size_t n = (k + 1) % a.size();
            quad(a[k], a[n], b[n], b[k], m);
        }
    }
    std::vector<Vec3> r = ring(s.back());
    for (size_t k = 1; k + 1 < r.size(); k++)
        tri(r[0], r[k], r[k + 1], cap);
}

void Mesh::mirrored(Vec3 a, Vec3 b, Vec3 c, Vec3 d, int m)
{
    quad(a, b, c, d, m);
    auto flip = [](Vec3 v) { return Vec3{-v.x, v.y, v.z}; };
    quad(flip(a), flip(b), flip(c), flip(d), m);
}

Image MESH_Render(const Mesh& mesh, const RenderView& view)
{
    const int W = view.w * kOver, H = view.h * kOver;
    std::vector<double> depth(size_t(W) * H, -1e9), shade(size_t(W) * H, 0);
    std::vector<int> mat(size_t(W) * H, -1);

    const double roll = view.roll * M_PI / 180, yaw = view.yaw * M_PI / 180;
    const double cx = view.cx ? view.cx : view.w / 2.0, cy = view.cy ? view.cy : view.h / 2.0;
    const Vec3 light = Normalised({-0.55, 0.45, 1.0});
    const double camera = 90; // height of the eye above the model: a little perspective

    auto transform = [&](Vec3 v) {
        // Roll about the length of the aircraft, then turn it on the screen.
        Vec3 r{v.x * std::cos(roll) - v.z * std::sin(roll), v.y,
               v.z * std::cos(roll) + v.x * std::sin(roll)};
        return Vec3{r.x * std::cos(yaw) - r.y * std::sin(yaw),
                    r.x * std::sin(yaw) + r.y * std::cos(yaw), r.z};
    };

    for (const Mesh::Tri& t : mesh.tris) {
        Vec3 v[3];
        double sx[3], sy[3];
        for (int i = 0; i < 3; i++) {
            v[i] = transform(t.v[i]);
            double p = camera / (camera - v[i].z);
            sx[i] = (cx + v[i].x * view.scale * p) * kOver;
            sy[i] = (cy - v[i].y * view.scale * p) * kOver;
        }
        Vec3 n = Normalised(Cross(Sub(v[1], v[0]), Sub(v[2], v[0])));
        if (n.z < 0) n = {-n.x, -n.y, -n.z};
        double lit = std::clamp(n.x * light.x + n.y * light.y + n.z * light.z, 0.0, 1.0);

        double area = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sx[2] - sx[0]) * (sy[1] - sy[0]);
        if (std::fabs(area) < 1e-9) continue;
        int x0 = std::max(0, static_cast<int>(std::floor(std::min({sx[0], sx[1], sx[2]}))));
        int x1 = std::min(W - 1, static_cast<int>(std::ceil(std::max({sx[0], sx[1], sx[2]}))));
        int y0 = std::max(0, static_cast<int>(std::floor(std::min({sy[0], sy[1], sy[2]}))));
        int y1 = std::min(H - 1, static_cast<int>(std::ceil(std::max({sy[0], sy[1], sy[2]}))));
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++) {
                double px = x + 0.5, py = y + 0.5;
                double w0 = ((sx[1] - px) * (sy[2] - py) - (sx[2] - px) * (sy[1] - py)) / area;
                double w1 = ((sx[2] - px) * (sy[0] - py) - (sx[0] - px) * (sy[2] - py)) / area;
                double w2 = 1 - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                double z = w0 * v[0].z + w1 * v[1].z + w2 * v[2].z;
                size_t at = size_t(y) * W + x;
                if (z < depth[at]) continue;
                depth[at] = z;
                shade[at] = lit;
                mat[at] = t.material;
            }
    }

    Image out(view.w, view.h);
    for (int y = 0; y < view.h; y++)
        for (int x = 0; x < view.w; x++) {
            std::map<int, std::pair<int, double>> votes; // material -> samples, shade sum
            int covered = 0;
            for (int j = 0; j < kOver; j++)
                for (int i = 0; i < kOver; i++) {
                    size_t at = size_t(y * kOver + j) * W + x * kOver + i;
                    if (mat[at] < 0) continue;
                    covered++;
                    votes[mat[at]].first++;
                    votes[mat[at]].second += shade[at];
                }
            if (covered < kOver * kOver * 3 / 8) continue;
            auto best = votes.begin();
            for (auto it = votes.begin(); it != votes.end(); ++it)
                if (it->second.first > best->second.first) best = it;
            const Material& m = mesh.materials[best->first];
            double s = best->second.second / best->second.first;
            // Levels are given on a scale of 16; shorter ramps are stretched to it.
            double level16 = m.lo + s * (m.hi - m.lo);
            int count = gen.pal.ramp(m.ramp).count;
            out.set(x, y,
                    gen.pal.c(m.ramp, static_cast<int>(std::lround(level16 * (count - 1) / 15.0))));
        }
    if (view.outline) IMG_Outline(out, gen.pal.c("grey", 0));
    return out;
}

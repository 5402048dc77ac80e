// A small flat-shaded renderer for aircraft seen from above: models are triangles in
// pixels (x right, y toward the nose, z up), lit from the upper left, rolled for banking,
// drawn four times oversampled and reduced to ramp colours with an outline.
#pragma once

#include <string>
#include <vector>

#include "gen.h"

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

// How a part is coloured: shades of a ramp from `lo` (in shadow) to `hi` (facing the
// light), on a scale of 0..15 whatever the ramp's length.
struct Material {
    std::string ramp;
    int lo = 0, hi = 15;
};

struct Mesh {
    std::vector<Material> materials;
    struct Tri {
        Vec3 v[3];
        int material;
    };
    std::vector<Tri> tris;

    int material(const std::string& ramp, int lo, int hi);
    void tri(Vec3 a, Vec3 b, Vec3 c, int m);
    void quad(Vec3 a, Vec3 b, Vec3 c, Vec3 d, int m);
    // A body of revolution-like loft: sections across y with a ridge on top and a keel
    // below; `hw` half width, `top` and `bottom` heights. Caps the rear with `cap`.
    struct Section {
        double y, hw, top, bottom;
    };
    void loft(const std::vector<Section>& sections, double xoff, int m, int cap);
    // A flat panel (wing, tailplane) and its mirror image across x = 0.
    void mirrored(Vec3 a, Vec3 b, Vec3 c, Vec3 d, int m);
};

struct RenderView {
    int w = 32, h = 32;
    double roll = 0;       // degrees; positive rolls the left wing down
    double yaw = 0;        // degrees; 180 points the nose down the screen
    double scale = 1;      // pixels per model unit
    double cx = 0, cy = 0; // model origin on the image (defaults to the centre)
    bool outline = true;
};

Image MESH_Render(const Mesh& mesh, const RenderView& view);

// The player's ships: the usual fighter and the heavier craft of two special waves, each in
// seven banking frames (3 level, 4..6 rolling left as the ship moves left, 2..0 rolling
// right), and that craft's frames with its guns flashing.
#include <algorithm>
#include <cmath>

#include "content.h"
#include "mesh.h"

namespace
{

// Roll per frame: three steps each way from level flight.
constexpr double kBank[7] = {-42, -28, -14, 0, 14, 28, 42};

Mesh Fighter()
{
    Mesh m;
    int body = m.material("steel", 4, 14);
    int dark = m.material("steel", 1, 5);
    int accent = m.material("fire", 3, 9);
    int glass = m.material("water", 8, 15);
    int nozzle = m.material("grey", 1, 4);

    m.loft({{15, 0.2, 0.6, 0.0},
            {11, 1.7, 1.9, -0.5},
            {6, 2.6, 2.8, -1.0},
            {0, 3.0, 3.0, -1.0},
            {-6, 3.3, 2.7, -1.0},
            {-12, 3.3, 2.2, -1.0},
            {-15, 2.7, 1.8, -1.0}},
           0, body, nozzle);
    // Canopy bubble, set into the fuselage's ridge.
    m.loft({{10, 0.2, 2.2, 1.2},
            {7.5, 1.2, 3.5, 1.5},
            {4, 1.5, 4.0, 1.8},
            {1, 1.2, 3.6, 1.8},
            {-1.5, 0.3, 3.0, 1.8}},
           0, glass, glass);
    // Delta wings: dark inner panel, painted tips.
    m.mirrored({2.8, 5, 0.8}, {3.0, -9, 0.8}, {10.5, -9.6, 0.3}, {10.5, -3.8, 0.4}, body);
    m.mirrored({10.5, -3.8, 0.4}, {10.5, -9.6, 0.3}, {14.5, -10.2, 0.1}, {14.5, -7.0, 0.15},
               accent);
    m.mirrored({3.5, 1, 0.9}, {3.6, -5, 0.9}, {6.5, -6, 0.7}, {6.5, -2, 0.7}, dark);
    // Tailplanes and the fin, whose lean shows the bank clearly.
    m.mirrored({2.6, -11, 1.0}, {2.8, -15, 1.0}, {7.5, -15.2, 0.5}, {7.0, -13, 0.6}, body);
    m.quad({0, -8, 2.6}, {0, -15, 1.9}, {0, -15.5, 7.5}, {0, -12.5, 7.5}, accent);
    return m;
}

// A twin-boom heavy fighter: two engine pods, a short cockpit pod, straight wings.
Mesh Heavy()
{
    Mesh m;
    int body = m.material("ice", 3, 14);
    int accent = m.material("gold", 2, 15);
    int glass = m.material("ice", 6, 15);
    int nozzle = m.material("grey", 1, 4);

    for (int s : {-1, 1})
        m.loft({{9, 0.3, 1.0, 0.0},
                {6, 2.0, 2.2, -0.6},
                {0, 2.3, 2.4, -0.8},
                {-10, 2.2, 2.2, -0.8},
                {-14.5, 1.8, 1.8, -0.6}},
               s * 7.0, body, nozzle);
    m.loft({{14, 0.3, 0.9, 0},
            {10, 2.0, 2.6, -0.5},
            {4, 2.6, 3.2, -0.7},
            {-4, 2.3, 2.8, -0.7},
            {-7, 1.2, 2.0, -0.5}},
           0, body, nozzle);
    m.loft({{11, 0.2, 2.6, 1.5}, {9, 1.2, 3.6, 1.8}, {6, 1.5, 4.1, 2.0}, {3, 1.0, 3.6, 2.0}}, 0,
           glass, glass);
    m.mirrored({2.0, 3, 0.9}, {2.0, -4, 0.9}, {15, -4, 0.6}, {15, 0.5, 0.6}, body);
    m.mirrored({13, -4, 0.65}, {15, -4, 0.6}, {15, 0.5, 0.6}, {13, 0.8, 0.65}, accent);
    // Tail bar between the booms, with fins on the booms.
    m.quad({-7, -11, 1.6}, {7, -11, 1.6}, {7, -14, 1.6}, {-7, -14, 1.6}, accent);
    for (int s : {-1, 1})
        m.quad({s * 7.0, -8, 2.0}, {s * 7.0, -14.5, 1.8}, {s * 7.0, -15, 6}, {s * 7.0, -12.5, 6},
               body);
    return m;
}

} // namespace

Image SHIP_Frame(int set, int frame)
{
    RenderView view;
    view.roll = kBank[frame];
    if (set == 0) return MESH_Render(Fighter(), view);
    Image img = MESH_Render(Heavy(), view);
    if (set == 2) {
        // Guns firing: a white-hot flash at each wing gun and the nose.
        double c = std::cos(view.roll * M_PI / 180);
        for (int s : {-1, 1}) {
            double gx = 16 + s * 11 * c, gy = 14;
            IMG_Disc(img, gx, gy, 2.2, gen.pal.c("fire", 12));
            IMG_Disc(img, gx, gy - 0.5, 1.2, gen.pal.c("fire", 15));
        }
        IMG_Disc(img, 16, 2.5, 2.0, gen.pal.c("fire", 13));
    }
    return img;
}

Image SHIP_Large(int size, double roll, double yaw)
{
    RenderView view;
    view.w = view.h = size;
    view.roll = roll;
    view.yaw = yaw;
    view.scale = size / 32.0;
    return MESH_Render(Fighter(), view);
}

Image SHIP_Icon(int size)
{
    // The fighter banking a little over the sea, on a tile with rounded corners; index 0
    // (outside the corners) is left transparent.
    Image img(size, size);
    double r = size / 6.0;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            double dx = std::max({r - x - 0.5, x + 0.5 - (size - r), 0.0});
            double dy = std::max({r - y - 0.5, y + 0.5 - (size - r), 0.0});
            if (dx * dx + dy * dy > r * r) continue;
            // Deep water at the top to shallow at the bottom, with faint swell lines.
            int level = 3 + 6 * y / size;
            if (size >= 64 && (y * 12 / size + x * 3 / size) % 4 == 0 && (x + y) % 9 == 0) level++;
            img.set(x, y, gen.pal.c("water", level));
        }

    RenderView view;
    view.w = view.h = size;
    view.roll = 14;
    view.scale = size / 36.0;
    Image ship = MESH_Render(Fighter(), view);
    // The shadow falls below and to the right, as the game's light comes from the upper left.
    int off = std::max(1, size / 12);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++)
            if (ship.at(x - off, y - off) && img.at(x, y)) img.set(x, y, gen.pal.c("water", 1));
    IMG_Blit(img, ship, 0, 0);
    return img;
}

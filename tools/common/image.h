// Indexed pictures drawn by code, one byte a pixel: what the data-set generator paints its
// artwork on and the autopilot its balance plot. Drawing outside the picture is clipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Image {
    int w = 0, h = 0;
    std::vector<uint8_t> px;

    Image() = default;
    Image(int width, int height, uint8_t fill = 0)
        : w(width), h(height), px(size_t(width) * height, fill)
    {
    }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    uint8_t at(int x, int y) const { return inside(x, y) ? px[size_t(y) * w + x] : 0; }
    void set(int x, int y, uint8_t c)
    {
        if (inside(x, y)) px[size_t(y) * w + x] = c;
    }
};

// Drawing on indexed images.
void IMG_Fill(Image& img, uint8_t c);
void IMG_Rect(Image& img, int x, int y, int w, int h, uint8_t c);
void IMG_Disc(Image& img, double cx, double cy, double r, uint8_t c);
void IMG_Line(Image& img, int x0, int y0, int x1, int y1, uint8_t c);
void IMG_Blit(Image& dst, const Image& src, int x, int y, bool masked = true);
// Draws a one-pixel outline in colour c around every non-zero pixel (4-neighbourhood),
// into the transparent pixels next to them.
void IMG_Outline(Image& img, uint8_t c);
// A copy of the image scaled to w x h, each pixel taken from the nearest one.
Image IMG_Scale(const Image& src, int w, int h);

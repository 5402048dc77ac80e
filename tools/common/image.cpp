#include "image.h"

#include <algorithm>
#include <cstdlib>

void IMG_Fill(Image& img, uint8_t c)
{
    std::fill(img.px.begin(), img.px.end(), c);
}

void IMG_Rect(Image& img, int x, int y, int w, int h, uint8_t c)
{
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++)
            img.set(i, j, c);
}

void IMG_Disc(Image& img, double cx, double cy, double r, uint8_t c)
{
    for (int y = static_cast<int>(cy - r - 1); y <= static_cast<int>(cy + r + 1); y++)
        for (int x = static_cast<int>(cx - r - 1); x <= static_cast<int>(cx + r + 1); x++) {
            double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            if (dx * dx + dy * dy <= r * r) img.set(x, y, c);
        }
}

void IMG_Line(Image& img, int x0, int y0, int x1, int y1, uint8_t c)
{
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1, err = dx + dy;
    for (;;) {
        img.set(x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void IMG_Blit(Image& dst, const Image& src, int x, int y, bool masked)
{
    for (int j = 0; j < src.h; j++)
        for (int i = 0; i < src.w; i++) {
            uint8_t c = src.px[size_t(j) * src.w + i];
            if (!masked || c) dst.set(x + i, y + j, c);
        }
}

void IMG_Outline(Image& img, uint8_t c)
{
    Image copy = img;
    for (int y = 0; y < img.h; y++)
        for (int x = 0; x < img.w; x++) {
            if (copy.at(x, y)) continue;
            if (copy.at(x - 1, y) || copy.at(x + 1, y) || copy.at(x, y - 1) || copy.at(x, y + 1))
                img.set(x, y, c);
        }
}

Image IMG_Scale(const Image& src, int w, int h)
{
    Image out(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            out.set(x, y, src.at(x * src.w / w, y * src.h / h));
    return out;
}

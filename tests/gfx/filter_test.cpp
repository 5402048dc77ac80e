// The one-pass upscale and filter against a plain model: the picture really scaled up by
// whole factors, then every window pixel worked out on its own from the 16.16 position of
// its centre, byte by byte. (That it matches the renderer itself is measured by the video
// module at run time and pinned by the video tests.)
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "gfx/i_filter.h"

namespace
{

struct PIC {
    int w, h;
    std::vector<uint32_t> px;
    uint32_t at(int x, int y) const { return px[size_t(y) * w + x]; }
};

PIC Upscale(const PIC& small, int wf, int hf)
{
    PIC up{small.w * wf, small.h * hf, {}};
    for (int y = 0; y < up.h; y++)
        for (int x = 0; x < up.w; x++)
            up.px.push_back(small.at(x / wf, y / hf));
    return up;
}

// Where window pixel i of n falls on a row of `src` pixels: the two neighbours and the
// weight of the second in 128ths.
void Place(int i, int n, int src, int* a, int* b, int* w)
{
    int64_t step = (int64_t{src} << 16) / n;
    int64_t centre = (step + 1) / 2 - 32768 + step * i; // the first centre rounded up
    if (centre < 0) {
        *a = *b = 0;
        *w = 0;
    } else if ((centre >> 16) >= src - 1) {
        *a = *b = src - 1;
        *w = 0;
    } else {
        *a = int(centre >> 16);
        *b = *a + 1;
        *w = int(centre % 65536) / 512;
    }
}

uint32_t Model(const PIC& up, int x, int y, int dw, int dh, bool exact_between)
{
    int xa, xb, wx, ya, yb, wy;
    Place(x, dw, up.w, &xa, &xb, &wx);
    Place(y, dh, up.h, &ya, &yb, &wy);
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        auto c = [&](int px, int py) { return int(up.at(px, py) >> shift & 0xFF); };
        int left = c(xa, ya) * (128 - wy) + c(xa, yb) * wy;
        int right = c(xb, ya) * (128 - wy) + c(xb, yb) * wy;
        int v;
        if (exact_between)
            v = (left * (128 - wx) + right * wx) >> 14;
        else
            v = ((left >> 7) * (128 - wx) + (right >> 7) * wx) >> 7;
        out |= uint32_t(v) << shift;
    }
    return out;
}

TEST(FilterTest, OnePassMatchesTheUpscaledPictureFiltered)
{
    PIC small{32, 20, {}};
    uint32_t seed = 7;
    for (int i = 0; i < small.w * small.h; i++) {
        seed = seed * 1103515245u + 12345u;
        small.px.push_back(seed ^ seed << 13);
    }
    struct {
        int wf, hf, dw, dh;
    } cases[] = {
        {3, 3, 80, 60},                   // down across only (800x600 for the whole screen)
        {2, 2, 53, 40},                   // down both ways
        {4, 5, 128, 96},                  // down only downwards
        {5, 6, 144, 108}, {1, 1, 32, 20}, // nothing to filter
        {1, 1, 70, 45},                   // up both ways
        {2, 3, 61, 59},
    };
    for (auto c : cases)
        for (bool exact : {true, false}) {
            PIC up = Upscale(small, c.wf, c.hf);
            I_FILTER f;
            I_FilterInit(&f, small.w, small.h, c.wf, c.hf, c.dw, c.dh, exact);
            const int pitch = c.dw + 3; // rows apart by more than their width
            std::vector<uint32_t> out(size_t(pitch) * c.dh, 0xDEADBEEF);
            I_FilterApply(&f, small.px.data(), out.data(), pitch);
            int wrong = 0;
            for (int y = 0; y < c.dh; y++)
                for (int x = 0; x < c.dw; x++)
                    wrong += out[size_t(y) * pitch + x] != Model(up, x, y, c.dw, c.dh, exact);
            EXPECT_EQ(wrong, 0) << c.wf << "x" << c.hf << " to " << c.dw << "x" << c.dh
                                << (exact ? " exact" : " truncated");
            for (int y = 0; y < c.dh; y++)
                EXPECT_EQ(out[size_t(y) * pitch + c.dw], 0xDEADBEEF) << "wrote past a row";
        }
}

} // namespace

// The upscale-and-filter step in one pass (see i_filter.h).
#include "gfx/i_filter.h"

#include <cstring>

namespace
{

constexpr int kOne = 128; // weights are sevenths of a binary point: 0 to 128

// One axis: the upscaled picture has small * factor pixels, the filtered one dst. Window
// pixel centres are mapped onto the upscaled picture in 16.16 fixed point, the first
// centre rounded as the renderer rounds it; pixels before the first source centre take
// the first source pixel, pixels past the last but one take the last.
void AxisInit(I_FILTER_AXIS* ax, int small, int factor, int dst)
{
    const int64_t upscaled = int64_t{small} * factor;
    const int64_t step = (upscaled << 16) / dst;
    int64_t fp = ((step * 32768 + 0x8000) >> 16) - 32768;
    ax->first.resize(dst);
    ax->second.resize(dst);
    ax->weight.resize(dst);
    for (int i = 0; i < dst; i++, fp += step) {
        int64_t a, b;
        int w;
        if (fp < 0) {
            a = b = 0;
            w = 0;
        } else if ((fp >> 16) > upscaled - 2) {
            a = b = upscaled - 1;
            w = 0;
        } else {
            a = fp >> 16;
            b = a + 1;
            w = static_cast<int>((fp >> 9) & (kOne - 1));
        }
        a /= factor;
        b /= factor;
        // Two upscaled pixels from one small one blend to that one.
        if (a == b) w = 0;
        ax->first[i] = static_cast<uint16_t>(a);
        ax->second[i] = static_cast<uint16_t>(b);
        ax->weight[i] = static_cast<uint8_t>(w);
    }
}

// (p * (128 - w) + q * w) / 128 for each of the four bytes, truncated.
inline uint32_t Blend(uint32_t p, uint32_t q, uint32_t w)
{
    uint32_t v = kOne - w;
    uint32_t lo = (((p & 0x00FF00FF) * v + (q & 0x00FF00FF) * w) >> 7) & 0x00FF00FF;
    uint32_t hi = ((((p >> 8) & 0x00FF00FF) * v + ((q >> 8) & 0x00FF00FF) * w) >> 7) & 0x00FF00FF;
    return lo | (hi << 8);
}

// A row blending only across.
void Across(const I_FILTER* f, const uint32_t* row, uint32_t* out)
{
    const uint16_t* a = f->cols.first.data();
    const uint16_t* b = f->cols.second.data();
    const uint8_t* w = f->cols.weight.data();
    for (int x = 0; x < f->dst_w; x++)
        out[x] = w[x] ? Blend(row[a[x]], row[b[x]], w[x]) : row[a[x]];
}

constexpr uint64_t kLanes = 0x000000FF000000FFull;

} // namespace

void I_FilterInit(I_FILTER* f, int src_w, int src_h, int wf, int hf, int dst_w, int dst_h,
                  bool exact_between)
{
    f->src_w = src_w;
    f->src_h = src_h;
    f->dst_w = dst_w;
    f->dst_h = dst_h;
    f->exact_between = exact_between;
    AxisInit(&f->cols, src_w, wf, dst_w);
    AxisInit(&f->rows, src_h, hf, dst_h);
    f->spread.resize(size_t(src_w) * 2);
}

void I_FilterApply(I_FILTER* f, const uint32_t* src, uint32_t* dst, int pitch)
{
    const I_FILTER_AXIS& rows = f->rows;
    const uint16_t* ca = f->cols.first.data();
    const uint16_t* cb = f->cols.second.data();
    const uint8_t* cw = f->cols.weight.data();
    uint64_t* spread = f->spread.data();
    int made = -1; // the last row worked out; rows alike are copied from it
    for (int y = 0; y < f->dst_h; y++) {
        uint32_t* out = dst + size_t(y) * pitch;
        const int ra = rows.first[y], rb = rows.second[y], wv = rows.weight[y];
        if (made >= 0 && rows.first[made] == ra && rows.second[made] == rb &&
            rows.weight[made] == wv) {
            memcpy(out, dst + size_t(made) * pitch, size_t(f->dst_w) * 4);
            continue;
        }
        made = y;
        const uint32_t* a = src + size_t(ra) * f->src_w;
        const uint32_t* b = src + size_t(rb) * f->src_w;
        if (wv == 0) {
            Across(f, a, out);
            continue;
        }
        if (!f->exact_between) {
            // Down first, truncated, into the spare half of the working row.
            uint32_t* down = reinterpret_cast<uint32_t*>(spread);
            for (int x = 0; x < f->src_w; x++)
                down[x] = Blend(a[x], b[x], wv);
            Across(f, down, out);
            continue;
        }
        // Down first, kept whole: each byte of a source pixel in a 32-bit lane, bytes 0
        // and 2 in one word, 1 and 3 in the other, so the blend across fits beside it.
        const uint64_t up = static_cast<uint64_t>(kOne - wv), dn = static_cast<uint64_t>(wv);
        for (int x = 0; x < f->src_w; x++) {
            uint64_t pa = a[x], pb = b[x];
            uint64_t a02 = (pa & 0xFF) | (pa & 0xFF0000) << 16;
            uint64_t a13 = (pa >> 8 & 0xFF) | (pa & 0xFF000000) << 8;
            uint64_t b02 = (pb & 0xFF) | (pb & 0xFF0000) << 16;
            uint64_t b13 = (pb >> 8 & 0xFF) | (pb & 0xFF000000) << 8;
            spread[2 * x] = a02 * up + b02 * dn;
            spread[2 * x + 1] = a13 * up + b13 * dn;
        }
        for (int x = 0; x < f->dst_w; x++) {
            uint64_t lo, hi;
            const uint64_t* p = spread + 2 * ca[x];
            if (cw[x] == 0) {
                lo = (p[0] >> 7) & kLanes;
                hi = (p[1] >> 7) & kLanes;
            } else {
                const uint64_t* q = spread + 2 * cb[x];
                const uint64_t w = cw[x], v = kOne - w;
                lo = ((p[0] * v + q[0] * w) >> 14) & kLanes;
                hi = ((p[1] * v + q[1] * w) >> 14) & kLanes;
            }
            out[x] = static_cast<uint32_t>(lo | lo >> 16 | hi << 8 | hi >> 8);
        }
    }
}

// The last step of presenting, done from the 320x200 picture in one pass: the picture
// scaled up by whole factors and then filtered bilinearly to the window, as the software
// renderer filters a texture, in the same fixed-point arithmetic, without the upscaled
// picture ever being made. Each window pixel blends at most two columns and two rows of the
// upscaled picture, and those are columns and rows of the small one.
#pragma once

#include <cstdint>
#include <vector>

// Per window pixel along one axis: the two source pixels it blends and the weight of the
// second, 0 to 128.
struct I_FILTER_AXIS {
    std::vector<uint16_t> first, second;
    std::vector<uint8_t> weight;
};

struct I_FILTER {
    int src_w = 0, src_h = 0; // the small picture
    int dst_w = 0, dst_h = 0; // the filtered one
    I_FILTER_AXIS cols, rows;
    // True: the two vertical blends are kept whole until the horizontal one (the vector
    // form of the filter); false: each blend is truncated to 8 bits on its own.
    bool exact_between = true;
    std::vector<uint64_t> spread; // a working row
};

// Tables for a picture of src_w x src_h scaled up by wf and hf and filtered to
// dst_w x dst_h.
void I_FilterInit(I_FILTER* f, int src_w, int src_h, int wf, int hf, int dst_w, int dst_h,
                  bool exact_between);
// The filtered picture from a 32-bit one of src_w x src_h (rows src_w apart) into dst,
// rows `pitch` pixels apart.
void I_FilterApply(I_FILTER* f, const uint32_t* src, uint32_t* dst, int pitch);

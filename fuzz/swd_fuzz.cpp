// fuzz-sources: ui/swdread.cpp
// Feeds arbitrary bytes to the window item reader: it must never read outside the item,
// and every window it accepts must keep each field's text terminated inside its buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ui/swdapi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A private copy, so reading one byte past the end is caught.
    std::vector<uint8_t> item(data, data + size);
    SWIN w;
    if (!SWD_ParseWindow(item.data(), item.size(), &w)) return 0;
    if (w.numflds != static_cast<int>(w.flds.size())) abort();
    if (w.firstfld < -1 || w.firstfld >= w.numflds) abort();
    for (const SFIELD& f : w.flds) {
        if (f.text.empty() || f.text.back() != 0) abort();
        if (f.maxchars > 0 && f.text.size() != static_cast<size_t>(f.maxchars)) abort();
        if (f.opt < FLD_OFF || f.opt >= FLD_TYPES) abort();
    }
    return 0;
}

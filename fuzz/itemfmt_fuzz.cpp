// fuzz-sources: res/itemfmt.cpp
// Feeds arbitrary bytes to every item check: none may read outside the item.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "res/itemfmt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A private copy, so reading one byte past the end is caught.
    std::vector<uint8_t> item(data, data + size);
    std::span<const uint8_t> b(item);
    ITEM_CheckPalette(b);
    ITEM_CheckPicture(b);
    ITEM_CheckSprite(b);
    ITEM_CheckPlain(b, 16, 16);
    ITEM_CheckFont(b);
    ITEM_CheckFlats(b, 40);
    ITEM_CheckMap(b, 0, 40, 5);
    ITEM_CheckTextScreen(b);
    return 0;
}

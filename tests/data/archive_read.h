// Reads a whole archive file into its directory and item bytes, checking every offset, so
// the data-set tests do not depend on the game's own loader.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "res/glbapi.h"
#include "testutil/testutil.h"

struct ArchiveItem {
    std::string label;
    uint32_t flags = 0;
    std::vector<uint8_t> data; // unscrambled
};

// Empty result with a reason in *why when the file is damaged.
inline std::vector<ArchiveItem> ReadArchive(const std::string& path, std::string* why)
{
    std::vector<uint8_t> file = vt::ReadFileBytes(path);
    std::vector<ArchiveItem> items;
    auto fail = [&](const char* reason) {
        *why = path + ": " + reason;
        return std::vector<ArchiveItem>();
    };
    if (file.size() < 28) return fail("shorter than the header");
    uint8_t head[28];
    memcpy(head, file.data(), 28);
    GLB_DeCrypt(GLB_ARCHIVE_KEY, head, 28);
    int32_t count;
    memcpy(&count, head + 4, 4);
    if (count <= 0 || static_cast<size_t>(count) > (file.size() - 28) / 28)
        return fail("bad count");
    for (int i = 0; i < count; i++) {
        uint8_t e[28];
        memcpy(e, &file[28 + 28 * static_cast<size_t>(i)], 28);
        GLB_DeCrypt(GLB_ARCHIVE_KEY, e, 28);
        ArchiveItem it;
        uint32_t offset, length;
        memcpy(&it.flags, e, 4);
        memcpy(&offset, e + 4, 4);
        memcpy(&length, e + 8, 4);
        if (e[27] != 0) return fail("label without its terminator");
        it.label = reinterpret_cast<const char*>(e + 12);
        if (offset > file.size() || length > file.size() - offset) return fail("item past the end");
        it.data.assign(file.begin() + offset, file.begin() + offset + length);
        if (it.flags == 1) GLB_DeCrypt(GLB_ARCHIVE_KEY, it.data.data(), static_cast<int>(length));
        items.push_back(std::move(it));
    }
    return items;
}

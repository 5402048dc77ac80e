#include "res/glbwrite.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "res/glbapi.h"

static void PutLong(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
    out[at + 2] = static_cast<uint8_t>(v >> 16);
    out[at + 3] = static_cast<uint8_t>(v >> 24);
}

std::vector<uint8_t> GLB_BuildArchive(std::span<const GLB_WRITEITEM> items)
{
    constexpr size_t kHeader = GLB_HEADER_SIZE, kEntry = GLB_ENTRY_SIZE;
    size_t total = kHeader + kEntry * items.size();
    for (const GLB_WRITEITEM& it : items)
        total += it.data.size();

    std::vector<uint8_t> out(total, 0);
    PutLong(out, 4, static_cast<uint32_t>(items.size()));
    GLB_EnCrypt(GLB_ARCHIVE_KEY, out.data(), kHeader);

    size_t data_at = kHeader + kEntry * items.size();
    for (size_t i = 0; i < items.size(); i++) {
        const GLB_WRITEITEM& it = items[i];
        size_t entry = kHeader + kEntry * i;
        PutLong(out, entry, it.encoded ? 1 : 0);
        PutLong(out, entry + 4, static_cast<uint32_t>(data_at));
        PutLong(out, entry + 8, static_cast<uint32_t>(it.data.size()));
        memcpy(&out[entry + 12], it.label.c_str(), std::min<size_t>(it.label.size(), 15));
        GLB_EnCrypt(GLB_ARCHIVE_KEY, &out[entry], kEntry);

        if (!it.data.empty()) {
            memcpy(&out[data_at], it.data.data(), it.data.size());
            if (it.encoded)
                GLB_EnCrypt(GLB_ARCHIVE_KEY, &out[data_at], static_cast<int>(it.data.size()));
            data_at += it.data.size();
        }
    }
    return out;
}

bool GLB_WriteArchive(const char* path, std::span<const GLB_WRITEITEM> items, std::string* err)
{
    // Ids reach 65536 entries, and offsets and lengths are 32-bit numbers: an archive
    // beyond either limit would be written with entries the game cannot reach or read.
    if (items.size() > static_cast<size_t>(GLB_MAX_ITEMS)) {
        if (err) *err = "more than 65536 items";
        return false;
    }
    uint64_t total = GLB_HEADER_SIZE + uint64_t{GLB_ENTRY_SIZE} * items.size();
    for (const GLB_WRITEITEM& it : items) {
        if (it.label.size() >= GLB_LABEL_LEN || it.label.find('\0') != std::string::npos) {
            if (err) *err = "label too long or not text: " + it.label;
            return false;
        }
        total += it.data.size();
    }
    if (total > UINT32_MAX) {
        if (err) *err = "archive would be larger than 4 GiB";
        return false;
    }
    std::vector<uint8_t> bytes = GLB_BuildArchive(items);
    // Written beside the target and renamed over it, so a failed write never leaves a
    // truncated archive where a good one stood.
    std::string tmp = std::string(path) + ".tmp";
    FILE* f = fopen(tmp.c_str(), "wb");
    if (!f) {
        if (err) *err = std::string("cannot create ") + tmp;
        return false;
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (fclose(f) == 0) && ok;
    if (ok) ok = rename(tmp.c_str(), path) == 0;
    if (!ok) {
        remove(tmp.c_str());
        if (err) *err = std::string("cannot write ") + path;
    }
    return ok;
}

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
    constexpr size_t kHeader = 28, kEntry = 28;
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
    for (const GLB_WRITEITEM& it : items) {
        if (it.label.size() >= GLB_LABEL_LEN || it.label.find('\0') != std::string::npos) {
            if (err) *err = "label too long or not text: " + it.label;
            return false;
        }
    }
    std::vector<uint8_t> bytes = GLB_BuildArchive(items);
    FILE* f = fopen(path, "wb");
    if (!f) {
        if (err) *err = std::string("cannot create ") + path;
        return false;
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (fclose(f) == 0) && ok;
    if (!ok && err) *err = std::string("cannot write ") + path;
    return ok;
}

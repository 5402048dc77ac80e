// Fuzzes the archive reader: the input is an archive file, opened in slots 0 and 1; every
// item is then walked by id and by label, first with heap memory and then through the
// cache. The walk calls the fatal loaders only for ids that must succeed (an entry with
// data), so any exit, crash or mismatch between the ways of reading an item is a finding.
// fuzz-sources: res/glbapi.cpp res/vmemapi.cpp
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "res/glbapi.h"

namespace
{

// Larger inputs only repeat the same paths more slowly.
constexpr size_t kMaxInput = 64 * 1024;
// Items walked per archive; the directory may hold thousands of entries.
constexpr uint32_t kMaxWalk = 48;
constexpr uint32_t kPoolSize = 4u << 20;

std::string dir;
std::vector<uint8_t> cache_pool(kPoolSize);

void Check(bool ok, const char* what)
{
    if (!ok) {
        fprintf(stderr, "glb_fuzz: %s\n", what);
        abort();
    }
}

void WalkItem(int id, int prev)
{
    int n = GLB_ItemSize(id);
    Check(n >= 0, "negative item size");
    Check(!(n > 0 && GLB_IsLabel(id)), "an item with data is also a label");

    std::vector<uint8_t> copy(size_t(n) + 1, 0x5A);
    GLB_ReadItem(id, copy.data());
    Check(copy[size_t(n)] == 0x5A, "ReadItem wrote past the item");
    GLB_UnlockItem(id);
    if (n == 0) {
        // Only ids inside the directory may be freed; the rest end the program.
        if (GLB_IsLabel(id)) GLB_FreeItem(id);
        return;
    }

    uint8_t* p = GLB_GetItem(id);
    Check(memcmp(p, copy.data(), size_t(n)) == 0, "GetItem and ReadItem disagree");
    Check(GLB_CacheItem(id) == p, "CacheItem moved a loaded item");
    Check(GLB_LockItem(id) == p && GLB_LockItem(id) == p, "LockItem moved a loaded item");
    if (prev >= 0 && GLB_ItemSize(prev) > 0) GLB_GetItem(prev); // pressure on the cache
    Check(memcmp(p, copy.data(), size_t(n)) == 0, "a locked item changed");
    GLB_UnlockItem(id);
    GLB_UnlockItem(id);
    if (id & 1) GLB_FreeItem(id);
}

void Walk(const uint8_t* data, size_t size)
{
    uint32_t fit = uint32_t((size - GLB_HEADER_SIZE) / GLB_ENTRY_SIZE);
    for (int slot = 0; slot < 3; slot++) {
        int prev = -1;
        for (uint32_t i = 0; i <= fit + 1 && i < kMaxWalk; i++) {
            int id = slot << 16 | int(i);
            WalkItem(id, prev);
            prev = id;
        }
        if (fit >= kMaxWalk) WalkItem(slot << 16 | int(fit - 1), prev);
    }

    // Every label the directory holds leads to the first entry with that label, which
    // lies in slot 0 (slot 1 holds the same archive).
    uint32_t faults = 0;
    int32_t count = GLB_CheckHeader(data, size, nullptr, &faults);
    for (int32_t i = 0; i < count && i < int32_t(kMaxWalk); i++) {
        ITEMDESC it;
        GLB_CheckEntry(data + GLB_HEADER_SIZE + size_t(i) * GLB_ENTRY_SIZE, size, &it);
        int id = GLB_GetItemID(it.name);
        if (it.name[0] == '\0' || it.name[0] == ' ') {
            Check(id == -1, "an empty or blank-led label was found");
            continue;
        }
        Check(id >= 0 && id <= i, "a label was not found in its first entry");
    }
    // Labels made of the raw bytes, terminated or not.
    char probe[GLB_LABEL_LEN + 1] = {};
    memcpy(probe, data + size - GLB_LABEL_LEN, GLB_LABEL_LEN);
    GLB_GetItemID(probe);
    GLB_Load(nullptr, data[0] % 20 - 2, int(data[1]) - 2);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A memory-backed folder when there is one: every input is written out as a file.
    char shm[] = "/dev/shm/glb-fuzz-XXXXXX", tmp[] = "/tmp/glb-fuzz-XXXXXX";
    const char* made = mkdtemp(shm);
    if (!made) made = mkdtemp(tmp);
    if (!made) abort();
    dir = made;
    atexit([] {
        unlink((dir + "/file0000.glb").c_str());
        unlink((dir + "/FILE0001.GLB").c_str());
        rmdir(dir.c_str());
    });
    // Slot 1 is the same file under its other spelling.
    if (symlink((dir + "/file0000.glb").c_str(), (dir + "/FILE0001.GLB").c_str()) != 0) abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Shorter than a header ends the program by design; nothing else may.
    if (size < size_t(GLB_HEADER_SIZE) || size > kMaxInput) return 0;
    // A new file each time: truncating one in place makes some file systems flush it.
    std::string path = dir + "/file0000.glb";
    unlink(path.c_str());
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) abort();
    fwrite(data, 1, size, f);
    fclose(f);

    GLB_InitSystem((dir + "/base").c_str(), 3, nullptr);
    Walk(data, size);
    GLB_FreeAll();

    VM_InitMemory(cache_pool.data(), kPoolSize);
    GLB_UseVM();
    Walk(data, size);
    GLB_FreeAll();

    GLB_Shutdown();
    VM_Shutdown();
    return 0;
}

// Resource archives. Each archive is a scrambled 28-byte header, a directory of scrambled
// 28-byte entries and the item data. Directories are read once when the archives are
// opened and kept for the whole run; the files stay open so items can be read again
// whenever the cache has discarded them.
#include "res/glbapi.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

static FILEDESC filedesc[GLB_MAX_FILES];
static char exePath[I_MAXPATH];
static char sharePath[I_MAXPATH];
static char prefix[16] = "FILE";
static int num_glbs;
static bool fVmem;

// Directory entries are read this many at a time.
static constexpr int kDirBatch = 10;

// Unrecoverable: a required item cannot be had. The program ends quietly, as everywhere.
[[noreturn]] static void glb_Fatal(void)
{
    exit(0);
}

static uint32_t glb_GetLong(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void GLB_EnCrypt(const char* key, uint8_t* buf, int length)
{
    int keylen = static_cast<int>(strlen(key));
    if (keylen == 0 || length <= 0) return;
    int pos = 25 % keylen;
    uint8_t prev = static_cast<uint8_t>(key[pos]);
    for (int i = 0; i < length; i++) {
        buf[i] = static_cast<uint8_t>(buf[i] + key[pos] + prev);
        prev = buf[i];
        if (++pos >= keylen) pos = 0;
    }
}

void GLB_DeCrypt(const char* key, uint8_t* buf, int length)
{
    int keylen = static_cast<int>(strlen(key));
    if (keylen == 0 || length <= 0) return;
    int pos = 25 % keylen;
    uint8_t prev = static_cast<uint8_t>(key[pos]);
    for (int i = 0; i < length; i++) {
        uint8_t stored = buf[i];
        buf[i] = static_cast<uint8_t>(stored - key[pos] - prev);
        prev = stored;
        if (++pos >= keylen) pos = 0;
    }
}

int32_t GLB_CheckHeader(const uint8_t* header, uint64_t file_size, int32_t* count, uint32_t* faults)
{
    if (count) *count = 0;
    if (file_size < GLB_HEADER_SIZE) {
        *faults |= GLB_FAULT_SHORT;
        return 0;
    }
    uint8_t h[GLB_HEADER_SIZE];
    memcpy(h, header, sizeof h);
    GLB_DeCrypt(GLB_ARCHIVE_KEY, h, GLB_HEADER_SIZE);
    int32_t stored = static_cast<int32_t>(glb_GetLong(h + 4));
    if (count) *count = stored;
    if (stored < 0) {
        *faults |= GLB_FAULT_COUNT_NEG;
        return 0;
    }
    uint64_t fit = (file_size - GLB_HEADER_SIZE) / GLB_ENTRY_SIZE;
    int32_t usable = stored;
    if (static_cast<uint64_t>(stored) > fit) {
        usable = static_cast<int32_t>(fit);
        *faults |= GLB_FAULT_COUNT_CUT;
    }
    if (usable > GLB_MAX_ITEMS) {
        usable = GLB_MAX_ITEMS;
        *faults |= GLB_FAULT_COUNT_IDS;
    }
    return usable;
}

uint32_t GLB_CheckEntry(const uint8_t* entry, uint64_t file_size, ITEMDESC* item)
{
    uint8_t e[GLB_ENTRY_SIZE];
    memcpy(e, entry, sizeof e);
    GLB_DeCrypt(GLB_ARCHIVE_KEY, e, GLB_ENTRY_SIZE);
    uint32_t flags = glb_GetLong(e);
    uint32_t offset = glb_GetLong(e + 4);
    uint32_t length = glb_GetLong(e + 8);

    uint32_t faults = 0;
    *item = {};
    memcpy(item->name, e + 12, GLB_LABEL_LEN);
    if (!memchr(item->name, '\0', GLB_LABEL_LEN)) {
        faults |= GLB_FAULT_LABEL_TERM;
        memset(item->name, 0, GLB_LABEL_LEN);
    }
    // Offsets of label-only entries are never used, so only entries with data are checked.
    if (length != 0 && (static_cast<uint64_t>(offset) + length > file_size ||
                        length > static_cast<uint32_t>(INT_MAX))) {
        faults |= GLB_FAULT_DATA_RANGE;
        offset = 0;
        length = 0;
        flags = 0;
    }
    item->offset = offset;
    item->length = length;
    if (flags == 1) item->flags = GLB_FLAG_ENCODED;
    return faults;
}

const char* GLB_FaultText(uint32_t fault)
{
    switch (fault) {
    case GLB_FAULT_SHORT:
        return "file is shorter than an archive header";
    case GLB_FAULT_COUNT_NEG:
        return "directory count is negative";
    case GLB_FAULT_COUNT_CUT:
        return "directory runs past the end of the file";
    case GLB_FAULT_COUNT_IDS:
        return "more directory entries than item ids can reach";
    case GLB_FAULT_DATA_RANGE:
        return "item data does not lie inside the file";
    case GLB_FAULT_LABEL_TERM:
        return "label is not terminated within 16 bytes";
    }
    return "unknown fault";
}

// Gives an item's memory back to wherever it came from.
static void glb_Release(ITEMDESC& it)
{
    if (!it.mem.obj) return;
    if (it.flags & GLB_FLAG_HEAP)
        free(it.mem.obj);
    else
        VM_Free(it.mem.obj);
    it.mem.obj = nullptr;
    it.flags &= ~GLB_FLAG_HEAP;
}

// Closes every archive and forgets its directory.
static void glb_CloseAll(void)
{
    for (FILEDESC& fd : filedesc) {
        if (fd.items) {
            for (int32_t i = 0; i < fd.items_num; i++)
                glb_Release(fd.items[i]);
            free(fd.items);
        }
        if (fd.handle) fclose(fd.handle);
        fd = {};
    }
}

static bool glb_Name(char* out, const char* base, const char* stem, int num, const char* ext)
{
    int n = snprintf(out, sizeof(FILEDESC::path), "%s%s%04u%s", base, stem,
                     static_cast<unsigned>(num), ext);
    return n > 0 && n < static_cast<int>(sizeof(FILEDESC::path));
}

// Looks for archive num in the working directory, then in the base folder, then in the
// shared folder; in each place the lower-case name wins over the prefix's upper-case one.
static FILE* glb_FindArchive(int num, char* path)
{
    const char* places[3] = {"", exePath, sharePath};
    for (int p = 0; p < 3; p++) {
        if (p > 0 && places[p][0] == '\0') continue;
        char name[sizeof(FILEDESC::path)];
        bool ok = glb_Name(name, places[p], "file", num, ".glb");
        if (!ok || access(name, F_OK) != 0) ok = glb_Name(name, places[p], prefix, num, ".GLB");
        if (!ok) continue;
        if (FILE* f = fopen(name, "rb")) {
            memcpy(path, name, sizeof name);
            return f;
        }
    }
    return nullptr;
}

// Opens archive num into its slot and reads its directory; true when it has entries.
static bool glb_OpenArchive(int num)
{
    FILEDESC& fd = filedesc[num];
    FILE* f = glb_FindArchive(num, fd.path);
    if (!f) return false;
    fd.handle = f;
    fd.mode = "rb";

    // The size is taken once here; every entry is checked against it, so nothing later
    // reads past the end of the file.
    uint8_t header[GLB_HEADER_SIZE];
    off_t end = (fseeko(f, 0, SEEK_END) == 0) ? ftello(f) : -1;
    if (end < GLB_HEADER_SIZE || fseeko(f, 0, SEEK_SET) != 0 ||
        fread(header, 1, sizeof header, f) != sizeof header)
        glb_Fatal();
    uint64_t size = static_cast<uint64_t>(end);

    uint32_t faults = 0;
    int32_t count = GLB_CheckHeader(header, size, nullptr, &faults);
    if (count == 0) return false;

    fd.items = static_cast<ITEMDESC*>(calloc(static_cast<size_t>(count), sizeof(ITEMDESC)));
    if (!fd.items) glb_Fatal();

    uint8_t batch[kDirBatch * GLB_ENTRY_SIZE];
    int32_t done = 0;
    while (done < count) {
        int n = static_cast<int>(std::min<int32_t>(kDirBatch, count - done));
        size_t got = fread(batch, GLB_ENTRY_SIZE, static_cast<size_t>(n), f);
        for (size_t i = 0; i < got; i++)
            GLB_CheckEntry(batch + i * GLB_ENTRY_SIZE, size, &fd.items[done + i]);
        done += static_cast<int32_t>(got);
        if (static_cast<int>(got) < n) break; // the file shrank: keep what was read
    }
    fd.items_num = done;
    if (done == 0) {
        free(fd.items);
        fd.items = nullptr;
        return false;
    }
    return true;
}

int GLB_InitSystem(const char* exepath, int innum, const char* iprefix)
{
    glb_CloseAll();

    exePath[0] = '\0';
    if (exepath && strlen(exepath) < sizeof exePath) {
        strcpy(exePath, exepath);
        if (char* cut = strrchr(exePath, '/')) cut[1] = '\0';
    }
    num_glbs = innum < 0 ? 0 : (innum > GLB_MAX_FILES ? GLB_MAX_FILES : innum);
    if (iprefix) {
        size_t i = 0;
        for (; i < sizeof prefix - 1 && iprefix[i]; i++)
            prefix[i] = static_cast<char>(toupper(static_cast<unsigned char>(iprefix[i])));
        prefix[i] = '\0';
    }

    int opened = 0;
    for (int a = 0; a < num_glbs; a++)
        if (glb_OpenArchive(a)) opened++;
    return opened;
}

void GLB_SetSharePath(const char* path)
{
    sharePath[0] = '\0';
    if (path && strlen(path) < sizeof sharePath) strcpy(sharePath, path);
}

void GLB_UseVM(void)
{
    fVmem = true;
}

void GLB_Shutdown(void)
{
    glb_CloseAll();
    fVmem = false;
    num_glbs = 0;
    exePath[0] = '\0';
    sharePath[0] = '\0';
    strcpy(prefix, "FILE");
}

int GLB_GetItemID(const char* in_name)
{
    if (!in_name || in_name[0] == '\0' || in_name[0] == ' ') return -1;
    if (strnlen(in_name, GLB_LABEL_LEN) >= GLB_LABEL_LEN) return -1; // no label is that long
    for (int slot = 0; slot < num_glbs; slot++) {
        const FILEDESC& fd = filedesc[slot];
        if (!fd.items) continue;
        for (int32_t i = 0; i < fd.items_num; i++)
            if (strncmp(fd.items[i].name, in_name, GLB_LABEL_LEN) == 0) return slot << 16 | i;
    }
    return -1;
}

// The directory entry an id names, or null for -1, an empty slot or an index beyond the
// directory.
static ITEMDESC* glb_Item(int handle)
{
    uint32_t h = static_cast<uint32_t>(handle);
    uint32_t slot = h >> 16, index = h & 0xFFFF;
    if (slot >= static_cast<uint32_t>(num_glbs)) return nullptr;
    FILEDESC& fd = filedesc[slot];
    if (!fd.items || index >= static_cast<uint32_t>(fd.items_num)) return nullptr;
    return &fd.items[index];
}

static bool glb_LoadInto(int handle, ITEMDESC& it, uint8_t* buffer)
{
    return GLB_Load(buffer, handle >> 16, handle & 0xFFFF) == static_cast<int>(it.length);
}

// Memory for an item: from the cache (owned by the item unless it is locked) or, before
// the cache exists, zero-filled from the heap.
static uint8_t* glb_Alloc(ITEMDESC& it, bool discard)
{
    if (fVmem) {
        VM_OWNER* owner = (it.flags & GLB_FLAG_LOCKED) ? nullptr : &it.mem;
        return static_cast<uint8_t*>(VM_Malloc(it.length, owner, discard));
    }
    uint8_t* p = static_cast<uint8_t*>(calloc(it.length, 1));
    if (p) it.flags |= GLB_FLAG_HEAP;
    return p;
}

int GLB_Load(uint8_t* inmem, int filenum, int itemnum)
{
    if (filenum < 0 || filenum >= num_glbs) return 0;
    FILEDESC& fd = filedesc[filenum];
    if (!fd.handle || !fd.items || itemnum < 0 || itemnum >= fd.items_num) return 0;
    ITEMDESC& it = fd.items[itemnum];
    int length = static_cast<int>(it.length);
    if (!inmem) return length;
    if (it.mem.obj && it.mem.obj != inmem) {
        memcpy(inmem, it.mem.obj, it.length);
        return length;
    }
    if (length == 0) return 0;
    if (fseeko(fd.handle, it.offset, SEEK_SET) != 0 ||
        fread(inmem, 1, it.length, fd.handle) != it.length) {
        // The file changed under us or could not be read: hand out zeros, never a
        // half-read item, and report that nothing was loaded.
        clearerr(fd.handle);
        memset(inmem, 0, it.length);
        return 0;
    }
    if (it.flags & GLB_FLAG_ENCODED) GLB_DeCrypt(GLB_ARCHIVE_KEY, inmem, length);
    return length;
}

uint8_t* GLB_GetItem(int handle)
{
    ITEMDESC* it = glb_Item(handle);
    if (!it) glb_Fatal();
    if (it->mem.obj) {
        if (fVmem) VM_Touch(&it->mem);
        return static_cast<uint8_t*>(it->mem.obj);
    }
    it->lock_cnt = 0;
    if (it->length == 0) glb_Fatal();
    uint8_t* p = glb_Alloc(*it, true);
    if (!p) glb_Fatal();
    it->mem.obj = p;
    if (!glb_LoadInto(handle, *it, p)) glb_Fatal();
    if (fVmem) VM_Touch(&it->mem);
    return p;
}

uint8_t* GLB_CacheItem(int handle)
{
    ITEMDESC* it = glb_Item(handle);
    if (!it) glb_Fatal();
    if (it->mem.obj) return static_cast<uint8_t*>(it->mem.obj);
    it->lock_cnt = 0;
    if (it->length == 0) return nullptr;
    uint8_t* p = glb_Alloc(*it, false);
    if (!p) return nullptr;
    it->mem.obj = p;
    if (!glb_LoadInto(handle, *it, p)) {
        glb_Release(*it);
        return nullptr;
    }
    return p;
}

uint8_t* GLB_LockItem(int handle)
{
    ITEMDESC* it = glb_Item(handle);
    if (!it) glb_Fatal();
    it->flags |= GLB_FLAG_LOCKED;
    if (it->mem.obj) {
        if (fVmem) {
            it->lock_cnt++;
            if (!(it->flags & GLB_FLAG_HEAP)) VM_Lock(it->mem.obj);
        }
        return static_cast<uint8_t*>(it->mem.obj);
    }
    it->lock_cnt = 0;
    if (it->length == 0) glb_Fatal();
    uint8_t* p = glb_Alloc(*it, true); // locked, so the cache gets no owner
    if (!p) glb_Fatal();
    it->lock_cnt = 1;
    it->mem.obj = p;
    if (!glb_LoadInto(handle, *it, p)) glb_Fatal();
    return p;
}

void GLB_UnlockItem(int handle)
{
    ITEMDESC* it = glb_Item(handle);
    if (!it) return;
    if (it->mem.obj && fVmem) {
        if (it->lock_cnt > 0 && --it->lock_cnt > 0) return;
        it->flags &= ~GLB_FLAG_LOCKED;
        if (!(it->flags & GLB_FLAG_HEAP)) VM_Unlock(it->mem.obj, &it->mem);
        return;
    }
    it->flags &= ~GLB_FLAG_LOCKED;
}

void GLB_FreeItem(int handle)
{
    if (handle == -1) return;
    // Freeing an id the directory does not hold is a programming error, like loading one.
    ITEMDESC* it = glb_Item(handle);
    if (!it) exit(0);
    if (!it->mem.obj) return;
    it->flags &= ~GLB_FLAG_LOCKED;
    glb_Release(*it); // the lock count stays; the next lock starts it afresh
}

void GLB_FreeAll(void)
{
    for (int slot = 0; slot < num_glbs; slot++) {
        FILEDESC& fd = filedesc[slot];
        if (!fd.items) continue;
        for (int32_t i = 0; i < fd.items_num; i++)
            if (!(fd.items[i].flags & GLB_FLAG_LOCKED)) glb_Release(fd.items[i]);
    }
}

int GLB_ItemSize(int handle)
{
    ITEMDESC* it = glb_Item(handle);
    return it ? static_cast<int>(it->length) : 0;
}

bool GLB_IsLabel(int handle)
{
    ITEMDESC* it = glb_Item(handle);
    return it && it->length == 0;
}

void GLB_ReadItem(int handle, uint8_t* buffer)
{
    if (!buffer || !glb_Item(handle)) return;
    GLB_Load(buffer, handle >> 16, handle & 0xFFFF);
}

int GLB_ReadFile(const char* name, uint8_t* buffer, size_t size)
{
    if (!name) glb_Fatal();
    char full[I_MAXFILEPATH];
    const char* use = name;
    if (access(name, F_OK) != 0) {
        int n = snprintf(full, sizeof full, "%s%s", exePath, name);
        if (n < 0 || n >= static_cast<int>(sizeof full)) glb_Fatal();
        use = full;
    }
    FILE* f = fopen(use, "rb");
    if (!f) glb_Fatal();
    off_t length = (fseeko(f, 0, SEEK_END) == 0) ? ftello(f) : -1;
    bool ok = length >= 0 && length <= INT_MAX && fseeko(f, 0, SEEK_SET) == 0;
    // Never more than the buffer holds, whatever the file has become since it was measured.
    size_t want = ok ? std::min(static_cast<size_t>(length), size) : 0;
    size_t got = 0;
    if (ok && buffer && want > 0) {
        got = fread(buffer, 1, want, f);
        ok = got == want;
    }
    fclose(f);
    if (!ok) glb_Fatal();
    return buffer ? static_cast<int>(got) : static_cast<int>(length);
}

int GLB_SaveFile(const char* name, const uint8_t* buffer, int length)
{
    if (!name) glb_Fatal();
    FILE* f = fopen(name, "wb");
    if (!f) glb_Fatal();
    bool ok = true;
    if (length > 0)
        ok = buffer &&
             fwrite(buffer, 1, static_cast<size_t>(length), f) == static_cast<size_t>(length);
    if (fclose(f) != 0) ok = false;
    if (!ok) glb_Fatal();
    return 0;
}

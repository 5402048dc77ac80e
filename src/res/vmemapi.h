// Memory cache: large regions carved into blocks for archive items. A block tied to an
// owner may be reclaimed at any allocation (least recently used first); blocks without
// an owner are pinned.
#pragma once

#include <cstdint>

struct VM_OWNER {
    void* obj;    // the block's data; the cache writes null when it takes the block away
    uint32_t age; // use stamp: larger is more recently used
};

// Adds an area as the next region; returns the number of regions now held. An area the
// control word cannot describe (null, under 32 bytes, 16 MiB or more) or one past the
// 63rd region is refused and the count stays as it was.
int VM_InitMemory(void* memory, uint32_t size);
// A block of at least size bytes, or null. With an owner the block may later be taken
// back; with discard set, older owned blocks may be taken back now to make room.
void* VM_Malloc(uint32_t size, VM_OWNER* owner, bool discard);
// Marks the owner as used just now.
void VM_Touch(VM_OWNER* owner);
void VM_Free(void* mem);
// Pins a block: it loses its owner and can no longer be taken back.
void VM_Lock(void* mem);
// Gives a pinned block its owner back, stamped with the current clock.
void VM_Unlock(void* mem, VM_OWNER* owner);
// Forgets every region (the memory itself stays the caller's), as before the first
// VM_InitMemory. Used when the pool is released and by tests.
void VM_Shutdown(void);

// Block header at the start of every block; the data handed out begins VM_HEADER_SIZE
// bytes further on. Blocks sit at 4-byte steps, so headers are read and written with
// memcpy rather than through a pointer to this record.
struct MCBL {
    uint32_t control; // VM_FREE | region << VM_REGION_SHIFT | size (header included)
    VM_OWNER* owner;  // null: pinned (or free)
};

constexpr uint32_t VM_HEADER_SIZE = 16;
constexpr uint32_t VM_FREE = 0x80000000u;
constexpr int VM_REGION_SHIFT = 24;
constexpr uint32_t VM_REGION_MASK = 0x7Fu;
constexpr uint32_t VM_SIZE_MASK = 0x00FFFFFFu;
constexpr int VM_MAX_REGIONS = 63;
// A split leaves a free remainder only when it has room for a header and some data.
constexpr uint32_t VM_MIN_SPLIT = 20;

static_assert(sizeof(MCBL) <= VM_HEADER_SIZE);

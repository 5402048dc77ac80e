// The memory cache. Every region is a run of blocks, each starting with an MCBL header
// whose size leads to the next; the last 16 bytes of a region are an end marker naming
// the region that follows, so all regions form one ring. There is no free list: free
// blocks are found by walking the ring from the rover and are merged with the free
// blocks behind them whenever a walk passes over them.
#include "res/vmemapi.h"

#include <array>
#include <cstring>

static struct {
    std::array<uint8_t*, VM_MAX_REGIONS> start; // first block of each region
    std::array<uint8_t*, VM_MAX_REGIONS> end;   // end marker of each region
    int count;
    uint8_t* rover; // where the next allocation search begins
    uint32_t clock; // the latest use stamp handed out
} pool;

static MCBL vm_Get(const uint8_t* b)
{
    MCBL h;
    memcpy(&h, b, sizeof h);
    return h;
}

static void vm_Put(uint8_t* b, uint32_t control, VM_OWNER* owner)
{
    MCBL h{control, owner};
    memcpy(b, &h, sizeof h);
}

static uint32_t vm_Size(const MCBL& h)
{
    return h.control & VM_SIZE_MASK;
}

static bool vm_IsFree(const MCBL& h)
{
    return (h.control & VM_FREE) != 0;
}

static bool vm_IsEnd(const MCBL& h)
{
    return vm_Size(h) == 0;
}

static uint32_t vm_RegionBits(const MCBL& h)
{
    return h.control & (VM_REGION_MASK << VM_REGION_SHIFT);
}

// The block after b in the ring; an end marker leads to the region it names.
static uint8_t* vm_Next(uint8_t* b)
{
    MCBL h = vm_Get(b);
    if (vm_IsEnd(h)) {
        uint32_t r = (h.control >> VM_REGION_SHIFT) & VM_REGION_MASK;
        return pool.start[r];
    }
    return b + vm_Size(h);
}

// Lets the free block b absorb every free block directly behind it. Returns true when
// `watch` was among the absorbed. A rover left pointing into the merged run would later
// hand out memory that b still claims, so it is moved to b.
static bool vm_Merge(uint8_t* b, const uint8_t* watch)
{
    MCBL h = vm_Get(b);
    bool absorbed = false;
    for (;;) {
        uint8_t* n = b + vm_Size(h);
        MCBL nh = vm_Get(n);
        if (!vm_IsFree(nh)) break; // end markers are never free
        if (n == pool.rover) pool.rover = b;
        if (n == watch) absorbed = true;
        h.control += vm_Size(nh); // sizes in one region stay below the region bits
    }
    vm_Put(b, h.control, h.owner);
    return absorbed;
}

// The header of a block handed out, or null for a pointer that lies in no region.
static uint8_t* vm_Header(void* mem)
{
    if (!mem) return nullptr;
    uint8_t* p = static_cast<uint8_t*>(mem);
    for (int r = 0; r < pool.count; r++) {
        if (p >= pool.start[r] + VM_HEADER_SIZE && p <= pool.end[r]) {
            uint8_t* b = p - VM_HEADER_SIZE;
            if (vm_IsEnd(vm_Get(b))) return nullptr;
            return b;
        }
    }
    return nullptr;
}

int VM_InitMemory(void* memory, uint32_t size)
{
    if (!memory || size < 2 * VM_HEADER_SIZE || size > VM_SIZE_MASK || pool.count >= VM_MAX_REGIONS)
        return pool.count;

    int r = pool.count;
    uint32_t region = static_cast<uint32_t>(r) << VM_REGION_SHIFT;
    uint8_t* area = static_cast<uint8_t*>(memory);
    pool.start[r] = area;
    vm_Put(area, VM_FREE | region | (size - VM_HEADER_SIZE), nullptr);
    if (!pool.rover) pool.rover = area;

    pool.end[r] = area + size - VM_HEADER_SIZE;
    vm_Put(pool.end[r], 0, nullptr); // size 0, leads back to region 0
    if (r > 0) vm_Put(pool.end[r - 1], region, nullptr);
    return ++pool.count;
}

void VM_Shutdown(void)
{
    pool = {};
}

// Frees owned blocks, oldest first, until a free run of `needed` bytes exists. Each pass
// lowers the clock and every non-zero stamp by one, so stamps keep their order relative
// to the clock while the old ones sink towards zero.
static uint8_t* vm_DiscardMem(uint32_t needed)
{
    uint8_t* first = pool.start[0];
    uint32_t work = pool.clock - 1;
    for (;;) {
        // The oldest owned block that is large enough on its own; between equal stamps
        // the smaller. m is the oldest stamp among the others.
        uint8_t* best = nullptr;
        uint32_t best_age = 0, best_size = 0;
        uint32_t m = UINT32_MAX;
        for (uint8_t* b = first;;) {
            MCBL h = vm_Get(b);
            if (vm_IsEnd(h)) {
                b = vm_Next(b);
                if (b == first) break;
                continue;
            }
            if (!vm_IsFree(h) && h.owner) {
                VM_OWNER* o = h.owner;
                if (o->age != 0) o->age--;
                uint32_t s = vm_Size(h);
                if (s >= needed &&
                    (!best || o->age < best_age || (o->age == best_age && s < best_size))) {
                    best = b;
                    best_age = o->age;
                    best_size = s;
                } else if (o->age < m) {
                    m = o->age;
                }
            }
            b += vm_Size(h);
        }

        if (best) {
            MCBL h = vm_Get(best);
            h.owner->obj = nullptr;
            vm_Put(best, h.control | VM_FREE, nullptr);
            vm_Merge(best, nullptr);
            pool.clock = work;
            return best;
        }

        // No single block will do: free every block whose stamp is close to the oldest
        // and let neighbouring free blocks run together.
        uint32_t threshold = m + 2;
        bool discarded = false;
        uint8_t* last_free = nullptr;
        for (uint8_t* b = first;;) {
            MCBL h = vm_Get(b);
            if (vm_IsEnd(h)) {
                last_free = nullptr;
                b = vm_Next(b);
                if (b == first) break;
                continue;
            }
            if (vm_IsFree(h)) {
                vm_Merge(b, nullptr);
                uint32_t s = vm_Size(vm_Get(b));
                if (s >= needed) {
                    pool.clock = work;
                    return b;
                }
                last_free = b;
                b += s;
                continue;
            }
            if (h.owner && h.owner->age <= threshold) {
                h.owner->obj = nullptr;
                vm_Put(b, h.control | VM_FREE, nullptr);
                discarded = true;
                if (last_free) {
                    b = last_free; // visit it again so it takes in the block just freed
                } else {
                    last_free = b;
                    b += vm_Size(h);
                }
                continue;
            }
            last_free = nullptr;
            b += vm_Size(h);
        }

        if (!discarded) {
            pool.clock = work;
            pool.rover = first;
            return nullptr;
        }
        work--;
    }
}

static void* vm_Take(uint8_t* b, uint32_t needed, VM_OWNER* owner)
{
    MCBL h = vm_Get(b);
    uint32_t size = vm_Size(h);
    uint32_t region = vm_RegionBits(h);
    if (size - needed >= VM_MIN_SPLIT) {
        vm_Put(b + needed, VM_FREE | region | (size - needed), nullptr);
        size = needed;
    }
    vm_Put(b, region | size, owner);
    pool.rover = b + size;

    void* data = b + VM_HEADER_SIZE;
    if (owner) {
        owner->obj = data;
        owner->age = ++pool.clock;
    }
    return data;
}

void* VM_Malloc(uint32_t size, VM_OWNER* owner, bool discard)
{
    // The needed size, header included, must fit the control word's 24 bits.
    if (pool.count == 0 || size > VM_SIZE_MASK - VM_HEADER_SIZE - 3) return nullptr;
    uint32_t needed = ((size + 3) & ~3u) + VM_HEADER_SIZE;

    uint8_t* start = pool.rover;
    uint8_t* found = nullptr;
    bool can_discard = false;
    for (uint8_t* b = start;;) {
        MCBL h = vm_Get(b);
        bool over_start = false;
        if (vm_IsFree(h)) {
            over_start = vm_Merge(b, start);
            if (vm_Size(vm_Get(b)) >= needed) {
                found = b;
                break;
            }
        } else if (discard && h.owner) {
            can_discard = true;
        }
        uint8_t* next = vm_Next(b);
        if (over_start || next == start) break;
        b = next;
    }

    if (!found && can_discard) found = vm_DiscardMem(needed);
    if (!found) return nullptr;
    return vm_Take(found, needed, owner);
}

void VM_Touch(VM_OWNER* owner)
{
    if (owner) owner->age = ++pool.clock;
}

void VM_Free(void* mem)
{
    uint8_t* b = vm_Header(mem);
    if (!b) return;
    MCBL h = vm_Get(b);
    if (vm_IsFree(h)) return;
    if (h.owner) h.owner->obj = nullptr;
    vm_Put(b, h.control | VM_FREE, nullptr);
    vm_Merge(b, nullptr);
    pool.rover = b;
}

void VM_Lock(void* mem)
{
    uint8_t* b = vm_Header(mem);
    if (!b) return;
    MCBL h = vm_Get(b);
    if (vm_IsFree(h)) return;
    vm_Put(b, h.control, nullptr);
}

void VM_Unlock(void* mem, VM_OWNER* owner)
{
    uint8_t* b = vm_Header(mem);
    if (!b) return;
    MCBL h = vm_Get(b);
    if (vm_IsFree(h)) return;
    if (owner) {
        owner->obj = mem;
        owner->age = pool.clock;
    }
    vm_Put(b, h.control, owner);
}

// Memory cache: large regions carved into blocks for archive items. A block tied to an
// owner may be reclaimed at any allocation (least recently used first); blocks without
// an owner are pinned.
#pragma once

#include <cstdint>

struct VM_OWNER {
    void* obj;      // the block's data; the cache writes null when it takes the block away
    uint32_t age;   // use stamp: larger is more recently used
};

int VM_InitMemory(void* memory, uint32_t size);
void* VM_Malloc(uint32_t size, VM_OWNER* owner, bool discard);
void VM_Touch(VM_OWNER* owner);
void VM_Free(void* mem);
void VM_Lock(void* mem);
void VM_Unlock(void* mem, VM_OWNER* owner);

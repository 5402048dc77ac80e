#include "res/vmemapi.h"

int VM_InitMemory(void*, uint32_t) { return 0; }
void* VM_Malloc(uint32_t, VM_OWNER*, bool) { return nullptr; }
void VM_Touch(VM_OWNER*) {}
void VM_Free(void*) {}
void VM_Lock(void*) {}
void VM_Unlock(void*, VM_OWNER*) {}

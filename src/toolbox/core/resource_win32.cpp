#include <windows.h>

#include <cstring>

#include "toolbox/core/resource.h"

RelocatableBlock LoadCustomResource(uint32_t type, int32_t number) {
    char name[5] = {char(type >> 24), char(type >> 16), char(type >> 8), char(type), 0};
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(number), name);
    if (!found) return nullptr;
    DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return nullptr;
    const void* bytes = LockResource(loaded);
    RelocatableBlock block = nullptr;
    if (bytes) {
        block = NewRelocatableBlock(nullptr, int32_t(size));
        if (block && size > 0) {
            std::memcpy(HeapHandleLock(block), bytes, size);
            HeapHandleUnlock(block);
        }
    }
    FreeResource(loaded);
    return block;
}

void ReleaseCustomResource(RelocatableBlock block) {
    if (block) HeapHandleFree(block);
}

#include <windows.h>

#include <cstring>

#include "toolbox/core/resource.h"

RelocatableBlock LoadCustomResource(uint32_t type, int32_t number) {
    char name[5] = {char(type >> 24), char(type >> 16), char(type >> 8), char(type), 0};
    // The system's standard types are numbers, the program's own names.
    const char* typeName = type <= kResourceTypeStandardMax ? MAKEINTRESOURCEA(type) : name;
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(number), typeName);
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

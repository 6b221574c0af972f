// Natively the program's custom resources are the registry's.
#include "headless/headless.h"
#include "toolbox/core/resource.h"

RelocatableBlock LoadCustomResource(uint32_t type, int32_t number) {
    return HeadlessLoadResource(type, number);
}

void ReleaseCustomResource(RelocatableBlock block) {
    if (block) HeapHandleFree(block);
}

// The memory stream over fmemopen (a temporary file when empty).
#include <cstdio>

#include "headless/ascio.h"

std::FILE* HeadlessMemoryStream(const void* bytes, size_t size) {
    if (size == 0) return std::tmpfile();
    return fmemopen(const_cast<void*>(bytes), size, "rb");
}

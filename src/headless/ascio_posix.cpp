// The memory stream over fmemopen (a temporary file when empty).
#include <cstdio>

#include "headless/ascio.h"

std::FILE* HeadlessTempFile() {
    return std::tmpfile();
}

std::FILE* HeadlessMemoryStream(const void* bytes, size_t size) {
    if (size == 0) return HeadlessTempFile();
    return fmemopen(const_cast<void*>(bytes), size, "rb");
}

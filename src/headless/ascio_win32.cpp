// The memory stream as a temporary file holding a copy of the bytes.
#include <cstdio>

#include "headless/ascio.h"

std::FILE* HeadlessMemoryStream(const void* bytes, size_t size) {
    std::FILE* f = std::tmpfile();
    if (!f) return nullptr;
    if (size && std::fwrite(bytes, 1, size, f) != size) {
        std::fclose(f);
        return nullptr;
    }
    std::rewind(f);
    return f;
}

#include <windows.h>
#include <io.h>

#include <cstdio>

#include "headless/headless.h"

std::string HeadlessExecutableFolder() {
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return ".";
    path[n] = 0;
    std::string p(path);
    size_t slash = p.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    return p.substr(0, slash);
}

int32_t HeadlessTruncateFile(void* stdioFile, int64_t length) {
    std::FILE* f = static_cast<std::FILE*>(stdioFile);
    std::fflush(f);
    return _chsize_s(_fileno(f), length) == 0 ? 0 : 5;
}

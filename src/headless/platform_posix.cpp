#include <unistd.h>

#include <climits>
#include <cstdio>

#include "headless/headless.h"

std::string HeadlessExecutableFolder() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    path[n] = 0;
    std::string p(path);
    size_t slash = p.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : p.substr(0, slash);
}

int32_t HeadlessTruncateFile(void* stdioFile, int64_t length) {
    std::FILE* f = static_cast<std::FILE*>(stdioFile);
    std::fflush(f);
    return ftruncate(fileno(f), off_t(length)) == 0 ? 0 : 5;
}

// The memory stream as a temporary file holding a copy of the bytes. The
// C runtime's tmpfile picks a name, deletes it and opens it again without
// asking for a new file, so programs running side by side could end up in
// one file; this one names the file by process, tick and serial and
// creates it only when it does not exist.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "headless/ascio.h"

std::FILE* HeadlessTempFile() {
    char folder[MAX_PATH + 1];
    DWORD len = GetTempPathA(sizeof folder, folder);
    if (len == 0 || len > MAX_PATH) return nullptr;
    static unsigned serial = 0;
    const unsigned kTries = 100;
    for (unsigned i = 0; i < kTries; i++) {
        std::string path = std::string(folder) + "plv_" + std::to_string(GetCurrentProcessId()) +
                           "_" + std::to_string(GetTickCount()) + "_" + std::to_string(++serial) +
                           ".tmp";
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return nullptr;
        }
        int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDWR | _O_BINARY);
        if (fd < 0) {
            CloseHandle(h);
            return nullptr;
        }
        std::FILE* f = _fdopen(fd, "w+b");
        if (!f) _close(fd);
        return f;
    }
    return nullptr;
}

std::FILE* HeadlessMemoryStream(const void* bytes, size_t size) {
    std::FILE* f = HeadlessTempFile();
    if (!f) return nullptr;
    if (size && std::fwrite(bytes, 1, size, f) != size) {
        std::fclose(f);
        return nullptr;
    }
    std::rewind(f);
    return f;
}

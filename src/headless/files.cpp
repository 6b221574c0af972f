// The toolbox's file services in their smallest portable form: a file
// specification names folder + "/" + name; type and creator live in the
// spec only. Open handles are stdio files.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "db/shellsvc.h"
#include "headless/ascio.h"
#include "headless/headless.h"

namespace {

std::string s_appFolder;

struct HeadlessFile {
    std::FILE* f;
};

std::string PathOf(const FileSpec* spec) {
    std::string path = spec->folder;
    if (spec->name[0]) {
        if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
        path += spec->name;
    }
    return path;
}

int32_t ErrnoCode() {
    return errno ? int32_t(errno) : 5;
}

} // namespace

void HeadlessSetApplicationFolder(const char* folder) {
    s_appFolder = folder ? folder : "";
}

void ApplicationFolderSpec(FileSpec* out) {
    std::memset(out, 0, sizeof *out);
    std::string folder = s_appFolder.empty() ? HeadlessExecutableFolder() : s_appFolder;
    std::snprintf(out->folder, sizeof out->folder, "%s", folder.c_str());
    std::snprintf(out->name, sizeof out->name, "%s", "Pelvane");
}

bool FileSpecExists(const FileSpec* spec, bool* isFolder) {
    if (isFolder) *isFolder = false;
    if (!spec->folder[0]) return false;
    std::error_code ec;
    std::filesystem::file_status st = std::filesystem::status(PathOf(spec), ec);
    if (ec || !std::filesystem::exists(st)) return false;
    if (isFolder) *isFolder = std::filesystem::is_directory(st);
    return true;
}

int32_t CreateFileSpec(FileSpec* spec, const char* creator, const char* type, int32_t) {
    std::memset(spec->creator, 0, sizeof spec->creator);
    for (int i = 0; creator && i < 4 && creator[i]; ++i)
        spec->creator[i] = creator[i];
    std::snprintf(spec->type, sizeof spec->type, "%s", type ? type : "");
    if (!spec->folder[0]) return 3;
    errno = 0;
    std::FILE* f = std::fopen(PathOf(spec).c_str(), "ab");
    if (!f) return ErrnoCode();
    std::fclose(f);
    return 0;
}

std::FILE* OpenFileSpecCFile(const FileSpec* spec, const char* mode) {
    if (std::FILE* memory = HeadlessOpenMemoryFile(spec, mode)) return memory;
    if (!spec->folder[0]) return nullptr;
    return std::fopen(PathOf(spec).c_str(), mode);
}

int32_t OpenFileSpecHandle(const FileSpec* spec, int32_t readOnly, FileHandle* out) {
    *out = nullptr;
    if (!spec->folder[0]) return 3;
    errno = 0;
    std::FILE* f = std::fopen(PathOf(spec).c_str(), readOnly ? "rb" : "r+b");
    if (!f) return ErrnoCode();
    *out = new HeadlessFile{f};
    return 0;
}

// Keeps the position unless it lay beyond the new end, which it then is.
int32_t SetFileLength(FileHandle handle, int32_t length) {
    if (!handle) return 6;
    int32_t at = 0;
    if (int32_t err = GetFilePosition(handle, &at)) return err;
    std::FILE* f = static_cast<HeadlessFile*>(handle)->f;
    int32_t err = HeadlessTruncateFile(f, length);
    std::fseek(f, at < length ? at : length, SEEK_SET);
    return err;
}

int32_t CloseFileHandle(FileHandle handle, int32_t close, int32_t flush) {
    if (!handle) return 6;
    HeadlessFile* h = static_cast<HeadlessFile*>(handle);
    int32_t result = 0;
    if (flush && std::fflush(h->f) != 0) result = ErrnoCode();
    if (close) {
        if (std::fclose(h->f) != 0 && result == 0) result = ErrnoCode();
        delete h;
    }
    return result;
}

// The handle operations run on the stdio file. A position or length
// beyond 32 bits is refused as an illegal parameter.
int32_t ReadFileBytes(FileHandle handle, void* buffer, int32_t* count) {
    if (!handle) return 6;
    if (*count <= 0) {
        *count = 0;
        return 0;
    }
    std::FILE* f = static_cast<HeadlessFile*>(handle)->f;
    size_t want = size_t(*count);
    size_t got = std::fread(buffer, 1, want, f);
    *count = int32_t(got);
    if (got < want) return std::ferror(f) ? ErrnoCode() : kFileErrEndOfFile;
    return 0;
}

int32_t WriteFileBytes(FileHandle handle, const void* buffer, int32_t* count) {
    if (!handle) return 6;
    if (*count <= 0) {
        *count = 0;
        return 0;
    }
    std::FILE* f = static_cast<HeadlessFile*>(handle)->f;
    errno = 0;
    size_t put = std::fwrite(buffer, 1, size_t(*count), f);
    *count = int32_t(put);
    return put < size_t(*count) || std::fflush(f) != 0 ? ErrnoCode() : 0;
}

int32_t GetFilePosition(FileHandle handle, int32_t* position) {
    *position = 0;
    if (!handle) return 6;
    long at = std::ftell(static_cast<HeadlessFile*>(handle)->f);
    if (at < 0 || at > INT32_MAX) return 87;
    *position = int32_t(at);
    return 0;
}

int32_t SetFilePosition(FileHandle handle, int32_t offset, int32_t relative) {
    if (!handle) return 6;
    std::FILE* f = static_cast<HeadlessFile*>(handle)->f;
    return std::fseek(f, offset, relative ? SEEK_CUR : SEEK_SET) == 0 ? 0 : 131;
}

int32_t GetFileLength(FileHandle handle, int32_t* length) {
    *length = 0;
    if (!handle) return 6;
    std::FILE* f = static_cast<HeadlessFile*>(handle)->f;
    long at = std::ftell(f);
    if (at < 0 || std::fseek(f, 0, SEEK_END) != 0) return 87;
    long end = std::ftell(f);
    std::fseek(f, at, SEEK_SET);
    if (end < 0 || end > INT32_MAX) return 87;
    *length = int32_t(end);
    return 0;
}

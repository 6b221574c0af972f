// The toolbox's file services in their smallest portable form: a file
// specification names folder + "/" + name; type and creator are ignored.
#include <cerrno>
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

int32_t OpenFileSpec(FileSpec* spec, uint32_t, uint32_t, int32_t) {
    if (!spec->folder[0]) return 3;
    errno = 0;
    std::FILE* f = std::fopen(PathOf(spec).c_str(), "ab");
    if (!f) return ErrnoCode();
    std::fclose(f);
    return 0;
}

std::FILE* FileSpecOpenStream(const FileSpec* spec, const char* mode) {
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

int32_t SetFileLength(FileHandle handle, int32_t length) {
    if (!handle) return 6;
    return HeadlessTruncateFile(static_cast<HeadlessFile*>(handle)->f, length);
}

int32_t CloseFileHandle(FileHandle handle, int32_t close, int32_t flush) {
    if (!handle) return 6;
    HeadlessFile* h = static_cast<HeadlessFile*>(handle);
    if (flush) std::fflush(h->f);
    if (close) {
        std::fclose(h->f);
        delete h;
    }
    return 0;
}

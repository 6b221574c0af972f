// File aliases over the file layer, and the application folder kept as an
// alias made on first use from the executable's own path.
//
// An alias made from a FileSpec whose folder cannot be entered holds the mark
// 0 and an empty path; resolving clears the FileSpec on every failure.
#include <windows.h>

#include <cstring>
#include <string>

#include "toolbox/ui/filealias.h"

namespace {

constexpr int32_t kMarkBytes = 4;
constexpr char kApplicationName[] = "Pelvane";

// Valid: not empty and its folder can be entered (the current folder is
// given back at once).
bool IsValidSpec(const FileSpec* spec) {
    char prev[kFileSpecFolderSize];
    if (FileSpecValidate(spec, prev) != 0) return false;
    if (prev[0]) {
        std::string back = prev;
        if (back.size() == 2 && back[1] == ':') back += '\\';
        SetCurrentDirectoryA(back.c_str());
    }
    return true;
}

FileAlias s_applicationFolder = nullptr;

} // namespace

FileAlias FileAliasNew(const FileSpec* spec) {
    int32_t mark = kAliasInvalid;
    std::string path;
    if (spec && IsValidSpec(spec)) {
        mark = kAliasHoldsPath;
        path = spec->folder;
        if (spec->name[0]) path += std::string("\\") + spec->name;
    }
    int32_t size = kMarkBytes + int32_t(path.size()) + 1;
    FileAlias alias = NewRelocatableBlockClear(nullptr, size);
    if (!alias) return nullptr;
    uint8_t* p = static_cast<uint8_t*>(HeapHandleLock(alias));
    std::memcpy(p, &mark, kMarkBytes);
    std::memcpy(p + kMarkBytes, path.c_str(), path.size() + 1);
    HeapHandleUnlock(alias);
    return alias;
}

int32_t FileAliasResolve(FileAlias alias, FileSpec* out) {
    std::memset(out, 0, sizeof *out);
    int32_t mark = kAliasInvalid;
    std::string path;
    if (alias && RelocatableBlockSize(alias) > kMarkBytes) {
        const uint8_t* p = static_cast<const uint8_t*>(HeapHandleLock(alias));
        std::memcpy(&mark, p, kMarkBytes);
        const char* text = reinterpret_cast<const char*>(p + kMarkBytes);
        path.assign(text, strnlen(text, size_t(RelocatableBlockSize(alias) - kMarkBytes)));
        HeapHandleUnlock(alias);
    }
    if (mark != kAliasHoldsPath) return kAliasErrNoPath;
    char leaf[kFileSpecNameSize];
    if (path.size() >= size_t(kFileSpecFolderSize) || !FolderLeafName(path.c_str(), leaf))
        return kFileErrPathNotFound;
    std::memcpy(out->folder, path.c_str(), path.size() + 1);
    return 0;
}

void ApplicationFolderSpec(FileSpec* out) {
    if (!s_applicationFolder) {
        char exe[MAX_PATH + 1] = {};
        DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
        FileSpec spec;
        if (n == 0 || n >= MAX_PATH || !ResolvePath(nullptr, exe, &spec))
            std::memset(&spec, 0, sizeof spec);
        spec.name[0] = 0;
        s_applicationFolder = FileAliasNew(&spec);
    }
    if (!s_applicationFolder || FileAliasResolve(s_applicationFolder, out) != 0)
        std::memset(out, 0, sizeof *out);
    std::memcpy(out->name, kApplicationName, sizeof kApplicationName);
}

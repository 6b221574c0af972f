// The shell's defaults without native windows or a file system to ask.
#include <cstring>

#include "toolbox/core/shelldefaults.h"

bool FrontIsModalDialog() {
    return false;
}

PathKind PathKindOf(const char* path) {
    size_t length = path ? std::strlen(path) : 0;
    if (length == 0) return PathKind::Missing;
    return path[length - 1] == '\\' ? PathKind::Folder : PathKind::File;
}

RelocatableBlock ClipboardScrap() {
    return nullptr;
}

// Reading the open chooser's buffer. The several-files form is told from
// the single path by a second non-empty text after the first zero.
#include "toolbox/ui/chooserbuffer.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// The zero-ended text at `at`, bounded by the buffer's end.
std::string TextAt(const char* buffer, int32_t size, int32_t at) {
    int32_t end = at;
    while (end < size && buffer[end] != 0)
        ++end;
    return std::string(buffer + at, size_t(end - at));
}

} // namespace

int32_t ChooserFailureCode(uint32_t extendedError) {
    return extendedError == 0 ? kFileErrCancelled : int32_t(extendedError);
}

bool ChosenPathSpec(const char* path, int32_t extensionOffset, FileSpec* spec) {
    if (!ResolvePath(nullptr, path, spec) || FileSpecIsEmpty(spec)) return false;
    spec->type[0] = 0;
    int32_t length = int32_t(std::strlen(path));
    if (extensionOffset > 0 && extensionOffset < length) {
        std::strncpy(spec->type, path + extensionOffset, size_t(kChosenTypeChars));
        spec->type[kChosenTypeChars] = 0;
    }
    return true;
}

int32_t DeliverChosenFiles(const char* buffer, int32_t size, int32_t extensionOffset,
                           ChosenFileProc procedure, void* userData) {
    if (!buffer || size <= 0) return 0;
    std::string first = TextAt(buffer, size, 0);
    std::vector<std::string> names;
    for (int32_t at = int32_t(first.size()) + 1; at < size;) {
        std::string name = TextAt(buffer, size, at);
        if (name.empty()) break;
        at += int32_t(name.size()) + 1;
        names.push_back(name);
    }
    FileSpec spec{};
    if (names.empty()) {
        if (!ChosenPathSpec(first.c_str(), extensionOffset, &spec)) return kFileErrPathTooLong;
        return procedure(&spec, 0, 1, userData);
    }
    // The folder keeps no trailing backslash ("C:" for a drive's root).
    while (first.size() > 2 && first.back() == '\\')
        first.pop_back();
    if (first.size() >= 2 && first.size() <= 3 && first[1] == ':') first.resize(2);
    if (first.empty() || first.size() >= size_t(kFileSpecFolderSize)) return kFileErrPathTooLong;
    std::memcpy(spec.folder, first.c_str(), first.size() + 1);
    int32_t count = int32_t(names.size());
    for (int32_t i = 0; i < count; ++i) {
        std::strncpy(spec.name, names[size_t(i)].c_str(), sizeof spec.name - 1);
        spec.name[sizeof spec.name - 1] = 0;
        if (int32_t result = procedure(&spec, i, count, userData)) return result;
    }
    return 0;
}

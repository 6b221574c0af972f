// The file specification of a path, for the native tools: the folder and
// the file name, every other field empty.
#pragma once
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "db/shellsvc.h"

inline FileSpec SpecOf(const std::filesystem::path& path) {
    FileSpec spec;
    std::memset(&spec, 0, sizeof spec);
    std::snprintf(spec.folder, sizeof spec.folder, "%s", path.parent_path().string().c_str());
    std::snprintf(spec.name, sizeof spec.name, "%s", path.filename().string().c_str());
    return spec;
}

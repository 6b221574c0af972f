// File aliases: a file specification remembered as a path, so that it can
// be found again later (the application folder, the folders the file
// choosers last used).
#pragma once
#include <cstdint>

#include "toolbox/core/filespec.h"
#include "toolbox/core/memblock.h"

// A relocatable block: a 32-bit mark (machine order), then the path and
// its zero. Mark -1: the alias holds a path; 0: it was made from an
// invalid spec (empty path). An alias made without a spec is 5 zero bytes.
typedef RelocatableBlock FileAlias;
constexpr int32_t kAliasHoldsPath = -1;
constexpr int32_t kAliasInvalid = 0;
// FileAliasResolve on an alias that holds no path.
constexpr int32_t kAliasErrNoPath = 15;

// A new alias (null when memory runs out). The path is the folder, then a
// backslash and the name when the name is not empty.
FileAlias FileAliasNew(const FileSpec* spec);
// Puts the path into out's folder (name empty): 0 when it names an
// existing folder, 3 when not, 15 for an alias without a path; any
// result but 0 leaves out cleared.
int32_t FileAliasResolve(FileAlias alias, FileSpec* out);

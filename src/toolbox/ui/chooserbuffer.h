// The open chooser's name buffer read by its form: a folder followed by
// names (each ended by one zero, the list by a second) or one full path.
// The chosen files are handed one by one to the caller's procedure.
//
// Guarantees: the buffer is never read past its size; a name is cut at
// 255 characters; a single path is resolved like any path and typed with
// its extension without the dot, at most 23 characters; the first
// non-zero answer of the procedure stops the calls and is returned.
#pragma once
#include <cstdint>

#include "toolbox/core/filespec.h"

// Called per chosen file with its spec, its index from 0 and the count.
typedef int32_t (*ChosenFileProc)(FileSpec* spec, int32_t index, int32_t count, void* userData);

// Characters kept of the chosen file's type.
constexpr int32_t kChosenTypeChars = kFileSpecTypeSize - 1;

// The chosen files of buffer (size bytes). extensionOffset: where the
// single path's extension begins, as the chooser reports it (0: none).
// Answers 0, the procedure's first non-zero answer, or kFileErrPathTooLong
// for a folder or path that does not fit a spec.
int32_t DeliverChosenFiles(const char* buffer, int32_t size, int32_t extensionOffset,
                           ChosenFileProc procedure, void* userData);
// The result of a chooser that did not confirm: 995 when the user
// cancelled (the system reports no error), else the system's error code,
// so that a chooser that could not hold the chosen names is not taken for
// a cancel.
int32_t ChooserFailureCode(uint32_t extendedError);
// A spec made from a full path, typed with the extension at
// extensionOffset (0: no type). False when the path does not fit a spec.
bool ChosenPathSpec(const char* path, int32_t extensionOffset, FileSpec* spec);

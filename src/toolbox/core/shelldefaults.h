// What the shell assumes of the system until the dialog, file and
// clipboard layers install their own procedures: the front window is a
// modal dialog when its class bit is the modal one, a path names a file,
// a folder or nothing, and the clipboard scrap is an empty block.
#pragma once
#include <cstdint>

#include "toolbox/core/filespec.h"
#include "toolbox/core/memblock.h"

enum class PathKind { Missing, File, Folder };

// The front window has the modal class bit (natively there is no native
// window: false).
bool FrontIsModalDialog();
// Win32 asks the file system; natively a path ending in a backslash is a
// folder and any other non-empty path a file.
PathKind PathKindOf(const char* path);
// A zeroed FileSpec split at the path's last backslash; the type is "Fldr"
// for a folder, else the name's extension with its dot. False for a
// missing path or parts too long for the FileSpec's fields.
bool FileSpecFromPath(const char* path, PathKind kind, FileSpec* out);
// The empty relocatable block the toolbox start-up makes (null before).
RelocatableBlock ClipboardScrap();

// The shell's defaults over Win32: the front window's class bit and the
// file system's answer for a path.
#include <windows.h>

#include "toolbox/core/shelldefaults.h"
#include "toolbox/core/windowobject_win32.h"

bool FrontIsModalDialog() {
    NativeWindowRecord* front = FrontWindowOfClass(kClassTitledDocument | kClassFloating |
                                                   kClassModal | kClassTool | kClassUntitled);
    return front && NativeWindowClassBit(front) == kClassModal;
}

PathKind PathKindOf(const char* path) {
    if (!path || !*path) return PathKind::Missing;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
}

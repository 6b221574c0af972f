// The process entry of pelvane.exe: the program's Windows entry with the
// module's instance; its result is the exit code.
#include <windows.h>

#include "shell/appmain_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return AppWinMain(instance);
}

// The shell's start over Win32: memory and try frames, the version
// refusal, the main frame with the menu hook, the shell's procedures and
// the application's menu bar.
#include <windows.h>

#include <cstdio>

#include "toolbox/core/menubar.h"
#include "toolbox/core/menulist.h"
#include "toolbox/core/menutrack_win32.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/shellstart.h"
#include "toolbox/core/systemversion_win32.h"
#include "toolbox/core/tryframe.h"
#include "toolbox/core/versioncheck.h"

namespace {

constexpr size_t kNameRoom = 256;
constexpr uint16_t kFlushEverything = 0xFFFF;

char g_name[kNameRoom] = "";
bool g_started = false;

void RefuseOldSystems() {
    const OSVERSIONINFOA& v = SystemVersion();
    bool nine = v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    if (SystemVersionAccepted(v.dwMajorVersion, v.dwMinorVersion, nine)) return;
    MessageBoxA(nullptr, kOldSystemMessage, g_name, MB_ICONERROR);
    ExitProcess(kRefusedExitCode);
}

} // namespace

const char* ApplicationName() {
    return g_name;
}

void InitApplicationShell(const char* name, int32_t barId) {
    if (g_started) return;
    g_started = true;
    MemInit(0, kShellHandleSlots);
    InitTryFrames(0);
    std::snprintf(g_name, sizeof g_name, "%s", name ? name : kDefaultApplicationName);
    RefuseOldSystems();
    CreateMainFrame();
    InstallMenuHook();
    InstallShellProcedures();
    FlushOsEvents(kFlushEverything, 0);
    if (barId != 0) {
        if (SavedMenuBar* bar = MenuBarNew(barId)) {
            MenuBarSet(bar);
            DisposeMenuBarList(bar);
        }
        RedrawMenuBar();
    }
}

// The shell's start over Win32: memory and try frames, the version
// refusal, the main frame with the menu hook, the shell's procedures and
// the application's menu bar.
#include <windows.h>

#include <cstdio>

#include "toolbox/core/comstart.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/helptagpopup.h"
#include "toolbox/core/menubar.h"
#include "toolbox/core/menulist.h"
#include "toolbox/core/menutrack_win32.h"
#include "toolbox/core/memblock.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/menusinit.h"
#include "toolbox/core/shellcommands.h"
#include "toolbox/core/shelldefaults.h"
#include "toolbox/core/shellstart.h"
#include "toolbox/core/systemversion_win32.h"
#include "toolbox/core/tryframe.h"
#include "toolbox/core/versioncheck.h"
#include "toolbox/core/windowobject_win32.h"

namespace {

constexpr size_t kNameRoom = 256;

char g_name[kNameRoom] = "";
bool g_started = false;
bool g_toolboxStarted = false;
RelocatableBlock g_scrap = nullptr;

void RefuseOldSystems() {
    const OSVERSIONINFOA& v = SystemVersion();
    bool nine = v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    if (SystemVersionAccepted(v.dwMajorVersion, v.dwMinorVersion, nine)) return;
    MessageBoxA(nullptr, kOldSystemMessage, g_name, MB_ICONERROR);
    ExitProcess(kRefusedExitCode);
}

void MakeFrame() {
    CreateMainFrame();
}

int32_t ScrollBarWidth() {
    return GetSystemMetrics(SM_CXVSCROLL);
}

// The native steps of the start-up; the drawing half of the toolbox fills
// in its own entries before the shell starts.
void InstallNativeStartProcs() {
    ToolboxStartProcs procs = ToolboxStart();
    if (!procs.makeFrame) procs.makeFrame = &MakeFrame;
    if (!procs.installMenuHook) procs.installMenuHook = &InstallMenuHook;
    if (!procs.scrollBarWidth) procs.scrollBarWidth = &ScrollBarWidth;
    SetToolboxStartProcs(&procs);
}

// Once per process: the version refusal, the main frame with the native
// window, event loop and window-object layers wired to it, its menu hook,
// and an empty clipboard scrap.
void ToolboxStartup() {
    if (g_toolboxStarted) return;
    g_toolboxStarted = true;
    RefuseOldSystems();
    RunToolboxStep(ToolboxStart().makeFrame);
    InstallNativeWindowHooks();
    InstallEventLoopHandlers();
    InstallWindowObjectLayer();
    RunToolboxStep(ToolboxStart().installMenuHook);
    g_scrap = NewRelocatableBlock(nullptr, 0);
}

} // namespace

const char* ApplicationName() {
    return g_name;
}

RelocatableBlock ClipboardScrap() {
    return g_scrap;
}

void InitApplicationShell(const char* name, int32_t barId) {
    if (g_started) return;
    g_started = true;
    MemInit(0, kShellHandleSlots);
    InitTryFrames(0);
    std::snprintf(g_name, sizeof g_name, "%s", name ? name : kDefaultApplicationName);
    InstallNativeStartProcs();
    RunToolboxStep(ToolboxStart().fillStandardProcs);
    ToolboxStartup();
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    SetShellBackgroundColour(uint32_t(GetRValue(face)) << 16 | uint32_t(GetGValue(face)) << 8 |
                             GetBValue(face));
    StartShellAfterFrame(barId);
    SetShellLoopEndProc(&StopApplicationCom);
    InstallHelpTagPopup();
}

// The process entry's start: process facts, common controls, COM, the
// single-instance check, the start-up requests and the application's main
// routine, then the frame's end.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "toolbox/core/applicationstart.h"
#include "toolbox/core/comstart.h"
#include "toolbox/core/commandline.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/startuprequest.h"
#include "toolbox/core/systemversion_win32.h"

namespace {

constexpr uint32_t kOpenApplicationBlock = 0;

} // namespace

int32_t ApplicationStart(void*, const char* name, int32_t frameOption, const char* mutexName) {
    SetCurrentProcessIdValue(GetCurrentProcessId());
    SystemVersion();
    SetMainFrameParameters(name, frameOption, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, true);
    InitCommonControls();
    InstallCommandLineProcs();
    if (mutexName) SingleInstanceCheck(mutexName);
    if (!QueueCommandLineRequests(GetCommandLineA(), false)) {
        if (StartupRequest* request = AllocStartupBlock(kOpenApplicationBlock)) {
            request->kind = kStartupOpenApplication;
            if (!QueueStartupRequest(kStartupOpenApplication, request)) FreeStartupBlock(request);
        }
    }
    StartApplicationCom();
    int32_t result = AppMain();
    if (HWND frame = FrameWindowHandle(); frame && IsWindow(frame)) DestroyWindow(frame);
    return result;
}

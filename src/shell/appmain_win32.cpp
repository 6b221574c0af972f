// The program's start and hand-over to the loop. AppMain registers the
// command hook, the menu-enable callback and the five request handlers,
// allocates the run options and stamps the reference time; AppRun starts
// the application (maximised frame, catalogue and pools, stroke font, rule
// checker, the Design view and an empty database), pushes the application
// event handler, installs the 3,333 ms frame timer and runs the loop;
// the orderly shut-down follows it. A start that cannot complete answers 2
// and runs no loop.
#include "shell/appmain_win32.h"

#include <windows.h>

#include "db/db.h"
#include "db/err.h"
#include "db/font.h"
#include "db/runopt.h"
#include "rules/rulesinstall.h"
#include "shell/fileopen.h"
#include "shell/frame.h"
#include "shell/frametimer.h"
#include "shell/msgline.h"
#include "shell/shellids.h"
#include "shell/shellstate.h"
#include "shell/toolboxevents_win32.h"
#include "shell/toolboxhost_win32.h"
#include "shell/views.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/shellcommands.h"
#include "toolbox/core/shellrequests.h"
#include "toolbox/core/shellstart.h"
#include "toolbox/core/timertask.h"
#include "toolbox/ui/gdicontext.h"

namespace {

const char kAppName[] = "Pelvane";
const char kMutexName[] = "Pelvane MUTEX";
enum : int32_t {
    kMenuBar = 1,
    kSingleInstance = 1,
    kTimerDefer = 1,
};

ViewTimer* s_frameTimer = nullptr;

void FrameTimerProc(ViewTimer*, void*) {
    FrameTimer(kFrameTimerCall);
}

// The menus' enabling comes with the menus; until then nothing is answered
// here and the toolbox's standard entry decides.
bool FrameMenuEnable(CommandQuery*) {
    return false;
}

void DropDocument(const FileSpec* spec, WindowObject*, int16_t, int16_t) {
    DropDocumentEvent(spec);
}

} // namespace

int32_t AppWinMain(void* instance) {
    return ApplicationStart(instance, kAppName, kSingleInstance, kMutexName);
}

int32_t AppMain() {
    InstallDrawingLayer();
    InitApplicationShell(kAppName, kMenuBar);
    ToolboxShellHostInstall();
    SetCommandHook(&FrameCommandCallback);
    SetMenuEnableCallback(nullptr, &FrameMenuEnable);
    InstallCoreEventHandlers(&OpenApplicationEvent, &OpenDocumentEvent, &PrintDocumentsEvent,
                             &QuitEvent, &DropDocument);
    ParseInit();
    TimeStampReset();
    int32_t result = AppRun();
    ParseClose();
    return result;
}

int32_t AppRun() {
    if (AppInit() != 1) return kExitStartFailed;
    EventTypeSpec kinds[] = {{FourCC("mous"), 1}, {kPostedEventClass, kPostedEventKindAppC}};
    EventReceiverPushHandler(ApplicationEventReceiver(), &FrameAppEvent, 2, kinds, nullptr,
                             nullptr);
    if (ViewTimerInstall(kFrameTimerMs, kTimerDefer, &FrameTimerProc, nullptr, &s_frameTimer) ==
        0) {
        ToolboxFrameTimerSet(s_frameTimer);
        FrameTimerSetInstalled(true);
    }
    RunApplication();
    FrameShutDown();
    return kExitNormal;
}

int32_t AppInit() {
    ShowWindow(FrameWindowHandle(), SW_SHOWMAXIMIZED);
    if (!MessagesInit(&EmergencyShutdown)) return 0;
    FrameSetStarted(true);
    DebugSetFlags(0, 0);
    DbRegisterBuiltins();
    FontLoad();
    RulesInstall();
    ViewInstall(kKindDesign);
    ViewRefresh(true);
    DbFree();
    CursorKindSet(kCursorNormal);
    return 1;
}

// MenusInitialise's thirteen steps. Handlers go on the receivers here: the
// shell's key handler in front of the toolbox's on the application's
// receiver, the shell's application handler on the application level.
#include "toolbox/core/menusinit.h"

#include "toolbox/core/eventconvert.h"
#include "toolbox/core/menubar.h"
#include "toolbox/core/menucommands.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/shellapphandler.h"
#include "toolbox/core/shellkeyhandler.h"
#include "toolbox/core/startuprequest.h"

namespace {

constexpr uint16_t kFlushEverything = 0xFFFF;

ToolboxGlobals g_globals{nullptr, {kToolboxUnsetValue, kToolboxUnsetValue}, 0, {}};
ToolboxStartProcs g_procs{};

const EventTypeSpec kKeyHandlerTypes[] = {
    {kEventClassHighLevel, kHighLevelKind},
    {kEventClassMouse, kMouseDownKind},
    {kEventClassKeyboard, kKeyDownKind},
    {kEventClassKeyboard, kKeyRepeatKind},
};
const EventTypeSpec kApplicationTypes[] = {
    {kEventClassApplication, kApplicationResumeKind},
    {kEventClassApplication, kApplicationSuspendKind},
    {kEventClassMouse, kMouseUpKind},
    {kEventClassMouse, kMouseMovedKind},
    {kEventClassKeyboard, kKeyModifiersChangedKind},
    {kEventClassMenu, kMenuEventTrackingStarts},
    {kEventClassMenu, kMenuEventTrackingEnds},
    {kEventClassMenu, kMenuEventOpening},
    {kEventClassCommand, kCommandEventProcess},
};

template <size_t N> int32_t CountOf(const EventTypeSpec (&)[N]) {
    return int32_t(N);
}

} // namespace

ToolboxGlobals& ToolboxGlobalBlock() {
    return g_globals;
}

void SetToolboxStartProcs(const ToolboxStartProcs* procs) {
    g_procs = procs ? *procs : ToolboxStartProcs{};
}

const ToolboxStartProcs& ToolboxStart() {
    return g_procs;
}

void RunToolboxStep(void (*procedure)()) {
    if (procedure) procedure();
}

int32_t AlwaysAgree() {
    return 1;
}

void MenusInitialise(int32_t flags) {
    if (g_globals.sharedRegion) DisposeRegion(g_globals.sharedRegion);
    g_globals = ToolboxGlobals{};
    if (!(flags & kMenusKeepFrame)) {
        RunToolboxStep(g_procs.makeFrame);
        RunToolboxStep(g_procs.installMenuHook);
    }
    RunToolboxStep(g_procs.setStandardCursor);
    if (MenuBarList* bar = LoadMenuBarList(kProgramMenuBarId)) {
        SetMenuBarList(bar);
        DisposeMenuBarList(bar);
    }
    RedrawMenuBar();
    g_globals.sharedRegion = NewRegion();
    g_globals.cachedValues[0] = kToolboxUnsetValue;
    g_globals.cachedValues[1] = kToolboxUnsetValue;
    EventReceiverPushHandler(ApplicationEventReceiver(), &ShellKeyHandler,
                             CountOf(kKeyHandlerTypes), kKeyHandlerTypes, nullptr, nullptr);
    EventReceiverPushHandler(ApplicationLevelReceiver(), &ShellApplicationHandler,
                             CountOf(kApplicationTypes), kApplicationTypes, nullptr, nullptr);
    if (g_procs.scrollBarWidth) g_globals.scrollBarWidth = g_procs.scrollBarWidth();
    if (g_procs.captureSettings) g_procs.captureSettings(&g_globals.defaultSettings);
    RunToolboxStep(g_procs.fillPortProcs);
    SetFrameCloseHook(&AlwaysAgree);
    FlushOsEvents(kFlushEverything, 0);
    RunToolboxStep(g_procs.loadCursors);
}

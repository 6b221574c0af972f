// The default answers of the loop's window and menu hooks.
#include "toolbox/core/loophooks.h"

#include "toolbox/core/hooktable.h"

namespace {
void* NoWindow() {
    return nullptr;
}
void NoDiscard(void*) {}
int16_t NoPart(Point16, void** window) {
    *window = nullptr;
    return kPartNone;
}
EventReceiver* NoReceiver(void*) {
    return nullptr;
}
int32_t NoModal(void*) {
    return 0;
}
void NoWindowAction(void*) {}
void NoMenuBarClick(Point16, uint32_t) {}
bool NoMenuKey(EventObject) {
    return false;
}

const LoopWindowHooks kDefaults{&NoWindow,       &NoWindow,       &NoDiscard, &NoPart,
                                &NoReceiver,     &NoModal,        &NoModal,   &NoWindowAction,
                                &NoWindowAction, &NoMenuBarClick, &NoMenuKey};
LoopWindowHooks g_hooks = kDefaults;

} // namespace

void SetLoopWindowHooks(const LoopWindowHooks* hooks) {
    LoopWindowHooks given = hooks ? *hooks : LoopWindowHooks{};
    PickProc(g_hooks.frontNonFloatingWindow, given.frontNonFloatingWindow,
             kDefaults.frontNonFloatingWindow);
    PickProc(g_hooks.firstWindowNeedingUpdate, given.firstWindowNeedingUpdate,
             kDefaults.firstWindowNeedingUpdate);
    PickProc(g_hooks.discardUpdate, given.discardUpdate, kDefaults.discardUpdate);
    PickProc(g_hooks.findWindowPart, given.findWindowPart, kDefaults.findWindowPart);
    PickProc(g_hooks.windowReceiver, given.windowReceiver, kDefaults.windowReceiver);
    PickProc(g_hooks.beginNativeModal, given.beginNativeModal, kDefaults.beginNativeModal);
    PickProc(g_hooks.endNativeModal, given.endNativeModal, kDefaults.endNativeModal);
    PickProc(g_hooks.retainWindow, given.retainWindow, kDefaults.retainWindow);
    PickProc(g_hooks.disposeWindow, given.disposeWindow, kDefaults.disposeWindow);
    PickProc(g_hooks.menuBarClick, given.menuBarClick, kDefaults.menuBarClick);
    PickProc(g_hooks.menuCommandKey, given.menuCommandKey, kDefaults.menuCommandKey);
}

const LoopWindowHooks& LoopHooks() {
    return g_hooks;
}

// The default answers of the loop's window and menu hooks.
#include "toolbox/core/loophooks.h"

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

template <typename T> void Pick(T& slot, T given, T fallback) {
    slot = given ? given : fallback;
}
} // namespace

void SetLoopWindowHooks(const LoopWindowHooks* hooks) {
    LoopWindowHooks given = hooks ? *hooks : LoopWindowHooks{};
    Pick(g_hooks.frontNonFloatingWindow, given.frontNonFloatingWindow,
         kDefaults.frontNonFloatingWindow);
    Pick(g_hooks.firstWindowNeedingUpdate, given.firstWindowNeedingUpdate,
         kDefaults.firstWindowNeedingUpdate);
    Pick(g_hooks.discardUpdate, given.discardUpdate, kDefaults.discardUpdate);
    Pick(g_hooks.findWindowPart, given.findWindowPart, kDefaults.findWindowPart);
    Pick(g_hooks.windowReceiver, given.windowReceiver, kDefaults.windowReceiver);
    Pick(g_hooks.beginNativeModal, given.beginNativeModal, kDefaults.beginNativeModal);
    Pick(g_hooks.endNativeModal, given.endNativeModal, kDefaults.endNativeModal);
    Pick(g_hooks.retainWindow, given.retainWindow, kDefaults.retainWindow);
    Pick(g_hooks.disposeWindow, given.disposeWindow, kDefaults.disposeWindow);
    Pick(g_hooks.menuBarClick, given.menuBarClick, kDefaults.menuBarClick);
    Pick(g_hooks.menuCommandKey, given.menuCommandKey, kDefaults.menuCommandKey);
}

const LoopWindowHooks& LoopHooks() {
    return g_hooks;
}

// The application-level handler of the shell. 'appl' 1 and 2 bring the
// application to the front and send it to the back; 'menu' 1 and 2 count
// menu tracking; 'menu' 8 takes the menus marked as the application's
// own; 'mous' 2 ends the last content click; 'mous' 5 is taken.
#include "toolbox/core/shellapphandler.h"

#include "toolbox/core/eventconvert.h"
#include "toolbox/core/eventloop.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/shellkeyhandler.h"
#include "toolbox/core/ticks.h"
#include "toolbox/core/eventtypes.h"
#include "toolbox/core/menucommands.h"
#include "toolbox/core/menurecord.h"
#include "toolbox/core/shellcommands.h"

namespace {

constexpr uint32_t kApplicationActivated = 1;
constexpr uint32_t kApplicationDeactivated = 2;
constexpr uint32_t kMenuTrackingBegins = 1;
constexpr uint32_t kMouseUp = 2;
constexpr uint32_t kMouseMovedOrDragged = 5;
constexpr uint32_t kAnyType = FourCC("****");
constexpr uint32_t kTypeCommand = FourCC("hcmd");

void Nothing() {}
void NoSuspend(uint8_t) {}
void NoClickEnd(EventObject) {}

ShellAppProcs g_procs{&NoSuspend, &Nothing, &NoClickEnd, &Nothing};
int32_t g_tracking = 0;
uint8_t g_background = 0;

bool IsApplicationMenu(EventObject event) {
    MenuRecord* menu = nullptr;
    if (EventParamGet(event, kEventParamDirectObject, FourCC("menu"), sizeof menu, &menu) !=
            kEventResultOk ||
        !menu)
        return false;
    int32_t length = 0;
    int32_t err = GetMenuItemProperty(menu, 0, kAppMenuCreator, kAppMenuTag, 0, &length, nullptr);
    return err != kMenuPropertyAbsent;
}

bool KnownMenu(void* menu) {
    for (MenuRecord* m = MenuRecordList(); m; m = m->next)
        if (m == menu) return true;
    return false;
}

uint32_t Modifiers(EventObject event) {
    uint32_t modifiers = 0;
    EventParamGet(event, kParamModifiers, kAnyType, sizeof modifiers, &modifiers);
    return modifiers;
}

int32_t MenuCommand(EventObject event) {
    if (!FrontWindowIsOurs()) return kEventNotHandled;
    EventCommandRecord command{};
    uint32_t context = 0;
    if (EventParamGet(event, kEventParamDirectObject, kTypeCommand, sizeof command, &command) !=
            kEventResultOk ||
        !(command.attributes & kCommandFromMenu) || !KnownMenu(command.menu) ||
        EventParamGet(event, kParamMenuContext, kAnyType, sizeof context, &context) !=
            kEventResultOk)
        return kEventNotHandled;
    LoopDispatchEnter();
    MenuChoiceDefault(static_cast<MenuRecord*>(command.menu), command.item, Modifiers(event),
                      (context & kMenuContextBit18) != 0, (context & kMenuContextBit17) != 0);
    LoopDispatchLeave();
    g_procs.updateCursor();
    return kEventResultOk;
}

int32_t ModifiersChanged(EventObject event) {
    void* front = LoopHooks().frontNonFloatingWindow();
    PortRecord* port = front ? FindPortOfNativeWindow(front) : nullptr;
    if (!port) return kEventNotHandled;
    OsEventRecord record;
    OsNullRecord(&record);
    record.what = kPortWhatModifiersChanged;
    record.message = uintptr_t(front);
    record.modifiers = uint16_t(Modifiers(event));
    record.when = GetTicks();
    DispatchToEventHandlers(port, &record);
    return kEventResultOk;
}

} // namespace

void SetShellAppProcs(const ShellAppProcs* procs) {
    g_procs = procs ? *procs : ShellAppProcs{};
    if (!g_procs.suspendResume) g_procs.suspendResume = &NoSuspend;
    if (!g_procs.hideHelpTag) g_procs.hideHelpTag = &Nothing;
    if (!g_procs.endContentClick) g_procs.endContentClick = &NoClickEnd;
    if (!g_procs.updateCursor) g_procs.updateCursor = &Nothing;
}

const ShellAppProcs& ShellApp() {
    return g_procs;
}

int32_t ShellMenuTrackingCount() {
    return g_tracking;
}

bool ShellInBackground() {
    return g_background != 0;
}

void ResetShellAppState() {
    g_tracking = 0;
    g_background = 0;
}

int32_t ShellApplicationHandler(EventCallRef*, EventObject event, void*) {
    if (!event) return kEventNotHandled;
    uint32_t eventClass = (*event)->eventClass;
    uint32_t kind = (*event)->kind;
    if (eventClass == kEventClassApplication &&
        (kind == kApplicationActivated || kind == kApplicationDeactivated)) {
        g_background = kind == kApplicationDeactivated;
        g_procs.suspendResume(g_background);
        if (kind == kApplicationActivated) g_procs.updateCursor();
        return kEventResultOk;
    }
    if (eventClass == kEventClassMenu) {
        if (kind == kMenuTrackingBegins) {
            g_procs.hideHelpTag();
            ++g_tracking;
            uint32_t context = 0;
            EventParamGet(event, kParamMenuContext, kAnyType, sizeof context, &context);
            if (context & kMenuContextUpdate) UpdateMenuEnabling(0);
            return kEventResultOk;
        }
        if (kind == kMenuEventTrackingEnds) {
            if (g_tracking > 0) --g_tracking;
            return kEventResultOk;
        }
        if (kind == kMenuEventOpening)
            return IsApplicationMenu(event) ? kEventResultOk : kEventNotHandled;
        return kEventNotHandled;
    }
    if (eventClass == kEventClassCommand && kind == kCommandEventProcess) return MenuCommand(event);
    if (eventClass == kEventClassKeyboard && kind == kKeyModifiersChangedKind)
        return ModifiersChanged(event);
    if (eventClass == kEventClassMouse) {
        if (kind == kMouseUp) {
            g_procs.endContentClick(event);
            return kEventResultOk;
        }
        if (kind == kMouseMovedOrDragged) {
            g_procs.updateCursor();
            return kEventResultOk;
        }
    }
    return kEventNotHandled;
}

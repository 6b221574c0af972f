// The focus pane of a port and the focus events that move it.
#include "toolbox/core/windowfocus.h"

#include "toolbox/core/panetree.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/windowevent.h"
#include "toolbox/core/windowlist.h"

namespace {
PortRecord* PortOf(const WindowObject* window) {
    return window && window->type == kWindowTypeNative ? static_cast<PortRecord*>(window->port)
                                                       : nullptr;
}
} // namespace

WindowObject* FocusedWindowOf(WindowObject* window) {
    PortRecord* port = PortOf(window);
    return port && port->focusPane ? port->focusPane->window : nullptr;
}

bool MoveKeyboardFocusToWindow(WindowObject* window, bool flag) {
    PortRecord* port = PortOf(window);
    if (!port) return false;
    if (flag && DialogLayer().focusedItem(window)) DialogLayer().setFocusItem(window, 0);
    WindowObject* holder = FocusedWindowOf(window);
    if (holder == window) return true;
    int32_t id = window->sequence;
    int32_t holderId = holder ? holder->sequence : 0;
    if (holder && !SendFocusEvent(holder, false) && WindowObjectFromId(holderId) == holder)
        return false;
    if (WindowObjectFromId(id) != window) return true;
    port->focusPane = static_cast<PaneRecord*>(window->pane);
    SendFocusEvent(window, true);
    return true;
}

void SendKeyCommandToFocus(int16_t command, const OsEventRecord*) {
    WindowObject* front = FindNextWindowOfKinds(nullptr, kKindsAny, 1);
    if (!front) return;
    WindowObject* target = FocusedWindowOf(front);
    WindowEvent event{};
    event.type = kWindowEventKeyCommand;
    event.keyCommand.command = command;
    EventDispatchToView(target ? target : front, &event);
}

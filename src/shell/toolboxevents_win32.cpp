// Posted commands as event objects, the menu-command hook and the board
// window's procedure over the toolbox's windows. A posted record names its
// window by sequence number and is looked up when it runs, so a window that
// closed meanwhile never gets it.
#include "shell/toolboxevents_win32.h"

#include "shell/boardwindow.h"
#include "shell/dispatch.h"
#include "shell/postcmd.h"
#include "shell/shellstate.h"
#include "toolbox/core/eventqueue.h"
#include "toolbox/core/windowlist.h"
#include "toolbox/core/windowobject_win32.h"

int32_t FrameAppEvent(EventCallRef*, EventObject event, void*) {
    if (!event) return kEventNotHandled;
    if ((*event)->eventClass != kPostedEventClass || (*event)->kind != kPostedEventKindAppC)
        return kEventNotHandled;
    PostedCommand record{};
    if (EventParamGet(event, kPostedParamName, kPostedParamType, sizeof record, &record) !=
        kEventResultOk)
        return kEventNotHandled;
    DispatchPostedCommand(record);
    return kEventResultOk;
}

int32_t FrameCommandCallback(WindowObject* window, const WindowEvent* event) {
    if (event->type != kWindowEventCommand) return 0;
    int32_t command = uint16_t(event->command.command);
    // The toolbox offered the command to the front window first: when that
    // is the board window, it declined already.
    bool offered = window && g_shell.boardWindow &&
                   RootWindowObject(window)->sequence == g_shell.boardWindow;
    return FrameCommandRoute(command, offered);
}

int32_t BoardWindowEvent(WindowObject* window, WindowEvent* event) {
    auto* view = static_cast<AppView*>(window->userData);
    return BoardWindowEventOf(window->sequence, view, event);
}

int32_t PostCommandEvent(const PostedCommand& record) {
    EventObject event = nullptr;
    int32_t result = EventObjectNew(kPostedEventClass, kPostedEventKindAppC, &event);
    if (result != kEventResultOk) return result;
    result = EventParamSet(event, kPostedParamName, kPostedParamType, sizeof record, &record);
    if (result == kEventResultOk) result = PostEventObject(kPostedPriority, event);
    EventObjectRelease(event);
    return result;
}

int32_t SendRecordToWindow(int32_t id, PostedCommand* record) {
    WindowObject* window = WindowObjectFromId(id);
    if (!window) return kSendWindowGone;
    MakeWindowCurrentPort(window);
    return EventDispatchToView(window, reinterpret_cast<WindowEvent*>(record));
}

int32_t TopWindowsFromFront(int32_t* ids, bool* minimised, int32_t capacity) {
    int32_t n = 0;
    for (WindowObject* w = FindNextWindowOfKinds(nullptr, kKindsAny, 0); w && n < capacity;
         w = FindNextWindowOfKinds(w, kKindsAny, 0)) {
        ids[n] = w->sequence;
        minimised[n] = WindowZoomState(w) == kZoomMinimised;
        ++n;
    }
    return n;
}

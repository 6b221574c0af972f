// Cursor follow-up and window cursors.
#include "toolbox/core/mousefollow.h"

#include "toolbox/core/eventloop.h"
#include "toolbox/core/loophooks.h"
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/osinput.h"
#include "toolbox/core/panetree.h"
#include "toolbox/core/portdispatch.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/ticks.h"
#include "toolbox/core/windowidle.h"
#include "toolbox/core/windowobject.h"

namespace {

bool g_pending = false;
bool g_forced = false;
// Set while a forced follow-up's record is on its way.
bool g_sendingForced = false;

void SendPending() {
    if (!g_pending) return;
    bool outer = g_sendingForced;
    g_sendingForced = g_forced;
    g_pending = g_forced = false;
    SendMouseMovedRecord(nullptr);
    g_sendingForced = outer;
}

} // namespace

void RequestMouseMovedUpdate() {
    g_pending = true;
    EventLoopLevel* level = InnermostLoopLevel();
    if (!level || level->dispatchDepth == 0) SendPending();
}

void ForceMouseMovedUpdate() {
    g_forced = true;
    RequestMouseMovedUpdate();
}

bool MouseMovedUpdatePending() {
    return g_pending;
}

bool MouseMovedRecordForced() {
    return g_sendingForced;
}

void SendMouseMovedRecord(PortRecord* forPort) {
    Point32 mouse{0, 0};
    OsMouseClient(&mouse);
    OsEventRecord record;
    OsNullRecord(&record);
    record.what = kPortWhatMouseMoved;
    record.when = GetTicks();
    record.whereV = mouse.v;
    record.whereH = mouse.h;
    PointToShort(&mouse, &record.where);
    record.modifiers = KeyModifiers();
    void* native = nullptr;
    int16_t part = LoopHooks().findWindowPart(record.where, &native);
    record.message = uintptr_t(uint16_t(part));
    PortRecord* port = native ? FindPortOfNativeWindow(native) : nullptr;
    if (forPort && port != forPort) return;
    if (port)
        CheckPortHelpTag(&record);
    else
        HidePortHelpTag();
    if (port && IsPortActive(port)) {
        DispatchToEventHandlers(port, &record);
        return;
    }
    void* front = LoopHooks().frontNonFloatingWindow();
    PortRecord* frontPort = front ? FindPortOfNativeWindow(front) : nullptr;
    if (!frontPort || !frontPort->cursorPane) return;
    PaneRecord* pane = frontPort->cursorPane;
    frontPort->cursorPane = nullptr;
    record.message = kMouseLeftPane;
    SendPaneMessage(pane, kPortWhatMouseMoved, &record);
}

void SetWindowCursor(WindowObject* window, int16_t id) {
    if (!window || window->cursorId == id) return;
    window->cursorId = id;
    RequestMouseMovedUpdate();
}

void InstallMouseFollowUp() {
    SetDispatchDepthZeroProc(&SendPending);
}

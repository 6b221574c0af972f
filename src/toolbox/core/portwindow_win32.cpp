// Port-level window manipulation and the native callbacks of linked ports.
#include "toolbox/core/portwindow_win32.h"

#include "toolbox/core/loophooks.h"
#include "toolbox/core/portupdate_win32.h"

namespace {
void PortResizedCallback(NativeWindowRecord* record) {
    PortRecord* port = FindPortOfNativeWindow(record);
    HWND window = NativeWindowOf(record);
    if (!port || !window) return;
    RECT client;
    GetClientRect(window, &client);
    NativeRect native{client.left, client.top, client.right, client.bottom};
    Rect16 content;
    RectFromNativeRect(&native, &content);
    PortResized(port, &content);
}

bool PortSysCommandCallback(NativeWindowRecord* record, WPARAM command) {
    if ((command & 0xFFF0) != SC_CLOSE) return false;
    PortRecord* port = FindPortOfNativeWindow(record);
    if (!port) return false;
    DispatchPortRecord(port, kPortWhatClose);
    return true;
}
} // namespace

void ZoomPort(PortRecord* port, int16_t part) {
    NativeWindowRecord* record = NativeRecordOfPort(port);
    if (part == kPartMinimise)
        MinimiseNativeWindow(record);
    else
        ZoomNativeWindow(record, part);
}

void DragPortWindow(PortRecord* port, Point16 where) {
    DragNativeWindow(NativeRecordOfPort(port), where);
}

bool GrowPortWindow(PortRecord* port, Point16 where, const Rect16* limits, Rect16* newBounds) {
    return GrowNativeWindow(NativeRecordOfPort(port), where, limits, newBounds);
}

void LinkNativePort(PortRecord* port) {
    // A port over something other than a layer window is left alone.
    if (!port || !IsLayerWindowRecord(port->nativeWindow)) return;
    NativeWindowRecord* record = NativeRecordOfPort(port);
    HWND window = NativeWindowOf(record);
    if (!window) return;
    if (!(port->flags & kPortFlagKeepsClassCursor)) SetClassLongPtrA(window, GCLP_HCURSOR, 0);
    record->resizeProc = &PortResizedCallback;
    record->sysCommandProc = &PortSysCommandCallback;
    DrawingLayer().setCurrentPort(&record->state);
}

void InstallPortWindowHooks() {
    SetPortNativeLink(&LinkNativePort);
}

// Port records: one per layer window, linking the native window to the
// window object and its event procedure, and the window-event receiver
// that turns window and key events into native event records for it.
//
// Guarantees: a port is on the port list from WindowObjectLink until
// DisposePortRecord; every dispatch to a port raises the innermost loop
// level's dispatch depth for its duration.
#pragma once
#include <cstdint>

#include "toolbox/core/eventreceiver.h"
#include "toolbox/core/oseventqueue.h"

// The layer's extra what codes of native event records.
constexpr uint16_t kPortWhatClose = 18;
constexpr uint16_t kPortWhatZoomOut = 19;
constexpr uint16_t kPortWhatZoomIn = 20;

// Native option bit of windows that resize live.
constexpr uint32_t kOptionLiveResize = 0x10000000;
constexpr uint32_t kParamDimensions = FourCC("dims");

struct PortRecord;
struct PaneRecord;
struct SurfaceList;
struct TimerTask;
typedef int32_t (*PortEventProcType)(PortRecord* port, OsEventRecord* record);

struct PortRecord {
    PortRecord* next;
    void* nativeWindow;
    void* window; // the native window until the window object sets its own
    PortEventProcType eventProc;
    void* owner;
    uint32_t flags;
    bool liveResize;
    int32_t idleInterval;
    TimerTask* idleTask; // the idle timer, only while the window is active
    // Kept by the pane layer: the root pane, the focus pane, the pane that
    // took the last mouse down and the pane under the cursor.
    PaneRecord* rootPane;
    PaneRecord* focusPane;
    PaneRecord* trackingPane;
    PaneRecord* cursorPane;
    // Kept by the drawing layer: the selected drawing surface, the surface
    // whose clip and origin are in the state now (with the index it was
    // focused at), and whether the selected surface's settings are in the
    // state. The surface list drops the focused surface when it moves.
    SurfaceList* selectedSurface;
    SurfaceList* focusedSurface;
    int8_t focusedIndex;
    uint8_t surfaceFocus;
};

// What the port layer asks of the window and pane layers.
struct PortHooks {
    uint32_t (*nativeOptions)(void* nativeWindow);
    EventReceiver* (*nativeReceiver)(void* nativeWindow);
    // The root pane's lower (false) or upper (true) size limit.
    Point16 (*rootPaneLimit)(PortRecord* port, bool upper);
    // Pane message 17 to the root pane with the live-resize mark.
    void (*tellRootPane)(PortRecord* port, int32_t value);
    void (*hideHelpTag)();
    // Sizes the root pane to the new content rectangle.
    void (*sizeRootPane)(PortRecord* port, const Rect16* content);
    // The menus brought up to date after the last document or modal
    // window closed.
    void (*updateMenus)();
    // The cursor follow-up after a wheel event (a mouse-moved record).
    void (*mouseMovedFollowUp)(PortRecord* port);
    // A mouse-moved record (frame-client point) over one of the layer's
    // windows: the help tag goes when the mouse left its entry.
    void (*checkHelpTag)(const OsEventRecord* record);
};

// Bounds-changed attribute: the size changed.
constexpr uint32_t kBoundsSizeChanged = 0x4;
constexpr uint32_t kParamAttributes = FourCC("attr");
constexpr uint32_t kParamCurrentBounds = FourCC("crct");
constexpr uint16_t kPortWhatWheel = 37;

void SetPortHooks(const PortHooks* hooks);

// Port flag: the port's window keeps its class cursor.
constexpr uint32_t kPortFlagKeepsClassCursor = 0x20;
// The native half of linking a port (callbacks on its native window),
// installed by the native window layer; called last by WindowObjectLink.
typedef void (*PortNativeLinkProc)(PortRecord* port);
void SetPortNativeLink(PortNativeLinkProc procedure);
// The root pane is sized to the new content rectangle and told (pane
// message 17 with the live-resize mark).
void PortResized(PortRecord* port, const Rect16* content);
// The end of a content click: a mouse-up record (what 2, at the event's
// point and button) to the port that took the last content click, which
// is then forgotten; nothing without one.
void EndPortContentClick(EventObject event);
void HidePortHelpTag();
void CheckPortHelpTag(const OsEventRecord* record);
// Brings the menus up to date (after an activation or the last window
// closed).
void UpdatePortMenus();
// Dispatches a record of the what code addressed to the port's native
// window.
int32_t DispatchPortRecord(PortRecord* port, uint16_t what);

// Pushes the port on the port list and installs the window-event receiver
// on the native window's receiver.
void WindowObjectLink(PortRecord* port, void* nativeWindow, uint32_t flags, PortEventProcType proc);
void DisposePortRecord(PortRecord* port);
PortRecord* FindPortOfNativeWindow(void* nativeWindow);
int32_t DispatchToEventHandlers(PortRecord* port, OsEventRecord* record);
int32_t SendEventObjectCounted(EventObject event, EventReceiver* receiver);
// 0 left, 1 right, 2 middle from a mouse record.
int32_t MouseButtonOfRecord(const OsEventRecord* record);
int32_t WindowEventReceiver(EventCallRef* call, EventObject event, void* port);

// The port hooks installed now, so that a layer can replace its own fields
// and keep the others.
const PortHooks& CurrentPortHooks();

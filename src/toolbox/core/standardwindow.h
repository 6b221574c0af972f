// The standard window handler: the behaviour every layer window gets after
// its own handlers: click activation, clicks by window part turned into
// window events, and the window events that drag, grow, minimise, zoom,
// close and update the native window. The native operations are reached
// through a replaceable table (the native window layer installs its own).
#pragma once
#include <cstdint>

#include "toolbox/core/eventobject.h"
#include "toolbox/core/eventreceiver.h"
#include "toolbox/core/rect.h"

// Window event kinds.
constexpr uint32_t kWindowDrawContentKind = 2;
constexpr uint32_t kWindowClickActivationKind = 7;
constexpr uint32_t kWindowBoundsChangedKind = 27;
constexpr uint32_t kWindowResizeStartedKind = 28;
constexpr uint32_t kWindowResizeCompletedKind = 29;
constexpr uint32_t kWindowClickDragKind = 32;
constexpr uint32_t kWindowClickGrowKind = 33;
constexpr uint32_t kWindowClickMinimiseKind = 34;
constexpr uint32_t kWindowClickCloseKind = 35;
constexpr uint32_t kWindowClickZoomKind = 36;
constexpr uint32_t kWindowClickContentKind = 37;
constexpr uint32_t kWindowMinimiseKind = 66;
constexpr uint32_t kWindowCloseKind = 72;
constexpr uint32_t kWindowClosedKind = 73;
constexpr uint32_t kWindowZoomKind = 75;
constexpr uint32_t kWindowContextClickKind = 78;
constexpr uint32_t kWindowGetMinimumSizeKind = 81;
constexpr uint32_t kWindowGetMaximumSizeKind = 82;
constexpr uint32_t kWindowContentClickNoControlKind = 85;
constexpr uint32_t kWindowActivatedSelfKind = 91;
constexpr uint32_t kWindowDeactivatedSelfKind = 92;
constexpr uint32_t kControlClickKind = 13;

constexpr uint32_t kParamClickActivation = FourCC("clac");
constexpr uint32_t kParamControl = FourCC("ctrl");
constexpr uint32_t kParamControlPart = FourCC("cprt");
constexpr uint32_t kEventClassControl = FourCC("cntl");

// Click-activation answers.
constexpr uint32_t kClickActivateBit = 2;    // above 1: activate
constexpr uint32_t kClickHandleBit = 1;      // without it the click ends
constexpr uint32_t kClickActivateRepost = 3; // also re-posts the mouse down
constexpr int32_t kNativeTypeFloatingWindow = 5;
constexpr int32_t kNativeTypeDocumentWindow = 6;

struct NativeWindowOps {
    int32_t (*nativeType)(void* window);
    // Whether the window is the front one of its native type.
    bool (*isFrontOfType)(void* window);
    void (*activate)(void* window);
    void (*drag)(void* window, Point16 where);
    void (*grow)(void* window, Point16 where);
    // Tracks a title-bar button (part) until release; true when chosen.
    bool (*trackTitleButton)(void* window, int16_t part, Point16 where);
    void (*minimise)(void* window);
    void (*zoom)(void* window, int16_t part);
    void (*dispose)(void* window);
    void (*beginUpdate)(void* window);
    void (*endUpdate)(void* window);
    // The control under a window point and its part; null when none.
    void* (*controlAt)(void* window, Point16 where, int16_t* part);
};

void SetNativeWindowOps(const NativeWindowOps* ops);
const NativeWindowOps& NativeOps();

// kEventHandlerInstalled for a receiver that is not a window's; the
// handler is appended, so it runs after the window's own handlers. The
// receiver's owner is the window.
int32_t InstallStandardWindowHandler(EventReceiver* receiver);
int32_t StandardWindowHandler(EventCallRef* call, EventObject event, void* userData);

// What the event loop asks of the window and menu layers, through one
// table of replaceable procedures. Until a layer installs its own, each
// entry answers the least that lets the loop run: no windows, no parts, no
// receivers, menu keys and menu-bar clicks passed on.
#pragma once
#include <cstdint>

#include "toolbox/core/eventobject.h"
#include "toolbox/core/eventreceiver.h"
#include "toolbox/core/rect.h"

// Window parts (FindWindowPart).
constexpr int16_t kPartNone = 0;
constexpr int16_t kPartMenuBar = 1;
constexpr int16_t kPartContent = 3;
constexpr int16_t kPartCaption = 4;
constexpr int16_t kPartGrow = 5;
constexpr int16_t kPartClose = 6;
constexpr int16_t kPartZoomIn = 7;
constexpr int16_t kPartZoomOut = 8;
constexpr int16_t kPartMinimise = 11;

struct LoopWindowHooks {
    // The front window that is not a floating window, or null.
    void* (*frontNonFloatingWindow)();
    // The first window in z-order whose update region is not empty.
    void* (*firstWindowNeedingUpdate)();
    // An update nobody took: the window's pending region is emptied.
    void (*discardUpdate)(void* window);
    // The part under a frame-client point and its window.
    int16_t (*findWindowPart)(Point16 where, void** window);
    // The receiver of a native window, or null.
    EventReceiver* (*windowReceiver)(void* window);
    // Modal marking of native windows: 0 or a toolbox error.
    int32_t (*beginNativeModal)(void* window);
    int32_t (*endNativeModal)(void* window);
    void (*retainWindow)(void* window);
    void (*disposeWindow)(void* window);
    // Menu-bar tracking at a point.
    void (*menuBarClick)(Point16 where, uint32_t modifiers);
    // Processes the key as a menu command key; false when it is none.
    bool (*menuCommandKey)(EventObject event);
};

// Installs the procedures of `hooks` (copied); null fields, or null, fall
// back to the defaults.
void SetLoopWindowHooks(const LoopWindowHooks* hooks);
const LoopWindowHooks& LoopHooks();

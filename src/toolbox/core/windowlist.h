// The window list: top-level window objects in the native z-order and the
// windows they own, walked through a small table of native procedures (the
// Win32 layer installs the real walk; until then there are no top-level
// windows), and the selectors of the walks.
//
// Guarantees: owned windows are found through the owner's pane tree, so a
// window whose pane is gone is never answered; a walk never answers a
// window of another selector or one that is not shown when showing is
// asked for.
#pragma once
#include <cstdint>

#include "toolbox/core/windowobject.h"

struct WindowNativeProcs {
    // Top-level windows front first; null at the end.
    WindowObject* (*firstWindow)();
    WindowObject* (*nextWindow)(WindowObject* window);
    // Whether the top-level window's native window is visible.
    bool (*nativeVisible)(const WindowObject* window);
    void (*hideNative)(WindowObject* window);
    void (*showNative)(WindowObject* window, bool activate);
    // Disposes the port record and the native window of a top-level window
    // (its panes are gone already).
    void (*disposeNative)(WindowObject* window);
    // Enables a window disabled while another ran modally (-1: the frame).
    void (*enableWindow)(int32_t id);
    // Shows the cursor of the id (0: the layer's default cursor).
    void (*setCursor)(int16_t id);
    // Draws the top-level window's pending update at once.
    void (*updateNow)(WindowObject* window);
};
void SetWindowNativeProcs(const WindowNativeProcs* procs);
const WindowNativeProcs& WindowNative();

// An owned window's pane is not hidden (flag 0); otherwise the native
// window is visible and every pane up the parent chain is shown. 0 for
// offscreen and print ports.
bool IsWindowShown(const WindowObject* window, uint8_t flag);
// The next top-level window after the given one (null: from the front)
// that matches the selector and, with the flag, is shown.
WindowObject* FindNextWindowOfKinds(WindowObject* after, int32_t selector, uint8_t flag);
// The first window owned by the window (through its pane tree, in sibling
// order, depth first), and the next one after a given owned window.
WindowObject* FirstChildWindowObject(WindowObject* owner);
// Every window owned by the window, directly or not, depth first: the
// sequence numbers in order, deepest last.
int32_t OwnedWindowIds(WindowObject* owner, int32_t* out, int32_t capacity);
// The window object whose drawing state is the given port, or null.
WindowObject* WindowObjectOfPort(void* port);
// The drawing state of a window object: type 0 its native window's state,
// types 1 and 2 their own port.
void* GraphicsPortOf(const WindowObject* window);

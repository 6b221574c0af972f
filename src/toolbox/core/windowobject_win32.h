// Window objects over native windows on Win32: creation of top-level
// windows (native window, port record, panes and record), the window walk
// and the native operations of the window list, the port's pane hooks,
// modal disabling of the other windows and the default window position.
#pragma once
#include <cstdint>

#include "toolbox/core/heap.h"
#include "toolbox/core/nativewindow_win32.h"
#include "toolbox/core/portrecord.h"
#include "toolbox/core/rect.h"
#include "toolbox/core/windowobject.h"

// The window to place a new one behind: in front of all.
#define kBehindNone reinterpret_cast<WindowObject*>(-1)

// Installs the pane host, the window list's native procedures and the
// port hooks of window objects.
void InstallWindowObjectLayer();

// Makes the native window of the type (the option bits limited to those
// the type allows, plus the event target) and its port record, linked with
// the event procedure; the port flags gain the grow-box flag for a sizing
// frame. The help tag is hidden first; the help-tag flag is the creator's
// and kept by no record here. 0, or the creation's error with nothing left.
int32_t WindowObjectOpen(bool helpTag, int32_t nativeType, uint32_t options, const Rect16* rect,
                         WindowObject* window, uint32_t portFlags, PortEventProcType proc,
                         PortRecord** out);

// Loads the cursor of the id from the program's resources and shows it;
// id 0 or a missing cursor shows the arrow.
void SetCursorFromResource(int16_t id);
// Serves the queued update and activation events at once.
void RunPendingEvents();

WindowObject* NewWindowObjectEx(HeapPool* pool, uint8_t kind, uint8_t variant, uint32_t options,
                                int16_t applicationTag, uint32_t flags, WindowObject* behind,
                                const Rect16* content, const char* title, int16_t iconId,
                                void* userData, WindowEventCallback callback);
// Kind 0, variant 0, in front; a null rectangle takes the default position.
WindowObject* NewDocumentWindow(uint32_t options, const Rect16* content, const char* title,
                                int16_t iconId, uint32_t flags, int16_t applicationTag,
                                void* userData, WindowEventCallback callback);
// The available area as a content rectangle inset by 2: the MDI client's
// area for documents and variant-1 dialogs, else the work area.
void DefaultWindowPosition(uint8_t kind, uint8_t variant, uint32_t options, Rect16* out);
// Where a content rectangle of a window of that kind would lie: its outer
// rectangle against the available area of DefaultWindowPosition.
constexpr int32_t kRectOffScreen = 0;
constexpr int32_t kRectWhollyOnScreen = 1;
constexpr int32_t kRectPartlyOnScreen = 2;
int32_t WindowRectOnScreen(uint8_t kind, uint8_t variant, uint32_t options, const Rect16* rect);
void DisableOtherWindows(WindowObject* window);
// Shows (and activates) a top-level window, or shows an owned window's pane.
void SelectWindowObject(WindowObject* window);
// Activates the window's native window and makes it the current port;
// answers the port current before.
void* ActivateWindowObject(WindowObject* window);
// Nothing for owned windows and offscreen or print ports.
void SetWindowTitle(WindowObject* window, const char* title);
// 0 normal, 1 minimised, 2 maximised.
constexpr int32_t kZoomNormal = 0;
constexpr int32_t kZoomMinimised = 1;
constexpr int32_t kZoomMaximised = 2;
int32_t WindowZoomState(WindowObject* window);
// Top-level window objects in native z-order, front first.
WindowObject* FirstWindowObject();
WindowObject* NextWindowObject(WindowObject* window);
// Class bits of native windows: modal dialogs (types 1 to 4), floating
// (5), titled documents (6 with a caption), untitled documents and tool
// windows whose port has flag 0x400, other tool windows; the mask bit
// 0x40 also takes native windows without a port record.
enum : uint32_t {
    kClassTitledDocument = 1,
    kClassFloating = 2,
    kClassModal = 4,
    kClassTool = 8,
    kClassUntitled = 16,
    kClassWithoutPort = 0x40,
};
uint32_t NativeWindowClassBit(NativeWindowRecord* record);
// The front native window (z-order walk) whose class bit is in the mask.
NativeWindowRecord* FrontWindowOfClass(uint32_t mask);
// The content takes the rectangle's size plus the bar thickness for each
// bar (both for a grow box without bars).
void SetWindowContentSize(WindowObject* window, const Rect16* rect);
void HideWindowObject(WindowObject* window);
// SelectWindowObject when showing, else HideWindowObject.
void ShowWindowObject(WindowObject* window, bool show);

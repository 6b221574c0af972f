// Native windows of the layer on Win32: the main frame with its MDI
// client, MDI document windows and popup windows (dialogs, floating and
// tool windows), their per-window data in window properties, and the
// window procedures that turn native messages into the layer's events.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "toolbox/core/drawingstate.h"
#include "toolbox/core/eventreceiver.h"
#include "toolbox/core/region.h"

constexpr char kPropProcessId[] = "TBWPRCID";
constexpr char kPropWindow[] = "TBWINDOW";
constexpr char kPropDisabled[] = "TBWDISAB";
constexpr char kFrameClassName[] = "PLVMainWindowClass";
constexpr char kDefaultFrameTitle[] = "Vud2Ave Application";
constexpr int32_t kFrameTitleLimit = 63;
constexpr int32_t kWindowTitleLimit = 255;
constexpr uint32_t kMdiClientStyle = 0x56300001;
constexpr UINT kMdiFirstChildId = 16001;
constexpr uint32_t kSizeBoxStyle = 0x54000014;
constexpr int32_t kSizeBoxId = 10;
// MenuMessage's answer for a message the menus do not take.
constexpr LRESULT kMenuNotHandled = 999999999;
// Native type of floating windows.
constexpr int32_t kNativeTypeFloating = 5;
constexpr int32_t kNativeTypeDocument = 6;

// State bits.
constexpr uint32_t kNativeHiddenByDeactivation = 1;
constexpr uint32_t kNativeRunsModalLoop = 2;

struct NativeWindowRecord;
typedef void (*NativeResizeProc)(NativeWindowRecord* record);
typedef void (*NativeDropProc)(NativeWindowRecord* record, HDROP drop);
// True when the system command was taken.
typedef bool (*NativeSysCommandProc)(NativeWindowRecord* record, WPARAM command);

struct NativeWindowRecord {
    DrawingState state; // target: the native window, DC kind 1
    RegionRecord* pendingUpdate;
    RegionRecord* savedUpdate;
    void* focusedControl;
    void* firstControl; // the window's controls, a list kept by the control layer
    HWND sizeBox;
    NativeResizeProc resizeProc;
    NativeDropProc dropProc;
    NativeSysCommandProc sysCommandProc;
    int32_t nativeType;
    uint32_t options;
    EventReceiver eventTarget;
    void* windowObject;
    int16_t eraseColour[3]; // red, green, blue; -1 each: none
    uint32_t stateBits;
    int16_t referenceCount;
    bool allocatedHere;
};

HWND NativeWindowOf(const NativeWindowRecord* record);

void SetMainFrameParameters(const char* title, int32_t iconId, int32_t left, int32_t top,
                            int32_t width, int32_t height, bool show);
// Registers the frame class and makes the frame and its MDI client;
// nothing when the frame exists. False when the frame cannot be made.
bool CreateMainFrame();
HWND FrameWindowHandle();
HWND MdiClientHandle();
HWND DialogOwnerWindow();
NativeWindowRecord* GetWindowObjectProperty(HWND window);
uintptr_t GetRecordIdProperty(HWND window);
bool IsMdiChildWindow(HWND window);

// Nested disabling; whether the count was 0 before the call.
bool SetWindowDisabled(HWND window, bool enable);
void SetNextWindowOptions(uint32_t options);
void SetNextWindowIcon(int32_t iconId);
// behind: HWND_TOP-like null places on top (-1 in the callers' terms).
NativeWindowRecord* CreateNativeWindow(NativeWindowRecord* existing, const Rect16* content,
                                       const char* title, bool show, int32_t definitionCode,
                                       HWND behind, bool closeBox, void* windowObject);
int32_t CreateNativeWindowOfType(int32_t nativeType, uint32_t options, const Rect16* content,
                                 NativeWindowRecord** out);
void DisposeNativeWindow(NativeWindowRecord* record);
void RetainNativeWindow(NativeWindowRecord* record);
void SetNativeWindowTitle(NativeWindowRecord* record, const char* title);
int32_t SetNativeEraseColour(NativeWindowRecord* record, int16_t red, int16_t green, int16_t blue);
uint32_t NativeVisibleAttribute(HWND window);
void InitNativeUiState(HWND window);
void RemoveLayerProperties(HWND window);
void HandleDroppedFiles(NativeWindowRecord* record, HDROP drop);

// Erase-allowed: raised around the layer's own z-order and activation.
void RaiseEraseAllowed();
void LowerEraseAllowed();
// Frame-click suppression (menu-bar tracking) and keep-frame-active.
void RaiseFrameClickSuppression();
void LowerFrameClickSuppression();
void RaiseKeepFrameActive();
void LowerKeepFrameActive();

typedef void (*AcceleratorCommandProc)(uint32_t id);
AcceleratorCommandProc SetAcceleratorCommandProc(AcceleratorCommandProc procedure);
// The menus' answer to a menu message (kMenuNotHandled until the menus
// install theirs) and the second instance's command-line pieces.
typedef LRESULT (*MenuMessageProc)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void SetMenuMessageProc(MenuMessageProc procedure);
LRESULT MenuMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
typedef void (*InstanceMessageProc)(ATOM atom, uint32_t flags);
void SetInstanceMessageProc(UINT registeredMessage, InstanceMessageProc procedure);

// The title-bar button marker: kTitleButtonTracking while a button is
// tracked, then the part its system command chose (0: none).
constexpr int32_t kTitleButtonTracking = 0x1234;
void SetTitleButtonMarker(int32_t marker);
int32_t TitleButtonMarker();
// The window the layer is sizing and its limits (top minimum height, left
// minimum width, bottom maximum height, right maximum width), answered in
// WM_GETMINMAXINFO while the system's sizing loop runs.
void SetSizingWindow(HWND window, const Rect16* limits);
// Moves the system update region into the record's pending region and
// validates the window; false for a window that is not the layer's.
bool CollectUpdateRegionOf(HWND window);
// Whether the pointer is the record of one of the layer's windows; the
// pointer is compared, never read.
bool IsLayerWindowRecord(const void* candidate);
// Installs the event loop's window hooks over these windows.
void InstallNativeWindowHooks();

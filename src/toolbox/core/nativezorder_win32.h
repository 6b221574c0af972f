// Native windows in z-order: walks, visibility and activation (with the
// floating-window rules), the part under a point, sizing, modal marking,
// pending update regions and content scrolling.
#pragma once
#include "toolbox/core/nativewindow_win32.h"

constexpr int32_t kModalNotVisible = -5615;
constexpr int32_t kModalAlready = -5617;
constexpr int32_t kModalNotModal = -5618;
constexpr int32_t kRegionCodeOuter = 32;
constexpr int32_t kRegionCodeContent = 33;
constexpr int32_t kRegionCodeUpdate = 34;
constexpr int32_t kRegionCodeContentAlways = 40;
constexpr int32_t kRegionCodeUnknown = 87;
constexpr int32_t kRegionNoMemory = 8;
constexpr int32_t kScrollNotAWindow = 1400;
constexpr int32_t kNativeTypeAny = -1;
constexpr int32_t kNativeTypeTool = 10;

NativeWindowRecord* FirstNativeWindow();
NativeWindowRecord* NextNativeWindow(NativeWindowRecord* record);
NativeWindowRecord* NextNativeWindowOfType(NativeWindowRecord* record, int32_t type,
                                           bool visibleOnly);
NativeWindowRecord* FrontNativeWindowOfType(int32_t type);
NativeWindowRecord* FrontNonFloatingWindow();

void SelectNativeWindow(NativeWindowRecord* record);
void HideNativeWindow(NativeWindowRecord* record);
void ActivateNativeWindow(NativeWindowRecord* record);
bool IsNativeWindowVisible(NativeWindowRecord* record);

// The part under a frame-client point and the record under it.
int16_t FindWindowPart(Point16 where, NativeWindowRecord** record);
void SizeNativeWindow(NativeWindowRecord* record, int32_t width, int32_t height, bool keepUpdate);
int32_t GetNativeWindowRegion(NativeWindowRecord* record, int32_t code, RegionRecord* out);
void AddToPendingUpdate(NativeWindowRecord* record, const RegionRecord* region);
void RemoveFromPendingUpdate(NativeWindowRecord* record, const RegionRecord* region);
void InvalidateNativeRect(NativeWindowRecord* record, const Rect32* rect);
void BeginNativeUpdate(NativeWindowRecord* record);
void EndNativeUpdate(NativeWindowRecord* record);
// 0 with the uncovered area in `update`; 1400 for a record that is not a
// window; the system error when scrolling fails.
int32_t ScrollWindowContent(NativeWindowRecord* record, const Rect32* rect, int32_t dx, int32_t dy,
                            RegionRecord* update);
// Part 6 close, 7 zoom out, 8 zoom in, 11 minimise at a frame-client
// point: true when the system's tracking chose that button.
bool TrackTitleBarButton(NativeWindowRecord* record, int16_t part, Point16 where);
// MDI children: 7 maximises, 8 restores, 11 minimises.
void ZoomNativeWindow(NativeWindowRecord* record, int16_t part);
void MinimiseNativeWindow(NativeWindowRecord* record);
// Lets the system move the window when the point hits its caption.
void DragNativeWindow(NativeWindowRecord* record, Point16 where);
// Scrolls the rectangle (window coordinates) by (dh, dv); when the moved
// rectangle leaves nothing of it, the whole rectangle becomes the update
// region. The update region (may be null) is erased with the background.
int32_t ScrollRectInPort(NativeWindowRecord* record, const Rect32* rect, int32_t dh, int32_t dv,
                         RegionRecord* update);
// ScrollRectInPort on the current port; with kScrollAddToPending and a
// current drawing state bound to a window, the uncovered region joins the
// window's pending update.
constexpr uint32_t kScrollAddToPending = 1;
int32_t ScrollRectAndUpdate(const Rect32* rect, int32_t dh, int32_t dv, uint32_t flags,
                            RegionRecord* update);
// Sizes the window with the system's loop when the point hits its size box,
// grow box or a sizing border, within the limits (top minimum height, left
// minimum width, bottom maximum height, right maximum width). True when the
// bounds changed, with the new content bounds (frame-client coordinates);
// otherwise an empty rectangle.
bool GrowNativeWindow(NativeWindowRecord* record, Point16 where, const Rect16* limits,
                      Rect16* newBounds);
int32_t BeginNativeModal(NativeWindowRecord* record);
int32_t EndNativeModal(NativeWindowRecord* record);
// Installs the native operations of the standard window handler and the
// loop's modal hooks.
void InstallNativeZOrderHooks();

// Menus in the system's own menu loop on Win32: the menu hook and the
// answers to the frame's menu messages, tracking from the menu bar and of
// popup menus with the 32-bit menu choice, the extra items of the frame's
// system menu, and the measuring and drawing of owner-drawn menu items in
// the system menu font.
#pragma once
#include <windows.h>

#include <cstdint>

#include "toolbox/core/menurecord.h"
#include "toolbox/core/rect.h"

// Extra system-menu items at most.
constexpr int32_t kSystemMenuExtraMax = 4;
// A 'menu' 1 reply that cancels tracking.
constexpr int32_t kMenuTrackingCancel = 995;
constexpr uint32_t kParamMenuTrackingMode = FourCC("cmtm");
// The first system-version where the menus notify by position (NT family).
constexpr DWORD kNotifyByPositionMajor = 5;
// NT-family versions from which long menus scroll instead of breaking.
constexpr DWORD kLongMenusScrollMajor = 5;
// Room kept between a popup's top and the screen's top.
constexpr int32_t kPopupOffsetAbovePoint = 1;

// Once: the native bar given to the frame, the message-filter hook, the
// tracking serial, the system-version decisions and the menus' answers
// installed into the window procedures and the event loop.
void InstallMenuHook();
// The menus' answer to a frame or window message (kMenuNotHandled when the
// default procedure must run).
LRESULT MenuHookMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Menu-bar tracking at a point in frame client coordinates.
uint32_t MenuBarClick(Point16 where);
// Shows the menu with item (clamped to 1..count) at the point (MDI-client
// coordinates) and answers the choice.
uint32_t TrackPopupMenuAt(MenuRecord* menu, int16_t top, int16_t left, int32_t item);
// The dialogs' form: the chosen item alone (the choice's low half).
inline int32_t TrackPopupMenuAt(MenuRecord* menu, Point16 point, int32_t item) {
    return int32_t(TrackPopupMenuAt(menu, point.v, point.h, item) & 0xFFFF);
}
// Takes the menu command the system loop posted to the frame so that the
// caller's choice is not dispatched a second time.
void CollectMenuCommandMessage();
// Adds an item carrying command to the frame's system menu; false past
// the fourth or when the system refuses.
bool AddSystemMenuItems(const char* text, uint32_t command);
// Test support: forgets the extra system-menu items counted so far.
void ResetSystemMenuItems();
// Notification by position for a native menu and its submenus, where the
// system offers it and the hook chose it.
void BindMenuInfoFunctions(HMENU menu);
bool MenuNotifiesByPosition();
bool LongMenusScroll();
// True from WM_ENTERMENULOOP to WM_EXITMENULOOP.
bool MenuBeingTracked();

// WM_MEASUREITEM and WM_DRAWITEM of program menu items; false for items
// of other menus.
bool MeasureMenuItem(MEASUREITEMSTRUCT* item);
// The menu's width, key column and column breaks, computed now.
void MeasureMenuWidth(MenuRecord* menu);
bool DrawMenuItem(const DRAWITEMSTRUCT* item);
// The system menu font's metrics and text widths for the menu records.
void InstallMenuFonts();

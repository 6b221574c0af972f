// Answers of the layer's window procedures that look beyond the message
// itself: the arrow over windows that are not in front, the colours of
// control children, the edge line under the frame's menu bar, the focused
// control's keyboard focus and the paint of a pending update.
//
// Guarantees: each answer leaves the message to the default procedure when
// it does not apply; the control brush is one cached solid brush, replaced
// only when the colour changes.
#pragma once
#include "toolbox/core/nativewindow_win32.h"

// The property of a control's native child window that carries its
// control record.
constexpr char kPropControl[] = "TBWCNTRL";
// The colour of the line along the MDI client's top edge.
constexpr COLORREF kMenuBarEdgeColour = RGB(255, 255, 255);

// WM_SETCURSOR: true when the arrow was set because the cursor is in the
// client area of a window without class cursor that is not the front one
// (the front window of any type for floating windows, else the front
// non-floating window).
bool SetArrowOverBackWindow(HWND window, NativeWindowRecord* record, LPARAM lParam);
// WM_CTLCOLORBTN and WM_CTLCOLORSTATIC after the default answer: the
// port's background colour in the device context and its solid brush.
LRESULT ControlColourAnswer(NativeWindowRecord* record, HDC dc);
// The frame's WM_NCPAINT, before the default: a one-pixel line along the
// MDI client's top edge when the frame's menu bar has menus.
void PaintMenuBarEdge(HWND frame, HWND mdiClient);
// WM_WINDOWPOSCHANGED: when the window was shown or re-ordered and is
// visible, the focused control takes the keyboard focus from another
// control of the window.
void RestoreControlFocus(HWND window, NativeWindowRecord* record, const WINDOWPOS* pos);
// WM_WINDOWPOSCHANGED: a pending update with redrawing allowed and no
// system update of its own is painted at once.
void PaintPendingUpdate(HWND window, NativeWindowRecord* record, const WINDOWPOS* pos);

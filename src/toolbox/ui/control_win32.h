// What the control layer's Win32 files share: the child window of a
// control, its owner's native window, the native styles by type, the
// state of the tracking in progress and the re-creation of a child window.
#pragma once
#include <windows.h>

#include "toolbox/core/controlrecord.h"
#include "toolbox/core/nativewindow_win32.h"

HWND ControlChild(const ToolboxControlRecord* control);
HWND ControlOwnerWindow(const ToolboxControlRecord* control);
// The native style of a control's child window (without child and
// clip-siblings).
DWORD ControlNativeStyle(const ToolboxControlRecord* control);
// Makes the control's child window again at its bounds with the title,
// the same visibility and enabling; the old one (if any) is destroyed.
bool RecreateControlChild(ToolboxControlRecord* control, const char* title);
// The bounds as a native rectangle.
RECT ControlNativeRect(const ToolboxControlRecord* control);
bool ControlContains(const ToolboxControlRecord* control, Point16 point);

// The tracking of a native control in progress: the notifications of its
// child window become parts for the action procedure.
struct ControlTracking {
    ToolboxControlRecord* control;
    ControlActionProc action;
    int32_t lastPart;
};
ControlTracking* CurrentControlTracking();

// Idle time of self-drawn focus holders: a control remembered by
// StartControlIdle gets message 18 at the caret blink time until
// StopControlIdle forgets it; the layer's timer runs while any is
// remembered.
void StartControlIdle(ToolboxControlRecord* control);
void StopControlIdle(ToolboxControlRecord* control);
bool ControlIdleRunning();
// A control that is disabled while it holds its window's focus gives the
// focus up (a self-drawn one is sent message 22 with 0).
void ControlGiveUpFocus(ToolboxControlRecord* control);
// Follows the pointer from a press on a self-drawn control until the
// release, the part first hit highlighted while the pointer is over it and
// the action procedure called for each step there: that part when
// released over it, else 0.
int32_t FollowControlPart(ToolboxControlRecord* control, Point16 point, ControlActionProc action);

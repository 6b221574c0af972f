// Win32-only parts of the message pump, for the native window layer.
#pragma once
#include <windows.h>

// True when an accelerator or an MDI system key consumed the message;
// otherwise the message has been translated.
bool AcceleratorTranslate(MSG* msg);
// Asked after a paint message of a layer window is dispatched: true keeps
// the update region (CollectUpdateRegion), false validates the window.
void SetCollectUpdateRegionHook(bool (*hook)(HWND));
// The pump's Control-down flag.
bool OsControlKeyDown();
// The control layer's answer for a key or character message of a control's
// child window (window property "TBWCNTRL"): the owner window to receive it
// instead (with Control held, or for a control that does not take keys
// itself), or null to leave it. Null: no control layer, nothing redirected.
void SetControlKeyOwnerProc(HWND (*procedure)(void* control, bool controlDown));

// Controls of a window: creation on a native child window of the system's
// control classes or on a definition procedure, disposal, visibility,
// enabling and highlighting, value, minimum and maximum, titles, tagged
// data, hit testing, tracking, keys, the keyboard focus and the native
// notifications of the child windows.
//
// Guarantees: a control is on its window's list from creation to
// disposal, and its child window carries the "TBWCNTRL" property exactly
// as long; every value set is read back within the type's minimum and
// maximum; a window's disposal disposes each of its controls once.
#pragma once
#include <cstdint>

#include "toolbox/core/controlrecord.h"
#include "toolbox/core/rect.h"
#include "toolbox/ui/controlrules.h"

struct NativeWindowRecord;

// The control id of every native child window.
constexpr int32_t kControlChildId = 99;
// Titles are read and written up to this many bytes (with the NUL).
constexpr int32_t kControlTitleBytes = 256;
// Highlight states.
constexpr uint16_t kHighlightNone = 0;
constexpr uint16_t kHighlightPressed = 10;
constexpr uint16_t kHighlightInactive = 255;
// Parts a native scroll bar reports while tracked: line up, line down,
// page up, page down, and the thumb (with the thumb's position as value).
constexpr int16_t kPartLineUp = 20;
constexpr int16_t kPartLineDown = 21;
constexpr int16_t kPartPageUp = 22;
constexpr int16_t kPartPageDown = 23;
constexpr int16_t kPartThumbPosition = 129;

// A new control of the window, or null when memory runs out (nothing is
// made then). The title is a NUL-terminated text (null: none).
ToolboxControlRecord* ControlNew(NativeWindowRecord* window, const Rect16* bounds,
                                 const char* title, bool visible, int32_t value, int32_t minimum,
                                 int32_t maximum, int32_t definition, int32_t reference);
void ControlDispose(ToolboxControlRecord* control);
// Takes the window's controls off its list one by one and disposes each.
void DisposeWindowControls(NativeWindowRecord* window);
// Whether the pointer is a living control record.
bool IsControlRecord(const ToolboxControlRecord* control);
// The control behind a child window (void*: a native window), or null.
ToolboxControlRecord* ControlFromNativeWindow(void* child);
ToolboxControlRecord* FirstControlOf(const NativeWindowRecord* window);
NativeWindowRecord* ControlOwner(const ToolboxControlRecord* control);

void ControlShow(ToolboxControlRecord* control);
// With drawPending the window's pending updates are drawn first.
void ControlHide(ToolboxControlRecord* control, bool drawPending);
void ControlSetEnabled(ToolboxControlRecord* control, bool enabled);
// Flag 2 set, and not a scroll bar with nothing to scroll.
bool ControlIsEnabled(const ToolboxControlRecord* control);
void ControlHilite(ToolboxControlRecord* control, int32_t state);
int32_t ControlGetHilite(const ToolboxControlRecord* control);
void ControlMoveSize(ToolboxControlRecord* control, const Rect16* bounds);

int32_t ControlGetValue(const ToolboxControlRecord* control);
int32_t ControlGetMinimum(const ToolboxControlRecord* control);
int32_t ControlGetMaximum(const ToolboxControlRecord* control);
void ControlSetValue(ToolboxControlRecord* control, int32_t value);
void ControlSetMinimum(ToolboxControlRecord* control, int32_t minimum);
void ControlSetMaximum(ToolboxControlRecord* control, int32_t maximum);
// A scroll bar's page; nothing (0) for the other types.
void ControlSetPageSize(ToolboxControlRecord* control, int32_t page);
int32_t ControlGetPageSize(const ToolboxControlRecord* control);

// The child window's text, NUL-terminated in out (size bytes at most);
// static text and self-drawn controls have none. Answers the length.
int32_t ControlGetTitle(const ToolboxControlRecord* control, char* out, int32_t size);
void ControlSetTitle(ToolboxControlRecord* control, const char* title);

// Tagged data: 0, kControlErrUnknownTag or kControlErrWrongSize. A get
// writes the size the tag needs into actualSize (may be null).
int32_t ControlSetData(ToolboxControlRecord* control, int16_t part, uint32_t tag, int32_t length,
                       const void* data);
int32_t ControlGetData(ToolboxControlRecord* control, int16_t part, uint32_t tag, int32_t size,
                       void* data, int32_t* actualSize);
// The data word of a self-drawn control, 0 for others.
intptr_t CustomControlData(const ToolboxControlRecord* control);
// A definition message to a self-drawn control (0 for others and without
// a procedure), the control's window being the current port.
int32_t SendControlMessage(ToolboxControlRecord* control, int32_t message, intptr_t parameter);

// The part under a point of the window's coordinates.
int32_t ControlHitPart(ToolboxControlRecord* control, Point16 point);
// The control at a point of the window: the first self-drawn control hit,
// else the topmost native child hit; null when none (part 0).
ToolboxControlRecord* FindControlAt(NativeWindowRecord* window, Point16 point, int32_t* part);
// Tracks the mouse from a press at the point: the part released on, 0
// outside. The action procedure is called for each step of the part.
int32_t ControlTrack(ToolboxControlRecord* control, Point16 point, uint16_t modifiers,
                     ControlActionProc action);
void ControlSetActionProc(ToolboxControlRecord* control, ControlActionProc action);
// A key for the control: the part its type answers, 0 when dropped.
int32_t ControlHandleKey(ToolboxControlRecord* control, uint8_t keyCode, uint8_t character,
                         uint16_t modifiers);

// The keyboard focus of a window's controls. GetFocusedControl answers 0
// and the control (null: none).
int32_t GetFocusedControl(NativeWindowRecord* window, ToolboxControlRecord** out);
// The focus to the control at the part: 0, or kControlErrNoFocus when it
// does not take the focus.
int32_t SetControlFocus(ToolboxControlRecord* control, int32_t part);
void ClearControlFocus(NativeWindowRecord* window);
// Moves the focus by kFocusNext or kFocusPrevious; the control that has
// it afterwards (null: none).
ToolboxControlRecord* AdvanceControlFocus(NativeWindowRecord* window, int32_t direction);

// A notification (WM_COMMAND, WM_NOTIFY, WM_HSCROLL, WM_VSCROLL) of the
// control's child window; true when it was handled.
bool ControlNotification(ToolboxControlRecord* control, uint32_t message, uintptr_t wParam,
                         intptr_t lParam, intptr_t* result);

// Installs the control calls into the drawing layer's procedures (the
// notifications of child windows, the disposal of a window's controls).
void InstallControlCalls();
// The windows' scroll bars standing on controls in place of the pane
// host's own children (a bar is then a control record, not a native
// window, for the code that reads the surface list's bars).
void InstallControlScrollBars();

// The keyboard focus among the window objects of one native window: the
// port's focus pane and the focus events that move it.
//
// Guarantees: the focus moves only when the window that held it agrees;
// a refusal changes nothing.
#pragma once
#include "toolbox/core/oseventqueue.h"
#include "toolbox/core/windowobject.h"

// The window object whose pane holds the port's focus, or null.
WindowObject* FocusedWindowOf(WindowObject* window);
// False when the window that held the focus refused to give it up, else
// true. With the flag a window with a focused dialog item has its item
// focus cleared.
bool MoveKeyboardFocusToWindow(WindowObject* window, bool flag);
// The key-command sender: type 24 with the command to the focus window of
// the front window (the front window itself when none of its panes has
// the focus).
void SendKeyCommandToFocus(int16_t command, const OsEventRecord* record);

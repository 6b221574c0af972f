// Closing and disposal of window objects: disposal of a record with
// everything it owns, the close-all walks of quitting, and the refusal a
// close handler can give.
//
// Guarantees: disposal tolerates null and re-entry (a record being
// disposed is marked closing and left alone); owned windows go first,
// depth first; after disposal the current port is a window that exists
// (or null); a close-all walk stops at the first refusal.
#pragma once
#include <cstdint>

#include "toolbox/core/windowobject.h"

void DisposeWindowObject(WindowObject* window);
// Enables the windows the modal window disabled that still exist (and the
// frame when it was disabled) and forgets the list.
void ReenableOtherWindows(WindowObject* window);
// With the ask flag, sends every top-level window of kinds 0 to 2 a close
// request with the quitting byte set and stops at the first refusal
// (false); without it disposes every top-level window of every kind.
bool CloseWindowsOfKinds(bool ask);
bool RequestCloseAllWindows();
bool DisposeAllWindows();
// Called by a close handler: the running close-all walk stops.
void RefuseClose();

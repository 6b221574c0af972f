// The cursor follow-up of windows: a mouse-moved record for the window
// under the mouse, sent at once when no dispatch is under way and
// otherwise postponed until the dispatch depth returns to 0; and the
// window cursor whose change asks for it.
//
// Guarantees: a requested follow-up is sent exactly once, never from
// inside a dispatch of the innermost loop level.
#pragma once
#include <cstdint>

struct PortRecord;
struct WindowObject;

// Surface byte of the record that tells a pane the mouse left it.
constexpr uint8_t kMouseLeftPane = 254;

void RequestMouseMovedUpdate();
// The same, marked forced.
void ForceMouseMovedUpdate();
// A mouse-moved record (what 34) to the port of the window under the
// mouse when its window is active; otherwise the front window's cursor
// pane is told the mouse left it. The help tag is checked against the
// mouse when it is over one of the layer's windows, else hidden. With a port given, nothing unless the
// mouse is over that port.
void SendMouseMovedRecord(PortRecord* forPort);
// Stores the cursor id; a changed id asks for the follow-up.
void SetWindowCursor(WindowObject* window, int16_t id);
// Installs the postponed sending on the loop's dispatch depth.
void InstallMouseFollowUp();
// Whether a follow-up waits (tests).
bool MouseMovedUpdatePending();
// True while the record of a forced follow-up is being sent (the help tags
// restart their delay for it).
bool MouseMovedRecordForced();
